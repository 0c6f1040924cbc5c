#include "script/tree_dump.h"

#include <cstdio>
#include <vector>

namespace zv {

std::string quoted_text(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\f': out += "\\f"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default:
                if (c < 32 || c == 127) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02x", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string dump_tree(const Node* root, bool positions) {
    // Explicit stack: chains of a large script are far deeper than the
    // machine stack would like.
    struct Item {
        const Node* node;
        int depth;
        const char* slot;
    };
    std::string out;
    std::vector<Item> stack{{root, 0, ""}};
    static const char* const kSlots[3] = {"1: ", "2: ", "3: "};
    while (!stack.empty()) {
        const Item item = stack.back();
        stack.pop_back();
        out.append(static_cast<std::size_t>(item.depth) * 2, ' ');
        out += item.slot;
        const Node* node = item.node;
        if (!node) {
            out += "-\n";
            continue;
        }
        const char* name = node_kind_name(node->kind);
        out += std::to_string(node->kind);
        out += ' ';
        out += name ? name : "?";
        if (node->text) {
            out += ' ';
            out += quoted_text(node->text);
        }
        if (positions) {
            out += " @";
            out += node->file ? node->file : "";
            out += ':' + std::to_string(node->line) + '#' + std::to_string(node->file_index);
        }
        out += '\n';
        const Node* children[3] = {node->child1, node->child2, node->child3};
        int last = 2;
        while (last >= 0 && !children[last]) --last;
        for (int i = last; i >= 0; --i) stack.push_back({children[i], item.depth + 1, kSlots[i]});
    }
    return out;
}

}  // namespace zv
