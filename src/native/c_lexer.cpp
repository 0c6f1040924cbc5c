#include "native/c_lexer.h"

#include "common/string_pool.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace zv::native {

namespace {

bool ident_start(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80; }
bool ident_char(unsigned char c) { return ident_start(c) || (c >= '0' && c <= '9'); }
bool digit(unsigned char c) { return c >= '0' && c <= '9'; }

// Removes backslash-newline pairs; each removed newline is given back after the
// end of the logical line so that later lines keep their numbers.
bool needs_joining(std::string_view text) {
    return text.find('\\') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

std::string join_continued_lines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    int pending = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            std::size_t j = i + 1;
            if (j < text.size() && text[j] == '\r') ++j;
            if (j < text.size() && text[j] == '\n') {
                ++pending;
                i = j;
                continue;
            }
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += c;
        if (c == '\n') {
            out.append(static_cast<std::size_t>(pending), '\n');
            pending = 0;
        }
    }
    return out;
}

// Length of the punctuator at p (1 for any other single character).
std::size_t punctuator_length(const char* p, std::size_t left, bool dot_dot) {
    const char a = p[0];
    const char b = left > 1 ? p[1] : '\0';
    const char c = left > 2 ? p[2] : '\0';
    switch (a) {
    case '.':
        if (b == '.' && c == '.') return 3;
        return dot_dot && b == '.' ? 2 : 1;
    case '<': case '>':
        if (b == a) return c == '=' ? 3 : 2;
        return b == '=' ? 2 : 1;
    case '-': return b == '>' || b == '-' || b == '=' ? 2 : 1;
    case '+': case '&': case '|': return b == a || b == '=' ? 2 : 1;
    case '=': case '!': case '*': case '/': case '%': case '^': return b == '=' ? 2 : 1;
    case '#': return b == '#' ? 2 : 1;
    default: return 1;
    }
}

// Pooled texts of the single characters and of the longer punctuators.
struct PunctuatorTexts {
    const char* single[256] = {};
    std::vector<std::pair<std::string_view, const char*>> longer;
    const char* find(std::string_view text) const {
        if (text.size() == 1) return single[static_cast<unsigned char>(text[0])];
        for (const auto& [word, pooled] : longer)
            if (word == text) return pooled;
        return nullptr;
    }
};

const PunctuatorTexts& punctuator_texts() {
    static const PunctuatorTexts texts = [] {
        PunctuatorTexts t;
        auto& pool = string_pool();
        for (int c = 1; c < 256; ++c) {
            const char ch = static_cast<char>(c);
            t.single[c] = pool.intern(std::string_view(&ch, 1));
        }
        for (const char* p : {"...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||",
                              "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", ".."})
            t.longer.emplace_back(p, pool.intern(p));
        return t;
    }();
    return texts;
}

}  // namespace

const Words& words() {
    static const Words w = [] {
        auto& p = string_pool();
        Words r{};
        r.lparen = p.intern("("); r.rparen = p.intern(")"); r.comma = p.intern(","); r.hash = p.intern("#");
        r.hashhash = p.intern("##"); r.ellipsis = p.intern("..."); r.lt = p.intern("<"); r.gt = p.intern(">");
        r.lbrace = p.intern("{"); r.rbrace = p.intern("}"); r.lbracket = p.intern("["); r.rbracket = p.intern("]");
        r.semicolon = p.intern(";"); r.colon = p.intern(":"); r.question = p.intern("?"); r.star = p.intern("*");
        r.amp = p.intern("&"); r.dot = p.intern("."); r.arrow = p.intern("->"); r.assign = p.intern("=");
        r.minus = p.intern("-"); r.plus = p.intern("+"); r.excl = p.intern("!"); r.tilde = p.intern("~");
        r.slash = p.intern("/"); r.percent = p.intern("%"); r.shl = p.intern("<<"); r.shr = p.intern(">>");
        r.le = p.intern("<="); r.ge = p.intern(">="); r.eq = p.intern("=="); r.ne = p.intern("!=");
        r.andand = p.intern("&&"); r.oror = p.intern("||"); r.pipe = p.intern("|"); r.caret = p.intern("^");
        r.dotdot = p.intern("..");
        r.defined = p.intern("defined"); r.va_args = p.intern("__VA_ARGS__"); r.va_opt = p.intern("__VA_OPT__");
        r.has_include = p.intern("__has_include"); r.has_include_next = p.intern("__has_include_next");
        r.has_attribute = p.intern("__has_attribute"); r.has_builtin = p.intern("__has_builtin");
        r.has_cpp_attribute = p.intern("__has_cpp_attribute"); r.pragma_op = p.intern("_Pragma");
        return r;
    }();
    return w;
}

