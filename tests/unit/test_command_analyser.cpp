// The command analyser: option matching, values and keywords, defaults, forbidden
// combinations and the exact texts written to standard error.
#include "driver/command_analyser.h"
#include "driver/command_line.h"
#include "test_command_support.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using test::Argv;
using test::captureStderr;

const std::string kUsage =
    "\nUsage ZERIZEVAR:\n\t<scn>\n\t<interface_file>[,interface_file]\n\t<root>\n"
    "\t[-INCL=<directory_list>[,directory_list]]\n\t[-SET=<letters>]\n"
    "\t[-DEFINE=<compiler_option>[,compiler_option]]\n\t[-STD_DEFINE=<file>]\n\t[-VARNEL_LOG=<file>]\n"
    "\t[-SCN=<scenario_name>[,scenario_name]]\n\t[-EXSCN=<exscenario_name>[,exscenario_name]]\n"
    "\t[-FAMILY=<family_name>[,family_name]]\n\t[-EXFAMILY=<exfamily_name>[,exfamily_name]]\n"
    "\t[-INSTANCE=<instance_name>]\n\t[-RESTRICTION=<ANSI|KR>]\n\t[-FAST|-NOFAST]\n"
    "\t[-PROBE=<CUSTOM|DEFAULT>]\n\t[-LOG|-NOLOG]\n\t[-ALLOCATION[=<DYNAMIC|STACK>]]\n"
    "\t[-THREAD[=<routine_name>]]\n\t[-NOTSHARED]\n\t[-NOPATH]\n\t[-NOCOMMENT]\n\t[-SPVGEN]\n"
    "\t[-TRACE=<ERROR|TIME|SCN|CIRCULAR>]\n\t[-BUFSIZE=<buffer_size>]\n";

// The whole text of an analyser message with usage.
std::string withUsage(const std::string& message) { return "Zolmex Command analysis : " + message + kUsage + "\n"; }

class CommandLine : public ::testing::Test {
protected:
    void TearDown() override { resetCommandLine(); }

    // Analyses "prog" followed by `prefix` and `words`.
    static test::Analysis analyse(std::initializer_list<std::string> words, std::vector<std::string> prefix = {}) {
        prefix.insert(prefix.begin(), "prog");
        prefix.insert(prefix.end(), words);
        return test::analyseWords(std::move(prefix));
    }
    static test::Analysis analyseWithFiles(std::initializer_list<std::string> options) {
        return analyse(options, {"demo.zod", "a.h", "out/demo"});
    }
    static void expectAccepted(std::initializer_list<std::string> options) {
        const test::Analysis o = analyseWithFiles(options);
        EXPECT_TRUE(o.ok) << o.errors;
        EXPECT_EQ(o.errors, "");
    }
    static void expectMessage(std::initializer_list<std::string> options, const std::string& message) {
        const test::Analysis o = analyseWithFiles(options);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.errors, withUsage(message));
    }
};

TEST_F(CommandLine, NamesAndKeywordsIgnoreCase) {
    expectAccepted({"-nofast", "-Trace=error"});
    EXPECT_FALSE(fastSetting());
    EXPECT_EQ(traceSetting(), TraceLevel::Error);
    expectAccepted({"-restriction=ansi", "-Probe=Custom"});
    EXPECT_EQ(restrictionSetting(), Restriction::Ansi);
    EXPECT_EQ(probeSetting(), ProbeMode::Custom);
}

TEST_F(CommandLine, AbbreviationsThatChooseOneOption) {
    expectAccepted({"-STD=std", "-INC=dir", "-NOF", "-nol"});
    EXPECT_EQ(standardDefinesSetting(), "std");
    EXPECT_EQ(includeDirectoriesSetting(), std::vector<std::string>{"dir"});
    EXPECT_FALSE(fastSetting());
    EXPECT_FALSE(consoleEchoSetting());
    // A list option may be given twice; the values follow each other.
    expectAccepted({"-SCN=s", "-sc=b"});
    EXPECT_EQ(scenarioListSetting(), (std::vector<std::string>{"s", "b"}));
}

TEST_F(CommandLine, AbbreviationsThatFail) {
    expectMessage({"-S"}, "Ambiguous option, S");
    expectMessage({"-NO"}, "Ambiguous option, NO");
    expectMessage({"-ex=a"}, "Ambiguous option, ex=a");
    expectMessage({"-INCLX"}, "Unknown option, INCLX");
    expectMessage({"-FASTER"}, "Unknown option, FASTER");
    expectMessage({"-"}, "Unknown option, ");
    expectMessage({"-nofastx"}, "Unknown option, nofastx");
}

