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
    Scope* detached = tables_.new_scope(d, holder);
    walk_body(body, detached);
    close_c_scope(c_scope_);
    c_scope_.clear();
}

void Walk::on_callback(const Node* node) {
    const Position at = node->start;
    const Node* head = node->head();
    const Node* on = node->on_part();
    const std::string type_name = head->name()->text;
    const char* message_variable = head->second_name()->text;
    const std::string comm_name = on->name()->text;
    const char* id_variable = on->second_name()->text;
    const Node* count = on->bracketed_name();
    instruction_marker_ = false;
    const std::string name = type_name + "_ON_" + comm_name;
    if (tables_.find_in_root(E_CALLBACK, name)) {
        report_at(Severity::Error, Code::CBALRDEFI, name, at);
        walk_detached_body(node->body(), E_CALLBACK, name, at);
        return;
    }
    Entry* callback = new_callback(type_name, comm_name, at);
    auto* d = static_cast<CallbackDescriptor*>(callback->descriptor);
    d->message_variable = pooled(message_variable);
    d->id_variable = pooled(id_variable);
    d->count_variable = count ? pooled(count->text) : nullptr;
    Entry* comm_type = tables_.find_comm_type(comm_name);
    if (!comm_type) report_at(Severity::Error, Code::COMMNODEC, comm_name, at);
    Entry* message_type = tables_.find_message_type(type_name);
    if (!message_type) report_at(Severity::Error, Code::UKNMSGTYP, type_name, at);
    d->comm_type = comm_type;
    d->message_type = message_type;
    if (message_type) callbacks_of(message_type).push_back(callback);

    c_scope_ = name;
    if (comm_type && message_type) {
        const auto* comm = static_cast<const CommTypeDescriptor*>(comm_type->descriptor);
        const std::string id_type = comm->id_type;
        if (comm->multiplexing != (count != nullptr)) {
            report_at(Severity::Error, Code::CBNOMATCH, "MULTIPLEXING", at);
        } else {
            d->counted = comm->multiplexing;
            if (comm->multiplexing) {
                declare_c("int " + std::string(count->text) + ";", at);
                declare_c(id_type + " " + id_variable + "[];", at);
            } else {
                declare_c(id_type + " " + id_variable + ";", at);
            }
            declare_c(type_name + " " + message_variable + ";", at);
        }
    }
    walk_body(node->body(), d->sub_scope);
    close_c_scope(c_scope_);
    c_scope_.clear();

    if (!body_contains(d->sub_scope, E_MESSAGE_DATE)) report_at(Severity::Error, Code::NOMSGDCAL, name, at);
    if (!body_contains(d->sub_scope, E_NO_MESSAGE)) report_at(Severity::Error, Code::NONMSGCAL, name, at);
}

void Walk::on_procsend(const Node* node) {
    const Position at = node->start;
    const Node* head = node->head();
    const Node* on = node->on_part();
    const std::string type_name = head->name()->text;
    const char* message_variable = head->second_name()->text;
    const std::string comm_name = on->name()->text;
    const char* id_variable = on->second_name()->text;
    instruction_marker_ = false;
    const std::string name = type_name + "_ON_" + comm_name + "_for_procsend";
    if (tables_.find_in_root(E_PROCSEND, name)) {
        report_at(Severity::Error, Code::PSALRDEFI, name, at);
        walk_detached_body(node->body(), E_PROCSEND, name, at);
        return;
    }
    Scope* root = tables_.root();
    Entry* procsend = append(root, E_PROCSEND, name, at);
    auto* d = tables_.attach_descriptor<ProcsendDescriptor>(procsend, D_PROCSEND);
    tables_.new_scope(d, root);
    d->message_variable = pooled(message_variable);
    d->id_variable = pooled(id_variable);
    Entry* comm_type = tables_.find_comm_type(comm_name);
    if (!comm_type) report_at(Severity::Error, Code::COMMNODEC, comm_name, at);
    Entry* message_type = tables_.find_message_type(type_name);
    if (!message_type) report_at(Severity::Error, Code::UKNMSGTYP, type_name, at);
    d->comm_type = comm_type;
    d->message_type = message_type;

    c_scope_ = name;
    if (comm_type && message_type) {
        const auto* comm = static_cast<const CommTypeDescriptor*>(comm_type->descriptor);
        declare_c(std::string(comm->id_type) + " " + id_variable + ";", at);
        declare_c(type_name + " " + message_variable + ";", at);
    }
    walk_body(node->body(), d->sub_scope);
    close_c_scope(c_scope_);
    c_scope_.clear();
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
