// Procedures: PROC declarations with their typed parameters, calls of
// procedures with their argument checks, the cleanup instructions, and the
// use marks that reach every procedure a used one calls.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "native/type_class.h"

namespace zv::semantic {

std::string position_and_name(int position, const char* name) {
    return std::to_string(position) + " (" + name + ")";
}

bool empty_argument_list(const Node* arguments) {
    if (!arguments) return true;
    if (arguments->next()) return false;
    const Node* argument = arguments->item();
    if (!argument || argument->kind != N_ARG) return false;
    const Node* value = argument->argument_value();
    return value && is_empty_expression(value->expression()) && !value->second_expression() &&
           !value->third_expression();
}

namespace {

std::vector<Entry*> parameters_of(const Entry* procedure) {
    std::vector<Entry*> list;
    const auto* d = static_cast<const ProcedureDescriptor*>(procedure->descriptor);
    for (Entry* p = d->parameters->first; p; p = p->next) list.push_back(p);
    return list;
}

bool without_parameters(const std::vector<Entry*>& parameters) {
    return parameters.size() == 1 && !parameters[0]->name &&
           static_cast<const ParameterDescriptor*>(parameters[0]->descriptor)->type_class == native::kVoid;
}

}  // namespace

void Walk::on_procedure(const Node* node) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    const Position at = node->start;
    if (tables_.find_procedure(name->text)) {
        report_at(Severity::Error, Code::PROCALREX, name->text, at);
        return;
    }
    instruction_marker_ = false;
    Scope* root = tables_.root();
    Entry* procedure = append(root, E_PROCEDURE, name->text, at);
    auto* d = tables_.attach_descriptor<ProcedureDescriptor>(procedure, D_PROCEDURE);
    procedures_.push_back(procedure);
    d->parameters = field_scope(d, root);

    c_scope_ = name->text;
    if (!node->parameters()) {
        Entry* p = append_unnamed(d->parameters, E_PROCEDURE_PARAMETER, at);
        tables_.attach_descriptor<ParameterDescriptor>(p, D_PROCEDURE_PARAMETER)->type_class = native::kVoid;
    }
    for (const Node* list = node->parameters(); list; list = list->next()) {
        expect_node(list, N_PROC_PARAMS);
        const Node* parameter = list->item();
        expect_node(parameter, N_PROC_PARAM);
        const char* type = parameter->type_name()->text;
        const char* parameter_name = parameter->parameter_name()->text;
        // An unknown type is reported once, here, rather than also by the
        // declaration analysis.
        const native::NativeType native_type = native_.type_by_name(type, c_scope_);
        int type_class = native::kUnresolved;
        if (native_type) {
            declare_c(std::string(type) + " " + parameter_name + ";", parameter->start);
            type_class = native_type.type_class();
        } else {
            report_at(Severity::Error, Code::UKNNATTYP, type, parameter->start);
        }
        Entry* p = append(d->parameters, E_PROCEDURE_PARAMETER, parameter_name, parameter->start);
        auto* pd = tables_.attach_descriptor<ParameterDescriptor>(p, D_PROCEDURE_PARAMETER);
        pd->type_class = type_class;
        pd->type_name = pooled(type);
    }

    Scope* body = tables_.new_scope(d, root);
    inside_procedure_ = true;
    walk_body(node->body(), body);
    inside_procedure_ = false;
    close_c_scope(c_scope_);
    c_scope_.clear();
}

// A function already called (also a function-like macro) has its entry in
// the root scope; otherwise the C declarations tell.
bool Walk::is_interface_function(const std::string& name) {
    if (tables_.find_in_root(E_INTERFACE_FUNCTION, name)) return true;
    const auto variable = native_.variable(name, c_scope_);
    return variable && variable->function;
}

// A name used as name(a,a...) that preprocessing changes is a function-like macro.
bool Walk::is_function_macro(const std::string& name, const Node* arguments, const Position& at) {
    std::string text = name + "(";
    if (!empty_argument_list(arguments)) {
        bool first = true;
        for (const Node* a = arguments; a; a = a->next(), first = false) text += first ? "a" : ",a";
    }
    text += ")";
    std::string plain;
    for (char c : preprocessed_text(text, at)) if (c != ' ') plain += c;
    return plain != text;
}

void Walk::on_call(const Node* node, Scope* scope, const char* filter) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    const Position at = node->start;
    const std::string called = preprocessed_text(name->text, at);
    Entry* procedure = tables_.find_procedure(called);
    const bool function = is_interface_function(called);
    if (procedure && function) {
        report_at(Severity::Error, Code::SAMEFCTNM, called, at);
        return;
    }
    if (!procedure) {
        if (function || is_function_macro(called, node->arguments(), at)) {
            call_interface_function(node, called, scope, filter);
            return;
        }
        report_at(Severity::Error, Code::UKNFCTCLL, called, at);
        return;
    }
    if (node->call_result()) {
        report_at(Severity::Error, Code::NORETNFCT, called, at);
        return;
    }
    Entry* call = append(scope, E_CALL, called, at, filter);
    auto* d = tables_.attach_descriptor<CallDescriptor>(call, D_CALL);
    d->procedure = procedure;
    check_procedure_arguments(procedure, node->arguments(), tables_.new_scope(d, scope), at);
    if (!inside_procedure_ && !detached_) mark_used(procedure, true);
}

