// The semantic walk in process: the model it builds (entries, order, numbers,
// descriptors, positions), the declarations it hands to the interface
// analysis under C scope names, and the use marks of procedures; the rules a
// script writer relies on: the warning about instructions after ERROR or EXIT,
// scenario selection and family order, the selected instance position,
// INSTANCE blocks per mode at header level, and the depth rule reaching into
// procedure bodies.
#include "native/type_class.h"
#include "test_semantic_support.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace zv::test {
namespace {

const char* kHeader = "HEADER \"a\", \"b\", \"c\"\n";

TEST(SemanticWalk, BuiltInDeclarationsAreVisibleToScriptExpressions) {
    const Analysed a = analyse_text(std::string(kHeader) + "# int x;\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    native::NativeAnalyser& n = *a.native;
    EXPECT_EQ(native::expression_type_class(n, "WTIME", "", "", 1).type_class, native::kLongInteger);
    EXPECT_EQ(native::expression_type_class(n, "I20 + J0", "", "", 1).type_class, native::kInteger);
    EXPECT_EQ(native::expression_type_class(n, "TIME(KVR_TIMEOUT)", "", "", 1).type_class, native::kLongInteger);
    EXPECT_EQ(native::expression_type_class(n, "KVR_MATCHED_2(1,2)", "", "", 1).type_class, native::kInteger);
    EXPECT_EQ(native::expression_type_class(n, "NONIL", "", "", 1).type_class, native::kNonNil);
    EXPECT_EQ(native::variable_type_class(n, "KVR_NUMINSTANCE", "", "", 1), native::kInteger);
    EXPECT_EQ(native::expression_type_class(n, "NIL", "", "", 1).type_class, native::kInteger);  // the macro 0
}

TEST(SemanticWalk, ProgramEntryTakesHeaderValuesAndEnvironment) {
    ::setenv("ZV_SEM_SET", "from env", 1);
    ::unsetenv("ZV_SEM_UNSET");
    const Analysed a = analyse_text("HEADER \"p\", $ZV_SEM_SET, $ZV_SEM_UNSET\n# int x;\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    const Entry* program = a.model.root->first;
    ASSERT_EQ(program->kind, E_PROGRAM);
    EXPECT_STREQ(program->name, "\"p\"");
    auto* d = static_cast<const ProgramDescriptor*>(program->descriptor);
    EXPECT_STREQ(d->second, "from env");
    EXPECT_STREQ(d->third, "");
}

TEST(SemanticWalk, InstanceNumbersAndSelectedPosition) {
    const std::string script = std::string(kHeader) +
                               "DECLARE_INSTANCE A, B\nDECLARE_INSTANCE A, B\nDECLARE_INSTANCE C, B\n"
                               "SCENARIO s\nEXIT\nEND SCENARIO\n";
    AnalysisOptions options;
    options.instance = "B";
    const Analysed a = analyse_text(script, "", options);
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.model.instance_mode, InstanceMode::SelectedDeclared);
    EXPECT_EQ(a.model.selected_position, 6);  // counted over the names as written, last match
    // The second list stops at A; the third declares C and stops at B.
    EXPECT_EQ(lines_of(a.messages, "ISTNALRDEC"), "Zolmex-E-ISTNALRDEC,  [t.zod:3] Instance A is already declared\n"
                                                  "Zolmex-E-ISTNALRDEC,  [t.zod:4] Instance B is already declared\n");
    EXPECT_EQ(static_cast<InstanceDescriptor*>(a.find(E_INSTANCE, "A")->descriptor)->number, 2);
    EXPECT_EQ(static_cast<InstanceDescriptor*>(a.find(E_INSTANCE, "B")->descriptor)->number, 3);
    EXPECT_EQ(static_cast<InstanceDescriptor*>(a.find(E_INSTANCE, "C")->descriptor)->number, 4);

    EXPECT_EQ(analyse_text(script).model.instance_mode, InstanceMode::AllDeclared);
    EXPECT_EQ(analyse_text(std::string(kHeader) + "# int x;\nSCENARIO s\nEXIT\nEND SCENARIO\n").model.instance_mode,
              InstanceMode::NoInstances);
    options.instance = "Q";
    const Analysed missing = analyse_text(script, "", options);
    EXPECT_EQ(missing.model.instance_mode, InstanceMode::SelectedUndeclared);
    EXPECT_EQ(missing.model.selected_position, 1);
}

TEST(SemanticWalk, InstanceBlockEntriesDependOnTheMode) {
    const std::string script = std::string(kHeader) +
                               "DECLARE_INSTANCE A, B\nINSTANCE B:\n# int hb;\nEND INSTANCE\n"
                               "SCENARIO s\n# int x;\nINSTANCE A:\n# int y;\nEND INSTANCE\n"
                               "INSTANCE B:\nPAUSE\nEND INSTANCE\nINSTANCE A, B:\nEXIT\nEND INSTANCE\nEND SCENARIO\n";
    const Analysed all = analyse_text(script);
    ASSERT_TRUE(all.model.root);
    EXPECT_EQ(names_in(all.find(E_SCENARIO, "s")->descriptor->sub_scope),
              "13: int x; 72 76:A 13: int y; 73 74 76:B 64: 75 74 76:A 76:B 20 75");
    EXPECT_NE(all.find(E_HEADER_INSTANCE_BEGIN, ""), nullptr);
    EXPECT_TRUE(static_cast<InstanceDescriptor*>(all.find(E_INSTANCE, "B")->descriptor)->used);

    AnalysisOptions options;
    options.instance = "A";
    const Analysed only_a = analyse_text(script, "", options);
    ASSERT_TRUE(only_a.model.root);
    EXPECT_EQ(only_a.errors, 0u) << only_a.messages;  // the PAUSE of B is never looked at
    EXPECT_EQ(names_in(only_a.find(E_SCENARIO, "s")->descriptor->sub_scope), "13: int x; 13: int y; 20");
    EXPECT_EQ(names_in(only_a.model.root), "1:\"a\" 69:A 69:B 0:");
    EXPECT_FALSE(static_cast<InstanceDescriptor*>(only_a.find(E_INSTANCE, "A")->descriptor)->used);
}

TEST(SemanticWalk, PendingDeclarationLinesAreHandedOverInOnePiece) {
    const Analysed b = analyse_text(std::string(kHeader) +
                                    "# typedef struct {\n# int a;\n# } Pair;\n# Pair v0;\nPROC p(Pair v)\nEXIT\nEND PROC\n"
                                    "SCENARIO s\nCALL p(v0)\nEND SCENARIO\n");
    ASSERT_TRUE(b.model.root) << b.messages;
    EXPECT_EQ(b.errors, 0u) << b.messages;
    const Entry* parameter = static_cast<ProcedureDescriptor*>(b.find(E_PROCEDURE, "p")->descriptor)->parameters->first;
    EXPECT_EQ(static_cast<ParameterDescriptor*>(parameter->descriptor)->type_class, native::kStructure);
    const Entry* argument = b.find(E_CALL, "p")->descriptor->sub_scope->first;
    EXPECT_EQ(static_cast<CallArgumentDescriptor*>(argument->descriptor)->value_class, native::kStructure);
}

// A nest thousands deep: full names and C scopes come out right at the
// bottom, and the scope of the innermost scenario is closed after it.
TEST(SemanticWalk, DeepScenarioNestKeepsNamesAndScopes) {
    constexpr int kDepth = 3000;
    std::string script = std::string(kHeader) + "# int x;\nSCENARIO top\nSCENARIO n1\n";
    for (int i = 2; i <= kDepth; ++i) script += "SCENARIO n" + std::to_string(i) + "\n";
    script += "# int deep;\nVAR deep, EV = 1\n";
    for (int i = 2; i <= kDepth; ++i) script += "END SCENARIO\n";
    script += "END SCENARIO\nSCENARIO after\nVAR deep, EV = 2\nVAR x, EV = 3\nEND SCENARIO\nEND SCENARIO\n";
    const Analysed a = analyse_text(script);
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.errors, 1u) << a.messages;
    EXPECT_NE(a.messages.find("Incorrect expression (deep)"), std::string::npos) << a.messages;
    std::string expected = "top.n1";
    for (int i = 2; i <= kDepth; ++i) expected += ".n" + std::to_string(i);
    const Entry* innermost = a.find(E_SCENARIO, "n" + std::to_string(kDepth));
    ASSERT_TRUE(innermost);
    EXPECT_EQ(scenario_full_name(*static_cast<ScenarioDescriptor*>(innermost->descriptor)), expected);
    EXPECT_EQ(scenario_full_name(*static_cast<ScenarioDescriptor*>(a.find(E_SCENARIO, "after")->descriptor)), "top.after");
}

TEST(SemanticWalk, DeclarationLinesSplitByAnotherItemAreTwoPieces) {
    const Analysed a = analyse_text(std::string(kHeader) + "# typedef struct {\n@ x = 1;\n# int a; } Pair;\n"
                                                           "SCENARIO s\nEXIT\nEND SCENARIO\n");
    EXPECT_GT(a.errors, 0u);  // neither half is a declaration on its own
}

TEST(SemanticWalk, ScenarioTreeNamesLeavesAndLines) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "# int x;\n"            // 2
                                    "SCENARIO A LOOP 4\n"   // 3
                                    "SCENARIO B\n"          // 4
                                    "SCENARIO C\n"          // 5
                                    "%X+Y EXIT\n"           // 6
                                    "END SCENARIO\n"        // 7
                                    "END SCENARIO\n"        // 8
                                    "END SCENARIO\n");      // 9
    ASSERT_TRUE(a.model.root) << a.messages;
    const Entry* outer = a.model.root->last;
    ASSERT_EQ(outer->kind, E_SCENARIO);
    EXPECT_EQ(scenario_full_name(*static_cast<ScenarioDescriptor*>(outer->descriptor)), "");
    const Entry* c = a.find(E_SCENARIO, "C");
    auto* cd = static_cast<ScenarioDescriptor*>(c->descriptor);
    EXPECT_EQ(scenario_full_name(*cd), "A.B.C");
    EXPECT_TRUE(cd->leaf);
    EXPECT_EQ(c->line, 5);
    EXPECT_EQ(cd->header_line_minus_one, 4);
    EXPECT_EQ(cd->end_line, 7);
    auto* ad = static_cast<ScenarioDescriptor*>(a.find(E_SCENARIO, "A")->descriptor);
    EXPECT_FALSE(ad->leaf);
    EXPECT_EQ(ad->loop_count, 4);
    EXPECT_EQ(ad->end_line, 9);
    const Entry* exit = cd->sub_scope->first;
    EXPECT_EQ(exit->kind, E_EXIT);
    EXPECT_EQ(exit->line, 6);
    EXPECT_STREQ(exit->filter, "X+Y");
}

