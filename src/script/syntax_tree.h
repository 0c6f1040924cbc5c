// The syntax tree of a test script: one node shape for every construct, node
// kinds with their fixed numbers, and the small checking helpers that later
// phases use when they walk the tree. Nodes and their texts live in an arena
// owned by SyntaxTree; the driver keeps it for the whole run.
#pragma once

#include "common/position.h"
#include "common/text_arena.h"

#include <deque>
#include <string>
#include <string_view>
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

struct Node {
    int kind = 0;
    Node* child1 = nullptr;
    Node* child2 = nullptr;
    Node* child3 = nullptr;
    int line = 0;
    const char* text = nullptr;  // own copy (arena), null for kinds without text
    const char* file = nullptr;  // shared with the script-file record
    int file_index = 0;
    // Where the construct begins: its first token's file and the line on
    // which that token's logical line begins. Entries and messages about the
    // construct carry this position; the one above is where the parser was
    // when it built the node (after the construct's last token, often after
    // the next one too).
    Position start;

    Position position() const { return {file, line, file_index}; }
};

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
    std::size_t node_count() const { return nodes_.size(); }

private:
    std::deque<Node> nodes_;
    TextArena texts_;
};

// A null node raises STXNODNIL, a node of another kind STXNODNWT with the
// expected kind number; both end the run.
void expect_node(const Node* node, int kind);

// True for null, N_EMPTY, and an N_EXPRESSION chain made only of those.
bool is_empty_expression(const Node* node);

// The value of a header field: the text of an N_STRING, or the value of the
// environment variable that an N_ENV_VAR names (empty when it is not set).
std::string header_value_text(const Node* node);

}  // namespace zv
