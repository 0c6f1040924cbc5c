#include "codegen/probe_decoder.h"

#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zv {

namespace {

// Every runtime call of the decoder takes the run context of the decoder's own
// context structure.
constexpr const char* kRun = "&(kvr_ctx->kvr_ctxrun)";

const char* text_of(const char* text) { return text ? text : ""; }

struct Pair {
    bool send;
    std::string_view type;
    std::string_view channel;
    bool operator==(const Pair& other) const {
        return send == other.send && type == other.type && channel == other.channel;
    }
};

Pair pair_of(const ProbeRecord& record) {
    return {record.send, text_of(record.message_type), text_of(record.channel)};
}

std::string key_of(const Pair& pair) {
    std::string key(pair.send ? "S" : "R");
    key.append(pair.type).append(1, '\0').append(pair.channel);
    return key;
}

// The case labels of one switch: each name once, and each value once. The
// header defines a name again for every record of its pair, the last value
// standing; one wait listening on several pairs gives them all its code, and
// only the first of them can be told from a recorded code.
class Labels {
public:
    explicit Labels(const std::vector<ProbeRecord>& records) {
        for (const ProbeRecord& record : records) value_[key_of(pair_of(record))] = record.code;
    }
    bool take(const Pair& pair) {
        const std::string key = key_of(pair);
        if (!names_.insert(key).second) return false;
        return values_.insert(value_.at(key)).second;
    }

private:
    std::unordered_map<std::string, int> value_;
    std::unordered_set<std::string> names_;
    std::unordered_set<int> values_;
};

// The (type, channel) pairs of the wait records in first-seen order.
std::vector<Pair> distinct_waits(const std::vector<ProbeRecord>& records) {
    std::vector<Pair> pairs;
    Labels labels(records);
    for (const ProbeRecord& record : records)
        if (!record.send && labels.take(pair_of(record))) pairs.push_back(pair_of(record));
    return pairs;
}

// The message types of the send and wait records in first-seen order, each with
// its send and receive labels in record order.
struct TypeGroup {
    std::string_view type;
    std::vector<Pair> labels;
};

std::vector<TypeGroup> groups_by_type(const std::vector<ProbeRecord>& records) {
    std::vector<TypeGroup> groups;
    Labels labels(records);
    for (const ProbeRecord& record : records) {
        const Pair pair = pair_of(record);
        if (!labels.take(pair)) continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const TypeGroup& g) { return g.type == pair.type; });
        if (group == groups.end()) group = groups.insert(groups.end(), TypeGroup{pair.type, {}});
        group->labels.push_back(pair);
    }
    return groups;
}

void emit_case(Emitter& out, const Pair& pair) {
    out.appendf("case KVR_TDC_%s_%.*s_%.*s:", pair.send ? "SEND" : "RECV", static_cast<int>(pair.type.size()),
                pair.type.data(), static_cast<int>(pair.channel.size()), pair.channel.data());
    out.emit_line();
}

void emit_text(Emitter& out, std::string_view text) { out.emit_line(text); }

// ---------------------------------------------------------------- header tail

void write_trace_macros(Emitter& out, bool custom) {
    out.emit_line("#define kvr_start_trace(path,instance,p1) kvr_create_probe((path),(instance),(p1))");
    out.emit_line(custom ? "#define kvr_end_trace(ctx) kvr_end_probe(ctx)" : "#define kvr_end_trace(ctx) kvr_stop_probe(ctx)");
    for (const char* direction : {"send", "recv"}) {
        const char* code = direction[0] == 's' ? "SEND" : "RECV";
        out.appendf("#define kvr_%s_trace(ctx,type,name,dist,msg) kvr_write_probe((ctx),"
                    "korva_concat_6(KVR_TDC_%s_,type,_,name,_,dist),0,(msg),sizeof(type))",
                    direction, code);
        out.emit_line();
    }
    out.emit_line("#define kvr_format_trace(...)");
    out.emit_line(custom ? "#define kvr_select_trace(ctx,code,value) kvr_write_key((ctx),(code),(value))"
                         : "#define kvr_select_trace(ctx,code,value) kvr_set_selector((ctx),(code),(value))");
    out.emit_line(custom ? "#define kvr_dump_trace() kvr_dump_all_inst()" : "#define kvr_dump_trace()");
}