// Arguments of a procedure call, or of a procedure named by an
// INITIALIZATION, TERMINATION or EXCEPTION block.
void Walk::check_procedure_arguments(Entry* procedure, const Node* arguments, Scope* into, const Position& at) {
    const char* name = procedure->name;
    const std::vector<Entry*> parameters = parameters_of(procedure);
    const bool empty_list = empty_argument_list(arguments);
    if (without_parameters(parameters)) {
        if (!empty_list) report_at(Severity::Error, Code::NOMOREARG, position_and_name(1, name), at);
        return;
    }
    if (empty_list) {
        report_at(Severity::Error, Code::TOOFEWARG, name, at);
        return;
    }
    std::size_t next = 0;
    int position = 0;
    for (const Node* list = arguments; list; list = list->next()) {
        expect_node(list, N_CALL_ARGS);
        ++position;
        if (next >= parameters.size()) {
            report_at(Severity::Error, Code::NOMOREARG, position_and_name(position, name), at);
            return;
        }
        Entry* parameter = parameters[next++];
        const Node* argument = list->item();
        const Node* value = argument->argument_value();
        expect_node(value, N_ARG_VALUE);
        if (argument->kind == N_REF) {
            report_at(Severity::Error, Code::NOREFPROC, position_and_name(position, name), at);
            continue;
        }
        if (is_empty_expression(value->expression())) {
            report_at(Severity::Error, Code::CALLARGWT, name, at);
            continue;
        }
        if (value->second_expression() || value->third_expression()) {
            report_at(Severity::Error, Code::NOTERPROC, name, at);
            continue;
        }
        const ExpressionTexts texts = translate(value->expression(), true);
        const std::string& text = texts.c;
        const int given = type_class_of(texts.typing, at);
        Entry* entry = append_unnamed(into, E_CALL_ARGUMENT, at);
        auto* d = tables_.attach_descriptor<CallArgumentDescriptor>(entry, D_CALL_ARGUMENT);
        d->value = pooled(text);
        d->value_class = given;
        d->parameter = parameter;
        const int wanted = static_cast<const ParameterDescriptor*>(parameter->descriptor)->type_class;
        if (!native::compatible_classes(wanted, given)) report_at(Severity::Warning, Code::INCOMPTYP, text, at);
    }
    if (next < parameters.size()) report_at(Severity::Error, Code::TOOFEWARG, name, at);
}

void Walk::on_cleanup(const Node* node, Scope* scope, const char* filter, bool enable) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    const Position at = node->start;
    Entry* procedure = tables_.find_procedure(name->text);
    if (!procedure) {
        report_at(Severity::Error, Code::UNKCLPROC, name->text, at);
        return;
    }
    if (!without_parameters(parameters_of(procedure))) {
        report_at(Severity::Error, Code::CLVOIDPRC, name->text, at);
        return;
    }
    Entry* entry = append(scope, enable ? E_ENABLE_CLEANUP : E_DISABLE_CLEANUP, name->text, at, filter);
    tables_.attach_descriptor<CleanupDescriptor>(entry, D_CLEANUP)->procedure = procedure;
    if (!detached_) mark_used(procedure, enable);
}

// Marks a procedure used; through its calls, also every procedure it calls,
// in its body and in the IF, ELSE, WHILE, CASE and WHEN scopes nested there,
// with the message types of the DEF_MESSAGEs met there.
void Walk::mark_used(Entry* procedure, bool through_calls) {
    std::vector<Scope*> pending;
    auto mark = [&](Entry* p) {
        auto* d = static_cast<ProcedureDescriptor*>(p->descriptor);
        d->use_mark = 1;
        p->used = true;
        if (!through_calls || d->callees_marked) return;
        d->callees_marked = true;
        if (d->sub_scope) pending.push_back(d->sub_scope);
    };
    mark(procedure);
    while (!pending.empty()) {
        Scope* scope = pending.back();
        pending.pop_back();
        for (Entry* e = scope->first; e; e = e->next) {
            switch (e->kind) {
                case E_CALL: {
                    auto* call = static_cast<CallDescriptor*>(e->descriptor);
                    if (call && call->procedure) mark(call->procedure);
                    break;
                }
                case E_IF:
                    if (e->descriptor->sub_scope) pending.push_back(e->descriptor->sub_scope);
                    if (auto* else_part = static_cast<IfDescriptor*>(e->descriptor)->else_part)
                        pending.push_back(else_part);
                    break;
                case E_WHILE: case E_CASE:
                    if (e->descriptor->sub_scope) pending.push_back(e->descriptor->sub_scope);
                    break;
                case E_WHEN:
                    pending.push_back(static_cast<WhenDescriptor*>(e->descriptor)->instructions);
                    break;
                case E_MESSAGE_DEFINITION: {
                    const auto* definition = static_cast<MessageDefinitionDescriptor*>(e->descriptor);
                    static_cast<EventVariableDescriptor*>(definition->event->descriptor)->message_type->used = true;
                    break;
                }
                default:
                    break;
            }
        }
    }
}

void Walk::report_unused_procedures() {
    for (const Entry* e : procedures_) {
        if (static_cast<const ProcedureDescriptor*>(e->descriptor)->use_mark == 0)
            reportAtText(Severity::Information, Code::NOPROCCAL, e->name, e->file, e->line);
    }
}

}  // namespace zv::semantic
