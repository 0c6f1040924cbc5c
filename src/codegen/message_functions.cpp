#include "codegen/message_functions.h"

#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "codegen/value_lines.h"
#include "model/semantic_model.h"

#include <string>

namespace zv {

namespace {

using codegen::kCtx;

const MessageTypeDescriptor* message_type_of(const Entry* e) {
    return e && e->descriptor && e->descriptor->code == D_MESSAGE_TYPE
               ? static_cast<const MessageTypeDescriptor*>(e->descriptor)
               : nullptr;
}

// The value root of a value definition, null when the value was refused.
const Entry* value_of(const Entry* definition) {
    for (const Entry* v = definition->descriptor ? definition->descriptor->sub_scope->first : nullptr; v; v = v->next)
        if (v->kind == E_VALUE) return v;
    return nullptr;
}

// "switch" over the definition numbers, one case per value definition with
// its lines in `mode`; the reference function traces the definition first.
void definitions_switch(Emitter& out, const Entry* type, ValueMode mode) {
    const auto* d = message_type_of(type);
    out.emit_line("switch(kvr_msg_ref->kvr_defNumber)");
    out.open_block();
    for (const Entry* e = d->sub_scope ? d->sub_scope->first : nullptr; e; e = e->next) {
        if (!e->descriptor || e->descriptor->code != D_EXPECTED_VALUE) continue;
        const Entry* value = value_of(e);
        if (!value) continue;
        out.appendf("case %d:", static_cast<const ExpectedValueDescriptor*>(e->descriptor)->number);
        out.emit_line();
        out.open_block();
        if (mode == ValueMode::ReferenceDump) {
            out.appendf("kvr_def_msg(%s,%d);", kCtx, e->event_code);
            out.emit_line();
        }
        write_value_lines(out, message_walk(value, type->name, mode));
        out.emit_line("break;");
        out.close_block();
    }
    out.close_block();
}

void reference_function(Emitter& out, const Entry* type, const char* t) {
    out.appendf("static void kvr_%s_ref_msg", t);
    out.add_param("KVR_PT_" + std::string(t), "kvr_msg_ref");
    out.emit_params();
    out.open_block();
    out.emit_define("kvr_msgrcv", "(kvr_msg_ref->kvr_MsgRef)");
    out.emit_define("kvr_msgMin", "(kvr_msg_ref->kvr_MsgMin)");
    out.emit_define("kvr_msgMax", "(kvr_msg_ref->kvr_MsgMax)");
    definitions_switch(out, type, ValueMode::ReferenceDump);
    out.emit_undef("kvr_msgrcv");
    out.emit_undef("kvr_msgMin");
    out.emit_undef("kvr_msgMax");
    out.close_block();
}

void comparison_function(Emitter& out, const Entry* type, const char* t) {
    out.appendf("static KVR_T_INT kvr_%s_cmp_msg", t);
    out.add_param("KVR_PT_" + std::string(t), "kvr_msg_ref");
    out.add_param(std::string(t) + " *", "msg_rcv");
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_ret;");
    out.emit_define("kvr_msgrcv", "(*msg_rcv)");
    out.emit_define("kvr_msgref", "(kvr_msg_ref->kvr_MsgRef)");
    out.emit_define("kvr_msgMin", "(kvr_msg_ref->kvr_MsgMin)");
    out.emit_define("kvr_msgMax", "(kvr_msg_ref->kvr_MsgMax)");
    out.appendf("kvr_cmp(%s);", kCtx);
    out.emit_line();
    definitions_switch(out, type, ValueMode::Compare);
    out.appendf("kvr_ret=kvr_cmp(%s);", kCtx);
    out.emit_line();
    out.emit_line("kvr_msg_ref->kvr_state = kvr_ret?KVR_EVTOK:KVR_EVTKO;");
    out.emit_line("if (kvr_msg_ref->kvr_state == KVR_EVTOK)");
    out.open_block();
    out.emit_line("kvr_msg_ref->kvr_stateok = 1;");
    out.appendf("kvr_memcpy(&(kvr_msg_ref->kvr_MsgRef),msg_rcv,sizeof(%s));", t);
    out.emit_line();
    out.close_block();
    out.emit_line("else kvr_msg_ref->kvr_stateko = 1;");
    out.emit_line("return(kvr_ret);");
    out.emit_undef("kvr_msgrcv");
    out.emit_undef("kvr_msgref");
    out.emit_undef("kvr_msgMin");
    out.emit_undef("kvr_msgMax");
    out.close_block();
}

void dump_function(Emitter& out, const Entry* type, const char* t) {
    const auto* d = message_type_of(type);
    out.appendf("static void kvr_%s_dump_msg", t);
    out.add_param(std::string(t) + " *", "kvr_msg_to_dump");
    out.emit_params();
    out.open_block();
    out.emit_define("kvr_msgrcv", "(*kvr_msg_to_dump)");
    // The dumped variable is the type's default value: every field of a
    // received message.
    for (const Entry* v = d->defaults ? d->defaults->first : nullptr; v; v = v->next) {
        if (v->kind != E_VALUE) continue;
        write_value_lines(out, message_walk(v, t, ValueMode::MessageDump));
        break;
    }
    out.emit_undef("kvr_msgrcv");
    out.close_block();
}

}  // namespace

bool has_message_functions(const Entry* message_type) {
    const auto* d = message_type_of(message_type);
    return d && d->event_count > 0;
}

void write_message_functions(Emitter& out, const Entry* message_type) {
    if (!has_message_functions(message_type)) return;
    for (int which = 0; which < kMessageFunctions; ++which) write_message_function(out, message_type, which);
}

void write_message_function(Emitter& out, const Entry* message_type, int which) {
    const char* t = message_type->name ? message_type->name : "";
    switch (which) {
        case 0: reference_function(out, message_type, t); break;
        case 1: comparison_function(out, message_type, t); break;
        default: dump_function(out, message_type, t); break;
    }
}

}  // namespace zv