void write_external_declarations(Emitter& out, bool custom) {
    emit_text(out, "extern KVR_CTX_PRB kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1);");
    emit_text(out, "extern void kvr_write_probe (KVR_CTX_PRB ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, "
                   "KVR_T_INT lenmsg);");
    if (custom) {
        emit_text(out, "extern void kvr_dump_all_inst (void);");
        emit_text(out, "extern void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, "
                       "KVR_PT_CAR instName, KVR_PT_CAR other);");
    } else {
        emit_text(out, "extern void kvr_stop_probe (KVR_CTX_PRB kvr_ctx);");
        emit_text(out, "extern void kvr_set_selector (KVR_CTX_PRB kvr_ctx, KVR_T_INT code, KVR_T_UINT value);");
    }
}

// ---------------------------------------------------------------- decoder

void write_context_structure(Emitter& out, const SemanticModel& model, bool custom) {
    out.emit_line("struct KVR_T_CTX");
    out.open_block();
    out.emit_line("KVR_T_RUNCTX kvr_ctxrun;");
    for (const Entry* e = model.root ? model.root->first : nullptr; e; e = e->next) {
        if (e->kind != E_MESSAGE_TYPE) continue;
        const auto* type = codegen::descriptor_of<MessageTypeDescriptor>(e);
        if (type && type->selection && *type->selection) out.emit_line(type->selection);
    }
    out.close_block();
    out.emit_line(";");
    if (!custom) out.emit_line("struct KVR_T_CTX tab_global_ctx[NB_INSTANCES];");
    out.emit_line();
}

void write_prototypes(Emitter& out, const SemanticModel& model, bool custom) {
    out.appendf("static void kvr_decode (KVR_PT_CTX kvr_ctx, %sKVR_T_INT kvr_code, KVR_T_INT kvr_key, KVR_PT_VOID kvr_msg);",
                custom ? "KVR_T_DATE kvr_time, " : "");
    out.emit_line();
    if (!custom) out.emit_line("kvr_declar;");
    out.emit_line("static void kvr_strt_probe (KVR_PT_CTX kvr_ctx, KVR_PT_CAR rioFilename, KVR_PT_CAR codeName);");
    // The message dumps the decoder calls come with the message functions.
    for (const TypeGroup& group : groups_by_type(model.probe_records)) {
        const int n = static_cast<int>(group.type.size());
        out.appendf("void kvr_%.*s_dump_msg (KVR_PT_CTX kvr_ctx, %.*s *kvr_msg_to_dump);", n, group.type.data(), n,
                    group.type.data());
        out.emit_line();
    }
    out.emit_line();
}

void write_create_and_write(Emitter& out) {
    out.emit_line("KVR_PT_CTX kvr_create_probe (KVR_PT_CAR path, KVR_PT_CAR instance, KVR_T_INT p1)");
    out.open_block();
    out.emit_line("static KVR_T_INT kvr_nextctx = 0;");
    out.emit_line("KVR_PT_CTX kvr_ctx;");
    out.emit_line("char name[1024];");
    out.emit_line("if (kvr_nextctx >= NB_INSTANCES || strlen(path) + strlen(instance) + 5 > sizeof(name))");
    out.open_block();
    out.emit_return("(KVR_PT_CTX) 0");
    out.close_block();
    out.emit_line("kvr_ctx = &tab_global_ctx[kvr_nextctx++];");
    out.emit_line("sprintf(name,\"%s%s.rio\",path,instance);");
    out.emit_line("kvr_strt_probe(kvr_ctx,name,instance);");
    out.emit_return("kvr_ctx");
    out.close_block();
    out.emit_line();

    out.emit_line("void kvr_write_probe (KVR_PT_CTX ctx, KVR_T_INT code, KVR_T_INT key, KVR_PT_VOID msg, KVR_T_INT lenmsg)");
    out.open_block();
    out.emit_line("kvr_decode(ctx,code,key,msg);");
    out.close_block();
    out.emit_line();
}

void write_start(Emitter& out, bool custom) {
    out.append("static void kvr_strt_probe");
    out.add_param("KVR_PT_CAR", "rioFilename");
    out.add_param("KVR_PT_CAR", "codeName");
    out.emit_params();
    out.open_block();
    out.emit_line("kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;");
    out.appendf("kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe=%d;", custom ? 1 : 0);
    out.emit_line();
    out.appendf("kvr_set_trace_functions ( %s );", kRun);
    out.emit_line();
    out.emit_line("kvr_ctx->kvr_ctxrun.kvr_ctxoccid=0;");
    out.emit_line("kvr_ctx->kvr_ctxrun.kvr_ctxlogdate=0;");
    out.appendf("kvr_initrio ( %s,rioFilename ,0, 1, 0, codeName, 0,KVR_TDC_gen,\"\");", kRun);
    out.emit_line();
    out.appendf("kvr_startchronomarkloop ( %s,KVR_TDC_Epts, KVR_TDC_Spts , 0, 1,\"\",0,0);", kRun);
    out.emit_line();
    out.appendf("kvr_startchronomarkloop ( %s,KVR_TDC_Escn, KVR_TDC_Sscn ,1, 1,\"\",0,0);", kRun);
    out.emit_line();
    out.close_block();
    out.emit_line();
}

