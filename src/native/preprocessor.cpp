#include "native/preprocessor.h"

#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "native/c_lexer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zv::native {

namespace {

constexpr std::size_t kMaxInputLevels = 2000;

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

// ---------------------------------------------------------------- hidesets

const Hideset* HidesetPool::make(std::vector<const char*> names) {
    if (names.empty()) return nullptr;
    std::string key(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(const char*));
    auto& slot = sets_[key];
    if (!slot) slot = std::make_unique<Hideset>(Hideset{std::move(names)});
    return slot.get();
}

bool HidesetPool::contains(const Hideset* set, const char* name) {
    if (!set) return false;
    return std::binary_search(set->names.begin(), set->names.end(), name, std::less<const char*>());
}

const Hideset* HidesetPool::with(const Hideset* set, const char* name) {
    if (contains(set, name)) return set;
    auto key = std::make_pair(static_cast<const void*>(set), static_cast<const void*>(name));
    // Names and sets never share an address, so one cache serves both kinds of key.
    if (auto it = unions_.find(key); it != unions_.end()) return it->second;
    std::vector<const char*> names = set ? set->names : std::vector<const char*>{};
    names.insert(std::upper_bound(names.begin(), names.end(), name, std::less<const char*>()), name);
    return unions_[key] = make(std::move(names));
}

const Hideset* HidesetPool::unite(const Hideset* a, const Hideset* b) {
    if (!a) return b;
    if (!b || a == b) return a;
    auto key = std::make_pair(static_cast<const void*>(a), static_cast<const void*>(b));
    if (auto it = unions_.find(key); it != unions_.end()) return it->second;
    std::vector<const char*> names;
    std::set_union(a->names.begin(), a->names.end(), b->names.begin(), b->names.end(), std::back_inserter(names),
                   std::less<const char*>());
    return unions_[key] = make(std::move(names));
}

const Hideset* HidesetPool::intersect(const Hideset* a, const Hideset* b) {
    if (!a || !b) return nullptr;
    if (a == b) return a;
    std::vector<const char*> names;
    std::set_intersection(a->names.begin(), a->names.end(), b->names.begin(), b->names.end(),
                          std::back_inserter(names), std::less<const char*>());
    return make(std::move(names));
}

// ---------------------------------------------------------------- macro table

template <class T> T* MacroTable::Chunks<T>::take(std::size_t count) {
    // Small at first and doubling: most analyses define few macros.
    constexpr std::size_t kFirstChunk = 64, kChunk = 4096;
    if (size - used < count) {
        size = std::max(std::min(kChunk, size == 0 ? kFirstChunk : 2 * size), count);
        chunks.push_back(std::make_unique<T[]>(size));
        used = 0;
    }
    T* place = chunks.back().get() + used;
    used += count;
    return place;
}

MacroTable::MacroTable() : slots_(1024) {}

const Macro& MacroTable::define(const MacroText& text) {
    ++generation_;
    if ((names_ + 1) * 2 > slots_.size()) {  // kept at most half full
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.name) slots_[place(slot.name)] = slot;
    }
    Slot& slot = slots_[place(text.name)];
    if (!slot.name) {
        slot.name = text.name;
        ++names_;
    }
    if (!slot.macro) {
        if (!free_.empty()) {
            slot.macro = free_.back();
            free_.pop_back();
        } else {
            slot.macro = macros_.take(1);
        }
    }
    Macro& m = *slot.macro;
    m = Macro{};
    m.name = text.name;
    m.function_like = text.function_like;
    m.variadic = text.variadic;
    m.builtin = text.builtin;
    if (!text.params.empty()) {
        const char** params = params_.take(text.params.size());
        std::copy(text.params.begin(), text.params.end(), params);
        m.params = std::span<const char* const>(params, text.params.size());
    }
    if (!text.body.empty()) {
        Token* body = tokens_.take(text.body.size());
        std::copy(text.body.begin(), text.body.end(), body);
        m.body = TokenSpan(body, text.body.size());
    }
    for (const Token& t : m.body) {
        if (t.text == words().hashhash) m.has_paste = true;
        if (t.text == words().va_opt) m.has_va_opt = true;
    }
    return m;
}

