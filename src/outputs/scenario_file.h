// The scenario file of -SPVGEN (".spg"): the script's included files, instances,
// families, scenario tree and rendezvous points, for the test supervisor. The
// content is first gathered from the semantic model, then written in its fixed
// block syntax.
#pragma once

#include "common/script_file_record.h"

#include <string>
#include <vector>

namespace zv {

struct Scope;

struct SpgScenario {
    std::string name;            // A1
    std::string qualified_name;  // A.A1
    std::string file;            // script file the scenario is written in
    int line = 0;
    std::vector<std::string> families;
    std::vector<SpgScenario> children;  // sub-scenarios in order
};

struct SpgRendezvous {
    enum class Holder { Scenario, Procedure, Block };
    Holder holder = Holder::Scenario;
    std::string holder_name;  // qualified scenario name or procedure name
    std::string name;
    std::string file;         // empty when the entry has none
    int line = 0;
    std::vector<std::string> members;
};

struct ScenarioFileContent {
    std::vector<std::string> instances;      // walk order
    std::vector<SpgScenario> top_level;      // scenarios below the outermost one
    std::vector<SpgRendezvous> rendezvous;   // walk order
};

// Gathers the content from the analysed program's root scope.
ScenarioFileContent collect_scenario_file(const Scope* root);

// The whole file text. `spg_path` is the scenario-file path as derived from the
// script path (directory included); `files` the script files, newest first.
std::string format_scenario_file(const std::string& spg_path, const std::vector<ScriptFileRecord>& files,
                                 const ScenarioFileContent& content);

// Writes the file in the working directory under the last component of
// `spg_path`.
void write_scenario_file(const std::string& spg_path, const std::vector<ScriptFileRecord>& files,
                                const Scope* root);

}  // namespace zv
