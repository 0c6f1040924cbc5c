#include "codegen/waits.h"

#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "model/semantic_model.h"

#include <string>
#include <vector>

namespace zv {

namespace {

using namespace codegen;


// One event the wait expects: a message variable on a channel.
struct Expected {
    const Entry* event;         // message variable
    const Entry* message_type;
    const Entry* channel;
    const Entry* comm_type;
    int index = 0;              // of the variable within its type
    int comm_index = 0;         // of the communication type in the state table
    int channel_index = 0;
};

std::vector<Expected> expected_events(const WaitDescriptor* wait) {
    std::vector<Expected> events;
    for (const Entry* c = wait && wait->connections ? wait->connections->first : nullptr; c; c = c->next) {
        const auto* cd = descriptor_of<ConnectionDescriptor>(c, D_CONNECTION);
        const auto* ev = cd ? descriptor_of<EventVariableDescriptor>(cd->event, D_EVENT_VARIABLE) : nullptr;
        const auto* ch = cd ? descriptor_of<ChannelDescriptor>(cd->channel, D_CHANNEL) : nullptr;
        if (!ev || !ch || !ev->message_type || !ch->comm_type) continue;
        const auto* ct = descriptor_of<CommTypeDescriptor>(ch->comm_type, D_COMM_TYPE);
        events.push_back({cd->event, ev->message_type, cd->channel, ch->comm_type, ev->index, ct ? ct->number : 0,
                          ch->index});
    }
    return events;
}

// The event code of the default value set of a message type, 0 without one.
int default_set_code(const Entry* message_type) {
    const auto* d = descriptor_of<MessageTypeDescriptor>(message_type, D_MESSAGE_TYPE);
    if (!d || !d->has_defaults || !d->defaults) return 0;
    for (const Entry* v = d->defaults->first; v; v = v->next)
        if (v->kind == E_VALUE) return v->event_code;
    return 0;
}

class WaitWriter {
public:
    WaitWriter(Emitter& out, const Entry* wait, const PollingOrder& order)
        : out_(out), wait_(wait), d_(descriptor_of<WaitDescriptor>(wait, D_WAIT)), order_(order),
          events_(expected_events(d_)) {}