// ---------------------------------------------------------------- rules a script writer relies on

// With a declaration line, so that scenarios come from line 3 on.
const char* kDeclaringHeader = "HEADER \"a\", \"b\", \"c\"\n#int header_line;\n";
const char* kTypes = "int sut_value;\n";

// Analyses `body` after kDeclaringHeader against kTypes, for `instance`
// (-INSTANCE) when one is given.
Analysed analyse_declaring(const std::string& body, const std::string& instance = "") {
    AnalysisOptions options;
    options.instance = instance;
    return analyse_text(std::string(kDeclaringHeader) + body, kTypes, options);
}

bool selected(const Analysed& a, const char* scenario) {
    const Entry* entry = a.find(E_SCENARIO, scenario);
    return entry && static_cast<const ScenarioDescriptor*>(entry->descriptor)->selected;
}

// Selected flags of every named scenario, "name=0|1" in pre-order.
std::string selection(const AnalysisOptions& options) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "# int x;\n"
                                    "SCENARIO A\nSCENARIO B\nSCENARIO D\nEXIT\nEND SCENARIO\nEND SCENARIO\n"
                                    "SCENARIO C\nEXIT\nEND SCENARIO\nEND SCENARIO\n"
                                    "SCENARIO E\nFAMILY F, G\nEXIT\nEND SCENARIO\n"
                                    "SCENARIO H\nFAMILY G, F\nEXIT\nEND SCENARIO\n",
                                    "", options);
    std::string out;
    for (const char* name : {"A", "B", "D", "C", "E", "H"}) {
        const Entry* e = a.find(E_SCENARIO, name);
        out += std::string(name) + "=" + (e && static_cast<ScenarioDescriptor*>(e->descriptor)->selected ? "1" : "0") + " ";
    }
    return out;
}

