// Rules of the walk checked against what a script writer can rely on: the
// warning about instructions after ERROR or EXIT, family order with both
// family options, the selected instance position, INSTANCE blocks per mode
// at header level, and the depth rule reaching into procedure bodies.
#include "test_semantic_support.h"

namespace zv::test {
namespace {

const char* kHeader = "HEADER \"a\", \"b\", \"c\"\n#int header_line;\n";
const char* kTypes = "int sut_value;\n";

bool selected(const Analysed& a, const char* scenario) {
    const Entry* entry = a.find(E_SCENARIO, scenario);
    return entry && static_cast<const ScenarioDescriptor*>(entry->descriptor)->selected;
}

TEST(SemanticCheckRules, AfterExitWarnsOnceWhateverFollows) {
    // A dropped trace instruction and a refused call leave no entry; they
    // must not repeat the warning about the EXIT two lines up.
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "SCENARIO S\n"   // 3
                                        "EXIT\n"         // 4
                                        "@sut_value;\n"  // 5
                                        "TRACE_ON\n"     // 6
                                        "CALL nosuch()\n"
                                        "TIMER T\n"
                                        "END SCENARIO\n",
                                    kTypes);
    EXPECT_EQ(lines_of(a.messages, "NOEXEINST"),
              "Zolmex-W-NOEXEINST,  [t.zod:4] Instructions written after ERROR or EXIT are not executed\n");
}

TEST(SemanticCheckRules, ErrorThenExitWarnsForEach) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "SCENARIO S\n"  // 3
                                        "ERROR\n"       // 4
                                        "EXIT\n"        // 5
                                        "TRACE_OFF\n"
                                        "@sut_value;\n"
                                        "END SCENARIO\n",
                                    kTypes);
    EXPECT_EQ(lines_of(a.messages, "NOEXEINST"),
              "Zolmex-W-NOEXEINST,  [t.zod:4] Instructions written after ERROR or EXIT are not executed\n"
              "Zolmex-W-NOEXEINST,  [t.zod:5] Instructions written after ERROR or EXIT are not executed\n");
}

TEST(SemanticCheckRules, RefusedTimerAfterExitDoesNotWarnAgain) {
    // The second TIMER is refused (redefined) and leaves no entry.
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "SCENARIO S\n"   // 3
                                        "TIMER T\n"      // 4
                                        "EXIT\n"         // 5
                                        "@sut_value;\n"  // 6
                                        "TIMER T\n"      // 7
                                        "END SCENARIO\n",
                                    kTypes);
    EXPECT_EQ(lines_of(a.messages, "IDENREDEF"), "Zolmex-E-IDENREDEF,  [t.zod:7] Warning: T redefined\n");
    EXPECT_EQ(lines_of(a.messages, "NOEXEINST"),
              "Zolmex-W-NOEXEINST,  [t.zod:5] Instructions written after ERROR or EXIT are not executed\n");
}

// -FAMILY and -EXFAMILY together (the command line refuses the pair, the
// walk does not): the order of a scenario's family names decides.
TEST(SemanticCheckRules, FamilyOrderDecidesWithBothOptions) {
    AnalysisOptions options;
    options.families = {"A"};
    options.excluded_families = {"B"};
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "SCENARIO AB\nFAMILY A, B\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO BA\nFAMILY B, A\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO AC\nFAMILY C, A, C\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO CC\nFAMILY C\n@sut_value;\nEND SCENARIO\n",
                                    kTypes, options);
    EXPECT_FALSE(selected(a, "AB"));
    EXPECT_TRUE(selected(a, "BA"));
    EXPECT_TRUE(selected(a, "AC"));  // the repeated C is skipped, not a reset of the flag
    EXPECT_FALSE(selected(a, "CC"));
    EXPECT_EQ(lines_of(a.messages, "FNAMNOTUS"),
              "Zolmex-W-FNAMNOTUS,  [t.zod:12] Family name 'C' already used it will be ignored\n");
}

TEST(SemanticCheckRules, ScnWinsOverExscn) {
    AnalysisOptions options;
    options.scenarios = {"A"};
    options.excluded_scenarios = {"A"};
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "SCENARIO A\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO B\n@sut_value;\nEND SCENARIO\n",
                                    kTypes, options);
    EXPECT_TRUE(selected(a, "A"));
    EXPECT_FALSE(selected(a, "B"));
}

