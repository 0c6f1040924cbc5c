#include "native/native_analyser.h"

#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "native/c_analyser.h"
#include "native/c_lexer.h"
#include "native/c_parser_internal.h"
#include "native/preprocessor.h"

#include <algorithm>


namespace zv::native {

// ---------------------------------------------------------------- types

int NativeType::type_class() const { return native::type_class(type_); }

std::string NativeType::text() const { return type_ ? type_text(type_) : std::string(); }

long long NativeType::size() const { return type_ ? size_of(type_) : -1; }

std::string NativeType::declaration(const std::string& name) const {
    if (!type_) return {};
    if (shape() == Shape::Array) {
        const long long n = count();
        if (n < 0) return {};
        return element().declaration(name + "[" + std::to_string(n) + "]");
    }
    const std::string written = text();
    if (written.empty() || written.find('(') != std::string::npos || written.find('[') != std::string::npos)
        return {};
    return written.back() == '*' ? written + name : written + " " + name;
}

// ---------------------------------------------------------------- the analyser

namespace {

// What an answer about a text depended on when it was found: it may be given
// again while the declarations' generation is the same, when finding it
// reported nothing, changed no declaration and met no macro or directive
// (whose expansion may depend on the position or the time).
struct Circumstances {
    explicit Circumstances(CAnalyser& analyser)
        : generation(analyser.declarations_generation()),
          context_uses(analyser.preprocessor().context_uses()),
          errors(errorCount()),
          warnings(warningCount()) {}
    bool unchanged(CAnalyser& analyser) const {
        return analyser.declarations_generation() == generation &&
               analyser.preprocessor().context_uses() == context_uses && errorCount() == errors &&
               warningCount() == warnings;
    }
    std::uint64_t generation, context_uses;
    unsigned errors, warnings;
};

// Answers by answer key (see CAnalyser::answer_key), each with the generation
// it holds for.
template <class Answer>
class KeptAnswers {
public:
    const Answer* find(const std::string& key, const Circumstances& now) const {
        if (key.empty()) return nullptr;
        const auto found = answers_.find(key);
        return found != answers_.end() && found->second.generation == now.generation ? &found->second.answer : nullptr;
    }
    void keep(std::string&& key, const Answer& answer, const Circumstances& before, CAnalyser& analyser) {
        if (key.empty() || !before.unchanged(analyser)) return;
        if (answers_.size() >= kKnownTexts) answers_.clear();
        answers_.insert_or_assign(std::move(key), Kept{answer, before.generation});
    }

private:
    struct Kept {
        Answer answer;
        std::uint64_t generation = 0;
    };
    std::unordered_map<std::string, Kept> answers_;
};

}  // namespace

struct NativeAnalyser::LiteralValues {
    std::unordered_map<std::string, ValueExpression> answers;
    std::unordered_map<std::string, ClassAnswer> classes;
    // Answers about other texts, which depend on the declarations.
    KeptAnswers<ClassAnswer> named_classes;
    KeptAnswers<ValueExpression> named_values;
    KeptAnswers<bool> constants;
    KeptAnswers<std::string> inline_texts;
};

NativeAnalyser::NativeAnalyser(const AnalyserOptions& options)
    : c_(std::make_unique<CAnalyser>(options)), literals_(std::make_unique<LiteralValues>()) {}

NativeAnalyser::~NativeAnalyser() = default;

CAnalyser& c_analyser(NativeAnalyser& analyser) { return *analyser.c_; }

void NativeAnalyser::set_position(const std::string& file, int line, const std::string& scope_name) {
    c_->set_position(file, line, scope_name);
}

std::optional<std::string> NativeAnalyser::preprocess(const std::string& text) { return c_->preprocess(text); }

std::string NativeAnalyser::preprocess_inline(const std::string& text) {
    // Without a macro met, the text comes out as its own tokens, whatever the
    // scope.
    const Circumstances before(*c_);
    std::string key = c_->answer_key(std::string(), text);
    if (const std::string* kept = literals_->inline_texts.find(key, before)) return *kept;
    std::string out;
    for (const Token& token : c_->preprocess_tokens(text)) {
        if (!out.empty() && token.space_before()) out += ' ';
        out.append(token.text, token.length);
    }
    literals_->inline_texts.keep(std::move(key), out, before, *c_);
    return out;
}

void NativeAnalyser::declare(const std::string& preprocessed, const std::string& scope_name, const std::string& file,
                             int line) {
    c_->declare(preprocessed, scope_name, file, line);
}

void NativeAnalyser::close_scope(const std::string& scope_name) { c_->symbols().close_scope(scope_name); }

bool NativeAnalyser::declared_in_scope(const std::string& name, const std::string& scope_name) {
    SymbolTable& symbols = c_->symbols();
    const std::string saved = symbols.scope_name();
    symbols.set_scope(scope_name);
    const bool found = symbols.find_here(string_pool().intern(name)) != nullptr;
    symbols.set_scope(saved);
    return found;
}

NativeType NativeAnalyser::type_by_name(const std::string& type_name, const std::string& scope_name) {
    return NativeType(c_->type_by_name(type_name, scope_name));
}

std::optional<NativeVariable> NativeAnalyser::variable(const std::string& name, const std::string& scope_name) {
    const Symbol* s = c_->variable(name, scope_name);
    if (!s) return std::nullopt;
    return NativeVariable{s->kind == Symbol::Kind::Function, NativeType(s->type)};
}

// ---------------------------------------------------------------- calls and SHARE

std::optional<NativeSignature> NativeAnalyser::signature(const std::string& name, const std::string& scope_name) {
    const Symbol* s = c_->variable(name, scope_name);
    const Type* function = s && s->kind == Symbol::Kind::Function ? resolve(s->type) : nullptr;
    if (!function || function->kind != TypeKind::Function) return std::nullopt;
    NativeSignature signature;
    signature.return_type = NativeType(function->base);
    for (const Param& p : function->params)
        signature.parameters.push_back(NativeParameter{p.name ? p.name : "", NativeType(p.type), p.array_size});
    signature.variadic = function->variadic;
    signature.empty_list = !function->prototype && function->params.empty();
    return signature;
}

std::vector<NativeGlobal> NativeAnalyser::globals_declared_in(const std::string& file) {
    std::vector<NativeGlobal> globals;
    c_->symbols().each([&](const auto& scope, const Symbol& s) {
        if (!scope.empty() || s.kind != Symbol::Kind::Variable || !s.file || file != s.file || !s.name) return;
        globals.push_back({s.name, NativeType(s.type), s.line, s.is_static});
    });
    std::sort(globals.begin(), globals.end(), [](const NativeGlobal& a, const NativeGlobal& b) {
        return a.line != b.line ? a.line < b.line : a.name < b.name;
    });
    return globals;
}

ShareClass NativeAnalyser::share_class(const std::string& name, const std::string& scope_name) {
    SymbolTable& symbols = c_->symbols();
    const std::string saved = symbols.scope_name();
    symbols.set_scope(scope_name);
    const Symbol* s = symbols.find(string_pool().intern(name));
    symbols.set_scope(saved);
    if (!s) return ShareClass::Other;
    switch (s->kind) {
    case Symbol::Kind::Typedef: return ShareClass::Type;
    case Symbol::Kind::Variable: return s->is_static ? ShareClass::StaticVariable : ShareClass::Variable;
    default: return ShareClass::Other;
    }
}

bool expression_is_constant(NativeAnalyser& facade, const std::string& text, const std::string& scope_name,
                            const std::string& file, int line) {
    CAnalyser& analyser = c_analyser(facade);
    analyser.set_position(file, line, scope_name);
    auto& known = facade.literals_->constants;
    const Circumstances before(analyser);
    std::string key = analyser.answer_key(scope_name, text);
    if (const bool* kept = known.find(key, before)) return *kept;
    int suppressed = 0;
    const auto tree = analyser.parse_expression_tokens(analyser.preprocess_tokens(text), true, &suppressed);
    const bool constant = tree && tree->root->is_constant;
    // A failure is told again: its quiet parse counted messages that the
    // counts of the run do not show.
    if (tree && suppressed == 0) known.keep(std::move(key), constant, before, analyser);
    return constant;
}

// ---------------------------------------------------------------- composite requests

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t a = text.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    const std::size_t b = text.find_last_not_of(" \t\r\n");
    return text.substr(a, b - a + 1);
}

