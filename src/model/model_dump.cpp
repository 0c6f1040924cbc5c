#include "model/model_dump.h"

#include "common/large_stack.h"

#include <utility>
#include <vector>

namespace zv {

const char* entry_kind_name(int kind) {
    switch (kind) {
#define ZV_ENTRY_NAME(name, number) \
    case number:                    \
        return #name;
        ZV_ENTRY_KINDS(ZV_ENTRY_NAME)
#undef ZV_ENTRY_NAME
        default:
            return nullptr;
    }
}

namespace {

std::string quoted(const char* text) {
    if (!text) return "-";
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\') out += '\\';
        if (*c == '\n') out += "\\n";
        else out += *c;
    }
    return out + "\"";
}

std::string name_of(const Entry* entry) { return entry ? quoted(entry->name) : "-"; }

// The DEF_MESSAGE number of an expected value entry.
int number_of(const Entry* expected) {
    return static_cast<const ExpectedValueDescriptor*>(expected->descriptor)->number;
}

const char* element_kind_name(ElementKind kind) {
    switch (kind) {
        case ElementKind::Structure: return "structure";
        case ElementKind::Union: return "union";
        case ElementKind::Array: return "array";
        case ElementKind::ArrayElement: return "element";
        case ElementKind::String: return "string";
        case ElementKind::Whole: return "whole";
        case ElementKind::Scalar: return "scalar";
    }
    return "?";
}

class Dumper {
public:
    explicit Dumper(bool positions) : positions_(positions) {}

    void scope(const Scope* scope, int depth) {
        for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next) entry(e, depth);
    }

    std::string out;

private:
    using Scopes = std::vector<std::pair<const char*, const Scope*>>;

    void entry(const Entry* e, int depth) {
        const char* kind = entry_kind_name(e->kind);
        out.append(2 * depth, ' ');
        out += std::to_string(e->kind) + " " + (kind ? kind : "?") + " " + quoted(e->name);
        if (positions_) out += " @" + std::string(e->file ? e->file : "") + ":" + std::to_string(e->line);
        if (e->filter) out += " filter " + quoted(e->filter);
        // Numbers of the output passes, once they have stored them.
        if (e->event_code) out += " event-code " + std::to_string(e->event_code);
        if (e->end_code) out += " end-code " + std::to_string(e->end_code);
        if (e->report_number) out += " report " + std::to_string(e->report_number);
        Scopes scopes;
        if (e->descriptor) out += fields(e->descriptor, scopes);
        out += '\n';
        for (const auto& [label, sub] : scopes) {
            if (!sub) continue;
            out.append(2 * depth + 2, ' ');
            out += std::string(label) + ":\n";
            scope(sub, depth + 2);
        }
    }

    static std::string flag(const char* name, long long value) {
        std::string text = " ";
        text += name;
        text += ' ';
        text += std::to_string(value);
        return text;
    }

