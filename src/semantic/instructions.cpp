// Simple instructions: COMMENT, native statement lines, TIMER and RESET,
// PAUSE, PRINT and RENDEZVOUS.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "native/type_class.h"

namespace zv::semantic {

namespace {

bool integer_class(int type_class) { return type_class == native::kInteger || type_class == native::kLongInteger; }

}  // namespace

void Walk::on_comment(const Node* node, Scope* scope, const char* filter) {
    append(scope, E_COMMENT, node->text ? node->text : "", node->start, filter);
}

void Walk::on_c_statement(const Node* node, Scope* scope, const char* filter) {
    append(scope, E_C_LINE_AT, node->text ? node->text : "", node->start, filter);
}

// A timer is an int of the current C scope; its declaration goes to the head
// of the nearest executable scope.
void Walk::on_timer(const Node* node, Scope* scope, const char* filter) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    const Position at = node->start;
    if (declared_in_c_scope(name->text)) {
        report_at(Severity::Error, Code::IDENREDEF, name->text, at);
        return;
    }
    declare_c("int " + std::string(name->text) + ";", at);
    const int number = timer_count_++;
    Entry* start = append(scope, E_TIMER_START, name->text, at, filter);
    tables_.attach_descriptor<TimerDescriptor>(start, D_TIMER)->number = number;
    Entry* declaration = prepend_executable(scope, E_TIMER, name->text, at);
    tables_.attach_descriptor<TimerDescriptor>(declaration, D_TIMER)->number = number;
}

void Walk::on_reset(const Node* node, Scope* scope, const char* filter) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    const Position at = node->start;
    native_.set_position(at.file ? at.file : "", at.line, c_scope_);
    if (!native_.variable(name->text, c_scope_))
        report_at(Severity::Error, Code::IDENTINCO, name->text, at);
    append(scope, E_TIMER_RESET, name->text, at, filter);
}

void Walk::on_pause(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const ExpressionTexts duration = translate(node->expression(), false);
    if (duration.c.empty()) report_at(Severity::Error, Code::TOOFEWARG, "PAUSE", at);
    else if (!integer_class(type_class_of(duration.typing, at)))
        report_at(Severity::Warning, Code::INCOMPTYP, duration.c, at);
    append(scope, E_PAUSE, duration.c, at, filter);
}

void Walk::on_print(const Node* node, Scope* scope, const char* filter) {
    const Node* label = node->name();
    expect_node(label, N_IDENT);
    const Position at = node->start;
    const ExpressionTexts expression = translate(node->value(), false);
    if (expression.c.empty()) report_at(Severity::Error, Code::TOOFEWARG, "PRINT", at);
    else if (!integer_class(type_class_of(expression.typing, at)))
        report_at(Severity::Warning, Code::INCOMPTYP, expression.c, at);
    Entry* entry = append(scope, E_PRINT, label->text, at, filter);
    tables_.attach_descriptor<PrintDescriptor>(entry, D_PRINT)->expression = pooled(expression.c);
}

void Walk::on_rendezvous(const Node* node, Scope* scope, const char* filter) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    Entry* entry = append(scope, E_RENDEZVOUS, name->text, node->start, filter);
    tables_.attach_descriptor<RendezvousDescriptor>(entry, D_RENDEZVOUS);
}

}  // namespace zv::semantic