// Preprocesses and parses `text` at the analyser's position.
std::unique_ptr<ExprTree> typed_expression(CAnalyser& analyser, const std::string& text, bool quiet = false) {
    return analyser.parse_expression_tokens(analyser.preprocess_tokens(text), quiet);
}

// An expression of function type stands for a pointer to it.
int class_of_expression(const Expr& e) {
    const Type* r = resolve(e.type);
    if (r && r->kind == TypeKind::Function) return kPointer;
    return e.type ? type_class(e.type) : kInteger;
}

}  // namespace

namespace {

// A text whose typing depends on no declaration, macro, scope or position:
// digits alone (no macro name can start with one) or a string literal
// without escapes.
bool context_free_literal(const std::string& text) {
    if (text.empty() || text.size() > 64) return false;
    if (text.front() == '"') {
        return text.size() >= 2 && text.back() == '"' &&
               text.find_first_of("\\\"", 1) == text.size() - 1;
    }
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}


}  // namespace

namespace {

ClassAnswer class_answer(const ExprTree& tree) {
    ClassAnswer answer{class_of_expression(*tree.root), 0};
    const Type* r = resolve(tree.root->type);
    if (r && r->kind == TypeKind::Array && r->count > 0) answer.count = r->count;
    return answer;
}

}  // namespace

