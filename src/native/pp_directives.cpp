// Directives of the preprocessor: definitions, conditionals with the #if
// evaluator, includes with their search, pragmas and the reported lines.
#include "native/preprocessor.h"

#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "native/c_builtins.h"
#include "native/c_lexer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::native {

namespace {

// The identity of a file whatever name reached it: device and inode.
std::string file_identity(const struct stat& st) {
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
}

// The whole file, read straight into a buffer of its size.
bool read_file(const std::string& path, std::unique_ptr<char[]>& text, std::size_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const std::size_t expected = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    std::size_t capacity = expected + 1;
    text = std::make_unique_for_overwrite<char[]>(capacity);  // one more: a file that grew shows as a full buffer
    size = 0;
    for (;;) {
        if (size == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2 + 4096);
            std::memcpy(larger.get(), text.get(), size);
            text = std::move(larger);
            capacity = capacity * 2 + 4096;
        }
        const ssize_t n = ::read(fd, text.get() + size, capacity - size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        size += static_cast<std::size_t>(n);
        if (expected && size == expected) {  // the size the file said it had: no read for the end
            ::close(fd);
            return true;
        }
    }
}

bool attribute_we_read(std::string_view name);

// The operators of #if that count as defined macros.
bool special_operator(const char* name) {
    const Words& w = words();
    return name == w.has_include || name == w.has_include_next || name == w.has_attribute || name == w.has_builtin ||
           name == w.has_cpp_attribute;
}

std::string strip_quotes(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '"') out += c;
    const std::size_t a = out.find_first_not_of(" \t");
    const std::size_t b = out.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : out.substr(a, b - a + 1);
}

// Integer constant expressions of #if and #elif.
class IfEvaluator {
public:
    struct Value {
        long long v = 0;
        bool u = false;
    };
    explicit IfEvaluator(const TokenList& tokens) : t_(tokens) {}

    Value parse_all() {
        Value v = comma();
        return v;
    }
    bool at_end() const { return pos_ >= t_.size(); }
    std::size_t pos() const { return pos_; }
    const std::string& error() const { return error_; }
    bool divided_by_zero() const { return div_zero_; }

private:
    const Token* peek() const { return pos_ < t_.size() ? &t_[pos_] : nullptr; }
    bool accept(const char* pooled) {
        if (pos_ < t_.size() && t_[pos_].text == pooled) {
            ++pos_;
            return true;
        }
        return false;
    }
    void fail(const char* text) {
        if (error_.empty()) error_ = text;
        pos_ = t_.size();
    }

    // Bounded recursion: parentheses, unary and conditional operators nest at
    // most kMaxDepth deep; a deeper expression is an invalid one.
    class Nesting {
    public:
        explicit Nesting(IfEvaluator& e) : e_(e) {
            if (++e_.depth_ > kMaxDepth) e_.fail("Invalid token in expression");
        }
        ~Nesting() { --e_.depth_; }
        bool within_bounds() const { return e_.depth_ <= kMaxDepth; }

    private:
        IfEvaluator& e_;
    };

