// Inspection program: prints one phase's result on its own (tokens, syntax tree,
// native declarations, semantic model) so a phase can be tested and debugged
// without options on the compiler's fixed command line. Each phase registers
// its subcommands from its own file with a static InspectCommand.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zv::inspect {

using Handler = std::function<int(const std::vector<std::string>& args)>;

struct InspectCommand {
    InspectCommand(const char* name, const char* help, Handler handler);
};

}  // namespace zv::inspect
