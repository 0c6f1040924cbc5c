// The declaration analyser: what real headers use, layouts, scopes by C scope
// name, and the messages for C errors in headers.
#include "native/native_analyser.h"
#include "native/type_class.h"
#include "native_test_support.h"

#include "common/string_pool.h"

#include <chrono>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;

class NativeDeclarations : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }
    void SetUp() override { analyser = native_setup(Restriction::None, {}, {}); }

    // Declares a C text under `scope` as the file "h.h", returns the messages.
    std::string declare(const std::string& text, const std::string& scope = "") {
        CapturedMessages capture;
        analyser->set_position("h.h", 1, scope);
        const auto preprocessed = analyser->preprocess(text);
        if (preprocessed) analyser->declare(*preprocessed, scope, "h.h", 1);
        return capture.text();
    }
    const Type* type(const std::string& name, const std::string& scope = "") {
        return c_analyser(*analyser).type_by_name(name, scope);
    }
    const Record& record(const std::string& tag) {
        const Type* t = resolve(type(tag));
        EXPECT_NE(t, nullptr) << tag;
        return *t->record;
    }
    long long offset(const std::string& tag, const char* field) {
        long long at = 0;
        const Field* f = find_field(record(tag), string_pool().intern(field), at);
        EXPECT_NE(f, nullptr) << field;
        return at;
    }
    // Element count of a declared array variable (-1: unknown).
    long long count(const char* name) { return resolve(native_variable(*analyser, name, "")->type)->count; }
    std::string variable_type(const char* name) { return type_text(native_variable(*analyser, name, "")->type); }
    std::string resolved_type(const char* expression) {
        return expression_type_texts(*analyser, expression, "", "", 0).resolved;
    }

    // One figure of a layout, in bytes: the size of `type` (field kSize) or
    // the offset of one of its fields.
    static constexpr const char* kSize = nullptr;
    struct Figure {
        const char* type;
        const char* field;
        long long bytes;
    };
    void expect_layout(const std::vector<Figure>& figures) {
        for (const Figure& f : figures) {
            if (f.field) {
                EXPECT_EQ(offset(f.type, f.field), f.bytes) << "offset of " << f.type << " " << f.field;
            } else {
                EXPECT_EQ(size_of(type(f.type)), f.bytes) << "size of " << f.type;
            }
        }
    }
    void expect_counts(const std::vector<std::pair<const char*, long long>>& counts) {
        for (const auto& [name, expected] : counts) EXPECT_EQ(count(name), expected) << "elements of " << name;
    }
    void expect_resolved_types(const std::vector<std::pair<const char*, const char*>>& types) {
        for (const auto& [expression, expected] : types) EXPECT_EQ(resolved_type(expression), expected) << expression;
    }
    std::unique_ptr<NativeAnalyser> analyser;
};

// The expected layouts are those the system C compiler gives for the same text.
TEST_F(NativeDeclarations, LayoutOfStructuresAndUnions) {
    EXPECT_EQ(declare("struct a { char c; int i; double d; short s; };\n"
                      "struct b { char c; struct { int x; union { short y; long z; }; }; char tail[]; };\n"
                      "struct __attribute__((packed)) p { char c; int i; };\n"
                      "struct q { char c; int i __attribute__((aligned(16))); } __attribute__((aligned(32)));\n"
                      "union u { char c[5]; int i; };\n"
                      "struct bits { unsigned a : 3, b : 6; unsigned : 0; unsigned char c : 7; unsigned long d : 40; };\n"),
              "");
    expect_layout({
        {"struct a", kSize, 24}, {"struct a", "d", 8}, {"struct a", "s", 16},
        {"struct b", "z", 16},  // through two anonymous members
        {"struct b", "tail", 24}, {"struct b", kSize, 24},
        {"struct p", kSize, 5},
        {"struct q", "i", 16}, {"struct q", kSize, 32},
        {"union u", kSize, 8},
        {"struct bits", kSize, 16},
        {"struct bits", "c", 4},  // after the zero-width field
        {"struct bits", "d", 8},  // 40 bits do not fit after c
    });
    const Record& bits = record("struct bits");
    long long at = 0;
    EXPECT_EQ(find_field(bits, string_pool().intern("b"), at)->bit_offset, 3);
}

