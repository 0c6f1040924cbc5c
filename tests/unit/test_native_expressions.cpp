// Expressions: typing with the usual conversions, constant evaluation, the type
// classes and their compatibility rule, and the composite requests.
#include "native/native_analyser.h"
#include "native/type_class.h"
#include "native_test_support.h"

#include "diagnostics/report.h"

#include <climits>
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
    EXPECT_EQ(capture.text(),
              "Zolmex-E-CUNDECLID,  [s.zod:3] Undeclared identifier nobody\n"
              "Zolmex-E-CNOMEMBER,  [s.zod:3] No member named z\n"
              "Zolmex-E-CSYNTAXER,  [s.zod:3] C syntax error: expected an expression at end of input\n");
    EXPECT_EQ(errorCount(), errors + 3);
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
        EXPECT_EQ(expression_matches_type(*analyser, row.expression, row.type, "", 1), row.matches)
            << row.expression << " as " << row.type;
    {
        CapturedMessages capture;
        EXPECT_FALSE(expression_matches_type(*analyser, "counter +", "int", "", 1));
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

}  // namespace
}  // namespace zv::native
