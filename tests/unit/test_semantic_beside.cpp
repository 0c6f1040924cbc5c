// The semantic analysis beside the parser gives what it gives after the
// parse: the same model (positions included), the same messages in the same
// order and the same counts, for scripts with nested scenarios, blocks and
// includes at the outermost level, deselected scenarios, semantic errors, a
// parse that fails after analysed items, and triggers.
#include "test_semantic_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zv::test {
namespace {

struct Outcome {
    std::string dump;  // with positions
    std::string messages;
    unsigned errors = 0;
};

// One script analysed after its parse, then beside it, in one scratch
// directory.
std::pair<Outcome, Outcome> both_ways(const std::string& script, const std::string& header,
                                      const AnalysisOptions& options = {},
                                      const std::vector<std::pair<std::string, std::string>>& more_files = {}) {
    registerMessageCatalog();
    ScratchDir dir;
    write_script_files(dir, script, header, more_files);
    native::AnalyserOptions native_options;
    native_options.interface_files = {"t.h"};
    Outcome outcome[2];
    for (int beside = 0; beside < 2; ++beside) {
        Outcome& o = outcome[beside];
        const unsigned before = errorCount();
        testing::internal::CaptureStderr();
        auto native = native::analyse_interfaces(native_options);
        SemanticModel model;
        {
            // The tree outlives the analysis beside its parse.
            ParseResult parsed;
            BesideParse sink(options, *native);
            parsed = parse_script("t.zod", {}, true, beside ? &sink : nullptr);
            if (errorCount() == before && parsed.root) {
                AnalysisOptions serial = options;
                serial.comm_model = parsed.comm_model;
                if (beside) {
                    EXPECT_TRUE(sink.started());
                    model = sink.finish(parsed);
                } else {
                    model = analyse_script(parsed.root, parsed.files, serial, *native);
                }
                o.dump = dump_model(model, true);
            }
        }
        o.messages = testing::internal::GetCapturedStderr();
        o.errors = errorCount() - before;
    }
    return {outcome[0], outcome[1]};
}

void expect_same(const std::string& script, const std::string& header, const AnalysisOptions& options = {},
                 const std::vector<std::pair<std::string, std::string>>& more_files = {}) {
    const auto [after, beside] = both_ways(script, header, options, more_files);
    EXPECT_EQ(beside.dump, after.dump) << script;
    EXPECT_EQ(beside.messages, after.messages) << script;
    EXPECT_EQ(beside.errors, after.errors) << script;
}

const char* kHeader = "typedef struct { int a; int t[2]; } Ping;\nint x;\nint get(int n, int *out);\n";

const char* kCommon =
    "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice, Bob\nCOMMTYPE L IS int\nCHANNEL L : c1\n"
    "MESSAGE Ping : p1\n"
    "CALLBACK Ping : m ON L : id\nIF (id > 0) THEN\nMESSAGE_DATE\nELSE\nNO_MESSAGE\nEND IF\nEND CALLBACK\n"
    "PROCSEND Ping : m ON L : id\nCOMMENT out\nEND PROCSEND\n"
    "PROC setup(int n)\nRENDEZVOUS r_setup\nEND PROC\n"
    "PROC unused()\nEXIT\nEND PROC\n";

TEST(BesideParse, NestedScenariosBlocksAndValues) {
    expect_same(std::string(kCommon) +
                    "INITIALIZATION setup(1)\n"
                    "SCENARIO A LOOP 2\nFAMILY f\nINITIALIZATION setup(2)\n"
                    "SCENARIO A1\nDEF_MESSAGE p1, EV = { 3, { 0..1 => 7 } }\nSEND (p1, c1)\n"
                    "WAITTIL (MATCHED(p1, c1), WTIME > 10)\nVAR x, EV = 2\nINTERSEND (\"hi\", \"Bob\")\n"
                    "CALL get(1, REF(x @ 2)) @ 0\nEND SCENARIO\n"
                    "SCENARIO A2\nINSTANCE Alice:\nCOMMENT a\nEND INSTANCE\nEND SCENARIO\n"
                    "END SCENARIO\n"
                    "TERMINATION\nCOMMENT bye\nEND TERMINATION\n"
                    "SCENARIO B\nWHILE (x < 3)\n@ x++;\nEND WHILE\nEND SCENARIO\n",
                kHeader);
}

TEST(BesideParse, ErrorsAndWarningsOfManyItems) {
    expect_same(std::string(kCommon) +
                    "SCENARIO A\nCALL nothere(1)\nEND SCENARIO\n"
                    "SCENARIO A\nEXIT\nEND SCENARIO\n"
                    "INITIALIZATION\nCOMMENT one\nEND INITIALIZATION\n"
                    "INITIALIZATION\nCOMMENT two\nEND INITIALIZATION\n"
                    "SCENARIO C\nFAMILY g, g\nVAR y, EV = 1\nEND SCENARIO\n",
                kHeader);
}

// Scenario files included at the outermost level and inside a scenario;
// under -FAST with scenarios left out.
TEST(BesideParse, IncludesAndDeselectedScenarios) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"outer.zod", "SCENARIO O1\nRENDEZVOUS o1\nEND SCENARIO\nSCENARIO O2\nCALL missing()\nEND SCENARIO\n"},
        {"inner.zod", "SCENARIO I1\nCOMMENT in\nEND SCENARIO\n"}};
    const std::string script = std::string(kCommon) +
                               "SCENARIO A\nRENDEZVOUS a\nEND SCENARIO\n"
                               "INCLUDE \"outer.zod\"\n"
                               "SCENARIO B\nINCLUDE \"inner.zod\"\nSCENARIO B2\nEXIT\nEND SCENARIO\nEND SCENARIO\n";
    expect_same(script, kHeader, {}, files);
    AnalysisOptions options;
    options.excluded_scenarios = {"O1", "B.I1"};
    expect_same(script, kHeader, options, files);
    options.excluded_scenarios = {"A", "O1", "O2", "B"};
    expect_same(script, kHeader, options, files);  // nothing left to generate
}

