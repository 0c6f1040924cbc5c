#include "script/syntax_tree.h"

#include "diagnostics/report.h"

#include <cstdlib>
#include <string>

namespace zv {

const char* node_kind_name(int kind) {
    switch (kind) {
#define ZV_NODE_NAME(name, number) \
    case number:                   \
        return #name;
        ZV_NODE_KINDS(ZV_NODE_NAME)
#undef ZV_NODE_NAME
    }
    return nullptr;
}

Node* SyntaxTree::new_node(int kind, Node* child1, Node* child2, Node* child3, const char* text,
                           const Position& where, const Position& start) {
    Node& node = nodes_.emplace_back();
    node.kind = static_cast<std::int16_t>(kind);
    node.child1 = child1;
    node.child2 = child2;
    node.child3 = child3;
    node.line = where.line;
    node.file = where.file;
    node.file_index = static_cast<std::int16_t>(where.file_index);
    node.start = start;
    node.text = text ? copy_text(text) : nullptr;
    return &node;
}

Node* SyntaxTree::new_node(int kind, Node* child1, Node* child2, Node* child3, std::string_view text,
                           const Position& where, const Position& start) {
    Node* node = new_node(kind, child1, child2, child3, static_cast<const char*>(nullptr), where, start);
    node->text = copy_text(text);
    return node;
}

void expect_node(const Node* node, int kind) {
    if (!node) {
        reportAtText(Severity::Internal, Code::STXNODNIL, "", nullptr, 0);
        return;
    }
    if (node->kind != kind) {
        reportAtText(Severity::Internal, Code::STXNODNWT, std::to_string(kind).c_str(), node->file, node->line);
    }
}

bool is_empty_expression(const Node* node) {
    if (!node || node->kind == N_EMPTY) return true;
    // Walk the chain iteratively: expression chains can be long.
    while (node && node->kind == N_EXPRESSION) {
        const Node* piece = node->item();
        if (piece && piece->kind != N_EMPTY && !(piece->kind == N_EXPRESSION && is_empty_expression(piece))) {
            return false;
        }
        node = node->next();
    }
    return !node || node->kind == N_EMPTY;
}

std::string header_value_text(const Node* node) {
    if (node && node->kind == N_STRING) return node->text ? node->text : "";
    if (node && node->kind == N_ENV_VAR) {
        const char* name = node->text ? node->text : "";
        if (*name == '$') ++name;
        const char* value = std::getenv(name);
        return value ? value : "";
    }
    reportAtText(Severity::Internal, Code::STXNODNWT, std::to_string(N_STRING).c_str(), node ? node->file : nullptr,
                 node ? node->line : 0);
    return {};
}

}  // namespace zv
