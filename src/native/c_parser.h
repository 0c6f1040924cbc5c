// Recursive-descent reader of C declarations and expressions over a token
// list. Declarations are registered in the symbol table; expressions are typed
// as they are read, and integer constants are evaluated on the way.
#pragma once

#include "diagnostics/message_codes.h"
#include "native/c_token.h"
#include "native/c_types.h"
#include "native/symbol_table.h"

#include <deque>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

namespace zv::native {

struct Expr {
    enum class Op : std::uint8_t { Constant, Name, String, Unary, Binary, Conditional, Call, Member, Index, Cast, Comma, Other };
    Op op = Op::Other;
    const char* text = "";        // operator, name or literal
    const Type* type = nullptr;   // null when it cannot be typed
    bool is_constant = false;     // an integer or floating constant (or a string literal)
    bool is_float = false;
    long long value = 0;          // integer constants
    double fvalue = 0;            // floating constants
    const Symbol* symbol = nullptr;
    std::vector<Expr*> operands;
};

// A parsed expression with the nodes it owns.
struct ExprTree {
    std::deque<Expr> nodes;
    Expr* root = nullptr;
    Expr* make() { return &nodes.emplace_back(); }
};

// The structure-packing pragmas met so far: the current limit on member
// alignment (0: none) and the limits saved by "push".
class PackPragmas {
public:
    // A pragma's text without blanks, e.g. "pack(push,1)"; other pragmas and
    // malformed ones change nothing.
    void apply(std::string_view pragma);
    long long limit() const { return limit_; }

private:
    long long limit_ = 0;
    std::vector<std::pair<std::string, long long>> saved_;
};

struct ParserContext {
    TypeTable& types;
    SymbolTable& symbols;
    std::function<const char*(int file)> file_name;  // pooled file name of a token's file
    bool float_n_keywords = false;                    // _Float32, _Float64, _Float128... are types
    std::unordered_set<const char*> type_modifiers;   // words declared by the korva pragma
    const char* current_file = nullptr;               // recorded with each declaration
    bool quiet = false;                               // questions that answer "nothing" report nothing
    int suppressed = 0;                               // messages that quiet questions did not report
    PackPragmas* pack = nullptr;                      // kept from one text to the next
};

struct Builtin;

class CParser {
public:
    CParser(ParserContext& context, const TokenList& tokens);

    // Reads the whole list as declarations.
    void parse_declarations();
    // Reads the whole list as one expression (null after an error).
    Expr* parse_expression(ExprTree& tree);
    // Reads the whole list as a type name (null when it is not one).
    const Type* parse_type_name();

private:
    enum class Kw : std::uint8_t;
    struct DeclSpec;
    struct Declared;
    struct Attributes;

    // tokens
    const Token& peek(std::size_t ahead = 0) const {
        return pos_ + ahead < tokens_.size() ? tokens_[pos_ + ahead] : end_;
    }
    bool at_end() const { return pos_ >= tokens_.size(); }
    bool is(const char* pooled, std::size_t ahead = 0) const { return peek(ahead).text == pooled; }
    bool accept(const char* pooled) {
        if (pos_ < tokens_.size() && tokens_[pos_].text == pooled) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool expect(const char* pooled, const char* what);
    // The keyword a token is, Kw::None for any other: looked up once per token of the list.
    Kw keyword(const Token& t) const {
        const auto at = reinterpret_cast<std::uintptr_t>(&t), first = reinterpret_cast<std::uintptr_t>(tokens_.data());
        if (at >= first && at < first + tokens_.size() * sizeof(Token)) return keywords_[(at - first) / sizeof(Token)];
        return keyword_of(t);
    }
    Kw keyword_of(const Token& t) const;
    void syntax_error(const std::string& expected);
    void error_at(const Token& t, Code code, const std::string& arg);
    bool skip_balanced();
    void recover();

    // declarations
    void external_declaration();
    bool decl_specifiers(DeclSpec& specs, bool allow_storage);
    const Type* struct_or_union(TypeKind kind);
    const Type* enum_specifier();
    void struct_body(Record& record);
    void enum_body(Record& record);
    const Type* pointers(const Type* base);
    const Type* declarator(const Type* base, Declared& declared, bool abstract);
    const Type* type_suffix(const Type* base);
    Type parameters();
    bool grouping_paren() const;
    void attributes(Attributes* into);
    void static_assertion();
    void skip_initializer();
    long long initializer_count(const Type* element);
    void declare(const DeclSpec& specs, const Declared& declared, const Type* type);
    const Type* apply_mode(const Type* type, const Attributes& attrs);
    bool starts_type(std::size_t ahead = 0) const;
    bool is_typedef_name(const Token& t) const;
    bool is_type_modifier(const Token& t) const {
        return !ctx_.type_modifiers.empty() && ctx_.type_modifiers.count(t.text) != 0;
    }
    const Type* type_name();
    long long constant(const char* what, bool required, bool* known = nullptr, const Type** type = nullptr);
    long long alignment();  // of __attribute__((aligned(n))) or _Alignas(n)

    // expressions
    Expr* expression();
    Expr* assignment();
    Expr* conditional();
    Expr* binary(int min_precedence);
    Expr* cast();
    Expr* unary();
    Expr* postfix(Expr* e);
    // The arguments of a call whose "(" has been read, up to and with the ")".
    Expr* call_arguments(Expr* callee);
    Expr* primary();
    Expr* statement_expression();
    Expr* node(Expr::Op op, const char* text);
    Expr* constant_node(long long value, const Type* type);
    Expr* number(const Token& t);
    Expr* character(const Token& t);
    Expr* string_literal();
    Expr* binary_node(const Token& op, Expr* a, Expr* b);
    Expr* cast_to(const Type* type, Expr* e);
    const Type* arithmetic_result(const Type* a, const Type* b);
    const Type* promoted(const Type* t);
    long long normalize(long long value, const Type* type) const;
    bool from_floating(double value, const Type* type, long long& out) const;
    Expr* offsetof_expr();
    Expr* builtin_call(const Token& name, const Builtin& builtin);
    // Counts one level of nesting; false (with a message) beyond the limit.
    bool enter(const char* what);

    struct Nesting {
        CParser& parser;
        bool ok;
        Nesting(CParser& p, const char* what) : parser(p), ok(p.enter(what)) {}
        ~Nesting() { --parser.depth_; }
    };

    // Pragmas are taken out of the token list; each applies before the token
    // at its index.
    void apply_pragmas(std::size_t before);
    static const TokenList& without_pragmas(const TokenList& tokens, TokenList& own,
                                            std::vector<std::pair<std::size_t, const char*>>& pragmas);

    ParserContext& ctx_;
    TokenList own_tokens_;
    std::vector<std::pair<std::size_t, const char*>> pragmas_;
    std::size_t next_pragma_ = 0;
    const TokenList& tokens_;
    std::vector<Kw> keywords_;  // of each token
    std::size_t pos_ = 0;
    std::size_t decl_start_ = 0;  // first token of the current external declaration
    bool failed_ = false;   // a syntax error in the current declaration
    int depth_ = 0;         // nesting of expressions, declarators and bodies
    int extern_c_depth_ = 0;
    ExprTree* tree_ = nullptr;
    ExprTree scratch_;      // constants read while parsing declarations
    Token end_;
};

}  // namespace zv::native
