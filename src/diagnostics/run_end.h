// How a run leaves the process. The compiler exits with the run's status;
// tests that run whole compilations inside one process install a handler
// that takes every end (normal, fatal or internal) back to their caller,
// typically by throwing.
#pragma once

namespace zv {

// Must not return. Null restores the default, std::exit.
using RunEndHandler = void (*)(int status);
void setRunEndHandler(RunEndHandler handler);

// Ends the run with `status`: through the handler when one is installed.
// While helper threads work on the model, the process ends without running
// the static destructors under them (everything of the run is written or
// discarded before this is called).
[[noreturn]] void endProcess(int status);

// Marks a helper thread's work on the run's data for its lifetime.
class HelperAtWork {
public:
    HelperAtWork();
    ~HelperAtWork();
    HelperAtWork(const HelperAtWork&) = delete;
    HelperAtWork& operator=(const HelperAtWork&) = delete;
};

}  // namespace zv
