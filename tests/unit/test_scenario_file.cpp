// The scenario file: every literal, tab and blank of its text; what it
// gathers from an analysed script: the instances that reach each rendezvous
// point (positions, procedure sets, calls and their intersections), the holder
// of each point, and the scenario tree as the selection leaves it.
#include "outputs/scenario_file.h"
#include "test_semantic_support.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

ScriptFileRecord file(const char* name) {
    ScriptFileRecord r;
    r.name = name;
    return r;
}

SpgScenario scenario(const char* name, const char* qualified, int line, std::vector<std::string> families = {},
                     std::vector<SpgScenario> children = {}) {
    return {name, qualified, "demo.zod", line, std::move(families), std::move(children)};
}

TEST(ScenarioFile, TreeListsAndRendezvous) {
    ScenarioFileContent content;
    content.instances = {"Alice", "Bob"};
    content.top_level = {
        scenario("A", "A", 10, {"smoke", "nightly"},
                 {scenario("A1", "A.A1", 12, {"smoke"}), scenario("A2", "A.A2", 15)}),
        scenario("B", "B", 20, {"nightly", "long"}),
    };
    content.rendezvous = {
        {SpgRendezvous::Holder::Scenario, "A.A1", "sync1", "demo.zod", 13, {"Alice", "Bob"}},
        {SpgRendezvous::Holder::Procedure, "Wait_peer", "sync2", "inc.zod", 4, {}},
        {SpgRendezvous::Holder::Block, "", "sync3", "", 0, {"Bob"}},
    };
    const std::string expected =
        "SPG_FILE = {\n\n"
        "\tSPG_FILE_NAME = \"sub/demo.spg\";\n\n"
        "\tZOD_FILE_NAME = \"sub/demo.zod\";\n\n"
        "\tHTS_FILE_LIST = (\"inc2.zod\", \"inc.zod\");\n\n"
        "\tINSTANCE_LIST = (\"Alice\", \"Bob\");\n\n"
        "\tFAMILY_LIST   = (\"smoke\",\"nightly\",\"long\");\n\n"
        "\tSCENARIO_TREE = (\n"
        "\t   \"A\"\n"
        "\t\t,(\n"
        "\t\t   \"A1\"\n"
        "\t\t  ,\"A2\"\n"
        "\t\t)\n"
        "\t  ,\"B\"\n"
        "\t);\n\n"
        "\tSCENARII_LIST = {\n"
        "\t\t SCENARIO  {\n\t\t\tNAME        = \"A\";\n\t\t\tFILE        = \"demo.zod\";\n"
        "\t\t\tLINE        = \"10\";\n\t\t\tFAMILY_LIST = (\"smoke\",\"nightly\");\n\t\t    };\n\n"
        "\t\t SCENARIO  {\n\t\t\tNAME        = \"A.A1\";\n\t\t\tFILE        = \"demo.zod\";\n"
        "\t\t\tLINE        = \"12\";\n\t\t\tFAMILY_LIST = (\"smoke\");\n\t\t    };\n\n"
        "\t\t SCENARIO  {\n\t\t\tNAME        = \"A.A2\";\n\t\t\tFILE        = \"demo.zod\";\n"
        "\t\t\tLINE        = \"15\";\n\t\t\tFAMILY_LIST = ();\n\t\t    };\n\n"
        "\t\t SCENARIO  {\n\t\t\tNAME        = \"B\";\n\t\t\tFILE        = \"demo.zod\";\n"
        "\t\t\tLINE        = \"20\";\n\t\t\tFAMILY_LIST = (\"nightly\",\"long\");\n\t\t    };\n\n"
        "\t};\n\n"
        "\tRDV_LIST = {\n"
        "\n\t\tRDV {\n\t\t\tSCENARIO     = \"A.A1\";\n\t\t\tRDV_NAME     = \"sync1\";\n"
        "\t\t\tFROM_FILE    = {\n\t\t\t\tNAME = \"demo.zod\";\n\t\t\t\tLINE = \"13\";\n\t\t\t};\n"
        "\t\t\tMEMBERS_LIST = (\"Alice\", \"Bob\");\n\t\t};\n"
        "\n\t\tRDV {\n\t\t\tPROC         = \"Wait_peer\";\n\t\t\tRDV_NAME     = \"sync2\";\n"
        "\t\t\tFROM_FILE    = {\n\t\t\t\tNAME = \"inc.zod\";\n\t\t\t\tLINE = \"4\";\n\t\t\t};\n"
        "\t\t\tMEMBERS_LIST = ();\n\t\t};\n"
        "\n\t\tRDV {\n\t\t\tRDV_NAME     = \"sync3\";\n"
        "\t\t\tFROM_FILE    = {\n\t\t\t};\n"
        "\t\t\tMEMBERS_LIST = (\"Bob\");\n\t\t};\n"
        "\t};\n};\n";
    EXPECT_EQ(format_scenario_file("sub/demo.spg", {file("inc2.zod"), file("inc.zod"), file("sub/demo.txt")}, content),
              expected);
}