void MacroTable::erase(const char* name) {
    ++generation_;
    Slot& slot = slots_[place(name)];
    if (!slot.name || !slot.macro) return;
    free_.push_back(slot.macro);
    slot.macro = nullptr;
}

// ---------------------------------------------------------------- state

Preprocessor::Preprocessor(PreprocessorSettings settings) : settings_(std::move(settings)) {
    files_.push_back(FileRecord{});
    auto& pool = string_pool();
    const std::time_t now = std::time(nullptr);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%b %e %Y", std::localtime(&now));
    date_ = quoted(buffer);
    std::strftime(buffer, sizeof buffer, "%H:%M:%S", std::localtime(&now));
    time_ = quoted(buffer);
    const std::pair<const char*, Macro::Builtin> builtins[] = {
        {"__LINE__", Macro::Builtin::Line},         {"__FILE__", Macro::Builtin::File},
        {"__BASE_FILE__", Macro::Builtin::BaseFile}, {"__INCLUDE_LEVEL__", Macro::Builtin::IncludeLevel},
        {"__DATE__", Macro::Builtin::Date},          {"__TIME__", Macro::Builtin::Time},
        {"__COUNTER__", Macro::Builtin::Counter}};
    for (const auto& [name, kind] : builtins) {
        MacroText m;
        m.name = pool.intern(name);
        m.builtin = kind;
        macros_.define(m);
    }
    define("KVR_LINUX", "1");
    define("USE_KVS", "1");
    define("KVR_CPLUSPLUS_LANGUAGE", "0");
    if (!settings_.knr) define("__STDC__", "1");
}

Preprocessor::~Preprocessor() = default;

int Preprocessor::add_file_name(std::string name) {
    files_.push_back(FileRecord{std::move(name), -1, {}});
    return static_cast<int>(files_.size() - 1);
}

void Preprocessor::lex(std::string_view text, int file, int line, TokenList& out, bool dot_dot) {
    LexOptions options;
    options.dot_dot = dot_dot;
    options.cache = &intern_cache_;
    lex_text(text, file, line, out, options, [&](Code code, int at) { report(3, code, "", file, at); });
}

void Preprocessor::report(int kind, Code code, std::string_view arg, int file, int line) {
    const std::string text(arg);
    const std::string& name = file >= 0 ? files_[static_cast<std::size_t>(file)].name : files_[0].name;
    reportAtText(kind, code, text.c_str(), name.c_str(), line);
}

void Preprocessor::report_here(int kind, Code code, std::string_view arg) {
    int file = 0, line = 0;
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
        if ((*it)->is_file) {
            const Source& s = **it;
            file = s.file;
            const std::size_t at = s.pos > 0 ? s.pos - 1 : 0;
            line = at < s.tokens->size() ? s.shown_line((*s.tokens)[at].line) : 0;
            break;
        }
    }
    report(kind, code, arg, file, line);
}

void Preprocessor::define(std::string_view name, std::string_view body) {
    MacroText m;
    m.name = string_pool().intern(name);
    lex(body, 0, 0, m.body);
    if (!m.body.empty()) m.body.front().flags &= static_cast<std::uint8_t>(~kSpaceBefore);
    macros_.define(m);
}

void Preprocessor::define_item(std::string_view item) {
    const std::size_t eq = item.find('=');
    const std::string_view name = item.substr(0, eq);
    if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_$0123456789") !=
                            std::string_view::npos) {
        const std::string arg = "-D" + std::string(item);
        reportAtText(3, Code::MALFOROPT, arg.c_str(), nullptr, 0);
        return;
    }
    if (eq == std::string_view::npos) {
        define(name, "1");
        return;
    }
    std::string value;
    const std::string_view rest = item.substr(eq + 1);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size() && rest[i + 1] == '\n') {
            ++i;
            continue;
        }
        value += rest[i];
    }
    define(name, value);
}