void lex_text(std::string_view source, int file, int first_line, TokenList& out, const LexOptions& options,
              const LexReport& report, const LexMarker& marker) {
    std::string joined;
    if (needs_joining(source)) {
        joined = join_continued_lines(source);
        source = joined;
    }
    const char* s = source.data();
    const std::size_t n = source.size();
    auto& pool = string_pool();
    std::size_t i = 0;
    int line = first_line;
    std::uint8_t flags = kLineStart;
    const PunctuatorTexts& punctuators = punctuator_texts();
    auto push = [&](TokKind kind, std::size_t start, std::size_t end, std::uint8_t extra = 0) {
        Token t;
        const std::string_view text(s + start, end - start);
        // Punctuators, half of all tokens, have their pooled texts at hand.
        const char* known = kind == TokKind::Punct || kind == TokKind::Other ? punctuators.find(text) : nullptr;
        t.text = known ? known : pool.intern(text);
        t.length = static_cast<std::uint32_t>(end - start);
        t.kind = kind;
        t.flags = flags | extra;
        t.file = file;
        t.line = line;
        out.push_back(t);
        flags = 0;
    };
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n') {
            ++line;
            ++i;
            flags = kLineStart;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r') {
            flags |= kSpaceBefore;
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '/') {
            while (i < n && s[i] != '\n') ++i;
            flags |= kSpaceBefore;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const int start_line = line;
            i += 2;
            bool closed = false;
            while (i < n) {
                const char* star = static_cast<const char*>(std::memchr(s + i, '*', n - i));
                const std::size_t stop = star ? static_cast<std::size_t>(star - s) : n;
                for (const char* nl = s + i; (nl = static_cast<const char*>(std::memchr(nl, '\n', stop - static_cast<std::size_t>(nl - s)))) != nullptr; ++nl)
                    ++line;
                i = stop;
                if (!star) break;
                if (i + 1 < n && s[i + 1] == '/') {
                    i += 2;
                    closed = true;
                    break;
                }
                ++i;
            }
            if (!closed && report) report("UNTERCOMM", start_line);
            flags |= kSpaceBefore;
            continue;
        }
        if (options.line_markers && (flags & kLineStart) && c == '#' && marker) {
            // `# 12 "file"` or `#line 12 "file"`
            std::size_t j = i + 1;
            while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
            if (j + 4 < n && std::strncmp(s + j, "line", 4) == 0) j += 4;
            while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
            if (j < n && digit(static_cast<unsigned char>(s[j]))) {
                int number = 0;
                while (j < n && digit(static_cast<unsigned char>(s[j]))) number = number * 10 + (s[j++] - '0');
                while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
                std::string_view name;
                if (j < n && s[j] == '"') {
                    const std::size_t start = ++j;
                    while (j < n && s[j] != '"' && s[j] != '\n') ++j;
                    name = std::string_view(s + start, j - start);
                }
                while (j < n && s[j] != '\n') ++j;
                file = marker(number, name);
                line = number - 1;
                i = j;
                continue;
            }
        }
        const std::size_t start = i;
        // Character and string constants, with their prefixes.
        std::size_t q = i;
        if (s[q] == 'u' && q + 1 < n && s[q + 1] == '8') q += 2;
        else if (s[q] == 'L' || s[q] == 'u' || s[q] == 'U') q += 1;
        if (q < n && (s[q] == '"' || s[q] == '\'') && (q == i || ident_start(c))) {
            const char quote = s[q];
            std::size_t j = q + 1;
            bool closed = false;
            while (j < n && s[j] != '\n') {
                if (s[j] == '\\' && j + 1 < n && s[j + 1] != '\n') {
                    j += 2;
                    continue;
                }
                if (s[j] == quote) {
                    closed = true;
                    ++j;
                    break;
                }
                ++j;
            }
            i = j;
            push(quote == '"' ? TokKind::String : TokKind::Char, start, i, closed ? 0 : kUnterminated);
            continue;
        }
        if (ident_start(c)) {
            while (i < n && ident_char(static_cast<unsigned char>(s[i]))) ++i;
            push(TokKind::Ident, start, i);
            continue;
        }
        if (digit(c) || (c == '.' && i + 1 < n && digit(static_cast<unsigned char>(s[i + 1])))) {
            ++i;
            while (i < n) {
                const unsigned char d = static_cast<unsigned char>(s[i]);
                if ((d == '+' || d == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E' || s[i - 1] == 'p' || s[i - 1] == 'P')) {
                    ++i;
                } else if (d == '.') {
                    if (options.dot_dot && i + 1 < n && s[i + 1] == '.') break;
                    ++i;
                } else if (ident_char(d)) {
                    ++i;
                } else {
                    break;
                }
            }
            push(TokKind::Number, start, i);
            continue;
        }
        const std::size_t length = punctuator_length(s + i, n - i, options.dot_dot);
        i += length;
        push(std::strchr("()[]{};,.<>+-*/%&|^!~?:=#", c) ? TokKind::Punct : TokKind::Other, start, i);
    }
}

