#include "semantic/analysis.h"

#include "common/large_stack.h"
#include "semantic/walk.h"

namespace zv {

SemanticModel analyse_script(const Node* root, const std::vector<ScriptFileRecord>& files,
                             const AnalysisOptions& options, native::NativeAnalyser& native) {
    (void)files;  // positions come from the nodes, which point at the records' names
    SemanticModel model;
    model.tables = std::make_unique<SemanticTables>();
    run_with_stack(kDeepWorkStack, [&] {
        semantic::Walk walk(*model.tables, options, native);
        walk.run(root, model);
    });
    return model;
}

}  // namespace zv
