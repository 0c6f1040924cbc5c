// Whether a script expression is a constant of the C language (an integer,
// floating or character constant, a string literal, an enumerator, or an
// expression built only of them), as the semantic walk asks it of connection
// identifiers and receiving variables.
#pragma once

#include "native/native_analyser.h"

#include <string>

namespace zv::native {

// Quiet: an expression that does not parse is not a constant.
bool expression_is_constant(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name);

}  // namespace zv::native
