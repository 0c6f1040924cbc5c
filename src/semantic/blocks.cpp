// Bodies of scenarios, blocks and procedures: declaration parts, instruction
// parts, INSTANCE blocks in them, and the dispatch of every instruction to
// the handler of its construct.
#include "semantic/walk.h"

#include "common/prefetch.h"

namespace zv::semantic {

// Walks a chain of N_BODY_ITEM / N_BODY_HASH_ITEM (a body) or of
// N_BLOCK_STATEMENTS (the block of a control structure).
void Walk::walk_body(const Node* item, Scope* scope) {
    for (; item; item = item->next_line()) {
        // The nodes of a line are made just before its item, on the parser's
        // core: start fetching the next line's, and the item itself, while
        // this one is checked (without reading the item yet, which would
        // wait for it).
        if (const Node* next = item->next_line())
            for (int line = -32; line < 2; ++line)
                prefetch_at(next, 64 * line);
        if (item->kind != N_BODY_ITEM && item->kind != N_BODY_HASH_ITEM && item->kind != N_BLOCK_STATEMENTS)
            expect_node(item, N_BODY_ITEM);
        const Node* head = item->head();
        if (!head) continue;
        const bool instance = head->kind == N_INSTANCE_HEADER;
        if (item->kind == N_BODY_HASH_ITEM) {
            if (!instance) {
                declaration_part(head, scope);
                continue;
            }
            if (instruction_marker_) {
                report_at(Severity::Error, Code::BADIBSEQ, "", head->start);
                return;
            }
            if (!instance_block(head, item->instance_lines(), line_before(item), scope, true)) return;
            continue;
        }
        instruction_marker_ = true;
        if (!instance) statement(head, scope);
        else if (!instance_block(head, item->instance_lines(), line_before(item), scope, false)) return;
    }
}

// Native declaration lines: one entry each, handed over in one piece.
void Walk::declaration_part(const Node* hash_lines, Scope* scope) {
    std::string text;
    Position first;
    bool started = false;
    for (const Node* line = hash_lines; line; line = line->next()) {
        expect_node(line, N_HASH_LINES);
        const Node* hash = line->item();
        expect_node(hash, N_HASH_LINE);
        append(scope, E_C_LINE, hash->text, hash->start);
        if (!started) first = hash->start, started = true;
        else text += '\n';
        text += hash->text;
    }
    if (started) declare_c(text, first);
}

bool Walk::names_selected_instance(const Node* names) const {
    for (; names; names = names->next())
        if (options_.instance == names->item()->text) return true;
    return false;
}

void Walk::instance_references(const Node* names, Scope* scope) {
    for (; names; names = names->next()) {
        expect_node(names, N_INSTANCE_NAMES);
        const Node* name = names->item();
        Entry* instance = tables_.find_in_root(E_INSTANCE, name->text);
        if (!instance) {
            report_at(Severity::Error, Code::UNDECISTN, name->text, name->start);
            return;  // ends the list
        }
        Entry* reference = append(scope, E_INSTANCE_REFERENCE, name->text, name->start);
        tables_.attach_descriptor<InstanceReferenceDescriptor>(reference, D_INSTANCE_REFERENCE)->instance = instance;
        static_cast<InstanceDescriptor*>(instance->descriptor)->used = true;
        instance->used = true;
    }
}

// An INSTANCE block of declarations or instructions inside a body.
bool Walk::instance_block(const Node* header, const Node* contents, const Position& end_at, Scope* scope,
                          bool declarations) {
    const Position at = header->start;
    instance_depth_.open();
    if (instance_depth_.depth() > 1) report_at(Severity::Fatal, Code::ISTBADLVL, "", at);
    if (instance_mode_ == InstanceMode::NoInstances) {
        report_at(Severity::Error, Code::NODCLISTN, "", at);
        instance_depth_.close();
        return false;
    }
    const bool with_entries = instance_mode_ != InstanceMode::SelectedDeclared;
    if (with_entries || names_selected_instance(header->names())) {
        if (with_entries) {
            append_unnamed(scope, declarations ? E_DECLARATION_INSTANCE_BEGIN : E_INSTRUCTION_INSTANCE_BEGIN, at);
            instance_references(header->names(), scope);
        }
        if (declarations) {
            declaration_part(contents, scope);
        } else {
            for (const Node* line = contents; line; line = line->next()) {
                expect_node(line, N_INSTANCE_STATEMENTS);
                statement(line->item(), scope);
            }
        }
        if (with_entries)
            append_unnamed(scope, declarations ? E_DECLARATION_INSTANCE_END : E_INSTRUCTION_INSTANCE_END, end_at);
    }
    instance_depth_.close();
    return true;
}

void Walk::statement(const Node* node, Scope* scope) {
    if (!node) return;
    expect_node(node, N_STATEMENT);
    const char* filter = filter_text(node->filter());
    if (!node->instruction()) return;  // a comment dropped by -NOCOMMENT
    // Only an instruction that left an entry of its own at the end of the
    // scope can stand after ERROR or EXIT: one that was dropped or refused
    // would otherwise warn again about the same ERROR or EXIT.
    const Entry* last = scope->last;
    instruction(node->instruction(), scope, filter);
    if (scope->last != last) after_instruction(scope);
}

void Walk::instruction(const Node* node, Scope* scope, const char* filter) {
    instruction_at_ = node->start;
    switch (node->kind) {
        case N_CALL: on_call(node, scope, filter); return;
        case N_ENABLE_CLEANUP: on_cleanup(node, scope, filter, true); return;
        case N_DISABLE_CLEANUP: on_cleanup(node, scope, filter, false); return;
        case N_IF: on_if(node, scope, filter); return;
        case N_WHILE: on_while(node, scope, filter); return;
        case N_CASE: on_case(node, scope, filter); return;
        case N_ERROR: case N_EXIT: on_error_or_exit(node, scope, filter); return;
        case N_COMMENT: on_comment(node, scope, filter); return;
        case N_AT_LINE: on_c_statement(node, scope, filter); return;
        case N_TIMER: on_timer(node, scope, filter); return;
        case N_RESET: on_reset(node, scope, filter); return;
        case N_PAUSE: on_pause(node, scope, filter); return;
        case N_PRINT: on_print(node, scope, filter); return;
        case N_RENDEZVOUS: on_rendezvous(node, scope, filter); return;
        case N_SET: case N_UNSET: on_filter_letters(node, scope, filter); return;
        case N_FLUSH_TRACE: case N_TRACE_ON: case N_TRACE_OFF: on_trace(node, scope, filter); return;
        case N_WAITTIL: on_waittil(node, scope, filter); return;
        case N_VAR: on_var(node, scope, filter); return;
        case N_FORMAT: on_format(node, true); return;
        case N_CATCH: on_catch(node); return;
        case N_SEND: case N_DEF_MESSAGE: case N_ADD_ID: case N_CLEAR_ID: case N_NO_MESSAGE: case N_MESSAGE_DATE:
        case N_INTERSEND: case N_INTERRECV: case N_FD_ADD: case N_FD_DEL: case N_DEF_TRIGGER:
            on_comm_instruction(node, scope, filter);
            return;
        default:
            expect_node(node, N_CALL);
    }
}

// An instruction written after ERROR or EXIT in the same scope is never run.
void Walk::after_instruction(Scope* scope) {
    const Entry* last = scope->last;
    const Entry* before = last ? last->previous : nullptr;
    if (before && (before->kind == E_ERROR || before->kind == E_EXIT))
        reportAtText(Severity::Warning, Code::NOEXEINST, "", before->file, before->line);
}

}  // namespace zv::semantic
