// The event-code pass on analysed scripts: the fixed records and the instance
// list of every mode, the records of a script with procedures, calls and a
// deselected scenario with the codes stored back, the probe header with
// redefined names and its fallbacks, the line limit and field quoting.
#include "outputs/event_codes.h"
#include "model/model_dump.h"
#include "outputs/report_structure.h"
#include "test_semantic_support.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

const char* kDate = "Thu Jan  1 00:00:00 1970";

EventCodeSources sources_of(const Analysed& a, ProbeMode probe = ProbeMode::None, std::string instance = "",
                            std::string echo = "zerizevar t t.h t") {
    return {"t.zod", a.parsed.files, std::move(echo), kDate, 42, "1.0.0",
            std::move(instance), a.model.instance_mode, TraceLevel::Scenario, probe,
            "/work"};
}

EventCodeTexts numbered(Analysed& a, ProbeMode probe = ProbeMode::None, std::string instance = "",
                        std::string echo = "zerizevar t t.h t") {
    return number_events(sources_of(a, probe, std::move(instance), std::move(echo)), a.model);
}

// The records after the fixed part (header line, G, H, F, F, IL, FB, CF).
std::string records(const std::string& table) {
    std::size_t at = 0;
    for (int i = 0; i < 8; ++i) at = table.find('\n', at) + 1;
    return table.substr(at);
}

TEST(EventCodes, FixedRecordsAndInstanceListOfEachMode) {
    const std::string script = "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice, Bob\n"
                               "SCENARIO s\nRENDEZVOUS r\nEND SCENARIO\n";
    struct Case {
        const char* instance;
        const char* list;
    } cases[] = {{"", "\"Alice\", \"Bob\""}, {"Bob", "\"Bob\""}, {"Carol", "\"Alice\", \"Bob\""}};
    for (const Case& c : cases) {
        AnalysisOptions options;
        options.instance = c.instance;
        Analysed a = analyse_text(script, "", options);
        ASSERT_EQ(a.errors, 0u) << a.messages;
        const std::string table = numbered(a, ProbeMode::None, c.instance).table;
        const ScriptFileRecord& f = a.parsed.files.front();
        const std::string expected =
            "KORVA Kestrun \"1.0.0\", \"KVS_C\", \"TDC file\", \"Thu Jan  1 00:00:00 1970 42\"\n"
            "G0 \"zerizevar t t.h t\"\nH1 \"Thu Jan  1 00:00:00 1970\"\nF2 \"t.zod\"\nF3 \"10\"\n"
            "IL4 " + std::string(c.list) + "\nFB5 \"\"\n"
            "CF6 \"t.zod\", \"t.zod\", \"" + f.directory + "\", \"" + std::to_string(f.length) + "\", \"" +
            std::to_string(f.checksum) + "\"\n";
        EXPECT_EQ(table.substr(0, expected.size()), expected) << c.instance;
        EXPECT_EQ(a.model.generation_tag, "Thu Jan  1 00:00:00 1970 42");
    }

    Analysed none = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int z;\nSCENARIO s\nRENDEZVOUS r\nEND SCENARIO\n");
    EXPECT_NE(numbered(none).table.find("\nIL4 \"\"\n"), std::string::npos);
}

TEST(EventCodes, InstanceNamedUnderTheAllInstancesModeIsRefused) {
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    ASSERT_EQ(a.model.instance_mode, InstanceMode::AllDeclared);
    testing::internal::CaptureStderr();
    const std::string table = numbered(a, ProbeMode::None, "Alice").table;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("-BADPARAMS,"), std::string::npos);
    EXPECT_NE(table.find("\nIL4 \"\"\n"), std::string::npos);
}

