#include "native/native_analyser.h"

#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "native/c_lexer.h"
#include "native/preprocessor.h"
#include "native/type_class.h"

#include <cstdlib>

namespace zv::native {

std::vector<std::string> include_search_path(const std::vector<std::string>& include_dirs) {
    std::vector<std::string> path = include_dirs;
    const char* target = std::getenv("KVSTGT");
    if (!target || !*target) target = std::getenv("KVRTGT");
    if (target && *target) path.push_back(std::string(target) + "/lib");
    if (std::getenv("KVW_ADD_USR_INCLUDE")) {
        path.push_back("/usr/include");
        path.push_back("/usr/local/include");
    }
    return path;
}

NativeAnalyser::NativeAnalyser(int restriction, const std::vector<std::string>& include_dirs) {
    PreprocessorSettings settings;
    settings.knr = restriction == 0;
    settings.search_path = include_search_path(include_dirs);
    pp_ = std::make_unique<Preprocessor>(std::move(settings));
}

NativeAnalyser::~NativeAnalyser() = default;

void NativeAnalyser::set_position(const std::string& file, int line, const std::string& scope_name) {
    file_ = file;
    line_ = line;
    symbols_.set_scope(scope_name);
}

ParserContext NativeAnalyser::context(bool quiet) {
    ParserContext ctx{types_, symbols_, {}, false, {}, nullptr, quiet};
    ctx.file_name = [this](int file) { return pooled_file_name(file); };
    ctx.pack = &pack_;
    // The _FloatN types are keywords of the compilers that have them.
    if (const Macro* gnuc = pp_->find_macro(string_pool().intern("__GNUC__"))) {
        if (gnuc->body.size() == 1 && gnuc->body[0].kind == TokKind::Number)
            ctx.float_n_keywords = std::atoi(gnuc->body[0].text) >= 7;
    }
    for (const char* word : pp_->type_modifiers()) ctx.type_modifiers.insert(word);
    return ctx;
}

TokenList NativeAnalyser::run_text(const std::string& text, const std::string& name, int line, bool dot_dot) {
    TokenList out;
    pp_->run(text, name, line, out, dot_dot);
    return out;
}

namespace {

// The tokens of a file read through a one-line `#include "path"` text. A set
// of headers runs to some hundred thousand tokens: room for them is reserved at
// once, so that the list is not copied as it grows (each copy touching fresh
// memory); the part never written stays untouched.
TokenList file_tokens(Preprocessor& pp, const std::string& path, const std::string& name) {
    constexpr std::size_t kExpectedTokens = std::size_t{1} << 18;
    TokenList out;
    out.reserve(kExpectedTokens);
    pp.run("#include \"" + path + "\"\n", name, 0, out);
    return out;
}

}  // namespace

TokenList NativeAnalyser::preprocess_file(const std::string& path) { return file_tokens(*pp_, path, ""); }

TokenList NativeAnalyser::preprocess_tokens(const std::string& text) { return run_text(text, file_, line_, true); }

void NativeAnalyser::declare_tokens(const TokenList& tokens) {
    ParserContext ctx = context(false);
    CParser parser(ctx, tokens);
    parser.parse_declarations();
}

void NativeAnalyser::analyse_file(const std::string& path, bool standard_defines) {
    set_position(standard_defines ? path : std::string(), 0, std::string());
    declare_tokens(file_tokens(*pp_, path, file_));
}

std::optional<std::string> NativeAnalyser::preprocess(const std::string& text) {
    const TokenList tokens = preprocess_tokens(text);
    if (tokens.empty()) return std::nullopt;
    std::string out;
    int file = -2, line = 0;
    for (const Token& t : tokens) {
        if (t.flags & kPragma) {  // a line of its own; the next token says where it is again
            if (!out.empty()) out += '\n';
            out += "#pragma ";
            out.append(t.text, t.length);
            file = -2;
            continue;
        }
        if (t.file != file || t.line < line || t.line > line + 8) {
            if (!out.empty()) out += '\n';
            out += "# " + std::to_string(t.line) + " \"" + pp_->file_name(t.file) + "\"\n";
            file = t.file;
            line = t.line;
        } else {
            for (; line < t.line; ++line) out += '\n';
            if (t.space_before() || !out.empty()) out += ' ';
        }
        out.append(t.text, t.length);
    }
    out += '\n';
    return out;
}

const char* NativeAnalyser::pooled_file_name(int file) {
    const auto index = static_cast<std::size_t>(file);
    if (index >= pooled_names_.size()) pooled_names_.resize(index + 1, nullptr);
    if (!pooled_names_[index]) pooled_names_[index] = string_pool().intern(pp_->file_name(file));
    return pooled_names_[index];
}

int NativeAnalyser::file_index(const std::string& name) {
    auto [it, added] = file_indexes_.try_emplace(name, 0);
    if (added) it->second = pp_->add_file_name(name);
    return it->second;
}

TokenList NativeAnalyser::lex_preprocessed(const std::string& text, const std::string& file, int line) {
    TokenList tokens;
    LexOptions options;
    options.line_markers = true;
    options.dot_dot = true;
    const int first = file_index(file);
    lex_text(text, first, line, tokens, options, {},
             [this](int, std::string_view name) { return file_index(std::string(name)); });
    return tokens;
}

void NativeAnalyser::declare(const std::string& preprocessed, const std::string& scope_name, const std::string& file,
                             int line) {
    set_position(file, line, scope_name);
    declare_tokens(lex_preprocessed(preprocessed, file, line));
}

std::unique_ptr<ExprTree> NativeAnalyser::parse_expression_tokens(const TokenList& tokens, bool quiet) {
    if (tokens.empty()) return nullptr;
    ParserContext ctx = context(quiet);
    CParser parser(ctx, tokens);
    auto tree = std::make_unique<ExprTree>();
    if (!parser.parse_expression(*tree)) return nullptr;
    return tree;
}

std::unique_ptr<ExprTree> NativeAnalyser::parse_expression(const std::string& preprocessed) {
    return parse_expression_tokens(lex_preprocessed(preprocessed, file_, line_), false);
}

const Type* NativeAnalyser::type_by_name(const std::string& type_name, const std::string& scope_name) {
    const std::string saved = symbols_.scope_name();
    symbols_.set_scope(scope_name);
    TokenList tokens;
    pp_->lex(type_name, file_index(file_), line_, tokens);
    ParserContext ctx = context(true);
    CParser parser(ctx, tokens);
    const Type* type = tokens.empty() ? nullptr : parser.parse_type_name();
    symbols_.set_scope(saved);
    return type;
}

const Symbol* NativeAnalyser::variable(const std::string& name, const std::string& scope_name) {
    const std::string saved = symbols_.scope_name();
    symbols_.set_scope(scope_name);
    const Symbol* s = symbols_.find(string_pool().intern(name));
    symbols_.set_scope(saved);
    return s && (s->kind == Symbol::Kind::Variable || s->kind == Symbol::Kind::Function) ? s : nullptr;
}

// ---------------------------------------------------------------- operations

std::unique_ptr<NativeAnalyser> native_setup(int restriction, const std::vector<std::string>& include_dirs,
                                             const std::vector<std::string>& defines) {
    auto analyser = std::make_unique<NativeAnalyser>(restriction, include_dirs);
    for (const std::string& item : defines) analyser->preprocessor().define_item(item);
    return analyser;
}

std::optional<std::string> native_preprocess(NativeAnalyser& analyser, const std::string& text) {
    return analyser.preprocess(text);
}

void native_declare(NativeAnalyser& analyser, const std::string& preprocessed_text, const std::string& scope_name,
                    const std::string& file_name, int line) {
    analyser.declare(preprocessed_text, scope_name, file_name, line);
}

ExprTree* native_parse_expression(NativeAnalyser& analyser, const std::string& preprocessed_text) {
    return analyser.parse_expression(preprocessed_text).release();
}

const Type* native_expression_type(const ExprTree* expression) {
    return expression && expression->root ? expression->root->type : nullptr;
}

void native_release_expression(ExprTree* expression) { delete expression; }

const Type* native_type_by_name(NativeAnalyser& analyser, const std::string& type_name, const std::string& scope_name) {
    return analyser.type_by_name(type_name, scope_name);
}

const Symbol* native_variable(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name) {
    return analyser.variable(name, scope_name);
}

void native_end(std::unique_ptr<NativeAnalyser> analyser) { analyser.reset(); }

// ---------------------------------------------------------------- composite requests

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t a = text.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    const std::size_t b = text.find_last_not_of(" \t\r\n");
    return text.substr(a, b - a + 1);
}