// Packing and alignment given on one member, and typedefs that lower an
// alignment: the expected figures are the system C compiler's.
TEST_F(NativeDeclarations, PackingAndAlignmentOfSingleMembers) {
    EXPECT_EQ(declare("typedef int ai2 __attribute__((aligned(2)));\n"
                      "struct l1 { char c; int i __attribute__((packed)); short s; };\n"
                      "struct l2 { char c; int i __attribute__((packed, aligned(2))); };\n"
                      "struct l5 { char c; ai2 v; };\n"
                      "struct __attribute__((packed)) l36 { char c; int i __attribute__((packed)); short s; };\n"
                      "struct __attribute__((packed)) l37 { char c; int : 0; char d; };\n"
                      "struct l43 { char c; int b : 3 __attribute__((aligned(8))); char e; };\n"
                      "struct e { char c; int i, j __attribute__((packed)); };\n"),
              "");
    expect_layout({
        {"struct l1", "i", 1}, {"struct l1", "s", 6}, {"struct l1", kSize, 8},
        {"struct l2", "i", 2}, {"struct l2", kSize, 6},
        {"struct l5", "v", 2}, {"struct l5", kSize, 6},
        {"struct l36", "s", 5}, {"struct l36", kSize, 7},
        {"struct l37", "d", 4},  // a zero-width field aligns even when packed
        {"struct l37", kSize, 5},
        {"struct l43", "b", 8}, {"struct l43", "e", 9}, {"struct l43", kSize, 16},
        {"struct e", "j", 8}, {"struct e", kSize, 12},
    });
    EXPECT_EQ(record("struct l1").align, 2);
    EXPECT_EQ(align_of(type("ai2")), 2);
}

// #pragma pack through the text form of preprocessing (the way script
// declarations go), kept from one text to the next; forms the compiler
// ignores change nothing. Expected layouts are the system C compiler's.
TEST_F(NativeDeclarations, PackPragmasThroughPreprocessedText) {
    EXPECT_EQ(declare("#pragma pack(push, 1)\nstruct p1 { char c; int i; };\n"), "");
    EXPECT_EQ(declare("struct p2 { char c; int i; };\n#pragma pack(pop)\nstruct p3 { char c; int i; };\n"), "");
    expect_layout({{"struct p1", kSize, 5}, {"struct p2", kSize, 5}, {"struct p3", kSize, 8}});
    EXPECT_EQ(declare("#pragma pack(2)\n#pragma pack(3)\n#pragma pack(pop)\n#pragma pack(show)\n#pragma pack 1\n"
                      "struct p4 { char c; int i; };\n#pragma pack(pop, nowhere)\nstruct p5 { char c; int i; };\n"
                      "#pragma pack()\nstruct p6 { char c; int i; };\n"),
              "");
    expect_layout({{"struct p4", "i", 2}, {"struct p5", "i", 2}, {"struct p6", "i", 4}});
    EXPECT_EQ(declare("#define LIMIT 1\n#pragma pack(LIMIT)\nstruct p7 { char c; int i; };\n"), "");
    EXPECT_EQ(offset("struct p7", "i"), 4);  // the arguments are not macro-expanded
}

// The forms the compiler takes otherwise than a plain reading would: an
// invalid limit or a second name or limit leaves the pragma out (no entry
// pushed), "pop" takes no limit, a name never pushed still pops one entry,
// limits are integer constants of any notation.
TEST_F(NativeDeclarations, PackPragmaFormsReadAsTheCompilerReadsThem) {
    EXPECT_EQ(declare("#pragma pack(push, 4)\n#pragma pack(push, 3)\n#pragma pack(push, 2, 8)\n"
                      "#pragma pack(push, a, b)\n#pragma pack(pop)\nstruct q1 { char c; double d; };\n"
                      "#pragma pack(push, 4)\n#pragma pack(pop, 1)\nstruct q2 { char c; double d; };\n"
                      "#pragma pack(2, 4)\n#pragma pack(pop, a, b)\nstruct q3 { char c; double d; };\n"),
              "");
    expect_layout({{"struct q1", "d", 8}, {"struct q2", "d", 4}, {"struct q3", "d", 4}});
    EXPECT_EQ(declare("#pragma pack()\n#pragma pack(push, 1, mark)\n#pragma pack(push, 2)\n#pragma pack(pop, other)\n"
                      "struct q4 { char c; double d; };\n#pragma pack(pop)\nstruct q5 { char c; double d; };\n"
                      "#pragma pack(0x2)\nstruct q6 { char c; double d; };\n#pragma pack(1u) trailing\n"
                      "struct q7 { char c; double d; };\n#pragma pack()\n"),
              "");
    expect_layout({{"struct q4", "d", 1}, {"struct q5", "d", 8}, {"struct q6", "d", 2}, {"struct q7", "d", 1}});
}

