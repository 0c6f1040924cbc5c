// Splits C source text into tokens (identifiers, pp-numbers, character and
// string constants, punctuators), joining backslash-continued lines and
// dropping comments while keeping the physical line numbers.
#pragma once

#include "diagnostics/message_codes.h"
#include "native/c_token.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <string_view>

namespace zv::native {

// A cache in front of the string pool for the texts of identifiers and
// numbers: a faster hash, open addressing, the pooled text as the answer.
class InternCache {
public:
    InternCache();
    const char* intern(std::string_view text);

private:
    struct Slot {
        const char* text;  // null: free
        std::uint32_t hash;
        std::uint32_t length;
    };
    // Zeroed memory from calloc: the pages of a large table that are never
    // used are never touched.
    struct Free {
        void operator()(Slot* slots) const;
    };
    static std::unique_ptr<Slot[], Free> table(std::size_t size);

    std::unique_ptr<Slot[], Free> slots_;
    std::size_t size_;
    std::size_t used_ = 0;
};

struct LexOptions {
    bool dot_dot = false;  // ".." is a token of its own and never part of a number
    bool line_markers = false;  // lines `# <n> "file"` reset the line (preprocessed text)
    InternCache* cache = nullptr;  // optional
    bool joined = false;  // join_continued_lines has been applied to the text
};

// Removes backslash-newline pairs; each removed newline is given back after
// the end of the logical line so that later lines keep their numbers. Works
// in place and gives the new size (never larger).
std::size_t join_continued_lines(char* text, std::size_t size);

// Called with a message code and the line it concerns (UNTERCOMM).
using LexReport = std::function<void(Code code, int line)>;
// Called for a line marker with the new line and file name.
using LexMarker = std::function<int(int line, std::string_view file)>;

void lex_text(std::string_view text, int file, int first_line, TokenList& out, const LexOptions& options,
              const LexReport& report, const LexMarker& marker = {});

// The same, one logical line at a time, so that a reader can pass over the
// lines of a skipped group without making tokens of them. The text must stay
// alive while the lexer is used.
class LineLexer {
public:
    LineLexer(std::string_view text, int file, int first_line, LexOptions options, LexReport report,
              LexMarker marker = {});
    // Appends the tokens of the next line that has any; false at the end.
    bool next_line(TokenList& out);
    // Passes over lines up to the next one that starts with "#" (left unread); false at the end.
    bool skip_to_directive();
    // At the "#" of a directive: the name that follows when it is a plain word, else nothing.
    std::string_view directive_name() const;
    // Passes over the rest of the current line (comments may carry it on).
    void skip_line();
    int line() const { return line_; }

private:
    void skip_block_comment();

    LexOptions options_;
    LexReport report_;
    LexMarker marker_;
    std::string joined_;  // the text with continued lines joined, when it had any
    const char* s_ = nullptr;
    std::size_t n_ = 0;
    std::size_t i_ = 0;
    int file_;
    int line_;
    std::uint8_t flags_ = kLineStart;
};

// Value of a character constant ('a', '\n', L'x', 'ab'); false when malformed.
// A single plain character is a (signed) char value.
bool char_constant_value(std::string_view text, long long& value);

// A pp-number read as a C literal.
struct NumberLiteral {
    bool valid = false;
    bool is_float = false;
    bool is_unsigned = false;   // "u" suffix
    int longs = 0;              // number of "l" in the suffix
    bool decimal = true;
    unsigned long long value = 0;
    double fvalue = 0;
    char float_suffix = 0;      // 'f' or 'l' for floating literals, 0 for double
};
NumberLiteral parse_number(std::string_view text);

// Number of characters a string literal stands for, without its NUL.
long long string_literal_length(std::string_view text);

// Pooled texts of the punctuators and words that the analysis compares often.
struct Words {
    const char *lparen, *rparen, *comma, *hash, *hashhash, *ellipsis, *lt, *gt, *lbrace, *rbrace, *lbracket,
        *rbracket, *semicolon, *colon, *question, *star, *amp, *dot, *arrow, *assign, *minus, *plus, *excl,
        *tilde, *slash, *percent, *shl, *shr, *le, *ge, *eq, *ne, *andand, *oror, *pipe, *caret, *dotdot;
    const char *defined, *va_args, *va_opt, *has_include, *has_include_next, *has_attribute, *has_builtin,
        *has_cpp_attribute, *pragma_op;
};
Words make_words();
// The pooled punctuator texts and words, made now rather than on first use.
void build_pooled_lexer_tables();
// Looked at for nearly every token: inline, so that only the guard is checked.
inline const Words& words() {
    static const Words w = make_words();
    return w;
}

}  // namespace zv::native
