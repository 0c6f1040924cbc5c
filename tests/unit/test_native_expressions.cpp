// Expressions: typing with the usual conversions, constant evaluation, the type
// classes and their compatibility rule, and the composite requests.
#include "native/native_analyser.h"
#include "native/type_class.h"
#include "native_test_support.h"

#include "diagnostics/report.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;

class NativeExpressions : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }
    void SetUp() override {
        analyser = native_setup(Restriction::None, {}, {});
        CapturedMessages capture;
        analyser->set_position("h.h", 1, "");
        c_analyser(*analyser).declare_tokens(c_analyser(*analyser).preprocess_tokens(
            "typedef unsigned long counter_t;\n"
            "typedef struct point { short x, y; } point_t;\n"
            "union any { int i; float f; };\n"
            "enum mode { OFF, ON = 4 };\n"
            "extern char c; extern unsigned u; extern long l; extern unsigned long ul; extern float f;\n"
            "extern double d; extern long double ld; extern char *name; extern const char label[8];\n"
            "extern point_t pts[3]; extern point_t *pp; extern union any un; extern enum mode m;\n"
            "extern counter_t counter; extern int values[4]; extern short sh; extern _Bool flag;\n"
            "extern int (*handler)(int); int compute(int, ...);\n"
            "#define TWICE(x) ((x) * 2)\n"));
        EXPECT_EQ(capture.text(), "");
    }
    // Class and element count of an expression.
    std::pair<int, long long> cls(const std::string& text, const std::string& scope = "") {
        const ClassAnswer a = expression_type_class(*analyser, text, scope, "s.zod", 3);
        return {a.type_class, a.count};
    }
    std::string type_of(const std::string& text) { return expression_type_texts(*analyser, text, "", "s.zod", 3).resolved; }
    // Value of an integer constant expression, or nothing.
    std::optional<long long> value(const std::string& text) {
        analyser->set_position("s.zod", 3, "");
        CAnalyser& c = c_analyser(*analyser);
        const auto tree = c.parse_expression_tokens(c.preprocess_tokens(text), true);
        if (!tree || !tree->root->is_constant || tree->root->is_float) return std::nullopt;
        return tree->root->value;
    }
    std::unique_ptr<NativeAnalyser> analyser;

    // Each expression with its resolved type.
    void expect_types(const std::vector<std::pair<const char*, const char*>>& rows) {
        for (const auto& [text, type] : rows) EXPECT_EQ(type_of(text), type) << text;
    }
    // What an expression folds to: its integer value, "inf", "-inf", "nan" or a
    // floating value, "none" when it is no constant.
    std::string folded(const std::string& text) {
        analyser->set_position("s.zod", 3, "");
        CAnalyser& c = c_analyser(*analyser);
        const auto tree = c.parse_expression_tokens(c.preprocess_tokens(text), true);
        if (!tree || !tree->root->is_constant) return "none";
        if (!tree->root->is_float) return std::to_string(tree->root->value);
        const double v = tree->root->fvalue;
        if (std::isnan(v)) return "nan";
        if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
        std::string out = std::to_string(v);
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
        return out;
    }
    // Each expression with its resolved type and what it folds to.
    void expect_typed_values(const std::vector<std::tuple<const char*, const char*, const char*>>& rows) {
        for (const auto& [text, type, value] : rows) {
            EXPECT_EQ(type_of(text), type) << text;
            EXPECT_EQ(folded(text), value) << text;
        }
    }
    // Each expression with its value, nothing where it is no integer constant.
    void expect_values(const std::vector<std::pair<const char*, std::optional<long long>>>& rows) {
        for (const auto& [text, expected] : rows) EXPECT_EQ(value(text), expected) << text;
    }
};

TEST_F(NativeExpressions, UsualConversions) {
    expect_types({
        {"c + 1", "int"},
        {"sh * flag", "int"},
        {"u + l", "long"},
        {"ul + -1", "unsigned long"},
        {"u + 1", "unsigned int"},
        {"f * 2", "float"},
        {"f * 2.0", "double"},
        {"d + ld", "long double"},
        {"u << l", "unsigned int"},
        {"name - name", "long"},
        {"name + 1", "char *"},
        {"values < values + 1", "int"},
        {"flag ? d : 1", "double"},
        {"m", "enum mode"},
        {"c, d", "double"},
    });
}

