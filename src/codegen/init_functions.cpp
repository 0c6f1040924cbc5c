#include "codegen/init_functions.h"

#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <string>

namespace zv {

namespace {

std::string name_of(const Entry* entry) { return entry->name ? entry->name : ""; }

// Every message variable of a type starts without an event, on every channel.
void write_message_states(Emitter& out, const std::string& type) {
    const std::string state = "kvr_msg_" + type + "[kvr_i].";
    out.emit_line("for (kvr_i=0; kvr_i<KVR_K_MSG_" + type + "; kvr_i++)");
    out.open_block();
    out.emit_line(state + "kvr_state=KVR_NOEVT;");
    out.emit_line(state + "kvr_stateok=0;");
    out.emit_line(state + "kvr_stateko=0;");
    out.emit_line("for (kvr_j=0; kvr_j<KVR_K_MAX_COMT; kvr_j++)");
    out.open_block();
    out.emit_line("for (kvr_k=0; kvr_k<KVR_K_MAX_CHAN; kvr_k++)");
    out.open_block();
    out.emit_line(state + "kvr_state_channel[kvr_j][kvr_k]=KVR_NOEVT;");
    out.close_block();
    out.close_block();
    out.close_block();
}

void write_initstates(Emitter& out, const Scope* root) {
    out.append("static void kvr_initstates ");
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_i,kvr_j,kvr_k;");
    for (const Entry* e = root ? root->first : nullptr; e; e = e->next)
        if (e->kind == E_MESSAGE_TYPE) write_message_states(out, name_of(e));
    out.close_block();
}

void write_initctx(Emitter& out, const Scope* root) {
    out.append("static void kvr_initctx ");
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_i;");
    for (const Entry* e = root ? root->first : nullptr; e; e = e->next) {
        const std::string name = name_of(e);
        if (e->kind == E_COMM_TYPE) {
            out.emit_line("for (kvr_i=0;kvr_i<KVR_K_CHAN_" + name + ";kvr_i++)");
            out.open_block();
            out.emit_line("kvr_channel_" + name + "[kvr_i].kvr_numberofId = 0;");
            out.close_block();
        } else if (e->kind == E_TIMER_START) {
            if (const auto* d = codegen::descriptor_of<TimerDescriptor>(e))
                out.emit_line("kvr_get_date(&(kvr_ctx->timer[" + std::to_string(d->number) + "].timer));");
        } else if (e->kind == E_MESSAGE_TYPE) {
            out.emit_line("for (kvr_i=0;kvr_i<KVR_K_MSG_" + name + ";kvr_i++)");
            out.open_block();
            out.emit_line("kvr_msg_" + name + "[kvr_i].kvr_defNumber=0;");
            out.close_block();
        }
    }
    out.close_block();
}

}  // namespace

void write_init_functions(Emitter& out, const DriverSources& sources) {
    write_initstates(out, sources.model.root);
    out.emit_line();
    write_initctx(out, sources.model.root);
}

void write_static_context(Emitter& out, const RunSettings& settings) {
    if (settings.allocation != Allocation::None) return;
    out.emit_line("static KVR_T_CTX kvr_ctxst;");
    if (number(settings.trace) > 0 && settings.buffer_size > 0)
        out.emit_line("static KVR_T_CAR kvr_ctxbuffertracest[" +
                      std::to_string(static_cast<long long>(settings.buffer_size) * 1024) + "];");
}

}  // namespace zv