TEST(EventCodes, RecordsOfProceduresCallsAndScenariosWithTheirStoredCodes) {
    AnalysisOptions options;
    options.excluded_scenarios = {"B"};
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n"
                              "PROC p(int n)\nCOMMENT say \"hi\"\nEND PROC\n"
                              "PROC q()\nRENDEZVOUS never\nEND PROC\n"
                              "SCENARIO A LOOP 3\nFAMILY f1, f2\nCALL p(2)\nEND SCENARIO\n"
                              "SCENARIO B\nEXIT\nEND SCENARIO\n",
                              "", options);
    ASSERT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(records(numbered(a).table),
              "E7 \"a\", \"b\", \"c\", \"1\", \"1\"\n"
              "P8 \"p\", \"1\", \"2\"\n"
              "C9 \"say \"\"hi\"\"\", \"1\", \"3\"\n"
              "P10 ?, \"1\", \"2\"\n"
              "S11 \"\", \"\", ?, ?, \"1\", \"15\"\n"
              "S12 \"A\", \"A\", \"f1, f2\", \"3\", \"1\", \"8\"\n"
              "A13 \"p\", ?, \"1\", \"10\"\n"
              "R14 \"2\", ?, \"1\", ?, \"1\", \"10\"\n"
              "A15 ?, ?, \"1\", \"10\"\n"
              "S16 \"A\", ?, ?, ?, \"1\", \"8\"\n"
              "S17 \"\", ?, ?, ?, \"1\", \"15\"\n");
    const Entry* p = a.find(E_PROCEDURE, "p");
    const Entry* call = a.find(E_CALL, "p");
    EXPECT_EQ(p->event_code, 8);
    EXPECT_EQ(p->end_code, 10);
    EXPECT_EQ(call->event_code, 13);
    EXPECT_EQ(call->end_code, 15);
    EXPECT_EQ(call->descriptor->sub_scope->first->event_code, 14);
    EXPECT_EQ(a.find(E_SCENARIO, "A")->end_code, 16);
    EXPECT_EQ(a.find(E_SCENARIO, "B")->event_code, 0);
    EXPECT_EQ(a.find(E_PROCEDURE, "q")->event_code, 0);
}

TEST(EventCodes, ProbeHeaderRedefinesWithUndefAndKeepsTheMaxima) {
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\nCOMMTYPE L IS int\nCHANNEL L : c1\n"
                              "MESSAGE Ping : p1\n"
                              "CALLBACK Ping : m ON L : id\nIF (id > 0) THEN\nMESSAGE_DATE\nELSE\nNO_MESSAGE\nEND IF\nEND CALLBACK\n"
                              "PROCSEND Ping : m ON L : id\nCOMMENT out\nEND PROCSEND\n"
                              "SCENARIO A\nSEND (p1, c1)\nWAITTIL (MATCHED(p1, c1), WTIME > 10)\nEND SCENARIO\n"
                              "SCENARIO B\nWAITTIL (MATCHED(p1, c1), WTIME > 10)\nEND SCENARIO\n",
                              "typedef struct { int a; } Ping;\n");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    const std::string header = numbered(a, ProbeMode::Default).probe_header;
    const char* lines[] = {"#define KVR_TDC_Sscn ", "#undef KVR_TDC_Sscn\n#define KVR_TDC_Sscn ",
                           "#undef KVR_TDC_RECV_Ping_c1\n#define KVR_TDC_RECV_Ping_c1 ",
                           "#define KVR_TDC_DEFM_Ping 0\n", "#define KVR_TDC_EVT_Ping ",
                           "#define KVR_TDC_CH_c1 "};
    for (const char* line : lines) EXPECT_NE(header.find(line), std::string::npos) << line;
    const Entry* send = a.find(E_SEND, "");
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(a.model.last_send_code, send->event_code);
    EXPECT_GT(a.model.last_id_code, a.model.last_send_code);
    EXPECT_NE(header.find("#define KVR_TDC_LAST_ID " + std::to_string(a.model.last_id_code) + "\n"),
              std::string::npos);
    ASSERT_EQ(a.model.probe_records.size(), 3u);
    EXPECT_TRUE(a.model.probe_records[0].send);
    EXPECT_STREQ(a.model.probe_records[2].channel, "c1");

    Analysed quiet = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int z;\nSCENARIO A\nEXIT\nEND SCENARIO\n");
    ASSERT_EQ(quiet.errors, 0u) << quiet.messages;
    const std::string plain = numbered(quiet, ProbeMode::Custom).probe_header;
    EXPECT_NE(plain.find("#define KVR_TDC_LAST_SEND 0\n#define KVR_TDC_LAST_ID 0\n"), std::string::npos);
    EXPECT_EQ(numbered(quiet).probe_header, "");
}

TEST(EventCodes, QuotingAndTheLineLimit) {
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int z;\nSCENARIO A\nEXIT\nEND SCENARIO\n");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    const std::string table = numbered(a, ProbeMode::None, "", "zerizevar \"odd\nname\".zod").table;
    EXPECT_NE(table.find("\nG0 \"zerizevar \"\"odd name\"\".zod\"\n"), std::string::npos);
    EXPECT_EXIT(numbered(a, ProbeMode::None, "", std::string(4100, 'x')), testing::ExitedWithCode(9), "SIZBUFOVL");
}

