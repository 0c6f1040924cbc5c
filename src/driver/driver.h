// The run of the compiler: environment and translations, message catalog,
// command line, file names, listing file, then the phases in their fixed order.
#pragma once

namespace zv {

// Never returns normally: the run ends through finishRun or a fatal exit.
[[noreturn]] int runCompiler(int argc, char** argv);

}  // namespace zv
