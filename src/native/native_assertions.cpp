#include "native/native_assertions.h"

#include "common/string_pool.h"
#include "native/c_analyser.h"
#include "native/preprocessor.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
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

// Whether a text holds an identifier that is a macro name (and would be
// replaced in the assertion itself).
bool expands(Preprocessor& pp, const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalpha(c) && c != '_') {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_')) ++j;
        if (pp.defined(std::string_view(text).substr(i, j - i))) return true;
        i = j;
    }
    return false;
}

}  // namespace

std::vector<std::string> static_assertions(NativeAnalyser& facade) {
    CAnalyser& analyser = c_analyser(facade);
    std::vector<std::string> lines;
    // A name that is also a macro would be replaced in the assertion itself.
    auto macro = [&](const char* name) { return analyser.preprocessor().find_macro(name) != nullptr; };
    // The same for every identifier of a type's text ("struct tag", typedef names).
    auto expands = [&](const std::string& text) { return native::expands(analyser.preprocessor(), text); };
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

std::vector<std::string> macro_assertions(NativeAnalyser& facade, const std::vector<std::string>& names) {
    CAnalyser& analyser = c_analyser(facade);
    Preprocessor& pp = analyser.preprocessor();
    std::vector<std::string> lines;
    for (const std::string& name : names) {
        const Macro* m = pp.find_macro(string_pool().intern(name));
        if (!m || m->function_like || m->builtin != Macro::Builtin::None) continue;
        const TokenList tokens = analyser.preprocess_tokens(name);
        // One that stands for __LINE__ or __COUNTER__ is not the same in the assertion.
        const auto text_of = [](const TokenList& list) {
            std::string out;
            for (const Token& t : list) out.append(t.text, t.length).push_back(' ');
            return out;
        };
        if (text_of(tokens) != text_of(analyser.preprocess_tokens("\n" + name))) continue;
        const auto tree = analyser.parse_expression_tokens(tokens, true);
        if (!tree || !tree->root || !tree->root->is_constant || !tree->root->type) continue;
        const Expr& e = *tree->root;
        const Type* type = resolve(e.type);
        if (!is_arithmetic(type) || type->is_complex) continue;
        const long long size = size_of(e.type);
        std::string test = "sizeof(" + name + ") == " + std::to_string(size);
        const std::string text = type_text(e.type);
        if (writable(text) && !expands(pp, text))
            test = "__builtin_types_compatible_p(__typeof__(" + name + "), " + text + ") && " + test;
        if (e.is_float) {
            // Exact in hexadecimal; a long double constant is only as exact as a double.
            if (type->kind == TypeKind::Float || type->kind == TypeKind::Double) {
                // A float constant is held as a double: compared as the float it stands for.
                char value[64];
                std::snprintf(value, sizeof value, "%a",
                              type->kind == TypeKind::Float ? static_cast<double>(static_cast<float>(e.fvalue)) : e.fvalue);
                if (std::string(value).find_first_of("ni") == std::string::npos)  // nan, inf
                    test += " && (" + name + ") == " + value;
            }
        } else if (is_integer(type) && size <= 8) {
            long long value = e.value;
            const bool is_unsigned_type = is_unsigned(type);
            if (size < 8) {  // the value as the type holds it
                const unsigned long long mask = (1ULL << (size * 8)) - 1;
                unsigned long long bits = static_cast<unsigned long long>(value) & mask;
                if (!is_unsigned_type && (bits >> (size * 8 - 1)) & 1) bits |= ~mask;
                value = static_cast<long long>(bits);
            }
            test += " && (" + name + ") == " + literal(value, is_unsigned_type);
        }
        lines.push_back("_Static_assert(" + test + ", \"" + name + "\");");
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace zv::native
