// "native-tokens", "native-decls" and "native-expr": the interface analysis on
// its own. Options: -I<dir> (include directory), -D<item> (define), -K (K&R),
// -S<file> (standard-defines file); the remaining arguments are headers, and
// for native-expr the last one is the expression.
#include "show.h"

#include "native/c_analyser.h"
#include "native/native_analyser.h"
#include "native/native_assertions.h"
#include "native/type_class.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

namespace zv::inspect {
namespace {

struct Setup {
    std::unique_ptr<native::NativeAnalyser> analyser;
    std::vector<std::string> rest;
    native::CAnalyser& c() { return native::c_analyser(*analyser); }
};

Setup set_up(const std::vector<std::string>& args) {
    native::AnalyserOptions options;
    Setup s;
    for (const std::string& a : args) {
        if (a.rfind("-I", 0) == 0) options.include_dirs.push_back(a.substr(2));
        else if (a.rfind("-D", 0) == 0) options.defines.push_back(a.substr(2));
        else if (a == "-K") options.restriction = Restriction::KandR;
        else if (a.rfind("-S", 0) == 0) options.std_define_path = a.substr(2);
        else s.rest.push_back(a);
    }
    s.analyser = native::analyse_interfaces(options);
    return s;
}

// One token per line, so that two streams compare token by token.
int print_tokens(const std::vector<std::string>& args) {
    Setup s = set_up(args);
    for (const std::string& file : s.rest) {
        for (const native::Token& t : s.c().preprocess_file(file))
            std::printf("%s%.*s\n", t.flags & native::kPragma ? "#pragma " : "", static_cast<int>(t.length), t.text);
    }
    return 0;
}

const char* kind_name(native::Symbol::Kind k) {
    switch (k) {
    case native::Symbol::Kind::Variable: return "variable";
    case native::Symbol::Kind::Function: return "function";
    case native::Symbol::Kind::Typedef: return "typedef";
    case native::Symbol::Kind::EnumConstant: return "enumerator";
    }
    return "";
}

// Every declaration and tagged type, sorted, with its type, size and class.
int print_declarations(const std::vector<std::string>& args) {
    Setup s = set_up(args);
    for (const std::string& file : s.rest) s.c().analyse_file(file, false);
    std::vector<std::string> lines;
    s.c().symbols().each([&](const std::string& scope, const native::Symbol& sym) {
        const native::Type* type = sym.kind == native::Symbol::Kind::Typedef ? sym.type->base : sym.type;
        std::string line = scope + "|" + kind_name(sym.kind) + " " + sym.name + ": " + native::type_text(type);
        if (sym.kind == native::Symbol::Kind::EnumConstant) line += " = " + std::to_string(sym.value);
        else line += " size " + std::to_string(native::size_of(type)) + " class " + std::to_string(native::type_class(type));
        lines.push_back(line);
    });
    s.c().symbols().each_tag([&](const std::string& scope, const native::Record& r) {
        std::string line = scope + "|" + (r.kind == native::TypeKind::Struct ? "struct " : r.kind == native::TypeKind::Union ? "union " : "enum ") +
                           r.tag + " size " + std::to_string(r.size) + " align " + std::to_string(r.align);
        for (const native::Field& f : r.fields) {
            line += std::string("\n    ") + (f.name ? f.name : "<anonymous>") + ": " + native::type_text(f.type) + " @" +
                    std::to_string(f.offset);
            if (f.bit_width >= 0) {
                line += ':';
                line += std::to_string(f.bit_offset);
                line += '+';
                line += std::to_string(f.bit_width);
            }
        }
        lines.push_back(line);
    });
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return 0;
}

// The answer to an expression query after reading the headers.
int print_expression(const std::vector<std::string>& args) {
    Setup s = set_up(args);
    if (s.rest.empty()) return 2;
    const std::string expr = s.rest.back();
    s.rest.pop_back();
    for (const std::string& file : s.rest) s.c().analyse_file(file, false);
    const native::ClassAnswer answer = native::expression_type_class(*s.analyser, expr, "", "", 0);
    const native::TypeTexts texts = native::expression_type_texts(*s.analyser, expr, "", "", 0);
    std::printf("class %d count %lld\ntype %s\nresolved %s\nsize %lld\n", answer.type_class, answer.count,
                texts.declared.c_str(), texts.resolved.c_str(), texts.size);
    s.analyser->set_position("", 0, "");
    const auto tokens = s.c().preprocess_tokens(expr);
    const auto tree = s.c().parse_expression_tokens(tokens, true);
    if (tree && tree->root->is_constant && !tree->root->is_float && tree->root->op != native::Expr::Op::String)
        std::printf("value %lld\n", tree->root->value);
    return 0;
}

// A C file of static assertions built from the answers, for a C compiler to check.
int print_assertions(const std::vector<std::string>& args) {
    Setup s = set_up(args);
    for (const std::string& file : s.rest) s.c().analyse_file(file, false);
    for (const std::string& line : native::static_assertions(*s.analyser)) std::printf("%s\n", line.c_str());
    return 0;
}

// In-process time of reading headers (preprocessing and declarations).
int print_timing(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    Setup s = set_up(args);
    std::size_t tokens = 0;
    double preprocessing = 0;
    for (const std::string& file : s.rest) {
        const auto before = std::chrono::steady_clock::now();
        const native::TokenList list = s.c().preprocess_file(file);
        preprocessing += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
        tokens += list.size();
        s.c().declare_tokens(list);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("in-process %.1f ms (preprocessing %.1f ms), %zu tokens, %zu declarations\n", ms, preprocessing, tokens,
                s.c().symbols().count());
    return 0;
}

const InspectCommand kTokens("native-tokens", "[-Idir] [-Ditem] [-K] [-Sdefs] header...: preprocessed tokens, one a line",
                             print_tokens);
const InspectCommand kDecls("native-decls", "[-Idir] [-Ditem] [-K] [-Sdefs] header...: declarations and types registered",
                            print_declarations);
const InspectCommand kAsserts("native-asserts", "[-Idir] [-Ditem] [-K] [-Sdefs] header...: static assertions of the answers",
                              print_assertions);
const InspectCommand kTiming("native-time", "[-Idir] [-Ditem] [-K] [-Sdefs] header...: in-process time of the analysis",
                              print_timing);
const InspectCommand kExpr("native-expr", "[-Idir] [-Ditem] [-K] [-Sdefs] header... expression: type class and value",
                           print_expression);

}  // namespace
}  // namespace zv::inspect
