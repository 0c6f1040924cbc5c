// The probe form of the generated C, as whole texts for one small model: two
// message types (one with a union selector), sends and waits with a wait pair
// seen twice and a wait on two pairs, and one verbatim C line of each kind at
// file level.
#include "codegen/emitter.h"
#include "codegen/probe_decoder.h"
#include "codegen/driver_header.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

struct ProbeModel {
    SemanticModel model;
    RunSettings settings;
    std::vector<ScriptFileRecord> files;

    explicit ProbeModel(bool with_records) {
        model.tables = std::make_unique<SemanticTables>();
        model.root = model.tables->root();
        add(E_C_LINE, "int not_in_the_decoder;");
        add_type("Ping", nullptr);
        add_type("Shape", "struct { int select; } kvr_ctxsel_Shape;");
        add(E_C_LINE_AT, "#define PROBE_LEVEL 2");
        if (with_records)
            model.probe_records = {{true, "Ping", "link", 10},
                                   {false, "Ping", "link", 12},
                                   {false, "Shape", "serial", 13},
                                   {false, "Ping", "link", 14},
                                   {false, "Shape", "link", 14},  // the same wait: no label of its own
                                   {true, "Shape", "serial", 11}};
        settings.interface_files = {"t.h"};
    }
    Entry* add(int kind, const char* name) {
        return model.tables->append_entry(model.root, kind, name, "t.zod", 1, 1, nullptr);
    }
    void add_type(const char* name, const char* selection) {
        Entry* e = add(E_MESSAGE_TYPE, name);
        model.tables->attach_descriptor<MessageTypeDescriptor>(e, D_MESSAGE_TYPE)->selection = selection;
    }
    std::string decoder(ProbeMode mode) {
        settings.probe = mode;
        const DriverSources sources{settings, files, model, "p.c", "p.rio", "Tue Dec  8 12:00:00 2026", "2.1"};
        std::string text;
        Emitter out(text);
        write_probe_decoder(out, sources, "p.h");
        return text;
    }
    std::string tail(ProbeMode mode) {
        std::string text;
        Emitter out(text);
        write_probe_header_tail(out, model, mode);
        return text;
    }
};

constexpr const char* kTailMacros =
    "#ifdef USE_KVS\n#undef USE_KVS\n#endif\n#define USE_KVS 1\n#include \"TP.h\"\n";
constexpr const char* kConcat =
    "#define korva_concat(a,b) a##b\n"
    "#define korva_concat_3(a,b,c) a##b##c\n"
    "#define korva_concat_4(a,b,c,d) a##b##c##d\n"
    "#define korva_concat_6(a,b,c,d,e,f) a##b##c##d##e##f\n"
    "#define kvr_start_trace(path,instance,p1) kvr_create_probe((path),(instance),(p1))\n";
constexpr const char* kSendRecv =
    "#define kvr_send_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_SEND_,type,_,name,_,"
    "dist),0,(msg),sizeof(type))\n"
    "#define kvr_recv_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),korva_concat_6(KVR_TDC_RECV_,type,_,name,_,"
    "dist),0,(msg),sizeof(type))\n"
    "#define kvr_format_trace(...)\n";
constexpr const char* kCreateWrite =
    "extern KVR_CTX_PRB kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1);\n"
    "extern void kvr_write_probe (KVR_CTX_PRB ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg);\n";

