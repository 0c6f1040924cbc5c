// State shared by the generated parser's actions during one parse: the lexer,
// the tree being built, the comment flag, the root, the last token read and
// the sink told of the outermost scenario items as they are built.
#pragma once

#include "diagnostics/message_codes.h"
#include "script/lexer.h"
#include "script/syntax_tree.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv {

// The parser's location of a symbol: where its first token begins. The
// constructor from four numbers serves the generated parser's initial value
// and means "no position".
struct SymbolLocation {
    Position start;

    SymbolLocation() = default;
    SymbolLocation(const Position& at) : start(at) {}
    SymbolLocation(int, int, int, int) {}
    operator const Position&() const { return start; }
};

class OuterItemSink;

struct ParseState {
    ScriptLexer& lexer;
    SyntaxTree& tree;
    bool keep_comments = true;
    Node* root = nullptr;
    int last_token = 0;
    std::string include_text;

    // Nodes are stamped with the lexer's current position and begin at
    // `start`, the location of their rule.
    Node* node(const Position& start, int kind, Node* child1 = nullptr, Node* child2 = nullptr,
               Node* child3 = nullptr) {
        return tree.new_node(kind, child1, child2, child3, static_cast<const char*>(nullptr), lexer.position(),
                             start);
    }
    // A node holding the current token's text without its first `skip`
    // characters and its last `drop` characters.
    Node* text_node(const Position& start, int kind, std::size_t skip = 0, std::size_t drop = 0);
    // A native-expression piece: the terminator dropped, blanks and tabs
    // trimmed; N_EMPTY when nothing is left.
    Node* native_piece(const Position& start);
    void report_syntax_error();

    // The parser's stacks once they outgrow their first size. They are held
    // here so that a run ended from inside the parse gives them back too.
    void* stack_alloc(std::size_t bytes) {
        stacks_.emplace_back(new char[bytes]);
        return stacks_.back().get();
    }
    void stack_free(void* block) {
        for (auto it = stacks_.begin(); it != stacks_.end(); ++it)
            if (it->get() == block) {
                stacks_.erase(it);
                return;
            }
    }
    std::vector<std::unique_ptr<char[]>> stacks_;

    // What the sink, when there is one, is told as the parse goes.
    OuterItemSink* sink = nullptr;
    bool sink_open = false;     // given the opening
    bool sink_stopped = false;  // an error was counted: nothing more for it
    unsigned errors_before = 0;  // the error count when the parse began
    int scenario_depth = 0;     // SCENARIO blocks open around the parser
    Node* header = nullptr;        // as last built
    Node* declarations = nullptr;  // as last built
    // A scenario item just built: given to the sink when it is one of the
    // outermost level. Returns the item.
    Node* outer_item(Node* item);
};

// Runs the generated parser; 0 on success.
int run_parser(ParseState& state);

// Token names and the codes reported when a token is unexpected (null for the
// tokens without a code).
const char* token_name(int token);
std::optional<Code> token_code(int token);

}  // namespace zv