TEST_F(NativeExpressions, AccessCallsCastsAndLiterals) {
    expect_types({
        {"pts[1].y", "short"},
        {"pp->x", "short"},
        {"(*pp).x", "short"},
        {"&pts[2]", "point_t *"},
        {"*name", "char"},
        {"label[0]", "const char"},
        {"handler(3)", "int"},
        {"compute(1, 2.0, name)", "int"},
        {"(counter_t)d", "unsigned long"},
        {"(struct point){1, 2}", "struct point"},
        {"sizeof(point_t)", "unsigned long"},
        {"\"ab\" \"c\"", "char [4]"},
        {"L\"ab\"", "int [3]"},
        {"'x'", "int"},
        {"10000000000", "long"},
        {"0xffffffff", "unsigned int"},
        {"1.5f", "float"},
        {"TWICE(counter)", "unsigned long"},
        {"({ int t = 1; t + 2L; })", "long"},
        {"({ if (c) d; })", "void"},
    });
}

TEST_F(NativeExpressions, IntegerConstantEvaluation) {
    expect_values({
        {"(unsigned char)300", 44},
        {"-1 >> 1", -1},
        {"1u - 2 > 0", 1},
        {"-1 < 0u", 0},
        {"(int)(1ULL << 33) + 7", 7},
        {"0xffffffffu + 1", 0},
        {"sizeof(struct point) + sizeof pts + sizeof(union any)", 4 + 12 + 4},
        {"__builtin_offsetof(point_t, y)", 2},
        {"ON * 2 + OFF", 8},
        {"'\\n' + '\\x10' + '\\101'", 10 + 16 + 65},
        {"3 ? 4 : 5 / 0", 4},
        {"(short)-1 == -1 && (unsigned short)-1 == 65535", 1},
        {"__builtin_types_compatible_p(counter_t, unsigned long)", 1},
        {"_Alignof(double)", 8},
        {"values[0] + 1", std::nullopt},  // not a constant
        {"1 / 0", std::nullopt},
    });
}

// An array or a function used as a value becomes a pointer: as the result of
// the comma operator and of ?:, not as the operand of sizeof, of parentheses,
// of __extension__ or as the choice of _Generic.
TEST_F(NativeExpressions, ArraysAndFunctionsDecayWhereUsedAsValues) {
    expect_types({
        {"(\"ab\", \"cde\")", "char *"},
        {"(0, values)", "int *"},
        {"(0, label)", "const char *"},
        {"(1, compute)", "int (*)(int, ...)"},
        {"(0, (0, pts))", "point_t *"},
        {"flag ? values : values", "int *"},
        {"(values)", "int [4]"},
        {"__extension__ label", "const char [8]"},
        {"_Generic(0, int: values)", "int [4]"},
    });
    expect_values({
        {"sizeof((\"ab\", \"cde\"))", 8},
        {"sizeof((0, compute))", 8},
        {"sizeof((0, (char)1))", 1},
        {"sizeof(1 ? values : values)", 8},
        {"sizeof(values)", 16},
        {"sizeof((__extension__ \"abcdefghij\"))", 11},
        {"sizeof(_Generic(0, int: values))", 16},
        {"sizeof compute", 1},
    });
}

// Floating constants converted to integer types: towards zero, a value beyond
// the range giving the nearest bound, as the system C compiler folds them; an
// infinity gives no constant.
TEST_F(NativeExpressions, FloatingConstantsCastToIntegers) {
    expect_values({
        {"(int)-2.9 + (unsigned char)255.5", -2 + 255},
        {"(int)1e300", 2147483647},
        {"(int)-1e300", -2147483648LL},
        {"(unsigned char)1e300", 255},
        {"(unsigned char)-5.0", 0},
        {"(signed char)-1e10", -128},
        {"(_Bool)0.5", 1},
        {"(long)1e300", LLONG_MAX},
        {"(long)-9223372036854775808.0", LLONG_MIN},
        {"(unsigned long)1e300 == 0xffffffffffffffffUL", 1},
        {"(unsigned long)1e19 == 10000000000000000000UL", 1},
        {"(int)(1e308 * 10)", std::nullopt},
        {"1 ? 1e300 : (char *)0", std::nullopt},  // a floating value is no address
    });
}

