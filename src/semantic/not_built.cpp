// Constructs whose rules are being filled in. Each has its handler; until the
// handler is written, reaching it stops the run with NOTBUILT naming the
// construct, so that nothing is skipped silently.
#include "semantic/walk.h"

namespace zv::semantic {

void Walk::not_built(const char* construct, const Position& at) {
    report_at(Severity::Internal, Code::NOTBUILT, construct, at);
    terminateRun(9);  // not reached: internal reports end the run
}

// communication.cpp
void Walk::on_comm_declaration(const Node* node) { not_built(construct_name(node), node->start); }
void Walk::on_comm_instruction(const Node* node, Scope*, const char*) { not_built(construct_name(node), node->start); }
void Walk::create_implicit_comm_type(const Position& at) { not_built("implicit communication type", at); }
void Walk::on_catch(const Node* node) { not_built(construct_name(node), node->start); }
// waits.cpp
void Walk::on_waittil(const Node* node, Scope*, const char*) { not_built(construct_name(node), node->start); }
Walk::ExpressionTexts Walk::translate(const Node* expression, bool) {
    ExpressionTexts texts;
    for (const Node* piece = expression; piece; piece = piece->next()) {
        expect_node(piece, N_EXPRESSION);
        const Node* part = piece->item();
        if (!part || part->kind == N_EMPTY) continue;
        if (part->kind != N_NATIVE_EXPR) not_built(construct_name(part), part->start);
        texts.c += part->text;
    }
    texts.typing = texts.display = texts.c;
    return texts;
}
// values.cpp
void Walk::on_var(const Node* node, Scope*, const char*) { not_built(construct_name(node), node->start); }
void Walk::on_format(const Node* node, bool) { not_built(construct_name(node), node->start); }

}  // namespace zv::semantic