void write_stop(Emitter& out) {
    out.append("void kvr_stop_probe");
    out.emit_params();
    out.open_block();
    out.appendf("kvr_stopchronomarkloop (%s,0,KVR_TDC_Escn,1,1,\"\",0,0);", kRun);
    out.emit_line();
    out.appendf("kvr_stopchronomarkloop (%s,0, KVR_TDC_Epts, 0, 1,\"\",0,0);", kRun);
    out.emit_line();
    out.appendf("kvr_end (%s);", kRun);
    out.emit_line();
    out.close_block();
    out.emit_line();
}

void write_wait_switch(Emitter& out, const std::vector<ProbeRecord>& records) {
    out.emit_line("switch(kvr_code)");
    out.open_block();
    for (const Pair& pair : distinct_waits(records)) {
        const int t = static_cast<int>(pair.type.size());
        const int x = static_cast<int>(pair.channel.size());
        const char* type = pair.type.data();
        const char* channel = pair.channel.data();
        emit_case(out, pair);
        out.appendf("kvr__evt(%s,KVR_TDC_EVT_%.*s,KVR_TDC_CH_%.*s);", kRun, t, type, x, channel);
        out.emit_line();
        out.appendf("eevt=KVR_TDC_EEVT_%.*s;", t, type);
        out.emit_line();
        out.appendf("defmsg=KVR_TDC_DEFM_%.*s;", t, type);
        out.emit_line();
        out.appendf("kvr_evt(%s,KVR_TDC_EVT_%.*s,KVR_TDC_CH_%.*s,0,\" \");", kRun, t, type, x, channel);
        out.emit_line();
        out.emit_line("break;");
    }
    out.close_block();
}

void write_dump_switch(Emitter& out, const std::vector<ProbeRecord>& records) {
    out.emit_line("switch(kvr_code)");
    out.open_block();
    for (const TypeGroup& group : groups_by_type(records)) {
        for (const Pair& pair : group.labels) emit_case(out, pair);
        out.appendf("kvr_%.*s_dump_msg(kvr_ctx,kvr_msg);", static_cast<int>(group.type.size()), group.type.data());
        out.emit_line();
        out.emit_line("break;");
    }
    out.close_block();
}

void write_decode(Emitter& out, const SemanticModel& model, bool custom) {
    out.append("static void kvr_decode");
    if (custom) out.add_param("KVR_T_DATE", "kvr_time");
    out.add_param("KVR_T_INT", "kvr_code");
    out.add_param("KVR_T_INT", "kvr_key");
    out.add_param("KVR_PT_VOID", "kvr_msg");
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT eevt,defmsg;");
    // A send record, or a code no wait case names, leaves them unset.
    out.emit_line("eevt=0;");
    out.emit_line("defmsg=0;");
    out.emit_line("if (kvr_code > KVR_TDC_LAST_ID)");
    out.open_block();
    out.emit_line("kvr_set_selector(kvr_ctx,kvr_code,*((KVR_PT_UINT) kvr_msg));");
    out.close_block();
    out.emit_line("else");
    out.open_block();
    if (custom) out.emit_line("kvr_set_time(kvr_ctx,kvr_time);");
    out.emit_line("if (kvr_code <= KVR_TDC_LAST_SEND)");
    out.open_block();
    out.appendf("kvr_send(%s,kvr_code,\"\");", kRun);
    out.emit_line();
    out.close_block();
    out.emit_line("else");
    out.open_block();
    out.appendf("kvr_waittil(%s,kvr_code);", kRun);
    out.emit_line();
    write_wait_switch(out, model.probe_records);
    out.close_block();
    write_dump_switch(out, model.probe_records);
    out.emit_line("if (kvr_code <= KVR_TDC_LAST_SEND)");
    out.open_block();
    out.appendf("kvr_end_send(%s,0,kvr_code+KVR_TDC_END_SEND);", kRun);
    out.emit_line();
    out.close_block();
    out.emit_line("else");
    out.open_block();
    out.appendf("kvr_endevt(%s,eevt);", kRun);
    out.emit_line();
    out.appendf("kvr_def_msg(%s,defmsg);", kRun);
    out.emit_line();
    out.appendf("kvr_endwaittil(%s, 0, kvr_code+KVR_TDC_END_RECV,\"\");", kRun);
    out.emit_line();
    out.close_block();
    out.close_block();
    out.close_block();
    out.emit_line();
}

