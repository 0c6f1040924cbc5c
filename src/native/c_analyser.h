// The C analyser behind the facade: one preprocessor, type table and symbol
// table for the run, with the current position and C scope name, and the
// parsing of declarations, expressions and type names over them. Only the
// units of this folder (and the tests of those units) see it.
#pragma once

#include "native/c_parser.h"
#include "native/c_token.h"
#include "native/c_types.h"
#include "native/native_analyser.h"
#include "native/symbol_table.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv::native {

class Preprocessor;

class CAnalyser {
public:
    // Search path and restriction, predefined macros, then the defines in order.
    explicit CAnalyser(const AnalyserOptions& options);
    ~CAnalyser();

    Preprocessor& preprocessor() { return *pp_; }
    SymbolTable& symbols() { return symbols_; }
    TypeTable& types() { return types_; }

    // Position and scope that later messages and declarations use.
    void set_position(const std::string& file, int line, const std::string& scope_name);

    // Reads a file through a one-line `#include "path"` text and registers its
    // declarations under the empty scope name. The include line's own messages
    // carry `path` and line 0 for the standard-defines file, no name otherwise.
    void analyse_file(const std::string& path, bool standard_defines);
    // Tokens of a file read the same way, without declaration analysis.
    TokenList preprocess_file(const std::string& path);
    // Preprocesses a text at the current position (".." is a token in it).
    TokenList preprocess_tokens(const std::string& text);
    // Preprocessed text of `text` (with line markers), or nothing when empty.
    std::optional<std::string> preprocess(const std::string& text);
    // Declarations of a preprocessed text (line markers honoured).
    void declare(const std::string& preprocessed, const std::string& scope_name, const std::string& file, int line);
    void declare_tokens(const TokenList& tokens);
    // Expression of a preprocessed text under the current scope (null after an error).
    std::unique_ptr<ExprTree> parse_expression(const std::string& preprocessed);
    // A quiet parse counts in `suppressed` the messages it did not report.
    std::unique_ptr<ExprTree> parse_expression_tokens(const TokenList& tokens, bool quiet, int* suppressed = nullptr);
    const Type* type_by_name(const std::string& type_name, const std::string& scope_name);
    // A variable or function visible under the scope name.
    const Symbol* variable(const std::string& name, const std::string& scope_name);
    // Changes whenever a declaration, a scope or a macro changes, or a
    // directive runs: an answer about names holds while it stays the same.
    std::uint64_t declarations_generation() const;
    // The key of a text's answer under a scope name (empty when the text is
    // too long to keep): a scope without declarations of its own stands for
    // the empty name, where the text means the same.
    std::string answer_key(const std::string& scope_name, const std::string& text) const;

private:
    TokenList run_text(const std::string& text, const std::string& name, int line, bool dot_dot = false);
    const Type* read_type_name(const std::string& type_name, const std::string& scope_name);
    ParserContext context(bool quiet);
    int file_index(const std::string& name);
    const char* pooled_file_name(int file);  // interned once per file
    TokenList lex_preprocessed(const std::string& text, const std::string& file, int line);

    std::unique_ptr<Preprocessor> pp_;
    TypeTable types_;
    PackPragmas pack_;
    SymbolTable symbols_;
    std::unordered_map<std::string, int> file_indexes_;
    // Types by answer key, with the declarations' generation they hold for.
    struct KnownType {
        const Type* type = nullptr;
        std::uint64_t generation = 0;
    };
    std::unordered_map<std::string, KnownType> known_types_;
    std::vector<const char*> pooled_names_;
    std::string file_;  // current position
    int line_ = 0;
};

// Bounds of the answers kept for texts that depend on the declarations.
constexpr std::size_t kKnownTextLimit = 256;
constexpr std::size_t kKnownTexts = 4096;

// The analyser behind a facade.
CAnalyser& c_analyser(NativeAnalyser& analyser);

// The search path of the analyser: INCL directories, $KVSTGT/lib or else
// $KVRTGT/lib, then the system directories when KVW_ADD_USR_INCLUDE is set.
std::vector<std::string> include_search_path(const std::vector<std::string>& include_dirs);

}  // namespace zv::native