    Value comma() {
        Value v = conditional();
        while (error_.empty() && accept(words().comma)) v = conditional();
        return v;
    }
    Value conditional() {
        Value c = binary(1);
        if (!error_.empty() || !accept(words().question)) return c;
        const Nesting nesting(*this);
        if (!nesting.within_bounds()) return {};
        const bool saved = live_;
        live_ = saved && c.v != 0;
        Value a = comma();
        if (!accept(words().colon)) {
            fail("Invalid token in expression");
            return {};
        }
        live_ = saved && c.v == 0;
        Value b = conditional();
        live_ = saved;
        Value r = c.v ? a : b;
        r.u = a.u || b.u;
        return r;
    }
    static int precedence(const Token& t) {
        const Words& w = words();
        if (t.text == w.oror) return 1;
        if (t.text == w.andand) return 2;
        if (t.text == w.pipe) return 3;
        if (t.text == w.caret) return 4;
        if (t.text == w.amp) return 5;
        if (t.text == w.eq || t.text == w.ne) return 6;
        if (t.text == w.lt || t.text == w.gt || t.text == w.le || t.text == w.ge) return 7;
        if (t.text == w.shl || t.text == w.shr) return 8;
        if (t.text == w.plus || t.text == w.minus) return 9;
        if (t.text == w.star || t.text == w.slash || t.text == w.percent) return 10;
        return 0;
    }
    Value binary(int min) {
        Value left = unary();
        const Words& w = words();
        while (error_.empty()) {
            const Token* op = peek();
            if (!op) break;
            const int prec = precedence(*op);
            if (prec == 0 || prec < min) break;
            ++pos_;
            const bool saved = live_;
            if (op->text == w.andand) live_ = saved && left.v != 0;
            if (op->text == w.oror) live_ = saved && left.v == 0;
            Value right = binary(prec + 1);
            live_ = saved;
            left = apply(op->text, left, right);
        }
        return left;
    }
    Value apply(const char* op, Value a, Value b) {
        const Words& w = words();
        Value r;
        const bool u = a.u || b.u;
        const unsigned long long ua = static_cast<unsigned long long>(a.v), ub = static_cast<unsigned long long>(b.v);
        r.u = u;
        if (op == w.oror) return {(a.v || b.v) ? 1 : 0, false};
        if (op == w.andand) return {(a.v && b.v) ? 1 : 0, false};
        if (op == w.pipe) r.v = a.v | b.v;
        else if (op == w.caret) r.v = a.v ^ b.v;
        else if (op == w.amp) r.v = a.v & b.v;
        else if (op == w.eq) return {a.v == b.v ? 1 : 0, false};
        else if (op == w.ne) return {a.v != b.v ? 1 : 0, false};
        else if (op == w.lt) return {(u ? ua < ub : a.v < b.v) ? 1 : 0, false};
        else if (op == w.gt) return {(u ? ua > ub : a.v > b.v) ? 1 : 0, false};
        else if (op == w.le) return {(u ? ua <= ub : a.v <= b.v) ? 1 : 0, false};
        else if (op == w.ge) return {(u ? ua >= ub : a.v >= b.v) ? 1 : 0, false};
        else if (op == w.shl) {
            r.u = a.u;
            r.v = (b.v >= 64 || b.v <= -64) ? 0 : b.v >= 0 ? static_cast<long long>(ua << b.v) : (a.u ? static_cast<long long>(ua >> -b.v) : a.v >> -b.v);
        } else if (op == w.shr) {
            r.u = a.u;
            r.v = (b.v >= 64 || b.v <= -64) ? (a.v < 0 && !a.u ? -1 : 0)
                  : b.v >= 0 ? (a.u ? static_cast<long long>(ua >> b.v) : a.v >> b.v) : static_cast<long long>(ua << -b.v);
        } else if (op == w.plus) r.v = static_cast<long long>(ua + ub);
        else if (op == w.minus) r.v = static_cast<long long>(ua - ub);
        else if (op == w.star) r.v = static_cast<long long>(ua * ub);
        else if (op == w.slash || op == w.percent) {
            if (b.v == 0) {
                if (live_) div_zero_ = true;
                r.v = 0;
            } else if (u) {
                r.v = static_cast<long long>(op == w.slash ? ua / ub : ua % ub);
            } else if (a.v == LLONG_MIN && b.v == -1) {
                r.v = op == w.slash ? a.v : 0;
            } else {
                r.v = op == w.slash ? a.v / b.v : a.v % b.v;
            }
        }
        return r;
    }
    Value unary() {
        const Words& w = words();
        const Token* t = peek();
        const Nesting nesting(*this);
        if (!nesting.within_bounds()) return {};
        if (!t) {
            fail("Invalid token in expression");
            return {};
        }
        if (accept(w.plus)) return unary();
        if (accept(w.minus)) {
            Value v = unary();
            v.v = static_cast<long long>(0ull - static_cast<unsigned long long>(v.v));
            return v;
        }
        if (accept(w.tilde)) {
            Value v = unary();
            v.v = ~v.v;
            return v;
        }
        if (accept(w.excl)) {
            Value v = unary();
            return {v.v == 0 ? 1 : 0, false};
        }
        if (accept(w.lparen)) {
            Value v = comma();
            if (!accept(w.rparen)) fail("Invalid token in expression");
            return v;
        }
        ++pos_;
        switch (t->kind) {
        case TokKind::Number: return number(t->view());
        case TokKind::Char: return character(t->view(), t->flags & kUnterminated);
        case TokKind::String: fail("double quoted strings not allowed in #if expressions"); return {};
        case TokKind::Ident: return {};  // names left after expansion count as 0
        default: fail("Invalid token in expression"); return {};
        }
    }
    Value number(std::string_view text) {
        const NumberLiteral n = parse_number(text);
        if (n.is_float || (!n.valid && (text.back() == 'f' || text.back() == 'F'))) {
            fail("floating point numbers not allowed in #if expressions");
            return {};
        }
        if (!n.valid) {
            fail("Invalid number in #if expression");
            return {};
        }
        return {static_cast<long long>(n.value), n.is_unsigned || n.value > static_cast<unsigned long long>(LLONG_MAX)};
    }
    Value character(std::string_view text, bool unterminated) {
        long long v = 0;
        if (unterminated || !char_constant_value(text, v)) {
            fail("Invalid character constant in #if");
            return {};
        }
        return {v, false};
    }

