// Constructs whose rules come with later work: communication declarations and
// instructions, values (VAR, FORMAT), WAITTIL and CATCH. Each has its handler;
// until the handler is filled in, reaching it stops the run with NOTBUILT
// naming the construct, so that nothing is skipped silently.
#include "semantic/walk.h"

namespace zv::semantic {

void Walk::not_built(const char* construct, const Position& at) {
    report_at(Severity::Internal, Code::NOTBUILT, construct, at);
    terminateRun(9);  // not reached: internal reports end the run
}

void Walk::on_comm_declaration(const Node* node) { not_built(construct_name(node), node->start); }

void Walk::on_comm_instruction(const Node* node) { not_built(construct_name(node), node->start); }

void Walk::on_value_construct(const Node* node) { not_built(construct_name(node), node->start); }

void Walk::on_waittil(const Node* node) { not_built(construct_name(node), node->start); }

void Walk::on_catch(const Node* node) { not_built(construct_name(node), node->start); }

void Walk::create_implicit_comm_type(const Position& at) { not_built("implicit communication type", at); }

}  // namespace zv::semantic
