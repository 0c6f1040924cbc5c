// Texts of the run (paths, instance names, dates) placed inside generated C:
// in a string literal every quote, backslash and control character is
// escaped, and in a comment "*/" is broken, so that any name gives C that
// compiles and means what it says.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// The inside of a C string literal (without the surrounding quotes).
std::string c_string_body(std::string_view text);

// Text that can stand inside a /* ... */ comment.
std::string c_comment_text(std::string_view text);

}  // namespace zv
