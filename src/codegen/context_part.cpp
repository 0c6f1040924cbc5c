#include "codegen/context_part.h"

#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace zv {

namespace {

// The runtime's members and the generated ones are reached through these
// macros; the runtime context names its members kvr_ctx<word>.
struct AccessMacro {
    const char* name;
    const char* text;
};

constexpr AccessMacro kAccessMacros[] = {
    {"kvr_filter", "(kvr_ctx->kvr_ctxrun.kvr_ctxfilter)"},
    {"KVR_NUMINSTANCE", "(kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)"},
    {"kvr_numinstance", "(kvr_ctx->kvr_ctxrun.kvr_ctxnuminstance)"},
    {"kvr_tagtsocket", "(kvr_ctx->kvr_ctxrun.kvr_ctxtagtsocket)"},
    {"kvr_testernaming", "(kvr_ctx->kvr_ctxrun.kvr_ctxtesternaming)"},
    {"kvr_tagttimeout", "(kvr_ctx->kvr_ctxrun.kvr_ctxtagttimeout)"},
    {"kvr_tagtcommactivated", "(kvr_ctx->kvr_ctxrun.kvr_ctxtagtcommactivated)"},
    {"KVR_OCCID", "(kvr_ctx->kvr_ctxrun.kvr_ctxoccid)"},
    {"kvr_flagrt", "(kvr_ctx->kvr_ctxflagrt)"},
    {"kvr_wtime", "(kvr_ctx->kvr_ctxrun.kvr_ctxwtime)"},
    {"kvr_lwait", "(kvr_ctx->kvr_ctxrun.kvr_ctxlwait)"},
    {"KVR_TIMEOUT", "(kvr_ctx->kvr_ctxrun.kvr_ctxtimeout)"},
    {"kvr_rcvtime", "(kvr_ctx->kvr_ctxrun.kvr_ctxrcvtime)"},
    {"kvr_logdate", "(kvr_ctx->kvr_ctxrun.kvr_ctxlogdate)"},
};

using codegen::descriptor_of;

std::string name_of(const Entry* entry) { return entry->name ? entry->name : ""; }

// An array type of ISO C needs at least one element: an empty type or
// communication type keeps its count macro at 0 but sizes its array 1.
std::string dimension(const std::string& count_macro, int count) { return count > 0 ? count_macro : "1"; }

std::string context_member(const std::string& member) { return "(kvr_ctx->kvr_ctx" + member + ")"; }

void write_c_lines(Emitter& out, const Scope* root) {
    for (const Entry* e = root->first; e; e = e->next)
        if (e->kind == E_C_LINE || e->kind == E_C_LINE_AT) out.emit_line(name_of(e));
}

// Under -NOTSHARED the script's file-level variables live in the context:
// a variable named by SHARE keeps its global meaning (no macro) but still
// gets its member.
void write_global_macros(Emitter& out, const SemanticModel& model) {
    std::unordered_set<std::string> shared;
    for (const Entry* e = model.root->first; e; e = e->next)
        if (e->kind == E_SHARED && e->name) shared.insert(e->name);
    for (const GlobalVariable& g : model.globals)
        if (!shared.count(g.name)) out.emit_define(g.name, context_member(g.name));
}

void write_global_members(Emitter& out, const SemanticModel& model) {
    for (const GlobalVariable& g : model.globals)
        out.emit_line(g.declaration.empty() ? "int kvr_ctx" + g.name + ";" : g.declaration + ";");
}

void write_limits(Emitter& out, const SemanticModel& model) {
    // One row of channel states per communication type (at least one).
    out.emit_define("KVR_K_MAX_COMT", std::to_string(std::max(1, model.comm_type_count)));
    out.emit_define("KVR_K_MAX_CHAN", std::to_string(model.highest_channel + 1));
    out.emit_define("KVR_K_MAX_MSGT", std::to_string(model.message_type_count));
}

// The state of each message variable of a type: its reference, minimum and
// maximum values and what the waits saw of it, per channel.
void write_message_record(Emitter& out, const std::string& type, const MessageTypeDescriptor& d) {
    const std::string count = "KVR_K_MSG_" + type;
    out.emit_define(count, std::to_string(d.event_count));
    out.emit_line("typedef struct kvr_s_T_MSG_" + type);
    out.open_block();
    out.emit_line("KVR_T_INT kvr_defNumber;");
    out.emit_line(type + " kvr_MsgRef;");
    out.emit_line(type + " kvr_MsgMin;");
    out.emit_line(type + " kvr_MsgMax;");
    out.emit_line("KVR_T_INT kvr_state;");
    out.emit_line("KVR_T_INT kvr_stateok;");
    out.emit_line("KVR_T_INT kvr_stateko;");
    out.emit_line("KVR_T_INT kvr_state_channel[KVR_K_MAX_COMT][KVR_K_MAX_CHAN];");
    out.close_block();
    out.emit_line("KVR_T_" + type + ", *KVR_PT_" + type + ";");
    out.emit_line("typedef KVR_T_" + type + " KVR_T_MSG_" + type + "[" + dimension(count, d.event_count) + "];");
}

// The connection identifiers of each channel of a communication type.
void write_channel_record(Emitter& out, const std::string& comm, const CommTypeDescriptor& d, int message_types) {
    const std::string count = "KVR_K_CHAN_" + comm;
    out.emit_define(count, std::to_string(d.channel_count));
    out.emit_line("typedef struct kvr_s_T_CHAN_" + comm);
    out.open_block();
    out.emit_line(std::string(d.id_type ? d.id_type : "int") + " kvr_connexionId[KVR_K_ID_SIZE];");
    out.emit_line("KVR_T_INT kvr_numberofId;");
    out.emit_line("KVR_T_INT kvr_msg[" + dimension("KVR_K_MAX_MSGT", message_types) + "];");
    out.close_block();
    out.emit_line("KVR_T_CHAN_" + comm + ", *KVR_PT_CHAN_" + comm + ";");
    out.emit_line("typedef KVR_T_CHAN_" + comm + " KVR_T_COMM_" + comm + "[" + dimension(count, d.channel_count) +
                  "];");
}

void write_record_types(Emitter& out, const SemanticModel& model) {
    for (const Entry* e = model.root->first; e; e = e->next) {
        if (e->kind == E_MESSAGE_TYPE) {
            if (const auto* d = descriptor_of<MessageTypeDescriptor>(e)) write_message_record(out, name_of(e), *d);
        } else if (e->kind == E_COMM_TYPE) {
            if (const auto* d = descriptor_of<CommTypeDescriptor>(e))
                write_channel_record(out, name_of(e), *d, model.message_type_count);
        } else if (e->kind == E_TIMER) {
            if (const auto* d = descriptor_of<TimerDescriptor>(e))
                out.emit_line("int " + name_of(e) + "=" + std::to_string(d->number) + ";");
        }
    }
}

void write_access_macros(Emitter& out) {
    for (const AccessMacro& m : kAccessMacros) out.emit_define(m.name, m.text);
}

// Names the script uses for its message variables, message types, channels
// and communication types.
void write_entry_macros(Emitter& out, const Scope* root) {
    for (const Entry* e = root->first; e; e = e->next) {
        const std::string name = name_of(e);
        switch (e->kind) {
            case E_MESSAGE_VARIABLE: {
                const auto* d = descriptor_of<EventVariableDescriptor>(e);
                if (!d || !d->message_type) break;
                const std::string slot =
                    "kvr_msg_" + name_of(d->message_type) + "[" + std::to_string(d->index) + "]";
                out.emit_define(name, slot + ".kvr_MsgRef");
                out.emit_define("kvr_Min_" + name, slot + ".kvr_MsgMin");
                out.emit_define("kvr_Max_" + name, slot + ".kvr_MsgMax");
                break;
            }
            case E_MESSAGE_TYPE: {
                const auto* d = descriptor_of<MessageTypeDescriptor>(e);
                out.emit_define("kvr_msg_" + name, context_member(name));
                out.emit_define("kvr_" + name + "_rcv", context_member(name + "_rcv"));
                if (d && d->selection) out.emit_define("KVR_" + name, context_member("sel_" + name));
                out.emit_define("kvr_" + name + "_send", context_member(name + "_send"));
                break;
            }
            case E_CHANNEL: {
                const auto* d = descriptor_of<ChannelDescriptor>(e);
                if (!d) break;
                const auto* comm = d->comm_type ? descriptor_of<CommTypeDescriptor>(d->comm_type) : nullptr;
                out.emit_define(name, "kvr_state_channel[" + std::to_string(comm ? comm->number : 0) + "][" +
                                          std::to_string(d->index) + "]");
                break;
            }
            case E_COMM_TYPE:
                out.emit_define("kvr_channel_" + name, context_member(name));
                break;
            default:
                break;
        }
    }
}

void write_context_structure(Emitter& out, const SemanticModel& model, bool not_shared) {
    out.emit_line("typedef struct");
    out.open_block();
    out.emit_line("KVR_T_RUNCTX kvr_ctxrun;");
    out.emit_line("KVR_T_INT kvr_ctxflagrt;");
    for (const Entry* e = model.root->first; e; e = e->next) {
        const std::string name = name_of(e);
        if (e->kind == E_MESSAGE_TYPE) {
            out.emit_line("KVR_T_MSG_" + name + " kvr_ctx" + name + ";");
            out.emit_line(name + " kvr_ctx" + name + "_rcv;");
            const auto* d = descriptor_of<MessageTypeDescriptor>(e);
            if (d && d->selection) out.emit_line(d->selection);
            out.emit_line(name + " *kvr_ctx" + name + "_send;");
        } else if (e->kind == E_COMM_TYPE) {
            out.emit_line("KVR_T_COMM_" + name + " kvr_ctx" + name + ";");
        }
    }
    if (model.timer_count > 0) out.emit_line("KVR_T_TIMER timer[" + std::to_string(model.timer_count) + "];");
    if (not_shared) write_global_members(out, model);
    out.close_block();
    out.emit_line("KVR_T_CTX, *KVR_PT_CTX ;");
}

}  // namespace

void write_context_part(Emitter& out, const DriverSources& sources) {
    const SemanticModel& model = sources.model;
    if (!model.root) return;
    // No timer exists yet while the script's own lines are read.
    out.emit_undef("TIME");
    out.emit_define("TIME(x)", "0");
    write_c_lines(out, model.root);
    if (sources.settings.not_shared) write_global_macros(out, model);
    write_limits(out, model);
    write_record_types(out, model);
    write_access_macros(out);
    write_entry_macros(out, model.root);
    write_context_structure(out, model, sources.settings.not_shared);
    out.emit_undef("TIME");
    out.emit_define("TIME(X) ", "(kvr_time(&(kvr_ctx->timer[(X)].timer)))");
}

}  // namespace zv