const Macro* Preprocessor::find_macro(const char* pooled_name) const { return macros_.find(pooled_name); }

bool Preprocessor::defined(std::string_view name) const { return find_macro(string_pool().intern(name)) != nullptr; }

std::string Preprocessor::text_of(const TokenList& tokens, std::size_t from) const {
    std::string out;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        if (i > from && tokens[i].space_before()) out += ' ';
        out.append(tokens[i].text, tokens[i].length);
    }
    return out;
}

// ---------------------------------------------------------------- input stack

void Preprocessor::push_source(std::unique_ptr<Source> source, const char* what) {
    if (stack_.size() >= kMaxInputLevels) report_here(1, Code::NBRECURSI, what);
    stack_.push_back(std::move(source));
}

std::unique_ptr<Preprocessor::Source> Preprocessor::new_source() {
    if (spare_.empty()) return std::make_unique<Source>();
    std::unique_ptr<Source> s = std::move(spare_.back());
    spare_.pop_back();
    TokenList owned = std::move(s->owned);
    owned.clear();
    *s = Source{};
    s->owned = std::move(owned);
    return s;
}

void Preprocessor::drop_top() {
    spare_.push_back(std::move(stack_.back()));
    stack_.pop_back();
}

void Preprocessor::push_tokens(TokenSpan tokens, bool barrier) {
    // An exhausted macro source below is of no further use: dropping it keeps
    // chains of object-like macros from deepening the stack.
    drop_exhausted();
    auto source = new_source();
    source->owned.assign(tokens.begin(), tokens.end());
    source->tokens = &source->owned;
    source->barrier = barrier;
    push_source(std::move(source), "");
}

void Preprocessor::drop_exhausted() {
    while (!stack_.empty() && !stack_.back()->is_file && !stack_.back()->barrier &&
           stack_.back()->pos >= stack_.back()->tokens->size())
        drop_top();
}

void Preprocessor::pop_source() {
    std::unique_ptr<Source> s = std::move(stack_.back());
    stack_.pop_back();
    if (!s->is_file) {
        spare_.push_back(std::move(s));
        return;
    }
    --file_depth_;
    s->lexer.reset();
    if (s->record >= 0) {
        FileRecord& record = files_[static_cast<std::size_t>(s->record)];
        record.dir_index = s->outer_dir_index;
        record.directory = std::move(s->outer_directory);
        s->record = -1;
    }
    while (conditionals_.size() > s->cond_base) {
        const Conditional& c = conditionals_.back();
        report(3, Code::UNTERCOND, c.which, c.file, c.line);
        conditionals_.pop_back();
    }
    if (s->cached && s->guard_candidate && s->guard_closed && !s->guard_broken) s->cached->guard = s->guard_candidate;
    // A guarded file is normally not read again: its tokens make room for the next file's.
    const bool still_read = std::any_of(stack_.begin(), stack_.end(), [&](const auto& other) { return other->cached == s->cached; });
    if (s->cached && !still_read && (s->cached->guard || once_.count(s->cached->key))) {
        s->cached->text.reset();
        s->cached->size = 0;
        s->cached->loaded = false;
    }
    spare_.push_back(std::move(s));
}

std::unique_ptr<LineLexer> Preprocessor::file_lexer(std::string_view joined_text, int file) {
    LexOptions options;
    options.cache = &intern_cache_;
    options.joined = true;
    return std::make_unique<LineLexer>(joined_text, file, 1, options,
                                       [this, file](Code code, int at) { report(3, code, "", file, at); });
}

bool Preprocessor::next_file_line(Source& source) {
    source.owned.clear();
    source.pos = 0;
    return source.lexer && source.lexer->next_line(source.owned);
}

