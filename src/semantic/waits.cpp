// WAITTIL: its success and failure conditions with their matching operators,
// the time limit, the channels that the wait polls (connections), its number,
// and the reference that asks code generation for a wait function.
#include "semantic/walk.h"

#include <set>

namespace zv::semantic {

namespace {

bool is_matching(const Node* node) {
    return node && (node->kind == N_MATCHING || node->kind == N_MATCHED || node->kind == N_NOTMATCHING ||
                    node->kind == N_NOTMATCHED);
}

// The limit after the first "WTIME" of a condition: after a comparison by
// "=" or ">" (possibly followed by "="), skip the characters up to ")" and
// take the run of characters from "*" to "z".
std::string limit_in(const std::string& text) {
    auto at = text.find("WTIME");
    if (at == std::string::npos) return "0";
    at += 5;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (at >= text.size() || (text[at] != '=' && text[at] != '>')) return "0";
    ++at;
    if (at < text.size() && text[at] == '=') ++at;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= ')') ++at;
    const auto start = at;
    while (at < text.size() && text[at] >= '*' && text[at] <= 'z') ++at;
    return at > start ? text.substr(start, at - start) : "0";
}

std::string pair_text(const Entry* first_event, const Entry* first_channel, const Entry* second_event,
                      const Entry* second_channel) {
    return "(" + std::string(first_event->name) + "," + first_channel->name + ") (" + second_event->name + "," +
           second_channel->name + ")";
}

const Entry* message_type_of(const Entry* event) {
    return static_cast<const EventVariableDescriptor*>(event->descriptor)->message_type;
}

}  // namespace

std::string Walk::time_limit(const std::string& failure, const std::string& success) const {
    const std::string limit = limit_in(failure);
    return limit != "0" ? limit : limit_in(success);
}

void Walk::on_waittil(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    std::vector<Operator> operators;
    bool available = true;
    for (const Node* condition : {node->condition(), node->failure_condition()}) {
        for (const Node* piece = condition; piece; piece = piece->next()) {
            expect_node(piece, N_EXPRESSION);
            if (!is_matching(piece->item())) continue;
            Operator op;
            op.node = piece->item();
            if (!resolve_operator(op, at)) {
                available = false;
                break;  // the rest of this condition is not examined
            }
            operators.push_back(std::move(op));
        }
    }
    if (!available) return;
    for (std::size_t i = 0; i < operators.size(); ++i) {
        if (!operators[i].written_channel) continue;
        for (std::size_t j = i + 1; j < operators.size(); ++j) {
            const Operator& a = operators[i];
            const Operator& b = operators[j];
            if (!b.written_channel || a.channel != b.channel) continue;
            if (message_type_of(a.event) == message_type_of(b.event)) continue;
            report_at(Severity::Error, Code::DBLMSGTYP, pair_text(a.event, a.channel, b.event, b.channel), at);
            return;
        }
    }

    const ExpressionTexts success = translate(node->condition(), false);
    const ExpressionTexts failure = translate(node->failure_condition(), false);
    Entry* wait = append_unnamed(scope, E_WAIT, at, filter);
    auto* d = tables_.attach_descriptor<WaitDescriptor>(wait, D_WAIT);
    d->success = pooled(success.c);
    d->failure = pooled(failure.c);
    d->success_display = pooled(success.display);
    d->failure_display = pooled(failure.display);
    d->limit = pooled(time_limit(failure.c, success.c));
    d->number = next_waittil_++;
    waittil_recorded_ = true;
    tables_.new_scope(d, scope);
    d->connections = field_scope(d, scope);

    for (Operator& op : operators) {
        operator_texts(op, at, true);
        Entry* match = append_unnamed(d->sub_scope, E_MATCH, at);
        auto* m = tables_.attach_descriptor<MatchDescriptor>(match, D_MATCH);
        m->c_text = pooled(op.c_text);
        m->display = pooled(op.display);
        m->event = op.event;
    }

    struct Connection {
        Entry* event;
        Entry* channel;
        Entry* callback;
    };
    std::vector<Connection> connections;
    std::set<std::pair<const Entry*, const Entry*>> seen;
    auto connect = [&](Entry* event, Entry* channel, Entry* callback) {
        if (!seen.insert({event, channel}).second) return;
        connections.push_back({event, channel, callback});
        callback->used = true;
        static_cast<CallbackDescriptor*>(callback->descriptor)->use_mark = 1;
    };
    for (const Operator& op : operators) {
        if (op.channel) {
            connect(op.event, op.channel, op.callback);
            continue;
        }
        for (Entry* callback : callbacks_of(message_type_of(op.event))) {
            Entry* comm_type = static_cast<CallbackDescriptor*>(callback->descriptor)->comm_type;
            if (!comm_type) continue;
            for (Entry* channel : channels_of(comm_type)) connect(op.event, channel, callback);
        }
    }
    for (const Connection& c : connections) {
        Entry* entry = append_unnamed(d->connections, E_CONNECTION, at);
        auto* cd = tables_.attach_descriptor<ConnectionDescriptor>(entry, D_CONNECTION);
        cd->event = c.event;
        cd->channel = c.channel;
        cd->callback = c.callback;
    }

    // A channel polled for two message types cannot tell which one arrives.
    std::unordered_map<const Entry*, const Connection*> first_on_channel;
    for (const Connection& c : connections) {
        const auto [it, added] = first_on_channel.emplace(c.channel, &c);
        if (added || message_type_of(it->second->event) == message_type_of(c.event)) continue;
        report_at(Severity::Error, Code::DBLCOMTYP, pair_text(it->second->event, c.channel, c.event, c.channel), at);
        return;
    }
    if (detached_) return;
    Entry* reference = tables_.prepend_entry(tables_.root(), E_WAIT_REFERENCE, nullptr, at.file, at.line, nullptr,
                                             at.file_index);
    tables_.attach_descriptor<WaitReferenceDescriptor>(reference, D_WAIT_REFERENCE)->wait = d;
    d->referenced = true;
}

void Walk::report_missing_def_message() {
    if (!waittil_recorded_ || def_message_seen_) return;
    const Entry* last = tables_.root()->last;
    reportAtText(Severity::Information, Code::NODEFMESS, "", last ? last->file : nullptr, last ? last->line : 0);
}

}  // namespace zv::semantic
