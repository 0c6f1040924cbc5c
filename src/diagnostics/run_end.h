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
[[noreturn]] void endProcess(int status);

}  // namespace zv
