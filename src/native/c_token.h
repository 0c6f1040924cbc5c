// Tokens of the C interface analysis: one small value per token, its text kept
// in the string pool, with the position it came from and the set of macro names
// that must not be expanded again when it is rescanned.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace zv::native {

enum class TokKind : std::uint8_t { Ident, Number, Char, String, Punct, Other, End };

enum TokFlag : std::uint8_t {
    kSpaceBefore = 1,   // white space precedes the token
    kLineStart = 2,     // first token of a logical line
    kUnterminated = 4,  // string or character constant without its closing quote
    kNoExpand = 8,      // a macro name that may never be expanded again
    kPragma = 16,       // not C: a pragma for the declaration analyser, its text the
                        // pragma without "#pragma", blanks removed ("pack(push,1)")
};

// A sorted set of macro names, shared and never modified once made.
struct Hideset {
    std::vector<const char*> names;
};

struct Token {
    const char* text = "";  // pooled, NUL-terminated
    std::uint32_t length = 0;
    TokKind kind = TokKind::End;
    std::uint8_t flags = 0;
    std::int32_t file = -1;  // index into the analyser's file names
    std::int32_t line = 0;
    const Hideset* hide = nullptr;

    std::string_view view() const { return {text, length}; }
    bool is(const char* pooled) const { return text == pooled; }
    bool space_before() const { return flags & kSpaceBefore; }
    bool line_start() const { return flags & kLineStart; }
};

using TokenList = std::vector<Token>;

}  // namespace zv::native
