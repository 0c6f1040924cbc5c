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
// share.cpp
void Walk::on_share(const Node* node) { not_built(construct_name(node), node->start); }
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
// calls.cpp
void Walk::call_interface_function(const Node* node, const std::string&, Scope*, const char*) {
    not_built("CALL of an interface function", node->start);
}

}  // namespace zv::semantic
