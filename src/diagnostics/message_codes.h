// Every message code as a typed value. The enumeration is generated from the
// catalog lists themselves, so a code that is misspelt or missing from the
// catalog fails to compile at the place that raises it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zv {

enum class Code : std::uint16_t {
#define ZV_CODE(code) code,
#include "diagnostics/catalog_codes.inc"
#undef ZV_CODE
};

inline constexpr std::size_t kCodeCount = 0
#define ZV_CODE(code) +1
#include "diagnostics/catalog_codes.inc"
#undef ZV_CODE
    ;

// The code as it appears in a message line ("UNKCLPROC").
const char* codeName(Code code);

// The code of a name, or nothing for a name that is no code.
std::optional<Code> codeFromName(std::string_view name);

// The reason a code is raised without a catalog text, or null when it has one.
const char* untextedReason(Code code);

}  // namespace zv
