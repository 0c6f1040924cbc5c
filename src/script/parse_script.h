// Entry of the script front end: parses a test script with its include files
// into a syntax tree. The driver owns the result for the whole run.
#pragma once

#include "common/run_modes.h"
#include "common/script_file_record.h"
#include "script/syntax_tree.h"

#include <memory>
#include <string>
#include <vector>

namespace zv {

// After a parse with a sink, the memory of the items the sink released holds
// other nodes: only the root and the outermost scenario it holds may be read,
// by the sink's own end of the work (the outermost scenario's position).
struct ParseResult {
    std::unique_ptr<SyntaxTree> tree;     // owns every node
    Node* root = nullptr;                 // N_SCRIPT, or null when none was built
    std::vector<ScriptFileRecord> files;  // newest first
    CommModel comm_model = CommModel::None;  // whether COMMTYPE or TRIGGER was used
};

// Told of the script as the parser builds it, so that its analysis can begin
// before the parse ends: first the opening (header, declarations and
// communication model, complete once the first scenario item of the outermost
// level is built), then each item of that level in order. Only while no error
// has been counted. The parser changes nothing of what it has given, and
// reads no node of an item once the item is given.
class OuterItemSink {
public:
    virtual ~OuterItemSink() = default;
    // `tree` is the tree being built; the nodes made after the opening may be
    // released as the sink is done with them.
    virtual void opening(const Node* header, const Node* declarations, CommModel comm_model, SyntaxTree& tree) = 0;
    // `made`: the count of nodes made up to the item's end.
    virtual void item(const Node* item, std::size_t made) = 0;
    // The parse is being left by an end of the run: what was given goes with
    // the tree, so the sink stops using it before this returns.
    virtual void abandon() = 0;
};

// FICNOTOPN (fatal) when the script cannot be read; syntax errors are counted
// by the diagnostics and leave a partial or null tree.
ParseResult parse_script(const std::string& path, const std::vector<std::string>& include_dirs, bool keep_comments,
                         OuterItemSink* sink = nullptr);

}  // namespace zv