bool Preprocessor::read(Token& token) {
    while (!stack_.empty()) {
        Source& s = *stack_.back();
        if (s.pos >= s.tokens->size()) {
            if (s.is_file && next_file_line(s)) continue;
            if (s.barrier) return false;
            if (s.is_file && collecting_) return false;
            pop_source();
            continue;
        }
        Token t = (*s.tokens)[s.pos++];
        if (s.is_file) {
            t.line = s.shown_line(t.line);
            t.file = s.file;
            if (t.line_start() && t.text == words().hash) {
                directive(t);
                continue;
            }
            s.seen = true;
            if (s.guard_closed) s.guard_broken = true;
            if (t.flags & kUnterminated) report(3, Code::UNTERSTRI, "", t.file, t.line);
        }
        token = t;
        return true;
    }
    return false;
}

bool Preprocessor::peek_lparen() {
    for (std::size_t i = stack_.size(); i-- > 0;) {
        Source& s = *stack_[i];
        if (s.pos >= s.tokens->size() && s.is_file) next_file_line(s);  // looking ahead is harmless
        if (s.pos < s.tokens->size()) {
            const Token& t = (*s.tokens)[s.pos];
            if (s.is_file && t.line_start() && t.text == words().hash) return false;
            return t.text == words().lparen;
        }
        if (s.is_file || s.barrier) return false;
    }
    return false;
}

void Preprocessor::rest_of_line(TokenList& line) {
    Source& s = *stack_.back();
    const TokenList& tokens = *s.tokens;  // a file's buffer holds one line
    line.assign(tokens.begin() + static_cast<std::ptrdiff_t>(std::min(s.pos, tokens.size())), tokens.end());
    s.pos = std::max(s.pos, tokens.size());
    for (Token& t : line) {
        t.line = s.shown_line(t.line);
        t.file = s.file;
    }
}

// ---------------------------------------------------------------- driver loop

void Preprocessor::run(std::string_view text, const std::string& name, int line, TokenList& out, bool dot_dot) {
    auto source = new_source();
    source->is_file = true;
    const auto known = run_files_.find(name);
    source->file = known != run_files_.end() ? known->second : run_files_.emplace(name, add_file_name(name)).first->second;
    // The file a text stands for; a nameless text (an include line) stands for
    // the first file it includes.
    base_file_ = name;
    // The text stands as a file whose first line is `line`.
    LexOptions options;
    options.dot_dot = dot_dot;
    options.cache = &intern_cache_;
    const int file = source->file;
    source->lexer = std::make_unique<LineLexer>(text, file, line, options, [this, file](Code code, int at) {
        report(3, code, "", file, at);
    });
    source->tokens = &source->owned;
    source->cond_base = conditionals_.size();
    ++file_depth_;
    push_source(std::move(source), name.c_str());
    Token t;
    const auto pragmas = [&] {
        if (analysing_) out.insert(out.end(), pragmas_out_.begin(), pragmas_out_.end());
        pragmas_out_.clear();
    };
    produced_ = 0;
    while (next_expanded(t)) {
        if (!t.hide) produced_ = 0;  // straight from a file
        if (!pragmas_out_.empty()) pragmas();
        if (analysing_) out.push_back(t);
    }
    while (!stack_.empty()) pop_source();
    pragmas();
}

bool Preprocessor::next_expanded(Token& token) {
    Token t;
    while (read(t)) {
        if (t.text == words().pragma_op && pragma_operator(t)) continue;
        if (t.kind == TokKind::Ident && !(t.flags & kNoExpand)) {
            if (const Macro* macro = macros_.find(t.text)) {
                ++context_uses_;
                if (HidesetPool::contains(t.hide, t.text)) {
                    t.flags |= kNoExpand;
                } else if (expand(*macro, t)) {
                    continue;
                }
            }
        }
        token = t;
        return true;
    }
    return false;
}

