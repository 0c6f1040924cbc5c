// Declarations of the communication model: communication types, channels,
// message types with their event variables (both styles), the implicit
// socket communication type of the TRIGGER style with its channels and
// generated callbacks, and CATCH.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "native/union_selection.h"

namespace zv::semantic {

namespace {

constexpr const char* kImplicitCommType = "kvr_socket";

}  // namespace

void Walk::on_comm_declaration(const Node* node) {
    switch (node->kind) {
        case N_COMMTYPE: on_commtype(node); return;
        case N_CHANNEL: on_channel(node); return;
        case N_MESSAGE: on_event_variables(node, false); return;
        case N_TRIGGER: on_event_variables(node, true); return;
        case N_CALLBACK: case N_VIRTUAL_CALLBACK: on_callback(node); return;
        case N_PROCSEND: case N_VIRTUAL_PROCSEND: on_procsend(node); return;
        default: expect_node(node, N_COMMTYPE);
    }
}

void Walk::on_commtype(const Node* node) {
    const Position at = node->start;
    const char* name = node->name()->text;
    const char* id_type = node->second_name()->text;
    if (tables_.find_comm_type(name)) report_at(Severity::Error, Code::COMALRDEC, name, at);
    const native::NativeType id = native_.type_by_name(id_type, c_scope_);
    if (!id) report_at(Severity::Error, Code::IDCNOTDEC, id_type, at);
    Entry* entry = append(tables_.root(), E_COMM_TYPE, name, at);
    auto* d = tables_.attach_descriptor<CommTypeDescriptor>(entry, D_COMM_TYPE);
    d->id_type = pooled(id_type);
    using Shape = native::NativeType::Shape;
    d->id_structured = id.shape() == Shape::Structure || id.shape() == Shape::Union;
    d->number = next_comm_type_++;
    for (const Node* property = node->properties(); property; property = property->next()) {
        expect_node(property, N_PROPERTIES);
        if (d->multiplexing) {
            report_at(Severity::Error, Code::PROPALDEC, "MULTIPLEXING", at);
            break;
        }
        d->multiplexing = true;
    }
}

void Walk::create_implicit_comm_type(const Position& at) {
    Entry* entry = append(tables_.root(), E_COMM_TYPE, kImplicitCommType, at);
    auto* d = tables_.attach_descriptor<CommTypeDescriptor>(entry, D_COMM_TYPE);
    d->id_type = pooled("int");
    d->number = next_comm_type_++;
    d->multiplexing = true;
    entry->used = true;
    implicit_comm_type_ = entry;
}

Entry* Walk::new_channel(Entry* comm_type, std::string_view name, const Position& at) {
    auto* comm = static_cast<CommTypeDescriptor*>(comm_type->descriptor);
    Entry* channel = append(tables_.root(), E_CHANNEL, name, at);
    auto* d = tables_.attach_descriptor<ChannelDescriptor>(channel, D_CHANNEL);
    d->comm_type = comm_type;
    d->index = comm->channel_count++;
    channels_of(comm_type).push_back(channel);
    return channel;
}

void Walk::on_channel(const Node* node) {
    const Position at = node->start;
    const char* comm_name = node->name()->text;
    Entry* comm_type = tables_.find_comm_type(comm_name);
    if (!comm_type) {
        report_at(Severity::Error, Code::COMMNODEC, comm_name, at);
        return;
    }
    for (const Node* list = node->name_list(); list; list = list->next()) {
        expect_node(list, N_CHANNEL_LIST);
        const char* name = list->item()->text;
        if (tables_.find_channel(name)) {
            report_at(Severity::Error, Code::CHAALRDEC, name, at);
            return;
        }
        Entry* channel = new_channel(comm_type, name, at);
        highest_channel_ = std::max(highest_channel_, static_cast<ChannelDescriptor*>(channel->descriptor)->index);
    }
}

// MESSAGE (channel style) and TRIGGER (implicit-socket style).
void Walk::on_event_variables(const Node* node, bool trigger) {
    const Position at = node->start;
    const std::string type_name = node->name()->text;
    if (!native_.type_by_name(type_name, c_scope_)) {
        report_at(Severity::Error, Code::UKNEVTSTC, type_name, at);
        return;
    }
    Entry* message_type = tables_.find_message_type(type_name);
    const bool created = !message_type;
    if (created) {
        Scope* root = tables_.root();
        message_type = append(root, E_MESSAGE_TYPE, type_name, at);
        auto* d = tables_.attach_descriptor<MessageTypeDescriptor>(message_type, D_MESSAGE_TYPE);
        tables_.new_scope(d, root);
        d->number = next_message_type_++;
        const auto context = native::union_selection(native_, type_name, c_scope_, "KVR_" + type_name);
        const auto kept = native::union_selection(native_, type_name, c_scope_, "kvr_ctxsel_" + type_name);
        if (!context || !kept) {
            report_at(Severity::Error, Code::SELTOOBIG, type_name, at);
        } else if (!context->empty()) {
            declare_c(*context, at);
            d->selection = pooled(*kept);
        }
    }
    auto* type = static_cast<MessageTypeDescriptor*>(message_type->descriptor);
    for (const Node* list = node->name_list(); list; list = list->next()) {
        const char* name = list->item()->text;
        if (tables_.find_message_variable(name)) {
            report_at(Severity::Error, Code::TRGALRDEC, name, at);
            break;
        }
        Entry* event = append(tables_.root(), E_MESSAGE_VARIABLE, name, at);
        auto* d = tables_.attach_descriptor<EventVariableDescriptor>(event, D_EVENT_VARIABLE);
        d->message_type = message_type;
        d->index = type->event_count++;
        declare_c(type_name + " " + name + ";", at);
    }
    if (trigger && created && implicit_comm_type_) {
        const int index = static_cast<CommTypeDescriptor*>(implicit_comm_type_->descriptor)->channel_count;
        implicit_channels_[message_type] =
            new_channel(implicit_comm_type_, "kvr_v1_3_ch_" + std::to_string(index), at);
        ++highest_channel_;
        if (!tables_.find_in_root(E_CALLBACK, type_name + "_ON_" + kImplicitCommType))
            create_trigger_callback(message_type, at);
    }
}

Entry* Walk::implicit_channel(const Entry* message_type) const {
    const auto found = implicit_channels_.find(message_type);
    return found == implicit_channels_.end() ? nullptr : found->second;
}

// A callback entry without declarations yet.
Entry* Walk::new_callback(const std::string& message_type, const std::string& comm_type, const Position& at) {
    Scope* root = tables_.root();
    Entry* callback = append(root, E_CALLBACK, message_type + "_ON_" + comm_type, at);
    auto* d = tables_.attach_descriptor<CallbackDescriptor>(callback, D_CALLBACK);
    tables_.new_scope(d, root);
    return callback;
}

// Only a callback whose communication type and message type are both known
// can deliver messages: the others are never selected.
void Walk::register_callback(Entry* callback) {
    const auto* d = static_cast<const CallbackDescriptor*>(callback->descriptor);
    if (!d->comm_type || !d->message_type) return;
    tables_.index_callback(callback, d->message_type->name, d->comm_type->name);
    callbacks_of(d->message_type).push_back(callback);
}

// The callback that the TRIGGER style generates for each message type: it
// polls the identifiers of the socket and reads the message it finds.
void Walk::create_trigger_callback(Entry* message_type, const Position& at) {
    const std::string type = message_type->name;
    Entry* callback = new_callback(type, kImplicitCommType, at);
    auto* d = static_cast<CallbackDescriptor*>(callback->descriptor);
    d->comm_type = implicit_comm_type_;
    d->message_type = message_type;
    d->counted = true;
    d->message_variable = pooled("kvr_msg");
    d->id_variable = pooled("kvr_ids");
    d->count_variable = pooled("kvr_n");
    register_callback(callback);
    Scope* body = d->sub_scope;
    append(body, E_C_LINE, "int fd;", at);
    append(body, E_COMMENT, "Entree dans le callback " + std::string(callback->name), at);
    append(body, E_C_LINE,
           "if (fd=kvr_pollevt(kvr_ids, kvr_n)) {  " + type +
               "_Init(&kvr_msg, fd); kvr_msgdate ( &(kvr_ctx->kvr_ctxrun),0 );} else return (KVR_NO_MESSAGE);",
           at);
}

// CATCH names a handler procedure; no generated code acts on it, so the
// tester is told that the declaration has no effect.
void Walk::on_catch(const Node* node) {
    const Position at = node->start;
    const char* handler = node->handler()->text;
    if (!tables_.find_procedure(handler)) {
        report_at(Severity::Error, Code::UNKCLPROC, handler, at);
        return;
    }
    report_at(Severity::Warning, Code::CATCHNOOP, handler, at);
}

}  // namespace zv::semantic