TEST(ScenarioFile, ScriptWithoutIncludesOrScenarios) {
    const std::string text = format_scenario_file("demo.spg", {file("demo.zod")}, {});
    EXPECT_NE(text.find("\tHTS_FILE_LIST = ();\n\n"), std::string::npos);
    EXPECT_NE(text.find("\tSCENARIO_TREE = (\n\t);\n\n\tSCENARII_LIST = {\n\t};\n\n\tRDV_LIST = {\n\t};\n};\n"),
              std::string::npos);
}

// ---------------------------------------------------------------- gathered from a script

const char* kInstances = "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE A, B, C\n";

struct Gathered {
    Analysed analysed;
    ScenarioFileContent content;
};

Gathered gather(const std::string& body, AnalysisOptions options = {}) {
    Gathered g{analyse_text(std::string(kInstances) + body, "int sut_value;\n", std::move(options)), {}};
    if (g.analysed.model.root) g.content = collect_scenario_file(g.analysed.model.root);
    return g;
}

// Every rendezvous point in file order, one a line:
// "name holder-kind holder-name: members".
std::string points(const Gathered& g) {
    std::string out;
    for (const SpgRendezvous& r : g.content.rendezvous) {
        out += r.name;
        switch (r.holder) {
            case SpgRendezvous::Holder::Scenario: out += " scenario "; break;
            case SpgRendezvous::Holder::Procedure: out += " procedure "; break;
            case SpgRendezvous::Holder::Block: out += " block "; break;
        }
        out += r.holder_name + ":";
        for (const std::string& m : r.members) out += " " + m;
        out += "\n";
    }
    return out;
}