    const TokenList& t_;
    std::size_t pos_ = 0;
    std::string error_;
    bool live_ = true;
    bool div_zero_ = false;
    int depth_ = 0;
    static constexpr int kMaxDepth = 512;
};

}  // namespace

// ---------------------------------------------------------------- dispatcher

void Preprocessor::directive(const Token& hash) {
    ++context_uses_;
    ++directives_run_;
    Source& s = *stack_.back();
    const bool first = !s.seen;
    s.seen = true;
    if (s.guard_closed) s.guard_broken = true;
    TokenList line = take_line_buffer();
    rest_of_line(line);
    run_directive(hash, line, first);
    give_back_line_buffer(std::move(line));
}

TokenList Preprocessor::take_line_buffer() {
    if (line_buffers_.empty()) return {};
    TokenList line = std::move(line_buffers_.back());
    line_buffers_.pop_back();
    return line;
}

void Preprocessor::give_back_line_buffer(TokenList&& line) {
    line.clear();
    line_buffers_.push_back(std::move(line));
}

void Preprocessor::run_directive(const Token& hash, const TokenList& line, bool first) {
    if (line.empty()) return;
    const Token& d = line[0];
    const int dline = hash.line;
    if (d.kind == TokKind::Number) {
        do_line(line, hash, 0);
        return;
    }
    if (d.kind != TokKind::Ident) return;
    const std::string_view name = d.view();
    bool skip = false;
    if (name == "define") do_define(line);
    else if (name == "undef") do_undef(line);
    else if (name == "include") do_include(line, false);
    else if (name == "include_next") do_include(line, true);
    else if (name == "if") skip = do_if(line, dline, first);
    else if (name == "ifdef") skip = do_ifdef(false, line, dline, first);
    else if (name == "ifndef") skip = do_ifdef(true, line, dline, first);
    else if (name == "elif") skip = do_else_elif(true, line, dline);
    else if (name == "else") skip = do_else_elif(false, line, dline);
    else if (name == "endif") do_endif(dline);
    else if (name == "pragma") do_pragma(line);
    else if (name == "line") do_line(line, hash, 1);
    else if (name == "error" || name == "warning") {
        std::string text = "#" + std::string(name) + " " + text_of(line, 1);
        if (text.size() > kMaxDirectiveTextLength) text.resize(kMaxDirectiveTextLength);
        report(3, Code::WARNERR, text, hash.file, dline);
    }
    if (skip) skip_group();
}

void Preprocessor::skip_group() {
    TokenList line = take_line_buffer();
    skip_group_lines(line);
    give_back_line_buffer(std::move(line));
}

void Preprocessor::skip_group_lines(TokenList& line) {
    Source& s = *stack_.back();
    int depth = 0;
    // Lines of the group are passed over without tokens; only directive lines are read.
    s.pos = s.tokens->size();
    while (s.lexer && s.lexer->skip_to_directive()) {
        // Most directive lines of a skipped group need no tokens: their name
        // tells all, read straight from the text.
        const std::string_view word = s.lexer->directive_name();
        if (!word.empty()) {
            if (word == "if" || word == "ifdef" || word == "ifndef") {
                ++depth;
                s.lexer->skip_line();
                continue;
            }
            if (word == "endif" && depth == 0) {
                const int dline = s.shown_line(s.lexer->line());
                s.lexer->skip_line();
                s.owned.clear();
                s.pos = 0;
                do_endif(dline);
                return;
            }
            if (word == "endif") --depth;
            if (depth > 0 || (word != "else" && word != "elif")) {
                s.lexer->skip_line();
                continue;
            }
        }
        if (!next_file_line(s)) break;
        const int dline = s.shown_line(s.owned[0].line);
        s.pos = 1;  // the "#"
        rest_of_line(line);
        if (line.empty() || line[0].kind != TokKind::Ident) continue;
        const std::string_view name = line[0].view();
        if (name == "if" || name == "ifdef" || name == "ifndef") {
            ++depth;
        } else if (name == "endif") {
            if (depth == 0) {
                do_endif(dline);
                return;
            }
            --depth;
        } else if (depth == 0 && (name == "else" || name == "elif")) {
            if (!do_else_elif(name == "elif", line, dline)) return;
        }
    }
}

