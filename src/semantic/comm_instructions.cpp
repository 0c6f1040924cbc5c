// Instructions of the communication model: SEND, DEF_MESSAGE and DEF_TRIGGER
// with the default value lists of message types, ADD_ID, FD_ADD, FD_DEL,
// CLEAR_ID, NO_MESSAGE, MESSAGE_DATE, INTERSEND and INTERRECV.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "native/type_class.h"

namespace zv::semantic {

namespace {

// The value of a clause token such as "EV = {1, 2}": what follows its first "=".
std::string clause_value(const char* clause) {
    const std::string text = clause ? clause : "";
    const auto equal = text.find('=');
    return equal == std::string::npos ? std::string() : text.substr(equal + 1);
}

bool one_of(int type_class, std::initializer_list<int> classes) {
    for (int c : classes)
        if (c == type_class) return true;
    return false;
}

}  // namespace

void Walk::on_comm_instruction(const Node* node, Scope* scope, const char* filter) {
    switch (node->kind) {
        case N_SEND: on_send(node, scope, filter); return;
        case N_DEF_MESSAGE: {
            expect_node(node->value(), N_EXPECTED_VALUE);
            on_def_message(node, clause_value(node->value()->text), scope, filter);
            return;
        }
        case N_DEF_TRIGGER: {
            std::string values;
            for (const Node* list = node->arguments(); list; list = list->next()) {
                expect_node(list, N_TRIGGER_ARGS);
                if (!values.empty()) values += ",";
                values += expression_text(list->item());
            }
            on_def_message(node, "{ " + values + "}", scope, filter);
            return;
        }
        case N_ADD_ID: on_add_id(node, scope, filter); return;
        case N_FD_ADD: on_fd_add(node, scope, filter); return;
        case N_FD_DEL: return;
        case N_CLEAR_ID: on_clear_id(node, scope, filter); return;
        case N_NO_MESSAGE: case N_MESSAGE_DATE: on_message_mark(node, scope, filter); return;
        case N_INTERSEND: on_intersend(node, scope, filter); return;
        case N_INTERRECV: on_interrecv(node, scope, filter); return;
        default: expect_node(node, N_SEND);
    }
}

void Walk::on_send(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const Node* arguments = node->send_arguments();
    const char* event_name = arguments->name()->text;
    const char* channel_name = arguments->second_name()->text;
    Entry* event = tables_.find_message_variable(event_name);
    if (!event) report_at(Severity::Error, Code::UNKMSGNAM, event_name, at);
    Entry* channel = tables_.find_channel(channel_name);
    if (!channel) report_at(Severity::Error, Code::UNKCHANAM, channel_name, at);
    if (!event || !channel) return;
    Entry* message_type = static_cast<EventVariableDescriptor*>(event->descriptor)->message_type;
    Entry* comm_type = static_cast<ChannelDescriptor*>(channel->descriptor)->comm_type;
    Entry* procsend =
        tables_.find_in_root(E_PROCSEND, std::string(message_type->name) + "_ON_" + comm_type->name + "_for_procsend");
    // A procsend defined before its communication type or message type was
    // known sends nothing.
    const auto* found = procsend ? static_cast<const ProcsendDescriptor*>(procsend->descriptor) : nullptr;
    if (!found || !found->comm_type || !found->message_type) {
        report_at(Severity::Error, Code::PSNOTDECL, "", at);
        return;
    }
    procsend->used = true;
    static_cast<ProcsendDescriptor*>(procsend->descriptor)->use_mark = 1;
    event->used = true;
    Entry* send = append_unnamed(scope, E_SEND, at, filter);
    auto* d = tables_.attach_descriptor<SendDescriptor>(send, D_SEND);
    d->channel = channel;
    d->event = event;
    d->procsend = procsend;
    if (!detached_) ensure_defaults(message_type, at);
}

// The default value list of a message type: the work variable kvr_msgrcv
// applied to every field.
void Walk::ensure_defaults(Entry* message_type, const Position& at) {
    auto* d = static_cast<MessageTypeDescriptor*>(message_type->descriptor);
    if (d->defaults) return;
    if (!declared_in_c_scope("kvr_msgrcv")) declare_c("int kvr_msgrcv;", at);
    d->defaults = field_scope(d, tables_.root());
    d->has_defaults =
        check_value("kvr_msgrcv", "kvr_msgrcv", ValueUse::Defaults, at, d->defaults, nullptr, message_type->name) !=
        nullptr;
}

void Walk::on_def_message(const Node* node, const std::string& value_text, Scope* scope, const char* filter) {
    const Position at = node->start;
    const std::string name = trimmed(expression_text(node->expression()));
    Entry* event = tables_.find_message_variable(name);
    if (!event) {
        report_at(Severity::Error, Code::UNDECTRGV, name, at);
        return;
    }
    Entry* definition = append(scope, E_MESSAGE_DEFINITION, name, at, filter);
    auto* d = tables_.attach_descriptor<MessageDefinitionDescriptor>(definition, D_MESSAGE_DEFINITION);
    d->event = event;
    tables_.new_scope(d, scope);
    def_message_seen_ = true;
    auto* event_d = static_cast<EventVariableDescriptor*>(event->descriptor);
    Entry* message_type = event_d->message_type;
    // Typed by its message type: a C variable of the same name in this scope
    // (a procedure parameter, say) does not stand for the event.
    Entry* value = check_value(name, value_text, ValueUse::ExpectedMessage, at, d->sub_scope, nullptr,
                               message_type->name);
    if (!value) return;
    d->number = next_def_message_++;
    if (detached_) return;
    if (!inside_procedure_) message_type->used = true;
    ensure_defaults(message_type, at);

    Scope* own = message_type->descriptor->sub_scope;
    Entry* expected = append_unnamed(own, E_DEFINITION_VALUE, at);
    auto* e = tables_.attach_descriptor<ExpectedValueDescriptor>(expected, D_EXPECTED_VALUE);
    e->event = event;
    e->number = d->number;
    e->outside_procedure = !inside_procedure_;
    tables_.new_scope(e, own);
    copy_value(value, e->sub_scope, "kvr_msgrcv", ValueUse::ExpectedMessage);
    event_d->expected = expected;
    d->expected = expected;
}

void Walk::on_add_id(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const std::string channel_name = trimmed(expression_text(node->expression()));
    const ExpressionTexts id = translate(node->second_expression(), true);
    Entry* channel = tables_.find_channel(channel_name);
    if (!channel) {
        report_at(Severity::Error, Code::UNKCHANAM, channel_name, at);
        return;
    }
    const auto* comm = static_cast<const CommTypeDescriptor*>(
        static_cast<ChannelDescriptor*>(channel->descriptor)->comm_type->descriptor);
    if (!native::expression_matches_type(native_, id.typing, comm->id_type, c_scope_, at.file ? at.file : "",
                                         at.line)) {
        report_at(Severity::Error, Code::TYPIDCOKO, id.c, at);
        return;
    }
    add_identifier(id, channel, scope, filter, at);
}

// The add identifier entry of ADD_ID and FD_ADD.
void Walk::add_identifier(const ExpressionTexts& id, Entry* channel, Scope* scope, const char* filter,
                          const Position& at) {
    Entry* entry = append(scope, E_ADD_ID, id.c, at, filter);
    auto* d = tables_.attach_descriptor<AddIdDescriptor>(entry, D_ADD_ID);
    d->channel = channel;
    d->constant = native::expression_is_constant(native_, id.typing, c_scope_, at.file ? at.file : "", at.line);
}

void Walk::on_fd_add(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const ExpressionTexts id = translate(node->expression(), true);
    const std::string type_name = trimmed(expression_text(node->second_expression()));
    // Only a message type of the TRIGGER style has a channel on the socket.
    Entry* message_type = tables_.find_message_type(type_name);
    Entry* channel = message_type ? implicit_channel(message_type) : nullptr;
    if (!channel) {
        report_at(Severity::Error, Code::UNKAPINAM, type_name, at);
        return;
    }
    channel->used = true;
    add_identifier(id, channel, scope, filter, at);
}

void Walk::on_clear_id(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const std::string channel_name = trimmed(expression_text(node->expression()));
    Entry* channel = tables_.find_channel(channel_name);
    if (!channel) report_at(Severity::Error, Code::UNKCHANAM, channel_name, at);
    Entry* entry = append(scope, E_CLEAR_ID, channel_name, at, filter);
    tables_.attach_descriptor<ClearIdDescriptor>(entry, D_CLEAR_ID)->channel = channel;
}

// NO_MESSAGE and MESSAGE_DATE belong to a procedure or a callback, possibly
// inside its IF, WHILE and CASE structures.
void Walk::on_message_mark(const Node* node, Scope* scope, const char* filter) {
    const bool no_message = node->kind == N_NO_MESSAGE;
    const Entry* owner = nullptr;
    for (const Scope* s = scope; s; s = s->parent) {
        owner = s->owner ? s->owner->entry : nullptr;
        if (!owner || (owner->kind != E_IF && owner->kind != E_WHILE && owner->kind != E_CASE && owner->kind != E_WHEN))
            break;
    }
    if (!owner || (owner->kind != E_PROCEDURE && owner->kind != E_CALLBACK)) {
        report_at(Severity::Error, no_message ? Code::NOMSINBBL : Code::MSGDINBBL,
                  no_message ? "NO_MESSAGE" : "MESSAGE_DATE", node->start);
        return;
    }
    append_unnamed(scope, no_message ? E_NO_MESSAGE : E_MESSAGE_DATE, node->start, filter);
}

void Walk::on_intersend(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const Node* arguments = node->send_arguments();
    const ExpressionTexts first = translate(arguments->expression(), true);
    const ExpressionTexts second = translate(arguments->second_expression(), true);
    bool numeric = false;
    if (!first.c.empty()) {
        const int c = type_class_of(first.typing, at);
        if (!one_of(c, {native::kInteger, native::kLongInteger, native::kCharPointer, native::kCharArray}))
            report_at(Severity::Error, Code::INCOMPTYP, first.c, at);
        numeric = c == native::kInteger || c == native::kLongInteger;
    }
    if (!second.c.empty() && !one_of(type_class_of(second.typing, at), {native::kCharPointer, native::kCharArray}))
        report_at(Severity::Error, Code::INCOMPTYP, second.c, at);
    Entry* entry = append_unnamed(scope, E_INTERSEND, at, filter);
    auto* d = tables_.attach_descriptor<IntersendDescriptor>(entry, D_INTERSEND);
    d->numeric = numeric;
    d->first = pooled(first.c);
    d->second = pooled(second.c);
}

void Walk::on_interrecv(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const Node* arguments = node->send_arguments();
    const ExpressionTexts first = translate(arguments->expression(), true);
    const bool one_operand = arguments->second_expression() == nullptr;
    const ExpressionTexts second = one_operand ? ExpressionTexts{} : translate(arguments->second_expression(), true);
    const int first_class = first.c.empty() ? native::kNoType : type_class_of(first.typing, at);
    if (one_operand) {
        if (one_of(first_class, {native::kCharPointer, native::kCharArray}))
            report_at(Severity::Error, Code::INCOMPTYP, first.c, at);
    } else {
        if (!first.c.empty() && !one_of(first_class, {native::kCharPointer, native::kCharArray}))
            report_at(Severity::Error, Code::INCOMPTYP, first.c, at);
        if (!second.c.empty() &&
            !one_of(type_class_of(second.typing, at), {native::kInteger, native::kLongInteger}))
            report_at(Severity::Error, Code::INCOMPTYP, second.c, at);
    }
    Entry* entry = append_unnamed(scope, E_INTERRECV, at, filter);
    auto* d = tables_.attach_descriptor<InterrecvDescriptor>(entry, D_INTERRECV);
    d->one_operand = one_operand;
    d->first = pooled(first.c);
    d->second = one_operand ? nullptr : pooled(second.c);
}

}  // namespace zv::semantic