    std::string fields(const Descriptor* d, Scopes& scopes) {
        std::string f = " [" + std::to_string(d->code) + "]";
        switch (d->code) {
            case D_PROGRAM: {
                auto* p = static_cast<const ProgramDescriptor*>(d);
                return f + " second " + quoted(p->second) + " third " + quoted(p->third);
            }
            case D_INSTANCE: {
                auto* p = static_cast<const InstanceDescriptor*>(d);
                return f + flag("number", p->number) + flag("used", p->used);
            }
            case D_INSTANCE_REFERENCE:
                return f + " instance " + name_of(static_cast<const InstanceReferenceDescriptor*>(d)->instance);
            case D_SCENARIO: {
                auto* p = static_cast<const ScenarioDescriptor*>(d);
                scopes = {{"families", p->families}, {"body", p->sub_scope}};
                return f + " full " + quoted(scenario_full_name(*p).c_str()) + flag("leaf", p->leaf) + flag("selected", p->selected) +
                       flag("loop", p->loop_count) + flag("header-1", p->header_line_minus_one) +
                       flag("end", p->end_line) + (positions_ ? " file " + quoted(p->file) : "");
            }
            case D_BLOCK: {
                auto* p = static_cast<const BlockDescriptor*>(d);
                scopes = {{"arguments", p->arguments}, {"body", p->sub_scope}};
                return f + " procedure " + name_of(p->procedure) + flag("line", p->line) + flag("number", p->number);
            }
            case D_PROCEDURE: {
                auto* p = static_cast<const ProcedureDescriptor*>(d);
                scopes = {{"parameters", p->parameters}, {"body", p->sub_scope}};
                return f + flag("use", p->use_mark);
            }
            case D_PROCEDURE_PARAMETER: {
                auto* p = static_cast<const ParameterDescriptor*>(d);
                return f + flag("class", p->type_class) + " type " + quoted(p->type_name);
            }
            case D_CALL: {
                auto* p = static_cast<const CallDescriptor*>(d);
                scopes = {{"arguments", p->sub_scope}};
                f += " procedure " + name_of(p->procedure) + " function " + name_of(p->function);
                if (p->procedure) return f;
                return f + " expected " + quoted(p->expected_return) + " receiving " + quoted(p->receiving) +
                       flag("class", p->return_class) + flag("receiving-class", p->receiving_class) +
                       flag("return-temporary", p->return_temporary);
            }
            case D_CALL_ARGUMENT: {
                auto* p = static_cast<const CallArgumentDescriptor*>(d);
                f += " value " + quoted(p->value) + flag("class", p->value_class) + " parameter " +
                     name_of(p->parameter);
                if (!p->parameter || p->parameter->kind != E_INTERFACE_PARAMETER) return f;
                return f + flag("position", static_cast<const InterfaceParameterDescriptor*>(
                                                p->parameter->descriptor)->position) +
                       flag("by-address", p->by_address) + " expected " + quoted(p->expected) +
                       flag("class", p->expected_class) + " receiving " + quoted(p->receiving) +
                       flag("class", p->receiving_class) + flag("array", p->array_size) +
                       flag("temporary", p->temporary);
            }
            case D_INTERFACE_FUNCTION: {
                auto* p = static_cast<const InterfaceFunctionDescriptor*>(d);
                scopes = {{"parameters", p->sub_scope}};
                return f + flag("return-class", p->return_class) + flag("macro", p->macro);
            }
            case D_INTERFACE_PARAMETER: {
                auto* p = static_cast<const InterfaceParameterDescriptor*>(d);
                return f + flag("position", p->position) + flag("class", p->type_class) + " type " +
                       quoted(p->type_text) + flag("array", p->array_size);
            }
            case D_TEMPORARY: {
                // The argument is that of the call; the return value's own
                // argument description is shown under the temporary.
                auto* p = static_cast<const TemporaryDescriptor*>(d);
                scopes = {{"return", p->sub_scope}};
                const auto* parameter =
                    p->parameter ? static_cast<const InterfaceParameterDescriptor*>(p->parameter->descriptor) : nullptr;
                const auto* argument =
                    p->argument ? static_cast<const CallArgumentDescriptor*>(p->argument->descriptor) : nullptr;
                return f + " parameter " + (parameter ? std::to_string(parameter->position) : "-") + " " +
                       name_of(p->parameter) + " argument " +
                       (argument ? quoted(argument->value) + "/" + quoted(argument->expected) : "-");
            }
            case D_IF: {
                auto* p = static_cast<const IfDescriptor*>(d);
                scopes = {{"then", p->sub_scope}, {"else", p->else_part}};
                return f;
            }
            case D_WHILE: case D_CASE:
                scopes = {{d->code == D_WHILE ? "body" : "whens", d->sub_scope}};
                return f;
            case D_WHEN: {
                auto* p = static_cast<const WhenDescriptor*>(d);
                scopes = {{"values", p->sub_scope}, {"instructions", p->instructions}};
                return f;
            }
            case D_TIMER:
                return f + flag("number", static_cast<const TimerDescriptor*>(d)->number);
            case D_PRINT:
                return f + " expression " + quoted(static_cast<const PrintDescriptor*>(d)->expression);
            case D_RENDEZVOUS:
                return f + flag("number", static_cast<const RendezvousDescriptor*>(d)->number);
            case D_CLEANUP:
                return f + " procedure " + name_of(static_cast<const CleanupDescriptor*>(d)->procedure);
            case D_FILTER_LETTERS:
                return f + " letters " + quoted(static_cast<const FilterLettersDescriptor*>(d)->letters);
            case D_COMM_TYPE: {
                auto* p = static_cast<const CommTypeDescriptor*>(d);
                return f + " id " + quoted(p->id_type) + flag("used", p->entry->used) +
                       flag("channels", p->channel_count) + flag("multiplexing", p->multiplexing) +
                       flag("number", p->number);
            }
            case D_CHANNEL: {
                auto* p = static_cast<const ChannelDescriptor*>(d);
                return f + " comm " + name_of(p->comm_type) + flag("index", p->index) + flag("used", p->entry->used);
            }
            case D_MESSAGE_TYPE: {
                auto* p = static_cast<const MessageTypeDescriptor*>(d);
                scopes = {{"defaults", p->defaults}, {"expected", p->sub_scope}};
                return f + flag("number", p->number) + flag("events", p->event_count) + flag("used", p->entry->used) +
                       flag("has_defaults", p->has_defaults) + " selection " + quoted(p->selection);
            }
            case D_EVENT_VARIABLE: {
                auto* p = static_cast<const EventVariableDescriptor*>(d);
                return f + " type " + name_of(p->message_type) + flag("index", p->index) +
                       flag("used", p->entry->used) + flag("expected", p->expected ? number_of(p->expected) : 0);
            }
            case D_CALLBACK: {
                auto* p = static_cast<const CallbackDescriptor*>(d);
                scopes = {{"body", p->sub_scope}};
                return f + flag("use", p->use_mark) + " comm " + name_of(p->comm_type) + " type " +
                       name_of(p->message_type) + flag("counted", p->counted) + " message " +
                       quoted(p->message_variable) + " ids " + quoted(p->id_variable) + " count " +
                       quoted(p->count_variable);
            }
            case D_PROCSEND: {
                auto* p = static_cast<const ProcsendDescriptor*>(d);
                scopes = {{"body", p->sub_scope}};
                return f + flag("use", p->use_mark) + " comm " + name_of(p->comm_type) + " type " +
                       name_of(p->message_type) + " message " + quoted(p->message_variable) + " id " +
                       quoted(p->id_variable);
            }
            case D_SEND: {
                auto* p = static_cast<const SendDescriptor*>(d);
                return f + " channel " + name_of(p->channel) + " event " + name_of(p->event) + " procsend " +
                       name_of(p->procsend) + flag("value", p->value);
            }
            case D_ADD_ID: {
                auto* p = static_cast<const AddIdDescriptor*>(d);
                return f + " channel " + name_of(p->channel) + flag("constant", p->constant);
            }
            case D_CLEAR_ID:
                return f + " channel " + name_of(static_cast<const ClearIdDescriptor*>(d)->channel);
            case D_INTERSEND: {
                auto* p = static_cast<const IntersendDescriptor*>(d);
                return f + flag("numeric", p->numeric) + " first " + quoted(p->first) + " second " + quoted(p->second);
            }
            case D_INTERRECV: {
                auto* p = static_cast<const InterrecvDescriptor*>(d);
                return f + flag("one", p->one_operand) + " first " + quoted(p->first) + " second " + quoted(p->second);
            }
            case D_MESSAGE_DEFINITION: {
                auto* p = static_cast<const MessageDefinitionDescriptor*>(d);
                scopes = {{"values", p->sub_scope}};
                return f + " event " + name_of(p->event) + flag("number", p->number);
            }
            case D_EXPECTED_VALUE: {
                auto* p = static_cast<const ExpectedValueDescriptor*>(d);
                scopes = {{"values", p->sub_scope}};
                return f + " event " + name_of(p->event) + flag("number", p->number) +
                       flag("outside_procedure", p->outside_procedure);
            }
            case D_WAIT: {
                auto* p = static_cast<const WaitDescriptor*>(d);
                scopes = {{"matches", p->sub_scope}, {"connections", p->connections}};
                return f + flag("number", p->number) + " success " + quoted(p->success) + " failure " +
                       quoted(p->failure) + " limit " + quoted(p->limit) + " shown " + quoted(p->success_display) +
                       " / " + quoted(p->failure_display) + flag("referenced", p->referenced);
            }
            case D_MATCH: {
                auto* p = static_cast<const MatchDescriptor*>(d);
                return f + " c " + quoted(p->c_text) + " shown " + quoted(p->display) + " event " + name_of(p->event);
            }
            case D_CONNECTION: {
                auto* p = static_cast<const ConnectionDescriptor*>(d);
                return f + " event " + name_of(p->event) + " channel " + name_of(p->channel) + " callback " +
                       name_of(p->callback);
            }
            case D_WAIT_REFERENCE: {
                auto* p = static_cast<const WaitReferenceDescriptor*>(d);
                return f + flag("wait", p->wait ? p->wait->number : -1);
            }
            case D_VALUE:
                scopes = {{"elements", d->sub_scope}};
                return f + flag("use", static_cast<int>(static_cast<const ValueDescriptor*>(d)->use));
            case D_VALUE_ELEMENT: {
                auto* p = static_cast<const ValueElementDescriptor*>(d);
                scopes = {{"elements", p->sub_scope}};
                std::string text = f + " " + element_kind_name(p->kind);
                if (p->indexed) text += " [" + std::to_string(p->first) + ".." + std::to_string(p->last) + "]";
                if (p->field) text += " field " + quoted(p->field);
                const bool group = p->kind == ElementKind::Structure || p->kind == ElementKind::Union ||
                                   p->kind == ElementKind::Array;
                if (!group) text += " value " + quoted(p->value);
                if (p->interval) text += " upper " + quoted(p->upper);
                text += flag("class", p->type_class) + flag("size", p->size);
                if (p->kind == ElementKind::Union) text += flag("union-field", p->union_field);
                return text;
            }
            default:
                scopes = {{"scope", d->sub_scope}};
                return f;
        }
    }

    bool positions_;
};

}  // namespace

std::string dump_model(const SemanticModel& model, bool positions) {
    Dumper dumper(positions);
    // The dump follows the nesting of the script, as deep as the analysis.
    run_with_stack(kDeepWorkStack, [&] { dumper.scope(model.root, 0); });
    std::string out = std::move(dumper.out);
    out += "instance_mode " + std::to_string(number(model.instance_mode)) + " selected_position " +
           std::to_string(model.selected_position) + " timers " + std::to_string(model.timer_count) + "\n";
    out += "message_types " + std::to_string(model.message_type_count) + " highest_channel " +
           std::to_string(model.highest_channel) + " def_messages " + std::to_string(model.def_message_count) +
           " waits " + std::to_string(model.wait_count) + " temporaries " + std::to_string(model.temporary_count) +
           "\n";
    for (const GlobalVariable& g : model.globals)
        out += "global " + std::to_string(g.file_index) + " " + g.name + " \"" + g.declaration + "\"\n";
    return out;
}

}  // namespace zv
