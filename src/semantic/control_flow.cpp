// Control structures: IF with its THEN and ELSE scopes, WHILE, CASE with its
// WHEN branches and their values, and the ERROR and EXIT instructions.
#include "semantic/walk.h"

#include "native/type_class.h"

#include <memory>
#include <unordered_set>

namespace zv::semantic {

namespace {

std::string when_value_text(const Node* value) {
    if (value->kind == N_OTHERS) return "OTHERS";
    return value->text ? value->text : "";
}

}  // namespace

// The entry of IF, WHILE or CASE with its condition or selector typed. Kept
// out of line so that the recursion through nested bodies carries no texts.
[[gnu::noinline]] Entry* Walk::structure_entry(int kind, const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const ExpressionTexts condition = translate(node->condition(), true);
    if (!condition.c.empty()) type_class_of(condition.typing, at);
    return append(scope, kind, condition.c, at, filter);
}

void Walk::on_if(const Node* node, Scope* scope, const char* filter) {
    Entry* entry = structure_entry(E_IF, node, scope, filter);
    auto* d = tables_.attach_descriptor<IfDescriptor>(entry, D_IF);
    walk_body(node->then_block(), tables_.new_scope(d, scope));
    if (node->else_part() && node->else_part()->kind == N_ELSE) {
        d->else_part = field_scope(d, scope);
        walk_body(node->else_part()->else_block(), d->else_part);
    }
}

void Walk::on_while(const Node* node, Scope* scope, const char* filter) {
    Entry* entry = structure_entry(E_WHILE, node, scope, filter);
    auto* d = tables_.attach_descriptor<Descriptor>(entry, D_WHILE);
    walk_body(node->block(), tables_.new_scope(d, scope));
}

// Values of one CASE are unique across all its WHEN branches; an identifier
// value must be a char or int constant.
void Walk::on_case(const Node* node, Scope* scope, const char* filter) {
    Entry* entry = structure_entry(E_CASE, node, scope, filter);
    auto* d = tables_.attach_descriptor<Descriptor>(entry, D_CASE);
    Scope* whens = tables_.new_scope(d, scope);
    auto used = std::make_unique<std::unordered_set<std::string>>();
    for (const Node* blocks = node->when_blocks(); blocks; blocks = blocks->next()) {
        expect_node(blocks, N_WHEN_BLOCKS);
        const Node* block = blocks->item();
        expect_node(block, N_WHEN_BLOCK);
        Entry* when = append_unnamed(whens, E_WHEN, block->start);
        auto* wd = tables_.attach_descriptor<WhenDescriptor>(when, D_WHEN);
        wd->instructions = field_scope(wd, whens);
        when_values(block->labels(), tables_.new_scope(wd, whens), *used);
        walk_body(block->block(), wd->instructions);
    }
}

// The values of one WHEN; `used` holds the values of the CASE so far.
[[gnu::noinline]] void Walk::when_values(const Node* labels, Scope* values, std::unordered_set<std::string>& used) {
    for (; labels; labels = labels->next()) {
        expect_node(labels, N_WHEN_LABELS);
        const Node* value = labels->item();
        const std::string text = when_value_text(value);
        const Position value_at = value->start;
        if (value->kind == N_IDENT) {
            const int type_class = type_class_of(text, value_at);
            if (type_class != native::kCharacter && type_class != native::kInteger)
                report_at(Severity::Error, Code::WHWACONST, text, value_at);
        }
        if (!used.insert(text).second) report_at(Severity::Error, Code::ALRCASDEF, text, value_at);
        append(values, E_WHEN_VALUE, text, value_at);
    }
}

void Walk::on_error_or_exit(const Node* node, Scope* scope, const char* filter) {
    append_unnamed(scope, node->kind == N_ERROR ? E_ERROR : E_EXIT, node->start, filter);
}

}  // namespace zv::semantic
