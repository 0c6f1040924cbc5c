#include "native/native_assertions.h"

#include "native/c_analyser.h"
#include "native/preprocessor.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <unordered_map>

namespace zv::native {

namespace {

// Types without a name of their own cannot be written back as C.
bool writable(const std::string& text) { return text.find("<anonymous>") == std::string::npos; }

// A pointer to a function, through typedef names and qualifiers.
bool function_pointer(const Type* type) {
    const Type* r = resolve(type);
    return r && r->kind == TypeKind::Pointer && resolve(r->base) && resolve(r->base)->kind == TypeKind::Function;
}

// The compiler gives a pointer to a function declared "noreturn" a target
// of its own kind, which no type name can write: two such pointers are
// compared through the functions they point to.
std::string same(const std::string& a, const std::string& b, bool through_target = false) {
    std::string test = "__builtin_types_compatible_p(" + a + ", " + b + ")";
    if (through_target)
        test += " || __builtin_types_compatible_p(__typeof__(*(" + a + ")0), __typeof__(*(" + b + ")0))";
    return "_Static_assert(" + test + ", \"" + a + "\");";
}

// A literal of the value with the given signedness: the most negative value
// cannot be written as the negation of a literal of its own type.
std::string literal(long long value, bool is_unsigned) {
    if (is_unsigned) return std::to_string(static_cast<unsigned long long>(value)) + "ULL";
    if (value == LLONG_MIN) return "(-9223372036854775807LL - 1)";
    return std::to_string(value) + "LL";
}

std::string equal(const std::string& expr, long long value, const std::string& what, bool is_unsigned = false) {
    return "_Static_assert(" + expr + " == " + literal(value, is_unsigned) + ", \"" + what + "\");";
}

}  // namespace

std::vector<std::string> static_assertions(NativeAnalyser& facade) {
    CAnalyser& analyser = c_analyser(facade);
    std::vector<std::string> lines;
    // A name that is also a macro would be replaced in the assertion itself.
    auto macro = [&](const char* name) { return analyser.preprocessor().find_macro(name) != nullptr; };
    // The same for every identifier of a type's text ("struct tag", typedef names).
    auto expands = [&](const std::string& text) {
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (!std::isalpha(c) && c != '_') {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < text.size() && (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_')) ++j;
            if (analyser.preprocessor().defined(std::string_view(text).substr(i, j - i))) return true;
            i = j;
        }
        return false;
    };
    // A structure or union whose tag is a macro name is written through a
    // typedef name that stands for it alone (no qualifiers); without one
    // it is not checked.
    std::unordered_map<const Record*, std::string> typedef_of;
    analyser.symbols().each([&](const std::string& scope, const Symbol& sym) {
        if (!scope.empty() || sym.kind != Symbol::Kind::Typedef || macro(sym.name)) return;
        const Type* target = sym.type->base;
        while (target && target->kind == TypeKind::Typedef && target->quals == 0) target = target->base;
        if (!target || target->quals != 0 || target->align != 0 || !target->record) return;
        if (target->kind != TypeKind::Struct && target->kind != TypeKind::Union) return;
        auto [it, added] = typedef_of.emplace(target->record, sym.name);
        if (!added && std::string(sym.name) < it->second) it->second = sym.name;  // the same one each run
    });
    analyser.symbols().each([&](const std::string& scope, const Symbol& sym) {
        if (!scope.empty() || macro(sym.name)) return;
        const std::string name = sym.name;
        switch (sym.kind) {
        case Symbol::Kind::EnumConstant:
            lines.push_back(equal(name, sym.value, name, sym.type && is_unsigned(sym.type)));
            break;
        case Symbol::Kind::Typedef: {
            const std::string target = type_text(sym.type->base);
            if (writable(target) && !expands(target)) lines.push_back(same(name, target, function_pointer(sym.type)));
            const long long size = size_of(sym.type);
            if (size > 0 && resolve(sym.type)->kind != TypeKind::Function)
                lines.push_back(equal("sizeof(" + name + ")", size, name));
            break;
        }
        default: {
            const std::string type = type_text(sym.type);
            if (writable(type) && !expands(type))
                lines.push_back(same("__typeof__(" + name + ")", type, function_pointer(sym.type)));
        }
        }
    });
    analyser.symbols().each_tag([&](const std::string& scope, const Record& r) {
        if (!scope.empty() || r.kind == TypeKind::Enum || !r.complete) return;
        std::string tag = std::string(r.kind == TypeKind::Struct ? "struct " : "union ") + r.tag;
        if (macro(r.tag)) {
            auto it = typedef_of.find(&r);
            if (it == typedef_of.end()) return;
            tag = it->second;
        }
        lines.push_back(equal("sizeof(" + tag + ")", r.size, tag));
        lines.push_back(equal("_Alignof(" + tag + ")", r.align, tag));
        for (const Field& f : r.fields) {
            if (!f.name || f.bit_width >= 0 || macro(f.name)) continue;
            lines.push_back(equal("__builtin_offsetof(" + tag + ", " + f.name + ")", f.offset, tag + "." + f.name));
            const std::string type = type_text(f.type);
            if (writable(type) && !expands(type))
                lines.push_back(same("__typeof__(((" + tag + " *)0)->" + f.name + ")", type, function_pointer(f.type)));
        }
    });
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

}  // namespace zv::native
