// Entry of the semantic analysis: one walk over the syntax tree that checks the
// script's rules, registers its C declarations with the interface analysis and
// builds the semantic model read by every later pass; after the parse, or
// beside it as the parser builds the outermost scenario items.
#pragma once

#include "common/run_modes.h"
#include "common/script_file_record.h"
#include "script/parse_script.h"
#include "script/syntax_tree.h"
#include "model/semantic_model.h"

#include <memory>
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

// The same analysis beside the parser, given to it as its sink: it begins on
// a thread of its own once the parser has built the script's opening and
// first outermost item, and walks each outermost item as the parser gives
// it. Its reports are held until the parse is over, then given after the
// parser's own; after a parse with errors they are dropped with the rest of
// the work, as if the analysis had never run.
class BesideParse final : public OuterItemSink {
public:
    // `options` without the communication model, which the opening brings.
    BesideParse(const AnalysisOptions& options, native::NativeAnalyser& native);
    // Stops and drops work not finished.
    ~BesideParse() override;
    BesideParse(const BesideParse&) = delete;
    BesideParse& operator=(const BesideParse&) = delete;

    void opening(const Node* header, const Node* declarations, CommModel comm_model, SyntaxTree& tree) override;
    void item(const Node* item, std::size_t made) override;
    void abandon() override;

    // Whether the analysis has begun.
    bool started() const;
    // After a parse without errors: waits for the analysis, gives its
    // reports (an end among them ends the run there) and returns the model.
    SemanticModel finish(const ParseResult& parsed);

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace zv