TEST(SemanticWalk, SelectionByPathsAndFamilies) {
    const struct {
        std::vector<std::string> scenarios, excluded_scenarios, families, excluded_families;
        const char* selected;
    } cases[] = {
        {{}, {}, {}, {}, "A=1 B=1 D=1 C=1 E=1 H=1 "},
        {{"A.B"}, {}, {}, {}, "A=1 B=1 D=1 C=0 E=0 H=0 "},
        {{"A.B"}, {"A"}, {}, {}, "A=1 B=1 D=1 C=0 E=0 H=0 "},  // -EXSCN is ignored next to -SCN
        {{"A"}, {"A"}, {}, {}, "A=1 B=1 D=1 C=1 E=0 H=0 "},    // even for the same name
        {{}, {"A"}, {}, {}, "A=0 B=0 D=0 C=0 E=1 H=1 "},
        {{}, {"A.B"}, {}, {}, "A=1 B=0 D=0 C=1 E=1 H=1 "},  // A.BX would stay
        // The order of the family names decides when both lists are given
        // (the command line refuses the pair, the walk does not).
        {{}, {}, {"F"}, {"G"}, "A=1 B=1 D=1 C=1 E=0 H=1 "},
        {{}, {}, {}, {"G"}, "A=1 B=1 D=1 C=1 E=0 H=0 "},
        // A parent without a selected child is unselected.
        {{"A.C"}, {}, {}, {}, "A=1 B=0 D=0 C=1 E=0 H=0 "},
        {{"A.X"}, {}, {}, {}, "A=0 B=0 D=0 C=0 E=0 H=0 "},  // A matches as an ancestor, none of its children does
    };
    for (const auto& c : cases) {
        AnalysisOptions options;
        options.fast = false;  // every body analysed, so every flag is visible
        options.scenarios = c.scenarios;
        options.excluded_scenarios = c.excluded_scenarios;
        options.families = c.families;
        options.excluded_families = c.excluded_families;
        EXPECT_EQ(selection(options), c.selected)
            << "-SCN " << testing::PrintToString(c.scenarios) << " -EXSCN " << testing::PrintToString(c.excluded_scenarios)
            << " -FAMILY " << testing::PrintToString(c.families) << " -EXFAMILY "
            << testing::PrintToString(c.excluded_families);
    }
}

// A scenario's family names in order, a repeated name skipped with a
// warning, not taken as a reset of what the earlier names decided.
TEST(SemanticWalk, FamilyOrderDecidesWithBothOptions) {
    AnalysisOptions options;
    options.families = {"A"};
    options.excluded_families = {"B"};
    const Analysed a = analyse_text(std::string(kDeclaringHeader) +
                                        "SCENARIO AB\nFAMILY A, B\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO BA\nFAMILY B, A\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO AC\nFAMILY C, A, C\n@sut_value;\nEND SCENARIO\n"
                                        "SCENARIO CC\nFAMILY C\n@sut_value;\nEND SCENARIO\n",
                                    kTypes, options);
    EXPECT_FALSE(selected(a, "AB"));
    EXPECT_TRUE(selected(a, "BA"));
    EXPECT_TRUE(selected(a, "AC"));
    EXPECT_FALSE(selected(a, "CC"));
    EXPECT_EQ(lines_of(a.messages, "FNAMNOTUS"),
              "Zolmex-W-FNAMNOTUS,  [t.zod:12] Family name 'C' already used it will be ignored\n");
}

