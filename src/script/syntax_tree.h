// The syntax tree of a test script: one node shape for every construct, node
// kinds with their fixed numbers, named accessors for the children of each
// kind, and the small checking helpers that later phases use when they walk
// the tree. Nodes and their texts live in an arena owned by SyntaxTree; the
// driver keeps it for the whole run.
#pragma once

#include "common/position.h"
#include "common/text_arena.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zv {

// Node kinds with their fixed numbers (other tools and messages show them).
#define ZV_NODE_KINDS(X)                                                                     \
    X(N_TRIGGER_ARGS, 0) X(N_CALL_ARGS, 1) X(N_CALL, 2) X(N_WHEN_BLOCK, 3) X(N_CASE, 4)      \
    X(N_WHEN_BLOCKS, 5) X(N_COMMENT, 6) X(N_CONSTANT, 7) X(N_DEF_TRIGGER, 8)                 \
    X(N_DISABLE_CLEANUP, 9) X(N_ELSE, 10) X(N_EMPTY, 11) X(N_ENABLE_CLEANUP, 12)             \
    X(N_ERROR, 14) X(N_EXIT, 17) X(N_ARG_VALUE, 18) X(N_FAMILY_NAMES, 20) X(N_FAMILY, 21)    \
    X(N_IDENT, 22) X(N_IF, 23) X(N_INCLUDE, 24) X(N_INITIALIZATION, 27)                      \
    X(N_INSTANCE_BODY, 33) X(N_FILTER, 35) X(N_HEADER, 36) X(N_STATEMENT, 37)                \
    X(N_INSTANCE_STATEMENTS, 38) X(N_HASH_LINE, 39) X(N_AT_LINE, 40)                         \
    X(N_DOUBLE_FILTER, 41) X(N_PROC, 42) X(N_SCRIPT, 43) X(N_SCENARIO, 44)                   \
    X(N_SCENARIO_ITEMS, 45) X(N_TRIGGER, 46) X(N_TRIGGER_NAMES, 47) X(N_OTHERS, 48)          \
    X(N_REF, 55) X(N_SET, 56) X(N_STRING, 59) X(N_TERMINATION, 62) X(N_ARG, 63)              \
    X(N_UNSET, 68) X(N_VAR, 77) X(N_WAITTIL, 78) X(N_WHEN_LABELS, 79) X(N_WHILE, 80)         \
    X(N_FD_ADD, 81) X(N_FD_DEL, 82) X(N_EXCEPTION, 93) X(N_CALL_RESULT, 94)                  \
    X(N_NATIVE_EXPR, 95) X(N_ENV_VAR, 96) X(N_PROC_PARAMS, 97) X(N_PROC_PARAM, 98)           \
    X(N_BODY_ITEM, 99) X(N_BODY_HASH_ITEM, 100) X(N_HASH_LINES, 101) X(N_INIT_VALUE, 102)    \
    X(N_EXPECTED_VALUE, 103) X(N_SHARE, 104) X(N_RENDEZVOUS, 105) X(N_EV_EQUALS, 106)        \
    X(N_FORMAT, 107) X(N_FORMAT_HEAD, 108) X(N_DEF_MESSAGE, 109) X(N_CALLBACK, 110)          \
    X(N_CALLBACK_ON, 111) X(N_CALLBACK_HEAD, 112) X(N_CHANNEL, 113) X(N_CHANNEL_LIST, 114)   \
    X(N_COMMTYPE, 115) X(N_MESSAGE, 116) X(N_MESSAGE_LIST, 117) X(N_PROPERTIES, 118)         \
    X(N_NO_MESSAGE, 119) X(N_MESSAGE_DATE, 120) X(N_ADD_ID, 121) X(N_CLEAR_ID, 122)          \
    X(N_MULTIPLEXING, 124) X(N_EXPRESSION, 125) X(N_MATCHING, 126) X(N_MATCHED, 127)         \
    X(N_NOTMATCHING, 128) X(N_NOTMATCHED, 129) X(N_TIMER, 130) X(N_RESET, 131)               \
    X(N_PAUSE, 132) X(N_PRINT, 133) X(N_SCENARIO_BODY, 134) X(N_CATCH, 135) X(N_SEND, 136)   \
    X(N_PROCSEND, 137) X(N_PROCSEND_ON, 138) X(N_PROCSEND_HEAD, 139) X(N_SEND_ARGS, 140)     \
    X(N_INSTANCE_BLOCK, 141) X(N_DECLARE_INSTANCE, 142) X(N_INSTANCE_NAMES, 143)             \
    X(N_BLOCK_STATEMENTS, 146) X(N_DECLARATIONS, 148) X(N_INSTANCE_HEADER, 150)              \
    X(N_INSTANCE_END, 151) X(N_FLUSH_TRACE, 153) X(N_TRACE_ON, 154) X(N_TRACE_OFF, 155)      \
    X(N_INTERSEND, 156) X(N_INTERSEND_ARGS, 157) X(N_INTERRECV, 158)                         \
    X(N_INTERRECV_ARGS, 159) X(N_BLOCK_START, 163) X(N_VIRTUAL_CALLBACK, 164)                \
    X(N_VIRTUAL_PROCSEND, 165)

