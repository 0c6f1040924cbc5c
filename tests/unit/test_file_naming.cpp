// Derived file names of a run: extensions, KVS_* variables, templates beside the
// C driver, the thread routine name and the cut of the command-line echo.
#include "driver/file_naming.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace zv {
namespace {

class FileNaming : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"KVS_ZOD", "KVS_LIS", "KVS_DEF", "KVS_TDC",
                                                 "KVS_H",   "KVS_TSF", "KVS_RIO", "KVS_SRC"};
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear() {
        for (const char* v : kVariables) ::unsetenv(v);
    }
};

// A path-naming function applied to one argument, and what it gives.
struct Named {
    std::string (*function)(std::string_view);
    const char* function_name;
    const char* argument;
    const char* expected;
};
#define NAMED(function, argument, expected) Named{function, #function, argument, expected}

void expect_names(const std::vector<Named>& rows) {
    for (const Named& row : rows)
        EXPECT_EQ(row.function(row.argument), row.expected) << row.function_name << "(\"" << row.argument << "\")";
}

TEST_F(FileNaming, SplitTakesTheLastDotBeforeNoSlash) {
    const std::pair<const char*, const char*> rows[] = {
        {"demo.zod", "demo|zod"}, {"demo", "demo|"},   {"a.b.c", "a.b|c"}, {"out.d/demo", "out.d/demo|"},
        {"out.d/demo.x", "out.d/demo|x"}, {"./demo", "./demo|"}, {"", "|"},
    };
    for (const auto& [path, expected] : rows) {
        const SplitPath s = splitPath(path);
        EXPECT_EQ(s.stem + "|" + s.extension, expected) << path;
    }
}

TEST_F(FileNaming, PathsFromTheScript) {
    expect_names({
        NAMED(scriptFilePath, "demo", "demo.zod"),
        NAMED(scriptFilePath, "demo.txt", "demo.txt"),
        NAMED(listingFilePath, "demo", "demo.lis"),
        NAMED(listingFilePath, "demo.txt", "demo.lis"),
        NAMED(listingFilePath, "dir.v2/demo", "dir.v2/demo.lis"),
        NAMED(scenarioFilePath, "scripts/demo.zod", "scripts/demo.spg"),
        NAMED(standardDefinesPath, "std", "std.def"),
        NAMED(standardDefinesPath, "std.h", "std.h"),
    });
}

TEST_F(FileNaming, PathsFromTheRoot) {
    expect_names({
        NAMED(tdcFilePath, "out/demo", "out/demo.tdc"),
        NAMED(probeHeaderPath, "out/demo", "out/demo.h"),
        NAMED(reportStructurePath, "out/demo", "out/demo_dyn.tsf"),
        NAMED(traceFileName, "out/demo", "out/demo.rio"),
        NAMED(cDriverPath, "out/demo", "out/demo.c"),
        // A root with an extension keeps it for the C driver only.
        NAMED(cDriverPath, "out/demo.cc", "out/demo.cc"),
        NAMED(tdcFilePath, "out/demo.cc", "out/demo.tdc"),
        NAMED(reportStructurePath, "out/demo.cc", "out/demo_dyn.tsf"),
        NAMED(probeHeaderPath, "out/demo.cc", "out/demo.h"),
        NAMED(cDriverPath, "out.d/demo", "out.d/demo.c"),
        NAMED(tdcFilePath, "out.d/demo", "out.d/demo.tdc"),
    });
}

TEST_F(FileNaming, VariablesReplaceDefaultExtensions) {
    const std::pair<const char*, const char*> variables[] = {
        {"KVS_SRC", "cpp"}, {"KVS_LIS", "log"}, {"KVS_ZOD", "scn"}, {"KVS_TDC", "t"},
        {"KVS_H", "hh"},    {"KVS_TSF", "s"},   {"KVS_RIO", "r"},   {"KVS_DEF", "d"},
    };
    for (const auto& [name, value] : variables) ::setenv(name, value, 1);
    expect_names({
        NAMED(cDriverPath, "out/demo", "out/demo.cpp"),
        NAMED(cDriverPath, "out/demo.c", "out/demo.c"),
        NAMED(listingFilePath, "demo.zod", "demo.log"),
        NAMED(scriptFilePath, "demo", "demo.scn"),
        NAMED(scriptFilePath, "demo.zod", "demo.zod"),
        NAMED(tdcFilePath, "out/demo", "out/demo.t"),
        NAMED(probeHeaderPath, "out/demo", "out/demo.hh"),
        NAMED(reportStructurePath, "out/demo", "out/demo_dyn.s"),
        NAMED(traceFileName, "out/demo", "out/demo.r"),
        NAMED(standardDefinesPath, "std", "std.d"),
        NAMED(scenarioFilePath, "demo", "demo.spg"),  // no variable for the scenario file
    });
    // An empty value counts as unset.
    ::setenv("KVS_SRC", "", 1);
    ::setenv("KVS_LIS", "", 1);
    expect_names({NAMED(cDriverPath, "out/demo", "out/demo.c"), NAMED(listingFilePath, "demo", "demo.lis")});
}

TEST_F(FileNaming, TemplatesBesideTheCDriver) {
    TemplatePaths t = templatePaths(cDriverPath("out/demo"));
    EXPECT_EQ(t.trigger, "out/fctri_c.c");
    EXPECT_EQ(t.function, "out/fctfc_c.c");
    EXPECT_EQ(t.header, "out/korva_c.h");
    t = templatePaths(cDriverPath("out/demo.cc"));
    EXPECT_EQ(t.trigger, "out/fctri_c.cc");
    EXPECT_EQ(t.function, "out/fctfc_c.cc");
    t = templatePaths(cDriverPath("demo"));
    EXPECT_EQ(t.trigger, "./fctri_c.c");
    EXPECT_EQ(t.header, "./korva_c.h");
    ::setenv("KVS_SRC", "cpp", 1);
    EXPECT_EQ(templatePaths(cDriverPath("a.b/demo")).function, "a.b/fctfc_c.cpp");
}

TEST_F(FileNaming, ThreadRoutineName) {
    const struct {
        const char* setting;
        const char* root;
        const char* routine;
    } rows[] = {
        {"<main>", "out/demo", "<main>"},
        {"worker", "out/demo", "worker"},
        {"<start>", "out/demo.x", "demo_start"},
        {"<start>", "demo", "demo_start"},
        {"<start>", "out.d/demo", "demo_start"},
    };
    for (const auto& row : rows) EXPECT_EQ(threadRoutineName(row.setting, row.root), row.routine) << row.setting << " " << row.root;
}

TEST_F(FileNaming, EchoIsCutAfter1900Characters) {
    const std::string exact(1900, 'a');
    EXPECT_EQ(cutEcho(exact), exact);
    EXPECT_EQ(cutEcho(exact + "b"), exact + " (...)");
    std::string long_echo;
    for (int i = 0; i < 2500; ++i) long_echo += static_cast<char>('a' + i % 26);
    EXPECT_EQ(cutEcho(long_echo), long_echo.substr(0, 1900) + " (...)");
    EXPECT_EQ(cutEcho(""), "");
}

}  // namespace
}  // namespace zv