TEST_F(NativeDeclarations, WhatSystemHeadersUse) {
    EXPECT_EQ(declare("__extension__ typedef long long int __quad_t;\n"
                      "extern \"C\" {\n"
                      "extern int printf (const char *__restrict __format, ...) __attribute__ ((__nonnull__ (1)));\n"
                      "extern int fseeko (void *__stream, long __off, int __whence) __asm__ (\"\" \"fseeko64\");\n"
                      "}\n"
                      "typedef __builtin_va_list va_list;\n"
                      "typedef int int8 __attribute__ ((__mode__ (__QI__)));\n"
                      "typedef __typeof__(sizeof 0) size_t;\n"
                      "_Static_assert(sizeof(size_t) == 8, \"LP64\");\n"
                      "static __inline int max(int a, int b) { if (a > b) { return a; } return b; }\n"
                      "_Noreturn void die(void);\n"
                      "typedef struct { _Alignas(16) char c; _Atomic int n; _Atomic(long) m; } atomics;\n"
                      "extern _Complex double zc; extern _Bool flag; extern unsigned __int128 wide;\n"
                      "void vla(int n, int a[n][n + 1]);\n"
                      "int old(a, b) int a; char *b; { return a; }\n"
                      "int unknown_params();\n"
                      "void (*signal (int sig, void (*handler) (int))) (int);\n"
                      "typedef int Number;\n"
                      "struct rec { Number Number; int (*cb)(struct rec *); };\n"
                      "Number Number[10];\n"),
              "");
    EXPECT_EQ(type_text(type("__quad_t")), "__quad_t");
    EXPECT_EQ(type_text(resolve(type("__quad_t"))), "long long");
    EXPECT_EQ(size_of(type("int8")), 1);
    EXPECT_EQ(type_text(resolve(type("size_t"))), "unsigned long");
    EXPECT_EQ(size_of(type("atomics")), 16);
    EXPECT_TRUE(native_variable(*analyser, "max", ""));
    const std::pair<const char*, const char*> variables[] = {
        {"fseeko", "int (void *, long, int)"},
        {"signal", "void (*(int, void (*)(int)))(int)"},
        {"vla", "void (int, int (*)[])"},
        {"old", "int (int, int)"},
        {"Number", "Number [10]"},  // the name is now the variable...
        {"zc", "_Complex double"},
    };
    for (const auto& [name, text] : variables) EXPECT_EQ(variable_type(name), text) << name;
    // ...the typedef still answers as a type.
    EXPECT_EQ(type_text(resolve(type("Number"))), "int");
    EXPECT_EQ(record("struct rec").fields[0].name, string_pool().intern("Number"));
}

TEST_F(NativeDeclarations, EnumerationsAndConstantExpressions) {
    EXPECT_EQ(declare("enum color { RED, GREEN = 5, BLUE, MASK = (1 << 4) | BLUE, NEG = -2, SZ = sizeof(long[3]) };\n"
                      "enum big { HUGE = 0x100000000 };\n"
                      "char buffer[(int)sizeof(struct { int a; char b; }) * 2 + (RED ? 1 : 3)];\n"
                      "int table[__builtin_offsetof(struct { char c; double d[4]; }, d[2])];\n"),
              "");
    const Record& color = record("enum color");
    ASSERT_EQ(color.enumerators.size(), 6u);
    EXPECT_EQ(color.enumerators[2].value, 6);
    EXPECT_EQ(color.enumerators[3].value, 22);
    EXPECT_EQ(color.enumerators[4].value, -2);
    EXPECT_EQ(color.enumerators[5].value, 24);
    EXPECT_EQ(size_of(type("enum color")), 4);
    EXPECT_EQ(size_of(type("enum big")), 8);
    expect_counts({{"buffer", 19}, {"table", 24}});
}

