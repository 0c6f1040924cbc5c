// Calls of interface functions and function-like macros: the function entry
// shared by all calls with its parameter entries, the checks of the return
// clause and of each argument's parts (value, expected value, receiving
// variable), and the temporaries that receive what the call gives back.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "native/type_class.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zv::semantic {

namespace {

using native::compatible_classes;

bool structured(int type_class) { return type_class >= native::kStructure && type_class <= native::kUnion; }

const InterfaceParameterDescriptor* parameter_of(const Entry* parameter) {
    return static_cast<const InterfaceParameterDescriptor*>(parameter->descriptor);
}

// An ellipsis, or a parameter of unknown type, takes every argument left.
bool takes_the_rest(const Entry* parameter) {
    const int type_class = parameter_of(parameter)->type_class;
    return type_class == native::kEllipsis || type_class == native::kUnresolved;
}

}  // namespace

void Walk::call_interface_function(const Node* node, const std::string& called, Scope* scope, const char* filter) {
    const Position at = node->start;
    Entry* function = interface_function(called, at);
    const auto* fd = static_cast<const InterfaceFunctionDescriptor*>(function->descriptor);

    Entry* call = append(scope, E_CALL, called, at, filter);
    auto* d = tables_.attach_descriptor<CallDescriptor>(call, D_CALL);
    d->function = function;
    d->return_class = fd->return_class;
    d->receiving_class = native::kNoType;
    Scope* arguments = tables_.new_scope(d, scope);
    interface_return(node->call_result(), d, fd->sub_scope->first, scope, at);
    interface_arguments(node->arguments(), call->name, function, arguments, scope, at);
}

Entry* Walk::interface_function(const std::string& name, const Position& at) {
    if (Entry* known = tables_.find_in_root(E_INTERFACE_FUNCTION, name)) return known;
    Scope* root = tables_.root();
    Entry* function = tables_.prepend_entry(root, E_INTERFACE_FUNCTION, name.c_str(), at.file, at.line, nullptr,
                                            at.file_index);
    auto* d = tables_.attach_descriptor<InterfaceFunctionDescriptor>(function, D_INTERFACE_FUNCTION);
    Scope* parameters = tables_.new_scope(d, root);
    int position = 0;
    auto add = [&](const std::string& parameter_name, int type_class, const std::string& type_text,
                   long long array_size) {
        Entry* p = parameter_name.empty() ? append_unnamed(parameters, E_INTERFACE_PARAMETER, at)
                                          : append(parameters, E_INTERFACE_PARAMETER, parameter_name, at);
        auto* pd = tables_.attach_descriptor<InterfaceParameterDescriptor>(p, D_INTERFACE_PARAMETER);
        pd->position = position++;
        pd->type_class = type_class;
        pd->type_text = type_text.empty() ? nullptr : pooled(type_text);
        pd->array_size = array_size;
    };

    const auto signature = native_.signature(name, c_scope_);
    if (!signature) {
        // A function-like macro: nothing is known of what it takes or gives.
        d->macro = true;
        d->return_class = native::kUnresolved;
        add({}, native::kUnresolved, {}, 0);
        add({}, native::kUnresolved, {}, 0);
        return function;
    }
    d->return_class = signature->return_type.type_class();
    add({}, d->return_class, signature->return_type.text(), 0);
    if (signature->empty_list) {
        // "()" declares nothing about the parameters; only ANSI reads it as "(void)".
        if (options_.restriction == Restriction::Ansi) add({}, native::kVoid, "void", 0);
        else add({}, native::kUnresolved, {}, 0);
    } else if (signature->parameters.empty() && !signature->variadic) {
        add({}, native::kVoid, "void", 0);
    }
    for (const native::NativeParameter& p : signature->parameters)
        add(p.name, p.type.type_class(), p.type.text(), p.array_size);
    if (signature->variadic) add({}, native::kEllipsis, "...", 0);
    return function;
}

Walk::CallPart Walk::call_part(const Node* expression, const Position& at) {
    CallPart part;
    if (is_empty_expression(expression)) return part;
    ExpressionTexts texts = translate(expression, true);
    part.present = true;
    part.c = std::move(texts.c);
    part.typing = std::move(texts.typing);
    const native::ClassAnswer answer =
        native::expression_type_class(native_, part.typing, c_scope_, at.file ? at.file : "", at.line);
    part.type_class = answer.type_class;
    part.count = answer.count;
    return part;
}

Entry* Walk::declare_temporary(const char* format, Entry* parameter, Entry* argument, Scope* scope,
                               const Position& at) {
    char name[32];
    std::snprintf(name, sizeof name, format, next_temporary_++);
    Entry* temporary = prepend_executable(scope, E_TEMPORARY, name, at);
    auto* d = tables_.attach_descriptor<TemporaryDescriptor>(temporary, D_TEMPORARY);
    d->parameter = parameter;
    d->argument = argument;
    return temporary;
}