// Codes stored first, texts made after (as beside the C generator): the same
// codes, the same TDC text, probe header and report structure as the one
// pass, and the text steps change nothing in the model.
TEST(EventCodes, StoredFirstThenTextsGiveTheSame) {
    const std::string script =
        "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice, Bob\nCOMMTYPE L IS int\nCHANNEL L : c1\n"
        "MESSAGE Ping : p1\n"
        "CALLBACK Ping : m ON L : id\nIF (id > 0) THEN\nMESSAGE_DATE\nELSE\nNO_MESSAGE\nEND IF\nEND CALLBACK\n"
        "PROCSEND Ping : m ON L : id\nCOMMENT out\nEND PROCSEND\n"
        "PROC setup(int n)\nRENDEZVOUS r_setup\nEND PROC\n"
        "SCENARIO A LOOP 2\nFAMILY f\nINITIALIZATION setup(1)\n"
        "SCENARIO A1\nDEF_MESSAGE p1, EV = { 3, { 0..1 => 7 } }\nSEND (p1, c1)\n"
        "WAITTIL (MATCHED(p1, c1), WTIME > 10)\nVAR x, EV = 2\nINTERSEND (\"hi\", \"Bob\")\nEND SCENARIO\n"
        "END SCENARIO\n";
    const std::string header = "typedef struct { int a; int t[2]; } Ping;\nint x;\n";
    for (ProbeMode probe : {ProbeMode::None, ProbeMode::Default}) {
        Analysed a = analyse_text(script, header);
        ASSERT_EQ(a.errors, 0u) << a.messages;
        store_event_codes(sources_of(a, probe), a.model);
        store_report_numbers(a.parsed.files, a.model.root);
        const std::string stored = dump_model(a.model);
        const std::size_t records = a.model.probe_records.size();
        const EventCodeTexts two = event_code_texts(sources_of(a, probe), a.model);
        const std::string structure = report_structure_text(a.parsed.files, a.model.root, kDate, 42);
        EXPECT_EQ(dump_model(a.model), stored);

        const EventCodeTexts one = number_events(sources_of(a, probe), a.model);
        EXPECT_EQ(two.table, one.table);
        EXPECT_EQ(two.probe_header, one.probe_header);
        EXPECT_EQ(structure, format_report_structure(a.parsed.files, a.model.root, kDate, 42));
        EXPECT_EQ(dump_model(a.model), stored);
        EXPECT_EQ(a.model.probe_records.size(), records);
        EXPECT_NE(one.table.find("\nZ"), std::string::npos);  // the block quotes its procedure
    }
}

// Long texts handed over in pieces as they grow: each piece whole lines of
// the piece size at least, and the pieces with the rest the whole text.
TEST(EventCodes, LongTextsInPieces) {
    std::string script = "HEADER \"a\", \"b\", \"c\"\n# int z;\n";
    for (int i = 0; i < 4000; ++i)
        script += "SCENARIO s" + std::to_string(i) + "\nRENDEZVOUS r" + std::to_string(i) + "\nVAR z, EV = " +
                  std::to_string(i) + "\nEND SCENARIO\n";
    Analysed a = analyse_text(script);
    ASSERT_EQ(a.errors, 0u) << a.messages;
    store_event_codes(sources_of(a), a.model);
    store_report_numbers(a.parsed.files, a.model.root);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::string> pieces;
        const TextPieces take = [&](std::string&& piece) { pieces.push_back(std::move(piece)); };
        std::string text = pass == 0 ? event_code_texts(sources_of(a), a.model, take).table
                                     : report_structure_text(a.parsed.files, a.model.root, kDate, 42, take);
        ASSERT_GE(pieces.size(), 1u) << pass;
        std::string joined;
        for (const std::string& piece : pieces) {
            EXPECT_GE(piece.size(), kTextPiece);
            EXPECT_EQ(piece.back(), '\n');
            joined += piece;
        }
        joined += text;
        EXPECT_EQ(joined, pass == 0 ? number_events(sources_of(a), a.model).table
                                    : format_report_structure(a.parsed.files, a.model.root, kDate, 42))
            << pass;
    }
}

}  // namespace
}  // namespace zv::test