// Preprocesses and parses `text` at the analyser's position.
std::unique_ptr<ExprTree> typed_expression(NativeAnalyser& analyser, const std::string& text, bool quiet = false) {
    return analyser.parse_expression_tokens(analyser.preprocess_tokens(text), quiet);
}

// An expression of function type stands for a pointer to it.
int class_of_expression(const Expr& e) {
    const Type* r = resolve(e.type);
    if (r && r->kind == TypeKind::Function) return kPointer;
    return e.type ? type_class(e.type) : kInteger;
}

}  // namespace

ClassAnswer expression_type_class(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                  const std::string& file, int line) {
    if (trimmed(text) == "NONIL") return {kNonNil, 0};
    analyser.set_position(file, line, scope_name);
    const auto tree = typed_expression(analyser, text);
    if (!tree) return {};
    ClassAnswer answer{class_of_expression(*tree->root), 0};
    const Type* r = resolve(tree->root->type);
    if (r && r->kind == TypeKind::Array && r->count > 0) answer.count = r->count;
    return answer;
}

int variable_type_class(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name,
                        const std::string& file, int line) {
    analyser.set_position(file, line, scope_name);
    const Symbol* s = analyser.variable(trimmed(name), scope_name);
    return s ? type_class(s->type) : kNoType;
}

