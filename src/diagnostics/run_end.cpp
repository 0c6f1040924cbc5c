#include "diagnostics/run_end.h"

#include <cstdlib>

namespace zv {

namespace {
RunEndHandler gRunEndHandler = nullptr;
}  // namespace

void setRunEndHandler(RunEndHandler handler) { gRunEndHandler = handler; }

void endProcess(int status) {
    if (gRunEndHandler) gRunEndHandler(status);
    std::exit(status);
}

}  // namespace zv
