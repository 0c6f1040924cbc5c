#include "native/native_assertions.h"

#include "native/c_analyser.h"
#include "native/preprocessor.h"

#include <algorithm>

namespace zv::native {

namespace {

// Types without a name of their own cannot be written back as C.
bool writable(const std::string& text) { return text.find("<anonymous>") == std::string::npos; }

std::string same(const std::string& a, const std::string& b) {
    return "_Static_assert(__builtin_types_compatible_p(" + a + ", " + b + "), \"" + a + "\");";
}

std::string equal(const std::string& expr, long long value, const std::string& what) {
    return "_Static_assert(" + expr + " == " + std::to_string(value) + "LL, \"" + what + "\");";
}

}  // namespace

std::vector<std::string> static_assertions(NativeAnalyser& facade) {
    CAnalyser& analyser = c_analyser(facade);
    std::vector<std::string> lines;
    // A name that is also a macro would be replaced in the assertion itself.
    auto macro = [&](const char* name) { return analyser.preprocessor().find_macro(name) != nullptr; };
    analyser.symbols().each([&](const std::string& scope, const Symbol& sym) {
        if (!scope.empty() || macro(sym.name)) return;
        const std::string name = sym.name;
        switch (sym.kind) {
        case Symbol::Kind::EnumConstant:
            lines.push_back(equal(name, sym.value, name));
            break;
        case Symbol::Kind::Typedef: {
            const std::string target = type_text(sym.type->base);
            if (writable(target)) lines.push_back(same(name, target));
            const long long size = size_of(sym.type);
            if (size > 0 && resolve(sym.type)->kind != TypeKind::Function)
                lines.push_back(equal("sizeof(" + name + ")", size, name));
            break;
        }
        default: {
            const std::string type = type_text(sym.type);
            if (writable(type)) lines.push_back(same("__typeof__(" + name + ")", type));
        }
        }
    });
    analyser.symbols().each_tag([&](const std::string& scope, const Record& r) {
        if (!scope.empty() || r.kind == TypeKind::Enum || !r.complete || macro(r.tag)) return;
        const std::string tag = std::string(r.kind == TypeKind::Struct ? "struct " : "union ") + r.tag;
        lines.push_back(equal("sizeof(" + tag + ")", r.size, tag));
        lines.push_back(equal("_Alignof(" + tag + ")", r.align, tag));
        for (const Field& f : r.fields) {
            if (!f.name || f.bit_width >= 0 || macro(f.name)) continue;
            lines.push_back(equal("__builtin_offsetof(" + tag + ", " + f.name + ")", f.offset, tag + "." + f.name));
            const std::string type = type_text(f.type);
            if (writable(type)) lines.push_back(same("__typeof__(((" + tag + " *)0)->" + f.name + ")", type));
        }
    });
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

}  // namespace zv::native