// An enumerator that int cannot hold has the enumeration's type once it is
// complete (unsigned int, long, unsigned long) and keeps its whole value.
TEST_F(NativeDeclarations, EnumeratorsBeyondInt) {
    EXPECT_EQ(declare("enum big { HUGE1 = 0x100000000LL, HUGE2, HUGE3 = HUGE1 * 2 };\n"
                      "enum ubig { UB = 0xffffffffu, UB2 = UB + 1 };\n"
                      "enum neg { N1 = -1, N2 = 0x80000000 };\n"
                      "enum flags { F_A = 1u << 31, F_B = F_A >> 4 };\n"
                      "char by_huge[HUGE3 >> 31];\nchar by_flag[F_B >> 25];\n"),
              "");
    expect_resolved_types(
        {{"HUGE2", "unsigned long"}, {"UB", "unsigned int"}, {"N2", "long"}, {"N1", "int"}, {"F_B", "int"}});
    expect_counts({{"by_huge", 4}, {"by_flag", 4}});
    EXPECT_EQ(record("enum ubig").enumerators[1].value, 0);  // unsigned int arithmetic inside the body
}

// Tables defined in headers: the initializer gives the size the brackets leave out.
TEST_F(NativeDeclarations, ArraySizesFromInitializers) {
    EXPECT_EQ(declare("const char text[] = \"ab\\n\" \"c\\x41\";\n"
                      "const int wide[] = L\"abc\";\n"
                      "static const unsigned char table[] = { 1, 2, (3, 4), { 5 }, };\n"
                      "const char *names[] = { \"a\", \"bb\", 0 }, other[] = \"xy\";\n"
                      "int pairs[][2] = { {1, 2}, {3, 4}, {5, 6} };\n"
                      "const int designated[] = { [4] = 1, 2 };\n"
                      "const char braced[] = { \"xyz\" };\n"
                      "enum { K = 3 };\n"
                      "int back[] = { 1, [K + 2] = 2, 3, [1] = 4 }, range[] = { [2 ... 6] = 1 }, deep[][2] = { [3][1] = 1 };\n"
                      "struct pt { int x, y; } points[] = { [2].y = 1, { 3, 4 } };\n"
                      "const char mixed[] = { \"ab\" \"c\", };\n"),
              "");
    expect_counts({{"text", 6}, {"wide", 4}, {"table", 4}, {"names", 3}, {"other", 3}, {"pairs", 3}, {"braced", 4},
                   {"mixed", 4}});
    EXPECT_EQ(size_of(native_variable(*analyser, "pairs", "")->type), 24);
    // Designators set the index of the elements that follow (as the C compiler counts).
    expect_counts({{"designated", 6}, {"back", 7}, {"range", 7}, {"deep", 4}, {"points", 4}});
    // A designator that is no constant is reported once and costs no other
    // declaration; one at the largest index, or an array too large to have a
    // size, leaves the size unknown instead of wrapping round.
    EXPECT_EQ(declare("int bad[] = { [nowhere] = 1 };\nint after_bad;\n"
                      "int last[] = { [0x7fffffffffffffff] = 1 }, huge[0x4000000000000000];\n"),
              "Zolmex-E-CUNDECLID,  [h.h:1] Undeclared identifier nowhere\n");
    EXPECT_NE(native_variable(*analyser, "after_bad", ""), nullptr);
    expect_counts({{"bad", -1}, {"last", -1}});
    EXPECT_EQ(size_of(native_variable(*analyser, "huge", "")->type), -1);
}

