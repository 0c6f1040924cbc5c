// Union-selection declarations of a message type: a mirror of the C type that
// keeps only the way to every union reached through structures and arrays,
// each union becoming a structure whose member "select" records which of its
// members is in use. The generated driver keeps one per message type.
#pragma once

#include "native/native_analyser.h"

#include <cstddef>
#include <optional>
#include <string>

namespace zv::native {

// Longest declaration made, in bytes.
constexpr std::size_t kUnionSelectionLimit = std::size_t{1} << 20;

// The declaration for the type named `type_name` in a scope, its outermost
// level named `outer_name`; empty when the type holds no union (or is
// unknown); nothing when it would be longer than the limit.
std::optional<std::string> union_selection(NativeAnalyser& analyser, const std::string& type_name,
                                           const std::string& scope_name, const std::string& outer_name);

}  // namespace zv::native