// ---------------------------------------------------------------- conditionals

bool Preprocessor::do_if(const TokenList& line, int dline, bool first) {
    const Words& w = words();
    Source& s = *stack_.back();
    // "#if !defined NAME" opening a file may be its include guard.
    if (first && line.size() >= 4 && line[1].text == w.excl && line[2].text == w.defined) {
        const bool paren = line[3].text == w.lparen;
        const std::size_t at = paren ? 4 : 3;
        if (at < line.size() && line[at].kind == TokKind::Ident && line.size() == at + (paren ? 2 : 1)) {
            s.guard_candidate = line[at].text;
            s.guard_level = conditionals_.size();
        }
    }
    TokenList expr(line.begin() + 1, line.end());
    const bool value = evaluate("#if", expr, dline);
    conditionals_.push_back(Conditional{"if", dline, s.file, value, false});
    return !value;
}

bool Preprocessor::do_ifdef(bool negate, const TokenList& line, int dline, bool first) {
    Source& s = *stack_.back();
    const char* which = negate ? "#ifndef" : "#ifdef";
    bool value = false;
    if (line.size() < 2) {
        report(3, Code::NOARGUMEN, which, s.file, dline);
    } else if (line[1].kind != TokKind::Ident) {
        report(3, Code::ARGPUNCTU, which, s.file, dline);
    } else {
        value = macros_.contains(line[1].text) || special_operator(line[1].text);
        if (negate) value = !value;
        if (line.size() > 2 && !settings_.knr) report(3, Code::INVALIEND, which, s.file, dline);
        if (negate && first) {
            s.guard_candidate = line[1].text;
            s.guard_level = conditionals_.size();
        }
    }
    conditionals_.push_back(Conditional{negate ? "ifndef" : "ifdef", dline, s.file, value, false});
    return !value;
}

bool Preprocessor::do_else_elif(bool is_elif, const TokenList& line, int dline) {
    Source& s = *stack_.back();
    const char* which = is_elif ? "#elif" : "#else";
    if (conditionals_.size() <= s.cond_base) {
        report(3, Code::NOCONDITI, which, s.file, dline);
        return false;
    }
    if (s.guard_candidate && conditionals_.size() - 1 == s.guard_level) s.guard_broken = true;
    Conditional& c = conditionals_.back();
    if (c.in_else) {
        report(3, Code::ELIFAELSE, which, s.file, dline);
        std::string where = " ";
        where += std::to_string(c.line);
        if (c.file != s.file && file_name(c.file) != file_name(s.file)) where += " file " + file_name(c.file);
        report(4, Code::MATCHLINE, where, s.file, dline);
    }
    if (!is_elif) {
        c.in_else = true;
        const bool skip = c.taken;
        c.taken = true;
        return skip;
    }
    if (c.taken) return true;
    TokenList expr(line.begin() + 1, line.end());
    const bool value = evaluate("#elif", expr, dline);
    c.taken = value;
    return !value;
}

void Preprocessor::do_endif(int dline) {
    Source& s = *stack_.back();
    if (conditionals_.size() <= s.cond_base) {
        report(3, Code::UNBAENDIF, "", s.file, dline);
        return;
    }
    conditionals_.pop_back();
    if (s.guard_candidate && conditionals_.size() == s.guard_level) s.guard_closed = true;
}

