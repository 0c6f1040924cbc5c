// Run settings of the script compiler: the values each option gives, the
// command-line echo, and the fatal and internal ends of the getters.
#include "diagnostics/message_catalog.h"
#include "driver/command_line.h"
#include "driver/run_settings.h"
#include "test_command_support.h"

#include <gtest/gtest.h>

#include <sstream>

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

// Every setting but the echo, one a line, so that a difference names the field.
std::string described(const RunSettings& s) {
    const auto list = [](const std::vector<std::string>& items) {
        std::string out;
        for (const std::string& item : items) out += (out.empty() ? "" : ",") + item;
        return out;
    };
    std::ostringstream out;
    out << "script_path " << s.script_path << "\ninterface_files " << list(s.interface_files) << "\nroot " << s.root
        << "\ninclude_dirs " << list(s.include_dirs) << "\nfilter_letters " << s.filter_letters << "\ndefines "
        << list(s.defines) << "\nstd_define " << s.std_define << "\ntool_log " << s.tool_log << "\nscenarios "
        << list(s.scenarios) << "\nexcluded_scenarios " << list(s.excluded_scenarios) << "\nfamilies "
        << list(s.families) << "\nexcluded_families " << list(s.excluded_families) << "\ninstance " << s.instance
        << "\nrestriction " << static_cast<int>(s.restriction) << "\nfast " << s.fast << "\nprobe "
        << static_cast<int>(s.probe) << "\nconsole_echo " << s.console_echo << "\nallocation "
        << static_cast<int>(s.allocation) << "\nthread_routine " << s.thread_routine << "\nnot_shared " << s.not_shared
        << "\nkeep_comments " << s.keep_comments << "\nscenario_file " << s.scenario_file << "\ntrace "
        << static_cast<int>(s.trace) << "\nbuffer_size " << s.buffer_size << "\n";
    return out.str();
}

TEST_F(RunSettingsTest, ValuesOfAbsentAndGivenOptions) {
    RunSettings absent;
    absent.script_path = "s";
    absent.interface_files = {"a.h"};
    absent.root = "out/r";
    absent.thread_routine = "<main>";
    RunSettings given = absent;
    given.root = "out/demo.x";
    given.filter_letters = "QZ";
    given.std_define = "std";
    given.tool_log = "log";
    given.excluded_scenarios = {"a", "b"};
    given.excluded_families = {"c"};
    given.instance = "i";
    given.restriction = Restriction::KandR;
    given.fast = false;
    given.probe = ProbeMode::Default;
    given.console_echo = false;
    given.allocation = Allocation::Stack;
    given.thread_routine = "demo_start";  // -THREAD= counts as -THREAD alone
    given.not_shared = true;
    given.keep_comments = false;
    given.scenario_file = true;
    given.trace = TraceLevel::Circular;
    given.buffer_size = 512;
    const struct {
        std::vector<std::string> words;
        const RunSettings& expected;
    } cases[] = {
        {{"zv", "s", "a.h", "out/r"}, absent},
        {{"zv", "s", "a.h", "out/demo.x", "-SET=QZ", "-STD=std", "-VARNEL=log", "-INST=i", "-RESTR=KR", "-NOFAST",
          "-PROB=d", "-NOLOG", "-ALLOC", "-THREAD=", "-NOTSH", "-NOCOMMENT", "-SPV", "-TRACE=CIRC", "-BUF=512",
          "-EXSCN=a,b", "-EXFAM=c"},
         given},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        EXPECT_EQ(described(readRunSettings(analysed(c.words))), described(c.expected));
        resetCommandLine();
    }
    EXPECT_EQ(readRunSettings(analysed({"zv", "s", "a.h", "out/r"})).echo, "zv s a.h out/r -FAST -LOG");
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