TEST_F(CommandLine, ValuePresenceAndRepetition) {
    expectMessage({"-SPVGEN=1"}, "No argument for this option, SPVGEN=1");
    expectMessage({"-NOFAST="}, "No argument for this option, NOFAST=");
    expectMessage({"-SET="}, "Mandatory argument for this option, SET=");
    expectMessage({"-BUFSIZE"}, "Mandatory argument for this option, BUFSIZE");
    expectMessage({"-TRACE"}, "Mandatory argument for this option, TRACE=CIRCULAR|SCN|TIME|ERROR");
    expectMessage({"-tr="}, "Mandatory argument for this option, tr=CIRCULAR|SCN|TIME|ERROR");
    expectMessage({"-SET=A", "-SET=B"}, "An option can't be used twice, SET=B");
    expectMessage({"-FAST", "-NOFAST"}, "An option can't be used twice, NOFAST");
    expectMessage({"-SET=A,B"}, "List forbidden invalid option, SET=A,B");
}

TEST_F(CommandLine, ValueLengthsAndKeywords) {
    expectMessage({"-RESTRICTION=ANSI12"}, "Arg length too large, ANSI12");
    expectMessage({"-TRACE=CIRCULARX"}, "Arg length too large, CIRCULARX");
    expectMessage({"-INCL=a,,b"}, "Arg length too small, ");
    expectMessage({"-TRAC=FAST"}, "Unknown value of option, FAST");
    expectMessage({"-ALLOCATION=heap"}, "Unknown value of option, heap");
    // A piece that begins with a whole keyword is that keyword.
    expectAccepted({"-RESTRICTION=ANSI1", "-TRACE=ERRORS", "-ALLOCATION=d"});
    EXPECT_EQ(restrictionSetting(), Restriction::Ansi);
    EXPECT_EQ(traceSetting(), TraceLevel::Error);
    EXPECT_EQ(allocationSetting(), Allocation::Dynamic);
    expectAccepted({"-TRACE=t"});
    EXPECT_EQ(traceSetting(), TraceLevel::Time);
}

