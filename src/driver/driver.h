// The run of the compiler: environment and translations, message catalog,
// command line, file names, listing file, then the phases in their fixed order.
#pragma once

#include <string>
#include <vector>

namespace zv {

// Never returns normally: the run ends through finishRun or a fatal exit.
[[noreturn]] int runCompiler(int argc, char** argv);

// For tests: a whole run inside the calling process (args[0] is the program
// name), without translations. The process-wide state of the diagnostics,
// the command line, the pending outputs and the string pool is reset first,
// so that runs are independent; the end of the run, normal, fatal or
// internal, returns its exit status instead of ending the process.
int runInProcess(const std::vector<std::string>& args);

}  // namespace zv
