// Expressions: typing with the usual conversions, constant evaluation, the type
// classes and their compatibility rule, and the composite requests.
#include "native/native_analyser.h"
#include "native/type_class.h"
#include "native_test_support.h"

#include "diagnostics/report.h"

#include <climits>

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
};

TEST_F(NativeExpressions, UsualConversions) {
    EXPECT_EQ(type_of("c + 1"), "int");
    EXPECT_EQ(type_of("sh * flag"), "int");
    EXPECT_EQ(type_of("u + l"), "long");
    EXPECT_EQ(type_of("ul + -1"), "unsigned long");
    EXPECT_EQ(type_of("u + 1"), "unsigned int");
    EXPECT_EQ(type_of("f * 2"), "float");
    EXPECT_EQ(type_of("f * 2.0"), "double");
    EXPECT_EQ(type_of("d + ld"), "long double");
    EXPECT_EQ(type_of("u << l"), "unsigned int");
    EXPECT_EQ(type_of("name - name"), "long");
    EXPECT_EQ(type_of("name + 1"), "char *");
    EXPECT_EQ(type_of("values < values + 1"), "int");
    EXPECT_EQ(type_of("flag ? d : 1"), "double");
    EXPECT_EQ(type_of("m"), "enum mode");
    EXPECT_EQ(type_of("c, d"), "double");
}

TEST_F(NativeExpressions, AccessCallsCastsAndLiterals) {
    EXPECT_EQ(type_of("pts[1].y"), "short");
    EXPECT_EQ(type_of("pp->x"), "short");
    EXPECT_EQ(type_of("(*pp).x"), "short");
    EXPECT_EQ(type_of("&pts[2]"), "point_t *");
    EXPECT_EQ(type_of("*name"), "char");
    EXPECT_EQ(type_of("label[0]"), "const char");
    EXPECT_EQ(type_of("handler(3)"), "int");
    EXPECT_EQ(type_of("compute(1, 2.0, name)"), "int");
    EXPECT_EQ(type_of("(counter_t)d"), "unsigned long");
    EXPECT_EQ(type_of("(struct point){1, 2}"), "struct point");
    EXPECT_EQ(type_of("sizeof(point_t)"), "unsigned long");
    EXPECT_EQ(type_of("\"ab\" \"c\""), "char [4]");
    EXPECT_EQ(type_of("L\"ab\""), "int [3]");
    EXPECT_EQ(type_of("'x'"), "int");
    EXPECT_EQ(type_of("10000000000"), "long");
    EXPECT_EQ(type_of("0xffffffff"), "unsigned int");
    EXPECT_EQ(type_of("1.5f"), "float");
    EXPECT_EQ(type_of("TWICE(counter)"), "unsigned long");
    EXPECT_EQ(type_of("({ int t = 1; t + 2L; })"), "long");
    EXPECT_EQ(type_of("({ if (c) d; })"), "void");
}

TEST_F(NativeExpressions, IntegerConstantEvaluation) {
    EXPECT_EQ(value("(unsigned char)300"), 44);
    EXPECT_EQ(value("-1 >> 1"), -1);
    EXPECT_EQ(value("1u - 2 > 0"), 1);
    EXPECT_EQ(value("-1 < 0u"), 0);
    EXPECT_EQ(value("(int)(1ULL << 33) + 7"), 7);
    EXPECT_EQ(value("0xffffffffu + 1"), 0);
    EXPECT_EQ(value("sizeof(struct point) + sizeof pts + sizeof(union any)"), 4 + 12 + 4);
    EXPECT_EQ(value("__builtin_offsetof(point_t, y)"), 2);
    EXPECT_EQ(value("ON * 2 + OFF"), 8);
    EXPECT_EQ(value("'\\n' + '\\x10' + '\\101'"), 10 + 16 + 65);
    EXPECT_EQ(value("3 ? 4 : 5 / 0"), 4);
    EXPECT_EQ(value("(short)-1 == -1 && (unsigned short)-1 == 65535"), 1);
    EXPECT_EQ(value("__builtin_types_compatible_p(counter_t, unsigned long)"), 1);
    EXPECT_EQ(value("_Alignof(double)"), 8);
    EXPECT_FALSE(value("values[0] + 1"));  // not a constant
    EXPECT_FALSE(value("1 / 0"));
}