// _Pragma("text") acts as the line "#pragma text" and leaves nothing behind.
// Its parenthesis, string and closing parenthesis are each read macro-expanded,
// so the string may come from a macro, STR(x) for one. Anything else in their
// place is an error, and the tokens read up to it are gone.
bool Preprocessor::pragma_operator(const Token& op) {
    ++context_uses_;
    ++directives_run_;
    if (reading_pragma_) return false;  // the operand of another: not a string, so an error there
    reading_pragma_ = true;
    Token lparen, text, rparen;
    const bool well_formed = next_expanded(lparen) && lparen.text == words().lparen && next_expanded(text) &&
                             text.kind == TokKind::String && next_expanded(rparen) && rparen.text == words().rparen;
    reading_pragma_ = false;
    if (!well_formed) {
        report(3, Code::SYNTAXERR, "_Pragma takes a parenthesized string literal", op.file, op.line);
        return true;
    }
    std::string body;
    const std::string_view quoted_text = text.view().substr(text.view().find('"'));
    for (std::size_t i = 1; i + 1 < quoted_text.size(); ++i) {
        if (quoted_text[i] == '\\' && i + 2 < quoted_text.size() && (quoted_text[i + 1] == '"' || quoted_text[i + 1] == '\\')) ++i;
        body += quoted_text[i];
    }
    TokenList line;
    lex("pragma " + body, op.file, op.line, line);
    do_pragma(line);
    return true;
}

TokenList Preprocessor::expand_all(const TokenList& tokens) {
    TokenList out;
    expand_all(TokenSpan(tokens), out);
    return out;
}

void Preprocessor::expand_all(TokenSpan tokens, TokenList& out) {
    if (tokens.empty()) return;
    // Most arguments name no macro at all: they expand to themselves.
    const bool plain = std::none_of(tokens.begin(), tokens.end(), [&](const Token& t) {
        return t.kind == TokKind::Ident && !(t.flags & kNoExpand) &&
               (macros_.contains(t.text) || t.text == words().pragma_op);
    });
    if (plain) {
        out.insert(out.end(), tokens.begin(), tokens.end());
        return;
    }
    // Each nested call holds a copy of what its argument still encloses, so
    // a deep nest costs its depth times its length: beyond a bound that no
    // nest within the level limit reaches, the nest is too deep.
    if (expanding_tokens_ + tokens.size() > kMaxExpandingTokens) report_here(1, Code::NBRECURSI, "");
    expanding_tokens_ += tokens.size();
    const bool saved = collecting_;
    collecting_ = false;
    push_tokens(tokens, true);
    const std::size_t level = stack_.size();
    Token t;
    while (next_expanded(t)) out.push_back(t);
    while (stack_.size() >= level) drop_top();
    collecting_ = saved;
    expanding_tokens_ -= tokens.size();
}

// ---------------------------------------------------------------- macros

Token Preprocessor::make_token(std::string_view text, const Token& where) {
    TokenList lexed;
    lex(text, where.file, where.line, lexed);
    Token t = lexed.empty() ? Token{} : lexed.front();
    if (lexed.empty()) t.text = string_pool().intern(text), t.length = static_cast<std::uint32_t>(text.size()), t.kind = TokKind::Other;
    t.file = where.file;
    t.line = where.line;
    t.flags = static_cast<std::uint8_t>((where.flags & kSpaceBefore) | (t.flags & kUnterminated));
    t.hide = nullptr;
    return t;
}

Token Preprocessor::builtin_value(const Macro& macro, const Token& name) {
    std::string text;
    switch (macro.builtin) {
    case Macro::Builtin::Line: text = std::to_string(name.line); break;
    case Macro::Builtin::File: text = quoted(file_name(name.file)); break;
    case Macro::Builtin::BaseFile: text = quoted(base_file_); break;
    case Macro::Builtin::IncludeLevel: text = std::to_string(std::max(0, file_depth_ - 1)); break;
    case Macro::Builtin::Date: text = date_; break;
    case Macro::Builtin::Time: text = time_; break;
    case Macro::Builtin::Counter: text = std::to_string(counter_++); break;
    case Macro::Builtin::None: break;
    }
    return make_token(text, name);
}