// The return clause: "@ expected" and "@ receiving variable", both optional.
void Walk::interface_return(const Node* result, CallDescriptor* call, Entry* return_value, Scope* scope,
                            const Position& at) {
    CallPart expected, receiving;
    if (result) {
        expected = call_part(result->expression(), at);
        receiving = call_part(result->second_expression(), at);
    }
    const int wanted = call->return_class;
    // A character array compares as a character pointer.
    auto as_pointer = [](int type_class) {
        return type_class == native::kCharArray ? native::kCharPointer : type_class;
    };
    if (expected.present) {
        if (structured(expected.type_class)) report_at(Severity::Error, Code::NOTSTRUCT, expected.c, at);
        if (!compatible_classes(wanted, as_pointer(expected.type_class)))
            report_at(Severity::Warning, Code::INCOMPTYP, expected.c, at);
        call->expected_return = pooled(expected.c);
    }
    if (receiving.present) {
        if (!compatible_classes(wanted, as_pointer(receiving.type_class)))
            report_at(Severity::Warning, Code::INCOMPTYP, receiving.c, at);
        if (native::expression_is_constant(native_, receiving.typing, c_scope_, at.file ? at.file : "", at.line))
            report_at(Severity::Warning, Code::EXPRCONST, receiving.c, at);
        if (receiving.type_class == native::kArray) report_at(Severity::Error, Code::NOTSTRUCT, receiving.c, at);
        call->receiving = pooled(receiving.c);
        call->receiving_class = receiving.type_class;
        return;
    }
    // What a function gives back goes to a temporary when no variable is
    // written for it; a macro gives something only when it is checked.
    const bool gives_value = wanted != native::kVoid && (wanted != native::kUnresolved || expected.present);
    if (!gives_value) return;
    Entry* temporary = declare_temporary("kvr_return_%d", return_value, nullptr, scope, at);
    auto* td = static_cast<TemporaryDescriptor*>(temporary->descriptor);
    // The return value described as an argument, outside the call's argument list.
    Entry* argument = append_unnamed(tables_.new_scope(td, temporary->scope), E_CALL_ARGUMENT, at);
    auto* ad = tables_.attach_descriptor<CallArgumentDescriptor>(argument, D_CALL_ARGUMENT);
    ad->expected = call->expected_return;
    ad->receiving = temporary->name;
    ad->value_class = native::kNoType;
    ad->expected_class = expected.present ? expected.type_class : native::kNoType;
    ad->receiving_class = wanted;
    ad->parameter = return_value;
    ad->temporary = true;
    td->argument = argument;
    call->receiving = temporary->name;
    call->receiving_class = wanted;
    call->return_temporary = true;
}

void Walk::interface_arguments(const Node* arguments, const char* name, const Entry* function, Scope* into,
                               Scope* scope, const Position& at) {
    std::vector<Entry*> parameters;  // positions 1, 2, ...
    for (Entry* p = function->descriptor->sub_scope->first; p; p = p->next)
        if (parameter_of(p)->position > 0) parameters.push_back(p);
    const bool empty_list = empty_argument_list(arguments);
    if (parameter_of(parameters.front())->type_class == native::kVoid) {
        if (!empty_list) report_at(Severity::Error, Code::NOMOREARG, position_and_name(1, name), at);
        return;
    }
    std::size_t next = 0;
    int position = 0;
    for (const Node* list = empty_list ? nullptr : arguments; list; list = list->next()) {
        expect_node(list, N_CALL_ARGS);
        ++position;
        if (next >= parameters.size()) {
            report_at(Severity::Error, Code::NOMOREARG, position_and_name(position, name), at);
            return;
        }
        Entry* parameter = parameters[next];
        if (!takes_the_rest(parameter)) ++next;
        const Node* argument = list->item();
        const Node* value = argument->argument_value();
        expect_node(value, N_ARG_VALUE);
        const bool by_address = argument->kind == N_REF;
        CallPart parts[3] = {call_part(value->expression(), at), call_part(value->second_expression(), at),
                             call_part(value->third_expression(), at)};
        if (!parts[0].present && !parts[1].present && !parts[2].present) {
            // Only a last argument may be left out, and it then passes nothing.
            if (list->next()) report_at(Severity::Error, Code::TOOFEWARG, name, at);
            else if (!takes_the_rest(parameter)) --next;
            continue;
        }
        if ((by_address && parts[0].present && structured(parts[0].type_class)) ||
            (parts[1].present && structured(parts[1].type_class))) {
            const CallPart& refused = by_address && structured(parts[0].type_class) ? parts[0] : parts[1];
            report_at(Severity::Error, Code::NOTSTRUCT, refused.c, at);
            continue;
        }
        // Each part must suit the parameter and the parts before it; what is
        // passed by address counts as a pointer.
        const int wanted = parameter_of(parameter)->type_class;
        int checked[3];
        for (int i = 0; i < 3; ++i) {
            checked[i] = i == 0 && by_address ? native::kPointer : parts[i].type_class;
            if (!parts[i].present) continue;
            bool fits = compatible_classes(wanted, checked[i]);
            for (int j = 0; j < i && fits; ++j)
                if (parts[j].present) fits = compatible_classes(checked[j], checked[i]);
            if (!fits) report_at(Severity::Warning, Code::INCOMPTYP, parts[i].c, at);
        }

        Entry* entry = append_unnamed(into, E_CALL_ARGUMENT, at);
        auto* d = tables_.attach_descriptor<CallArgumentDescriptor>(entry, D_CALL_ARGUMENT);
        d->by_address = by_address;
        const char** texts[3] = {&d->value, &d->expected, &d->receiving};
        int* classes[3] = {&d->value_class, &d->expected_class, &d->receiving_class};
        for (int i = 0; i < 3; ++i) {
            *texts[i] = parts[i].present ? pooled(parts[i].c) : nullptr;
            *classes[i] = parts[i].present ? parts[i].type_class : native::kNoType;
            d->array_size = std::max(d->array_size, parts[i].count);
        }
        d->parameter = parameter;
        // What comes back needs a variable to land in.
        if (!parts[2].present && (parts[1].present || (by_address && parts[0].present))) {
            Entry* temporary = declare_temporary("kvr_p_%d", parameter, entry, scope, at);
            d->receiving = temporary->name;
            d->receiving_class = wanted;
            d->temporary = true;
        }
    }
    if (next < parameters.size() && !takes_the_rest(parameters[next]))
        report_at(Severity::Error, Code::TOOFEWARG, name, at);
}

}  // namespace zv::semantic