// The instances that reach each point: the set of the block around it, met
// with the set of every call of the procedure that holds it.
TEST(ScenarioFile, RendezvousMembersAndHolders) {
    const struct {
        const char* rule;
        const char* body;
        const char* points;
    } cases[] = {
        {"the procedure set meets each call set",
         "INSTANCE A, B :\nPROC pab()\nRENDEZVOUS in_ab\nEND PROC\nEND INSTANCE\n"
         "PROC pin()\nINSTANCE A, C :\nRENDEZVOUS in_ac\nEND INSTANCE\nEND PROC\n"
         "SCENARIO S\nINSTANCE B, C :\nCALL pab()\nCALL pin()\nEND INSTANCE\nINSTANCE A :\nCALL pin()\nEND INSTANCE\n"
         "END SCENARIO\n",
         // {A,B} of the procedure, {B,C} of its one call; {A,C} meets {B,C}
         // in C and {A} in A.
         "in_ab procedure pab: B\n"
         "in_ac procedure pin: A C\n"},
        {"a call inside a procedure takes that procedure's set, one level only",
         "PROC inner()\nRENDEZVOUS deep\nEND PROC\n"
         "INSTANCE B :\nPROC outer()\nCALL inner()\nEND PROC\nEND INSTANCE\n"
         "SCENARIO S\nINSTANCE C :\nCALL outer()\nEND INSTANCE\nEND SCENARIO\n",
         // The call of inner sits in outer, whose set is {B}; outer's own
         // caller (C) plays no part, so B stays although C is the only one to
         // get there.
         "deep procedure inner: B\n"},
        {"unused and cleanup-only procedures have no members",
         "PROC never()\nRENDEZVOUS r_never\nEND PROC\n"
         "PROC cleanup()\nRENDEZVOUS r_cleanup\nEND PROC\n"
         "PROC only_called_by_unused()\nRENDEZVOUS r_indirect\nEND PROC\n"
         "PROC unused_caller()\nCALL only_called_by_unused()\nEND PROC\n"
         "PROC at_start()\nRENDEZVOUS r_block\nEND PROC\n"
         "SCENARIO S\nINITIALIZATION at_start()\nSCENARIO T\nENABLE_CLEANUP cleanup()\nEND SCENARIO\nEND SCENARIO\n",
         // A call, even from a procedure nobody uses, makes the procedure used.
         "r_never procedure never:\n"
         "r_cleanup procedure cleanup:\n"
         "r_indirect procedure only_called_by_unused: A B C\n"
         "r_block procedure at_start: A B C\n"},
        {"points of inline blocks have no holder name",
         "SCENARIO S\nTERMINATION\nINSTANCE B :\nRENDEZVOUS r_term\nEND INSTANCE\nEND TERMINATION\n"
         "SCENARIO T\nRENDEZVOUS r_leaf\nEND SCENARIO\nEND SCENARIO\n",
         "r_term block : B\n"
         "r_leaf scenario S.T: A B C\n"},
        {"a point after an instance block belongs to every instance",
         "SCENARIO S\nINSTANCE C, A :\nRENDEZVOUS inside\n@sut_value = 1;\nRENDEZVOUS later_inside\nEND INSTANCE\n"
         "RENDEZVOUS after\nEND SCENARIO\n",
         // Declaration order, each once.
         "inside scenario S: A C\n"
         "later_inside scenario S: A C\n"
         "after scenario S: A B C\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const Gathered g = gather(c.body);
        ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
        EXPECT_EQ(points(g), c.points);
    }
}

TEST(ScenarioFile, DiscardedScenarioKeepsItsPlaceWithoutItsBody) {
    AnalysisOptions options;
    options.scenarios = {"A.B"};
    const Gathered g = gather(
        "SCENARIO A\n"
        "SCENARIO B\n"
        "RENDEZVOUS rb\n"
        "END SCENARIO\n"
        "SCENARIO C\n"
        "RENDEZVOUS rc\n"
        "END SCENARIO\n"
        "END SCENARIO\n"
        "SCENARIO D\n"
        "SCENARIO E\n"
        "RENDEZVOUS re\n"
        "END SCENARIO\n"
        "END SCENARIO\n",
        options);
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    ASSERT_EQ(g.content.top_level.size(), 2u);
    const SpgScenario& a = g.content.top_level[0];
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_EQ(a.children[1].qualified_name, "A.C");
    const SpgScenario& d = g.content.top_level[1];
    EXPECT_EQ(d.name, "D");
    EXPECT_TRUE(d.children.empty());  // its body was never analysed
    ASSERT_EQ(g.content.rendezvous.size(), 1u);
    EXPECT_EQ(g.content.rendezvous[0].name, "rb");
}

}  // namespace
// Control structures and scenarios nest as deep as a script does; the
// collection keeps its own stack (a recursive walk overflowed the thread's).
TEST(ScenarioFile, DeepNestingIsCollectedInOrder) {
    constexpr int kDepth = 15000;
    std::string body = "# int x;\nSCENARIO outer\nSCENARIO leaf\n";
    for (int i = 0; i < kDepth; ++i) body += "IF (x) THEN\n";
    body += "RENDEZVOUS deep\n";
    for (int i = 0; i < kDepth; ++i) body += "END IF\n";
    body += "RENDEZVOUS after\nEND SCENARIO\nSCENARIO inner\nSCENARIO innermost\nEXIT\nEND SCENARIO\n"
            "END SCENARIO\nEND SCENARIO\n";
    const Gathered g = gather(body);
    ASSERT_TRUE(g.analysed.model.root) << g.analysed.messages;
    EXPECT_EQ(points(g), "deep scenario outer.leaf: A B C\nafter scenario outer.leaf: A B C\n");
    ASSERT_EQ(g.content.top_level.size(), 1u);
    ASSERT_EQ(g.content.top_level[0].children.size(), 2u);
    EXPECT_EQ(g.content.top_level[0].children[1].children[0].qualified_name, "outer.inner.innermost");
}

}  // namespace zv::test