// Values at the edge of the 64-bit range: an enumerator after the largest
// value and an alignment the compiler refuses are reported; an element after
// the largest index and a structure too large for a size in bits leave the
// size unknown. None of them may wrap round.
TEST_F(NativeDeclarations, ValuesAtTheEdgeOfTheRange) {
    EXPECT_EQ(declare("enum last { L1 = 0x7fffffffffffffff, L2 };\n"
                      "struct __attribute__((aligned(3))) odd { int x; };\n"
                      "typedef int wide __attribute__((aligned(1 << 29)));\n"
                      "struct al { _Alignas(0x4000000000000000) char c; };\n"),
              "Zolmex-E-CSYNTAXER,  [h.h:1] C syntax error: overflow in enumeration values\n"
              "Zolmex-E-CSYNTAXER,  [h.h:2] C syntax error: alignment 3 is not a power of 2 up to 268435456\n"
              "Zolmex-E-CSYNTAXER,  [h.h:3] C syntax error: alignment 536870912 is not a power of 2 up to 268435456\n"
              "Zolmex-E-CSYNTAXER,  [h.h:4] C syntax error: alignment 4611686018427387904 is not a power of 2 up to "
              "268435456\n");
    expect_layout({{"struct odd", kSize, 4}, {"struct al", kSize, 1}});
    EXPECT_EQ(align_of(type("wide")), 4);
    EXPECT_EQ(declare("int near_last[] = { [0x7ffffffffffffffe] = 1, 2, 3 };\n"
                      "typedef char big[0x4000000000000000];\nstruct two_big { big a; big b; char c; };\n"
                      "typedef char large[1LL << 50];\nunion large_u { large a; int b; };\n"),
              "");
    expect_counts({{"near_last", -1}});
    expect_layout({{"struct two_big", kSize, -1}, {"union large_u", kSize, 1LL << 50}});
    // An unsigned value above the largest long long makes the enumeration unsigned long;
    // the one after the largest unsigned value overflows (as the C compiler says).
    EXPECT_EQ(declare("enum mask { M_ALL = 0xffffffffffffffff, M_NONE = 0 };\nenum top { T1 = 0x8000000000000000u, T2 };\n"
                      "enum over { O1 = 0xffffffffffffffff, O2 };\n"),
              "Zolmex-E-CSYNTAXER,  [h.h:3] C syntax error: overflow in enumeration values\n");
    EXPECT_EQ(size_of(type("enum mask")), 8);
    expect_resolved_types({{"M_ALL", "unsigned long"}, {"M_NONE", "int"}});
    EXPECT_EQ(static_cast<unsigned long long>(record("enum top").enumerators[1].value), 0x8000000000000001ull);
    EXPECT_EQ(declare("char by_top[T2 > 0 && M_ALL > 0 ? 2 : 1];\n"), "");  // compared as unsigned
    EXPECT_EQ(count("by_top"), 2);
    // Bit-field widths beyond their type, negative, or zero with a name.
    EXPECT_EQ(declare("struct w1 { int x : 33; };\nstruct w2 { char c : 9; };\nstruct w3 { int n : -1; };\n"
                      "struct w4 { int z : 0; };\nstruct w5 { _Bool f : 2; };\n"
                      "struct fine { int : 0; _Bool g : 1; long long h : 64; char i : 8; enum { Q } j : 32; };\n"),
              "Zolmex-E-CBITWIDTH,  [h.h:1] Invalid width of bit-field x\n"
              "Zolmex-E-CBITWIDTH,  [h.h:2] Invalid width of bit-field c\n"
              "Zolmex-E-CBITWIDTH,  [h.h:3] Invalid width of bit-field n\n"
              "Zolmex-E-CBITWIDTH,  [h.h:4] Invalid width of bit-field z\n"
              "Zolmex-E-CBITWIDTH,  [h.h:5] Invalid width of bit-field f\n");
    EXPECT_EQ(size_of(type("struct fine")), 24);
}

TEST_F(NativeDeclarations, ScopesByName) {
    declare("int shared;\ntypedef short word;\n");
    declare("word local;\nstruct only_here { int a; };\n", "SCN1");
    EXPECT_TRUE(native_variable(*analyser, "shared", "SCN1"));
    EXPECT_TRUE(native_variable(*analyser, "local", "SCN1"));
    EXPECT_FALSE(native_variable(*analyser, "local", ""));
    EXPECT_FALSE(native_variable(*analyser, "local", "SCN2"));
    EXPECT_TRUE(type("struct only_here", "SCN1"));
    EXPECT_FALSE(type("struct only_here", "SCN2"));
    // The same name in two scopes: each scope sees its own.
    declare("char local;\n", "SCN2");
    EXPECT_EQ(type_class(native_variable(*analyser, "local", "SCN2")->type), kCharacter);
    EXPECT_EQ(type_class(native_variable(*analyser, "local", "SCN1")->type), kOtherIntegral);
    analyser->close_scope("SCN1");
    EXPECT_FALSE(native_variable(*analyser, "local", "SCN1"));
    EXPECT_TRUE(native_variable(*analyser, "shared", "SCN1"));
    // The file of each declaration is kept.
    EXPECT_STREQ(native_variable(*analyser, "shared", "")->file, "h.h");
}

