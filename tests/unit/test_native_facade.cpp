// The interface analysis through its facade only, as the driver and the
// semantic analysis use it: set-up from the options, scopes, types by name,
// variables and preprocessing on one line.
#include "native/native_analyser.h"
#include "native_test_support.h"

#include "diagnostics/report.h"

#include <gtest/gtest.h>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;
using testing_support::ScratchDir;

class NativeFacade : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }

    // The analyser after reading `header` as the interface file "t.h",
    // found through the include directory.
    std::unique_ptr<NativeAnalyser> read(const std::string& header, AnalyserOptions options = {}) {
        dir.write("t.h", header);
        options.include_dirs.push_back(dir.path());
        options.interface_files.push_back("t.h");
        CapturedMessages capture;
        auto analyser = analyse_interfaces(options);
        EXPECT_EQ(capture.text(), "");
        return analyser;
    }

    ScratchDir dir;
};

TEST_F(NativeFacade, OptionsSetUpTheAnalyser) {
    const std::string header = "#ifdef __STDC__\nint standard;\n#else\nint old;\n#endif\n"
                               "int a[A]; int b[B];\n";
    AnalyserOptions options;
    options.defines = {"A", "B=2"};
    auto plain = read(header, options);
    EXPECT_TRUE(plain->variable("standard", ""));
    EXPECT_FALSE(plain->variable("old", ""));
    EXPECT_EQ(plain->variable("a", "")->type.size(), 4);
    EXPECT_EQ(plain->variable("b", "")->type.size(), 8);

    options.restriction = Restriction::KandR;
    auto knr = read(header, options);
    EXPECT_FALSE(knr->variable("standard", ""));
    EXPECT_TRUE(knr->variable("old", ""));
}

TEST_F(NativeFacade, StandardDefinesComeBeforeTheInterfaceFiles) {
    AnalyserOptions options;
    options.std_define_path = dir.write("defs.def", "#define WIDTH 4\ntypedef long wide_t;\n");
    dir.write("u.h", "wide_t second[WIDTH];\n");
    options.interface_files.push_back("u.h");  // after t.h
    auto analyser = read("extern wide_t cells[WIDTH];\n", options);
    const auto cells = analyser->variable("cells", "");
    ASSERT_TRUE(cells);
    EXPECT_FALSE(cells->function);
    EXPECT_EQ(cells->type.text(), "wide_t [4]");
    EXPECT_EQ(cells->type.size(), 32);
    EXPECT_EQ(cells->type.type_class(), kArray);
    EXPECT_TRUE(analyser->variable("second", ""));
}

TEST_F(NativeFacade, TypesByName) {
    auto analyser = read("typedef struct pair { short a; int b; } pair_t;\nvoid run(pair_t *);\n");
    const NativeType pair = analyser->type_by_name("pair_t", "");
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair.text(), "pair_t");
    EXPECT_EQ(pair.size(), 8);
    EXPECT_EQ(pair.type_class(), kStructure);
    EXPECT_EQ(analyser->type_by_name("unsigned char *", "").type_class(), kCharPointer);
    const auto run = analyser->variable("run", "");
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->function);
    EXPECT_EQ(run->type.text(), "void (pair_t *)");
    // Unknown names answer an empty type, without a message.
    const unsigned errors = errorCount();
    CapturedMessages capture;
    const NativeType none = analyser->type_by_name("struct nowhere", "");
    EXPECT_FALSE(none);
    EXPECT_EQ(none.type_class(), kNoType);
    EXPECT_EQ(none.size(), -1);
    EXPECT_EQ(none.text(), "");
    EXPECT_FALSE(analyser->type_by_name("no_such_type", ""));
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(errorCount(), errors);
}

TEST_F(NativeFacade, DeclarationsUnderScopeNames) {
    auto analyser = read("int shared;\n");
    analyser->set_position("s.zod", 4, "PROC");
    analyser->declare(*analyser->preprocess("char local;\n"), "PROC", "s.zod", 4);
    EXPECT_TRUE(analyser->declared_in_scope("local", "PROC"));
    EXPECT_FALSE(analyser->declared_in_scope("local", ""));
    // Visible under every name, but declared under the empty one only.
    EXPECT_TRUE(analyser->variable("shared", "PROC"));
    EXPECT_FALSE(analyser->declared_in_scope("shared", "PROC"));
    EXPECT_TRUE(analyser->declared_in_scope("shared", ""));
    // Questions about other scopes leave the current one as it was.
    EXPECT_FALSE(analyser->type_by_name("local", ""));
    EXPECT_FALSE(analyser->variable("local", "OTHER"));
    EXPECT_TRUE(expression_is_valid(*analyser, "local + 1"));
    analyser->close_scope("PROC");
    EXPECT_FALSE(analyser->variable("local", "PROC"));
    EXPECT_FALSE(analyser->declared_in_scope("local", "PROC"));
    EXPECT_TRUE(analyser->variable("shared", "PROC"));
}

TEST_F(NativeFacade, PreprocessingOnOneLine) {
    auto analyser = read("#define TWICE(x) ((x) * 2)\n#define EMPTY\n");
    analyser->set_position("s.zod", 1, "");
    EXPECT_EQ(analyser->preprocess_inline("TWICE( 3 ) +\n  1"), "((3) * 2) + 1");
    EXPECT_EQ(analyser->preprocess_inline("[1..3] x..."), "[1..3] x...");
    EXPECT_EQ(analyser->preprocess_inline("EMPTY"), "");
    EXPECT_EQ(analyser->preprocess("EMPTY"), std::nullopt);
    // The text form, for declarations, has a line marker and a blank between all tokens.
    EXPECT_EQ(analyser->preprocess("TWICE(y)"), "# 1 \"s.zod\"\n( ( y ) * 2 )\n");
}

// Past `#line 2147483647` every line keeps the largest number, through the
// preprocessed text and its line markers into the declarations' messages.
TEST_F(NativeFacade, LineNumbersStopAtTheLargestInt) {
    auto analyser = read("");
    analyser->set_position("s.zod", 1, "");
    const auto text = analyser->preprocess("#line 2147483646\nint a;\n\nlong a;\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "# 2147483646 \"s.zod\"\nint a ;\n long a ;\n");
    CapturedMessages capture;
    analyser->declare(*text + "\n\nshort a;\n", "", "s.zod", 1);
    EXPECT_EQ(capture.text(), "Zolmex-E-CCONFDECL,  [s.zod:2147483647] Conflicting declaration of a\n"
                              "Zolmex-E-CCONFDECL,  [s.zod:2147483647] Conflicting declaration of a\n");
}

}  // namespace
}  // namespace zv::native