// Replaces `defined NAME`, `__has_include(...)` and the other operators of
// #if by 0 or 1; false when one of them is malformed.
bool Preprocessor::resolve_operators(const TokenList& line, TokenList& pre) {
    const Words& w = words();
    pre.clear();
    pre.reserve(line.size());
    auto number = [&pre](bool v, const Token& at) {
        Token t = at;
        t.text = string_pool().intern(v ? "1" : "0");
        t.length = 1;
        t.kind = TokKind::Number;
        t.hide = nullptr;
        pre.push_back(t);
    };
    bool bad = false;
    for (std::size_t i = 0; i < line.size() && !bad; ++i) {
        const Token& t = line[i];
        if (t.text == w.defined) {
            std::size_t j = i + 1;
            const bool paren = j < line.size() && line[j].text == w.lparen;
            if (paren) ++j;
            if (j >= line.size() || line[j].kind != TokKind::Ident || (paren && (j + 1 >= line.size() || line[j + 1].text != w.rparen))) {
                bad = true;
                break;
            }
            number(macros_.contains(line[j].text) || special_operator(line[j].text), t);
            i = paren ? j + 1 : j;
        } else if (t.text == w.has_include || t.text == w.has_include_next) {
            std::size_t j = i + 1;
            if (j >= line.size() || line[j].text != w.lparen) {
                bad = true;
                break;
            }
            ++j;
            bool angled = false;
            const std::string name = header_name(line, j, angled);
            if (name.empty() || j >= line.size() || line[j].text != w.rparen) {
                bad = true;
                break;
            }
            std::string path;
            int dir = -1;
            number(find_include(name, angled, t.text == w.has_include_next, path, dir), t);
            i = j;
        } else if (t.text == w.has_attribute || t.text == w.has_cpp_attribute || t.text == w.has_builtin) {
            std::size_t j = i + 1;
            if (j + 2 >= line.size() || line[j].text != w.lparen || line[j + 1].kind != TokKind::Ident) {
                bad = true;
                break;
            }
            std::size_t k = j + 2;
            while (k < line.size() && line[k].text != w.rparen) ++k;
            if (k >= line.size()) {
                bad = true;
                break;
            }
            const std::string_view name = line[k - 1].view();
            number(t.text == w.has_builtin ? builtin_we_have(name) : (k == j + 2 && attribute_we_read(name)), t);
            i = k;
        } else {
            pre.push_back(t);
        }
    }
    return !bad;
}

bool Preprocessor::evaluate(const char* which, const TokenList& line, int dline) {
    const int file = stack_.back()->file;
    TokenList pre, expanded;
    if (!resolve_operators(line, pre) || !resolve_operators(expand_all(pre), expanded)) {
        report(3, Code::EXPERRONE, "Invalid token in expression", file, dline);
        return false;
    }
    if (expanded.empty()) {
        report(3, Code::EMPTYEXPR, which, file, dline);
        return false;
    }
    IfEvaluator eval(expanded);
    const IfEvaluator::Value v = eval.parse_all();
    if (!eval.error().empty()) {
        report(3, Code::EXPERRONE, eval.error(), file, dline);
        return false;
    }
    if (eval.divided_by_zero()) report(3, Code::DIVISZERO, which, file, dline);
    if (!eval.at_end()) {
        report(3, Code::ERRAFTEND, text_of(expanded, eval.pos()), file, dline);
        return false;
    }
    return v.v != 0;
}

// ---------------------------------------------------------------- definitions

void Preprocessor::do_define(const TokenList& line) {
    const Words& w = words();
    const Source& s = *stack_.back();
    const int dline = line.front().line;
    if (line.size() < 2 || line[1].kind != TokKind::Ident) {
        report(3, Code::INVAMACRO, line.size() < 2 ? "" : std::string(line[1].view()), s.file, dline);
        return;
    }
    const Token& name = line[1];
    if (name.text == w.defined) {
        report(3, Code::INVDEFINE, "", s.file, dline);
        return;
    }
    MacroText& m = macro_text_;
    m.name = name.text;
    m.function_like = m.variadic = false;
    m.params.clear();
    std::size_t i = 2;
    if (i < line.size() && line[i].text == w.lparen && !line[i].space_before()) {
        m.function_like = true;
        ++i;
        for (;;) {
            if (i >= line.size()) {
                report(3, Code::UNTPARDEF, name.view(), s.file, dline);
                return;
            }
            if (line[i].text == w.rparen && m.params.empty()) {
                ++i;
                break;
            }
            const Token& p = line[i];
            if (p.text == w.ellipsis) {
                m.variadic = true;
                m.params.push_back(w.va_args);
                ++i;
            } else {
                if (p.kind == TokKind::Number) {
                    report(3, Code::PARASTART, name.view(), s.file, dline);
                    return;
                }
                if (p.kind != TokKind::Ident || p.text == w.va_args ||
                    std::find(m.params.begin(), m.params.end(), p.text) != m.params.end()) {
                    report(3, Code::BADPARDEF, name.view(), s.file, dline);
                    return;
                }
                m.params.push_back(p.text);
                ++i;
                if (i < line.size() && line[i].text == w.ellipsis) {
                    m.variadic = true;
                    ++i;
                }
            }
            if (i >= line.size()) {
                report(3, Code::UNTPARDEF, name.view(), s.file, dline);
                return;
            }
            if (line[i].text == w.rparen) {
                ++i;
                break;
            }
            if (line[i].text != w.comma || m.variadic) {
                report(3, Code::BADPARDEF, name.view(), s.file, dline);
                return;
            }
            ++i;
        }
    }
    m.body.assign(line.begin() + static_cast<std::ptrdiff_t>(i), line.end());
    for (Token& t : m.body) {
        t.flags &= static_cast<std::uint8_t>(~kLineStart);
        if (t.flags & kUnterminated) report(3, Code::UNTERSTRI, "", s.file, dline);
    }
    if (!m.body.empty()) m.body.front().flags &= static_cast<std::uint8_t>(~kSpaceBefore);
    if (m.function_like) {
        for (std::size_t k = 0; k < m.body.size(); ++k) {
            if (m.body[k].text != w.hash) continue;
            const bool ok = k + 1 < m.body.size() &&
                            std::find(m.params.begin(), m.params.end(), m.body[k + 1].text) != m.params.end();
            if (!ok) {
                report(3, Code::OPERMACRO, name.view(), s.file, dline);
                return;
            }
        }
    }
    const Macro* old = macros_.find(m.name);
    if (old && old->builtin == Macro::Builtin::None) {
        bool same = old->function_like == m.function_like &&
                    std::equal(old->params.begin(), old->params.end(), m.params.begin(), m.params.end()) &&
                    old->variadic == m.variadic && old->body.size() == m.body.size();
        for (std::size_t k = 0; same && k < m.body.size(); ++k)
            same = old->body[k].text == m.body[k].text &&
                   (k == 0 || old->body[k].space_before() == m.body[k].space_before());
        if (!same) report(3, Code::IDENREDEF, name.view(), s.file, dline);
    }
    macros_.define(m);
}