    void write() {
        const int code = wait_->event_code;
        out_.open_block();
        out_.emit_line("KVR_T_INT kvr_end_waittil_debug=0;");
        debug_line("KVR_T_INT kvr_continue_debug=0;");

        out_.emit_line("if (0");
        for (const Expected& e : events_) {
            out_.appendf("||(!kvr_msg_%s[%d].kvr_defNumber)", text(e.message_type->name), e.index);
            out_.emit_line();
        }
        out_.emit_line(")");
        out_.open_block();
        out_.appendf("kvr_nodefmsg(%s %d);", (std::string(kCtx) + ",").c_str(), code);
        out_.emit_line();
        failure(false);
        out_.close_block();

        out_.emit_line("else if (!(0");
        for (const Expected& e : events_) {
            out_.appendf("||(kvr_channel_%s[%d].kvr_numberofId)", text(e.comm_type->name), e.channel_index);
            out_.emit_line();
        }
        out_.emit_line("))");
        out_.open_block();
        out_.appendf("kvr_noaddid(%s, %d);", kCtx, code);
        out_.emit_line();
        failure(false);
        out_.close_block();

        out_.emit_line("else");
        out_.open_block();
        out_.emit_line("KVR_T_INT kvr_i, kvr_ret, kvr_cbret, kvr_rcv;");
        out_.emit_line("KVR_T_INT kvr_exprOK=0, kvr_exprKO=0;");
        out_.emit_line("KVR_T_UTIME kvr_wtime_0, kvr_t0, kvr_tn, kvr_tn1, kvr_tnow;");
        out_.emit_line("kvr_initstates (kvr_ctx);");
        dynamic_following("kvr_begin_waittil_tsf ( %s, %d, %d);", wait_->report_number - 1, "");
        out_.appendf("kvr_waittil (%s, %d);", kCtx, code);
        out_.emit_line();
        out_.emit_line("kvr_wtime = 0;");
        out_.appendf("kvr_t0 = kvr_getevtdate (%s);", kCtx);
        out_.emit_line();
        out_.emit_line("kvr_tn = kvr_t0 ;");
        out_.emit_line("kvr_tn1=kvr_tn+kvr_gran;");

        out_.emit_line("for (;");
        debug_line("!kvr_continue_debug &&");
        out_.emit_line("!kvr_end_waittil_debug;)");
        out_.open_block();
        out_.emit_line("kvr_rcv = 0;");
        out_.appendf("kvr_tnow = kvr_getevtdate (%s);", kCtx);
        out_.emit_line();
        out_.emit_line("while (kvr_tnow >= kvr_tn1)");
        out_.open_block();
        out_.emit_line("kvr_tn = kvr_tn1 ;");
        out_.emit_line("kvr_tn1=kvr_tn+kvr_gran;");
        out_.close_block();
        const char* limit = text(d_ ? d_->limit : nullptr);
        out_.appendf("KVR_TIMEOUT = ( (((kvr_tnow - kvr_t0)/KVR_WTIME_TO_TIME) < %s) ? (%s - (kvr_tnow - "
                     "kvr_t0)/KVR_WTIME_TO_TIME) : 0);",
                     limit, limit);
        out_.emit_line();
        polling();

        out_.emit_line("if (!kvr_end_waittil_debug");
        debug_line("&& !kvr_continue_debug");
        out_.emit_line(")");
        out_.open_block();
        out_.appendf("kvr_wtime_0 = kvr_getwtime(%s);", kCtx);
        out_.emit_line();
        evaluation();
        out_.emit_line("if (!kvr_rcv)");
        out_.open_block();
        out_.appendf("kvr_tnow = kvr_getevtdate (%s);", kCtx);
        out_.emit_line();
        out_.emit_line("while (kvr_tnow < kvr_tn1)");
        out_.open_block();
        out_.emit_line("kvr_sleep(kvr_tn1-kvr_tnow);");
        out_.appendf("kvr_tnow = kvr_getevtdate (%s);", kCtx);
        out_.emit_line();
        out_.close_block();
        out_.close_block();
        out_.close_block();
        out_.close_block();

        result();
        out_.close_block();
        debug_line("kvr_debug_state |= kvr_continue_debug;");
        out_.close_block();
    }

private:
    void debug_line(const char* line) {
        out_.emit_ifdef(kDebug);
        out_.emit_line(line);
        out_.emit_endif();
    }

    // A failing wait: under the debug macro the run goes on with the flag
    // set (leaving the polling loop when inside it), otherwise the scenario
    // ends failed.
    void failure(bool in_loop) {
        out_.emit_ifdef(kDebug);
        out_.emit_line("kvr_continue_debug = 1;");
        if (in_loop) out_.emit_line("break;");
        out_.emit_else();
        out_.emit_return("1");
        out_.emit_endif();
    }

    void dynamic_following(const char* format, int report, const char* tail) {
        out_.emit_line("#if KVS_DYNFLW");
        out_.appendf(format, kCtx, report, wait_->file_index);
        out_.append(tail);
        out_.emit_line();
        out_.emit_line("#endif /* KVS_DYNFLW */");
    }

    void evaluation() {
        out_.appendf("if (kvr_WAIT_%d(kvr_ctx, &kvr_exprOK, &kvr_exprKO, kvr_wtime_0))", d_ ? d_->number : 0);
        out_.emit_line();
        out_.open_block();
        out_.emit_line("kvr_end_waittil_debug = 1;");
        out_.emit_line("break;");
        out_.close_block();
    }

    bool uses_channel(const Entry* channel) const {
        for (const Expected& e : events_)
            if (e.channel == channel) return true;
        return false;
    }

    bool expects_on(const Entry* type, const Entry* channel) const {
        for (const Expected& e : events_)
            if (e.channel == channel && e.message_type == type) return true;
        return false;
    }

    // Communication types, their channels and the message types expected on
    // each, all three in declaration order.
    void polling() {
        for (const Entry* c : order_.comm_types) {
            bool commented = false;
            for (const Entry* x : order_.channels) {
                const auto* xd = descriptor_of<ChannelDescriptor>(x, D_CHANNEL);
                if (!xd || xd->comm_type != c || !uses_channel(x)) continue;
                if (!commented) {
                    out_.appendf("/* CommType %s */", text(c->name));
                    out_.emit_line();
                    commented = true;
                }
                out_.appendf("/* Channel %s */", text(x->name));
                out_.emit_line();
                for (const Entry* t : order_.message_types)
                    if (expects_on(t, x)) poll(c, x, xd->index, t);
            }
        }
    }