// A syntax error after analysed items: only the parser's messages, as when
// the analysis never runs after a failed parse.
TEST(BesideParse, AParseThatFailsLaterDropsTheAnalysis) {
    const auto [after, beside] = both_ways(std::string(kCommon) +
                                               "SCENARIO A\nCALL nothere(1)\nEND SCENARIO\n"
                                               "SCENARIO B\nEXIT\nEND SCENARIO\n"
                                               "SCENARIO C\nEND WHILE\nEND SCENARIO\n",
                                           kHeader);
    EXPECT_EQ(beside.messages, after.messages);
    EXPECT_EQ(beside.errors, after.errors);
    EXPECT_EQ(after.dump, "");
    EXPECT_EQ(beside.dump, "");
    EXPECT_EQ(lines_of(beside.messages, "UNKCLPROC"), "");
}

// A message of the C preprocessor names its file from a table that later
// includes grow: the held line keeps the name.
TEST(BesideParse, PreprocessorMessagesKeepTheirFile) {
    std::string script = "HEADER \"a\", \"b\", \"c\"\nTIMER t\nSCENARIO A\n##define X 1\n##define X 2\n";
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 1; i <= 40; ++i) {
        const std::string name = "h" + std::to_string(i) + ".h";
        script += "##include \"" + name + "\"\n";
        files.push_back({name, "int v" + std::to_string(i) + ";\n"});
    }
    script += "EXIT\nEND SCENARIO\nSCENARIO B\nEXIT\nEND SCENARIO\n";
    const auto [after, beside] = both_ways(script, "", {}, files);
    EXPECT_EQ(beside.messages, after.messages);
    EXPECT_NE(beside.messages.find("[t.zod:5]"), std::string::npos) << beside.messages;
}

// Many outermost items: the analysis releases the nodes of those it is done
// with while the parse goes on, and later items are built in their place.
TEST(BesideParse, ManyItemsWithTheirNodesReused) {
    std::string script = kCommon;
    for (int i = 0; i < 600; ++i) {
        const std::string n = std::to_string(i);
        script += "SCENARIO S" + n + "\nFAMILY f" + n + "\nINITIALIZATION\nCOMMENT i" + n +
                  "\nEND INITIALIZATION\nSCENARIO T" + n + "\nVAR x, EV = " + n +
                  "\nCALL get(" + n + ", REF(x @ 2)) @ 0\nIF (x > " + n + ") THEN\nPRINT p, x\nELSE\nRENDEZVOUS r" + n +
                  "\nEND IF\nDEF_MESSAGE p1, EV = { " + n + ", { 0..1 => 7 } }\nEND SCENARIO\nEND SCENARIO\n";
        if (i % 100 == 99) script += "SCENARIO S" + n + "\nEXIT\nEND SCENARIO\n";  // SCENALREX
    }
    expect_same(script, kHeader);
}

TEST(BesideParse, Triggers) {
    expect_same("HEADER \"a\", \"b\", \"c\"\nTRIGGER Ping t1, t2\n"
                "SCENARIO A\nDEF_TRIGGER (x > 1, t1)\nEND SCENARIO\nSCENARIO B\nEXIT\nEND SCENARIO\n",
                kHeader);
}

}  // namespace
}  // namespace zv::test
