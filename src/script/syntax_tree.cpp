#include "script/syntax_tree.h"

#include "common/heap.h"
#include "diagnostics/report.h"

#include <cstdlib>
#include <memory>
#include <string>

#ifdef ZV_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

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

SyntaxTree::~SyntaxTree() {
    for (Node* block : owned_) {
#ifdef ZV_ADDRESS_SANITIZER
        ASAN_UNPOISON_MEMORY_REGION(block, kBlock * sizeof(Node));
#endif
        std::allocator<Node>().deallocate(block, kBlock);
    }
}

void SyntaxTree::keep_nodes_made() {
    next_release_ = (count_ + kBlock - 1) / kBlock;
}

void SyntaxTree::start_block() {
    const std::size_t released = released_.load(std::memory_order_acquire);
    for (; next_release_ < blocks_.size() && (next_release_ + 1) * kBlock <= released; ++next_release_) {
#ifdef ZV_ADDRESS_SANITIZER
        // A checked build keeps released blocks poisoned instead, so that a
        // read of a released node is caught.
        ASAN_POISON_MEMORY_REGION(blocks_[next_release_], kBlock * sizeof(Node));
#else
        spare_.push_back(blocks_[next_release_]);
#endif
    }
    // Room first, so that a block is never made without a place to keep it.
    if (blocks_.size() == blocks_.capacity()) blocks_.reserve(2 * blocks_.size() + 16);
    if (spare_.empty()) {
        if (owned_.size() == owned_.capacity()) owned_.reserve(2 * owned_.size() + 16);
        Node* block = std::allocator<Node>().allocate(kBlock);
        populate(block, kBlock * sizeof(Node));
        owned_.push_back(block);
        blocks_.push_back(block);
    } else {
        blocks_.push_back(spare_.back());
        spare_.pop_back();
    }
    used_ = 0;
}

Node* SyntaxTree::new_slot() {
    if (used_ == kBlock) start_block();
    ++count_;
    return std::construct_at(blocks_.back() + used_++);
}

Node* SyntaxTree::new_node(int kind, Node* child1, Node* child2, Node* child3, const char* text,
                           const Position& where, const Position& start) {
    Node& node = *new_slot();
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