TEST_F(NativeDeclarations, ErrorsNameTheFileLineAndWhatWasExpected) {
    EXPECT_EQ(declare("struct s {\n  int a;\n  unknown_t b;\n};\n"
                      "int f(mystery m);\n"
                      "struct t { int x; }\nint y;\n"
                      "int arr[LIMIT];\n"
                      "int dup; char dup;\n"
                      "struct s { int again; };\n"
                      "enum e { A, B = A / 0 + , C };\n"
                      "_Static_assert(1 == 2, \"one is not two\");\n"
                      "typedef int T; typedef long T;\n"
                      "int z = 3\n"),
              "Zolmex-E-CUNKNTYPE,  [h.h:3] Unknown type name unknown_t\n"
              "Zolmex-E-CUNKNTYPE,  [h.h:5] Unknown type name mystery\n"
              "Zolmex-E-CSYNTAXER,  [h.h:7] C syntax error: expected ';' or a declarator before 'int'\n"
              "Zolmex-E-CUNDECLID,  [h.h:8] Undeclared identifier LIMIT\n"
              "Zolmex-E-CCONFDECL,  [h.h:9] Conflicting declaration of dup\n"
              "Zolmex-E-CREDEFTAG,  [h.h:10] Redefinition of struct s\n"
              "Zolmex-E-CSYNTAXER,  [h.h:11] C syntax error: expected an expression before ','\n"
              "Zolmex-E-CSTATASRT,  [h.h:12] Static assertion failed: \"one is not two\"\n"
              "Zolmex-E-CCONFDECL,  [h.h:13] Conflicting declaration of T\n"
              "Zolmex-E-CSYNTAXER,  [h.h:14] C syntax error: expected ';' after a declaration at end of input\n");
    // Declarations after an error are still read.
    EXPECT_TRUE(native_variable(*analyser, "z", ""));
}

TEST_F(NativeDeclarations, MembersOfIncompleteTypeNegativeSizesAndCutBodies) {
    EXPECT_EQ(declare("struct self { int n; struct self inner; };\n"
                      "struct later;\nstruct holder { struct later items[2]; };\n"
                      "struct empty { void nothing; };\n"
                      "struct flexible { int n; char data[]; };\n"
                      "int negative[2 - 3];\n"
                      "int f(int n, int a[n]);\n"),
              "Zolmex-E-CINCOMPLT,  [h.h:1] Incomplete type of member inner\n"
              "Zolmex-E-CINCOMPLT,  [h.h:3] Incomplete type of member items\n"
              "Zolmex-E-CINCOMPLT,  [h.h:4] Incomplete type of member nothing\n"
              "Zolmex-E-CNEGASIZE,  [h.h:6] Array size is negative: -1\n");
    // A member or parameter named twice; the same name in another list is not.
    EXPECT_EQ(declare("struct twice { int a;\n  char b, a; };\nint p(int a,\n  long a);\n"
                      "int q(int (*cb)(int a, int b), int a);\nstruct other { int a; struct { int b; } in; int b : 3; };\n"),
              "Zolmex-E-CDUPLNAME,  [h.h:2] Duplicate name a\n"
              "Zolmex-E-CDUPLNAME,  [h.h:4] Duplicate name a\n");
    // The check stays linear: a generated register map with many members.
    std::string many = "struct many {\n";
    for (int i = 0; i < 100000; ++i) many += " int m" + std::to_string(i) + ";\n";
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(declare(many + " int m99999; };\n"), "Zolmex-E-CDUPLNAME,  [h.h:100002] Duplicate name m99999\n");
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(10));
    EXPECT_EQ(declare("static inline int g(int x) {\n  if (x) {\n    return 1;\n"),
              "Zolmex-E-CSYNTAXER,  [h.h:3] C syntax error: expected '}' to close the function body at end of input\n");
    EXPECT_EQ(declare("int h(a) int a; { return a;\n"),
              "Zolmex-E-CSYNTAXER,  [h.h:1] C syntax error: expected '}' to close the function body at end of input\n");
    // A token as long as its file is shown by its beginning only.
    const std::string message = declare("int x " + std::string(100000, 'y') + ";\n");
    EXPECT_EQ(message, "Zolmex-E-CSYNTAXER,  [h.h:1] C syntax error: expected ';' after a declaration before '" +
                           std::string(200 - std::string("expected ';' after a declaration before '").size(), 'y') + "...\n");
}

