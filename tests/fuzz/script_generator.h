// Random test scripts for the robustness run of the compiler: a C interface
// header and a script over it that mix every construct of the language, mostly
// well formed, with a few token-level mutations (dropped, doubled or swapped
// tokens, unknown names, moved lines) so that the error paths are reached too.
// A seed always gives the same pair, with a few command-line options, on
// every platform.
#pragma once

#include <cstdint>
#include <string>

namespace zv::fuzz {

struct GeneratedScript {
    std::string script;
    std::string header;
    std::string options;  // blank-separated
};

GeneratedScript generate_script(std::uint64_t seed);

}  // namespace zv::fuzz