TEST_F(NativeExpressions, TypeClassTable) {
    const struct {
        const char* text;
        int type_class;
        std::optional<long long> count = std::nullopt;  // checked where given
    } rows[] = {
        {"m", 0, 0},
        {"sh", kOtherIntegral},
        {"flag", kOtherIntegral},
        {"c", kCharacter},
        {"u", kInteger},
        {"counter", kLongInteger},  // through the typedef
        {"f", kFloating},
        {"ld", kFloating},
        {"d", kDouble},
        {"name", kCharPointer},
        {"label", 7, 8},
        {"\"abc\"", 7, 4},
        {"  NONIL ", 8, 0},
        {"pp", kPointer},
        {"handler", kPointer},
        {"compute", kPointer},
        {"pts[0]", kStructure},
        {"pts", 11, 3},
        {"values", 11, 4},
        {"un", kUnion},
    };
    for (const auto& row : rows) {
        const auto [type_class, count] = cls(row.text);
        EXPECT_EQ(type_class, row.type_class) << row.text;
        if (row.count) {
            EXPECT_EQ(count, *row.count) << row.text;
        }
    }
    EXPECT_EQ(analyser->type_by_name("void", "").type_class(), kVoid);
    EXPECT_EQ(analyser->type_by_name("const char *", "").type_class(), kCharPointer);
    EXPECT_EQ(type_class(nullptr), kNoType);
    EXPECT_EQ(variable_type_class(*analyser, "counter", "", "s.zod", 1), kLongInteger);
    EXPECT_EQ(variable_type_class(*analyser, "nobody", "", "s.zod", 1), kNoType);
}

TEST_F(NativeExpressions, FailuresAnswerMinusOneAndCount) {
    const unsigned errors = errorCount();
    CapturedMessages capture;
    EXPECT_EQ(cls("nobody + 1").first, -1);
    EXPECT_EQ(cls("pts[0].z").first, -1);
    EXPECT_EQ(cls("1 +").first, -1);
    EXPECT_EQ(cls("compute(1,)").first, -1);
    EXPECT_EQ(capture.text(),
              "Zolmex-E-CUNDECLID,  [s.zod:3] Undeclared identifier nobody\n"
              "Zolmex-E-CNOMEMBER,  [s.zod:3] No member named z\n"
              "Zolmex-E-CSYNTAXER,  [s.zod:3] C syntax error: expected an expression at end of input\n"
              "Zolmex-E-CSYNTAXER,  [s.zod:3] C syntax error: expected an expression before ')'\n");
    EXPECT_EQ(errorCount(), errors + 4);
}