std::unique_ptr<Preprocessor::MacroArgs> Preprocessor::take_args() {
    if (spare_args_.empty()) return std::make_unique<MacroArgs>();
    std::unique_ptr<MacroArgs> args = std::move(spare_args_.back());
    spare_args_.pop_back();
    args->tokens.clear();
    args->spans.clear();
    args->expanded.clear();
    args->expanded_spans.clear();
    return args;
}

bool Preprocessor::collect_arguments(const Macro& macro, const Token& name, MacroArgs& args, Token& rparen) {
    const Words& w = words();
    Token t;
    const bool saved = collecting_;
    collecting_ = true;
    read(t);  // the "("
    std::uint32_t start = 0;  // of the argument being read
    int depth = 0;
    bool closed = false;
    while (read(t)) {
        if (t.text == w.lparen) {
            ++depth;
        } else if (t.text == w.rparen) {
            if (depth == 0) {
                rparen = t;
                closed = true;
                break;
            }
            --depth;
        } else if (t.text == w.comma && depth == 0 &&
                   !(macro.variadic && args.spans.size() + 1 >= macro.params.size())) {
            args.spans.emplace_back(start, static_cast<std::uint32_t>(args.tokens.size()));
            start = static_cast<std::uint32_t>(args.tokens.size());
            continue;
        }
        t.flags &= static_cast<std::uint8_t>(~kLineStart);
        if (args.tokens.size() == start) t.flags &= static_cast<std::uint8_t>(~kSpaceBefore);
        args.tokens.push_back(t);
    }
    args.spans.emplace_back(start, static_cast<std::uint32_t>(args.tokens.size()));
    collecting_ = saved;
    if (!closed) {
        report(3, Code::ERRINLINE, "unterminated macro call", name.file, name.line);
        return false;
    }
    const std::size_t want = macro.params.size();
    const std::size_t got = args.spans.size();
    if (want == 0) {
        if (got > 1 || !args.tokens.empty()) report(3, Code::ARGTOMACR, macro.name, name.file, name.line);
        args.spans.clear();
        return true;
    }
    const std::size_t required = macro.variadic ? want - 1 : want;
    if (!macro.variadic && got > want) report(1, Code::TOMANYARG, macro.name, name.file, name.line);
    if (got < required) {
        if (got == 1 && args.tokens.empty()) report(3, Code::NOARTOMAC, macro.name, name.file, name.line);
        else report(3, Code::NBARGMACR, macro.name, name.file, name.line);
    }
    const auto end = static_cast<std::uint32_t>(args.tokens.size());
    args.spans.resize(want, std::make_pair(end, end));
    return true;
}

bool Preprocessor::paste(Token& left, const Token& right) {
    std::string& text = paste_text_;
    text.assign(left.text, left.length);
    text.append(right.text, right.length);
    TokenList& lexed = paste_tokens_;
    lexed.clear();
    lex(text, left.file, left.line, lexed);
    if (lexed.size() != 1) return false;
    const std::uint8_t flags = left.flags;
    const Hideset* hide = left.hide;
    const int file = left.file, line = left.line;
    left = lexed.front();
    left.flags = static_cast<std::uint8_t>(flags & (kSpaceBefore | kLineStart));
    left.hide = hide;
    left.file = file;
    left.line = line;
    return true;
}

