// WAITTIL in the generated driver: the wait function of the worked head, and
// the wait statement's shape where the script changes it: one poll block per
// channel a type is expected on, the id loop left out for a single-connection
// communication type, a wait without state checks, and the stored codes and
// report ids that the statement quotes.
#include "codegen/emitter.h"
#include "codegen/waits.h"
#include "outputs/event_codes.h"
#include "outputs/report_structure.h"
#include "test_semantic_support.h"

namespace zv::test {
namespace {

const char* kHeader = "typedef struct { int a; } Ping;\n";
const std::string kDeclarations =
    "HEADER \"a\", \"b\", \"c\"\nCOMMTYPE L IS int\nCHANNEL L : c1, c2\nMESSAGE Ping : p1\n"
    "CALLBACK Ping : m ON L : id\nIF (id > 0) THEN\nMESSAGE_DATE\nELSE\nNO_MESSAGE\nEND IF\nEND CALLBACK\n";

struct Written {
    Analysed a;
    std::string function, statement;
};

Written wait_of(const std::string& scenario, bool single_connection = false) {
    Written w{analyse_text(kDeclarations + scenario, kHeader), {}, {}};
    EXPECT_EQ(w.a.errors, 0u) << w.a.messages;
    if (!w.a.model.root) return w;
    number_events({"t.zod", w.a.parsed.files, "", "d", 7, "1.0.0", "", w.a.model.instance_mode, TraceLevel::None,
                   ProbeMode::None, ""},
                  w.a.model);
    format_report_structure(w.a.parsed.files, w.a.model.root, "d", 7);
    if (single_connection)
        static_cast<CommTypeDescriptor*>(w.a.find(E_COMM_TYPE, "L")->descriptor)->single_connection = true;
    const Entry* wait = w.a.find(E_WAIT, "");
    Emitter f(w.function), s(w.statement);
    write_wait_function(f, wait);
    write_wait_statement(s, wait, polling_order(w.a.model.root));
    EXPECT_EQ(s.level(), 0);
    return w;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CodegenWaits, WaitFunctionAdvancesTheClockUntilAConditionHolds) {
    const Written w = wait_of("SCENARIO A\nDEF_MESSAGE p1, EV = {1}\nWAITTIL (MATCHED(p1, c1), WTIME > 10)\nEND SCENARIO\n");
    EXPECT_EQ(w.function,
              "static KVR_T_INT kvr_WAIT_0 KVR_DP (( kvr_ctx, kvr_exprOK,kvr_exprKO,kvr_wtime_0)) KVR_BP\n"
              "KVR_PT_CTX kvr_ctx KVR_SP\n"
              "KVR_T_INT * kvr_exprOK KVR_SP\n"
              "KVR_T_INT * kvr_exprKO KVR_SP\n"
              "KVR_T_UTIME kvr_wtime_0 KVR_EP\n"
              " {\n"
              "  KVR_T_INT kvr_ret=0;\n"
              "  do\n"
              "   {\n"
              "    if ((*kvr_exprKO = (WTIME > 10)))\n"
              "     {\n"
              "      kvr_ret=1;\n"
              "     }\n"
              "    if ((*kvr_exprOK = (KVR_MATCHED_2(kvr_msg_Ping[0],kvr_state_channel[0][0]))))\n"
              "     {\n"
              "      kvr_ret=1;\n"
              "     }\n"
              "    if (kvr_wtime <= kvr_wtime_0)\n"
              "     {\n"
              "      kvr_wtime++;\n"
              "     }\n"
              "   }\n"
              "  while ((kvr_wtime<=kvr_wtime_0)&&(!kvr_ret));\n"
              "  kvr_wtime = kvr_wtime_0;\n"
              "  return kvr_ret;\n"
              " }\n");
}

TEST(CodegenWaits, StatementQuotesTheStoredCodesAndIds) {
    const Written w = wait_of("SCENARIO A\nDEF_MESSAGE p1, EV = {1}\nWAITTIL (MATCHED(p1, c1), WTIME > 10)\nEND SCENARIO\n");
    const Entry* wait = w.a.find(E_WAIT, "");
    const Entry* ping = w.a.find(E_MESSAGE_TYPE, "Ping");
    const Entry* c1 = w.a.find(E_CHANNEL, "c1");
    const Entry* match = wait->descriptor->sub_scope->first;
    const std::string ctx = "&(kvr_ctx->kvr_ctxrun)";
    const std::string code = std::to_string(wait->event_code), end = std::to_string(wait->end_code);
    const std::string r = std::to_string(wait->report_number);
    ASSERT_GT(wait->report_number, 1);
    for (const std::string& line : std::vector<std::string>{
             "    kvr_nodefmsg(" + ctx + ", " + code + ");\n", "  ||(!kvr_msg_Ping[0].kvr_defNumber)\n",
          "  ||(kvr_channel_L[0].kvr_numberofId)\n", "    kvr_waittil (" + ctx + ", " + code + ");\n",
          "    kvr_begin_waittil_tsf ( " + ctx + ", " + std::to_string(wait->report_number - 1) + ", 1);\n",
          "      KVR_TIMEOUT = ( (((kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) < 10) ? (10 - (kvr_tnow - "
          "kvr_t0)/KVR_WTIME_TO_TIME) : 0);\n",
          "        kvr_cbret=kvr_Ping_ON_L(kvr_ctx,0,kvr_i);\n",
          "          kvr_evt (" + ctx + "," + std::to_string(ping->event_code) + "," + std::to_string(c1->event_code) +
              ",0,\" \");\n",
          "          kvr_waittil_tsf ( " + ctx + ", \"Ping\", " + r + ", 1);\n",
          "          kvr_endevt (" + ctx + "," + std::to_string(ping->end_code) + ");\n",
          "      kvr_state ( " + ctx + ", (KVR_MATCHED_2(kvr_msg_Ping[0],kvr_state_channel[0][0])), " +
              std::to_string(match->event_code) + ");\n      kvr_Ping_ref_msg (kvr_ctx, &(kvr_msg_Ping[0]));\n",
          "        kvr_end_waittil_tsf ( " + ctx + ", " + std::to_string(wait->report_number + 1) + ", 1, 0);\n"
          "#endif /* KVS_DYNFLW */\n        kvr_endwaittil(" + ctx + ", 0, " + end + ", \"Ping\");\n"})
        EXPECT_TRUE(has(w.statement, line)) << line;
}

TEST(CodegenWaits, PollingFollowsTheChannelsAndTheConnectionKind) {
    const std::string two = "SCENARIO A\nDEF_MESSAGE p1, EV = {1}\n"
                            "WAITTIL (MATCHED(p1, c1) || MATCHED(p1, c2), WTIME > 10)\nEND SCENARIO\n";
    const Written both = wait_of(two);
    EXPECT_TRUE(has(both.statement, "      /* CommType L */\n      /* Channel c1 */\n      /* Type message Ping */\n"));
    EXPECT_TRUE(has(both.statement, "       }\n      /* Channel c2 */\n      /* Type message Ping */\n"));
    EXPECT_TRUE(has(both.statement, "  ||(kvr_channel_L[0].kvr_numberofId)\n  ||(kvr_channel_L[1].kvr_numberofId)\n"));

    const Written single = wait_of(two, true);
    EXPECT_FALSE(has(single.statement, "for (kvr_i=0;"));
    EXPECT_TRUE(has(single.statement, "      kvr_ret = 0;\n      kvr_rio_off(&(kvr_ctx->kvr_ctxrun));\n"
                                      "      kvr_cbret=kvr_Ping_ON_L(kvr_ctx,1);\n"));
}

}  // namespace
}  // namespace zv::test
