#include "codegen/procedures.h"

#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "model/semantic_model.h"

#include <string>

namespace zv {

namespace {

using namespace codegen;


const Entry* first_of(const Scope* scope) { return scope ? scope->first : nullptr; }

// The return of a function body: the debug state under the debug macro,
// otherwise `normal`.
void debug_return(Emitter& out, const char* debug, const char* normal) {
    out.emit_ifdef(kDebug);
    out.emit_line(debug);
    out.emit_else();
    out.emit_return(normal);
    out.emit_endif();
}

// The verbatim C lines and local declarations that open a body.
const Entry* after_head(const Entry* first) {
    while (first && (first->kind == E_C_LINE || first->kind == E_C_LINE_AT || first->kind == E_TEMPORARY))
        first = first->next;
    return first;
}

// Locals, head lines, an empty line and the debug state of a callback or a
// procsend body; returns where the rest of the body starts.
const Entry* open_body(Emitter& out, const Scope* body, const ListWriter& statements) {
    const Entry* first = first_of(body);
    const Entry* rest = after_head(first);
    if (first != rest) statements(first, rest);
    out.emit_line();
    write_debug_state_declaration(out);
    return rest;
}

// "Message type name, id type, channel record" of a callback or procsend.
struct Endpoint {
    const char* type = "";
    const char* comm = "";
    const char* id_type = "";
    bool single = false;
};

Endpoint endpoint(const Entry* comm_type, const Entry* message_type) {
    Endpoint e;
    e.type = text(message_type ? message_type->name : nullptr);
    e.comm = text(comm_type ? comm_type->name : nullptr);
    if (const auto* d = descriptor_of<CommTypeDescriptor>(comm_type, D_COMM_TYPE)) {
        e.id_type = text(d->id_type);
        e.single = d->single_connection;
    }
    return e;
}

}  // namespace

void write_procedure_function(Emitter& out, const Entry* procedure, const ListWriter& statements) {
    const auto* d = descriptor_of<ProcedureDescriptor>(procedure, D_PROCEDURE);
    if (!d || d->use_mark != 1) return;
    out.emit_line();
    out.appendf("/* procedure %s */", text(procedure->name));
    out.emit_line();
    out.appendf("static KVR_T_INT kvr_P%d ", procedure->event_code);
    for (const Entry* p = first_of(d->parameters); p; p = p->next) {
        const auto* pd = descriptor_of<ParameterDescriptor>(p, D_PROCEDURE_PARAMETER);
        if (pd && p->name && *p->name) out.add_param(text(pd->type_name), p->name);
    }
    out.emit_params();
    out.open_block();
    write_debug_state_declaration(out);
    statements(first_of(d->sub_scope), nullptr);
    write_debug_state_return(out);
    out.close_block();
}

void write_procedure_call(Emitter& out, const Entry* call) {
    const auto* d = descriptor_of<CallDescriptor>(call, D_CALL);
    const Entry* procedure = d ? d->procedure : nullptr;
    if (!procedure) return;
    out.open_block();
    out.emit_line("KVR_T_INT kvr_ret;");
    out.appendf("kvr_bproc( %s, %d);", kCtx, procedure->event_code);
    out.emit_line();
    const Entry* first = first_of(d->sub_scope);
    out.appendf("kvr_ret=kvr_P%d (%s", procedure->event_code, first ? "kvr_ctx, " : "kvr_ctx");
    bool later = false;
    for (const Entry* a = first; a; a = a->next) {
        const auto* ad = descriptor_of<CallArgumentDescriptor>(a, D_CALL_ARGUMENT);
        if (!ad) continue;
        if (later) out.append(", ");
        if (ad->by_address) out.append("&");
        out.append(text(ad->value));
        later = true;
    }
    out.append(" );");
    out.emit_line();
    out.appendf("kvr_aproc( %s, %d);", kCtx, procedure->end_code);
    out.emit_line();
    out.emit_line("if (kvr_ret)");
    out.open_block();
    out.emit_line("if (kvr_ret==1)");
    out.open_block();
    write_failure_mark(out);
    out.close_block();
    out.emit_line("else");
    out.open_block();
    out.emit_return("kvr_ret");
    out.close_block();
    out.close_block();
    out.close_block();
}

void write_callback_function(Emitter& out, const Entry* callback, const ListWriter& statements) {
    const auto* d = descriptor_of<CallbackDescriptor>(callback, D_CALLBACK);
    if (!d || d->use_mark != 1) return;
    const Endpoint e = endpoint(d->comm_type, d->message_type);
    const char* message = text(d->message_variable);
    const char* id = text(d->id_variable);
    out.emit_line();
    out.appendf("/* callback %s */", text(callback->name));
    out.emit_line();
    out.appendf("static KVR_T_INT kvr_%s ", text(callback->name));
    out.add_param("KVR_T_INT", "kvr_RegId");
    if (!e.single) out.add_param("KVR_T_INT", "kvr_index");
    out.emit_params();
    out.open_block();
    out.appendf("%s %s;", e.type, message);
    out.emit_line();
    if (d->counted) {
        out.appendf("KVR_T_INT %s;", text(d->count_variable));
        out.emit_line();
        out.appendf("%s %s[KVR_K_ID_SIZE];", e.id_type, id);
    } else {
        out.appendf("%s %s;", e.id_type, id);
    }
    out.emit_line();
    const Entry* rest = open_body(out, d->sub_scope, statements);
    const std::string received = "(kvr_" + std::string(e.type) + "_rcv)";
    out.appendf("kvr_memcpy (&%s,&%s,sizeof(%s));", message, received.c_str(), received.c_str());
    out.emit_line();
    const std::string channel = "(kvr_channel_" + std::string(e.comm) + "[kvr_RegId]";
    if (d->counted) {
        out.appendf("%s = %s.kvr_numberofId);", text(d->count_variable), channel.c_str());
        out.emit_line();
        const std::string ids = channel + ".kvr_connexionId)";
        out.appendf("kvr_memcpy(%s,%s, sizeof(%s));", id, ids.c_str(), ids.c_str());
    } else {
        // A single connection has no index parameter: its one id is the first.
        const std::string ids = channel + ".kvr_connexionId[" + (e.single ? "0" : "kvr_index") + "])";
        out.appendf("kvr_memcpy (&%s,&%s, sizeof(%s));", id, ids.c_str(), ids.c_str());
    }
    out.emit_line();
    if (rest) statements(rest, nullptr);
    out.appendf("kvr_memcpy (&%s,&%s,sizeof(%s));", received.c_str(), message, received.c_str());
    out.emit_line();
    debug_return(out, "return (kvr_debug_state ? 1 : KVR_MESSAGE_READ);", "KVR_MESSAGE_READ");
    out.close_block();
}

void write_procsend_function(Emitter& out, const Entry* procsend, const ListWriter& statements) {
    const auto* d = descriptor_of<ProcsendDescriptor>(procsend, D_PROCSEND);
    if (!d || d->use_mark != 1) return;
    const Endpoint e = endpoint(d->comm_type, d->message_type);
    const char* message = text(d->message_variable);
    const char* id = text(d->id_variable);
    out.emit_line();
    out.appendf("/* procsend %s */", text(procsend->name));
    out.emit_line();
    out.appendf("static KVR_T_INT kvr_%s ", text(procsend->name));
    out.add_param("KVR_T_INT", "kvr_RegId");
    out.add_param("KVR_T_INT", "kvr_index");
    out.emit_params();
    out.open_block();
    out.appendf("%s %s;", e.type, message);
    out.emit_line();
    out.appendf("%s %s;", e.id_type, id);
    out.emit_line();
    const Entry* rest = open_body(out, d->sub_scope, statements);
    const std::string sent = "(kvr_" + std::string(e.type) + "_send)";
    out.appendf("kvr_memcpy (&%s,%s,sizeof(*%s));", message, sent.c_str(), sent.c_str());
    out.emit_line();
    const std::string ids = "(kvr_channel_" + std::string(e.comm) + "[kvr_RegId].kvr_connexionId[kvr_index])";
    out.appendf("kvr_memcpy (&%s,&%s, sizeof(%s));", id, ids.c_str(), ids.c_str());
    out.emit_line();
    if (rest) statements(rest, nullptr);
    debug_return(out, "return (kvr_debug_state ? 1 : KVR_MESSAGE_SENT);", "KVR_MESSAGE_SENT");
    out.close_block();
}

void write_send(Emitter& out, const Entry* send) {
    const auto* d = descriptor_of<SendDescriptor>(send, D_SEND);
    const auto* ev = d ? descriptor_of<EventVariableDescriptor>(d->event, D_EVENT_VARIABLE) : nullptr;
    const auto* ch = d ? descriptor_of<ChannelDescriptor>(d->channel, D_CHANNEL) : nullptr;
    if (!ev || !ch || !ev->message_type || !ch->comm_type || !d->procsend) return;
    const char* type = text(ev->message_type->name);
    const char* message = text(d->event->name);
    out.appendf("kvr_%s_send = &%s;", type, message);
    out.emit_line();
    out.emit_line("#if KVS_DYNFLW");
    out.appendf("kvr_send_tsf ( %s, %d, %d);", kCtx, send->report_number, send->file_index);
    out.emit_line();
    out.emit_line("#endif /* KVS_DYNFLW */");
    out.emit_line();
    out.appendf("kvr_send( %s,%d, \"%s\");", kCtx, send->event_code, message);
    out.emit_line();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_i,kvr_psret=0;");
    out.appendf("kvr_rio_on(%s);", kCtx);
    out.emit_line();
    out.appendf("for (kvr_i=0;kvr_i<kvr_channel_%s[%d].kvr_numberofId;kvr_i++)", text(ch->comm_type->name), ch->index);
    out.emit_line();
    out.open_block();
    out.appendf("kvr_rio_off(%s);", kCtx);
    out.emit_line();
    out.appendf("kvr_psret = kvr_%s (kvr_ctx,%d,kvr_i);", text(d->procsend->name), ch->index);
    out.emit_line();
    out.appendf("kvr_rio_on(%s);", kCtx);
    out.emit_line();
    out.emit_line("if (kvr_psret==1)");
    out.open_block();
    out.emit_ifdef(kDebug);
    out.emit_line("kvr_debug_state=1;");
    out.emit_endif();
    out.emit_line("break;");
    out.close_block();
    out.close_block();
    out.appendf("kvr_%s_dump_msg (kvr_ctx, &%s);", type, message);
    out.emit_line();
    out.appendf("kvr_end_send( %s,kvr_psret,%d);", kCtx, send->end_code);
    out.emit_line();
    out.emit_ifdef(kDebug);
    out.emit_else();
    out.emit_line("if (kvr_psret)");
    out.emit_return("1");
    out.emit_endif();
    out.close_block();
}

void write_interrecv(Emitter& out, const Entry* interrecv) {
    const auto* d = descriptor_of<InterrecvDescriptor>(interrecv, D_INTERRECV);
    if (!d) return;
    // One operand: an integer variable, received through a text buffer.
    const bool integer = d->one_operand;
    const char* variable = text(d->first);
    const int code = interrecv->event_code;
    out.open_block();
    out.emit_line("char *kvr_loc_tstemit = NULL;");
    out.emit_line("char *kvr_loc_info = NULL;");
    if (integer) out.emit_line("char kvr_local_interrecv_msg[KVS_TAGTBUF_SIZE];");
    out.emit_line();
    out.appendf("kvr_irecv (%s, %d);", kCtx, code);
    out.emit_line();
    if (integer) {
        out.emit_line("if (priv_interrecv (&(kvr_tagtsocket), kvr_tagttimeout, kvr_local_interrecv_msg, "
                      "KVS_TAGTBUF_SIZE, &kvr_loc_tstemit, &kvr_loc_info))");
    } else {
        out.appendf("if (priv_interrecv (&(kvr_tagtsocket), kvr_tagttimeout, %s, %s, &kvr_loc_tstemit, &kvr_loc_info))",
                    variable, text(d->second));
        out.emit_line();
    }
    out.open_block();
    out.appendf("kvr_end_irecv (%s, %d, 2, NULL, NULL);", kCtx, code);
    out.emit_line();
    write_failure_mark(out);
    out.close_block();
    out.emit_line("else");
    out.open_block();
    auto received = [&] {
        out.emit_line("#if KVS_DYNFLW");
        out.appendf("kvr_interrecv_tsf ( %s, %d, %d, kvr_loc_info, kvr_loc_tstemit);", kCtx,
                    interrecv->report_number, interrecv->file_index);
        out.emit_line();
        out.emit_line("#endif /* KVS_DYNFLW */");
        out.appendf("kvr_end_irecv (%s, %d, 0, kvr_loc_tstemit, kvr_loc_info);", kCtx, code);
        out.emit_line();
    };
    if (integer) {
        // The variable is an integer, not a pointer: its address is taken.
        out.appendf("*(&(%s)) = atoi (kvr_loc_info);", variable);
        out.emit_line();
        received();
    } else {
        out.appendf("if (%s[0]=='\\0')", variable);
        out.emit_line();
        out.open_block();
        out.appendf("kvr_end_irecv (%s, %d, 1, NULL, NULL);", kCtx, code);
        out.emit_line();
        write_failure_mark(out);
        out.close_block();
        out.emit_line("else");
        out.open_block();
        received();
        out.close_block();
    }
    out.close_block();
    out.close_block();
}

}  // namespace zv
