// The communication model and the waits in the semantic model: numbering of
// message types, events, channels, DEF_MESSAGEs and waits, the generated
// TRIGGER-style channels and callbacks, connections and wait references.
// The scripts are those of the end-to-end cases, whose messages the cases check.
#include "test_semantic_support.h"

#include <fstream>
#include <sstream>

namespace zv::test {
namespace {

std::string case_file(const std::string& name, const std::string& file) {
    std::ifstream in(std::string(ZV_SOURCE_DIR) + "/tests/cases/" + name + "/" + file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Analysed analyse_case(const std::string& name) {
    return analyse_text(case_file(name, "t.zod"), case_file(name, "t.h"));
}

// The dump lines that contain `needle`, without their indentation, in order.
std::vector<std::string> lines_with(const std::string& dump, const std::string& needle) {
    std::vector<std::string> lines;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) {
        if (line.find(needle) == std::string::npos) continue;
        lines.push_back(line.substr(line.find_first_not_of(' ')));
    }
    return lines;
}

TEST(SemanticComm, ChannelStyleNumbersEverythingInDeclarationOrder) {
    const Analysed a = analyse_case("comm_clean_channels");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(lines_with(a.dump, "E_COMM_TYPE"),
              (std::vector<std::string>{
                  "50 E_COMM_TYPE \"Sock\" [126] id \"conn_t\" used 1 channels 2 multiplexing 1 number 0",
                  "50 E_COMM_TYPE \"Line\" [126] id \"conn_t\" used 1 channels 1 multiplexing 0 number 1"}));
    EXPECT_EQ(lines_with(a.dump, "E_CHANNEL"),
              (std::vector<std::string>{"49 E_CHANNEL \"link1\" [127] comm \"Sock\" index 0 used 1",
                                        "49 E_CHANNEL \"link2\" [127] comm \"Sock\" index 1 used 1",
                                        "49 E_CHANNEL \"serial\" [127] comm \"Line\" index 0 used 1"}));
    const auto events = lines_with(a.dump, "E_MESSAGE_VARIABLE");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_NE(events[0].find("\"p1\" [130] type \"Ping\" index 0"), std::string::npos);
    EXPECT_NE(events[3].find("\"p3\" [130] type \"Ping\" index 2"), std::string::npos) << events[3];
    EXPECT_NE(a.dump.find("E_MESSAGE_TYPE \"Note\" [128] number 1 events 1"), std::string::npos);
    EXPECT_NE(a.dump.find("E_CALLBACK \"Ping_ON_Sock\" [131] use 1 comm \"Sock\" type \"Ping\" counted 1 message \"m\" "
                          "ids \"ids\" count \"count\""),
              std::string::npos);
    EXPECT_NE(a.dump.find("E_PROCSEND \"Note_ON_Line_for_procsend\" [132] use 1"), std::string::npos);
    // Called from a callback body, which is no procedure body.
    EXPECT_NE(a.dump.find("E_PROCEDURE \"stamp_and_leave\" [107] use 1"), std::string::npos);
    EXPECT_EQ(lines_with(a.dump, "E_ADD_ID"),
              (std::vector<std::string>{"55 E_ADD_ID \"fd\" [134] channel \"link1\" constant 0",
                                        "55 E_ADD_ID \"3\" [134] channel \"serial\" constant 1"}));
    EXPECT_EQ(lines_with(a.dump, "E_SEND"),
              (std::vector<std::string>{
                  "2 E_SEND - [133] channel \"link2\" event \"p2\" procsend \"Ping_ON_Sock_for_procsend\" value -1",
                  "2 E_SEND - [133] channel \"serial\" event \"n1\" procsend \"Note_ON_Line_for_procsend\" value -1"}));
    EXPECT_NE(a.dump.find("E_DEFINITION_VALUE - [139] event \"p1\" number 1 outside_procedure 1"), std::string::npos);
    EXPECT_NE(a.dump.find("E_INTERSEND - [136] numeric 1 first \"fd\" second \"buf\""), std::string::npos);
    EXPECT_NE(a.dump.find("E_INTERRECV - [137] one 0 first \"buf\" second \"fd\""), std::string::npos);
    EXPECT_NE(a.dump.find("E_CLEAR_ID \"link1\" [135] channel \"link1\""), std::string::npos);
    // serial is channel 0 of the second communication type: its own row.
    EXPECT_NE(a.dump.find("E_IF \"KVR_MATCHED_1(kvr_msg_Ping[0])||KVR_NOTMATCHING_2(kvr_msg_Note[0],"
                          "kvr_state_channel[1][0])\""),
              std::string::npos);
    EXPECT_NE(a.dump.find("E_WHILE \"KVR_NOTMATCHED_2(kvr_msg_Ping[2],kvr_state_channel[0][1])\""),
              std::string::npos);

    const auto waits = lines_with(a.dump, "E_WAIT ");
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_EQ(waits[1],
              "12 E_WAIT - [142] number 1 success \"KVR_MATCHED_1(kvr_msg_Ping[0])||KVR_MATCHED_2(kvr_msg_Note[0],"
              "kvr_state_channel[1][0])\" failure \"WTIME > 300\" limit \"300\" shown \"MATCHED(p1)||MATCHED(n1,"
              "serial)\" / \"WTIME > 300\" referenced 1");
    // Connections without duplicates: the first wait's, then the second's.
    EXPECT_EQ(lines_with(a.dump, "E_CONNECTION"),
              (std::vector<std::string>{
                  "9 E_CONNECTION - [144] event \"p1\" channel \"link1\" callback \"Ping_ON_Sock\"",
                  "9 E_CONNECTION - [144] event \"p1\" channel \"link1\" callback \"Ping_ON_Sock\"",
                  "9 E_CONNECTION - [144] event \"p1\" channel \"link2\" callback \"Ping_ON_Sock\"",
                  "9 E_CONNECTION - [144] event \"n1\" channel \"serial\" callback \"Note_ON_Line\""}));
    // References go to the head of the root scope, the latest first.
    EXPECT_EQ(a.dump.rfind("58 E_WAIT_REFERENCE - [145] wait 1\n58 E_WAIT_REFERENCE - [145] wait 0\n1 E_PROGRAM", 0),
              0u);
    EXPECT_NE(a.dump.find("message_types 2 highest_channel 1 def_messages 1 waits 2"), std::string::npos);
    // The default value list applies the work variable to every field, also
    // to a character pointer.
    EXPECT_NE(a.dump.find("  defaults:\n"
                          "    23 E_VALUE \"kvr_msgrcv\" [140] use 4\n"
                          "      elements:\n"
                          "        24 E_VALUE_ELEMENT - [141] structure class 10 size 16\n"
                          "          elements:\n"
                          "            24 E_VALUE_ELEMENT \"code\" [141] scalar field \"code\" value \"kvr_msgrcv\" "
                          "class 17 size 4\n"
                          "            24 E_VALUE_ELEMENT \"text\" [141] scalar field \"text\" value \"kvr_msgrcv\" "
                          "class 17 size 8\n"),
              std::string::npos);
    // The DEF_MESSAGE record in Ping's own scope holds the same values once
    // more, for the work variable.
    EXPECT_NE(a.dump.find("  expected:\n"
                          "    45 E_DEFINITION_VALUE - [139] event \"p1\" number 1 outside_procedure 1\n"
                          "      values:\n"
                          "        23 E_VALUE \"kvr_msgrcv\" [140] use 3\n"),
              std::string::npos);
}

TEST(SemanticComm, TriggerStyleMakesAChannelAndACallbackPerMessageType) {
    const Analysed a = analyse_case("comm_clean_triggers");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    EXPECT_NE(a.dump.find("E_COMM_TYPE \"kvr_socket\" [126] id \"int\" used 1 channels 2 multiplexing 1 number 0"),
              std::string::npos);
    EXPECT_EQ(lines_with(a.dump, "E_CHANNEL"),
              (std::vector<std::string>{"49 E_CHANNEL \"kvr_v1_3_ch_0\" [127] comm \"kvr_socket\" index 0 used 1",
                                        "49 E_CHANNEL \"kvr_v1_3_ch_1\" [127] comm \"kvr_socket\" index 1 used 1"}));
    const std::string body =
        "51 E_CALLBACK \"Wrap_ON_kvr_socket\" [131] use 1 comm \"kvr_socket\" type \"Wrap\" counted 1 message "
        "\"kvr_msg\" ids \"kvr_ids\" count \"kvr_n\"\n"
        "  body:\n"
        "    13 E_C_LINE \"int fd;\"\n"
        "    6 E_COMMENT \"Entree dans le callback Wrap_ON_kvr_socket\"\n"
        "    13 E_C_LINE \"if (fd=kvr_pollevt(kvr_ids, kvr_n)) {  Wrap_Init(&kvr_msg, fd); kvr_msgdate ( "
        "&(kvr_ctx->kvr_ctxrun),0 );} else return (KVR_NO_MESSAGE);\"\n";
    EXPECT_NE(a.dump.find(body), std::string::npos) << a.dump;
    // The third TRIGGER of Ping adds an event and nothing else.
    EXPECT_EQ(lines_with(a.dump, "E_CALLBACK").size(), 2u);
    EXPECT_NE(a.dump.find("\"p3\" [130] type \"Ping\" index 2"), std::string::npos);
    EXPECT_EQ(lines_with(a.dump, "E_ADD_ID"),
              (std::vector<std::string>{"55 E_ADD_ID \"fd\" [134] channel \"kvr_v1_3_ch_0\" constant 0",
                                        "55 E_ADD_ID \"fd\" [134] channel \"kvr_v1_3_ch_1\" constant 0"}));
    EXPECT_EQ(lines_with(a.dump, "E_MESSAGE_DEFINITION"),
              (std::vector<std::string>{"44 E_MESSAGE_DEFINITION \"p1\" [138] event \"p1\" number 1",
                                        "44 E_MESSAGE_DEFINITION \"w1\" [138] event \"w1\" number 2"}));
    // Braces keep the commas of an aggregate inside one DEF_TRIGGER value.
    EXPECT_NE(a.dump.find("24 E_VALUE_ELEMENT \"inner\" [141] structure field \"inner\" class 10 size 8\n"
                          "                      elements:\n"
                          "                        24 E_VALUE_ELEMENT \"a\" [141] scalar field \"a\" value \"1\""),
              std::string::npos);
    // Operators written without a channel take the implicit one of their
    // message type; the tester reads them as written.
    EXPECT_NE(a.dump.find("success \"KVR_MATCHED_2(kvr_msg_Ping[0],kvr_state_channel[0][0])&&KVR_MATCHED_2(kvr_msg_"
                          "Wrap[0],kvr_state_channel[0][1])\" failure \"WTIME > 100\" limit \"100\" shown "
                          "\"MATCHED(p1)&&MATCHED(w1)\""),
              std::string::npos);
    EXPECT_NE(a.dump.find("limit \"20\" shown \"MATCHING(p3)\""), std::string::npos);
    EXPECT_NE(a.dump.find("message_types 2 highest_channel 2 def_messages 2 waits 2"), std::string::npos);
}

TEST(SemanticComm, RefusedWaitsTakeNoNumberAndAmbiguousOnesNoReference) {
    const Analysed a = analyse_case("wait_message_type_conflicts");
    const auto waits = lines_with(a.dump, "E_WAIT ");
    ASSERT_EQ(waits.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(waits[i].find("number " + std::to_string(i) + " "), std::string::npos) << waits[i];
    EXPECT_NE(waits[2].find("referenced 0"), std::string::npos);
    EXPECT_EQ(lines_with(a.dump, "E_WAIT_REFERENCE"),
              (std::vector<std::string>{"58 E_WAIT_REFERENCE - [145] wait 3", "58 E_WAIT_REFERENCE - [145] wait 1",
                                        "58 E_WAIT_REFERENCE - [145] wait 0"}));
}

TEST(SemanticComm, FirstDeclarationsWinAndCountersStayWithThem) {
    const Analysed a = analyse_case("comm_commtype_declarations");
    EXPECT_EQ(lines_with(a.dump, "E_COMM_TYPE"),
              (std::vector<std::string>{
                  "50 E_COMM_TYPE \"Sock\" [126] id \"conn_t\" used 1 channels 2 multiplexing 0 number 0",
                  "50 E_COMM_TYPE \"Sock\" [126] id \"conn_t\" used 0 channels 0 multiplexing 1 number 1",
                  "50 E_COMM_TYPE \"Odd\" [126] id \"no_such_t\" used 1 channels 1 multiplexing 0 number 2",
                  "50 E_COMM_TYPE \"Mux\" [126] id \"conn_t\" used 1 channels 2 multiplexing 1 number 3"}));
    EXPECT_EQ(lines_with(a.dump, "E_CHANNEL"),
              (std::vector<std::string>{"49 E_CHANNEL \"link1\" [127] comm \"Sock\" index 0 used 1",
                                        "49 E_CHANNEL \"link2\" [127] comm \"Sock\" index 1 used 1",
                                        "49 E_CHANNEL \"odd1\" [127] comm \"Odd\" index 0 used 1",
                                        "49 E_CHANNEL \"mux1\" [127] comm \"Mux\" index 0 used 0",
                                        "49 E_CHANNEL \"mux3\" [127] comm \"Mux\" index 1 used 1"}));
    EXPECT_EQ(lines_with(a.dump, "E_CLEAR_ID"),
              (std::vector<std::string>{"56 E_CLEAR_ID \"nowhere\" [135] channel -",
                                        "56 E_CLEAR_ID \"lost1\" [135] channel -",
                                        "56 E_CLEAR_ID \"mux2\" [135] channel -",
                                        "56 E_CLEAR_ID \"mux3\" [135] channel \"mux3\"",
                                        "56 E_CLEAR_ID \"link2\" [135] channel \"link2\""}));
}

TEST(SemanticComm, TimeLimitIsTheRunAfterTheFirstComparisonOfWtime) {
    const struct {
        const char* failure;
        const char* success;
        const char* limit;
    } cases[] = {
        {"WTIME > 500", "", "500"},
        {"WTIME >= (t+5)", "", "t+5"},
        {"WTIME>=  ((t*2)+5) && x", "", "t*2"},
        {"WTIME > 5 0", "", "5"},
        {"WTIME < 5 || WTIME > 7", "", "0"},
        {"x > 3", "WTIME == 8", "8"},
        {"WTIME > 0", "y", "0"},
        {"", "", "0"},
    };
    for (const auto& c : cases) {
        const Analysed a = analyse_text(std::string("HEADER \"a\", \"b\", \"c\"\n# int t, x, y;\nSCENARIO s\n"
                                                    "WAITTIL (") + c.success + ", " + c.failure +
                                        ")\nEND SCENARIO\n");
        const auto waits = lines_with(a.dump, "E_WAIT ");
        ASSERT_EQ(waits.size(), 1u) << a.messages;
        EXPECT_NE(waits[0].find(std::string("limit \"") + c.limit + "\""), std::string::npos)
            << c.failure << " / " << c.success << ": " << waits[0];
    }
}

}  // namespace
}  // namespace zv::test