ClassAnswer expression_type_class(NativeAnalyser& facade, const std::string& text, const std::string& scope_name,
                                  const std::string& file, int line) {
    if (trimmed(text) == "NONIL") return {kNonNil, 0};
    CAnalyser& analyser = c_analyser(facade);
    analyser.set_position(file, line, scope_name);
    const bool literal = context_free_literal(text);
    auto& known = *facade.literals_;
    if (literal) {
        const auto found = known.classes.find(text);
        if (found != known.classes.end()) return found->second;
    }
    const Circumstances before(analyser);
    std::string key = literal ? std::string() : analyser.answer_key(scope_name, text);
    if (const ClassAnswer* kept = known.named_classes.find(key, before)) return *kept;
    const auto tree = typed_expression(analyser, text);
    if (!tree) return {};
    const ClassAnswer answer = class_answer(*tree);
    // Only an answer given without a message may stand for the next time.
    if (literal && errorCount() == before.errors && warningCount() == before.warnings) known.classes.emplace(text, answer);
    known.named_classes.keep(std::move(key), answer, before, analyser);
    return answer;
}

int variable_type_class(NativeAnalyser& facade, const std::string& name, const std::string& scope_name,
                        const std::string& file, int line) {
    CAnalyser& analyser = c_analyser(facade);
    analyser.set_position(file, line, scope_name);
    const Symbol* s = analyser.variable(trimmed(name), scope_name);
    return s ? type_class(s->type) : kNoType;
}

