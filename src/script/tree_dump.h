// Text form of a syntax tree for inspection and tests: one node per line,
// indented by depth, with the child slot, kind number, kind name, text and
// (optionally) the position "@file:line#index". Absent children before a
// present one show as "-".
#pragma once

#include "script/syntax_tree.h"

#include <string>
#include <string_view>

namespace zv {

std::string dump_tree(const Node* root, bool positions);

// A text in double quotes with C-style escapes for control characters.
std::string quoted_text(std::string_view text);

}  // namespace zv