// sizeof of a type without a size is an error, as is _Alignof of such a type
// named; void and function types count as 1, and the alignment of an object
// is taken without its size.
TEST_F(NativeDeclarations, SizeofAndAlignofOfIncompleteTypes) {
    const auto fresh = [this] {
        analyser = native_setup(Restriction::None, {}, {});
        return declare("struct opaque; union hidden; enum later; extern int open_ended[]; extern struct opaque thing;\n"
                       "void fn(void); typedef struct opaque opaque_t; typedef int unsized_t[];\n");
    };
    const std::vector<std::pair<const char*, const char*>> rejected = {
        {"int a[sizeof(struct opaque)];", "sizeof of the incomplete type struct opaque"},
        {"enum { N = sizeof(struct undefined_tag) };", "sizeof of the incomplete type struct undefined_tag"},
        {"enum { N = sizeof(union hidden) };", "sizeof of the incomplete type union hidden"},
        {"enum { N = sizeof(enum later) };", "sizeof of the incomplete type enum later"},
        {"enum { N = sizeof(opaque_t) };", "sizeof of the incomplete type opaque_t"},
        {"enum { N = sizeof(int[]) };", "sizeof of the incomplete type int []"},
        {"enum { N = sizeof(unsized_t) };", "sizeof of the incomplete type unsized_t"},
        {"enum { N = sizeof open_ended };", "sizeof of the incomplete type int []"},
        {"enum { N = sizeof thing };", "sizeof of the incomplete type struct opaque"},
        {"enum { N = 0 ? sizeof(struct opaque) : 1 };", "sizeof of the incomplete type struct opaque"},
        {"enum { N = _Alignof(struct opaque) };", "_Alignof of the incomplete type struct opaque"},
        {"enum { N = __alignof__(int[]) };", "__alignof__ of the incomplete type int []"},
        {"enum self { A = sizeof(enum self) };", "sizeof of the incomplete type enum self"},
        {"struct inside { int a[sizeof(struct inside)]; };", "sizeof of the incomplete type struct inside"},
    };
    for (const auto& [text, operand] : rejected) {
        EXPECT_EQ(fresh(), "");
        EXPECT_EQ(declare(text), std::string("Zolmex-E-CBADOPERD,  [h.h:1] Invalid operand: ") + operand + "\n") << text;
    }
    EXPECT_EQ(fresh(), "");
    EXPECT_EQ(declare("_Static_assert(sizeof(void) == 1 && _Alignof(void) == 1, \"\");\n"
                      "_Static_assert(sizeof(int(void)) == 1 && _Alignof(int(void)) == 1 && sizeof fn == 1, \"\");\n"
                      "_Static_assert(sizeof(struct opaque *) == 8 && sizeof &thing == 8 && sizeof(opaque_t *) == 8, \"\");\n"
                      "enum { ALIGNED = _Alignof open_ended + _Alignof thing };\n"
                      "_Static_assert(_Alignof open_ended == 4 && sizeof((int[]){1, 2}) == 8, \"\");\n"
                      "_Static_assert(sizeof((char[]){\"abc\"}) == 4 && sizeof((const int[]){[5] = 1}) == 24, \"\");\n"),
              "");
}

TEST_F(NativeDeclarations, DeepNestingIsReportedNotFollowed) {
    const std::string deep(100000, '(');
    EXPECT_EQ(declare("int a[" + deep + "1];\n"), "Zolmex-E-CNESTDEPT,  [h.h:1] Nesting too deep in a C expression\n");
    EXPECT_EQ(declare("int " + deep + "x;\n"), "Zolmex-E-CNESTDEPT,  [h.h:1] Nesting too deep in a C declarator\n");
    std::string structs;
    for (int i = 0; i < 5000; ++i) structs += "struct { ";
    EXPECT_EQ(declare(structs + "int x;\n"), "Zolmex-E-CNESTDEPT,  [h.h:1] Nesting too deep in a C structure\n");
    EXPECT_EQ(declare("#if " + deep + "1\n#endif\n"), "Zolmex-W-EXPERRONE,  [h.h:1] Bad expression: Invalid token in expression\n");
    // Conditional and assignment operators nest on their right without parentheses.
    std::string questions, colons, assignments;
    for (int i = 0; i < 100000; ++i) questions += "1 ? ", colons += " : 0", assignments += "x = ";
    EXPECT_EQ(declare("int c[" + questions + "1" + colons + "];\n"),
              "Zolmex-E-CNESTDEPT,  [h.h:1] Nesting too deep in a C expression\n");
    EXPECT_EQ(declare("int x;\nint s[sizeof(" + assignments + "1)];\n"),
              "Zolmex-E-CNESTDEPT,  [h.h:2] Nesting too deep in a C expression\n");
    EXPECT_EQ(declare("#if " + questions + "1" + colons + "\n#endif\n#if 0 ? 0 : 0 ? 0 : 1\nint kept;\n#endif\n"),
              "Zolmex-W-EXPERRONE,  [h.h:1] Bad expression: Invalid token in expression\n");
    EXPECT_TRUE(native_variable(*analyser, "kept", ""));
}

