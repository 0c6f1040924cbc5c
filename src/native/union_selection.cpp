#include "native/union_selection.h"

#include "native/c_analyser.h"

namespace zv::native {
namespace {

// Builds the mirror text; gives up once it would exceed the limit, since a
// type whose levels each hold two copies of the next doubles it per level.
class Selection {
public:
    explicit Selection(std::size_t limit) : limit_(limit) {}
    bool overflow() const { return overflow_; }

    std::string of(const Type* type, const std::string& name) {
        type = resolve(type);
        if (!type || overflow_) return {};
        switch (type->kind) {
            case TypeKind::Union: {
                const std::string members = type->record ? members_of(*type->record) : std::string();
                if (members.empty()) return sized("struct {\nint select;\n\n}" + name + ";\n");
                return sized("struct {\nint select;\n\n" + members + "\n}" + name + ";\n");
            }
            case TypeKind::Struct: {
                const std::string members = type->record ? members_of(*type->record) : std::string();
                if (members.empty()) return {};
                return sized("struct {\n" + members + "\n}" + name + ";\n");
            }
            case TypeKind::Array:
                return of(type->base, name + "[" + (type->count >= 0 ? std::to_string(type->count) : "0") + "]");
            default:
                return {};
        }
    }

private:
    std::string members_of(const Record& record) {
        std::string members;
        for (const Field& field : record.fields) {
            members += of(field.type, field.name ? field.name : "");
            if (members.size() > limit_) overflow_ = true;
            if (overflow_) return {};
        }
        return members;
    }

    // The text, or nothing once it is too long.
    std::string sized(std::string text) {
        if (text.size() > limit_) overflow_ = true;
        return overflow_ ? std::string() : text;
    }

    std::size_t limit_;
    bool overflow_ = false;
};

}  // namespace

std::optional<std::string> union_selection(NativeAnalyser& analyser, const std::string& type_name,
                                           const std::string& scope_name, const std::string& outer_name) {
    Selection selection(kUnionSelectionLimit);
    std::string text = selection.of(c_analyser(analyser).type_by_name(type_name, scope_name), outer_name);
    if (selection.overflow()) return std::nullopt;
    return text;
}

}  // namespace zv::native
