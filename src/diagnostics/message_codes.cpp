#include "diagnostics/message_codes.h"

#include <algorithm>
#include <array>

namespace zv {

namespace {

constexpr std::array<const char*, kCodeCount> kNames = {
#define ZV_CODE(code) #code,
#include "diagnostics/catalog_codes.inc"
#undef ZV_CODE
};

struct Untexted {
    Code code;
    const char* why;
};

constexpr Untexted kUntexted[] = {
#define ZV_UNTEXTED_CODE(code, why) {Code::code, why},
#include "diagnostics/catalog_untexted.def"
#undef ZV_UNTEXTED_CODE
};

}  // namespace

const char* codeName(Code code) { return kNames[static_cast<std::size_t>(code)]; }

std::optional<Code> codeFromName(std::string_view name) {
    const auto it = std::find(kNames.begin(), kNames.end(), name);
    if (it == kNames.end()) return std::nullopt;
    return static_cast<Code>(it - kNames.begin());
}

const char* untextedReason(Code code) {
    for (const Untexted& u : kUntexted) {
        if (u.code == code) return u.why;
    }
    return nullptr;
}

}  // namespace zv
