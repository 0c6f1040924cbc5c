// Run settings of the script compiler: the values each option gives, the
// command-line echo, and the fatal and internal ends of the getters.
#include "diagnostics/message_catalog.h"
#include "driver/command_line.h"
#include "driver/run_settings.h"
#include "test_command_support.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class RunSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }
    void TearDown() override { resetCommandLine(); }

    // Analyses the words (program name first) and returns the echo.
    static std::string analysed(std::vector<std::string> words) {
        const test::Analysis a = test::analyseWords(std::move(words));
        EXPECT_TRUE(a.ok) << a.errors;
        return a.echo;
    }
};

TEST_F(RunSettingsTest, EchoOfTheWorkedExample) {
    EXPECT_EQ(analysed({"prog", "demo.zod", "a.h,b.h", "out/demo", "-TRACE=t", "-nofast"}),
              "prog demo.zod a.h,b.h out/demo -NOFAST -TRACE=TIME -LOG");
}

TEST_F(RunSettingsTest, EchoPutsEveryOptionInItsPlace) {
    EXPECT_EQ(analysed({"zv", "s.zod", "a.h,b.h", "r", "-NOCOMMENT", "-THREAD", "-NOTSHARED", "-ALLOCATION=dyn",
                        "-nolog", "-BUFSIZE=0", "-TRACE=scn", "-PROBE=c", "-RESTRICTION=ansi", "-SPVGEN",
                        "-EXSCN=x", "-INSTANCE=i", "-FAMILY=f1,f2", "-VARNEL_LOG=log", "-STD_DEFINE=std",
                        "-DEFINE=D1", "-DEFINE=D2", "-SET=AB", "-INCL=i1,i2", "-NOPATH"}),
              "zv s.zod a.h,b.h r -INCL=i1,i2 -SET=AB -DEFINE=D1,D2 -STD_DEFINE=std -VARNEL_LOG=log "
              "-FAMILY=f1,f2 -INSTANCE=i -EXSCN=x -SPVGEN -RESTRICTION=ANSI -FAST -PROBE=CUSTOM -TRACE=SCN "
              "-BUFSIZE=10 -NOLOG -ALLOCATION=DYNAMIC -THREAD=<start> -NOTSHARED -NOCOMMENT");
    resetCommandLine();
    EXPECT_EQ(analysed({"zv", "s", "a.h", "r", "-SCN=s1", "-EXFAMILY=g", "-THREAD=rt", "-ALLOCATION",
                        "-BUFSIZE=0042", "-RESTRICTION=k"}),
              "zv s a.h r -EXFAMILY=g -SCN=s1 -RESTRICTION=KR -FAST -BUFSIZE=42 -LOG -ALLOCATION=STACK -THREAD=rt");
}

TEST_F(RunSettingsTest, NoPathReducesThePositionalArguments) {
    EXPECT_EQ(analysed({"zv", "dir/s.zod", "x/a.h,y/b.h", "out/r.c", "-NOPATH"}), "zv s.zod a.h,b.h r.c -FAST -LOG");
    EXPECT_EQ(scriptPathSetting(), "s.zod");
    EXPECT_EQ(interfaceFilesSetting(), (std::vector<std::string>{"a.h", "b.h"}));
    EXPECT_EQ(rootSetting(), "r.c");
    resetCommandLine();
    analysed({"zv", "dir/s.zod", "x/a.h", "out/r"});
    EXPECT_EQ(scriptPathSetting(), "dir/s.zod");
    EXPECT_EQ(rootSetting(), "out/r");
}

TEST_F(RunSettingsTest, ValuesOfAbsentOptions) {
    const RunSettings s = readRunSettings(analysed({"zv", "s", "a.h", "out/r"}));
    EXPECT_EQ(s.echo, "zv s a.h out/r -FAST -LOG");
    EXPECT_TRUE(s.include_dirs.empty());
    EXPECT_EQ(s.filter_letters, "");
    EXPECT_EQ(s.std_define, "");
    EXPECT_EQ(s.tool_log, "");
    EXPECT_EQ(s.instance, "");
    EXPECT_EQ(s.restriction, Restriction::None);
    EXPECT_TRUE(s.fast);
    EXPECT_EQ(s.probe, ProbeMode::None);
    EXPECT_TRUE(s.console_echo);
    EXPECT_EQ(s.allocation, Allocation::None);
    EXPECT_EQ(s.thread_routine, "<main>");
    EXPECT_FALSE(s.not_shared);
    EXPECT_TRUE(s.keep_comments);
    EXPECT_FALSE(s.scenario_file);
    EXPECT_EQ(s.trace, TraceLevel::None);
    EXPECT_EQ(s.buffer_size, 10);
}