TypeTexts expression_type_texts(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                const std::string& file, int line) {
    analyser.set_position(file, line, scope_name);
    const auto tree = typed_expression(analyser, text);
    TypeTexts texts;
    if (!tree || !tree->root->type) return texts;
    const Type* type = tree->root->type;
    texts.declared = type_text(type);
    texts.resolved = type_text(resolve(type));
    texts.size = size_of(type);
    return texts;
}

bool expression_matches_type(NativeAnalyser& analyser, const std::string& text, const std::string& type_name,
                             const std::string& scope_name, int line) {
    const unsigned errors = errorCount();
    const unsigned warnings = warningCount();
    analyser.set_position(std::string(), line, scope_name);
    const Type* wanted = analyser.type_by_name(type_name, scope_name);
    if (!wanted) return false;
    const auto tree = typed_expression(analyser, text);
    if (!tree || errorCount() != errors || warningCount() != warnings) return false;
    return compatible_classes(type_class(wanted), class_of_expression(*tree->root));
}

bool expression_is_valid(NativeAnalyser& analyser, const std::string& text) {
    const unsigned errors = errorCount();
    const auto tree = typed_expression(analyser, text);
    return tree && errorCount() == errors;
}

std::unique_ptr<NativeAnalyser> analyse_interfaces(const RunSettings& settings, const std::string& std_define_path) {
    auto analyser = native_setup(settings.restriction, settings.include_dirs, settings.defines);
    if (!std_define_path.empty()) analyser->analyse_file(std_define_path, true);
    for (const std::string& file : settings.interface_files) analyser->analyse_file(file, false);
    return analyser;
}

}  // namespace zv::native
