// Constructs whose rules are being filled in. Each has its handler; until the
// handler is written, reaching it stops the run with NOTBUILT naming the
// construct, so that nothing is skipped silently.
#include "semantic/walk.h"

namespace zv::semantic {

void Walk::not_built(const char* construct, const Position& at) {
    report_at(Severity::Internal, Code::NOTBUILT, construct, at);
    terminateRun(9);  // not reached: internal reports end the run
}


}  // namespace zv::semantic