TEST(SemanticCheckRules, SelectedPositionCountsNamesAsWrittenLastMatchWins) {
    AnalysisOptions options;
    options.instance = "B";
    // B is written twice; its second occurrence (position 4) is skipped as a
    // declaration but still counted for the position.
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "DECLARE_INSTANCE A, B, C\n"
                                        "DECLARE_INSTANCE B\n"
                                        "SCENARIO S\n@sut_value;\nEND SCENARIO\n",
                                    kTypes, options);
    EXPECT_EQ(a.model.instance_mode, InstanceMode::SelectedDeclared);
    EXPECT_EQ(a.model.selected_position, 4);
    EXPECT_EQ(lines_of(a.messages, "ISTNALRDEC"), "Zolmex-E-ISTNALRDEC,  [t.zod:4] Instance B is already declared\n");
}

TEST(SemanticCheckRules, HeaderInstanceBlockWithoutDeclarationsNamesTheUnknownInstance) {
    // Mode 0: at header level there is no NODCLISTN, only UNDECISTN, and
    // the declarations inside are still analysed.
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "INSTANCE X :\n"
                                        "PROC p()\n"
                                        "@sut_value;\n"
                                        "END PROC\n"
                                        "END INSTANCE\n"
                                        "SCENARIO S\nCALL p()\nEND SCENARIO\n",
                                    kTypes);
    EXPECT_EQ(a.model.instance_mode, InstanceMode::NoInstances);
    EXPECT_EQ(lines_of(a.messages, "NODCLISTN"), "");
    EXPECT_EQ(lines_of(a.messages, "UNDECISTN"), "Zolmex-E-UNDECISTN,  [t.zod:3] Instance 'X' not declared\n");
    ASSERT_NE(a.find(E_PROCEDURE, "p"), nullptr);
    EXPECT_NE(a.find(E_HEADER_INSTANCE_BEGIN, ""), nullptr);
    EXPECT_NE(a.find(E_HEADER_INSTANCE_END, ""), nullptr);
}

TEST(SemanticCheckRules, UnlistedBlocksAreSkippedWholeForTheSelectedInstance) {
    AnalysisOptions options;
    options.instance = "A";
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "DECLARE_INSTANCE A, B\n"
                                        "INSTANCE B :\n"
                                        "PROC pb()\n"
                                        "RESET nosuch1\n"
                                        "END PROC\n"
                                        "END INSTANCE\n"
                                        "SCENARIO S\n"
                                        "INSTANCE B, Z :\n"
                                        "RESET nosuch2\n"
                                        "END INSTANCE\n"
                                        "INSTANCE A, Z :\n"
                                        "RENDEZVOUS r\n"
                                        "END INSTANCE\n"
                                        "END SCENARIO\n",
                                    kTypes, options);
    EXPECT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(a.find(E_PROCEDURE, "pb"), nullptr);
    const Entry* r = a.find(E_RENDEZVOUS, "r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->previous, nullptr);  // no begin entry, no references
    EXPECT_EQ(r->next, nullptr);
}

TEST(SemanticCheckRules, UndeclaredSelectedInstanceBehavesAsWithout) {
    AnalysisOptions options;
    options.instance = "Q";
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "DECLARE_INSTANCE A\n"
                                        "SCENARIO S\n"
                                        "INSTANCE A :\n"
                                        "RENDEZVOUS r\n"
                                        "END INSTANCE\n"
                                        "END SCENARIO\n",
                                    kTypes, options);
    EXPECT_EQ(a.model.instance_mode, InstanceMode::SelectedUndeclared);
    EXPECT_EQ(a.model.selected_position, 1);
    EXPECT_EQ(lines_of(a.messages, "ISTNOPLAN"), "Zolmex-I-ISTNOPLAN,  Instance Q undeclared in test plan\n");
    const Entry* r = a.find(E_RENDEZVOUS, "r");
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->previous, nullptr);
    EXPECT_EQ(r->previous->kind, E_INSTANCE_REFERENCE);
    ASSERT_NE(r->next, nullptr);
    EXPECT_EQ(r->next->kind, E_INSTRUCTION_INSTANCE_END);
}

TEST(SemanticCheckRulesDeathTest, InstanceBlockInAProcedureOfAHeaderInstanceBlockIsTooDeep) {
    // The header block counts for the depth of the blocks in the bodies of
    // the procedures it holds.
    EXPECT_EXIT(analyse_quiet(std::string(kHeader) +
                                  "DECLARE_INSTANCE A\n"
                                  "INSTANCE A :\n"
                                  "PROC p()\n"
                                  "INSTANCE A :\n"
                                  "@sut_value;\n"
                                  "END INSTANCE\n"
                                  "END PROC\n"
                                  "END INSTANCE\n"
                                  "SCENARIO S\nCALL p()\nEND SCENARIO\n",
                              kTypes),
                ::testing::ExitedWithCode(7), "ISTBADLVL,  \\[t.zod:6\\]");
}

}  // namespace
}  // namespace zv::test