enum NodeKind : int {
#define ZV_NODE_ENUM(name, number) name = number,
    ZV_NODE_KINDS(ZV_NODE_ENUM)
#undef ZV_NODE_ENUM
};

// The kind's name ("N_CALL"), or null for a number that is no kind.
const char* node_kind_name(int kind);

// Every node has three child slots whose meaning depends on its kind. Code
// outside the tree builder reads them through the named accessors below; each
// name always stands for the same slot, and its comment lists the kinds it is
// meant for. Lists are right-leaning chains of link nodes of one kind.
struct Node {
    // (Fields are ordered so that the node packs without holes: a script
    // builds a few nodes per line.)
    std::int16_t kind = 0;        // every kind number fits
    std::int16_t file_index = 0;  // a run reads at most 500 script files
    int line = 0;
    Node* child1 = nullptr;
    Node* child2 = nullptr;
    Node* child3 = nullptr;
    const char* text = nullptr;  // own copy (arena), null for kinds without text
    const char* file = nullptr;  // shared with the script-file record
    // Where the construct begins: its first token's file and the line on
    // which that token's logical line begins. Entries and messages about the
    // construct carry this position; the one above is where the parser was
    // when it built the node (after the construct's last token, often after
    // the next one too). A node of an empty rule (N_EMPTY for a missing part)
    // has no token of its own: it takes the start of what stands before it.
    Position start;

    Position position() const { return {file, line, file_index}; }

    // ---- any kind
    // The first child present, and all three slots, for walks over any kind.
    Node* first_child() const { return child1 ? child1 : child2 ? child2 : child3; }
    std::array<Node*, 3> children() const { return {child1, child2, child3}; }

    // ---- lists linked through the second slot: N_EXPRESSION (pieces), N_CALL_ARGS,
    // N_TRIGGER_ARGS, N_WHEN_BLOCKS, N_WHEN_LABELS, N_SCENARIO_ITEMS, N_HASH_LINES,
    // N_INSTANCE_STATEMENTS, N_PROC_PARAMS, N_PROPERTIES and the name lists
    // (N_INSTANCE_NAMES, N_FAMILY_NAMES, N_TRIGGER_NAMES, N_CHANNEL_LIST, N_MESSAGE_LIST)
    Node* item() const { return child1; }
    Node* next() const { return child2; }

    // ---- lines linked through the third slot: N_DECLARATIONS and N_INSTANCE_BODY
    // (declarations), N_BODY_ITEM and N_BODY_HASH_ITEM (a body), N_BLOCK_STATEMENTS
    // (the block of a control structure)
    Node* next_line() const { return child3; }
    // N_DECLARATIONS, N_INSTANCE_BODY: the declaration (N_EMPTY for an empty line)
    Node* declaration() const { return child1; }
    // N_DECLARATIONS: N_DECLARE_INSTANCE or N_INSTANCE_BLOCK when there is no declaration
    Node* instance_part() const { return child2; }
    // N_BODY_ITEM, N_BODY_HASH_ITEM, N_BLOCK_STATEMENTS: the statement or N_HASH_LINES,
    // or the N_INSTANCE_HEADER of an instance block.
    // N_CALLBACK, N_VIRTUAL_CALLBACK, N_PROCSEND, N_VIRTUAL_PROCSEND: the head (two names)
    Node* head() const { return child1; }
    // N_BODY_ITEM, N_BODY_HASH_ITEM, N_BLOCK_STATEMENTS: the lines after an instance
    // header (N_INSTANCE_STATEMENTS or N_HASH_LINES); N_INSTANCE_BLOCK: its N_INSTANCE_BODY
    Node* instance_lines() const { return child2; }
    // N_INSTANCE_BLOCK, N_INSTANCE_HEADER, N_DECLARE_INSTANCE: N_INSTANCE_NAMES;
    // N_FAMILY: N_FAMILY_NAMES
    Node* names() const { return child1; }