namespace {

// Reads one character of a literal body at i (escapes included).
long long next_char(std::string_view body, std::size_t& i) {
    if (body[i] != '\\' || i + 1 >= body.size()) return static_cast<unsigned char>(body[i++]);
    const char e = body[i + 1];
    i += 2;
    switch (e) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case 'e': return 27;
    case 'x': {
        long long c = 0;
        while (i < body.size() && std::isxdigit(static_cast<unsigned char>(body[i]))) {
            const char h = body[i++];
            c = c * 16 + (h <= '9' ? h - '0' : (h | 32) - 'a' + 10);
        }
        return c;
    }
    case 'u': case 'U': {
        long long c = 0;
        for (int k = 0; k < (e == 'u' ? 4 : 8) && i < body.size() && std::isxdigit(static_cast<unsigned char>(body[i])); ++k) {
            const char h = body[i++];
            c = c * 16 + (h <= '9' ? h - '0' : (h | 32) - 'a' + 10);
        }
        return c;
    }
    default:
        if (e >= '0' && e <= '7') {
            long long c = e - '0';
            for (int k = 0; k < 2 && i < body.size() && body[i] >= '0' && body[i] <= '7'; ++k) c = c * 8 + (body[i++] - '0');
            return c;
        }
        return static_cast<unsigned char>(e);
    }
}

}  // namespace

bool char_constant_value(std::string_view text, long long& value) {
    const std::size_t q = text.find('\'');
    if (q == std::string_view::npos || text.size() < q + 3 || text.back() != '\'') return false;
    const bool wide = q > 0;
    const std::string_view body = text.substr(q + 1, text.size() - q - 2);
    long long v = 0;
    int count = 0;
    for (std::size_t i = 0; i < body.size();) {
        const long long c = next_char(body, i);
        v = count == 0 ? c : (v << 8) | (c & 0xff);
        ++count;
    }
    if (count == 1 && !wide) v = static_cast<signed char>(v);
    value = v;
    return count > 0;
}

long long string_literal_length(std::string_view text) {
    const std::size_t q = text.find('"');
    if (q == std::string_view::npos || text.size() < q + 2) return 0;
    const std::string_view body = text.substr(q + 1, text.size() - q - 2);
    long long n = 0;
    for (std::size_t i = 0; i < body.size(); ++n) next_char(body, i);
    return n;
}

NumberLiteral parse_number(std::string_view text) {
    NumberLiteral r;
    if (text.empty()) return r;
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool bin = text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B');
    const bool is_float = text.find('.') != std::string_view::npos ||
                          (hex ? text.find_first_of("pP") != std::string_view::npos
                               : !bin && text.find_first_of("eE") != std::string_view::npos);
    if (is_float) {
        r.is_float = true;
        std::string digits(text);
        while (!digits.empty() && std::strchr("fFlL", digits.back()) == nullptr && !std::isdigit(static_cast<unsigned char>(digits.back())) && digits.back() != '.')
            digits.pop_back();
        // suffixes such as f128 or f32
        std::size_t f = digits.find_last_of("fF");
        if (!hex && f != std::string::npos && f + 1 < digits.size() && digits.find_first_of("eE") != std::string::npos && f > digits.find_first_of("eE")) digits.resize(f + 1);
        if (!digits.empty() && (digits.back() == 'f' || digits.back() == 'F')) r.float_suffix = 'f', digits.pop_back();
        else if (!digits.empty() && (digits.back() == 'l' || digits.back() == 'L')) r.float_suffix = 'l', digits.pop_back();
        char* end = nullptr;
        r.fvalue = std::strtod(digits.c_str(), &end);
        r.valid = end && *end == '\0';
        return r;
    }
    std::size_t end = text.size();
    while (end > 0 && std::strchr("uUlL", text[end - 1])) {
        if (text[end - 1] == 'u' || text[end - 1] == 'U') r.is_unsigned = true;
        else ++r.longs;
        --end;
    }
    std::string_view digits = text.substr(0, end);
    int base = 10;
    if (hex) base = 16, digits.remove_prefix(2);
    else if (bin) base = 2, digits.remove_prefix(2);
    else if (digits.size() > 1 && digits[0] == '0') base = 8, digits.remove_prefix(1);
    r.decimal = base == 10;
    if (digits.empty() && base != 8) return r;
    unsigned long long v = 0;
    for (char c : digits) {
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
        if (d >= base) return r;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    r.value = v;
    r.valid = r.longs <= 2;
    return r;
}

}  // namespace zv::native
