// The C preprocessor of the interface analysis: include search with the
// directory each file came from, macro table with object-like, function-like
// and variadic macros, conditional compilation, the analyser's pragmas and the
// diagnostics of the directives. Produces a token list with positions.
#pragma once

#include "diagnostics/message_codes.h"
#include "native/c_lexer.h"
#include "native/c_token.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zv::native {

// A run of tokens held elsewhere.
using TokenSpan = std::span<const Token>;

struct Macro {
    enum class Builtin : std::uint8_t { None, Line, File, BaseFile, IncludeLevel, Date, Time, Counter };
    const char* name = nullptr;
    bool function_like = false;
    bool variadic = false;                 // the last parameter takes the remaining arguments
    bool has_paste = false;                // "##" in the body
    bool has_va_opt = false;               // "__VA_OPT__" in the body
    Builtin builtin = Builtin::None;
    std::span<const char* const> params;  // the variadic one is "__VA_ARGS__" or its given name
    TokenSpan body;
};

// A macro as its definition is read, before the table keeps it.
struct MacroText {
    const char* name = nullptr;
    bool function_like = false;
    bool variadic = false;
    Macro::Builtin builtin = Macro::Builtin::None;
    std::vector<const char*> params;
    TokenList body;
};

// The macros by pooled name: open addressing over the name pointers. Macros,
// their parameters and bodies are stored in chunks that never move, so that a
// definition costs no allocation of its own and the table is freed at once.
class MacroTable {
public:
    MacroTable();
    const Macro* find(const char* name) const {
        const Slot& slot = slots_[place(name)];
        return slot.name ? slot.macro : nullptr;
    }
    bool contains(const char* name) const { return find(name) != nullptr; }
    const Macro& define(const MacroText& text);
    void erase(const char* name);
    // Changes with every definition and undefinition.
    std::uint64_t generation() const { return generation_; }

private:
    struct Slot {
        const char* name = nullptr;  // once set, stays: an undefined name keeps its slot
        Macro* macro = nullptr;      // null when the name is not defined
    };
    template <class T> struct Chunks {
        std::vector<std::unique_ptr<T[]>> chunks;
        std::size_t used = 0, size = 0;
        T* take(std::size_t count);
    };
    // The slot of a name, or the free one where it would go.
    std::size_t place(const char* name) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(name) * 0x9e3779b97f4a7c15ull) >> 32) & mask;
        while (slots_[at].name && slots_[at].name != name) at = (at + 1) & mask;
        return at;
    }

    std::vector<Slot> slots_;  // a power of two in size
    std::size_t names_ = 0;
    std::uint64_t generation_ = 0;
    std::vector<Macro*> free_;  // of undefined names
    Chunks<Macro> macros_;
    Chunks<Token> tokens_;
    Chunks<const char*> params_;
};

struct PreprocessorSettings {
    bool knr = false;                      // K&R restriction: no __STDC__, looser directive checks
    bool tolerant = false;                 // a missing include is a warning, not fatal
    std::vector<std::string> search_path;  // include directories in order
    // Tokens that expansions may make between two tokens read from a file.
    std::size_t expansion_limit = std::size_t{1} << 22;
};

// Interns hidesets and caches their unions.
class HidesetPool {
public:
    const Hideset* empty() const { return nullptr; }
    const Hideset* with(const Hideset* set, const char* name);
    const Hideset* unite(const Hideset* a, const Hideset* b);
    const Hideset* intersect(const Hideset* a, const Hideset* b);
    static bool contains(const Hideset* set, const char* name);

private:
    const Hideset* make(std::vector<const char*> names);
    struct PairHash {
        std::size_t operator()(const std::pair<const void*, const void*>& p) const {
            return std::hash<const void*>()(p.first) * 31u ^ std::hash<const void*>()(p.second);
        }
    };
    std::unordered_map<std::string, std::unique_ptr<Hideset>> sets_;
    std::unordered_map<std::pair<const void*, const void*>, const Hideset*, PairHash> unions_;
};

class Preprocessor {
public:
    explicit Preprocessor(PreprocessorSettings settings);
    ~Preprocessor();