TEST_F(NativeExpressions, CompatibilityRule) {
    const struct {
        int first, second;
        bool compatible;
    } rows[] = {
        // rule 1: wildcards and equal classes
        {kEllipsis, kStructure, true},
        {kUnion, kUnresolved, true},
        {kStructure, kStructure, true},
        // rule 2: pointers and NONIL against anything up to class 9
        {kPointer, kInteger, true},
        {kCharArray, kNonNil, true},
        {kPointer, kStructure, false},
        {kNonNil, kArray, false},
        // rule 3: character pointers and arrays
        {kCharPointer, kCharArray, true},
        // rule 4: arithmetic
        {kCharacter, kDouble, true},
        {kNoType, kLongInteger, true},
        {kStructure, kInteger, false},
        {kInteger, kCharArray, false},
        {kVoid, kInteger, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(compatible_classes(row.first, row.second), row.compatible) << row.first << " with " << row.second;
}

TEST_F(NativeExpressions, CompositeRequests) {
    const struct {
        const char* expression;
        const char* type;
        bool matches;
    } rows[] = {
        {"counter * 2", "unsigned long", true},
        {"pts[1]", "struct point", true},
        {"0", "point_t *", true},
        {"pts[1]", "union any", false},
        {"name", "double", false},
        {"counter", "no_such_type", false},
        {"counter", "struct nowhere", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(expression_matches_type(*analyser, row.expression, row.type, "", "", 1), row.matches)
            << row.expression << " as " << row.type;
    {
        CapturedMessages capture;
        EXPECT_FALSE(expression_matches_type(*analyser, "counter +", "int", "", "", 1));
        EXPECT_TRUE(expression_is_valid(*analyser, "values[1] + TWICE(3)"));
        EXPECT_FALSE(expression_is_valid(*analyser, "values[1] +"));
    }
    const TypeTexts texts = expression_type_texts(*analyser, "counter", "", "s.zod", 1);
    EXPECT_EQ(texts.declared, "counter_t");
    EXPECT_EQ(texts.resolved, "unsigned long");
    EXPECT_EQ(texts.size, 8);
    // Script declarations registered under a scope name are seen there only.
    analyser->declare("int step;\n", "SCN1@init", "s.zod", 7);
    EXPECT_EQ(cls("step + 1", "SCN1@init").first, kInteger);
    CapturedMessages capture;
    EXPECT_EQ(cls("step", "SCN2").first, -1);
}

TEST_F(NativeExpressions, PreprocessedTextParsesAsAnExpression) {
    analyser->set_position("s.zod", 1, "");
    const auto tree = c_analyser(*analyser).parse_expression(*analyser->preprocess("pts[1].x + 1"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(type_text(tree->root->type), "int");
    EXPECT_EQ(analyser->preprocess("#define NOTHING\nNOTHING\n"), std::nullopt);
    // Script values write intervals as "1..3": three tokens.
    EXPECT_EQ(testing_support::joined(c_analyser(*analyser).preprocess_tokens("[1..3] x...")), "[ 1 .. 3 ] x ...");
}

// Built-in functions with the result types and the folding of the system C
// compiler (gcc 12), each row checked against it.
TEST_F(NativeExpressions, BuiltinFunctionsTypedAndFolded) {
    expect_typed_values({
        {"__builtin_inff()", "float", "inf"},
        {"__builtin_inf()", "double", "inf"},
        {"__builtin_infl()", "long double", "inf"},
        {"__builtin_huge_valf()", "float", "inf"},
        {"__builtin_huge_val()", "double", "inf"},
        {"__builtin_huge_vall()", "long double", "inf"},
        {"__builtin_huge_valf128()", "_Float128", "inf"},
        {"-__builtin_inf()", "double", "-inf"},
        {"__builtin_nanf(\"\")", "float", "nan"},
        {"__builtin_nan(\"\")", "double", "nan"},
        {"__builtin_nanl(\"\")", "long double", "nan"},
        {"__builtin_nan(\"\") != __builtin_nan(\"\")", "int", "1"},
        {"__builtin_nan(name)", "double", "none"},
        {"__builtin_nan(\"0x7f\")", "double", "nan"},
        {"__builtin_nan(\"abc\")", "double", "none"},  // no number: not folded
        {"__builtin_bswap16(0x1234) == 0x3412", "int", "1"},
        {"__builtin_bswap16(0x123456)", "unsigned short", "22068"},  // the argument is a uint16_t
        {"__builtin_bswap32(0x12345678) == 0x78563412", "int", "1"},
        {"__builtin_bswap32(0x12345678)", "unsigned int", "2018915346"},
        {"__builtin_bswap64(0x0102030405060708)", "unsigned long", "578437695752307201"},
        {"__builtin_bswap32(u)", "unsigned int", "none"},
        {"__builtin_clz(1)", "int", "31"},
        {"__builtin_clz(0)", "int", "32"},
        {"__builtin_clzll(1)", "int", "63"},
        {"__builtin_ctzl(8)", "int", "3"},
        {"__builtin_ctz(0)", "int", "32"},
        {"__builtin_popcount(-1)", "int", "32"},
        {"__builtin_popcountl(-1)", "int", "64"},
        {"__builtin_parity(7)", "int", "1"},
        {"__builtin_ffs(8)", "int", "4"},
        {"__builtin_ffs(0)", "int", "0"},
        {"__builtin_clrsb(0)", "int", "31"},
        {"__builtin_clrsb(-1)", "int", "31"},
        {"__builtin_clrsb(1)", "int", "30"},
        {"__builtin_clrsbl(-2)", "int", "62"},
        {"__builtin_expect(5, 1)", "long", "5"},
        {"__builtin_expect(c, 0)", "long", "none"},
        {"__builtin_expect_with_probability(u, 1, 0.9)", "long", "none"},
        {"__builtin_constant_p(1)", "int", "1"},
        {"__builtin_constant_p(1.5)", "int", "1"},
        {"__builtin_constant_p(\"ab\")", "int", "1"},
        {"__builtin_constant_p((void *)0)", "int", "1"},
        {"__builtin_constant_p(u)", "int", "0"},
        {"__builtin_constant_p(&u)", "int", "0"},
        {"__builtin_strlen(\"abc\")", "unsigned long", "3"},
        {"__builtin_strlen(\"ab\" \"cd\")", "unsigned long", "4"},
        {"__builtin_strlen(name)", "unsigned long", "none"},
        {"__builtin_classify_type(1)", "int", "1"},
        {"__builtin_classify_type(1.0)", "int", "8"},
        {"__builtin_classify_type(name)", "int", "5"},
        {"__builtin_classify_type(pts[0])", "int", "12"},
        {"__builtin_classify_type(un)", "int", "13"},
        {"__builtin_classify_type(m) + __builtin_classify_type(flag)", "int", "2"},  // promoted to int
        {"__builtin_isnan(__builtin_nanf(\"\"))", "int", "1"},
        {"__builtin_isinf(-__builtin_inf())", "int", "-1"},  // folded with its sign
        {"__builtin_isinf_sign(__builtin_inf())", "int", "1"},
        {"__builtin_isfinite(d)", "int", "none"},
        {"__builtin_isnormal(0.0)", "int", "0"},
        {"__builtin_signbit(-1.0)", "int", "1"},
        {"__builtin_fpclassify(0, 1, 2, 3, 4, 0.0)", "int", "4"},
        {"__builtin_fpclassify(0, 1, 2, 3, 4, 1.0)", "int", "2"},
        {"__builtin_isgreater(2.0, 1)", "int", "1"},
        {"__builtin_isunordered(1.0, __builtin_nan(\"\"))", "int", "1"},
        {"__builtin_fabs(-2.5)", "double", "2.5"},
        {"__builtin_fabsf(f)", "float", "none"},
        {"__builtin_copysign(1, -0.0)", "double", "-1"},
        {"__builtin_ceil(1.5) == 2.0", "int", "1"},
        {"__builtin_choose_expr(1, 1.0f, name)", "float", "1"},
        {"__builtin_choose_expr(0, 1.0f, values[1])", "int", "none"},
        {"__builtin_complex(1.0, 2.0)", "_Complex double", "none"},
        {"__builtin_add_overflow(1, 2, &l)", "_Bool", "none"},
        {"__builtin_memcpy(name, name, 1)", "void *", "none"},
        {"__builtin_strchr(name, 'a')", "char *", "none"},
        {"__builtin_FILE()", "const char *", "none"},
        {"__builtin_object_size(name, 0)", "unsigned long", "none"},
        {"__builtin_alloca(4)", "void *", "none"},
        {"sizeof(__builtin_bswap64(1)) + sizeof __builtin_inff()", "unsigned long", "12"},
        // Built-ins we do not model have no type and no value, rather than
        // passing for int functions.
        {"__builtin_tgmath(f, 1.0)", "", "none"},
        {"__builtin_no_such_thing(1) + 1", "", "none"},
    });
    EXPECT_EQ(cls("__builtin_inff()").first, kFloating);
    const TypeTexts unknown = expression_type_texts(*analyser, "__builtin_no_such_thing(1)", "", "s.zod", 3);
    EXPECT_EQ(unknown.declared, "");
    EXPECT_EQ(unknown.size, -1);
    EXPECT_EQ(cls("__builtin_no_such_thing(1)").first, kInteger);  // the class of any untyped expression
    // Folded calls are integer constant expressions: array sizes, enumerators.
    CAnalyser& c = c_analyser(*analyser);
    CapturedMessages capture;
    c.declare_tokens(c.preprocess_tokens(
        "enum swapped { SWAPPED = __builtin_bswap32(0x01000000), LENGTH = __builtin_strlen(\"four\") };\n"
        "extern char bytes[__builtin_popcount(0xff)];\n"
        "_Static_assert(__builtin_bswap16(0x1234) == 0x3412 && __builtin_constant_p(1), \"folded\");\n"));
    EXPECT_EQ(capture.text(), "");
    expect_values({{"SWAPPED + LENGTH", 1 + 4}, {"sizeof bytes", 8}});
}

// __has_builtin answers 1 for the built-ins modelled and for those read as
// keywords, as the compiler does; 0 for its reserved words and the rest.
TEST_F(NativeExpressions, HasBuiltinAgreesWithTheModel) {
    const struct {
        const char* name;
        bool has;
    } rows[] = {
        {"__builtin_bswap32", true},     {"__builtin_inff", true},
        {"__builtin_expect", true},      {"__builtin_constant_p", true},
        {"__builtin_offsetof", true},    {"__builtin_types_compatible_p", true},
        {"__builtin_choose_expr", true}, {"__builtin_huge_vall", true},
        {"__builtin_complex", false},    {"__builtin_va_arg", false},
        {"__builtin_va_list", false},    {"__builtin_tgmath", false},
        {"__builtin_no_such_thing", false},
    };
    for (const auto& row : rows) {
        const std::string text = std::string("#if __has_builtin(") + row.name + ")\nyes\n#else\nno\n#endif\n";
        EXPECT_EQ(testing_support::joined(c_analyser(*analyser).preprocess_tokens(text)), row.has ? "yes" : "no")
            << row.name;
    }
}

// <math.h> read through the system header: its constants have the types the
// compiler gives them.
TEST(NativeMathHeader, ConstantsHaveTheirTypes) {
    registerMessageCatalog();
    if (!std::ifstream("/usr/include/math.h")) GTEST_SKIP() << "math.h is not installed";
    ::setenv("KVW_ADD_USR_INCLUDE", "1", 1);
    ::setenv("KVSTGT", kTarget.c_str(), 1);
    auto analyser = native_setup(Restriction::None, {}, {});
    ::unsetenv("KVW_ADD_USR_INCLUDE");
    ::unsetenv("KVSTGT");
    CAnalyser& c = c_analyser(*analyser);
    {
        CapturedMessages capture;
        c.analyse_file(kDefines, true);
        analyser->set_position("h.h", 1, "");
        c.declare_tokens(c.preprocess_tokens("#include <math.h>\n"));
        EXPECT_EQ(capture.text(), "");
    }
    const struct {
        const char* expression;
        const char* type;
        int type_class;
    } rows[] = {
        {"INFINITY", "float", kFloating},
        {"NAN", "float", kFloating},
        {"HUGE_VAL", "double", kDouble},
        {"HUGE_VALF", "float", kFloating},
        {"HUGE_VALL", "long double", kFloating},
        {"isinf(HUGE_VAL)", "int", kInteger},
        {"fpclassify(1.0)", "int", kInteger},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(expression_type_texts(*analyser, row.expression, "", "s.zod", 3).resolved, row.type) << row.expression;
        EXPECT_EQ(expression_type_class(*analyser, row.expression, "", "s.zod", 3).type_class, row.type_class)
            << row.expression;
    }
    const auto value = [&](const std::string& text) {
        const auto tree = c.parse_expression_tokens(c.preprocess_tokens(text), true);
        return tree && tree->root->is_constant && !tree->root->is_float ? tree->root->value : -99;
    };
    EXPECT_EQ(value("isinf(-INFINITY)"), -1);
    EXPECT_EQ(value("isnan(NAN) && signbit(-HUGE_VALL)"), 1);
    EXPECT_EQ(value("fpclassify(0.0f) == FP_ZERO"), 1);
}

}  // namespace
}  // namespace zv::native