void Preprocessor::do_undef(const TokenList& line) {
    const Source& s = *stack_.back();
    const int dline = line.front().line;
    if (line.size() < 2 || line[1].kind != TokKind::Ident) {
        report(3, Code::NOARGUMEN, "#undef", s.file, dline);
        return;
    }
    const Token& name = line[1];
    if (name.text == words().defined) {
        report(3, Code::UNDEFININ, "defined", s.file, dline);
        return;
    }
    // The names of the built-in macros are warned about whatever they stand for now.
    static constexpr std::string_view kBuiltins[] = {"__LINE__", "__DATE__", "__FILE__",
                                                     "__BASE_FILE__", "__INCLUDE_LEVEL__", "__TIME__"};
    if (std::find(std::begin(kBuiltins), std::end(kBuiltins), name.view()) != std::end(kBuiltins))
        report(3, Code::UNDEFININ, name.view(), s.file, dline);
    if (macros_.find(name.text)) macros_.erase(name.text);
}

// ---------------------------------------------------------------- includes

std::string Preprocessor::header_name(const TokenList& line, std::size_t& pos, bool& angled) const {
    const Words& w = words();
    if (pos >= line.size()) return {};
    const Token& t = line[pos];
    if (t.kind == TokKind::String && t.length >= 2 && t.text[0] == '"' && !(t.flags & kUnterminated)) {
        ++pos;
        angled = false;
        return std::string(t.view().substr(1, t.length - 2));
    }
    if (t.text != w.lt) return {};
    std::string name;
    std::size_t k = pos + 1;
    for (; k < line.size() && line[k].text != w.gt; ++k) {
        if (k > pos + 1 && line[k].space_before()) name += ' ';
        name.append(line[k].view());
    }
    if (k >= line.size()) return {};
    pos = k + 1;
    angled = true;
    return name;
}

bool Preprocessor::find_include(const std::string& name, bool angled, bool next, std::string& path, int& dir_index) {
    const Source* current = nullptr;
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
        if ((*it)->is_file) {
            current = it->get();
            break;
        }
    const FileRecord* from = current ? &files_[static_cast<std::size_t>(current->file)] : nullptr;
    dir_index = -1;
    if (name.empty()) return false;
    // The file system does not change during a run: each search is made once.
    const std::size_t first_dir = next && from ? static_cast<std::size_t>(from->dir_index + 1) : 0;
    std::string key = (angled ? "<" : "\"") + name + '\0' + std::to_string(first_dir) + (next ? "n" : "");
    if (!angled && !next && from) key += '\0' + from->directory + '\0' + std::to_string(from->dir_index);
    if (auto it = searches_.find(key); it != searches_.end()) {
        path = it->second.first;
        dir_index = it->second.second;
        return !path.empty();
    }
    const bool found = search_include(name, angled, next, from, path, dir_index);
    searches_.emplace(std::move(key), std::make_pair(found ? path : std::string(), dir_index));
    return found;
}

