// The interface analysis as the rest of the compiler sees it: set-up from the
// run's options (restriction, include path, defines, the files to read),
// preprocessing, registration of C declarations under C scope names, and the
// type questions of the semantic analysis and the generators. The C
// preprocessor and parser behind it stay inside this folder.
#pragma once

#include "common/run_modes.h"
#include "native/type_class.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zv::native {

struct Type;
class CAnalyser;
struct NativeField;
struct ValueExpression;
class NativeAnalyser;

struct AnalyserOptions {
    Restriction restriction = Restriction::None;
    std::vector<std::string> include_dirs;     // searched first, in order
    std::vector<std::string> defines;          // "NAME" or "NAME=text", in order
    std::string std_define_path;               // the standard-defines file, empty when none
    std::vector<std::string> interface_files;  // read after it, in order
    // Tokens that macro expansions may make between two tokens of a file
    // before EXPTOOBIG; tests that run many analyses lower it.
    std::size_t expansion_limit = std::size_t{1} << 22;
};

// A C type known to the analyser, or none. It stays valid as long as the
// analyser that gave it.
class NativeType {
public:
    NativeType() = default;
    explicit operator bool() const { return type_ != nullptr; }

    int type_class() const;         // kNoType when none
    std::string text() const;       // as declared, typedef names kept; empty when none
    long long size() const;         // in bytes, -1 when incomplete or none

    // ---- layout of values
    // What the type is once typedef names and qualifiers are looked through.
    enum class Shape { None, Scalar, Structure, Union, Array };
    Shape shape() const;
    std::vector<NativeField> fields() const;  // of a structure or union, in declaration order
    NativeType element() const;               // of an array
    long long count() const;                  // elements of an array, -1 when unknown
    std::string typedef_name() const;         // the typedef name it is written with, empty otherwise
    bool same_as(const NativeType& other) const;  // top-level qualifiers aside
    // The same for every handle on one type: a key for tables of types.
    const void* identity() const { return type_; }
    // A declaration of an object of this type named `name` ("int x[4]",
    // "struct s *p"); empty when the type cannot be written that way (a
    // function pointer, an array of unknown size).
    std::string declaration(const std::string& name) const;

private:
    friend class NativeAnalyser;
    friend ValueExpression value_expression(NativeAnalyser&, const std::string&, const std::string&,
                                            const std::string&, int);
    friend struct ClassAnswer expression_type_class(NativeAnalyser&, const std::string&, const std::string&,
                                                    const std::string&, int);
    explicit NativeType(const Type* type) : type_(type) {}
    const Type* type_ = nullptr;
};

struct NativeField {
    std::string name;    // empty for an anonymous structure or union member
    NativeType type;
    int bit_width = -1;  // -1 when not a bit-field
};

// A variable declared at file level (under the empty scope name).
struct NativeGlobal {
    std::string name;
    NativeType type;
    int line = 0;
    bool is_static = false;
};

struct NativeVariable {
    bool function = false;  // a function rather than an object
    NativeType type;        // as declared
};

// ---------------------------------------------------------------- calls and SHARE

struct NativeParameter {
    std::string name;          // empty when the declaration names none
    NativeType type;           // as C passes it: an array or function parameter is a pointer
    long long array_size = 0;  // element count of a parameter declared as an array, 0 otherwise
};

struct NativeSignature {
    NativeType return_type;
    std::vector<NativeParameter> parameters;  // none for "(void)" and for "()"
    bool variadic = false;                    // "..." after the parameters
    bool empty_list = false;                  // declared "()", without a prototype
};

// What SHARE may be given: a type name, a variable (static or not), or
// anything else (a function, an enumerator, an unknown name).
enum class ShareClass { Other, Type, Variable, StaticVariable };

class NativeAnalyser;
// Whether an expression is a constant (arithmetic, string literal or address
// constant); quiet: an expression that does not parse is no constant.
bool expression_is_constant(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                            const std::string& file, int line);

class NativeAnalyser {
public:
    // Search path, predefined macros and defines; no file is read yet.
    explicit NativeAnalyser(const AnalyserOptions& options);
    ~NativeAnalyser();
    NativeAnalyser(const NativeAnalyser&) = delete;
    NativeAnalyser& operator=(const NativeAnalyser&) = delete;

    // Position and scope that later messages and declarations use.
    void set_position(const std::string& file, int line, const std::string& scope_name);

    // Preprocessed text of `text` at the current position (with line
    // markers), or nothing when it gives no token.
    std::optional<std::string> preprocess(const std::string& text);
    // The same tokens on one line, a blank before each token that white space
    // preceded (except the first).
    std::string preprocess_inline(const std::string& text);

