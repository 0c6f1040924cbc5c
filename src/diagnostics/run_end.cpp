#include "diagnostics/run_end.h"

#include <atomic>
#include <cstdlib>

namespace zv {

namespace {
RunEndHandler gRunEndHandler = nullptr;
std::atomic<int> gHelpers{0};
}  // namespace

void setRunEndHandler(RunEndHandler handler) { gRunEndHandler = handler; }

void endProcess(int status) {
    if (gRunEndHandler) gRunEndHandler(status);
    if (gHelpers.load() > 0) std::_Exit(status);
    std::exit(status);
}

HelperAtWork::HelperAtWork() { ++gHelpers; }
HelperAtWork::~HelperAtWork() { --gHelpers; }

}  // namespace zv