TEST(ProbeHeaderTail, DefaultAndCustomWholeTexts) {
    ProbeModel m(true);
    EXPECT_EQ(m.tail(ProbeMode::Default),
              std::string("#define KVR_Shape (kvr_ctx->kvr_ctxsel_Shape)\n") + kTailMacros +
                  "typedef struct KVR_T_CTX *KVR_PT_CTX;\n#define KVR_CTX_PRB KVR_PT_CTX\n#include \"kvrdeclar.h\"\n" +
                  kConcat + "#define kvr_end_trace(ctx) kvr_stop_probe(ctx)\n" + kSendRecv +
                  "#define kvr_select_trace(ctx,code,value) kvr_set_selector((ctx),(code),(value))\n"
                  "#define kvr_dump_trace()\n" +
                  kCreateWrite +
                  "extern void kvr_stop_probe (KVR_CTX_PRB kvr_ctx);\n"
                  "extern void kvr_set_selector (KVR_CTX_PRB kvr_ctx, KVR_T_INT code, KVR_T_UINT value);\n"
                  "\n#endif\n");
    EXPECT_EQ(m.tail(ProbeMode::Custom),
              std::string("#define KVR_Shape (kvr_ctx->kvr_ctxsel_Shape)\n") + kTailMacros +
                  "#include \"probecst.h\"\n" + kConcat + "#define kvr_end_trace(ctx) kvr_end_probe(ctx)\n" + kSendRecv +
                  "#define kvr_select_trace(ctx,code,value) kvr_write_key((ctx),(code),(value))\n"
                  "#define kvr_dump_trace() kvr_dump_all_inst()\n" +
                  kCreateWrite +
                  "extern void kvr_dump_all_inst (void);\n"
                  "extern void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, "
                  "KVR_PT_CAR instName, KVR_PT_CAR other);\n"
                  "\n#endif\n");
}

constexpr const char* kOpening =
    "\n/*\n * KORVA Kestrun 2.1, preprocessor C\n * file name: p.c\n * date: Tue Dec  8 12:00:00 2026\n */\n\n\n"
    "#ifdef USE_KVS\n#undef USE_KVS\n#endif\n#define USE_KVS 1\n#include \"TP.h\"\n#include \"t.h\"\n\n"
    "#include \"p.h\"\n\n";
constexpr const char* kContext =
    "struct KVR_T_CTX\n {\n  KVR_T_RUNCTX kvr_ctxrun;\n  struct { int select; } kvr_ctxsel_Shape;\n }\n;\n";
constexpr const char* kStart =
    "static void kvr_strt_probe KVR_DP (( kvr_ctx, rioFilename,codeName)) KVR_BP\n"
    "KVR_PT_CTX kvr_ctx KVR_SP\nKVR_PT_CAR rioFilename KVR_SP\nKVR_PT_CAR codeName KVR_EP\n"
    " {\n"
    "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;\n"
    "  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe=%d;\n"
    "  kvr_set_trace_functions ( &(kvr_ctx->kvr_ctxrun) );\n"
    "  kvr_ctx->kvr_ctxrun.kvr_ctxoccid=0;\n"
    "  kvr_ctx->kvr_ctxrun.kvr_ctxlogdate=0;\n"
    "  kvr_initrio ( &(kvr_ctx->kvr_ctxrun),rioFilename ,0, 1, 0, codeName, 0,KVR_TDC_gen,\"\");\n"
    "  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),KVR_TDC_Epts, KVR_TDC_Spts , 0, 1,\"\",0,0);\n"
    "  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),KVR_TDC_Escn, KVR_TDC_Sscn ,1, 1,\"\",0,0);\n"
    " }\n\n"
    "void kvr_stop_probe KVR_DP (( kvr_ctx)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_EP\n"
    " {\n"
    "  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),0,KVR_TDC_Escn,1,1,\"\",0,0);\n"
    "  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),0, KVR_TDC_Epts, 0, 1,\"\",0,0);\n"
    "  kvr_end (&(kvr_ctx->kvr_ctxrun));\n"
    " }\n\n";

std::string start(int flag) {
    std::string text = kStart;
    text.replace(text.find("%d"), 2, std::to_string(flag));
    return text;
}

// The part of kvr_decode between its head and the first switch, `time` being
// the CUSTOM clock line or nothing.
std::string decode_opening(const std::string& time) {
    return " {\n  KVR_T_INT eevt,defmsg;\n  eevt=0;\n  defmsg=0;\n  if (kvr_code > KVR_TDC_LAST_ID)\n   {\n"
           "    kvr_set_selector(kvr_ctx,kvr_code,*((KVR_PT_UINT) kvr_msg));\n   }\n  else\n   {\n" + time +
           "    if (kvr_code <= KVR_TDC_LAST_SEND)\n     {\n      kvr_send(&(kvr_ctx->kvr_ctxrun),kvr_code,\"\");\n"
           "     }\n    else\n     {\n      kvr_waittil(&(kvr_ctx->kvr_ctxrun),kvr_code);\n      switch(kvr_code)\n"
           "       {\n";
}