    void poll(const Entry* comm, const Entry* channel, int k, const Entry* type) {
        const auto* cd = descriptor_of<CommTypeDescriptor>(comm, D_COMM_TYPE);
        const bool single = cd && cd->single_connection;
        const char* c = text(comm->name);
        const char* t = text(type->name);
        out_.appendf("/* Type message %s */", t);
        out_.emit_line();
        if (!single) {
            out_.emit_line("for (kvr_i=0;");
            debug_line("!kvr_continue_debug&&");
            out_.appendf("!kvr_end_waittil_debug && kvr_i<kvr_channel_%s[%d].kvr_numberofId;kvr_i++)", c, k);
            out_.emit_line();
            out_.open_block();
        }
        out_.emit_line("kvr_ret = 0;");
        out_.appendf("kvr_rio_off(%s);", kCtx);
        out_.emit_line();
        if (single) out_.appendf("kvr_cbret=kvr_%s_ON_%s(kvr_ctx,%d);", t, c, k);
        else out_.appendf("kvr_cbret=kvr_%s_ON_%s(kvr_ctx,%d,kvr_i);", t, c, k);
        out_.emit_line();
        out_.appendf("kvr_rio_on(%s);", kCtx);
        out_.emit_line();

        out_.emit_line("if (kvr_cbret== 1)");
        out_.open_block();
        dynamic_following("kvr_end_waittil_tsf ( %s, %d, %d", wait_->report_number + 1, ", 2);");
        out_.appendf("kvr_endwaittil(%s, 2, %d, \"%s\");", kCtx, wait_->end_code, t);
        out_.emit_line();
        failure(true);
        out_.close_block();

        out_.emit_line("if (kvr_cbret==KVR_MESSAGE_READ)");
        out_.open_block();
        out_.emit_line("kvr_rcv |= 1;");
        out_.appendf("kvr_evt (%s,%d,%d,0,\" \");", kCtx, type->event_code, channel->event_code);
        out_.emit_line();
        out_.emit_line("#if KVS_DYNFLW");
        out_.appendf("kvr_waittil_tsf ( %s, \"%s\", %d, %d);", kCtx, t, wait_->report_number, wait_->file_index);
        out_.emit_line();
        out_.emit_line("#endif /* KVS_DYNFLW */");
        out_.appendf("kvr_%s_dump_msg (kvr_ctx, &(kvr_%s_rcv));", t, t);
        out_.emit_line();
        out_.appendf("kvr_endevt (%s,%d);", kCtx, type->end_code);
        out_.emit_line();
        for (const Expected& e : events_) {
            if (e.channel != channel || e.message_type != type) continue;
            out_.appendf("if (kvr_%s_cmp_msg(kvr_ctx, &(kvr_msg_%s[%d]),&(kvr_%s_rcv)))", t, t, e.index, t);
            out_.emit_line();
            out_.open_block();
            if (const int defaults = default_set_code(type)) {
                out_.appendf("kvr_def_msg(%s,%d);", kCtx, defaults);
                out_.emit_line();
            }
            out_.emit_line("kvr_ret=1;");
            out_.appendf("kvr_msg_%s[%d].kvr_state_channel[%d][%d]|=KVR_EVTOK;", t, e.index, e.comm_index, k);
            out_.emit_line();
            out_.close_block();
            out_.emit_line("else");
            out_.open_block();
            out_.appendf("kvr_msg_%s[%d].kvr_state_channel[%d][%d]|=KVR_EVTKO;", t, e.index, e.comm_index, k);
            out_.emit_line();
            out_.close_block();
        }
        out_.close_block();

        out_.emit_line("if (kvr_ret)");
        out_.open_block();
        out_.emit_line("kvr_wtime_0 = kvr_logdate / kvr_gran;");
        out_.close_block();
        out_.emit_line("else");
        out_.open_block();
        out_.appendf("kvr_wtime_0 = kvr_getwtime(%s);", kCtx);
        out_.emit_line();
        out_.close_block();
        evaluation();
        if (!single) out_.close_block();
    }

