// The scenario file's text: every literal, tab and blank of its block syntax.
#include "outputs/scenario_file.h"

#include <gtest/gtest.h>

namespace zv {
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

}  // namespace
}  // namespace zv
