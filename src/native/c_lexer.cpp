#include "native/c_lexer.h"

#include "common/string_pool.h"
#include "diagnostics/guarded.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace zv::native {

namespace {

constexpr bool ident_start(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80; }
constexpr bool ident_char(unsigned char c) { return ident_start(c) || (c >= '0' && c <= '9'); }
constexpr bool digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool needs_joining(std::string_view text) {
    return text.find('\\') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

// Text with carriage returns: every character is looked at.
std::size_t join_with_returns(char* s, std::size_t n) {
    std::size_t w = 0, pending = 0;
    for (std::size_t r = 0; r < n;) {
        const char c = s[r];
        if (c == '\\') {
            std::size_t j = r + 1;
            if (j < n && s[j] == '\r') ++j;
            if (j < n && s[j] == '\n') {
                ++pending;
                r = j + 1;
                continue;
            }
        }
        ++r;
        if (c == '\r' && r < n && s[r] == '\n') continue;
        s[w++] = c;
        if (c == '\n') {
            std::memset(s + w, '\n', pending);
            w += pending;
            pending = 0;
        }
    }
    return w;
}

}  // namespace

std::size_t join_continued_lines(char* s, const std::size_t n) {
    if (std::memchr(s, '\r', n)) return join_with_returns(s, n);
    // Only backslashes need a look, and newlines while removed ones wait to be
    // given back: the text between them moves in blocks. The text only shrinks
    // (two characters go for each newline given back), so writing stays behind
    // reading.
    std::size_t w = 0, r = 0, pending = 0;
    auto move = [&](std::size_t end) {
        if (w != r) std::memmove(s + w, s + r, end - r);
        w += end - r;
        r = end;
    };
    while (r < n) {
        const void* found = std::memchr(s + r, '\\', n - r);
        const std::size_t backslash = found ? static_cast<std::size_t>(static_cast<const char*>(found) - s) : n;
        if (pending > 0) {
            if (const void* nl = std::memchr(s + r, '\n', backslash - r)) {
                move(static_cast<std::size_t>(static_cast<const char*>(nl) - s) + 1);
                std::memset(s + w, '\n', pending);
                w += pending;
                pending = 0;
                continue;
            }
        }
        move(backslash);
        if (backslash == n) break;
        if (backslash + 1 < n && s[backslash + 1] == '\n') {
            ++pending;
            r = backslash + 2;
        } else {
            move(backslash + 1);
        }
    }
    return w;
}

namespace {

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

// Pooled texts of the single characters and of the longer punctuators, the
// longer ones listed under their first character.
struct PunctuatorTexts {
    struct Longer {
        char rest[3];  // second and third character (NUL when absent)
        const char* pooled;
    };
    const char* single[256] = {};
    bool punct[256] = {};  // characters that start a C punctuator
    std::vector<Longer> longer[256];
    const char* find(std::string_view text) const {
        if (text.size() == 1) return single[static_cast<unsigned char>(text[0])];
        const char b = text[1];
        const char c = text.size() > 2 ? text[2] : '\0';
        for (const Longer& l : longer[static_cast<unsigned char>(text[0])])
            if (l.rest[0] == b && l.rest[1] == c) return l.pooled;
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
        for (const char* p = "()[]{};,.<>+-*/%&|^!~?:=#"; *p; ++p) t.punct[static_cast<unsigned char>(*p)] = true;
        for (const char* p : {"...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||",
                              "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", ".."})
            t.longer[static_cast<unsigned char>(p[0])].push_back({{p[1], p[2], '\0'}, pool.intern(p)});
        return t;
    }();
    return texts;
}

}  // namespace

void build_pooled_lexer_tables() {
    punctuator_texts();
    words();
}

void InternCache::Free::operator()(Slot* slots) const { std::free(slots); }

std::unique_ptr<InternCache::Slot[], InternCache::Free> InternCache::table(std::size_t size) {
    auto* slots = static_cast<Slot*>(std::calloc(size, sizeof(Slot)));
    if (!slots) allocationFailed();
    return std::unique_ptr<Slot[], Free>(slots);
}

// A small start: a header of any size doubles it a few times, and a small
// text does not pay for a table it never fills.
constexpr std::size_t kInitialSlots = std::size_t{1} << 11;

InternCache::InternCache() : slots_(table(kInitialSlots)), size_(kInitialSlots) {}

const char* InternCache::intern(std::string_view text) {
    if ((used_ + 1) * 4 > size_ * 3) {  // keep it at most three quarters full
        auto old = table(size_ * 2);
        old.swap(slots_);
        const std::size_t old_size = size_;
        size_ *= 2;
        for (std::size_t k = 0; k < old_size; ++k) {
            const Slot& s = old[k];
            if (!s.text) continue;
            std::size_t at = text_hash(std::string_view(s.text, s.length)) & (size_ - 1);
            while (slots_[at].text) at = (at + 1) & (size_ - 1);
            slots_[at] = s;
        }
    }
    const std::uint64_t h = text_hash(text);
    const auto check = static_cast<std::uint32_t>(h >> 32);  // the slot comes from the low bits
    std::size_t at = h & (size_ - 1);
    for (;; at = (at + 1) & (size_ - 1)) {
        Slot& slot = slots_[at];
        if (!slot.text) break;
        if (slot.hash == check && slot.length == text.size() && std::memcmp(slot.text, text.data(), text.size()) == 0)
            return slot.text;
    }
    Slot& slot = slots_[at];
    slot.hash = check;
    slot.text = string_pool().intern(text, h);
    slot.length = static_cast<std::uint32_t>(text.size());
    ++used_;
    return slot.text;
}

Words make_words() {
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
}

LineLexer::LineLexer(std::string_view text, int file, int first_line, LexOptions options, LexReport report,
                     LexMarker marker)
    : options_(options), report_(std::move(report)), marker_(std::move(marker)), file_(file), line_(first_line) {
    if (!options.joined && needs_joining(text)) {
        joined_.assign(text);
        joined_.resize(join_continued_lines(joined_.data(), joined_.size()));
        text = joined_;
    }
    s_ = text.data();
    n_ = text.size();
}

namespace {

// What a character may start, for the lexer's first look at it.
enum CharClass : std::uint8_t { kOtherChar, kBlank, kNewline, kIdentStart, kPrefix, kDigit, kDot, kSlash, kQuote, kHashChar };

struct CharClasses {
    std::uint8_t start[256] = {};
    bool ident[256] = {};      // may continue an identifier
    bool line_stop[256] = {};  // ends a line or may hide its end: newline, "/" and quotes
};

constexpr CharClasses make_char_classes() {
    CharClasses t;
    for (int c = 0; c < 256; ++c) {
        const auto u = static_cast<unsigned char>(c);
        if (ident_start(u)) t.start[c] = kIdentStart;
        if (digit(u)) t.start[c] = kDigit;
        t.ident[c] = ident_char(u);
    }
    for (const char c : {' ', '\t', '\f', '\v', '\r'}) t.start[static_cast<unsigned char>(c)] = kBlank;
    for (const char c : {'L', 'u', 'U'}) t.start[static_cast<unsigned char>(c)] = kPrefix;
    t.start[static_cast<unsigned char>('\n')] = kNewline;
    t.start[static_cast<unsigned char>('.')] = kDot;
    t.start[static_cast<unsigned char>('/')] = kSlash;
    t.start[static_cast<unsigned char>('"')] = kQuote;
    t.start[static_cast<unsigned char>('\'')] = kQuote;
    t.start[static_cast<unsigned char>('#')] = kHashChar;
    for (const char c : {'\n', '/', '"', '\''}) t.line_stop[static_cast<unsigned char>(c)] = true;
    return t;
}

constexpr CharClasses kChars = make_char_classes();

}  // namespace

namespace {

// Line numbers stop at the largest int: `#line 2147483647` may be followed by
// more lines, which all keep that number.
void next_line_number(int& line) {
    if (line < INT_MAX) ++line;
}

}  // namespace

// Skips a block comment starting at i_ ("/*"); counts its lines.
void LineLexer::skip_block_comment() {
    const char* s = s_;
    const std::size_t n = n_;
    std::size_t i = i_ + 2;
    const int start_line = line_;
    bool closed = false;
    while (i < n) {
        const char* star = static_cast<const char*>(std::memchr(s + i, '*', n - i));
        const std::size_t stop = star ? static_cast<std::size_t>(star - s) : n;
        for (const char* nl = s + i;
             (nl = static_cast<const char*>(std::memchr(nl, '\n', stop - static_cast<std::size_t>(nl - s)))) != nullptr; ++nl)
            next_line_number(line_);
        i = stop;
        if (!star) break;
        if (i + 1 < n && s[i + 1] == '/') {
            i += 2;
            closed = true;
            break;
        }
        ++i;
    }
    if (!closed && report_) report_(Code::UNTERCOMM, start_line);
    i_ = i;
    flags_ |= kSpaceBefore;
}

bool LineLexer::skip_to_directive() {
    const char* s = s_;
    const std::size_t n = n_;
    while (i_ < n) {
        const char c = s[i_];
        if (c == '\n') {
            next_line_number(line_);
            ++i_;
            flags_ = kLineStart;
        } else if (c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r') {
            ++i_;
        } else if (c == '/' && i_ + 1 < n && s[i_ + 1] == '*') {
            skip_block_comment();
        } else if (c == '/' && i_ + 1 < n && s[i_ + 1] == '/') {
            while (i_ < n && s[i_] != '\n') ++i_;
        } else if (c == '#' && (flags_ & kLineStart)) {
            return true;
        } else {
            skip_line();
        }
    }
    return false;
}

void LineLexer::skip_line() {
    // Only comments and quotes can hide the line's end or a comment start.
    const char* s = s_;
    const std::size_t n = n_;
    flags_ = 0;
    for (;;) {
        while (i_ < n && !kChars.line_stop[static_cast<unsigned char>(s[i_])]) ++i_;
        if (i_ >= n || s[i_] == '\n') return;
        const char d = s[i_];
        if (d == '/' && i_ + 1 < n && s[i_ + 1] == '*') {
            skip_block_comment();
            flags_ = 0;
        } else if (d == '/' && i_ + 1 < n && s[i_ + 1] == '/') {
            while (i_ < n && s[i_] != '\n') ++i_;
        } else if (d == '"' || d == '\'') {
            ++i_;
            while (i_ < n && s[i_] != '\n' && s[i_] != d) i_ += s[i_] == '\\' && i_ + 1 < n && s[i_ + 1] != '\n' ? 2 : 1;
            if (i_ < n && s[i_] == d) ++i_;
        } else {
            ++i_;
        }
    }
}

std::string_view LineLexer::directive_name() const {
    std::size_t j = i_ + 1;
    while (j < n_ && (s_[j] == ' ' || s_[j] == '\t')) ++j;
    const std::size_t start = j;
    if (j >= n_ || !ident_start(static_cast<unsigned char>(s_[j]))) return {};
    while (j < n_ && ident_char(static_cast<unsigned char>(s_[j]))) ++j;
    return std::string_view(s_ + start, j - start);
}

bool LineLexer::next_line(TokenList& out) {
    const char* const s = s_;
    const std::size_t n = n_;
    std::size_t i = i_;
    int line = line_;
    std::uint8_t flags = flags_;
    bool produced = false;
    const PunctuatorTexts& punctuators = punctuator_texts();
    InternCache* const cache = options_.cache;
    auto pooled = [&](std::size_t start, std::size_t end) {
        const std::string_view text(s + start, end - start);
        return cache ? cache->intern(text) : string_pool().intern(text);
    };
    auto push = [&](TokKind kind, const char* text, std::size_t start, std::size_t end, std::uint8_t extra = 0) {
        Token& t = out.emplace_back();
        t.text = text;
        t.length = static_cast<std::uint32_t>(end - start);
        t.kind = kind;
        t.flags = flags | extra;
        t.file = file_;
        t.line = line;
        flags = 0;
        produced = true;
    };
    // A character or string constant whose quote is at q, its prefix from start.
    auto quoted = [&](std::size_t start, std::size_t q) {
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
        push(quote == '"' ? TokKind::String : TokKind::Char, pooled(start, i), start, i, closed ? 0 : kUnterminated);
    };
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t start = i;
        switch (kChars.start[c]) {
        case kNewline:
            next_line_number(line);
            ++i;
            flags = kLineStart;
            if (produced) {
                i_ = i;
                line_ = line;
                flags_ = flags;
                return true;
            }
            continue;
        case kBlank:
            flags |= kSpaceBefore;
            do ++i;
            while (i < n && (s[i] == ' ' || s[i] == '\t'));
            continue;
        case kSlash:
            if (i + 1 < n && s[i + 1] == '/') {
                while (i < n && s[i] != '\n') ++i;
                flags |= kSpaceBefore;
                continue;
            }
            if (i + 1 < n && s[i + 1] == '*') {
                i_ = i;
                line_ = line;
                flags_ = flags;
                skip_block_comment();
                i = i_;
                line = line_;
                flags = flags_;
                continue;
            }
            break;
        case kHashChar:
            if (options_.line_markers && (flags & kLineStart) && marker_) {
                // `# 12 "file"` or `#line 12 "file"`
                std::size_t j = i + 1;
                while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
                if (j + 4 < n && std::strncmp(s + j, "line", 4) == 0) j += 4;
                while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
                if (j < n && digit(static_cast<unsigned char>(s[j]))) {
                    int number = 0;
                    while (j < n && digit(static_cast<unsigned char>(s[j]))) {
                        const int d = s[j++] - '0';
                        number = number > (INT_MAX - d) / 10 ? INT_MAX : number * 10 + d;
                    }
                    while (j < n && (s[j] == ' ' || s[j] == '\t')) ++j;
                    std::string_view name;
                    if (j < n && s[j] == '"') {
                        const std::size_t first = ++j;
                        while (j < n && s[j] != '"' && s[j] != '\n') ++j;
                        name = std::string_view(s + first, j - first);
                    }
                    while (j < n && s[j] != '\n') ++j;
                    file_ = marker_(number, name);
                    line = number - 1;
                    i = j;
                    continue;
                }
                // `#pragma pack(1)`: a pragma kept for the declarations
                if (j + 6 < n && std::strncmp(s + j, "pragma", 6) == 0 && (s[j + 6] == ' ' || s[j + 6] == '\t')) {
                    std::string body;
                    for (j += 6; j < n && s[j] != '\n'; ++j)
                        if (s[j] != ' ' && s[j] != '\t') body += s[j];
                    push(TokKind::Other, string_pool().intern(body), 0, body.size(), kPragma);
                    i = j;
                    continue;
                }
            }
            break;
        case kQuote:
            quoted(start, i);
            continue;
        case kPrefix: {
            const std::size_t q = c == 'u' && i + 1 < n && s[i + 1] == '8' ? i + 2 : i + 1;
            if (q < n && (s[q] == '"' || s[q] == '\'')) {
                quoted(start, q);
                continue;
            }
            [[fallthrough]];
        }
        case kIdentStart:
            ++i;
            while (i < n && kChars.ident[static_cast<unsigned char>(s[i])]) ++i;
            push(TokKind::Ident, pooled(start, i), start, i);
            continue;
        case kDot:
            if (!(i + 1 < n && digit(static_cast<unsigned char>(s[i + 1])))) break;
            [[fallthrough]];
        case kDigit:
            ++i;
            while (i < n) {
                const unsigned char d = static_cast<unsigned char>(s[i]);
                if ((d == '+' || d == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E' || s[i - 1] == 'p' || s[i - 1] == 'P')) {
                    ++i;
                } else if (d == '.') {
                    if (options_.dot_dot && i + 1 < n && s[i + 1] == '.') break;
                    ++i;
                } else if (kChars.ident[d]) {
                    ++i;
                } else {
                    break;
                }
            }
            push(TokKind::Number, pooled(start, i), start, i);
            continue;
        default:
            break;
        }
        // Punctuators, half of all tokens, have their pooled texts at hand.
        i += punctuator_length(s + i, n - i, options_.dot_dot);
        const char* known = punctuators.find(std::string_view(s + start, i - start));
        push(punctuators.punct[c] ? TokKind::Punct : TokKind::Other, known ? known : pooled(start, i), start, i);
    }
    i_ = i;
    line_ = line;
    flags_ = flags;
    return produced;
}

void lex_text(std::string_view source, int file, int first_line, TokenList& out, const LexOptions& options,
              const LexReport& report, const LexMarker& marker) {
    LineLexer lexer(source, file, first_line, options, report, marker);
    while (lexer.next_line(out)) {
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
