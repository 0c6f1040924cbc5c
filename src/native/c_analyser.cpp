#include "native/c_analyser.h"

#include "common/string_pool.h"
#include "native/c_lexer.h"
#include "native/preprocessor.h"

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

CAnalyser::CAnalyser(const AnalyserOptions& options) {
    PreprocessorSettings settings;
    settings.knr = options.restriction == Restriction::KandR;
    settings.search_path = include_search_path(options.include_dirs);
    settings.expansion_limit = options.expansion_limit;
    pp_ = std::make_unique<Preprocessor>(std::move(settings));
    for (const std::string& item : options.defines) pp_->define_item(item);
}

CAnalyser::~CAnalyser() = default;

std::uint64_t CAnalyser::declarations_generation() const {
    return symbols_.generation() + pp_->macros_generation();
}

std::string CAnalyser::answer_key(const std::string& scope_name, const std::string& text) const {
    std::string key;
    if (text.size() > kKnownTextLimit) return key;
    if (!symbols_.sees_only_global(scope_name)) key += scope_name;
    key += '\0';
    key += text;
    return key;
}

void CAnalyser::set_position(const std::string& file, int line, const std::string& scope_name) {
    file_ = file;
    line_ = line;
    symbols_.set_scope(scope_name);
}

ParserContext CAnalyser::context(bool quiet) {
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

TokenList CAnalyser::run_text(const std::string& text, const std::string& name, int line, bool dot_dot) {
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

TokenList CAnalyser::preprocess_file(const std::string& path) { return file_tokens(*pp_, path, ""); }

TokenList CAnalyser::preprocess_tokens(const std::string& text) { return run_text(text, file_, line_, true); }

void CAnalyser::declare_tokens(const TokenList& tokens) {
    ParserContext ctx = context(false);
    CParser parser(ctx, tokens);
    parser.parse_declarations();
}

void CAnalyser::analyse_file(const std::string& path, bool standard_defines) {
    set_position(standard_defines ? path : std::string(), 0, std::string());
    declare_tokens(file_tokens(*pp_, path, file_));
}

std::optional<std::string> CAnalyser::preprocess(const std::string& text) {
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
        if (t.file != file || t.line < line || t.line > line + 8LL) {
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

const char* CAnalyser::pooled_file_name(int file) {
    const auto index = static_cast<std::size_t>(file);
    if (index >= pooled_names_.size()) pooled_names_.resize(index + 1, nullptr);
    if (!pooled_names_[index]) pooled_names_[index] = string_pool().intern(pp_->file_name(file));
    return pooled_names_[index];
}

int CAnalyser::file_index(const std::string& name) {
    auto [it, added] = file_indexes_.try_emplace(name, 0);
    if (added) it->second = pp_->add_file_name(name);
    return it->second;
}

TokenList CAnalyser::lex_preprocessed(const std::string& text, const std::string& file, int line) {
    TokenList tokens;
    LexOptions options;
    options.line_markers = true;
    options.dot_dot = true;
    const int first = file_index(file);
    lex_text(text, first, line, tokens, options, {},
             [this](int, std::string_view name) { return file_index(std::string(name)); });
    return tokens;
}

void CAnalyser::declare(const std::string& preprocessed, const std::string& scope_name, const std::string& file,
                             int line) {
    set_position(file, line, scope_name);
    declare_tokens(lex_preprocessed(preprocessed, file, line));
}

std::unique_ptr<ExprTree> CAnalyser::parse_expression_tokens(const TokenList& tokens, bool quiet, int* suppressed) {
    if (tokens.empty()) return nullptr;
    ParserContext ctx = context(quiet);
    CParser parser(ctx, tokens);
    auto tree = std::make_unique<ExprTree>();
    const Expr* root = parser.parse_expression(*tree);
    if (suppressed) *suppressed = ctx.suppressed;
    if (!root) return nullptr;
    return tree;
}

std::unique_ptr<ExprTree> CAnalyser::parse_expression(const std::string& preprocessed) {
    return parse_expression_tokens(lex_preprocessed(preprocessed, file_, line_), false);
}

const Type* CAnalyser::type_by_name(const std::string& type_name, const std::string& scope_name) {
    // A type name is read without macros and quietly: its answer stands while
    // the declarations stay the same, unless reading it declared something.
    const std::uint64_t generation = declarations_generation();
    std::string key = answer_key(scope_name, type_name);
    if (!key.empty()) {
        const auto found = known_types_.find(key);
        if (found != known_types_.end() && found->second.generation == generation) return found->second.type;
    }
    const Type* type = read_type_name(type_name, scope_name);
    // A name that reads as no type is read again: its quiet parse failed.
    if (type && !key.empty() && declarations_generation() == generation) {
        if (known_types_.size() >= kKnownTexts) known_types_.clear();
        known_types_.insert_or_assign(std::move(key), KnownType{type, generation});
    }
    return type;
}

const Type* CAnalyser::read_type_name(const std::string& type_name, const std::string& scope_name) {
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

const Symbol* CAnalyser::variable(const std::string& name, const std::string& scope_name) {
    const std::string saved = symbols_.scope_name();
    symbols_.set_scope(scope_name);
    const Symbol* s = symbols_.find(string_pool().intern(name));
    symbols_.set_scope(saved);
    return s && (s->kind == Symbol::Kind::Variable || s->kind == Symbol::Kind::Function) ? s : nullptr;
}

}  // namespace zv::native