TEST_F(RunSettingsTest, ValuesOfGivenOptions) {
    const RunSettings s = readRunSettings(
        analysed({"zv", "s", "a.h", "out/demo.x", "-SET=QZ", "-STD=std", "-VARNEL=log", "-INST=i", "-RESTR=KR",
                  "-NOFAST", "-PROB=d", "-NOLOG", "-ALLOC", "-THREAD=", "-NOTSH", "-NOCOMMENT", "-SPV",
                  "-TRACE=CIRC", "-BUF=512", "-EXSCN=a,b", "-EXFAM=c"}));
    EXPECT_EQ(s.filter_letters, "QZ");
    EXPECT_EQ(s.std_define, "std");
    EXPECT_EQ(s.tool_log, "log");
    EXPECT_EQ(s.instance, "i");
    EXPECT_EQ(s.restriction, Restriction::KandR);
    EXPECT_FALSE(s.fast);
    EXPECT_EQ(s.probe, ProbeMode::Default);
    EXPECT_FALSE(s.console_echo);
    EXPECT_EQ(s.allocation, Allocation::Stack);
    EXPECT_EQ(s.thread_routine, "demo_start");  // -THREAD= counts as -THREAD alone
    EXPECT_TRUE(s.not_shared);
    EXPECT_FALSE(s.keep_comments);
    EXPECT_TRUE(s.scenario_file);
    EXPECT_EQ(s.trace, TraceLevel::Circular);
    EXPECT_EQ(s.buffer_size, 512);
    EXPECT_EQ(s.excluded_scenarios, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(s.excluded_families, std::vector<std::string>{"c"});
}

TEST_F(RunSettingsTest, ThreadRoutineName) {
    EXPECT_EQ(readRunSettings(analysed({"zv", "s", "a.h", "r", "-THREAD=worker"})).thread_routine, "worker");
    resetCommandLine();
    EXPECT_EQ(readRunSettings(analysed({"zv", "s", "a.h", "out.d/demo", "-THREAD"})).thread_routine, "demo_start");
}

using RunSettingsDeathTest = RunSettingsTest;

TEST_F(RunSettingsDeathTest, GettersBeforeAnAnalysisAreAnInternalError) {
    const char* text = "^Zolmex-S-INITPBRLM,  Initialization problem on command line\n$";
    EXPECT_EXIT(scriptPathSetting(), ::testing::ExitedWithCode(9), text);
    EXPECT_EXIT(bufferSizeSetting(), ::testing::ExitedWithCode(9), text);
    EXPECT_EXIT(optionValue(1), ::testing::ExitedWithCode(9), text);
    // A failed analysis leaves the settings unavailable too.
    EXPECT_FALSE(test::analyseWords({"zv", "-S"}).ok);
    EXPECT_EXIT(traceSetting(), ::testing::ExitedWithCode(9), text);
}

TEST_F(RunSettingsDeathTest, FilterLettersMustBeUpperCase) {
    analysed({"zv", "s", "a.h", "r", "-SET=ABc"});
    EXPECT_EXIT(filterLettersSetting(), ::testing::ExitedWithCode(7),
                "^Zolmex-F-BADFLTVAL,  Incorrect -SET option : filters must be upper case letters\n$");
    resetCommandLine();
    analysed({"zv", "s", "a.h", "r", "-SET=A1"});
    EXPECT_EXIT(readRunSettings(""), ::testing::ExitedWithCode(7), "BADFLTVAL");
}

TEST_F(RunSettingsDeathTest, BufferSizeMustBeANumber) {
    const char* text = "^Zolmex-F-BADBSZVAL,  Incorrect -BUFSIZE option : buffer size must be a number\n$";
    for (const char* value : {"-BUFSIZE=12a", "-BUFSIZE=-1", "-BUFSIZE= 5", "-BUFSIZE=99999999999999999999"}) {
        analysed({"zv", "s", "a.h", "r", value});
        EXPECT_EXIT(bufferSizeSetting(), ::testing::ExitedWithCode(7), text) << value;
        resetCommandLine();
    }
}

}  // namespace
}  // namespace zv
