// The interface analysis as the rest of the compiler sees it: set-up from the
// run's options (restriction, include path, defines, the files to read),
// preprocessing, registration of C declarations under C scope names, and the
// type questions of the semantic analysis and the generators. The C
// preprocessor and parser behind it stay inside this folder.
#pragma once

#include "common/run_modes.h"
#include "native/type_class.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv::native {

struct Type;
class CAnalyser;

struct AnalyserOptions {
    Restriction restriction = Restriction::None;
    std::vector<std::string> include_dirs;     // searched first, in order
    std::vector<std::string> defines;          // "NAME" or "NAME=text", in order
    std::string std_define_path;               // the standard-defines file, empty when none
    std::vector<std::string> interface_files;  // read after it, in order
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

private:
    friend class NativeAnalyser;
    explicit NativeType(const Type* type) : type_(type) {}
    const Type* type_ = nullptr;
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

    // ---------------------------------------------------------------- calls and SHARE
    // The signature of the function of that name visible in a scope; nothing
    // when the name is not a function.
    std::optional<NativeSignature> signature(const std::string& name, const std::string& scope_name);
    // How a name visible in a scope stands for SHARE.
    ShareClass share_class(const std::string& name, const std::string& scope_name);

private:
    friend CAnalyser& c_analyser(NativeAnalyser& analyser);
    std::unique_ptr<CAnalyser> c_;
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
                             const std::string& scope_name, int line);
bool expression_is_valid(NativeAnalyser& analyser, const std::string& text);

// Step of the driver: the analyser set up from the options, after reading the
// standard-defines file (when given) and then every interface file, in order.
std::unique_ptr<NativeAnalyser> analyse_interfaces(const AnalyserOptions& options);

}  // namespace zv::native
