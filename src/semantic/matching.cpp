// Matching operators (MATCHING, MATCHED, NOTMATCHING, NOTMATCHED) on event
// variables: the callback that can deliver the event, the C text that the
// generated code evaluates and the text that the tester reads.
#include "semantic/walk.h"

namespace zv::semantic {

namespace {

bool is_matching(const Node* node) {
    return node->kind == N_MATCHING || node->kind == N_MATCHED || node->kind == N_NOTMATCHING ||
           node->kind == N_NOTMATCHED;
}

const char* keyword_of(const Node* node) {
    switch (node->kind) {
        case N_MATCHING: return "MATCHING";
        case N_MATCHED: return "MATCHED";
        case N_NOTMATCHING: return "NOTMATCHING";
        default: return "NOTMATCHED";
    }
}

}  // namespace

// With a channel, the callback of the channel's communication type for the
// event's message type; without, the first callback of that message type.
Entry* Walk::callback_for(const Entry* event, const Entry* channel) {
    const Entry* message_type = static_cast<const EventVariableDescriptor*>(event->descriptor)->message_type;
    if (channel) {
        const Entry* comm_type = static_cast<const ChannelDescriptor*>(channel->descriptor)->comm_type;
        return tables_.find_callback(message_type->name, comm_type->name);
    }
    const std::vector<Entry*>& callbacks = callbacks_of(message_type);
    if (callbacks.empty()) return nullptr;
    callbacks.front()->used = true;
    return callbacks.front();
}

void Walk::operator_texts(Operator& op, const Position& at, bool quiet) {
    const Node* node = op.node;
    const char* keyword = keyword_of(node);
    const char* event_name = node->name()->text;
    const Node* channel_node = node->second_name();
    const bool trigger_style = options_.comm_model == CommModel::Trigger;
    op.display = std::string(keyword) + "(" + event_name;
    if (channel_node && !trigger_style) op.display += std::string(",") + channel_node->text;
    op.display += ")";

    if (!op.event) op.event = tables_.find_message_variable(event_name);
    if (!op.event) {
        if (!quiet) report_at(Severity::Error, Code::UNKMSGNAM, event_name, at);
        op.c_text = op.display;
        return;
    }
    op.event->used = true;
    const auto* event = static_cast<const EventVariableDescriptor*>(op.event->descriptor);
    const std::string message = "kvr_msg_" + std::string(event->message_type->name) + "[" +
                                std::to_string(event->index) + "]";
    if (!op.channel && channel_node) op.channel = tables_.find_channel(channel_node->text);
    if (!op.channel && trigger_style) op.channel = implicit_channel(event->message_type);
    const std::string function = std::string("KVR_") + keyword + "_";
    if (!op.channel) {
        op.c_text = function + "1(" + message + ")";
        return;
    }
    const auto* channel = static_cast<const ChannelDescriptor*>(op.channel->descriptor);
    const int comm_number = static_cast<const CommTypeDescriptor*>(channel->comm_type->descriptor)->number;
    op.c_text = function + "2(" + message + ",kvr_state_channel[" + std::to_string(comm_number) + "][" +
                std::to_string(channel->index) + "])";
}

bool Walk::resolve_operator(Operator& op, const Position& at) {
    const Node* node = op.node;
    const char* event_name = node->name()->text;
    op.event = tables_.find_message_variable(event_name);
    if (!op.event) {
        report_at(Severity::Error, Code::UNKMSGNAM, event_name, at);
        return false;
    }
    const Entry* message_type = static_cast<const EventVariableDescriptor*>(op.event->descriptor)->message_type;
    if (const Node* channel = node->second_name()) {
        op.written_channel = true;
        op.channel = tables_.find_channel(channel->text);
        if (!op.channel) {
            report_at(Severity::Error, Code::UNKCHANAM, channel->text, at);
            return false;
        }
    } else if (options_.comm_model == CommModel::Trigger) {
        op.channel = implicit_channel(message_type);
    }
    op.callback = callback_for(op.event, op.channel);
    if (!op.callback) {
        operator_texts(op, at, true);
        report_at(Severity::Error, Code::CBNOTDECL, op.display, at);
        return false;
    }
    static_cast<CallbackDescriptor*>(op.callback->descriptor)->use_mark = 1;
    return true;
}

Walk::ExpressionTexts Walk::translate(const Node* expression, bool check) {
    ExpressionTexts texts;
    for (const Node* piece = expression; piece; piece = piece->next()) {
        expect_node(piece, N_EXPRESSION);
        const Node* part = piece->item();
        if (!part || part->kind == N_EMPTY) continue;
        if (part->kind == N_NATIVE_EXPR) {
            texts.c += part->text;
            texts.typing += part->text;
            texts.display += part->text;
            continue;
        }
        if (!is_matching(part)) expect_node(part, N_MATCHED);
        Operator op;
        op.node = part;
        // The check reports an unknown event itself; the translation then stays quiet.
        const bool reported = check && !resolve_operator(op, instruction_at_) && !op.event;
        operator_texts(op, instruction_at_, reported);
        texts.c += op.c_text;
        texts.display += op.display;
        texts.typing += std::string("KVR_") + keyword_of(part) + (op.channel ? "_2(0,0)" : "_1(0)");
    }
    return texts;
}

}  // namespace zv::semantic
