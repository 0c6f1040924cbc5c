// The interface analysis as the rest of the compiler sees it: set-up with the
// include path and defines, preprocessing, registration of C declarations under
// C scope names, and the type questions of the semantic analysis.
#pragma once

#include "native/c_parser.h"
#include "native/c_token.h"
#include "native/c_types.h"
#include "native/symbol_table.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv {
struct RunSettings;
}

namespace zv::native {

class Preprocessor;

class NativeAnalyser {
public:
    NativeAnalyser(int restriction, const std::vector<std::string>& include_dirs);
    ~NativeAnalyser();

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
    std::unique_ptr<ExprTree> parse_expression_tokens(const TokenList& tokens, bool quiet);
    const Type* type_by_name(const std::string& type_name, const std::string& scope_name);
    const Symbol* variable(const std::string& name, const std::string& scope_name);

private:
    TokenList run_text(const std::string& text, const std::string& name, int line, bool dot_dot = false);
    ParserContext context(bool quiet);
    int file_index(const std::string& name);
    const char* pooled_file_name(int file);  // interned once per file
    TokenList lex_preprocessed(const std::string& text, const std::string& file, int line);

    std::unique_ptr<Preprocessor> pp_;
    TypeTable types_;
    PackPragmas pack_;
    SymbolTable symbols_;
    std::unordered_map<std::string, int> file_indexes_;
    std::vector<const char*> pooled_names_;
    std::string file_;  // current position
    int line_ = 0;
};

// The search path of the analyser: INCL directories, $KVSTGT/lib or else
// $KVRTGT/lib, then the system directories when KVW_ADD_USR_INCLUDE is set.
std::vector<std::string> include_search_path(const std::vector<std::string>& include_dirs);

std::unique_ptr<NativeAnalyser> native_setup(int restriction, const std::vector<std::string>& include_dirs,
                                             const std::vector<std::string>& defines);
std::optional<std::string> native_preprocess(NativeAnalyser& analyser, const std::string& text);
void native_declare(NativeAnalyser& analyser, const std::string& preprocessed_text, const std::string& scope_name,
                    const std::string& file_name, int line);
ExprTree* native_parse_expression(NativeAnalyser& analyser, const std::string& preprocessed_text);
const Type* native_expression_type(const ExprTree* expression);
void native_release_expression(ExprTree* expression);
const Type* native_type_by_name(NativeAnalyser& analyser, const std::string& type_name, const std::string& scope_name);
const Symbol* native_variable(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name);
void native_end(std::unique_ptr<NativeAnalyser> analyser);

// Composite requests of the semantic analysis. Each sets the position and
// scope, preprocesses its text and releases what it obtained.
struct ClassAnswer {
    int type_class = -1;
    long long count = 0;  // element count of an array, 0 when none
};
ClassAnswer expression_type_class(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                  const std::string& file, int line);
int variable_type_class(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name,
                        const std::string& file, int line);
struct TypeTexts {
    std::string declared;  // the type as written (typedef names kept)
    std::string resolved;  // with typedef names replaced by what they name
    long long size = -1;   // size in bytes, -1 when unknown or when the expression has no type
};
TypeTexts expression_type_texts(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                const std::string& file, int line);
bool expression_matches_type(NativeAnalyser& analyser, const std::string& text, const std::string& type_name,
                             const std::string& scope_name, int line);
bool expression_is_valid(NativeAnalyser& analyser, const std::string& text);

// Step of the driver: set up the analyser from the run settings and read the
// standard-defines file (`std_define_path`, empty when not given) and then
// every interface file, in command-line order.
std::unique_ptr<NativeAnalyser> analyse_interfaces(const RunSettings& settings, const std::string& std_define_path);

}  // namespace zv::native