    // ---- the script
    // N_SCRIPT
    Node* header() const { return child1; }
    Node* declarations() const { return child2; }
    Node* scenario_items() const { return child3; }
    // N_HEADER: the three values (N_STRING or N_ENV_VAR)
    Node* first_value() const { return child1; }
    Node* second_value() const { return child2; }
    Node* third_value() const { return child3; }

    // ---- named constructs
    // The N_IDENT that names the construct: N_CALL, N_PROC, N_SCENARIO, N_TIMER,
    // N_RESET, N_RENDEZVOUS, N_PRINT (its label), N_ENABLE_CLEANUP, N_DISABLE_CLEANUP,
    // N_SHARE, N_TRIGGER, N_CHANNEL, N_MESSAGE, N_COMMTYPE, the matching calls (the
    // event); null or the procedure for N_INITIALIZATION, N_TERMINATION, N_EXCEPTION;
    // null or the caught name for N_CATCH; the first name of N_CALLBACK_HEAD,
    // N_CALLBACK_ON, N_PROCSEND_HEAD, N_PROCSEND_ON, N_SEND_ARGS
    Node* name() const { return child1; }
    // The name after it: N_CALLBACK_HEAD, N_CALLBACK_ON, N_PROCSEND_HEAD, N_PROCSEND_ON,
    // N_SEND_ARGS, N_COMMTYPE (after IS), the matching calls (the channel, or null)
    Node* second_name() const { return child2; }
    // N_CATCH: the handler's name
    Node* handler() const { return child2; }
    // N_TRIGGER, N_CHANNEL, N_MESSAGE: the list of names
    Node* name_list() const { return child2; }
    // N_COMMTYPE: N_PROPERTIES or null
    Node* properties() const { return child3; }
    // N_CALLBACK_ON: the bracketed name, or null
    Node* bracketed_name() const { return child3; }
    // N_CALLBACK, N_VIRTUAL_CALLBACK, N_PROCSEND, N_VIRTUAL_PROCSEND: the ON part
    Node* on_part() const { return child2; }

    // ---- procedures and calls
    // N_PROC: N_PROC_PARAMS, or null without parameters
    Node* parameters() const { return child2; }
    // N_PROC_PARAM
    Node* type_name() const { return child1; }
    Node* parameter_name() const { return child2; }
    // N_PROC, N_CALLBACK, N_VIRTUAL_CALLBACK, N_PROCSEND, N_VIRTUAL_PROCSEND
    Node* body() const { return child3; }
    // N_CALL: N_CALL_ARGS; N_DEF_TRIGGER: N_TRIGGER_ARGS
    Node* arguments() const { return child2; }
    // N_CALL: N_CALL_RESULT, or null
    Node* call_result() const { return child3; }
    // N_ARG, N_REF: the N_ARG_VALUE
    Node* argument_value() const { return child1; }
    // N_SEND: N_SEND_ARGS; N_INTERSEND: N_INTERSEND_ARGS; N_INTERRECV: N_INTERRECV_ARGS
    Node* send_arguments() const { return child1; }

    // ---- scenarios and their blocks
    // N_SCENARIO: its N_SCENARIO_BODY
    Node* scenario_body() const { return child2; }
    // N_SCENARIO_BODY: the N_CONSTANT after LOOP or null; N_FAMILY or N_EMPTY;
    // N_SCENARIO_ITEMS or a body
    Node* loop_count() const { return child1; }
    Node* family() const { return child2; }
    Node* content() const { return child3; }
    // N_INITIALIZATION, N_TERMINATION, N_EXCEPTION: the N_CALL_ARGS of the named
    // procedure, or the N_BLOCK_START of an inline block
    Node* procedure_arguments() const { return child3; }
    Node* block_start() const { return child3; }

