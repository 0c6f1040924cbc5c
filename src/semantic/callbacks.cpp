// CALLBACK and PROCSEND: the functions through which a test receives and sends
// the messages of a message type on a communication type. Their C
// declarations live under the callback's or procsend's own C scope name.
#include "semantic/walk.h"

#include "native/native_analyser.h"

namespace zv::semantic {

// The refused definition gets an entry of its own outside the root scope, so
// that its body is analysed as the body of a callback or procsend would be
// while nothing of it reaches the model.
void Walk::walk_detached_body(const Node* body, int kind, const std::string& c_scope, const Position& at) {
    c_scope_ = c_scope;
    Scope* holder = tables_.new_scope(nullptr, tables_.root());
    Entry* entry = append(holder, kind, c_scope, at);
    Descriptor* d = kind == E_CALLBACK
                        ? static_cast<Descriptor*>(tables_.attach_descriptor<CallbackDescriptor>(entry, D_CALLBACK))
                        : tables_.attach_descriptor<ProcsendDescriptor>(entry, D_PROCSEND);
    walk_comm_body(body, tables_.new_scope(d, holder));
}

// The names of a CALLBACK or PROCSEND header, and whether a definition for
// the same pair exists already (then refused, its body analysed for its
// messages only).
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
        walk_detached_body(node->body(), kind, f.name, f.at);
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
    if (f.message_type) callbacks_of(f.message_type).push_back(callback);

    c_scope_ = f.name;
    if (f.comm_type && f.message_type) {
        const auto* comm = static_cast<const CommTypeDescriptor*>(f.comm_type->descriptor);
        const std::string id_type = comm->id_type;
        if (comm->multiplexing != (count != nullptr)) {
            report_at(Severity::Error, Code::CBNOMATCH, "MULTIPLEXING", f.at);
        } else {
            d->counted = comm->multiplexing;
            if (comm->multiplexing) {
                declare_c("int " + std::string(count->text) + ";", f.at);
                declare_c(id_type + " " + f.id_variable + "[];", f.at);
            } else {
                declare_c(id_type + " " + f.id_variable + ";", f.at);
            }
            declare_c(f.type_name + " " + f.message_variable + ";", f.at);
        }
    }
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
    if (f.comm_type && f.message_type) {
        const auto* comm = static_cast<const CommTypeDescriptor*>(f.comm_type->descriptor);
        declare_c(std::string(comm->id_type) + " " + f.id_variable + ";", f.at);
        declare_c(f.type_name + " " + f.message_variable + ";", f.at);
    }
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