// A candidate of the search: whether it is a regular file, remembering its
// identity. A candidate in a directory known to be missing costs no call.
bool Preprocessor::regular_file(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string directory = path.substr(0, slash);
        auto [known, added] = directories_.try_emplace(directory, false);
        if (added) {
            struct stat st {};
            known->second = ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (!known->second) return false;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    paths_.try_emplace(path, OpenedPath{file_identity(st)});
    return true;
}

bool Preprocessor::search_include(const std::string& name, bool angled, bool next, const FileRecord* from,
                                  std::string& path, int& dir_index) {
    if (regular_file(name)) {
        path = name;
        return true;
    }
    if (name.front() == '/') return false;
    if (!angled && !next && from && !from->directory.empty()) {
        std::string candidate = from->directory + "/" + name;
        if (regular_file(candidate)) {
            path = std::move(candidate);
            dir_index = from->dir_index;
            return true;
        }
    }
    const std::size_t start = next && from ? static_cast<std::size_t>(from->dir_index + 1) : 0;
    for (std::size_t i = start; i < settings_.search_path.size(); ++i) {
        std::string candidate = settings_.search_path[i] + "/" + name;
        if (regular_file(candidate)) {
            path = std::move(candidate);
            dir_index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void Preprocessor::do_include(const TokenList& line, bool next) {
    const Source& s = *stack_.back();
    const int dline = line.front().line;
    std::size_t pos = 1;
    bool angled = false;
    std::string name = header_name(line, pos, angled);
    if (name.empty()) {
        const TokenList expanded = expand_all(TokenList(line.begin() + 1, line.end()));
        pos = 0;
        name = header_name(expanded, pos, angled);
        if (name.empty()) {
            report(3, Code::ERINCLUDE, "", s.file, dline);
            return;
        }
    }
    std::string path;
    int dir_index = -1;
    if (!find_include(name, angled, next, path, dir_index)) {
        if (settings_.tolerant) {
            report(3, Code::FILNOTANA, name, s.file, dline);
            return;
        }
        report(1, Code::IMPOUVFIC, name, s.file, dline);
        return;
    }
    include_file(path, dir_index, s.file, dline);
}

void Preprocessor::include_file(const std::string& path, int dir_index, int from_file, int from_line) {
    auto [known, added] = paths_.try_emplace(path);
    OpenedPath& opened = known->second;
    if (added) {
        struct stat st {};
        opened.identity = ::stat(path.c_str(), &st) == 0 ? file_identity(st) : path;
    }
    const std::string& key = opened.identity;
    if (once_.count(key)) return;
    auto& slot = cache_[key];
    if (slot && slot->guard && macros_.contains(slot->guard)) return;
    if (!slot) {
        slot = std::make_unique<CachedFile>();
        slot->key = key;
    }
    if (!slot->loaded) {
        if (!read_file(path, slot->text, slot->size)) {
            report(1, Code::IMPOUVFIC, path, from_file, from_line);  // found, but it cannot be read
            return;
        }
        slot->size = join_continued_lines(slot->text.get(), slot->size);
        slot->loaded = true;
    }
    // Files that include each other more than once without a guard make a
    // number of inclusions exponential in their count; no real header set
    // comes near this bound.
    if (++inclusions_ > kMaxInclusions) report(1, Code::NBRECURSI, path, from_file, from_line);
    // One text for the file, but its name and search place as this include found it.
    if (opened.file < 0) opened.file = add_file_name(path);
    const int file = opened.file;
    FileRecord& record = files_[static_cast<std::size_t>(file)];
    auto source = new_source();
    source->record = file;
    source->outer_dir_index = record.dir_index;
    source->outer_directory = record.directory;
    record.dir_index = dir_index;
    const std::size_t slash = path.rfind('/');
    record.directory = slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
    if (included_set_.insert(path).second) included_.push_back(path);
    if (base_file_.empty()) base_file_ = path;
    source->is_file = true;
    source->lexer = file_lexer(std::string_view(slot->text.get(), slot->size), file);
    source->tokens = &source->owned;
    source->file = file;
    source->cached = slot.get();
    source->cond_base = conditionals_.size();
    ++file_depth_;
    push_source(std::move(source), path.c_str());
}

// ---------------------------------------------------------------- pragmas, #line

void Preprocessor::do_pragma(const TokenList& original) {
    TokenList line = original;
    if (line.size() >= 2 && line[1].kind == TokKind::Ident) {
        auto alias = pragma_aliases_.find(std::string(line[1].view()));
        if (alias != pragma_aliases_.end()) {
            TokenList replaced(line.begin(), line.begin() + 1);
            TokenList lexed;
            lex(alias->second, line[1].file, line[1].line, lexed);
            for (Token& t : lexed) t.flags = static_cast<std::uint8_t>(kSpaceBefore);
            replaced.insert(replaced.end(), lexed.begin(), lexed.end());
            replaced.insert(replaced.end(), line.begin() + 2, line.end());
            line = std::move(replaced);
        }
    }
    if (line.size() >= 2 && line[1].view() == "pack") {  // structure layout: the declaration analyser's
        std::string body;
        for (std::size_t i = 1; i < line.size(); ++i) body += line[i].view();
        Token pragma = line[1];
        pragma.text = string_pool().intern(body);
        pragma.length = static_cast<std::uint32_t>(body.size());
        pragma.kind = TokKind::Other;
        pragma.flags = kPragma | kLineStart;
        pragma.hide = nullptr;
        pragmas_out_.push_back(pragma);
        return;
    }
    if (line.size() >= 2 && line[1].view() == "once") {
        if (const CachedFile* cached = stack_.back()->cached) once_.insert(cached->key);
        return;
    }
    if (line.size() < 2 || line[1].view() != "korva") return;
    const int file = line[0].file, dline = line[0].line;
    const std::string keyword = line.size() > 2 ? std::string(line[2].view()) : std::string();
    if (keyword == "incl_std") {
        const std::string rest = text_of(line, 3);
        bool any = false;
        std::size_t start = 0;
        while (start <= rest.size()) {
            std::size_t comma = rest.find(',', start);
            if (comma == std::string::npos) comma = rest.size();
            const std::string dir = strip_quotes(std::string_view(rest).substr(start, comma - start));
            if (!dir.empty()) {
                settings_.search_path.push_back(dir);
                searches_.clear();  // a name not found before may be found now
                any = true;
            }
            start = comma + 1;
        }
        if (!any) report(3, Code::SYNTAXERR, "empty pragma korva incl_std", file, dline);
    } else if (keyword == "stop_analyse" || keyword == "stop_analyze") {
        analysing_ = false;
    } else if (keyword == "start_analyse" || keyword == "start_analyze") {
        analysing_ = true;
    } else if (keyword == "pragma") {
        if (line.size() >= 5 && line[3].kind == TokKind::String && line[4].kind == TokKind::String)
            pragma_aliases_[strip_quotes(line[3].view())] = strip_quotes(line[4].view());
    } else if (keyword == "type_modifier") {
        for (std::size_t i = 3; i < line.size(); ++i)
            if (line[i].kind == TokKind::Ident) type_modifiers_.push_back(line[i].text);
    } else {
        report(3, Code::PRAGMAINC, keyword, file, dline);
    }
}

void Preprocessor::do_line(const TokenList& line, const Token& hash, std::size_t first) {
    Source& s = *stack_.back();
    if (first >= line.size() || line[first].kind != TokKind::Number) return;
    const long long number = std::strtoll(std::string(line[first].view()).c_str(), nullptr, 10);
    const long long raw_line = hash.line - s.line_delta;
    s.line_delta = std::clamp<long long>(number, 0, INT_MAX) - (raw_line + 1);
    if (first + 1 < line.size() && line[first + 1].kind == TokKind::String) {
        const FileRecord old = files_[static_cast<std::size_t>(s.file)];
        const std::string_view name = line[first + 1].view();
        s.file = add_file_name(std::string(name.substr(1, name.size() - 2)));
        files_[static_cast<std::size_t>(s.file)].dir_index = old.dir_index;
        files_[static_cast<std::size_t>(s.file)].directory = old.directory;
    }
}

namespace {
bool attribute_we_read(std::string_view name) {
    if (name.size() > 4 && name.substr(0, 2) == "__" && name.substr(name.size() - 2) == "__")
        name = name.substr(2, name.size() - 4);
    static const char* const kKnown[] = {
        "aligned", "packed", "noreturn", "const", "pure", "nonnull", "nothrow", "unused", "used", "deprecated",
        "format", "format_arg", "malloc", "alloc_size", "alloc_align", "warn_unused_result", "always_inline",
        "noinline", "cold", "hot", "visibility", "weak", "alias", "section", "mode", "may_alias",
        "transparent_union", "sentinel", "returns_nonnull", "leaf", "artificial", "gnu_inline", "access",
        "fd_arg", "fd_arg_read", "fd_arg_write", "error", "warning", "vector_size", "cleanup", "constructor",
        "destructor", "fallthrough", "nonstring", "copy", "externally_visible", "no_reorder", "designated_init",
        "unavailable", "flatten", "regparm", "returns_twice", "scalar_storage_order"};
    for (const char* k : kKnown)
        if (name == k) return true;
    return false;
}
}  // namespace

}  // namespace zv::native