    // ---- instructions
    // N_STATEMENT: N_FILTER, N_DOUBLE_FILTER or null; the instruction, or null
    Node* filter() const { return child1; }
    Node* instruction() const { return child2; }
    // N_IF, N_WHILE, N_WAITTIL (the success condition); N_CASE: the selector
    Node* condition() const { return child1; }
    // N_WAITTIL
    Node* failure_condition() const { return child2; }
    // N_IF: the THEN block; N_ELSE or N_EMPTY
    Node* then_block() const { return child2; }
    Node* else_part() const { return child3; }
    // N_ELSE
    Node* else_block() const { return child1; }
    // N_WHILE, N_WHEN_BLOCK, and N_INITIALIZATION, N_TERMINATION, N_EXCEPTION
    // written as an inline block (null otherwise)
    Node* block() const { return child2; }
    // N_CASE: N_WHEN_BLOCKS
    Node* when_blocks() const { return child2; }
    // N_WHEN_BLOCK: N_WHEN_LABELS
    Node* labels() const { return child1; }
    // N_SET, N_UNSET: the quoted letters (N_STRING)
    Node* letters() const { return child1; }
    // N_FORMAT: N_FORMAT_HEAD
    Node* format_head() const { return child1; }
    // The first expression: N_PAUSE, N_VAR, N_DEF_TRIGGER, N_DEF_MESSAGE, N_FD_ADD,
    // N_FD_DEL, N_ADD_ID, N_CLEAR_ID, N_CALL_RESULT, N_ARG_VALUE, N_INTERSEND_ARGS,
    // N_INTERRECV_ARGS
    Node* expression() const { return child1; }
    // The second expression: N_FD_ADD, N_ADD_ID, N_CALL_RESULT (or null),
    // N_INTERSEND_ARGS, N_INTERRECV_ARGS (or null), N_ARG_VALUE (after the first
    // "@", or null)
    Node* second_expression() const { return child2; }
    // N_ARG_VALUE: the expression after the second "@", or null
    Node* third_expression() const { return child3; }
    // N_PRINT: the printed expression; N_VAR: N_INIT_VALUE, N_EXPECTED_VALUE or
    // N_EV_EQUALS; N_DEF_MESSAGE: N_EXPECTED_VALUE; N_FORMAT: the expression
    Node* value() const { return child2; }
};
static_assert(sizeof(void*) != 8 || sizeof(Node) == 64, "a node fills one cache line");

// Owner of every node and node text of one parse.
class SyntaxTree {
public:
    // Allocates a node stamped with `where` that begins at `start` (at
    // `where` when not given); `text` is copied when not null.
    Node* new_node(int kind, Node* child1, Node* child2, Node* child3, const char* text,
                   const Position& where, const Position& start);
    Node* new_node(int kind, Node* child1, Node* child2, Node* child3, std::string_view text,
                   const Position& where, const Position& start);
    Node* new_node(int kind, Node* child1, Node* child2, Node* child3, const char* text,
                   const Position& where) {
        return new_node(kind, child1, child2, child3, text, where, where);
    }
    Node* new_node(int kind, Node* child1, Node* child2, Node* child3, std::string_view text,
                   const Position& where) {
        return new_node(kind, child1, child2, child3, text, where, where);
    }
    const char* copy_text(std::string_view text) { return texts_.copy(text); }
    std::size_t node_count() const { return count_; }

    // A tree read on another thread while it is built can have the memory of
    // the parts read already made into new nodes. The builder keeps the
    // nodes made so far for the tree's life; the reader then says, from its
    // own thread, when it will read no node made before the `count`-th any
    // more. Blocks wholly between the two take new nodes.
    void keep_nodes_made();
    void release_nodes_before(std::size_t count) { released_.store(count, std::memory_order_release); }

    SyntaxTree() = default;
    SyntaxTree(const SyntaxTree&) = delete;
    SyntaxTree& operator=(const SyntaxTree&) = delete;
    ~SyntaxTree();

private:
    // Blocks of 128 KiB: once the tree is given back, the holes its blocks
    // leave between the model's are large enough for the output text after.
    static constexpr std::size_t kBlock = 2048;
    Node* new_slot();
    void start_block();

    std::vector<Node*> blocks_;   // the block of each kBlock nodes, in the order made
    std::vector<Node*> owned_;    // each block once
    std::vector<Node*> spare_;    // released blocks, to be used again
    std::size_t count_ = 0;       // nodes made
    std::size_t used_ = kBlock;   // nodes made in the last block
    // The first block not released yet; none is until nodes are kept.
    std::size_t next_release_ = static_cast<std::size_t>(-1);
    std::atomic<std::size_t> released_{0};
    TextArena texts_;
};
// Nodes are never destroyed one by one, and a block is made again into new ones.
static_assert(std::is_trivially_destructible_v<Node>);

// A null node raises STXNODNIL, a node of another kind STXNODNWT with the
// expected kind number; both end the run.
void expect_node(const Node* node, int kind);

// True for null, N_EMPTY, and an N_EXPRESSION chain made only of those.
bool is_empty_expression(const Node* node);

// The value of a header field: the text of an N_STRING, or the value of the
// environment variable that an N_ENV_VAR names (empty when it is not set).
std::string header_value_text(const Node* node);

}  // namespace zv