void Preprocessor::substitute(const Macro& macro, MacroArgs& args, TokenList& out) {
    const Words& w = words();
    auto param_of = [&](const Token& t) -> int {
        if (t.kind != TokKind::Ident) return -1;
        for (std::size_t i = 0; i < macro.params.size(); ++i)
            if (macro.params[i] == t.text) return static_cast<int>(i);
        return -1;
    };
    auto arg = [&](int p) {
        const auto [first, last] = args.spans[static_cast<std::size_t>(p)];
        return TokenSpan(args.tokens.data() + first, last - first);
    };
    const int last_param = static_cast<int>(macro.params.size()) - 1;
    const bool va_present = macro.variadic && !args.spans.empty() && !arg(last_param).empty();

    // __VA_OPT__(x) becomes x when the variable arguments hold tokens, else nothing.
    TokenList va_opt_body;
    if (macro.has_va_opt) {
        va_opt_body.reserve(macro.body.size());
        for (std::size_t i = 0; i < macro.body.size(); ++i) {
            const Token& t = macro.body[i];
            if (t.text == w.va_opt && macro.variadic && i + 1 < macro.body.size() && macro.body[i + 1].text == w.lparen) {
                int depth = 0;
                std::size_t j = i + 1;
                for (; j < macro.body.size(); ++j) {
                    if (macro.body[j].text == w.lparen) ++depth;
                    else if (macro.body[j].text == w.rparen && --depth == 0) break;
                }
                if (va_present)
                    for (std::size_t k = i + 2; k < j && k < macro.body.size(); ++k) va_opt_body.push_back(macro.body[k]);
                i = j;
                continue;
            }
            va_opt_body.push_back(t);
        }
    }
    const TokenSpan body = macro.has_va_opt ? TokenSpan(va_opt_body) : macro.body;

    Token placemarker;
    placemarker.kind = TokKind::End;
    placemarker.length = 0;
    // Arguments are expanded when first needed, one after the other into one list.
    constexpr std::uint32_t kNotYet = 0xffffffffu;
    args.expanded_spans.assign(args.spans.size(), std::make_pair(kNotYet, kNotYet));
    auto expanded_arg = [&](int p) {
        auto& span = args.expanded_spans[static_cast<std::size_t>(p)];
        if (span.first == kNotYet) {
            const auto first = static_cast<std::uint32_t>(args.expanded.size());
            expand_all(arg(p), args.expanded);
            span = std::make_pair(first, static_cast<std::uint32_t>(args.expanded.size()));
        }
        return TokenSpan(args.expanded.data() + span.first, span.second - span.first);
    };
    auto append = [&](TokenSpan list, const Token& at) {
        const std::size_t first = out.size();
        out.insert(out.end(), list.begin(), list.end());
        if (!list.empty())
            out[first].flags = static_cast<std::uint8_t>((out[first].flags & ~kSpaceBefore) | (at.flags & kSpaceBefore));
        // A body that repeats a large argument would fill the memory before
        // expand checks the bound on the whole replacement: the same bound,
        // checked as the replacement grows (placemarkers, at most one a body
        // token, left aside).
        if (produced_ + out.size() > settings_.expansion_limit + body.size())
            report_here(1, Code::EXPTOOBIG, macro.name);
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        const Token& t = body[i];
        if (macro.function_like && t.text == w.hash && i + 1 < body.size() && param_of(body[i + 1]) >= 0) {
            const TokenSpan a = arg(param_of(body[i + 1]));
            std::string text = "\"";
            for (std::size_t k = 0; k < a.size(); ++k) {
                if (k > 0 && a[k].space_before()) text += ' ';
                if (a[k].kind == TokKind::String || a[k].kind == TokKind::Char) {
                    for (char c : a[k].view()) {
                        if (c == '"' || c == '\\') text += '\\';
                        text += c;
                    }
                } else {
                    text.append(a[k].view());
                }
            }
            text += '"';
            Token s = t;
            s.text = string_pool().intern(text);
            s.length = static_cast<std::uint32_t>(text.size());
            s.kind = TokKind::String;
            s.hide = nullptr;
            out.push_back(s);
            ++i;
            continue;
        }
        // GNU comma elision: ", ## __VA_ARGS__" drops the comma when nothing is passed.
        if (t.text == w.comma && macro.variadic && i + 2 < body.size() && body[i + 1].text == w.hashhash &&
            param_of(body[i + 2]) == last_param) {
            const TokenSpan va = arg(last_param);
            if (!va.empty()) {
                out.push_back(t);
                append(va, body[i + 2]);
            }
            i += 2;
            continue;
        }
        if (t.text == w.hashhash && i + 1 < body.size() && !out.empty()) {
            const Token& rhs = body[i + 1];
            const int p = param_of(rhs);
            const TokenSpan right = p >= 0 ? arg(p) : TokenSpan(&rhs, 1);
            ++i;
            if (right.empty()) continue;
            if (out.back().kind == TokKind::End && out.back().length == 0) {
                const std::uint8_t space = out.back().flags;
                out.pop_back();
                const std::size_t first = out.size();
                out.insert(out.end(), right.begin(), right.end());
                out[first].flags = static_cast<std::uint8_t>((out[first].flags & ~kSpaceBefore) | (space & kSpaceBefore));
                continue;
            }
            std::size_t k = 0;
            if (paste(out.back(), right.front())) k = 1;
            out.insert(out.end(), right.begin() + k, right.end());
            continue;
        }
        const int p = param_of(t);
        if (p >= 0) {
            const bool before_paste = i + 1 < body.size() && body[i + 1].text == w.hashhash;
            const TokenSpan a = before_paste ? arg(p) : expanded_arg(p);
            if (a.empty()) {
                if (before_paste) {
                    Token m = placemarker;
                    m.flags = t.flags & kSpaceBefore;
                    out.push_back(m);
                }
                continue;
            }
            append(a, t);
            continue;
        }
        out.push_back(t);
    }
    out.erase(std::remove_if(out.begin(), out.end(), [](const Token& k) { return k.kind == TokKind::End; }), out.end());
}