void write_dump_instance(Emitter& out) {
    out.emit_line("void kvr_dump_inst (KVR_CTX_PRB prb_ctx, KVR_PT_CAR path, KVR_PT_CAR riofile, KVR_PT_CAR instName, "
                  "KVR_PT_CAR other)");
    out.open_block();
    out.emit_line("struct KVR_T_CTX kvr_ctx;");
    out.emit_line("KVR_T_DATE time;");
    out.emit_line("KVR_T_INT code,key;");
    out.emit_line("KVR_PT_VOID msg;");
    out.emit_line("prb_ctx=kvr_open_probe(prb_ctx,path,riofile,instName,other);");
    out.emit_line("kvr_init_selector(&kvr_ctx);");
    out.emit_line("if(kvr_read_probe(prb_ctx,&time,&code,&key,&msg))");
    out.open_block();
    out.emit_line("kvr_set_time((&kvr_ctx),time);");
    out.emit_line("kvr_strt_probe(&kvr_ctx,riofile,instName);");
    out.emit_line("do");
    out.open_block();
    out.emit_line("kvr_decode(&kvr_ctx,time,code,key,msg);");
    out.close_block();
    out.emit_line("while(kvr_read_probe(prb_ctx,&time,&code,&key,&msg));");
    out.emit_line("kvr_stop_probe(&kvr_ctx);");
    out.close_block();
    out.emit_line("kvr_close_probe(prb_ctx);");
    out.close_block();
    out.emit_line();
}

}  // namespace

void write_probe_header_tail(Emitter& out, const SemanticModel& model, ProbeMode mode) {
    const bool custom = mode == ProbeMode::Custom;
    for (const Entry* e = model.root ? model.root->first : nullptr; e; e = e->next) {
        if (e->kind != E_MESSAGE_TYPE || !e->name) continue;
        const auto* type = codegen::descriptor_of<MessageTypeDescriptor>(e);
        if (!type || !type->selection || !*type->selection) continue;
        const std::string name(e->name);
        out.emit_define("KVR_" + name, "(kvr_ctx->kvr_ctxsel_" + name + ")");
    }
    out.emit_ifdef("USE_KVS");
    out.emit_undef("USE_KVS");
    out.emit_endif();
    out.emit_define("USE_KVS", "1");
    out.emit_line("#include \"TP.h\"");
    if (custom) {
        out.emit_line("#include \"probecst.h\"");
    } else {
        out.emit_line("typedef struct KVR_T_CTX *KVR_PT_CTX;");
        out.emit_define("KVR_CTX_PRB", "KVR_PT_CTX");
        out.emit_line("#include \"kvrdeclar.h\"");
    }
    out.emit_define("korva_concat(a,b)", "a##b");
    out.emit_define("korva_concat_3(a,b,c)", "a##b##c");
    out.emit_define("korva_concat_4(a,b,c,d)", "a##b##c##d");
    out.emit_define("korva_concat_6(a,b,c,d,e,f)", "a##b##c##d##e##f");
    write_trace_macros(out, custom);
    write_external_declarations(out, custom);
    out.emit_line();
    out.emit_line("#endif");
}

void write_probe_decoder(Emitter& out, const DriverSources& sources, const std::string& probe_header_path) {
    const bool custom = sources.settings.probe == ProbeMode::Custom;
    const SemanticModel& model = sources.model;
    write_driver_header(out, sources);
    out.appendf("#include \"%s\"", probe_header_path.c_str());
    out.emit_line();
    out.emit_line();
    if (custom) {
        out.emit_line("#include \"probecst.h\"");
        out.emit_line("typedef struct KVR_T_CTX *KVR_PT_CTX;");
        out.emit_define("kvr_set_time(kvr_ctx,time)",
                        "kvr_memcpy(&(kvr_ctx->kvr_ctxrun.kvr_ctxusrdate),&time,sizeof(KVR_T_DATE))");
        out.emit_line();
    }
    write_context_structure(out, model, custom);
    write_prototypes(out, model, custom);
    if (!custom) write_create_and_write(out);
    write_start(out, custom);
    write_stop(out);
    write_decode(out, model, custom);
    if (custom) write_dump_instance(out);
    for (const Entry* e = model.root ? model.root->first : nullptr; e; e = e->next)
        if (e->kind == E_C_LINE_AT) out.emit_line(text_of(e->name));
}

}  // namespace zv