// Floating constants converted to integer types: towards zero, a value beyond
// the range giving the nearest bound, as the system C compiler folds them; an
// infinity gives no constant.
TEST_F(NativeExpressions, FloatingConstantsCastToIntegers) {
    EXPECT_EQ(value("(int)-2.9 + (unsigned char)255.5"), -2 + 255);
    EXPECT_EQ(value("(int)1e300"), 2147483647);
    EXPECT_EQ(value("(int)-1e300"), -2147483648LL);
    EXPECT_EQ(value("(unsigned char)1e300"), 255);
    EXPECT_EQ(value("(unsigned char)-5.0"), 0);
    EXPECT_EQ(value("(signed char)-1e10"), -128);
    EXPECT_EQ(value("(_Bool)0.5"), 1);
    EXPECT_EQ(value("(long)1e300"), LLONG_MAX);
    EXPECT_EQ(value("(long)-9223372036854775808.0"), LLONG_MIN);
    EXPECT_EQ(value("(unsigned long)1e300 == 0xffffffffffffffffUL"), 1);
    EXPECT_EQ(value("(unsigned long)1e19 == 10000000000000000000UL"), 1);
    EXPECT_FALSE(value("(int)(1e308 * 10)"));
    EXPECT_FALSE(value("1 ? 1e300 : (char *)0"));  // a floating value is no address
}

TEST_F(NativeExpressions, TypeClassTable) {
    EXPECT_EQ(cls("m"), std::make_pair(0, 0LL));
    EXPECT_EQ(cls("sh").first, kOtherIntegral);
    EXPECT_EQ(cls("flag").first, kOtherIntegral);
    EXPECT_EQ(cls("c").first, kCharacter);
    EXPECT_EQ(cls("u").first, kInteger);
    EXPECT_EQ(cls("counter").first, kLongInteger);  // through the typedef
    EXPECT_EQ(cls("f").first, kFloating);
    EXPECT_EQ(cls("ld").first, kFloating);
    EXPECT_EQ(cls("d").first, kDouble);
    EXPECT_EQ(cls("name").first, kCharPointer);
    EXPECT_EQ(cls("label"), std::make_pair(7, 8LL));
    EXPECT_EQ(cls("\"abc\""), std::make_pair(7, 4LL));
    EXPECT_EQ(cls("  NONIL "), std::make_pair(8, 0LL));
    EXPECT_EQ(cls("pp").first, kPointer);
    EXPECT_EQ(cls("handler").first, kPointer);
    EXPECT_EQ(cls("compute").first, kPointer);
    EXPECT_EQ(cls("pts[0]").first, kStructure);
    EXPECT_EQ(cls("pts"), std::make_pair(11, 3LL));
    EXPECT_EQ(cls("values"), std::make_pair(11, 4LL));
    EXPECT_EQ(cls("un").first, kUnion);
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
    // rule 1: wildcards and equal classes
    EXPECT_TRUE(compatible_classes(kEllipsis, kStructure));
    EXPECT_TRUE(compatible_classes(kUnion, kUnresolved));
    EXPECT_TRUE(compatible_classes(kStructure, kStructure));
    // rule 2: pointers and NONIL against anything up to class 9
    EXPECT_TRUE(compatible_classes(kPointer, kInteger));
    EXPECT_TRUE(compatible_classes(kCharArray, kNonNil));
    EXPECT_FALSE(compatible_classes(kPointer, kStructure));
    EXPECT_FALSE(compatible_classes(kNonNil, kArray));
    // rule 3: character pointers and arrays
    EXPECT_TRUE(compatible_classes(kCharPointer, kCharArray));
    // rule 4: arithmetic
    EXPECT_TRUE(compatible_classes(kCharacter, kDouble));
    EXPECT_TRUE(compatible_classes(kNoType, kLongInteger));
    EXPECT_FALSE(compatible_classes(kStructure, kInteger));
    EXPECT_FALSE(compatible_classes(kInteger, kCharArray));
    EXPECT_FALSE(compatible_classes(kVoid, kInteger));
}

TEST_F(NativeExpressions, CompositeRequests) {
    EXPECT_TRUE(expression_matches_type(*analyser, "counter * 2", "unsigned long", "", 1));
    EXPECT_TRUE(expression_matches_type(*analyser, "pts[1]", "struct point", "", 1));
    EXPECT_TRUE(expression_matches_type(*analyser, "0", "point_t *", "", 1));
    EXPECT_FALSE(expression_matches_type(*analyser, "pts[1]", "union any", "", 1));
    EXPECT_FALSE(expression_matches_type(*analyser, "name", "double", "", 1));
    EXPECT_FALSE(expression_matches_type(*analyser, "counter", "no_such_type", "", 1));
    EXPECT_FALSE(expression_matches_type(*analyser, "counter", "struct nowhere", "", 1));
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