    // Defines "name" as 1 or "name=text"; anything else gives MALFOROPT.
    void define_item(std::string_view item);
    void define(std::string_view name, std::string_view body);
    const Macro* find_macro(const char* pooled_name) const;
    // Changes with every macro definition and undefinition, and with every
    // directive or _Pragma run: a pragma, say, may change how the C parser
    // reads later texts without defining anything.
    std::uint64_t macros_generation() const { return macros_.generation() + directives_run_; }
    // Counts the macro names met, the _Pragma operators and the directives. A
    // text whose preprocessing met none of them gives the same tokens wherever
    // and whenever it is preprocessed, and changed nothing.
    std::uint64_t context_uses() const { return context_uses_; }

    // Preprocesses a text read as if it were a file named `name` starting at
    // `line`; the result is appended to `out`. With `dot_dot` the text itself
    // (not the files it includes) has ".." as a token, as script values need.
    void run(std::string_view text, const std::string& name, int line, TokenList& out, bool dot_dot = false);

    // Name of a file index (as opened; "" for a text without name).
    const std::string& file_name(int file) const { return files_[static_cast<std::size_t>(file)].name; }
    int add_file_name(std::string name);
    // Every path opened by #include, once, in order.
    const std::vector<std::string>& included_files() const { return included_; }
    // Type modifiers declared by the korva pragma.
    const std::vector<const char*>& type_modifiers() const { return type_modifiers_; }
    bool defined(std::string_view name) const;
    HidesetPool& hidesets() { return hidesets_; }

    // Lexes text with this preprocessor's file table (no preprocessing).
    void lex(std::string_view text, int file, int line, TokenList& out, bool dot_dot = false);

private:
    struct FileRecord {
        std::string name;  // as opened
        int dir_index = -1;
        std::string directory;
    };
    struct CachedFile {
        // Continued lines joined; dropped once a guarded file has been read to its end.
        std::unique_ptr<char[]> text;
        std::size_t size = 0;
        bool loaded = false;
        const char* guard = nullptr;
        std::string key;  // device and inode: the same file under any name
    };

    struct Source {
        const TokenList* tokens = nullptr;
        TokenList owned;  // a macro's tokens, or the current line of a file
        std::unique_ptr<LineLexer> lexer;  // files: the lines not read yet
        std::size_t pos = 0;
        bool is_file = false;
        bool barrier = false;
        int file = -1;
        long long line_delta = 0;  // set by #line
        // The line a physical line is shown as; numbers past the largest
        // int stay at it.
        int shown_line(int raw) const {
            return static_cast<int>(std::clamp<long long>(raw + line_delta, 0, INT_MAX));
        }
        CachedFile* cached = nullptr;
        // The file record's search place before this reading of the file, put
        // back at its end (a file read again inside itself under another name).
        int record = -1;
        int outer_dir_index = -1;
        std::string outer_directory;
        std::size_t cond_base = 0;
        // include-guard detection
        bool seen = false;
        const char* guard_candidate = nullptr;
        std::size_t guard_level = 0;
        bool guard_closed = false;
        bool guard_broken = false;
    };

    // The arguments of a macro call, one after the other, and their expansions
    // as far as made.
    struct MacroArgs {
        TokenList tokens;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // of each argument in `tokens`
        TokenList expanded;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> expanded_spans;
    };

    struct Conditional {
        const char* which;  // "if", "ifdef" or "ifndef"
        int line;
        int file;
        bool taken;
        bool in_else;
    };


    // Reading
    bool read(Token& token);            // next raw token, directives handled
    bool peek_lparen();                 // next raw token is "(" (macro sources may end on the way)
    bool next_expanded(Token& token);   // next token after macro expansion
    void push_tokens(TokenSpan tokens, bool barrier);
    void drop_exhausted();  // finished macro sources on top of the stack
    void push_source(std::unique_ptr<Source> source, const char* what);
    void pop_source();
    std::unique_ptr<Source> new_source();  // reuses a finished one when there is one
    void drop_top();
    void rest_of_line(TokenList& line);
    // Buffers of the directive lines, reused from line to line; taken while in use.
    TokenList take_line_buffer();
    void give_back_line_buffer(TokenList&& line);
    bool next_file_line(Source& source);  // false at the end of the file
    std::unique_ptr<LineLexer> file_lexer(std::string_view joined_text, int file);
    void directive(const Token& hash);
    void run_directive(const Token& hash, const TokenList& line, bool first_in_file);
    void skip_group();
    void skip_group_lines(TokenList& line);
    void report(int kind, Code code, std::string_view arg, int file, int line);
    void report_here(int kind, Code code, std::string_view arg);