    void result() {
        out_.emit_ifdef(kDebug);
        out_.emit_line("if (!kvr_continue_debug)");
        out_.open_block();
        out_.emit_endif();
        const char* first_type = nullptr;
        for (const Entry* m = wait_->descriptor ? wait_->descriptor->sub_scope->first : nullptr; m; m = m->next) {
            const auto* md = descriptor_of<MatchDescriptor>(m, D_MATCH);
            const auto* ev = md ? descriptor_of<EventVariableDescriptor>(md->event, D_EVENT_VARIABLE) : nullptr;
            if (!md) continue;
            out_.appendf("kvr_state ( %s, (%s), %d);", kCtx, text(md->c_text), m->event_code);
            out_.emit_line();
            if (ev && ev->message_type) {
                const char* t = text(ev->message_type->name);
                if (!first_type) first_type = t;
                out_.appendf("kvr_%s_ref_msg (kvr_ctx, &(kvr_msg_%s[%d]));", t, t, ev->index);
                out_.emit_line();
            }
        }
        const char* shown = first_type ? first_type : "<not defined>";
        for (int failed = 1; failed >= 0; --failed) {
            out_.emit_line(failed ? "if (kvr_exprKO)" : "else if (kvr_exprOK)");
            out_.open_block();
            out_.emit_line("#if KVS_DYNFLW");
            out_.appendf("kvr_end_waittil_tsf ( %s, %d, %d, %d);", kCtx, wait_->report_number + 1, wait_->file_index,
                         failed);
            out_.emit_line();
            out_.emit_line("#endif /* KVS_DYNFLW */");
            out_.appendf("kvr_endwaittil(%s, %d, %d, \"%s\");", kCtx, failed, wait_->end_code, shown);
            out_.emit_line();
            if (failed) failure(false);
            out_.close_block();
        }
        out_.emit_ifdef(kDebug);
        out_.close_block();
        out_.emit_endif();
    }

    Emitter& out_;
    const Entry* wait_;
    const WaitDescriptor* d_;
    const PollingOrder& order_;
    std::vector<Expected> events_;
};

}  // namespace

void write_wait_function(Emitter& out, const Entry* wait) {
    const auto* d = descriptor_of<WaitDescriptor>(wait, D_WAIT);
    out.appendf("static KVR_T_INT kvr_WAIT_%d", d ? d->number : 0);
    out.add_param("KVR_T_INT *", "kvr_exprOK");
    out.add_param("KVR_T_INT *", "kvr_exprKO");
    out.add_param("KVR_T_UTIME", "kvr_wtime_0");
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_ret=0;");
    out.emit_line("do");
    out.open_block();
    out.appendf("if ((*kvr_exprKO = (%s)))", text(d ? d->failure : nullptr));
    out.emit_line();
    out.open_block();
    out.emit_line("kvr_ret=1;");
    out.close_block();
    out.appendf("if ((*kvr_exprOK = (%s)))", text(d ? d->success : nullptr));
    out.emit_line();
    out.open_block();
    out.emit_line("kvr_ret=1;");
    out.close_block();
    out.emit_line("if (kvr_wtime <= kvr_wtime_0)");
    out.open_block();
    out.emit_line("kvr_wtime++;");
    out.close_block();
    out.close_block();
    out.emit_line("while ((kvr_wtime<=kvr_wtime_0)&&(!kvr_ret));");
    out.emit_line("kvr_wtime = kvr_wtime_0;");
    out.emit_line("return kvr_ret;");
    out.close_block();
}

PollingOrder polling_order(const Scope* root) {
    PollingOrder order;
    for (const Entry* e = root ? root->first : nullptr; e; e = e->next) {
        if (e->kind == E_COMM_TYPE) order.comm_types.push_back(e);
        else if (e->kind == E_CHANNEL) order.channels.push_back(e);
        else if (e->kind == E_MESSAGE_TYPE) order.message_types.push_back(e);
    }
    return order;
}

void write_wait_statement(Emitter& out, const Entry* wait, const PollingOrder& order) {
    WaitWriter(out, wait, order).write();
}

}  // namespace zv
