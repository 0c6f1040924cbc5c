// The context part of the generated driver, its two initialisation functions
// and the static context, as whole texts for models of analysed scripts: the
// simplest script, a message type with a communication type, and a message
// type holding a union next to a file-level timer.
#include "codegen/context_part.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/init_functions.h"
#include "driver/run_settings.h"
#include "test_semantic_support.h"

namespace zv::test {
namespace {

constexpr const char* kHeader =
    "typedef int conn_t;\n"
    "typedef struct { int id; int qty; } Order;\n"
    "typedef union { int i; float f; } Num;\n"
    "typedef struct { int kind; Num n; } Cmd;\n";

constexpr const char* kAccessMacros =
    "#define kvr_filter (kvr_ctx->kvr_ctxrun.kvr_ctxfilter)\n"
    "#define KVR_NUMINSTANCE (kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)\n"
    "#define kvr_numinstance (kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)\n"
    "#define kvr_tagtsocket (kvr_ctx->kvr_ctxrun.kvr_ctxtagtsocket)\n"
    "#define kvr_testernaming (kvr_ctx->kvr_ctxrun.kvr_ctxtesternaming)\n"
    "#define kvr_tagttimeout (kvr_ctx->kvr_ctxrun.kvr_ctxtagttimeout)\n"
    "#define kvr_tagtcommactivated (kvr_ctx->kvr_ctxrun.kvr_ctxtagtcommactivated)\n"
    "#define KVR_OCCID (kvr_ctx->kvr_ctxrun.kvr_ctxoccid)\n"
    "#define kvr_flagrt (kvr_ctx->kvr_ctxflagrt)\n"
    "#define kvr_wtime (kvr_ctx->kvr_ctxrun.kvr_ctxwtime)\n"
    "#define kvr_lwait (kvr_ctx->kvr_ctxrun.kvr_ctxlwait)\n"
    "#define KVR_TIMEOUT (kvr_ctx->kvr_ctxrun.kvr_ctxtimeout)\n"
    "#define kvr_rcvtime (kvr_ctx->kvr_ctxrun.kvr_ctxrcvtime)\n"
    "#define kvr_logdate (kvr_ctx->kvr_ctxrun.kvr_ctxlogdate)\n";

constexpr const char* kTimeBefore = "#undef TIME\n#define TIME(x) 0\n";
constexpr const char* kTimeAfter = "#undef TIME\n#define TIME(X)  (kvr_time(&(kvr_ctx->timer[(X)].timer)))\n";
constexpr const char* kInitStatesHead =
    "static void kvr_initstates  KVR_DP (( kvr_ctx)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_EP\n {\n"
    "  KVR_T_INT kvr_i,kvr_j,kvr_k;\n";
constexpr const char* kInitCtxHead =
    " }\n\nstatic void kvr_initctx  KVR_DP (( kvr_ctx)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_EP\n {\n"
    "  KVR_T_INT kvr_i;\n";

// The context part, the initialisation functions and the static context of
// a script analysed against kHeader.
std::string frame_of(const std::string& script, const RunSettings& settings = {}) {
    const Analysed a = analyse_text(script, kHeader);
    EXPECT_EQ(a.errors, 0u) << a.messages;
    if (!a.model.root) return {};
    std::string text;
    Emitter out(text);
    const DriverSources sources{settings, a.parsed.files, a.model, "t.c", "t.rio", "", ""};
    write_context_part(out, sources);
    write_init_functions(out, sources);
    write_static_context(out, settings);
    EXPECT_EQ(out.level(), 0);
    return text;
}

TEST(DriverContext, SimplestScriptHasOnlyTheRuntimeMembers) {
    EXPECT_EQ(frame_of("HEADER \"t\", \"1\", \"x\"\n@int x;\nSCENARIO A\n  @x = 1;\nEND SCENARIO\n"),
              std::string(kTimeBefore) + "int x;\n" +
                  "#define KVR_K_MAX_COMT 1\n#define KVR_K_MAX_CHAN 1\n#define KVR_K_MAX_MSGT 0\n" + kAccessMacros +
                  "typedef struct\n {\n  KVR_T_RUNCTX kvr_ctxrun;\n  KVR_T_INT kvr_ctxflagrt;\n }\n"
                  "KVR_T_CTX, *KVR_PT_CTX ;\n" +
                  kTimeAfter + kInitStatesHead + kInitCtxHead + " }\nstatic KVR_T_CTX kvr_ctxst;\n");
}

// Expected pieces that recur per message type T: its record types, the three
// macros of one of its variables, and its loops in the two initialisation
// functions.
std::string record_of(const std::string& t) {
    return "typedef struct kvr_s_T_MSG_" + t + "\n {\n  KVR_T_INT kvr_defNumber;\n  " + t + " kvr_MsgRef;\n  " + t +
           " kvr_MsgMin;\n  " + t + " kvr_MsgMax;\n  KVR_T_INT kvr_state;\n  KVR_T_INT kvr_stateok;\n"
           "  KVR_T_INT kvr_stateko;\n  KVR_T_INT kvr_state_channel[KVR_K_MAX_COMT][KVR_K_MAX_CHAN];\n }\nKVR_T_" +
           t + ", *KVR_PT_" + t + ";\ntypedef KVR_T_" + t + " KVR_T_MSG_" + t + "[KVR_K_MSG_" + t + "];\n";
}
std::string variable_macros(const std::string& v, const std::string& slot) {
    return "#define " + v + " " + slot + ".kvr_MsgRef\n#define kvr_Min_" + v + " " + slot + ".kvr_MsgMin\n#define kvr_Max_" +
           v + " " + slot + ".kvr_MsgMax\n";
}
std::string states_of(const std::string& t) {
    const std::string m = "kvr_msg_" + t + "[kvr_i].";
    return "  for (kvr_i=0; kvr_i<KVR_K_MSG_" + t + "; kvr_i++)\n   {\n    " + m + "kvr_state=KVR_NOEVT;\n    " + m +
           "kvr_stateok=0;\n    " + m + "kvr_stateko=0;\n    for (kvr_j=0; kvr_j<KVR_K_MAX_COMT; kvr_j++)\n     {\n"
           "      for (kvr_k=0; kvr_k<KVR_K_MAX_CHAN; kvr_k++)\n       {\n        " + m +
           "kvr_state_channel[kvr_j][kvr_k]=KVR_NOEVT;\n       }\n     }\n   }\n";
}
std::string definitions_of(const std::string& t) {
    return "  for (kvr_i=0;kvr_i<KVR_K_MSG_" + t + ";kvr_i++)\n   {\n    kvr_msg_" + t +
           "[kvr_i].kvr_defNumber=0;\n   }\n";
}

TEST(DriverContext, MessageTypeAndCommunicationTypeInDeclarationOrder) {
    RunSettings stack;
    stack.allocation = Allocation::Stack;
    stack.trace = TraceLevel::Circular;  // the entry allocates the buffer too
    EXPECT_EQ(frame_of("HEADER \"t\", \"1\", \"x\"\nMESSAGE Order : o1, o2\nCOMMTYPE Link IS conn_t\n"
                       "CHANNEL Link : link1\nSCENARIO A\nCOMMENT c\nEND SCENARIO\n",
                       stack),
              std::string(kTimeBefore) + "#define KVR_K_MAX_COMT 1\n#define KVR_K_MAX_CHAN 1\n#define KVR_K_MAX_MSGT 1\n" +
                  "#define KVR_K_MSG_Order 2\n" + record_of("Order") +
                  "#define KVR_K_CHAN_Link 1\ntypedef struct kvr_s_T_CHAN_Link\n {\n"
                  "  conn_t kvr_connexionId[KVR_K_ID_SIZE];\n  KVR_T_INT kvr_numberofId;\n"
                  "  KVR_T_INT kvr_msg[KVR_K_MAX_MSGT];\n }\nKVR_T_CHAN_Link, *KVR_PT_CHAN_Link;\n"
                  "typedef KVR_T_CHAN_Link KVR_T_COMM_Link[KVR_K_CHAN_Link];\n" + kAccessMacros +
                  "#define kvr_msg_Order (kvr_ctx->kvr_ctxOrder)\n#define kvr_Order_rcv (kvr_ctx->kvr_ctxOrder_rcv)\n"
                  "#define kvr_Order_send (kvr_ctx->kvr_ctxOrder_send)\n" +
                  variable_macros("o1", "kvr_msg_Order[0]") + variable_macros("o2", "kvr_msg_Order[1]") +
                  "#define kvr_channel_Link (kvr_ctx->kvr_ctxLink)\n#define link1 kvr_state_channel[0][0]\n"
                  "typedef struct\n {\n  KVR_T_RUNCTX kvr_ctxrun;\n  KVR_T_INT kvr_ctxflagrt;\n"
                  "  KVR_T_MSG_Order kvr_ctxOrder;\n  Order kvr_ctxOrder_rcv;\n  Order *kvr_ctxOrder_send;\n"
                  "  KVR_T_COMM_Link kvr_ctxLink;\n }\nKVR_T_CTX, *KVR_PT_CTX ;\n" +
                  kTimeAfter + kInitStatesHead + states_of("Order") + kInitCtxHead + definitions_of("Order") +
                  "  for (kvr_i=0;kvr_i<KVR_K_CHAN_Link;kvr_i++)\n   {\n"
                  "    kvr_channel_Link[kvr_i].kvr_numberofId = 0;\n   }\n }\n");
}

TEST(DriverContext, UnionSelectorTimerAndTraceBuffer) {
    RunSettings circular;
    circular.trace = TraceLevel::Circular;
    EXPECT_EQ(frame_of("HEADER \"t\", \"1\", \"x\"\n# int counter;\nTIMER t1\nMESSAGE Cmd : c1\n"
                       "SCENARIO A\nCOMMENT c\nEND SCENARIO\n",
                       circular),
              std::string(kTimeBefore) + " int counter;\n" +
                  "#define KVR_K_MAX_COMT 1\n#define KVR_K_MAX_CHAN 1\n#define KVR_K_MAX_MSGT 1\n"
                  "int t1=0;\n#define KVR_K_MSG_Cmd 1\n" + record_of("Cmd") + kAccessMacros +
                  "#define kvr_msg_Cmd (kvr_ctx->kvr_ctxCmd)\n#define kvr_Cmd_rcv (kvr_ctx->kvr_ctxCmd_rcv)\n"
                  "#define KVR_Cmd (kvr_ctx->kvr_ctxsel_Cmd)\n#define kvr_Cmd_send (kvr_ctx->kvr_ctxCmd_send)\n" +
                  variable_macros("c1", "kvr_msg_Cmd[0]") +
                  "typedef struct\n {\n  KVR_T_RUNCTX kvr_ctxrun;\n  KVR_T_INT kvr_ctxflagrt;\n"
                  "  KVR_T_MSG_Cmd kvr_ctxCmd;\n  Cmd kvr_ctxCmd_rcv;\n"
                  // The selector declaration is copied whole, its own line ends included.
                  "  struct {\nstruct {\nint select;\n\n}n;\n\n}kvr_ctxsel_Cmd;\n\n"
                  "  Cmd *kvr_ctxCmd_send;\n  KVR_T_TIMER timer[1];\n }\nKVR_T_CTX, *KVR_PT_CTX ;\n" +
                  kTimeAfter + kInitStatesHead + states_of("Cmd") + kInitCtxHead +
                  "  kvr_get_date(&(kvr_ctx->timer[0].timer));\n" + definitions_of("Cmd") +
                  " }\nstatic KVR_T_CTX kvr_ctxst;\nstatic KVR_T_CAR kvr_ctxbuffertracest[10240];\n");
}

// Neither a communication type without channels nor one in a script without
// message types may declare an array of no element.
TEST(DriverContext, EmptyArraysGetOneElement) {
    const std::string text =
        frame_of("HEADER \"t\", \"1\", \"x\"\nCOMMTYPE Idle IS conn_t\nSCENARIO A\nCOMMENT c\nEND SCENARIO\n");
    EXPECT_NE(text.find("#define KVR_K_MAX_MSGT 0\n#define KVR_K_CHAN_Idle 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  KVR_T_INT kvr_msg[1];\n"), std::string::npos) << text;
    EXPECT_NE(text.find("typedef KVR_T_CHAN_Idle KVR_T_COMM_Idle[1];\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// -NOTSHARED: every file-level variable of the script becomes a member; a
// variable named by SHARE keeps its global meaning (no macro), and a type
// that cannot be written around a new name falls back to int.
TEST(DriverContext, NotSharedMovesTheScriptVariablesIntoTheContext) {
    RunSettings settings;
    settings.not_shared = true;
    settings.allocation = Allocation::Stack;
    const std::string text = frame_of("HEADER \"t\", \"1\", \"x\"\n# int fd;\n# static char st[4];\n"
                                      "# int (*hook)(int);\nSHARE st\nSCENARIO A\n  @fd = 1;\nEND SCENARIO\n",
                                      settings);
    EXPECT_NE(text.find(" int (*hook)(int);\n#define fd (kvr_ctx->kvr_ctxfd)\n#define hook (kvr_ctx->kvr_ctxhook)\n"
                        "#define KVR_K_MAX_COMT 1\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("#define st "), std::string::npos);
    EXPECT_NE(text.find("  KVR_T_INT kvr_ctxflagrt;\n  int kvr_ctxfd;\n  char kvr_ctxst[4];\n  int kvr_ctxhook;\n }\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// Channels of two communication types with the same index keep separate
// states: one row of the state table per communication type.
TEST(DriverContext, EachCommunicationTypeHasItsOwnRowOfChannelStates) {
    const std::string text = frame_of("HEADER \"t\", \"1\", \"x\"\nCOMMTYPE A IS conn_t\nCOMMTYPE B IS conn_t\n"
                                      "CHANNEL A : a0\nCHANNEL B : b0\nSCENARIO S\nEXIT\nEND SCENARIO\n");
    EXPECT_NE(text.find("#define KVR_K_MAX_COMT 2\n#define KVR_K_MAX_CHAN 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("#define a0 kvr_state_channel[0][0]\n#define b0 kvr_state_channel[1][0]\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace zv::test