bool Preprocessor::expand(const Macro& macro, const Token& name) {
    // The replacement is made in a recycled source, pushed when complete.
    std::unique_ptr<Source> source;
    const Hideset* hide = nullptr;
    if (macro.builtin != Macro::Builtin::None) {
        source = new_source();
        source->owned.push_back(builtin_value(macro, name));
    } else if (!macro.function_like) {
        source = new_source();
        if (macro.has_paste) {
            std::unique_ptr<MacroArgs> args = take_args();
            substitute(macro, *args, source->owned);
            spare_args_.push_back(std::move(args));
        } else {
            source->owned.assign(macro.body.begin(), macro.body.end());
        }
        hide = hidesets_.with(name.hide, macro.name);
    } else {
        if (!peek_lparen()) return false;
        std::unique_ptr<MacroArgs> args = take_args();
        Token rparen;
        const bool called = collect_arguments(macro, name, *args, rparen);
        if (called) {
            hide = hidesets_.with(hidesets_.intersect(name.hide, rparen.hide), macro.name);
            source = new_source();
            substitute(macro, *args, source->owned);
        }
        spare_args_.push_back(std::move(args));
        if (!called) return true;
    }
    // A token's hideset names the expansions that made it, one level each of
    // the input stack they stand for (a chain of macros leaves no level
    // behind, and each set would be a copy of the last one and a name).
    if (hide && hide->names.size() > kMaxInputLevels) report_here(1, Code::NBRECURSI, macro.name);
    TokenList& result = source->owned;
    // Macros that multiply at each level would fill the memory: a bound on what
    // the expansions since the last token of a file have made.
    produced_ += result.size();
    if (produced_ > settings_.expansion_limit) report_here(1, Code::EXPTOOBIG, macro.name);
    // Neighbouring tokens mostly share a hideset: the last union is kept.
    const Hideset* last_from = nullptr;
    const Hideset* last_union = hide;
    for (std::size_t i = 0; i < result.size(); ++i) {
        Token& t = result[i];
        if (t.hide != last_from) {
            last_from = t.hide;
            last_union = hidesets_.unite(t.hide, hide);
        }
        t.hide = last_union;
        t.file = name.file;
        t.line = name.line;
        t.flags &= static_cast<std::uint8_t>(~kLineStart);
        if (i == 0) t.flags = static_cast<std::uint8_t>((t.flags & ~kSpaceBefore) | (name.flags & kSpaceBefore));
    }
    drop_exhausted();
    source->tokens = &source->owned;
    push_source(std::move(source), macro.name);
    return true;
}

}  // namespace zv::native