TEST_F(CommandLine, ListsAccumulateAndCommasCanBeEscaped) {
    expectAccepted({"-INCL=a,b", "-INCL=c", "-DEFINE=A\\,B,C", "-DEFINE=x\\y"});
    EXPECT_EQ(includeDirectoriesSetting(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(definesSetting(), (std::vector<std::string>{"A,B", "C", "x\\y"}));
    // An escaped comma does not make a list of a single value.
    expectAccepted({"-INSTANCE=a\\,b"});
    EXPECT_EQ(instanceNameSetting(), "a,b");
}

TEST_F(CommandLine, PositionalArguments) {
    test::Analysis o = analyse({"demo.zod", "a.h,b.h", "out/demo"});
    ASSERT_TRUE(o.ok) << o.errors;
    EXPECT_EQ(interfaceFilesSetting(), (std::vector<std::string>{"a.h", "b.h"}));
    EXPECT_EQ(rootSetting(), "out/demo");

    o = analyse({"demo.zod", "a.h", "b.h"});
    ASSERT_TRUE(o.ok) << o.errors;
    EXPECT_EQ(interfaceFilesSetting(), std::vector<std::string>{"a.h"});
    EXPECT_EQ(rootSetting(), "b.h");

    // Options may stand anywhere between the positional arguments.
    o = analyse({"-NOFAST", "demo.zod", "-SET=A", "a.h", "root"});
    ASSERT_TRUE(o.ok) << o.errors;
    EXPECT_EQ(rootSetting(), "root");

    o = analyse({"demo.zod", "a.h", "root", "extra"});
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.errors, withUsage("Too many arguments invalid argument, extra"));

    o = analyse({"demo,x.zod", "a.h", "root"});
    EXPECT_EQ(o.errors, withUsage("List forbidden invalid argument, demo,x.zod"));

    o = analyse({"", "a.h", "root"});
    EXPECT_EQ(o.errors, withUsage("Arg length too small, "));
}

TEST_F(CommandLine, MissingPositionalArguments) {
    EXPECT_EQ(analyse({}).errors, withUsage("Argument missing, scn"));
    EXPECT_EQ(analyse({"demo"}).errors, withUsage("Argument missing, interface_file"));
    EXPECT_EQ(analyse({"demo", "a.h", "-NOFAST"}).errors, withUsage("Argument missing, root"));
}

TEST_F(CommandLine, ForbiddenCombinationsInOrder) {
    expectMessage({"-NOTSHARED"}, "Illegal combination of command elements, NOTSHARED and ALLOCATION");
    expectMessage({"-SCN=a", "-EXSCN=b"}, "Illegal combination of command elements, SCN and EXSCN");
    expectMessage({"-FAMILY=a", "-EXFAMILY=b"}, "Illegal combination of command elements, FAMILY and EXFAMILY");
    expectMessage({"-SCN=a", "-EXSCN=b", "-FAMILY=a", "-EXFAMILY=b"},
                  "Illegal combination of command elements, FAMILY and EXFAMILY");
    expectAccepted({"-NOTSHARED", "-ALLOCATION"});
    EXPECT_TRUE(notSharedSetting());
    EXPECT_EQ(allocationSetting(), Allocation::Stack);
}

TEST_F(CommandLine, FirstErrorEndsTheAnalysis) {
    // Only the first message is written, even though the second argument is bad too.
    expectMessage({"-S", "-INCLX"}, "Ambiguous option, S");
}

TEST_F(CommandLine, OptionStatesAndDefaults) {
    expectAccepted({"-NOLOG", "-ALLOCATION"});
    EXPECT_EQ(optionState("FAST"), 12);
    EXPECT_EQ(optionState("LOG"), -14);
    EXPECT_EQ(optionState("ALLOCATION"), 15);
    EXPECT_EQ(optionValue(15), "STACK");
    // Absent options keep state 0, but a default keyword is still stored.
    EXPECT_EQ(optionState("RESTRICTION"), 0);
    EXPECT_EQ(optionValue(11), "KR");
    EXPECT_EQ(optionState("TRACE"), 0);
    EXPECT_EQ(optionValues(21), std::vector<std::string>{"CIRCULAR"});
    EXPECT_EQ(optionState("NOTSHARED"), 0);

    std::string text = captureStderr([] { EXPECT_EQ(optionState("FASTER"), 0); });
    EXPECT_EQ(text, "Zolmex Command analysis : Internal error, bad option name FASTER\n");
}

// A small table of its own for what the compiler's tables cannot reach:
// numeric values, ambiguous keywords and XT lines in the usage.
CommandAnalyser smallAnalyser() {
    ValueSpec file;
    file.names = {"fichier", "fichier", "file"};
    file.optional = true;
    OptionSpec level;
    level.names = {"NIVEAU", "NIVEAU", "LEVEL"};
    level.value_required = true;
    level.value = ValueSpec{};
    level.value->type = 'I';
    level.value->minimum = 1;
    level.value->maximum = 9;
    OptionSpec mode;
    mode.names = {"MODE", "MODE", "MODE"};
    mode.value_required = true;
    mode.value = ValueSpec{};
    mode.keywords = {{{"RAPIDE", "RAPIDE", "FAST"}, false}, {{"FIN", "FIN", "FINE"}, false},
                     {{"FINAL", "FINAL", "FINAL"}, false}};
    return CommandAnalyser({file}, {level, mode}, {}, "\nUsage T:\n\t[-LEVEL=<n>]\n\t[-XTRA]\n\t[-MODE]\n");
}

std::string run(CommandAnalyser& analyser, std::initializer_list<std::string> words) {
    Argv args(words);
    return captureStderr([&] { analyser.analyse(args.argc(), args.argv()); });
}

TEST(CommandAnalyserTable, NumericBoundsAndOptionalPositional) {
    CommandAnalyser a = smallAnalyser();
    EXPECT_EQ(run(a, {"t", "-LEVEL=0"}),
              "Zolmex Command analysis : Arg value too small, 0\nUsage T:\n\t[-LEVEL=<n>]\n\t[-MODE]\n\n");
    CommandAnalyser b = smallAnalyser();
    EXPECT_EQ(run(b, {"t", "-niveau=10"}),
              "Zolmex Command analysis : Arg value too large, 10\nUsage T:\n\t[-LEVEL=<n>]\n\t[-MODE]\n\n");
    CommandAnalyser c = smallAnalyser();
    EXPECT_EQ(run(c, {"t", "-LEVEL=7"}), "");
    EXPECT_EQ(c.optionValue(1), "7");
}

TEST(CommandAnalyserTable, KeywordsMatchEveryNameForm) {
    CommandAnalyser a = smallAnalyser();
    EXPECT_EQ(run(a, {"t", "-MODE=FI"}),
              "Zolmex Command analysis : Ambiguous value of option, FI\nUsage T:\n\t[-LEVEL=<n>]\n\t[-MODE]\n\n");
    CommandAnalyser b = smallAnalyser();
    EXPECT_EQ(run(b, {"t", "-MODE=rap"}), "");
    EXPECT_EQ(b.optionValue(2), "FAST");  // stored under the English name
    CommandAnalyser c = smallAnalyser();
    // A piece that begins with a whole keyword is that keyword, even when a
    // later keyword would match longer.
    EXPECT_EQ(run(c, {"t", "-MODE=FINA"}), "");
    EXPECT_EQ(c.optionValue(2), "FINE");
}

TEST(CommandAnalyserTable, MatchingHelpers) {
    EXPECT_EQ(prefixLength("tra", "TRACE"), 3u);
    EXPECT_EQ(prefixLength("TRAC=x", "TRACE"), 4u);
    EXPECT_EQ(prefixLength("TRAX", "TRACE"), 0u);
    EXPECT_EQ(prefixLength("TRACEX", "TRACE"), 5u);
    EXPECT_EQ(splitUnescaped("a\\,b,c,"), (std::vector<std::string>{"a\\,b", "c", ""}));
    EXPECT_FALSE(hasUnescapedComma("a\\,b"));
    EXPECT_TRUE(hasUnescapedComma(",a"));
}

}  // namespace
}  // namespace zv
