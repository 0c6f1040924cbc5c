// Text form of the semantic model for inspection and tests: every scope with
// its entries in list order (kind number and name, text, position, filter and
// descriptor fields), sub-scopes indented under the entry that holds them.
#pragma once

#include "model/semantic_model.h"

#include <string>

namespace zv {

// The entry kind's name ("E_SCENARIO"), or null for a number that is no kind.
const char* entry_kind_name(int kind);

std::string dump_model(const SemanticModel& model, bool positions = true);

}  // namespace zv
