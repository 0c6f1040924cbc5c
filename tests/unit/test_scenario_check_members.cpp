// What the scenario file gathers from an analysed script: the instances that
// reach each rendezvous point (positions, procedure sets, calls and their
// intersections), the holder of each point, and the scenario tree as the
// selection leaves it.
#include "outputs/scenario_file.h"
#include "test_semantic_support.h"

namespace zv::test {
namespace {

const char* kHeader = "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE A, B, C\n";

struct Gathered {
    Analysed analysed;
    ScenarioFileContent content;
};

Gathered gather(const std::string& body, AnalysisOptions options = {}) {
    Gathered g{analyse_text(std::string(kHeader) + body, "int sut_value;\n", std::move(options)), {}};
    if (g.analysed.model.root) g.content = collect_scenario_file(g.analysed.model.root);
    return g;
}

const SpgRendezvous* point(const Gathered& g, const std::string& name) {
    for (const SpgRendezvous& r : g.content.rendezvous)
        if (r.name == name) return &r;
    ADD_FAILURE() << "no rendezvous " << name;
    return nullptr;
}

std::string members(const Gathered& g, const std::string& name) {
    const SpgRendezvous* r = point(g, name);
    std::string out;
    for (const std::string& m : r ? r->members : std::vector<std::string>{}) out += (out.empty() ? "" : " ") + m;
    return out;
}

TEST(ScenarioCheckMembers, ProcedureSetMeetsEachCallSet) {
    const Gathered g = gather(
        "INSTANCE A, B :\n"
        "PROC pab()\n"
        "RENDEZVOUS in_ab\n"
        "END PROC\n"
        "END INSTANCE\n"
        "PROC pin()\n"
        "INSTANCE A, C :\n"
        "RENDEZVOUS in_ac\n"
        "END INSTANCE\n"
        "END PROC\n"
        "SCENARIO S\n"
        "INSTANCE B, C :\n"
        "CALL pab()\n"
        "CALL pin()\n"
        "END INSTANCE\n"
        "INSTANCE A :\n"
        "CALL pin()\n"
        "END INSTANCE\n"
        "END SCENARIO\n");
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    EXPECT_EQ(members(g, "in_ab"), "B");    // {A,B} of the procedure, {B,C} of its one call
    EXPECT_EQ(members(g, "in_ac"), "A C");  // {A,C} meets {B,C} in C and {A} in A
    EXPECT_EQ(point(g, "in_ab")->holder, SpgRendezvous::Holder::Procedure);
    EXPECT_EQ(point(g, "in_ab")->holder_name, "pab");
}

TEST(ScenarioCheckMembers, CallInsideAProcedureTakesThatProcedureSetOneLevelOnly) {
    const Gathered g = gather(
        "PROC inner()\n"
        "RENDEZVOUS deep\n"
        "END PROC\n"
        "INSTANCE B :\n"
        "PROC outer()\n"
        "CALL inner()\n"
        "END PROC\n"
        "END INSTANCE\n"
        "SCENARIO S\n"
        "INSTANCE C :\n"
        "CALL outer()\n"
        "END INSTANCE\n"
        "END SCENARIO\n");
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    // The call of inner sits in outer, whose set is {B}; outer's own caller
    // (C) plays no part, so B stays although C is the only one to get there.
    EXPECT_EQ(members(g, "deep"), "B");
}

TEST(ScenarioCheckMembers, UnusedAndCleanupOnlyProceduresHaveNoMembers) {
    const Gathered g = gather(
        "PROC never()\n"
        "RENDEZVOUS r_never\n"
        "END PROC\n"
        "PROC cleanup()\n"
        "RENDEZVOUS r_cleanup\n"
        "END PROC\n"
        "PROC only_called_by_unused()\n"
        "RENDEZVOUS r_indirect\n"
        "END PROC\n"
        "PROC unused_caller()\n"
        "CALL only_called_by_unused()\n"
        "END PROC\n"
        "PROC at_start()\n"
        "RENDEZVOUS r_block\n"
        "END PROC\n"
        "SCENARIO S\n"
        "INITIALIZATION at_start()\n"
        "SCENARIO T\n"
        "ENABLE_CLEANUP cleanup()\n"
        "END SCENARIO\n"
        "END SCENARIO\n");
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    EXPECT_EQ(members(g, "r_never"), "");
    EXPECT_EQ(members(g, "r_cleanup"), "");
    // A call, even from a procedure nobody uses, makes the procedure used.
    EXPECT_EQ(members(g, "r_indirect"), "A B C");
    EXPECT_EQ(members(g, "r_block"), "A B C");
}

TEST(ScenarioCheckMembers, InlineBlockPointsHaveNoHolderName) {
    const Gathered g = gather(
        "SCENARIO S\n"
        "TERMINATION\n"
        "INSTANCE B :\n"
        "RENDEZVOUS r_term\n"
        "END INSTANCE\n"
        "END TERMINATION\n"
        "SCENARIO T\n"
        "RENDEZVOUS r_leaf\n"
        "END SCENARIO\n"
        "END SCENARIO\n");
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    EXPECT_EQ(point(g, "r_term")->holder, SpgRendezvous::Holder::Block);
    EXPECT_EQ(members(g, "r_term"), "B");
    EXPECT_EQ(point(g, "r_leaf")->holder, SpgRendezvous::Holder::Scenario);
    EXPECT_EQ(point(g, "r_leaf")->holder_name, "S.T");
    EXPECT_EQ(members(g, "r_leaf"), "A B C");
}

TEST(ScenarioCheckMembers, PointAfterAnInstanceBlockBelongsToEveryInstance) {
    const Gathered g = gather(
        "SCENARIO S\n"
        "INSTANCE C, A :\n"
        "RENDEZVOUS inside\n"
        "@sut_value = 1;\n"
        "RENDEZVOUS later_inside\n"
        "END INSTANCE\n"
        "RENDEZVOUS after\n"
        "END SCENARIO\n");
    ASSERT_EQ(g.analysed.errors, 0u) << g.analysed.messages;
    EXPECT_EQ(members(g, "inside"), "A C");  // declaration order, each once
    EXPECT_EQ(members(g, "later_inside"), "A C");
    EXPECT_EQ(members(g, "after"), "A B C");
}

TEST(ScenarioCheckMembers, DiscardedScenarioKeepsItsPlaceWithoutItsBody) {
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
}  // namespace zv::test
