// Constructs whose rules are being filled in. Each has its handler; until the
// handler is written, reaching it stops the run with NOTBUILT naming the
// construct, so that nothing is skipped silently.
#include "semantic/walk.h"

namespace zv::semantic {

void Walk::not_built(const char* construct, const Position& at) {
    report_at(Severity::Internal, Code::NOTBUILT, construct, at);
    terminateRun(9);  // not reached: internal reports end the run
}

// values.cpp
void Walk::on_var(const Node* node, Scope*, const char*) { not_built(construct_name(node), node->start); }
void Walk::on_format(const Node* node, bool) { not_built(construct_name(node), node->start); }
Entry* Walk::check_value(const std::string&, const std::string&, ValueUse, const Position& at, Scope*, const char*,
                         const std::string&) {
    not_built("value", at);
}
Entry* Walk::copy_value(const Entry*, Scope*, std::string_view, ValueUse) { not_built("value", Position{}); }

}  // namespace zv::semantic
