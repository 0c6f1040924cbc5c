// Entry of the semantic analysis: one walk over the syntax tree that checks the
// script's rules, registers its C declarations with the interface analysis and
// builds the semantic model read by every later pass.
#pragma once

#include "common/run_modes.h"
#include "common/script_file_record.h"
#include "script/syntax_tree.h"
#include "model/semantic_model.h"

#include <string>
#include <vector>

namespace zv {

namespace native {
class NativeAnalyser;
class NativeType;
}

struct AnalysisOptions {
    std::vector<std::string> families, excluded_families, scenarios, excluded_scenarios;
    bool fast = true;
    TraceLevel trace = TraceLevel::None;
    CommModel comm_model = CommModel::None;  // as the parser found it
    std::string instance;      // -INSTANCE, empty when not given
    // -RESTRICTION: under ANSI a function declared "()" takes no argument.
    Restriction restriction = Restriction::None;
};

// `root` is the N_SCRIPT node of a parse without errors.
SemanticModel analyse_script(const Node* root, const std::vector<ScriptFileRecord>& files,
                             const AnalysisOptions& options, native::NativeAnalyser& native);

}  // namespace zv
