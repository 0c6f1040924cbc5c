// The report-structure file: whole texts of small models built by hand (the
// element records, ids and the ID key), and of an analysed script with an
// include file (one block per file, entries listed in the file they are
// written in, lists that are walked and lists that are not).
#include "outputs/report_structure.h"
#include "common/generation_stamp.h"
#include "test_semantic_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

namespace zv::test {
namespace {

// 'Thu Jan  1 00:00:00 1970': the sum of (character code - 32) is 640.
const char* kDate = "Thu Jan  1 00:00:00 1970";

const std::string kFileHeader =
    "DB \"Kestrun-Tracer\"\nID 1 1\nIN \"Sut\" 1 \"System under test\"\nED\n";

std::string blockHeader(const ScriptFileRecord& f, long key) {
    return "DB \"Kestrun-Tracer\"\nID " + std::to_string(f.identity_key) + " " + std::to_string(key) + "\nSO \"" +
           f.directory + "/" + f.base_name + "\" 0000 \"txt\"\nIN \"File\" 1 \"" + f.base_name +
           "\"\nSI 1\nIN \"VirtualTester\" 2 \"default tester\"\n";
}

ScriptFileRecord record(const char* name, int index, long identity, std::uint16_t checksum) {
    ScriptFileRecord r;
    r.name = name;
    r.directory = "/home/t";
    r.base_name = name;
    r.identity_key = identity;
    r.checksum = checksum;
    r.index = index;
    return r;
}

struct Built {
    SemanticTables tables;
    Entry* add(Scope* scope, int kind, const char* name, const char* file, int line) {
        return tables.append_entry(scope, kind, name, file, 1, line, nullptr);
    }
    template <class T>
    T* describe(Entry* e, int code, bool with_body = false) {
        T* d = tables.attach_descriptor<T>(e, code);
        if (with_body) d->sub_scope = tables.new_scope(d, e->scope);
        return d;
    }
};

TEST(ReportStructure, ScenarioWithAWait) {
    Built m;
    Entry* main = m.add(m.tables.root(), E_SCENARIO, "Main", "demo.zod", 10);
    auto* scenario = m.describe<ScenarioDescriptor>(main, D_SCENARIO, true);
    scenario->end_line = 20;
    Entry* wait = m.add(scenario->sub_scope, E_WAIT, nullptr, "demo.zod", 12);
    m.describe<WaitDescriptor>(wait, D_WAIT);

    const ScriptFileRecord demo = record("demo.zod", 1, 4321, 100);
    EXPECT_EQ(format_report_structure({demo}, m.tables.root(), kDate, 0),
              kFileHeader + blockHeader(demo, 100 + 640) +
                  "ST 390\nLK 10\nTX 3 \"Main\"\nST 393\nLK 20\nTX 4 \"Main\"\n"
                  "ST 433\nLK 12\nTX 5 \"WAITTIL\"\nST 380\nLK 12\nMS 6 \"...\"\n"
                  "ST 433\nLK 12\nTX 7 \"END WAITTIL\"\nED\n");
    EXPECT_EQ(main->report_number, 3);
    EXPECT_EQ(wait->report_number, 6);
    // The key holds the process id.
    EXPECT_NE(format_report_structure({demo}, m.tables.root(), kDate, 77).find("\nID 4321 817\n"),
              std::string::npos);
}

// Blocks, sends and texts of every kind, quoting, and files in index order
// from a list that is newest first and names one file twice.
TEST(ReportStructure, ElementsQuotingAndFileOrder) {
    Built m;
    Scope* root = m.tables.root();
    m.add(root, E_INSTANCE, "Tester \"1\"", "a.zod", 1);
    Entry* outer = m.add(root, E_SCENARIO, "", "a.zod", 2);
    Scope* body = m.describe<ScenarioDescriptor>(outer, D_SCENARIO, true)->sub_scope;
    Entry* init = m.add(body, E_INITIALIZATION, nullptr, "a.zod", 3);
    m.describe<BlockDescriptor>(init, D_BLOCK, true)->line = 4;
    Entry* rdv = m.add(init->descriptor->sub_scope, E_RENDEZVOUS, nullptr, "a.zod", 5);
    Entry* exception = m.add(body, E_EXCEPTION, nullptr, "b.zod", 6);
    m.describe<BlockDescriptor>(exception, D_BLOCK, true)->line = 6;
    Entry* send = m.add(exception->descriptor->sub_scope, E_SEND, nullptr, "a.zod", 7);
    Entry* event = m.add(root, E_MESSAGE_VARIABLE, "ev\xc3\xa9", "a.zod", 1);
    m.describe<SendDescriptor>(send, D_SEND)->event = event;
    Entry* term = m.add(body, E_TERMINATION, nullptr, "a.zod", 8);
    m.describe<BlockDescriptor>(term, D_BLOCK)->line = 8;
    Entry* inter = m.add(body, E_INTERRECV, nullptr, "a.zod", 9);
    Entry* unused = m.add(root, E_PROCEDURE, "p", "a.zod", 10);
    Entry* hidden = m.add(m.describe<ProcedureDescriptor>(unused, D_PROCEDURE, true)->sub_scope, E_INTERSEND,
                          nullptr, "a.zod", 11);

    const ScriptFileRecord a = record("a.zod", 1, 10, 1), b = record("b.zod", 2, 20, 2);
    const std::string tester = "SI 1\nIN \"VirtualTester\" 3 \"Tester \"\"1\"\"\"\n";
    EXPECT_EQ(format_report_structure({b, a, b}, root, "", 0),
              kFileHeader + blockHeader(a, 1) + tester +
                  "ST 400\nLK 3\nTX 4 \"INITIALIZATION\"\nST 400\nLK 4\nTX 5 \"INITIALIZATION\"\n"
                  "ST 310\nLK 5\nTX 6 ?\n"
                  "ST 383\nLK 7\nMS 7 \"ev\xc3\xa9\"\n"
                  "ST 410\nLK 8\nTX 8 \"TERMINATION\"\nST 410\nLK 8\nTX 9 \"TERMINATION\"\n"
                  "ST 383\nLK 9\nMS 10 \"...\"\nED\n" +
                  blockHeader(b, 2) + tester +
                  "ST 420\nLK 6\nTX 4 \"EXCEPTION\"\nST 420\nLK 6\nTX 5 \"EXCEPTION\"\nED\n");
    const std::pair<Entry*, int> stored[] = {{outer, 0},     {init, 4},   {rdv, 6},   {send, 7},
                                             {exception, 4}, {inter, 10}, {hidden, 0}};
    for (const auto& [entry, id] : stored) EXPECT_EQ(entry->report_number, id) << entry->line;
}

TEST(ReportStructureDeathTest, LineOverTheBuffer) {
    registerMessageCatalog();
    Built m;
    const std::string name(4088, 'x');  // 'TX 3 "' + name + '"' + "\n" is 4096
    Entry* scenario = m.add(m.tables.root(), E_SCENARIO, name.c_str(), "a.zod", 1);
    m.describe<ScenarioDescriptor>(scenario, D_SCENARIO);
    const ScriptFileRecord a = record("a.zod", 1, 1, 1);
    EXPECT_EXIT(format_report_structure({a}, m.tables.root(), "", 0), ::testing::ExitedWithCode(9), "SIZBUFOVL");
    const std::string fits(4087, 'x');
    scenario->name = fits.c_str();
    EXPECT_NE(format_report_structure({a}, m.tables.root(), "", 0).find(fits), std::string::npos);
}

TEST(ReportStructure, AnalysedScriptWithAnInclude) {
    const Analysed a = analyse_text(
        "HEADER \"t\", \"1\", \"x\"\nDECLARE_INSTANCE A, B\nINCLUDE \"inc.zod\"\nSCENARIO Main\n"
        "INITIALIZATION\nRENDEZVOUS r_init\nEND INITIALIZATION\n"
        "SCENARIO Leaf\nWAITTIL (sut_value > 0, WTIME > 100)\nCALL used()\nEND SCENARIO\nEND SCENARIO\n",
        "int sut_value;\n", {},
        {{"inc.zod", "PROC used()\nRENDEZVOUS r_used\nWHILE (sut_value)\nRENDEZVOUS r_loop\nEND WHILE\n"
                     "IF (1) THEN\nRENDEZVOUS r_if\nEND IF\nEND PROC\n"
                     "PROC unused()\nRENDEZVOUS r_unused\nEND PROC\n"}});
    ASSERT_EQ(a.errors, 0u) << a.messages;
    ASSERT_EQ(a.parsed.files.size(), 2u);
    const ScriptFileRecord& main = a.parsed.files[1];
    const ScriptFileRecord& inc = a.parsed.files[0];
    const std::string testers = "SI 1\nIN \"VirtualTester\" 3 \"A\"\nSI 1\nIN \"VirtualTester\" 4 \"B\"\n";
    EXPECT_EQ(format_report_structure(a.parsed.files, a.model.root, kDate, 5),
              kFileHeader + blockHeader(main, main.checksum + 5 + 640) + testers +
                  "ST 390\nLK 4\nTX 5 \"Main\"\nST 393\nLK 12\nTX 6 \"Main\"\n"
                  "ST 400\nLK 5\nTX 7 \"INITIALIZATION\"\nST 400\nLK 5\nTX 8 \"INITIALIZATION\"\n"
                  "ST 310\nLK 6\nTX 9 \"r_init\"\n"
                  "ST 390\nLK 8\nTX 10 \"Leaf\"\nST 393\nLK 11\nTX 11 \"Leaf\"\n"
                  "ST 433\nLK 9\nTX 12 \"WAITTIL\"\nST 380\nLK 9\nMS 13 \"...\"\n"
                  "ST 433\nLK 9\nTX 14 \"END WAITTIL\"\nED\n" +
                  blockHeader(inc, inc.checksum + 5 + 640) + testers +
                  "ST 310\nLK 2\nTX 5 \"r_used\"\nST 310\nLK 4\nTX 6 \"r_loop\"\nED\n");
    EXPECT_EQ(a.find(E_SCENARIO, "Main")->report_number, 5);
    EXPECT_EQ(a.find(E_INITIALIZATION, "")->report_number, 7);
    EXPECT_EQ(a.find(E_RENDEZVOUS, "r_used")->report_number, 5);
    EXPECT_EQ(a.find(E_RENDEZVOUS, "r_loop")->report_number, 6);
    EXPECT_EQ(a.find(E_RENDEZVOUS, "r_if")->report_number, 0);
    EXPECT_EQ(a.find(E_RENDEZVOUS, "r_unused")->report_number, 0);
}

TEST(GenerationStamp, SourceDateEpochFixesDateAndProcessId) {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    EXPECT_EQ(generation_date(), "Tue Nov 14 22:13:20 2023");
    EXPECT_EQ(generation_process_id(), 0);
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    EXPECT_EQ(generation_date(), kDate);
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(generation_process_id(), static_cast<long>(::getpid()));
}

}  // namespace
}  // namespace zv::test