constexpr const char* kDecodeClosing =
    "    if (kvr_code <= KVR_TDC_LAST_SEND)\n     {\n"
    "      kvr_end_send(&(kvr_ctx->kvr_ctxrun),0,kvr_code+KVR_TDC_END_SEND);\n     }\n    else\n     {\n"
    "      kvr_endevt(&(kvr_ctx->kvr_ctxrun),eevt);\n      kvr_def_msg(&(kvr_ctx->kvr_ctxrun),defmsg);\n"
    "      kvr_endwaittil(&(kvr_ctx->kvr_ctxrun), 0, kvr_code+KVR_TDC_END_RECV,\"\");\n     }\n   }\n }\n\n";

TEST(ProbeDecoder, DefaultWithOneCasePerWaitPairAndOneDumpPerType) {
    ProbeModel m(true);
    EXPECT_EQ(m.decoder(ProbeMode::Default),
              std::string(kOpening) + kContext + "struct KVR_T_CTX tab_global_ctx[NB_INSTANCES];\n\n" +
                  "static void kvr_decode (KVR_PT_CTX kvr_ctx, KVR_T_INT kvr_code, KVR_T_INT kvr_key, "
                  "KVR_PT_VOID kvr_msg);\n"
                  "kvr_declar;\n"
                  "static void kvr_strt_probe (KVR_PT_CTX kvr_ctx, KVR_PT_CAR rioFilename, KVR_PT_CAR codeName);\n"
                  "void kvr_Ping_dump_msg (KVR_PT_CTX kvr_ctx, Ping *kvr_msg_to_dump);\n"
                  "void kvr_Shape_dump_msg (KVR_PT_CTX kvr_ctx, Shape *kvr_msg_to_dump);\n\n"
                  "KVR_PT_CTX kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1)\n"
                  " {\n  static KVR_T_INT kvr_nextctx = 0;\n  KVR_PT_CTX kvr_ctx;\n  char name[1024];\n"
                  "  if (kvr_nextctx >= NB_INSTANCES || strlen(path) + strlen(instance) + 5 > sizeof(name))\n"
                  "   {\n    return ( (KVR_PT_CTX) 0 );\n   }\n"
                  "  kvr_ctx = &tab_global_ctx[kvr_nextctx++];\n"
                  "  sprintf(name,\"%s%s.rio\",path,instance);\n"
                  "  kvr_strt_probe(kvr_ctx,name,instance);\n"
                  "  return ( kvr_ctx );\n }\n\n"
                  "void kvr_write_probe (KVR_PT_CTX ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, "
                  "KVR_T_INT lenmsg)\n {\n  kvr_decode(ctx,code,key,msg);\n }\n\n" +
                  start(0) +
                  "static void kvr_decode KVR_DP (( kvr_ctx, kvr_code,kvr_key,kvr_msg)) KVR_BP\n"
                  "KVR_PT_CTX kvr_ctx KVR_SP\nKVR_T_INT kvr_code KVR_SP\nKVR_T_INT kvr_key KVR_SP\n"
                  "KVR_PT_VOID kvr_msg KVR_EP\n" +
                  decode_opening("") +
                  "        case KVR_TDC_RECV_Ping_link:\n"
                  "        kvr__evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Ping,KVR_TDC_CH_link);\n"
                  "        eevt=KVR_TDC_EEVT_Ping;\n        defmsg=KVR_TDC_DEFM_Ping;\n"
                  "        kvr_evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Ping,KVR_TDC_CH_link,0,\" \");\n"
                  "        break;\n"
                  "        case KVR_TDC_RECV_Shape_serial:\n"
                  "        kvr__evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Shape,KVR_TDC_CH_serial);\n"
                  "        eevt=KVR_TDC_EEVT_Shape;\n        defmsg=KVR_TDC_DEFM_Shape;\n"
                  "        kvr_evt(&(kvr_ctx->kvr_ctxrun),KVR_TDC_EVT_Shape,KVR_TDC_CH_serial,0,\" \");\n"
                  "        break;\n"
                  "       }\n     }\n"
                  "    switch(kvr_code)\n     {\n"
                  "      case KVR_TDC_SEND_Ping_link:\n      case KVR_TDC_RECV_Ping_link:\n"
                  "      kvr_Ping_dump_msg(kvr_ctx,kvr_msg);\n      break;\n"
                  "      case KVR_TDC_RECV_Shape_serial:\n      case KVR_TDC_SEND_Shape_serial:\n"
                  "      kvr_Shape_dump_msg(kvr_ctx,kvr_msg);\n      break;\n"
                  "     }\n" +
                  kDecodeClosing + "#define PROBE_LEVEL 2\n");
}