TEST(SemanticWalk, ModelDumpShowsEntriesPositionsAndDescriptors) {
    AnalysisOptions options;
    options.trace = TraceLevel::Circular;  // trace instructions are kept
    const Analysed a = analyse_text(std::string(kHeader) + "DECLARE_INSTANCE A\nINCLUDE \"inc.zod\"\n", "", options,
                                    {{"inc.zod", "SCENARIO s LOOP 2\n"
                                                 "FAMILY F\n"
                                                 "INSTANCE A:\n"
                                                 "%%X TRACE_ON\n"
                                                 "END INSTANCE\n"
                                                 "PRINT lbl, 1 + 2\n"
                                                 "END SCENARIO\n"}});
    ASSERT_TRUE(a.model.root) << a.messages;
    const std::string dumped = dump_model(a.model, true);
    const std::string scenario = dumped.substr(dumped.find("0 E_SCENARIO \"s\""));
    EXPECT_EQ(scenario,
              "0 E_SCENARIO \"s\" @inc.zod:1 [104] full \"s\" leaf 1 selected 1 loop 2 header-1 0 end 7 file \"inc.zod\"\n"
              "      families:\n"
              "        5 E_FAMILY \"F\" @inc.zod:2\n"
              "      body:\n"
              "        74 E_INSTRUCTION_INSTANCE_BEGIN - @inc.zod:3\n"
              "        76 E_INSTANCE_REFERENCE \"A\" @inc.zod:3 [103] instance \"A\"\n"
              "        79 E_TRACE_ON - @inc.zod:4 filter \"%X\"\n"
              "        75 E_INSTRUCTION_INSTANCE_END - @inc.zod:5\n"
              "        65 E_PRINT \"lbl\" @inc.zod:6 [116] expression \"1 + 2\"\n"
              "instance_mode 2 selected_position 1 timers 0\n"
              "message_types 0 highest_channel 0 def_messages 0 waits 0 temporaries 0\n");
}

TEST(SemanticWalk, ModelDumpShowsTheNumbersOfTheOutputPasses) {
    Analysed a = analyse_text(std::string(kHeader) + "# int i;\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    Entry* exit = a.find(E_EXIT, "");
    ASSERT_TRUE(exit);
    EXPECT_EQ(dump_model(a.model, false).find("event-code"), std::string::npos);
    exit->event_code = 7;
    exit->end_code = 8;
    exit->report_number = 12;
    EXPECT_NE(dump_model(a.model, false).find("20 E_EXIT - event-code 7 end-code 8 report 12\n"), std::string::npos);
}

TEST(SemanticWalk, BlocksGoBeforeTheFirstSubScenario) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "PROC p()\nEXIT\nEND PROC\n"
                                    "SCENARIO A\nSCENARIO B\nEXIT\nEND SCENARIO\n"
                                    "TERMINATION p()\n"
                                    "INITIALIZATION\nEXIT\nEND INITIALIZATION\n"
                                    "SCENARIO C\nEXIT\nEND SCENARIO\n"
                                    "EXCEPTION\nERROR\nEND EXCEPTION\n"
                                    "END SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(names_in(a.find(E_SCENARIO, "A")->descriptor->sub_scope), "22:p 21 36 0:B 0:C");
    EXPECT_EQ(a.find(E_INITIALIZATION, "")->line, 10);
    EXPECT_EQ(static_cast<BlockDescriptor*>(a.find(E_TERMINATION, "p")->descriptor)->number, -1);
}

TEST(SemanticWalk, TimerDeclarationsGoToTheNearestExecutableScope) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "TIMER h\n"
                                    "SCENARIO s\n"
                                    "EXIT\n"
                                    "IF (1) THEN\nTIMER t\nRESET t\nRESET h\nEND IF\n"
                                    "END SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(a.model.root->first->kind, E_TIMER);  // header level: head of the root scope
    EXPECT_EQ(names_in(a.find(E_SCENARIO, "s")->descriptor->sub_scope), "61:t 20 16:1");
    EXPECT_EQ(names_in(a.find(E_IF, "1")->descriptor->sub_scope), "60:t 63:t 63:h");
    EXPECT_EQ(static_cast<TimerDescriptor*>(a.find(E_TIMER, "t")->descriptor)->number, 1);
    EXPECT_EQ(a.model.timer_count, 2);
}

TEST(SemanticWalk, DeclarationsLiveInTheCScopeOfTheirBlock) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "PROC p(long v)\nPAUSE v\nEND PROC\n"
                                    "SCENARIO A\n"
                                    "SCENARIO B\n# char *only_b;\nPAUSE only_b\nEND SCENARIO\n"
                                    "INITIALIZATION\n# int only_init;\nPAUSE only_init\nEND INITIALIZATION\n"
                                    "SCENARIO C\nPAUSE only_b\nPAUSE v\nEND SCENARIO\n"
                                    "END SCENARIO\n");
    ASSERT_TRUE(a.model.root);
    EXPECT_EQ(lines_of(a.messages, "INCOMPTYP"), "Zolmex-W-INCOMPTYP,  [t.zod:8] Incompatible types (only_b)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:15] Incompatible types (only_b)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:16] Incompatible types (v)\n");
    // Neither only_b nor v is known in C: only the typing failures of C.
    EXPECT_EQ(a.errors, 2u) << a.messages;
}