TypeTexts expression_type_texts(NativeAnalyser& facade, const std::string& text, const std::string& scope_name,
                                const std::string& file, int line) {
    CAnalyser& analyser = c_analyser(facade);
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

bool expression_matches_type(NativeAnalyser& facade, const std::string& text, const std::string& type_name,
                             const std::string& scope_name, const std::string& file, int line) {
    const unsigned errors = errorCount();
    const unsigned warnings = warningCount();
    CAnalyser& analyser = c_analyser(facade);
    analyser.set_position(file, line, scope_name);
    const Type* wanted = analyser.type_by_name(type_name, scope_name);
    if (!wanted) return false;
    // The class of the text is the one its typing gives: kept answers serve.
    auto& known = *facade.literals_;
    const Circumstances before(analyser);
    std::string key = context_free_literal(text) ? std::string() : analyser.answer_key(scope_name, text);
    if (const ClassAnswer* kept = known.named_classes.find(key, before))
        return compatible_classes(type_class(wanted), kept->type_class);
    const auto tree = typed_expression(analyser, text);
    if (!tree || errorCount() != errors || warningCount() != warnings) return false;
    const ClassAnswer answer = class_answer(*tree);
    known.named_classes.keep(std::move(key), answer, before, analyser);
    return compatible_classes(type_class(wanted), answer.type_class);
}

bool expression_is_valid(NativeAnalyser& facade, const std::string& text) {
    const unsigned errors = errorCount();
    const auto tree = typed_expression(c_analyser(facade), text);
    return tree && errorCount() == errors;
}

// ---------------------------------------------------------------- values

NativeType::Shape NativeType::shape() const {
    const Type* r = resolve(type_);
    if (!r) return Shape::None;
    switch (r->kind) {
        case TypeKind::Struct: return Shape::Structure;
        case TypeKind::Union: return Shape::Union;
        case TypeKind::Array: return Shape::Array;
        case TypeKind::Void: case TypeKind::Function: return Shape::None;
        default: return Shape::Scalar;
    }
}

std::vector<NativeField> NativeType::fields() const {
    std::vector<NativeField> out;
    const Type* r = resolve(type_);
    if (!r || !r->record || (r->kind != TypeKind::Struct && r->kind != TypeKind::Union)) return out;
    for (const Field& f : r->record->fields)
        out.push_back(NativeField{f.name ? f.name : "", NativeType(f.type), f.bit_width});
    return out;
}

NativeType NativeType::element() const {
    const Type* r = resolve(type_);
    return NativeType(r && r->kind == TypeKind::Array ? r->base : nullptr);
}

long long NativeType::count() const {
    const Type* r = resolve(type_);
    return r && r->kind == TypeKind::Array ? r->count : -1;
}

std::string NativeType::typedef_name() const {
    return type_ && type_->kind == TypeKind::Typedef && type_->name ? type_->name : std::string();
}

bool NativeType::same_as(const NativeType& other) const {
    return type_ && other.type_ && same_type(type_, other.type_);
}


ValueExpression value_expression(NativeAnalyser& facade, const std::string& text, const std::string& scope_name,
                                 const std::string& file, int line) {
    CAnalyser& analyser = c_analyser(facade);
    analyser.set_position(file, line, scope_name);
    auto typed = [&] {
        ValueExpression answer;
        int suppressed = 0;
        const auto tree = analyser.parse_expression_tokens(analyser.preprocess_tokens(text), true, &suppressed);
        if (!tree || suppressed) return answer;
        const Expr& root = *tree->root;
        answer.parsed = true;
        answer.type = NativeType(root.type);
        answer.type_class = trimmed(text) == "NONIL" ? kNonNil : class_of_expression(root);
        answer.integer_constant =
            root.is_constant && !root.is_float && root.op != Expr::Op::String && is_integer(root.type);
        answer.value = root.value;
        return answer;
    };
    const bool literal = context_free_literal(text);
    if (literal) {
        const auto known = facade.literals_->answers.find(text);
        if (known != facade.literals_->answers.end()) return known->second;
    }
    auto& known = facade.literals_->named_values;
    const Circumstances before(analyser);
    std::string key = literal ? std::string() : analyser.answer_key(scope_name, text);
    if (const ValueExpression* kept = known.find(key, before)) return *kept;
    ValueExpression answer = typed();
    if (literal) facade.literals_->answers.emplace(text, answer);
    // A failure is told again: its quiet parse counted messages that the
    // counts of the run do not show.
    if (answer.parsed) known.keep(std::move(key), answer, before, analyser);
    return answer;
}


void NativeAnalyser::set_format(const std::string& variable, const std::string& format, const std::string& scope_name,
                                bool inside_block, const std::string& file, int line) {
    const char* where = file.empty() ? nullptr : string_pool().intern(file);
    const std::string name = trimmed(variable);
    const Symbol* s = c_->variable(name, scope_name);
    if (!s || s->kind != Symbol::Kind::Variable) {
        reportAtText(Severity::Error, Code::NOMVARINC, name.c_str(), where, line);
        return;
    }
    if (!s->type || !is_complete(s->type)) {
        reportAtText(Severity::Error, Code::TYPEINCON, name.c_str(), where, line);
        return;
    }
    if (!formats_.try_emplace({scope_name, name}, Format{trimmed(format), inside_block}).second)
        reportAtText(Severity::Error, Code::FORMREDEF, name.c_str(), where, line);
}

const std::string* NativeAnalyser::format_of(const std::string& variable, const std::string& scope_name) const {
    auto found = formats_.find({scope_name, variable});
    if (found == formats_.end()) found = formats_.find({std::string(), variable});
    return found == formats_.end() ? nullptr : &found->second.text;
}

std::unique_ptr<NativeAnalyser> analyse_interfaces(const AnalyserOptions& options) {
    auto analyser = std::make_unique<NativeAnalyser>(options);
    CAnalyser& c = c_analyser(*analyser);
    if (!options.std_define_path.empty()) c.analyse_file(options.std_define_path, true);
    for (const std::string& file : options.interface_files) c.analyse_file(file, false);
    return analyser;
}

void build_pooled_tables() {
    build_pooled_lexer_tables();
    build_pooled_keyword_table();
}

}  // namespace zv::native