TEST(ProbeDecoder, CustomWithoutRecordsReplaysAProbeFile) {
    ProbeModel m(false);
    EXPECT_EQ(m.decoder(ProbeMode::Custom),
              std::string(kOpening) +
                  "#include \"probecst.h\"\ntypedef struct KVR_T_CTX *KVR_PT_CTX;\n"
                  "#define kvr_set_time(kvr_ctx,time) "
                  "kvr_memcpy(&(kvr_ctx->kvr_ctxrun.kvr_ctxusrdate),&time,sizeof(KVR_T_DATE))\n\n" +
                  kContext + "\n" +
                  "static void kvr_decode (KVR_PT_CTX kvr_ctx, KVR_T_DATE kvr_time, KVR_T_INT kvr_code, "
                  "KVR_T_INT kvr_key, KVR_PT_VOID kvr_msg);\n"
                  "static void kvr_strt_probe (KVR_PT_CTX kvr_ctx, KVR_PT_CAR rioFilename, KVR_PT_CAR codeName);\n\n" +
                  start(1) +
                  "static void kvr_decode KVR_DP (( kvr_ctx, kvr_time,kvr_code,kvr_key,kvr_msg)) KVR_BP\n"
                  "KVR_PT_CTX kvr_ctx KVR_SP\nKVR_T_DATE kvr_time KVR_SP\nKVR_T_INT kvr_code KVR_SP\n"
                  "KVR_T_INT kvr_key KVR_SP\nKVR_PT_VOID kvr_msg KVR_EP\n" +
                  decode_opening("    kvr_set_time(kvr_ctx,kvr_time);\n") +
                  "       }\n     }\n    switch(kvr_code)\n     {\n     }\n" + kDecodeClosing +
                  "void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, KVR_PT_CAR instName, "
                  "KVR_PT_CAR other)\n"
                  " {\n  struct KVR_T_CTX kvr_ctx;\n  KVR_T_DATE time;\n  KVR_T_INT code,key;\n  KVR_PT_VOID msg;\n"
                  "  prb_ctx=kvr_open_probe(prb_ctx,path,riofile,instName,other);\n"
                  "  kvr_init_selector(&kvr_ctx);\n"
                  "  if(kvr_read_probe(prb_ctx,&time,&code,&key,&msg))\n   {\n"
                  "    kvr_set_time((&kvr_ctx),time);\n    kvr_strt_probe(&kvr_ctx,riofile,instName);\n"
                  "    do\n     {\n      kvr_decode(&kvr_ctx,time,code,key,msg);\n     }\n"
                  "    while(kvr_read_probe(prb_ctx,&time,&code,&key,&msg));\n    kvr_stop_probe(&kvr_ctx);\n   }\n"
                  "  kvr_close_probe(prb_ctx);\n }\n\n"
                  "#define PROBE_LEVEL 2\n");
}

}  // namespace
}  // namespace zv
