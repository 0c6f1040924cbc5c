// Calls of interface functions in the model: the parameter entries that each
// kind of declaration gives (variadic, "()" with and without ANSI, arrays,
// function-like macros) and the arguments they then accept; the numbering and
// placement of call temporaries; the entry of SHARE.
#include "native/type_class.h"
#include "test_semantic_support.h"

#include <string>

namespace zv::test {
namespace {

const char* kHeader = "HEADER \"a\", \"b\", \"c\"\n# int i; char *s; int tab[4];\n";

// "position:class[:name][[size]]" for each parameter entry.
std::string parameters_of(const Entry* function) {
    std::string out;
    for (const Entry* p = function->descriptor->sub_scope->first; p; p = p->next) {
        auto* d = static_cast<const InterfaceParameterDescriptor*>(p->descriptor);
        if (!out.empty()) out += ' ';
        out += std::to_string(d->position) + ":" + std::to_string(d->type_class);
        if (p->name) out += std::string(":") + p->name;
        if (d->array_size) out += "[" + std::to_string(d->array_size) + "]";
    }
    return out;
}

TEST(SemanticCalls, ArgumentsFollowTheDeclaration) {
    const struct {
        const char* header;
        Restriction restriction;
        const char* calls;
        const char* parameters;
        const char* messages;
    } cases[] = {
        {"int f(int a, char b[8]);", Restriction::None, "CALL f(1, s)\n", "0:2 1:2:a 2:6:b[8]", ""},
        {"int f(const char *fmt, ...);", Restriction::None, "CALL f(s)\nCALL f(s, 1, tab, s)\n", "0:2 1:6:fmt 2:15",
         ""},
        {"int f(const char *fmt, ...);", Restriction::None, "CALL f()\n", "0:2 1:6:fmt 2:15",
         "Zolmex-E-TOOFEWARG,  [t.zod:4] Too few arguments for this service f\n"},
        {"void f(void);", Restriction::None, "CALL f()\nCALL f(1)\n", "0:14 1:14",
         "Zolmex-E-NOMOREARG,  [t.zod:5] Illegal Argument #1 (f)\n"},
        {"long f();", Restriction::None, "CALL f()\nCALL f(1, s)\n", "0:3 1:17", ""},
        {"long f();", Restriction::KandR, "CALL f(1, s)\n", "0:3 1:17", ""},
        {"long f();", Restriction::Ansi, "CALL f()\nCALL f(1)\n", "0:3 1:14",
         "Zolmex-E-NOMOREARG,  [t.zod:5] Illegal Argument #1 (f)\n"},
        // The first call decides that it is a macro; the others find its entry.
        {"#define f(a, b) ((a) + (b))", Restriction::None, "CALL f(1, 2)\nCALL f(i @ 1, REF(i @ 2 @ i))\nCALL f()\n",
         "0:17 1:17", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.header) + "\n" + c.calls);
        AnalysisOptions options;
        options.restriction = c.restriction;
        const Analysed a = analyse_text(std::string(kHeader) + "SCENARIO s\n" + c.calls + "END SCENARIO\n",
                                        std::string(c.header) + "\n", options);
        ASSERT_TRUE(a.model.root) << a.messages;
        const Entry* function = a.find(E_INTERFACE_FUNCTION, "f");
        ASSERT_TRUE(function);
        EXPECT_EQ(a.model.root->first, function);
        EXPECT_EQ(parameters_of(function), c.parameters);
        EXPECT_EQ(a.messages, c.messages);
    }
}

TEST(SemanticCalls, TemporariesShareOneCounterAndGoToTheNearestExecutableScope) {
    const Analysed a = analyse_text(std::string(kHeader) +
                                        "# static int kept;\n"
                                        "SHARE kept\n"
                                        "PROC p()\nIF (1) THEN\nCALL get(1)\nEND IF\nEND PROC\n"
                                        "SCENARIO s\n"
                                        "CALL put(REF(i))\n"           // no return value; REF with a value
                                        "CALL get(1 @ 2)\n"            // return first, then the argument
                                        "CALL get(1 @ 2 @ i) @ 0 @ i\n"  // written receiving variables
                                        "CALL TWICE(1, 2)\n"           // a macro gives nothing unchecked
                                        "CALL TWICE(1, 2) @ 3\n"
                                        "END SCENARIO\n",
                                    "int get(int a);\nvoid put(int *out);\n#define TWICE(a, b) ((a) + (b))\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(names_in(a.model.root).substr(0, 23), "33:TWICE 33:put 33:get ");
    EXPECT_EQ(a.find(E_SHARED, "kept")->scope, a.model.root);
    EXPECT_EQ(names_in(a.find(E_PROCEDURE, "p")->descriptor->sub_scope), "35:kvr_return_0 16:1");
    EXPECT_EQ(names_in(a.find(E_SCENARIO, "s")->descriptor->sub_scope),
              "35:kvr_return_4 35:kvr_p_3 35:kvr_return_2 35:kvr_p_1 4:put 4:get 4:get 4:TWICE 4:TWICE");
    EXPECT_EQ(a.model.temporary_count, 5);

    // Each temporary knows the parameter whose type it takes and what it receives.
    auto* p1 = static_cast<TemporaryDescriptor*>(a.find(E_TEMPORARY, "kvr_p_1")->descriptor);
    EXPECT_STREQ(p1->parameter->name, "out");
    auto* by_address = static_cast<CallArgumentDescriptor*>(p1->argument->descriptor);
    EXPECT_TRUE(by_address->by_address && by_address->temporary);
    EXPECT_STREQ(by_address->receiving, "kvr_p_1");
    auto* r2 = static_cast<TemporaryDescriptor*>(a.find(E_TEMPORARY, "kvr_return_2")->descriptor);
    EXPECT_EQ(static_cast<InterfaceParameterDescriptor*>(r2->parameter->descriptor)->position, 0);
    auto* returned = static_cast<CallArgumentDescriptor*>(r2->argument->descriptor);
    EXPECT_STREQ(returned->receiving, "kvr_return_2");
    EXPECT_EQ(returned->receiving_class, native::kInteger);
    const auto* call = static_cast<CallDescriptor*>(a.find(E_CALL, "get")->descriptor);
    EXPECT_TRUE(call->return_temporary);
    EXPECT_STREQ(call->receiving, "kvr_return_0");  // the call in p, first of the walk

    for (const char* line : {"35 E_TEMPORARY \"kvr_p_1\" [151] parameter 1 \"out\" argument \"i\"/-\n",
                             "4 E_CALL \"put\" [109] procedure - function \"put\" expected - receiving - class 14 "
                             "receiving-class -1 return-temporary 0\n",
                             "27 E_CALL_ARGUMENT - [110] value \"i\" class 2 parameter \"out\" position 1 by-address 1 "
                             "expected - class -1 receiving \"kvr_p_1\" class 9 array 0 temporary 1\n"})
        EXPECT_NE(a.dump.find(line), std::string::npos) << line << a.dump;
}

}  // namespace
}  // namespace zv::test