// Typedefs of typedefs, a long chain of them: each resolves where the chain
// ends, keeps its own name in texts, and the qualifiers along the way count.
TEST_F(NativeDeclarations, LongTypedefChainsResolveToTheirEnd) {
    std::string chain = "typedef struct pair { int a; int b; } t0;\n";
    constexpr int kLinks = 30000;
    for (int i = 1; i <= kLinks; ++i)
        chain += "typedef " + std::string(i == kLinks / 2 ? "const " : "") + "t" + std::to_string(i - 1) + " t" +
                 std::to_string(i) + ";\n";
    chain += "t" + std::to_string(kLinks) + " v;\nt" + std::to_string(kLinks / 2 - 1) + " w;\n";
    EXPECT_EQ(declare(chain), "");
    EXPECT_EQ(variable_type("v"), "t" + std::to_string(kLinks));
    const Type* v = native_variable(*analyser, "v", "")->type;
    EXPECT_EQ(resolve(v), resolve(type("t0")));
    EXPECT_EQ(size_of(v), 8);
    EXPECT_EQ(qualifiers_of(v), kConst);
    EXPECT_EQ(qualifiers_of(native_variable(*analyser, "w", "")->type), 0);
}

TEST_F(NativeDeclarations, FloatNAreKeywordsOnlyForCompilersThatHaveThem) {
    EXPECT_EQ(declare("typedef float _Float32;\n_Float32 plain;\n"), "");
    EXPECT_EQ(variable_type("plain"), "_Float32");
    auto modern = native_setup(Restriction::None, {}, {"__GNUC__=12"});
    modern->set_position("h.h", 1, "");
    CapturedMessages capture;
    c_analyser(*modern).declare_tokens(c_analyser(*modern).preprocess_tokens("_Float128 q; _Complex _Float64 c;\n"));
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(type_text(native_variable(*modern, "q", "")->type), "_Float128");
    EXPECT_EQ(size_of(native_variable(*modern, "c", "")->type), 16);
}

TEST_F(NativeDeclarations, StopAnalyseLeavesDeclarationsOut) {
    EXPECT_EQ(declare("int seen;\n#pragma korva stop_analyse\nint unseen;\n#define STILL 1\n#pragma korva start_analyse\n"
                      "int after[STILL];\n"),
              "");
    EXPECT_TRUE(native_variable(*analyser, "seen", ""));
    EXPECT_FALSE(native_variable(*analyser, "unseen", ""));
    EXPECT_TRUE(native_variable(*analyser, "after", ""));
}

TEST_F(NativeDeclarations, MessagesOfDeclaredTextsNameTheHeaderTheyCameFrom) {
    testing_support::ScratchDir dir;
    const std::string header = dir.write("inc.h", "int fine;\nint broken(;\n");
    EXPECT_EQ(declare("int before;\n#include \"" + header + "\"\nint after_it junk;\n", "SCN"),
              "Zolmex-E-CSYNTAXER,  [" + header + ":2] C syntax error: expected a parameter declaration before ';'\n"
              "Zolmex-E-CSYNTAXER,  [h.h:3] C syntax error: expected ';' after a declaration before 'junk'\n");
    EXPECT_TRUE(native_variable(*analyser, "fine", "SCN"));
}

TEST_F(NativeDeclarations, TypeModifierPragma) {
    EXPECT_EQ(declare("#pragma korva type_modifier far\nint far *p; far int q;\n"), "");
    EXPECT_EQ(type_class(native_variable(*analyser, "p", "")->type), kPointer);
}

}  // namespace
}  // namespace zv::native
