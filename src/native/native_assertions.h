// The analyser's answers written as C static assertions (enumerator values,
// structure and union sizes, alignments, member offsets and types, typedef
// targets, declared types of variables and functions), so that a C compiler
// can check them against the same headers.
#pragma once

#include <string>
#include <vector>

namespace zv::native {

class NativeAnalyser;

// Sorted, one assertion a line, for everything registered under the empty scope name.
std::vector<std::string> static_assertions(NativeAnalyser& analyser);

// For each named object-like macro that the analyser evaluates to an
// arithmetic constant: its type, value and size, one assertion a line.
std::vector<std::string> macro_assertions(NativeAnalyser& analyser, const std::vector<std::string>& names);

}  // namespace zv::native
