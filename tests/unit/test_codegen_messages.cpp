// The message functions of a message type with events in the generated
// driver: the reference trace per definition number, the comparison with its
// verdict kept in the variable's state, and the dump of a received message.
#include "codegen/emitter.h"
#include "codegen/message_functions.h"
#include "outputs/event_codes.h"
#include "test_semantic_support.h"

namespace zv::test {
namespace {

TEST(CodegenMessages, ReferenceComparisonAndDumpOfOneType) {
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\nCOMMTYPE L IS int\nCHANNEL L : c1\nMESSAGE Ping : p1\n"
                              "CALLBACK Ping : m ON L : id\nIF (id > 0) THEN\nMESSAGE_DATE\nELSE\nNO_MESSAGE\nEND IF\n"
                              "END CALLBACK\nSCENARIO A\nDEF_MESSAGE p1, EV = {7}\n"
                              "WAITTIL (MATCHED(p1, c1), WTIME > 10)\nEND SCENARIO\n",
                              "typedef struct { int a; } Ping;\n");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    number_events({"t.zod", a.parsed.files, "", "d", 7, "1.0.0", "", a.model.instance_mode, TraceLevel::None,
                   ProbeMode::None, ""},
                  a.model);
    const Entry* ping = a.find(E_MESSAGE_TYPE, "Ping");
    const auto* d = static_cast<const MessageTypeDescriptor*>(ping->descriptor);
    const Entry* definition = d->sub_scope->first;
    const Entry* value = definition->descriptor->sub_scope->first;
    const Entry* field = value->descriptor->sub_scope->first->descriptor->sub_scope->first;
    const Entry* defaults = d->defaults->first;
    const Entry* default_field = defaults->descriptor->sub_scope->first->descriptor->sub_scope->first;
    std::string text;
    Emitter out(text);
    write_message_functions(out, ping);
    EXPECT_EQ(out.level(), 0);
    const auto n = [](int v) { return std::to_string(v); };
    const std::string ctx = "&(kvr_ctx->kvr_ctxrun)";
    for (const std::string& part : std::vector<std::string>{
             "static void kvr_Ping_ref_msg KVR_DP (( kvr_ctx, kvr_msg_ref)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_SP\n"
             "KVR_PT_Ping kvr_msg_ref KVR_EP\n {\n#define kvr_msgrcv (kvr_msg_ref->kvr_MsgRef)\n"
             "#define kvr_msgMin (kvr_msg_ref->kvr_MsgMin)\n#define kvr_msgMax (kvr_msg_ref->kvr_MsgMax)\n"
             "  switch(kvr_msg_ref->kvr_defNumber)\n   {\n    case 1:\n     {\n      kvr_def_msg(" + ctx + "," +
                 n(definition->event_code) + ");\n      kvr_var ( " + ctx + "," + n(value->event_code) + " );\n",
             "      kvr_var ( " + ctx + "," + n(value->end_code) + " );\n      break;\n     }\n   }\n"
             "#undef kvr_msgrcv\n#undef kvr_msgMin\n#undef kvr_msgMax\n }\n",
             "static KVR_T_INT kvr_Ping_cmp_msg KVR_DP (( kvr_ctx, kvr_msg_ref,msg_rcv)) KVR_BP\n"
             "KVR_PT_CTX kvr_ctx KVR_SP\nKVR_PT_Ping kvr_msg_ref KVR_SP\nPing * msg_rcv KVR_EP\n {\n"
             "  KVR_T_INT kvr_ret;\n#define kvr_msgrcv (*msg_rcv)\n#define kvr_msgref (kvr_msg_ref->kvr_MsgRef)\n",
             "  kvr_cmp(" + ctx + ");\n  switch(kvr_msg_ref->kvr_defNumber)\n   {\n    case 1:\n     {\n",
             "  kvr_ret=kvr_cmp(" + ctx + ");\n  kvr_msg_ref->kvr_state = kvr_ret?KVR_EVTOK:KVR_EVTKO;\n"
             "  if (kvr_msg_ref->kvr_state == KVR_EVTOK)\n   {\n    kvr_msg_ref->kvr_stateok = 1;\n"
             "    kvr_memcpy(&(kvr_msg_ref->kvr_MsgRef),msg_rcv,sizeof(Ping));\n   }\n"
             "  else kvr_msg_ref->kvr_stateko = 1;\n  return(kvr_ret);\n#undef kvr_msgrcv\n#undef kvr_msgref\n",
             "static void kvr_Ping_dump_msg KVR_DP (( kvr_ctx, kvr_msg_to_dump)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_SP\n"
             "Ping * kvr_msg_to_dump KVR_EP\n {\n#define kvr_msgrcv (*kvr_msg_to_dump)\n  kvr_var ( " + ctx + "," +
                 n(defaults->event_code) + " );\n",
             "#undef kvr_msgrcv\n }\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n---\n" << text;
    EXPECT_NE(text.find("," + n(field->event_code) + ", (KVR_T_INT) kvr_msgrcv.a,"), std::string::npos) << text;
    EXPECT_NE(text.find(n(default_field->event_code)), std::string::npos);
}

}  // namespace
}  // namespace zv::test