    // Directives
    void do_define(const TokenList& line);
    void do_undef(const TokenList& line);
    void do_include(const TokenList& line, bool next);
    // The conditional directives return true when the group that follows is skipped.
    bool do_if(const TokenList& line, int directive_line, bool first_in_file);
    bool do_ifdef(bool negate, const TokenList& line, int directive_line, bool first_in_file);
    bool do_else_elif(bool is_elif, const TokenList& line, int directive_line);
    void do_endif(int directive_line);
    void do_pragma(const TokenList& line);
    void do_line(const TokenList& line, const Token& hash, std::size_t first);
    bool evaluate(const char* which, const TokenList& line, int directive_line);
    bool resolve_operators(const TokenList& line, TokenList& out);
    std::string header_name(const TokenList& line, std::size_t& pos, bool& angled) const;
    bool find_include(const std::string& name, bool angled, bool next, std::string& path, int& dir_index);
    bool regular_file(const std::string& path);
    bool search_include(const std::string& name, bool angled, bool next, const FileRecord* from, std::string& path,
                        int& dir_index);
    void include_file(const std::string& path, int dir_index, int from_file, int from_line);

    // Macros
    bool expand(const Macro& macro, const Token& name);
    bool pragma_operator(const Token& op);
    TokenList expand_all(const TokenList& tokens);
    void expand_all(TokenSpan tokens, TokenList& out);
    std::unique_ptr<MacroArgs> take_args();  // recycled, empty
    bool collect_arguments(const Macro& macro, const Token& name, MacroArgs& args, Token& rparen);
    void substitute(const Macro& macro, MacroArgs& args, TokenList& out);
    Token builtin_value(const Macro& macro, const Token& name);
    Token make_token(std::string_view text, const Token& where);
    bool paste(Token& left, const Token& right);

    std::string text_of(const TokenList& tokens, std::size_t from = 0) const;

    PreprocessorSettings settings_;
    std::vector<FileRecord> files_;
    // The record of each name that texts given to run() stand for: one per
    // name, however many texts (a script types thousands of expressions).
    std::unordered_map<std::string, int> run_files_;
    MacroTable macros_;
    std::uint64_t context_uses_ = 0;
    std::uint64_t directives_run_ = 0;
    MacroText macro_text_;  // the definition being read
    std::vector<std::unique_ptr<Source>> stack_;
    std::vector<std::unique_ptr<Source>> spare_;
    InternCache intern_cache_;
    struct OpenedPath {
        std::string identity;  // device and inode (the path itself when it cannot be told)
        int file = -1;         // its file record, once read
    };
    std::unordered_map<std::string, OpenedPath> paths_;  // by path as opened
    std::unordered_map<std::string, bool> directories_;  // directories of candidates: whether they exist
    std::unordered_map<std::string, std::pair<std::string, int>> searches_;  // include searches made
    std::vector<Conditional> conditionals_;
    std::unordered_map<std::string, std::unique_ptr<CachedFile>> cache_;
    std::unordered_set<std::string> once_;
    std::vector<std::string> included_;
    std::unordered_set<std::string> included_set_;
    std::unordered_map<std::string, std::string> pragma_aliases_;
    std::vector<const char*> type_modifiers_;
    HidesetPool hidesets_;
    std::string base_file_;
    std::string date_, time_;
    int counter_ = 0;
    bool analysing_ = true;
    TokenList pragmas_out_;  // pragmas for the declaration analyser, before the next token
    int file_depth_ = 0;
    static constexpr std::size_t kMaxDirectiveTextLength = 8190;
    bool collecting_ = false;  // reading macro arguments: a file's end ends the call
    bool reading_pragma_ = false;  // reading the operand of _Pragma
    // Tokens of the arguments being expanded at once, and their bound: a nest of
    // calls within the level limit holds at most about its depth squared.
    std::size_t expanding_tokens_ = 0;
    static constexpr std::size_t kMaxExpandingTokens = std::size_t{1} << 23;
    std::size_t inclusions_ = 0;  // files entered by #include, over the analyser's life
    static constexpr std::size_t kMaxInclusions = std::size_t{1} << 18;
    std::size_t produced_ = 0;  // tokens made by expansions since the last one read from a file
    std::vector<TokenList> line_buffers_;
    std::vector<std::unique_ptr<MacroArgs>> spare_args_;
    std::string paste_text_;
    TokenList paste_tokens_;
};

}  // namespace zv::native
