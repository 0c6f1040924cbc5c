// The C layout of a value's type as the semantic analysis found it: shape,
// fields, element and count, level by level. Value entries keep it so that
// the generators walk a value along its type from the model alone, after the
// interface analysis has ended.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

// One level of a type; nodes are shared between the types that use them.
struct TypeLayoutNode {
    int type_class = -1;  // native type class of this level
    int shape = 0;        // a LayoutRef::Shape
    long long count = -1; // elements of an array, -1 when unknown
    std::vector<std::pair<std::string, const TypeLayoutNode*>> fields;  // of a structure or union
    const TypeLayoutNode* element = nullptr;                            // of an array
};

class LayoutRef;

struct LayoutField {
    std::string_view name;  // empty for an anonymous member; the node's text
    const TypeLayoutNode* node = nullptr;
    LayoutRef type() const;
};

// A handle on a layout level, null when the type was not known.
class LayoutRef {
public:
    enum class Shape { None, Scalar, Structure, Union, Array };

    LayoutRef() = default;
    explicit LayoutRef(const TypeLayoutNode* node) : node_(node) {}
    explicit operator bool() const { return node_ != nullptr; }

    int type_class() const { return node_ ? node_->type_class : -1; }
    Shape shape() const { return node_ ? static_cast<Shape>(node_->shape) : Shape::None; }
    long long count() const { return node_ ? node_->count : -1; }
    LayoutRef element() const { return LayoutRef(node_ ? node_->element : nullptr); }
    // The level itself, null when the type was not known.
    const TypeLayoutNode* node() const { return node_; }
    std::vector<LayoutField> fields() const {
        std::vector<LayoutField> out;
        if (node_)
            for (const auto& [name, node] : node_->fields) out.push_back({name, node});
        return out;
    }

private:
    const TypeLayoutNode* node_ = nullptr;
};

inline LayoutRef LayoutField::type() const { return LayoutRef(node); }

}  // namespace zv
