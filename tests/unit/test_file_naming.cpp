// Derived file names of a run: extensions, KVS_* variables, templates beside the
// C driver, the thread routine name and the cut of the command-line echo.
#include "driver/file_naming.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST_F(FileNaming, SplitTakesTheLastDotBeforeNoSlash) {
    auto split = [](const char* path) {
        const SplitPath s = splitPath(path);
        return s.stem + "|" + s.extension;
    };
    EXPECT_EQ(split("demo.zod"), "demo|zod");
    EXPECT_EQ(split("demo"), "demo|");
    EXPECT_EQ(split("a.b.c"), "a.b|c");
    EXPECT_EQ(split("out.d/demo"), "out.d/demo|");
    EXPECT_EQ(split("out.d/demo.x"), "out.d/demo|x");
    EXPECT_EQ(split("./demo"), "./demo|");
    EXPECT_EQ(split(""), "|");
}

TEST_F(FileNaming, PathsFromTheScript) {
    EXPECT_EQ(scriptFilePath("demo"), "demo.zod");
    EXPECT_EQ(scriptFilePath("demo.txt"), "demo.txt");
    EXPECT_EQ(listingFilePath("demo"), "demo.lis");
    EXPECT_EQ(listingFilePath("demo.txt"), "demo.lis");
    EXPECT_EQ(listingFilePath("dir.v2/demo"), "dir.v2/demo.lis");
    EXPECT_EQ(scenarioFilePath("scripts/demo.zod"), "scripts/demo.spg");
    EXPECT_EQ(standardDefinesPath("std"), "std.def");
    EXPECT_EQ(standardDefinesPath("std.h"), "std.h");
}

TEST_F(FileNaming, PathsFromTheRoot) {
    EXPECT_EQ(tdcFilePath("out/demo"), "out/demo.tdc");
    EXPECT_EQ(probeHeaderPath("out/demo"), "out/demo.h");
    EXPECT_EQ(reportStructurePath("out/demo"), "out/demo_dyn.tsf");
    EXPECT_EQ(traceFileName("out/demo"), "out/demo.rio");
    EXPECT_EQ(cDriverPath("out/demo"), "out/demo.c");
    // A root with an extension keeps it for the C driver only.
    EXPECT_EQ(cDriverPath("out/demo.cc"), "out/demo.cc");
    EXPECT_EQ(tdcFilePath("out/demo.cc"), "out/demo.tdc");
    EXPECT_EQ(reportStructurePath("out/demo.cc"), "out/demo_dyn.tsf");
    EXPECT_EQ(probeHeaderPath("out/demo.cc"), "out/demo.h");
    EXPECT_EQ(cDriverPath("out.d/demo"), "out.d/demo.c");
    EXPECT_EQ(tdcFilePath("out.d/demo"), "out.d/demo.tdc");
}

TEST_F(FileNaming, VariablesReplaceDefaultExtensions) {
    ::setenv("KVS_SRC", "cpp", 1);
    ::setenv("KVS_LIS", "log", 1);
    ::setenv("KVS_ZOD", "scn", 1);
    ::setenv("KVS_TDC", "t", 1);
    ::setenv("KVS_H", "hh", 1);
    ::setenv("KVS_TSF", "s", 1);
    ::setenv("KVS_RIO", "r", 1);
    ::setenv("KVS_DEF", "d", 1);
    EXPECT_EQ(cDriverPath("out/demo"), "out/demo.cpp");
    EXPECT_EQ(cDriverPath("out/demo.c"), "out/demo.c");
    EXPECT_EQ(listingFilePath("demo.zod"), "demo.log");
    EXPECT_EQ(scriptFilePath("demo"), "demo.scn");
    EXPECT_EQ(scriptFilePath("demo.zod"), "demo.zod");
    EXPECT_EQ(tdcFilePath("out/demo"), "out/demo.t");
    EXPECT_EQ(probeHeaderPath("out/demo"), "out/demo.hh");
    EXPECT_EQ(reportStructurePath("out/demo"), "out/demo_dyn.s");
    EXPECT_EQ(traceFileName("out/demo"), "out/demo.r");
    EXPECT_EQ(standardDefinesPath("std"), "std.d");
    EXPECT_EQ(scenarioFilePath("demo"), "demo.spg");  // no variable for the scenario file
    // An empty value counts as unset.
    ::setenv("KVS_SRC", "", 1);
    ::setenv("KVS_LIS", "", 1);
    EXPECT_EQ(cDriverPath("out/demo"), "out/demo.c");
    EXPECT_EQ(listingFilePath("demo"), "demo.lis");
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
    EXPECT_EQ(threadRoutineName("<main>", "out/demo"), "<main>");
    EXPECT_EQ(threadRoutineName("worker", "out/demo"), "worker");
    EXPECT_EQ(threadRoutineName("<start>", "out/demo.x"), "demo_start");
    EXPECT_EQ(threadRoutineName("<start>", "demo"), "demo_start");
    EXPECT_EQ(threadRoutineName("<start>", "out.d/demo"), "demo_start");
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