// The same expression text met again is typed under the declarations and
// macros of its place: a local declaration, the end of its scope, a macro
// defined or undefined in between all change the answer.
TEST(SemanticWalk, TypingFollowsDeclarationsAndMacros) {
    const Analysed a = analyse_text(std::string(kHeader) +                                    // 1
                                    "# int n;\n"                                                // 2
                                    "# double d;\n"                                             // 3
                                    "PROC p(double n)\nPAUSE n\nEND PROC\n"                     // 4-6
                                    "PROC q()\nPAUSE n\nEND PROC\n"                             // 7-9
                                    "SCENARIO A\nPAUSE n\nPAUSE d\nPAUSE n\nCALL p(d)\nEND SCENARIO\n"  // 10-15
                                    "SCENARIO B\n# double n;\nPAUSE n\nEND SCENARIO\n"          // 16-19
                                    "SCENARIO C\nPAUSE n\n##define n d\nPAUSE n\nEND SCENARIO\n"  // 20-24
                                    "SCENARIO D\nPAUSE n\n##undef n\nPAUSE n\nEND SCENARIO\n"     // 25-29
                                    "SCENARIO E\n# double e;\nPAUSE n\nEND SCENARIO\n"          // 30-33
                                    "SCENARIO F\nPAUSE n\nEND SCENARIO\n");                     // 34-36
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(lines_of(a.messages, "INCOMPTYP"), "Zolmex-W-INCOMPTYP,  [t.zod:5] Incompatible types (n)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:12] Incompatible types (d)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:18] Incompatible types (n)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:23] Incompatible types (n)\n"
                                                 "Zolmex-W-INCOMPTYP,  [t.zod:26] Incompatible types (n)\n")
        << a.messages;
    EXPECT_EQ(a.errors, 0u) << a.messages;
}