    // Declarations of a preprocessed text, registered under the scope name;
    // messages show `file` and `line` (line markers in the text move them).
    void declare(const std::string& preprocessed, const std::string& scope_name, const std::string& file, int line);
    // Drops everything registered under a scope name.
    void close_scope(const std::string& scope_name);
    // Whether `name` is declared under exactly that scope name (not merely visible in it).
    bool declared_in_scope(const std::string& name, const std::string& scope_name);

    // The type a type name stands for in a scope (typedef, tagged or base type); quiet.
    NativeType type_by_name(const std::string& type_name, const std::string& scope_name);
    // The variable or function of that name visible in a scope.
    std::optional<NativeVariable> variable(const std::string& name, const std::string& scope_name);
    // The file-level variables declared in `file` (the name it was declared
    // with), by line.
    std::vector<NativeGlobal> globals_declared_in(const std::string& file);

    // ---------------------------------------------------------------- calls and SHARE
    // The signature of the function of that name visible in a scope; nothing
    // when the name is not a function.
    std::optional<NativeSignature> signature(const std::string& name, const std::string& scope_name);
    // How a name visible in a scope stands for SHARE.
    ShareClass share_class(const std::string& name, const std::string& scope_name);

    // ---- display formats of variables (FORMAT)
    // Records how a variable of the scope is printed in the trace. Reports at
    // `file`:`line` NOMVARINC when the name is no variable visible in the
    // scope, TYPEINCON when its type is incomplete, FORMREDEF for a second
    // format of the same variable in the same scope; nothing is recorded then.
    void set_format(const std::string& variable, const std::string& format, const std::string& scope_name,
                    bool inside_block, const std::string& file, int line);
    // The format recorded for a variable in the scope, else under the empty
    // scope name; null when none.
    const std::string* format_of(const std::string& variable, const std::string& scope_name) const;

private:
    friend bool expression_is_constant(NativeAnalyser&, const std::string&, const std::string&, const std::string&,
                                       int);
    friend bool expression_matches_type(NativeAnalyser&, const std::string&, const std::string&, const std::string&,
                                        const std::string&, int);
    friend CAnalyser& c_analyser(NativeAnalyser& analyser);
    friend ValueExpression value_expression(NativeAnalyser&, const std::string&, const std::string&,
                                            const std::string&, int);
    friend struct ClassAnswer expression_type_class(NativeAnalyser&, const std::string&, const std::string&,
                                                    const std::string&, int);
    std::unique_ptr<CAnalyser> c_;
    // Answers for value texts that mean the same wherever they stand (a
    // decimal number, a plain string literal), by text.
    struct LiteralValues;
    std::unique_ptr<LiteralValues> literals_;
    struct Format {
        std::string text;
        bool inside_block = false;
    };
    std::map<std::pair<std::string, std::string>, Format> formats_;  // by scope name and variable
};

// Composite requests. Each sets the position and scope (except
// expression_is_valid, which uses the current ones), preprocesses its text
// and releases what it obtained.
struct ClassAnswer {
    int type_class = -1;
    long long count = 0;  // element count of an array, 0 when none
};
// "NONIL" alone is the non-null-pointer class without being typed.
ClassAnswer expression_type_class(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                  const std::string& file, int line);
int variable_type_class(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name,
                        const std::string& file, int line);
// Type texts of an expression, for formatting its value.
struct TypeTexts {
    std::string declared;  // the type as written (typedef names kept)
    std::string resolved;  // with typedef names replaced by what they name
    long long size = -1;   // size in bytes, -1 when unknown or when the expression has no type
};
TypeTexts expression_type_texts(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                const std::string& file, int line);
// False also when either cannot be found or the expression raised a new message.
bool expression_matches_type(NativeAnalyser& analyser, const std::string& text, const std::string& type_name,
                             const std::string& scope_name, const std::string& file, int line);
bool expression_is_valid(NativeAnalyser& analyser, const std::string& text);

// ---- values: their expressions typed quietly
struct ValueExpression {
    bool parsed = false;            // it parsed without any message of the C analysis
    NativeType type;                // none when the expression has no type
    int type_class = kNoType;       // class 8 for "NONIL" alone; an untyped expression is an int
    bool integer_constant = false;  // an integer constant expression, whose value follows
    long long value = 0;
};
// Reports nothing: an expression that does not parse answers `parsed` false.
ValueExpression value_expression(NativeAnalyser& analyser, const std::string& text, const std::string& scope_name,
                                 const std::string& file, int line);

// Makes the process-wide tables that hold pooled texts (punctuators, words,
// keywords) at once rather than on first use, so that a string-pool mark
// taken afterwards keeps what they point to.
void build_pooled_tables();

// Step of the driver: the analyser set up from the options, after reading the
// standard-defines file (when given) and then every interface file, in order.
std::unique_ptr<NativeAnalyser> analyse_interfaces(const AnalyserOptions& options);

}  // namespace zv::native
