// CALLBACK and PROCSEND: the functions through which a test receives and sends
// the messages of a message type on a communication type. Their C
// declarations live under the callback's or procsend's own C scope name.
#include "semantic/walk.h"

#include "native/native_analyser.h"

namespace zv::semantic {

// A refused duplicate is analysed as its body would be, with its C
// declarations, so that the tester sees its faults at once; but its entries
// stay outside the root scope and nothing it holds may count in the model:
// the numbering is put back and no use mark, wait reference or DEF_MESSAGE
// record is made.
void Walk::walk_duplicate(const Node* node, int kind, CommFunction& f) {
    const int timers = timer_count_, def_messages = next_def_message_, waits = next_waittil_,
              temporaries = next_temporary_;
    const bool waited = waittil_recorded_, defined = def_message_seen_;
    detached_ = true;
    Scope* holder = tables_.new_scope(nullptr, tables_.root());
    Entry* entry = append(holder, kind, f.name, f.at);
    f.comm_type = tables_.find_in_root(E_COMM_TYPE, f.comm_name);
    f.message_type = tables_.find_in_root(E_MESSAGE_TYPE, f.type_name);
    c_scope_ = f.name;
    Descriptor* d = nullptr;
    if (kind == E_CALLBACK) {
        d = tables_.attach_descriptor<CallbackDescriptor>(entry, D_CALLBACK);
        declare_callback_variables(f, node->on_part()->bracketed_name(), false);
    } else {
        d = tables_.attach_descriptor<ProcsendDescriptor>(entry, D_PROCSEND);
        declare_procsend_variables(f);
    }
    walk_comm_body(node->body(), tables_.new_scope(d, holder));
    detached_ = false;
    timer_count_ = timers, next_def_message_ = def_messages, next_waittil_ = waits, next_temporary_ = temporaries;
    waittil_recorded_ = waited, def_message_seen_ = defined;
}

// The names of a CALLBACK or PROCSEND header; a definition for a pair that
// has one already is refused.
Walk::CommFunction Walk::comm_function(const Node* node, int kind, const char* suffix) {
    CommFunction f;
    f.at = node->start;
    const Node* head = node->head();
    const Node* on = node->on_part();
    f.type_name = head->name()->text;
    f.message_variable = head->second_name()->text;
    f.comm_name = on->name()->text;
    f.id_variable = on->second_name()->text;
    instruction_marker_ = false;
    f.name = f.type_name + "_ON_" + f.comm_name + suffix;
    if (tables_.find_in_root(kind, f.name)) {
        report_at(Severity::Error, kind == E_CALLBACK ? Code::CBALRDEFI : Code::PSALRDEFI, f.name, f.at);
        walk_duplicate(node, kind, f);
        f.refused = true;
    }
    return f;
}

// Looks up the communication type and message type of a definition, both
// reported when unknown.
void Walk::resolve_comm_function(CommFunction& f) {
    f.comm_type = tables_.find_comm_type(f.comm_name);
    if (!f.comm_type) report_at(Severity::Error, Code::COMMNODEC, f.comm_name, f.at);
    f.message_type = tables_.find_message_type(f.type_name);
    if (!f.message_type) report_at(Severity::Error, Code::UKNMSGTYP, f.type_name, f.at);
}

// Under the callback's C scope name: the count and the identifiers (an array
// of them with multiplexing) and the message. False after CBNOMATCH.
bool Walk::declare_callback_variables(const CommFunction& f, const Node* count, bool report) {
    if (!f.comm_type || !f.message_type) return false;
    const auto* comm = static_cast<const CommTypeDescriptor*>(f.comm_type->descriptor);
    const std::string id_type = comm->id_type;
    if (comm->multiplexing != (count != nullptr)) {
        if (report) report_at(Severity::Error, Code::CBNOMATCH, "MULTIPLEXING", f.at);
        return false;
    }
    if (comm->multiplexing) {
        declare_c("int " + std::string(count->text) + ";", f.at);
        declare_c(id_type + " " + f.id_variable + "[];", f.at);
    } else {
        declare_c(id_type + " " + f.id_variable + ";", f.at);
    }
    declare_c(f.type_name + " " + f.message_variable + ";", f.at);
    return true;
}

void Walk::declare_procsend_variables(const CommFunction& f) {
    if (!f.comm_type || !f.message_type) return;
    const auto* comm = static_cast<const CommTypeDescriptor*>(f.comm_type->descriptor);
    declare_c(std::string(comm->id_type) + " " + f.id_variable + ";", f.at);
    declare_c(f.type_name + " " + f.message_variable + ";", f.at);
}

void Walk::walk_comm_body(const Node* body, Scope* scope) {
    walk_body(body, scope);
    close_c_scope(c_scope_);
    c_scope_.clear();
}

void Walk::on_callback(const Node* node) {
    CommFunction f = comm_function(node, E_CALLBACK, "");
    if (f.refused) return;
    const Node* count = node->on_part()->bracketed_name();
    Entry* callback = new_callback(f.type_name, f.comm_name, f.at);
    auto* d = static_cast<CallbackDescriptor*>(callback->descriptor);
    d->message_variable = pooled(f.message_variable);
    d->id_variable = pooled(f.id_variable);
    d->count_variable = count ? pooled(count->text) : nullptr;
    resolve_comm_function(f);
    d->comm_type = f.comm_type;
    d->message_type = f.message_type;
    register_callback(callback);

    c_scope_ = f.name;
    if (declare_callback_variables(f, count, true))
        d->counted = static_cast<const CommTypeDescriptor*>(f.comm_type->descriptor)->multiplexing;
    walk_comm_body(node->body(), d->sub_scope);

    if (!body_contains(d->sub_scope, E_MESSAGE_DATE)) report_at(Severity::Error, Code::NOMSGDCAL, f.name, f.at);
    if (!body_contains(d->sub_scope, E_NO_MESSAGE)) report_at(Severity::Error, Code::NONMSGCAL, f.name, f.at);
}

void Walk::on_procsend(const Node* node) {
    CommFunction f = comm_function(node, E_PROCSEND, "_for_procsend");
    if (f.refused) return;
    Scope* root = tables_.root();
    Entry* procsend = append(root, E_PROCSEND, f.name, f.at);
    auto* d = tables_.attach_descriptor<ProcsendDescriptor>(procsend, D_PROCSEND);
    tables_.new_scope(d, root);
    d->message_variable = pooled(f.message_variable);
    d->id_variable = pooled(f.id_variable);
    resolve_comm_function(f);
    d->comm_type = f.comm_type;
    d->message_type = f.message_type;

    c_scope_ = f.name;
    declare_procsend_variables(f);
    walk_comm_body(node->body(), d->sub_scope);
}

// Whether an instruction of `kind` stands in a body, in the IF, ELSE, WHILE,
// CASE and WHEN scopes nested there, or in the procedures it calls.
bool Walk::body_contains(const Scope* body, int kind) {
    std::vector<const Scope*> pending{body};
    std::unordered_set<const Scope*> seen{body};
    auto visit = [&](const Scope* scope) {
        if (scope && seen.insert(scope).second) pending.push_back(scope);
    };
    while (!pending.empty()) {
        const Scope* scope = pending.back();
        pending.pop_back();
        for (const Entry* e = scope->first; e; e = e->next) {
            if (e->kind == kind) return true;
            switch (e->kind) {
                case E_CALL: {
                    const auto* call = static_cast<const CallDescriptor*>(e->descriptor);
                    if (call && call->procedure) visit(call->procedure->descriptor->sub_scope);
                    break;
                }
                case E_IF:
                    visit(e->descriptor->sub_scope);
                    visit(static_cast<const IfDescriptor*>(e->descriptor)->else_part);
                    break;
                case E_WHILE: case E_CASE:
                    visit(e->descriptor->sub_scope);
                    break;
                case E_WHEN:
                    visit(static_cast<const WhenDescriptor*>(e->descriptor)->instructions);
                    break;
                default:
                    break;
            }
        }
    }
    return false;
}

}  // namespace zv::semantic