// An identifier checked against the communication type's identifier type:
// the answer follows a local variable, a macro and a local type.
TEST(SemanticWalk, IdentifierTypesFollowLocalDeclarations) {
    const Analysed a = analyse_text(std::string(kHeader) +                                    // 1
                                        "# int fd;\n# char *name;\n"                           // 2-3
                                        "COMMTYPE Link IS conn_t\nCHANNEL Link : ch0\n"        // 4-5
                                        "SCENARIO A\nADD_ID (ch0, fd)\nEND SCENARIO\n"        // 6-8
                                        "SCENARIO B\n# char *fd;\nADD_ID (ch0, fd)\nEND SCENARIO\n"  // 9-12
                                        "SCENARIO C\n##define fd name\nADD_ID (ch0, fd)\n"    // 13-15
                                        "##undef fd\nADD_ID (ch0, fd)\nEND SCENARIO\n"        // 16-18
                                        "SCENARIO D\n# typedef char *conn_t;\nADD_ID (ch0, fd)\nEND SCENARIO\n"  // 19-22
                                        "SCENARIO E\nADD_ID (ch0, fd)\nEND SCENARIO\n"        // 23-25
                                        "SCENARIO F\n# enum { fd = 3 };\nADD_ID (ch0, fd)\nEND SCENARIO\n"  // 26-29
                                        "SCENARIO G\nADD_ID (ch0, fd)\n##define fd 4\nADD_ID (ch0, fd)\n"  // 30-33
                                        "##undef fd\nADD_ID (ch0, fd)\nEND SCENARIO\n",       // 34-36
                                    "typedef int conn_t;\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    // Whether the identifier is a constant follows it the same way.
    std::string constants;
    for (std::size_t at = a.dump.find("E_ADD_ID"); at != std::string::npos; at = a.dump.find("E_ADD_ID", at + 1))
        constants += a.dump[a.dump.find("constant ", at) + 9];
    EXPECT_EQ(constants, "0001010") << a.dump;
    const std::string wrong = " The connexion identifier fd does not match with expected type\n";
    EXPECT_EQ(lines_of(a.messages, "TYPIDCOKO"), "Zolmex-E-TYPIDCOKO,  [t.zod:11]" + wrong +
                                                     "Zolmex-E-TYPIDCOKO,  [t.zod:15]" + wrong +
                                                     "Zolmex-E-TYPIDCOKO,  [t.zod:21]" + wrong)
        << a.messages;
}

// A called name is read through the macros of its place: the same call
// text reaches another procedure once a macro renames it.
TEST(SemanticWalk, CalledNamesFollowMacros) {
    const Analysed a = analyse_text(std::string(kHeader) + "PROC p()\nEXIT\nEND PROC\nPROC q()\nEXIT\nEND PROC\n"
                                                           "PROC r()\nEXIT\nEND PROC\n"
                                                           "SCENARIO A\nCALL q()\n##define q p\nCALL q()\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(lines_of(a.messages, "NOPROCCAL"), "Zolmex-I-NOPROCCAL,  [t.zod:8] Procedure r is never used\n")
        << a.messages;
}

// A pragma of a declaration line changes how C texts read without changing
// a declaration or a macro: texts met before are read again under it.
TEST(SemanticWalk, TypingFollowsTypeModifierPragmas) {
    const Analysed a = analyse_text(std::string(kHeader) +                                    // 1
                                        "PROC p1(X a)\nEXIT\nEND PROC\n"                        // 2-4
                                        "##pragma korva type_modifier X\n"                      // 5
                                        "PROC p2(X a)\nEXIT\nEND PROC\n"                        // 6-8
                                        "# char *Y;\n"                                          // 9
                                        "SCENARIO s\nCALL put((Y)-1)\n"                        // 10-11
                                        "##pragma korva type_modifier Y\n"                      // 12
                                        "CALL put((Y)-1)\nCALL p1(1)\nCALL p2(1)\nEND SCENARIO\n",  // 13-16
                                    "int put(char *s);\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(lines_of(a.messages, "UKNNATTYP"), "Zolmex-E-UKNNATTYP,  [t.zod:2] Unknown native type (X)\n")
        << a.messages;
    EXPECT_EQ(lines_of(a.messages, "INCOMPTYP"), "Zolmex-W-INCOMPTYP,  [t.zod:13] Incompatible types ((Y)-1)\n")
        << a.messages;
}

TEST(SemanticWalk, UseMarksFollowCallsThroughNestedScopes) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "PROC leaf()\nEXIT\nEND PROC\n"
                                    "PROC mid()\nCASE (1) IS\nWHEN 1 =>\nIF (1) THEN\nEXIT\nELSE\nCALL leaf()\nEND IF\n"
                                    "END CASE\nEND PROC\n"
                                    "PROC top()\nWHILE (0)\nCALL mid()\nEND WHILE\nEND PROC\n"
                                    "PROC helper()\nEXIT\nEND PROC\n"
                                    "PROC lonely()\nCALL leaf()\nCALL helper()\nEND PROC\n"
                                    "SCENARIO s\nCALL top()\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    for (const char* used : {"leaf", "mid", "top"})
        EXPECT_EQ(static_cast<ProcedureDescriptor*>(a.find(E_PROCEDURE, used)->descriptor)->use_mark, 1) << used;
    // helper is called, but only from a procedure that is never used.
    EXPECT_EQ(lines_of(a.messages, "NOPROCCAL"), "Zolmex-I-NOPROCCAL,  [t.zod:20] Procedure helper is never used\n"
                                                 "Zolmex-I-NOPROCCAL,  [t.zod:23] Procedure lonely is never used\n");
}

TEST(SemanticWalk, RecursiveProcedureIsMarkedOnce) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "PROC again(int n)\nIF (n > 0) THEN\nCALL again(n - 1)\nEND IF\nEND PROC\n"
                                    "SCENARIO s\nCALL again(3)\nEND SCENARIO\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(static_cast<ProcedureDescriptor*>(a.find(E_PROCEDURE, "again")->descriptor)->use_mark, 1);
}

TEST(SemanticWalk, DisableCleanupMarksOnlyItsProcedure) {
    const std::string procs = std::string(kHeader) + "PROC inner()\nEXIT\nEND PROC\nPROC outer()\nCALL inner()\nEND PROC\n";
    const Analysed disabled = analyse_text(procs + "SCENARIO s\nDISABLE_CLEANUP outer()\nEND SCENARIO\n");
    EXPECT_EQ(lines_of(disabled.messages, "NOPROCCAL"), "Zolmex-I-NOPROCCAL,  [t.zod:2] Procedure inner is never used\n");
    const Analysed later = analyse_text(procs + "SCENARIO s\nDISABLE_CLEANUP outer()\nCALL outer()\nEND SCENARIO\n");
    EXPECT_EQ(lines_of(later.messages, "NOPROCCAL"), "");
    const Analysed enabled = analyse_text(procs + "SCENARIO s\nENABLE_CLEANUP outer()\nEND SCENARIO\n");
    EXPECT_EQ(lines_of(enabled.messages, "NOPROCCAL"), "");
}

TEST(SemanticWalk, CaseRecordsWhenValuesAndInstructions) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                    "# int k2;\nSCENARIO s\nCASE (k) IS\nWHEN 1 => WHEN 'c' =>\nEXIT\nWHEN K2 =>\nWHEN OTHERS =>\nERROR\n"
                                    "END CASE\nEND SCENARIO\n",
                                    "int k;\nenum { K1, K2 };\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.errors, 0u) << a.messages;
    const Scope* whens = a.find(E_CASE, "k")->descriptor->sub_scope;
    ASSERT_TRUE(whens->first && whens->last);
    EXPECT_EQ(names_in(whens->first->descriptor->sub_scope), "18:1 18:'c'");
    EXPECT_EQ(names_in(static_cast<WhenDescriptor*>(whens->first->descriptor)->instructions), "20");
    EXPECT_EQ(names_in(whens->last->descriptor->sub_scope), "18:K2 18:OTHERS");
}

