#include "native/union_selection.h"

#include "native/c_analyser.h"

namespace zv::native {
namespace {

const Type* unqualified(const Type* type) {
    type = resolve(type);
    return type;
}

std::string selection_of(const Type* type, const std::string& name);

std::string members_of(const Record& record) {
    std::string members;
    for (const Field& field : record.fields) members += selection_of(field.type, field.name ? field.name : "");
    return members;
}

std::string selection_of(const Type* type, const std::string& name) {
    type = unqualified(type);
    if (!type) return {};
    switch (type->kind) {
        case TypeKind::Union: {
            const std::string members = type->record ? members_of(*type->record) : std::string();
            if (members.empty()) return "struct {\nint select;\n\n}" + name + ";\n";
            return "struct {\nint select;\n\n" + members + "\n}" + name + ";\n";
        }
        case TypeKind::Struct: {
            const std::string members = type->record ? members_of(*type->record) : std::string();
            if (members.empty()) return {};
            return "struct {\n" + members + "\n}" + name + ";\n";
        }
        case TypeKind::Array:
            return selection_of(type->base, name + "[" + (type->count >= 0 ? std::to_string(type->count) : "0") + "]");
        default:
            return {};
    }
}

}  // namespace

std::string union_selection(NativeAnalyser& analyser, const std::string& type_name, const std::string& scope_name,
                            const std::string& outer_name) {
    return selection_of(c_analyser(analyser).type_by_name(type_name, scope_name), outer_name);
}

}  // namespace zv::native
