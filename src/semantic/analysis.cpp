#include "semantic/analysis.h"

#include "common/large_stack.h"
#include "native/native_analyser.h"
#include "semantic/walk.h"

namespace zv {

namespace {

// The file-level variables of each script file, in file order, as the
// context of -NOTSHARED takes them in.
std::vector<GlobalVariable> script_globals(const std::vector<ScriptFileRecord>& files,
                                           native::NativeAnalyser& native) {
    std::vector<GlobalVariable> globals;
    for (int index = 1;; ++index) {
        const ScriptFileRecord* file = file_with_index(files, index);
        if (!file) return globals;
        for (const native::NativeGlobal& g : native.globals_declared_in(file->name))
            globals.push_back({index, g.name, g.type.declaration("kvr_ctx" + g.name)});
    }
}

}  // namespace

SemanticModel analyse_script(const Node* root, const std::vector<ScriptFileRecord>& files,
                             const AnalysisOptions& options, native::NativeAnalyser& native) {
    SemanticModel model;
    model.tables = std::make_unique<SemanticTables>();
    run_with_stack(kDeepWorkStack, [&] {
        semantic::Walk walk(*model.tables, options, native);
        walk.run(root, model);
    });
    model.globals = script_globals(files, native);
    return model;
}

}  // namespace zv