// A construct whose expression, name or list goes on over "&" continuation
// lines, or over a line break inside parentheses, is recorded at the line of
// its keyword; the lines after it keep their own numbers.
TEST(SemanticWalk, ConstructsOverSeveralLinesTakeTheLineOfTheirKeyword) {
    const std::string prefix = std::string(kHeader) +
                               "# int x;\n"           // 2
                               "PROC p(int a,\n"      // 3
                               "& int b)\n"           // 4
                               "EXIT\n"               // 5
                               "END PROC\n"           // 6
                               "DECLARE_INSTANCE A,\n"  // 7
                               "& B\n"                // 8
                               "SCENARIO s\n";        // 9; each body begins on line 10
    const struct {
        const char* body;
        std::vector<const char*> entries;  // parts of the dump lines
    } cases[] = {
        {"PAUSE 2 +\n& x\n", {"E_PAUSE \"2 + x\" @t.zod:10"}},
        {"PAUSE (2 +\n x)\nEXIT\n", {"E_PAUSE \"(2 +\\n x)\" @t.zod:10", "E_EXIT - @t.zod:12"}},
        {"PRINT\n& lbl, x\n", {"E_PRINT \"lbl\" @t.zod:10"}},
        {"PRINT lbl,\n& x\n", {"E_PRINT \"lbl\" @t.zod:10"}},
        {"IF (x >\n& 1) THEN\nEXIT\nELSE\nERROR\nEND IF\n",
         {"E_IF \"x > 1\" @t.zod:10", "E_EXIT - @t.zod:12", "E_ERROR - @t.zod:14"}},
        {"WHILE (x\n& > 1)\nEXIT\nEND WHILE\n", {"E_WHILE \"x > 1\" @t.zod:10", "E_EXIT - @t.zod:12"}},
        {"CASE (x\n& + 1) IS\nWHEN\n& 1 =>\nEXIT\nEND CASE\n",
         {"E_CASE \"x + 1\" @t.zod:10", "E_WHEN - @t.zod:12", "E_WHEN_VALUE \"1\" @t.zod:12", "E_EXIT - @t.zod:14"}},
        {"TIMER\n& t1\nRESET\n& t1\n", {"E_TIMER_START \"t1\" @t.zod:10", "E_TIMER_RESET \"t1\" @t.zod:12"}},
        {"RENDEZVOUS\n& meet\n", {"E_RENDEZVOUS \"meet\" @t.zod:10"}},
        {"SET (\n& \"AB\")\n", {"E_SET \"AB\" @t.zod:10"}},
        {"CALL p(1,\n& 2)\n", {"E_CALL \"p\" @t.zod:10", "E_CALL_ARGUMENT - @t.zod:10"}},
        {"%X\n& EXIT\n", {"E_EXIT - @t.zod:10 filter \"X\""}},
        {"COMMENT a\n& b\nEXIT\n", {"E_COMMENT \"a b\" @t.zod:10", "E_EXIT - @t.zod:12"}},
        {"@ x =\n& 1;\n", {"E_C_LINE_AT \" x = 1;\" @t.zod:10"}},
        {"INSTANCE A,\n& B:\nEXIT\nEND INSTANCE\n",
         {"E_INSTRUCTION_INSTANCE_BEGIN - @t.zod:10", "E_INSTANCE_REFERENCE \"B\" @t.zod:10", "E_EXIT - @t.zod:12"}},
        {"SCENARIO\n& inner\nFAMILY f,\n& g\nEXIT\nEND SCENARIO\n",
         {"E_SCENARIO \"inner\" @t.zod:10 [104] full \"s.inner\" leaf 1 selected 1 loop 0 header-1 9 end 15",
          "E_FAMILY \"g\" @t.zod:12", "E_EXIT - @t.zod:14"}},
        {"INITIALIZATION p(1,\n& 2)\nSCENARIO t\nEXIT\nEND SCENARIO\n", {"E_INITIALIZATION \"p\" @t.zod:10"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const Analysed a = analyse_text(prefix + c.body + "END SCENARIO\n", "");
        ASSERT_TRUE(a.model.root) << a.messages;
        EXPECT_EQ(a.errors, 0u) << a.messages;
        const std::string dumped = dump_model(a.model, true);
        EXPECT_NE(dumped.find("E_PROCEDURE \"p\" @t.zod:3"), std::string::npos) << dumped;
        EXPECT_NE(dumped.find("E_PROCEDURE_PARAMETER \"b\" @t.zod:3"), std::string::npos) << dumped;
        EXPECT_NE(dumped.find("E_INSTANCE \"B\" @t.zod:7"), std::string::npos) << dumped;
        for (const char* entry : c.entries) EXPECT_NE(dumped.find(entry), std::string::npos) << entry << "\n" << dumped;
    }
}

// Messages about such a construct carry the keyword's line and file too,
// also in an included file.
TEST(SemanticWalk, MessagesAboutConstructsOverSeveralLinesShowTheKeywordLine) {
    const Analysed a = analyse_text(std::string(kHeader) + "# int x;\nINCLUDE \"inc.zod\"\n", "", {},
                                    {{"inc.zod", "SCENARIO s\n"          // 1
                                                 "PAUSE 2.5 +\n"         // 2
                                                 "& x\n"                 // 3
                                                 "IF (nothere\n"         // 4
                                                 "& > 1) THEN\n"         // 5
                                                 "EXIT\n"                // 6
                                                 "END IF\n"              // 7
                                                 "END SCENARIO\n"        // 8
                                                 "SCENARIO\n"            // 9
                                                 "& s\n"                 // 10
                                                 "EXIT\n"                // 11
                                                 "END SCENARIO\n"}});
    EXPECT_EQ(a.messages,
              "Zolmex-W-INCOMPTYP,  [inc.zod:2] Incompatible types (2.5 + x)\n"
              "Zolmex-E-CUNDECLID,  [inc.zod:4] Undeclared identifier nothere\n"
              "Zolmex-E-SCENALREX,  [inc.zod:9] Scenario 's' already exists at this level\n");
}

// The warning about instructions after ERROR or EXIT, once for each of them,
// whatever follows: a dropped trace instruction, a refused call or a refused
// (redefined) timer leave no entry and must not repeat it.
TEST(SemanticWalk, InstructionsAfterExitOrErrorWarnOnceForEach) {
    const std::string unreachable = "Instructions written after ERROR or EXIT are not executed\n";
    const struct {
        const char* body;  // from line 3
        std::string warnings, redefinitions;
    } cases[] = {
        {"EXIT\n@sut_value;\nTRACE_ON\nCALL nosuch()\nTIMER T\n", "Zolmex-W-NOEXEINST,  [t.zod:4] " + unreachable, ""},
        {"ERROR\nEXIT\nTRACE_OFF\n@sut_value;\n",
         "Zolmex-W-NOEXEINST,  [t.zod:4] " + unreachable + "Zolmex-W-NOEXEINST,  [t.zod:5] " + unreachable, ""},
        {"TIMER T\nEXIT\n@sut_value;\nTIMER T\n", "Zolmex-W-NOEXEINST,  [t.zod:5] " + unreachable,
         "Zolmex-E-IDENREDEF,  [t.zod:7] Warning: T redefined\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const Analysed a = analyse_text(std::string(kDeclaringHeader) + "SCENARIO S\n" + c.body + "END SCENARIO\n", kTypes);
        EXPECT_EQ(lines_of(a.messages, "NOEXEINST"), c.warnings);
        EXPECT_EQ(lines_of(a.messages, "IDENREDEF"), c.redefinitions);
    }
}

TEST(SemanticWalk, SelectedPositionCountsNamesAsWrittenLastMatchWins) {
    // B is written twice; its second occurrence (position 4) is skipped as a
    // declaration but still counted for the position.
    const Analysed a = analyse_declaring(
        "DECLARE_INSTANCE A, B, C\n"
        "DECLARE_INSTANCE B\n"
        "SCENARIO S\n@sut_value;\nEND SCENARIO\n",
        "B");  // -INSTANCE
    EXPECT_EQ(a.model.instance_mode, InstanceMode::SelectedDeclared);
    EXPECT_EQ(a.model.selected_position, 4);
    EXPECT_EQ(lines_of(a.messages, "ISTNALRDEC"), "Zolmex-E-ISTNALRDEC,  [t.zod:4] Instance B is already declared\n");
}

TEST(SemanticWalk, HeaderInstanceBlockWithoutDeclarationsNamesTheUnknownInstance) {
    // Mode 0: at header level there is no NODCLISTN, only UNDECISTN, and
    // the declarations inside are still analysed.
    const Analysed a = analyse_declaring(
        "INSTANCE X :\n"
        "PROC p()\n"
        "@sut_value;\n"
        "END PROC\n"
        "END INSTANCE\n"
        "SCENARIO S\nCALL p()\nEND SCENARIO\n");
    EXPECT_EQ(a.model.instance_mode, InstanceMode::NoInstances);
    EXPECT_EQ(lines_of(a.messages, "NODCLISTN"), "");
    EXPECT_EQ(lines_of(a.messages, "UNDECISTN"), "Zolmex-E-UNDECISTN,  [t.zod:3] Instance 'X' not declared\n");
    ASSERT_NE(a.find(E_PROCEDURE, "p"), nullptr);
    EXPECT_NE(a.find(E_HEADER_INSTANCE_BEGIN, ""), nullptr);
    EXPECT_NE(a.find(E_HEADER_INSTANCE_END, ""), nullptr);
}

TEST(SemanticWalk, UnlistedBlocksAreSkippedWholeForTheSelectedInstance) {
    const Analysed a = analyse_declaring(
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
        "A");  // -INSTANCE
    EXPECT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(a.find(E_PROCEDURE, "pb"), nullptr);
    const Entry* r = a.find(E_RENDEZVOUS, "r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->previous, nullptr);  // no begin entry, no references
    EXPECT_EQ(r->next, nullptr);
}

TEST(SemanticWalk, UndeclaredSelectedInstanceBehavesAsWithout) {
    const Analysed a = analyse_declaring(
        "DECLARE_INSTANCE A\n"
        "SCENARIO S\n"
        "INSTANCE A :\n"
        "RENDEZVOUS r\n"
        "END INSTANCE\n"
        "END SCENARIO\n",
        "Q");  // -INSTANCE
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

TEST(SemanticWalkDeathTest, InstanceBlockInAProcedureOfAHeaderInstanceBlockIsTooDeep) {
    // The header block counts for the depth of the blocks in the bodies of
    // the procedures it holds.
    EXPECT_EXIT(analyse_quiet(std::string(kDeclaringHeader) +
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
