// The interface preprocessor: macro expansion against reference results,
// include search, conditionals, pragmas and the exact lines of its messages.
#include "common/heap.h"
#include "native/preprocessor.h"
#include "native_test_support.h"

#include <sys/resource.h>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;
using testing_support::joined;
using testing_support::ScratchDir;
using testing_support::tokens_of;

class NativePreprocessor : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }

    // Preprocesses `text` as the file "t.h"; the messages land in `messages`.
    std::string run(const std::string& text, PreprocessorSettings settings = {}) {
        Preprocessor pp(std::move(settings));
        CapturedMessages capture;
        TokenList out;
        pp.run(text, "t.h", 1, out);
        messages = capture.text();
        return joined(out);
    }
    std::string messages;
};

// For the fatal cases, whose messages the death test itself collects.
void run_to_the_end(const std::string& text, PreprocessorSettings settings = {}) {
    Preprocessor pp(std::move(settings));
    TokenList out;
    pp.run(text, "t.h", 1, out);
}

// The macro examples of the C standard, with the results it gives.
TEST_F(NativePreprocessor, StandardMacroExamples) {
    const std::string defs =
        "#define x 3\n#define f(a) f(x * (a))\n#undef x\n#define x 2\n#define g f\n#define z z[0]\n"
        "#define h g(~\n#define m(a) a(w)\n#define w 0,1\n#define t(a) a\n#define p() int\n#define q(x) x\n"
        "#define r(x,y) x ## y\n#define str(x) # x\n";
    EXPECT_EQ(run(defs + "f(y+1) + f(f(z)) % t(t(g)(0) + t)(1);\n"),
              tokens_of("f(2 * (y+1)) + f(2 * (f(2 * (z[0])))) % f(2 * (0)) + t(1);"));
    EXPECT_EQ(run(defs + "g(x+(3,4)-w) | h 5) & m\n(f)^m(m);\n"),
              tokens_of("f(2 * (2+(3,4)-0,1)) | f(2 * (~ 5)) & f(2 * (0,1))^m(0,1);"));
    EXPECT_EQ(run(defs + "p() i[q()] = { q(1), r(2,3), r(4,), r(,5), r(,) };\nchar c[2][6] = { str(hello), str() };\n"),
              tokens_of("int i[] = { 1, 23, 4, 5, }; char c[2][6] = { \"hello\", \"\" };"));
    EXPECT_EQ(run("#define str(s) # s\n#define xstr(s) str(s)\n"
                  "#define debug(s, t) printf(\"x\" # s \"= %d, x\" # t \"= %s\", \\\n x ## s, x ## t)\n"
                  "#define INCFILE(n) vers ## n\n#define glue(a, b) a ## b\n#define xglue(a, b) glue(a, b)\n"
                  "#define HIGHLOW \"hello\"\n#define LOW LOW \", world\"\n"
                  "debug(1, 2);\nfputs(str(strncmp(\"abc\\0d\", \"abc\", '\\4') // this goes away\n == 0) str(: @\\n), s);\n"
                  "xstr(INCFILE(2).h)\nglue(HIGH, LOW);\nxglue(HIGH, LOW)\n"),
              tokens_of("printf(\"x\" \"1\" \"= %d, x\" \"2\" \"= %s\", x1, x2);"
                        "fputs(\"strncmp(\\\"abc\\\\0d\\\", \\\"abc\\\", '\\\\4') == 0\" \": @\\n\", s);"
                        "\"vers2.h\" \"hello\"; \"hello\" \", world\""));
    EXPECT_EQ(run("#define hash_hash # ## #\n#define mkstr(a) # a\n#define in_between(a) mkstr(a)\n"
                  "#define join(c, d) in_between(c hash_hash d)\nchar p[] = join(x, y);\n"),
              tokens_of("char p[] = \"x ## y\";"));
    EXPECT_EQ(run("#define t(x,y,z) x ## y ## z\nint j[] = { t(1,2,3), t(,4,5), t(6,,7), t(8,9,),\n"
                  " t(10,,), t(,11,), t(,,12), t(,,) };\n"),
              tokens_of("int j[] = { 123, 45, 67, 89, 10, 11, 12, };"));
    EXPECT_EQ(run("#define debug(...) fprintf(stderr, __VA_ARGS__)\n#define showlist(...) puts(#__VA_ARGS__)\n"
                  "#define report(test, ...) ((test)?puts(#test):\\\n printf(__VA_ARGS__))\n"
                  "debug(\"Flag\");\ndebug(\"X = %d\\n\", x);\nshowlist(The first, second, and third items.);\n"
                  "report(x>y, \"x is %d but y is %d\", x, y);\n"),
              tokens_of("fprintf(stderr, \"Flag\"); fprintf(stderr, \"X = %d\\n\", x);"
                        "puts(\"The first, second, and third items.\");"
                        "((x>y)?puts(\"x>y\"): printf(\"x is %d but y is %d\", x, y));"));
    EXPECT_EQ(messages, "");
}

// Cases where rescanning order matters; the expectations are what the system C
// compiler gives for them.
TEST_F(NativePreprocessor, RescanningHardCases) {
    EXPECT_EQ(run("#define BAR_I() BAR\n#define BAR() BAR_I\n#define EXPAND(x) x\n"
                  "EXPAND(BAR()()())\nEXPAND(EXPAND(BAR()()()))\n"),
              "BAR_I BAR_I");
    EXPECT_EQ(run("#define NIL(xxx) xxx\n#define G_0(arg) NIL(G_1)(arg)\n#define G_1(arg) NIL(arg)\nG_0(42)\n"), "42");
    EXPECT_EQ(run("#define fx(a) a*gx\n#define gx(a) fx(a)\nfx(2)(9)\n"), tokens_of("2*9*gx"));
    EXPECT_EQ(run("#define AA BB\n#define BB AA\nAA BB\n"), "AA BB");
    EXPECT_EQ(run("#define lparen (\n#define ff(x) [x]\nff lparen 1)\n#define fg ff\nfg(2) fg\n(3)\n"),
              tokens_of("ff ( 1) [2] [3]"));
}

TEST_F(NativePreprocessor, VariadicForms) {
    EXPECT_EQ(run("#define e1(fmt, args...) pr(fmt, ## args)\ne1(a) e1(a,b,c)\n"), tokens_of("pr(a) pr(a,b,c)"));
    EXPECT_EQ(run("#define e2(fmt, ...) pr(fmt, ##__VA_ARGS__)\ne2(a) e2(a,b)\n"), tokens_of("pr(a) pr(a,b)"));
    EXPECT_EQ(run("#define e3(a, ...) f(a __VA_OPT__(,) __VA_ARGS__)\ne3(1) e3(1,2)\n"), tokens_of("f(1) f(1, 2)"));
    EXPECT_EQ(run("#define cat(a,b) a ## b\ncat(x, 1) cat(, y) cat(1, .5e+3)\n"), tokens_of("x1 y 1.5e+3"));
}

TEST_F(NativePreprocessor, ConditionalsAndTheirWarnings) {
    EXPECT_EQ(run("#if 1\na\n#else\nb\n#else\nc\n#endif\n"), "a");
    EXPECT_EQ(messages,
              "Zolmex-W-ELIFAELSE,  [t.h:5]  #else after else\n"
              "Zolmex-I-MATCHLINE,  [t.h:5] Matches line  1\n");
    run("#endif\n#else\n#elif 1\n");
    EXPECT_EQ(messages,
              "Zolmex-W-UNBAENDIF,  [t.h:1] unbalanced endif \n"
              "Zolmex-W-NOCONDITI,  [t.h:2] #else directive not within conditional\n"
              "Zolmex-W-NOCONDITI,  [t.h:3] #elif directive not within conditional\n");
    EXPECT_EQ(run("#ifdef\n#endif\n#ifndef 3\n#endif\n#ifdef A B\n#endif\nok\n"), "ok");
    EXPECT_EQ(messages,
              "Zolmex-W-NOARGUMEN,  [t.h:1] #ifdef with no argument\n"
              "Zolmex-W-ARGPUNCTU,  [t.h:3] #ifndef argument starts with punctuation\n"
              "Zolmex-W-INVALIEND,  [t.h:5] Bad end of line after #ifdef argument\n");
    PreprocessorSettings knr;
    knr.knr = true;
    run("#ifdef A B\n#endif\n", knr);
    EXPECT_EQ(messages, "");
    EXPECT_EQ(run("#if 1\n#ifdef X\nx\n"), "");
    EXPECT_EQ(messages,
              "Zolmex-W-UNTERCOND,  [t.h:2] unterminated #ifdef conditional\n"
              "Zolmex-W-UNTERCOND,  [t.h:1] unterminated #if conditional\n");
    EXPECT_EQ(run("#if 0\n#elif 0\na\n#elif 2 > 1\nb\n#elif 1\nc\n#else\nd\n#endif\n"), "b");
}

// Directive lines of a skipped group: nested conditionals are counted, their
// #else and #elif ignored, and comments may carry a line on.
TEST_F(NativePreprocessor, SkippedGroupsCountTheirNesting) {
    EXPECT_EQ(run("#if 0\n#if 1\n#else\n#elif 1\n#endif\n#ifdef X\n#endif\n#ifndef Y\n#else\n#endif\nhidden\n"
                  "#elif 1\nshown\n#endif\n"),
              "shown");
    EXPECT_EQ(run("#if 0\n#define X /* start\n#endif */ 1\n#endif\nok\n"), "ok");
    EXPECT_EQ(run("#if 0\n# /* c */ endif\nafter\n"), "after");
    EXPECT_EQ(run("#ifdef NOPE\nx\n#endif junk\ny\n#ifndef NOPE\n#else\n#  if 1\n#  endif\nz\n#endif\nw\n"), "y w");
    EXPECT_EQ(messages, "");
    run("#if 0\n#if 1\n#endif\n#endif\n#endif\n");
    EXPECT_EQ(messages, "Zolmex-W-UNBAENDIF,  [t.h:5] unbalanced endif \n");
    run("#if 0\n#define X /* never closed\n");
    EXPECT_EQ(messages,
              "Zolmex-W-UNTERCOMM,  [t.h:2] unterminated comment \n"
              "Zolmex-W-UNTERCOND,  [t.h:1] unterminated #if conditional\n");
}

// Macros are defined, undefined and defined again many times over.
TEST_F(NativePreprocessor, ManyMacrosDefinedAndUndefined) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "#define m" + std::to_string(i) + " " + std::to_string(i) + "\n";
    for (int i = 0; i < 3000; i += 3) text += "#undef m" + std::to_string(i) + "\n";
    text += "#define m0 zero\n#define f(a, b) b a\n#undef f\n#define f(a) <a>\n";
    EXPECT_EQ(run(text + "m0 m1 m3 m2997 m2998 f(m1)\n"), tokens_of("zero 1 m3 m2997 2998 <1>"));
    EXPECT_EQ(messages, "");
}

// An argument is expanded once, whatever the number of its uses.
TEST_F(NativePreprocessor, ArgumentsExpandedOnce) {
    const std::string defs = "#define twice(x) x x\n#define id(x) x\n#define two 2\n";
    EXPECT_EQ(run(defs + "id(1 + two) id(one) twice(id(two)) twice(__COUNTER__)\n"), tokens_of("1 + 2 one 2 2 0 0"));
    EXPECT_EQ(run(defs + "twice(_Pragma(\"korva bogus\") a)\n"), "a a");
    EXPECT_EQ(messages, "Zolmex-W-PRAGMAINC,  [t.h:4] UnknownUnit Testing pragma: bogus \n");
}

TEST_F(NativePreprocessor, MatchLineNamesTheFileWhenItChanged) {
    run("#if 0\n#else\n#line 20 \"other.h\"\n#else\n#endif\n");
    EXPECT_EQ(messages,
              "Zolmex-W-ELIFAELSE,  [other.h:20]  #else after else\n"
              "Zolmex-I-MATCHLINE,  [other.h:20] Matches line  1 file t.h\n");
}

TEST_F(NativePreprocessor, FeatureQueries) {
    EXPECT_EQ(run("#if __has_attribute(__packed__) && __has_attribute(aligned) && !__has_attribute(no_such)\na\n#endif\n"
                  "#if __has_builtin(__builtin_offsetof) && __has_builtin(__builtin_expect) && !__has_builtin(__builtin_tgmath)\nb\n#endif\n"
                  "#if defined __has_include && defined(__has_builtin)\nc\n#endif\n"
                  "#define ATTR(x) __has_attribute(x)\n#if ATTR(nonnull)\nd\n#endif\n"),
              "a b c d");
    EXPECT_EQ(messages, "");
}

TEST_F(NativePreprocessor, IfExpressions) {
    EXPECT_EQ(run("#define A 2\n#if defined A && defined(A) && !defined B && A * 3 == 6 && (-1 < 0u) == 0\nyes\n#endif\n"), "yes");
    EXPECT_EQ(run("#if 0 && (1 / 0)\n#else\nshort\n#endif\n"), "short");
    EXPECT_EQ(messages, "");
    EXPECT_EQ(run("#if 'a' == 97 && '\\377' < 0 && 0x10 == 16 && 010 == 8 && 0b11 == 3 && UNKNOWN == 0\nok\n#endif\n"), "ok");
    run("#if 1 / 0\n#endif\n#if\n#endif\n#if 1 2\n#endif\n#if 1.0\n#endif\n#if 09\n#endif\n#if \"s\"\n#endif\n"
        "#if ''\n#endif\n#if {\n#endif\n#elif\n");
    EXPECT_EQ(messages,
              "Zolmex-W-DIVISZERO,  [t.h:1] Division by zero in #if\n"
              "Zolmex-W-EMPTYEXPR,  [t.h:3] Empty #if expression\n"
              "Zolmex-W-ERRAFTEND,  [t.h:5] Error after end of expression: 2\n"
              "Zolmex-W-EXPERRONE,  [t.h:7] Bad expression: floating point numbers not allowed in #if expressions\n"
              "Zolmex-W-EXPERRONE,  [t.h:9] Bad expression: Invalid number in #if expression\n"
              "Zolmex-W-EXPERRONE,  [t.h:11] Bad expression: double quoted strings not allowed in #if expressions\n"
              "Zolmex-W-EXPERRONE,  [t.h:13] Bad expression: Invalid character constant in #if\n"
              "Zolmex-W-EXPERRONE,  [t.h:15] Bad expression: Invalid token in expression\n"
              "Zolmex-W-NOCONDITI,  [t.h:17] #elif directive not within conditional\n");
}

TEST_F(NativePreprocessor, DefineUndefAndTheirWarnings) {
    run("#define 3x\n#define defined\n#define f(a b\n#define g(a,\n#define h(1)\n#define s(a) #b\n"
        "#define v(...) __VA_ARGS__\n#define r 1\n#define r 1\n#define r 2\n#undef defined\n#undef __LINE__\n"
        "#undef __STDC__\n#undef never_defined\n");
    EXPECT_EQ(messages,
              "Zolmex-W-INVAMACRO,  [t.h:1] invalid macro name 3x\n"
              "Zolmex-W-INVDEFINE,  [t.h:2] Impossible defining `defined' as a macro \n"
              "Zolmex-W-BADPARDEF,  [t.h:3] Bad parameter list in `#define' directive: f\n"
              "Zolmex-W-UNTPARDEF,  [t.h:4] Unterminated parameter list in `#define' directive: g\n"
              "Zolmex-W-PARASTART,  [t.h:5] Parameter name n `#define' starts with a digit: h\n"
              "Zolmex-W-OPERMACRO,  [t.h:6] `#' operator should be followed by a macro argument name: s\n"
              "Zolmex-W-IDENREDEF,  [t.h:10] Warning: r redefined\n"
              "Zolmex-W-UNDEFININ,  [t.h:11] Undefining defined\n"
              "Zolmex-W-UNDEFININ,  [t.h:12] Undefining __LINE__\n");
    EXPECT_EQ(run("#undef __LINE__\n__LINE__ __STDC__\n#undef __STDC__\n__STDC__\n"), "__LINE__ 1 __STDC__");
    // The warning goes by the name, also once the built-in macro is gone.
    run("#undef __TIME__\n#undef __TIME__\n");
    EXPECT_EQ(messages,
              "Zolmex-W-UNDEFININ,  [t.h:1] Undefining __TIME__\n"
              "Zolmex-W-UNDEFININ,  [t.h:2] Undefining __TIME__\n");
}

TEST_F(NativePreprocessor, MacroCallWarnings) {
    EXPECT_EQ(run("#define two(a, b) a+b\n#define none() z\ntwo(1) two() none(x)\n"), tokens_of("1+ + z"));
    EXPECT_EQ(messages,
              "Zolmex-W-NBARGMACR,  [t.h:3] Bad number of arg(s) to macro two\n"
              "Zolmex-W-NOARTOMAC,  [t.h:3] No argument passed to macro two\n"
              "Zolmex-W-ARGTOMACR,  [t.h:3] Unexpected argument for macro none\n");
    EXPECT_EQ(run("#define one(a) [a]\none(1\n"), "");
    EXPECT_EQ(messages, "Zolmex-W-ERRINLINE,  [t.h:2] Error in line: unterminated macro call\n");
}

TEST_F(NativePreprocessor, TooManyArgumentsIsFatal) {
    EXPECT_EXIT(run_to_the_end("#define one(a) a\none(1, 2)\n"), ::testing::ExitedWithCode(7),
                "Zolmex-F-TOMANYARG,  \\[t.h:2\\] Too many args to macro one");
}

TEST_F(NativePreprocessor, ErrorAndWarningDirectivesGoOn) {
    EXPECT_EQ(run("a\n#error stop here\n#warning and here\nb\n"), "a b");
    EXPECT_EQ(messages, "Zolmex-W-WARNERR,  \nZolmex-W-WARNERR,  \n");
}

TEST_F(NativePreprocessor, UnterminatedLiteralsAndComments) {
    run("char c = 'x;\n#if 0\n'skipped\n#endif\nint a; /* open");
    EXPECT_EQ(messages,
              "Zolmex-W-UNTERSTRI,  [t.h:1] A string or character constant unterminated \n"
              "Zolmex-W-UNTERCOMM,  [t.h:5] unterminated comment \n");
    // Skipped groups are passed over with their comments and quotes.
    EXPECT_EQ(run("#if 0\n\"/*\" '#endif\n/* #endif\n*/\n#else\nkept\n#endif\n"), "kept");
    // A comment opening a line does not hide the directive after it.
    EXPECT_EQ(run("#if 0\n/* c\n*/ #else\nkept\n#endif\n"), "kept");
    EXPECT_EQ(messages, "");
}

TEST_F(NativePreprocessor, BuiltInMacros) {
    EXPECT_EQ(run("__LINE__\n__FILE__ __BASE_FILE__ __INCLUDE_LEVEL__ KVR_LINUX USE_KVS KVR_CPLUSPLUS_LANGUAGE __STDC__\n"),
              "1 \"t.h\" \"t.h\" 0 1 1 0 1");
    PreprocessorSettings knr;
    knr.knr = true;
    EXPECT_EQ(run("#ifdef __STDC__\nstandard\n#else\nkr\n#endif\n", knr), "kr");
}

// Each file read through a nameless include line is the base file of what it
// includes; a text with a name is its own.
TEST_F(NativePreprocessor, BaseFileOfEachText) {
    ScratchDir dir;
    const std::string first = dir.write("first.h", "__BASE_FILE__\n#include \"inner.h\"\n");
    dir.write("inner.h", "__BASE_FILE__ __FILE__\n");
    const std::string second = dir.write("second.h", "__BASE_FILE__\n");
    Preprocessor pp(PreprocessorSettings{});
    TokenList out;
    pp.run("#include \"" + first + "\"\n", "", 0, out);
    pp.run("#include \"" + second + "\"\n", "", 0, out);
    pp.run("__BASE_FILE__\n", "script.zod", 3, out);
    EXPECT_EQ(joined(out), "\"" + first + "\" \"" + first + "\" \"" + dir.path() + "/inner.h\" \"" + second +
                               "\" \"script.zod\"");
}

TEST_F(NativePreprocessor, DefineItems) {
    Preprocessor pp(PreprocessorSettings{});
    CapturedMessages capture;
    pp.define_item("DEBUG");
    pp.define_item("LEVEL=3");
    pp.define_item("TEXT=a\\\nb");
    pp.define_item("A+B");
    pp.define_item("=1");
    TokenList out;
    pp.run("DEBUG LEVEL TEXT A\n", "t.h", 1, out);
    EXPECT_EQ(joined(out), "1 3 ab A");
    EXPECT_EQ(capture.text(), "Zolmex-W-MALFOROPT,   Malformed option -DA+B\nZolmex-W-MALFOROPT,   Malformed option -D=1\n");
}

TEST_F(NativePreprocessor, KorvaPragmas) {
    EXPECT_EQ(run("#pragma korva incl_std\n#pragma korva unknown_word x\n#pragma other stuff\n"
                  "a\n#pragma korva stop_analyse\nhidden\n#pragma korva start_analyze\nb\n"),
              "a b");
    EXPECT_EQ(messages,
              "Zolmex-W-SYNTAXERR,  [t.h:1] Syntax error: empty pragma korva incl_std\n"
              "Zolmex-W-PRAGMAINC,  [t.h:2] UnknownUnit Testing pragma: unknown_word \n");
    run("#pragma korva pragma \"mine\" \"korva bogus\"\n#pragma mine\n");
    EXPECT_EQ(messages, "Zolmex-W-PRAGMAINC,  [t.h:2] UnknownUnit Testing pragma: bogus \n");
    // The operator form acts like the directive and leaves no token.
    EXPECT_EQ(run("#define P(x) _Pragma(#x) after\nP(korva other)\n_Pragma(\"once\") end\n"), "after end");
    EXPECT_EQ(messages, "Zolmex-W-PRAGMAINC,  [t.h:2] UnknownUnit Testing pragma: other \n");

    ScratchDir dir;
    dir.write("extra/found.h", "found_it\n");
    EXPECT_EQ(run("#if !__has_include(<found.h>)\nnot_yet\n#endif\n"
                  "#pragma korva incl_std \"" + dir.path() + "/nothing\", \"" + dir.path() + "/extra\"\n#include <found.h>\n"),
              "not_yet found_it");
}

// The parenthesis, string and closing parenthesis of _Pragma are each read
// macro-expanded, as the compiler reads them (its -E output for each case):
// the string may come from a macro, in the middle of a line or in another
// macro's body. Anything else there is an error.
TEST_F(NativePreprocessor, PragmaOperatorOperandsFromMacros) {
    const std::string defs = "#define STR(x) #x\n#define DO_PRAGMA(x) _Pragma(STR(x))\n"
                             "#define IGNORE_WARN DO_PRAGMA(GCC diagnostic ignored \"-Wfoo\")\n"
                             "#define PK(n) DO_PRAGMA(pack(n))\n#define S \"korva bogus\"\n#define LP (\n"
                             "#define E\n#define N 3\n#define CLOSED \"korva bogus\")\n";
    const std::string bogus = "Zolmex-W-PRAGMAINC,  [t.h:10] UnknownUnit Testing pragma: bogus \n";
    const std::string malformed = "Zolmex-W-SYNTAXERR,  [t.h:10] Syntax error: _Pragma takes a parenthesized string literal\n";
    const struct {
        const char* text;
        const char* tokens;
        std::string messages;
    } cases[] = {
        {"DO_PRAGMA(GCC diagnostic push) int a;", "int a ;", ""},
        {"IGNORE_WARN int x;", "int x ;", ""},
        {"int a; DO_PRAGMA(korva bogus) int b;", "int a ; int b ;", bogus},
        {"PK(1) struct s { char c; };", "pack(1) struct s { char c ; } ;", ""},
        {"_Pragma(S) int c;", "int c ;", bogus},
        {"_Pragma LP \"korva bogus\") int d;", "int d ;", bogus},
        {"_Pragma(E \"korva bogus\" E) int e;", "int e ;", bogus},
        {"_Pragma(CLOSED int f;", "int f ;", bogus},
        {"_Pragma(L\"pack(2)\") int g;", "pack(2) int g ;", ""},
        {"_Pragma(1) int h;", ") int h ;", malformed},
        {"_Pragma(N) int h;", ") int h ;", malformed},
        {"_Pragma(\"a\" \"b\") int h;", ") int h ;", malformed},
        {"_Pragma() int h;", "int h ;", malformed},
        {"_Pragma int h;", "h ;", malformed},
        {"_Pragma(_Pragma(\"korva bogus\")) int h;", "( \"korva bogus\" ) ) int h ;", malformed},
        {"int h; _Pragma", "int h ;", malformed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(defs + c.text + "\n"), c.tokens) << c.text;
        EXPECT_EQ(messages, c.messages) << c.text;
    }
}

TEST_F(NativePreprocessor, IncludeSearchAndIncludeNext) {
    ScratchDir dir;
    // The header lies only in the second directory; its include_next of the
    // same name skips the directories up to and including the second.
    dir.write("one/other.h", "one_other\n");
    dir.write("two/h.h", "two_h\n#include_next <h.h>\n");
    dir.write("three/h.h", "three_h\n");
    dir.write("two/q.h", "#include \"sibling.h\"\n");
    dir.write("two/sibling.h", "sibling\n");
    PreprocessorSettings settings;
    settings.search_path = {dir.path() + "/one", dir.path() + "/two", dir.path() + "/three"};
    EXPECT_EQ(run("#include <h.h>\n#include \"q.h\"\n#define NAME <other.h>\n#include NAME\n"
                  "#if __has_include(<h.h>) && !__has_include(\"absent.h\")\nhas\n#endif\n",
                  settings),
              "two_h three_h sibling one_other has");
    EXPECT_EQ(messages, "");
    // A name whose closing quote is missing is no name, not one cut short.
    dir.write("one/h.", "wrong\n");
    EXPECT_EQ(run("#include 12\n#include \"h.h\nnext\n", settings), "next");
    EXPECT_EQ(messages,
              "Zolmex-W-ERINCLUDE,  [t.h:1] #include expects a filename: \n"
              "Zolmex-W-ERINCLUDE,  [t.h:2] #include expects a filename: \n");
    settings.tolerant = true;
    run("#include <absent.h>\n", settings);
    EXPECT_EQ(messages, "Zolmex-W-FILNOTANA,  [t.h:1] File absent.h is not analysed\n");
}

// Macros that double at each level: stopped once their expansions have made
// more tokens than the bound allows, where a large table still expands.
TEST_F(NativePreprocessor, MultiplyingMacrosStopAtTheExpansionBound) {
    std::string doubling = "#define B0 x\n";
    for (int i = 1; i <= 40; ++i)
        doubling += "#define B" + std::to_string(i) + " B" + std::to_string(i - 1) + " B" + std::to_string(i - 1) + "\n";
    PreprocessorSettings settings;
    settings.expansion_limit = 5000;
    EXPECT_EQ(run(doubling + "B10 y\n", settings).size(), std::string("x ").size() * 1024 + 1);  // 1024 x, then y
    EXPECT_EQ(messages, "");
    EXPECT_EXIT(run_to_the_end(doubling + "y\nB40\n", settings), ::testing::ExitedWithCode(7),
                "Zolmex-F-EXPTOOBIG,  \\[t.h:43\\] Macro expansion too large: B");
    // A body repeating an argument of 1024 tokens 2000 times is stopped while
    // it is being replaced: before its last argument, too large on its own,
    // is expanded, and not after 2 million tokens.
    std::string repeat = "#define R(a, b)";
    for (int i = 0; i < 2000; ++i) repeat += " a";
    EXPECT_EXIT(run_to_the_end(doubling + repeat + " b\nR(B10, B12)\n", settings), ::testing::ExitedWithCode(7),
                "Zolmex-F-EXPTOOBIG,  \\[t.h:43\\] Macro expansion too large: R\n");
}

// A chain of object-like macros leaves no level on the input stack, but the
// names hidden from its last token grow by one a link: a chain of 2000
// expands, a longer one is the recursion limit, at once and not after
// gigabytes of hidden-name sets.
TEST_F(NativePreprocessor, MacroChainsLongerThanTheInputStackStop) {
    auto chain = [](int links) {
        std::string text;
        for (int i = 0; i < links; ++i) text += "#define A" + std::to_string(i) + " A" + std::to_string(i + 1) + "\n";
        return text + "#define A" + std::to_string(links) + " end\n";
    };
    EXPECT_EQ(run(chain(1999) + "A0\n"), "end");
    EXPECT_EQ(messages, "");
    EXPECT_EXIT(run_to_the_end(chain(100000) + "A0\n"), ::testing::ExitedWithCode(7),
                "Zolmex-F-NBRECURSI,  \\[t.h:100002\\] There are too many macro or include recursions A2000\n");
}

TEST_F(NativePreprocessor, MissingIncludeIsFatal) {
    EXPECT_EXIT(run_to_the_end("\n#include <absent_header_xyz.h>\n"), ::testing::ExitedWithCode(7),
                "Zolmex-F-IMPOUVFIC,  \\[t.h:2\\] Cannot open the file absent_header_xyz.h");
    // Found (a regular file) but not readable: the memory file fails its first read.
    EXPECT_EXIT(run_to_the_end("\n\n#include \"/proc/self/mem\"\n"), ::testing::ExitedWithCode(7),
                "Zolmex-F-IMPOUVFIC,  \\[t.h:3\\] Cannot open the file /proc/self/mem");
}

TEST_F(NativePreprocessor, GuardsAndPragmaOnceReadOnce) {
    ScratchDir dir;
    dir.write("g.h", "#ifndef G_H\n#define G_H\nguarded\n#endif\n");
    dir.write("o.h", "#pragma once\nonce\n");
    dir.write("n.h", "#ifndef N_H\n#define N_H\n#endif\nafter_guard\n");
    PreprocessorSettings settings;
    settings.search_path = {dir.path()};
    EXPECT_EQ(run("#include <g.h>\n#include <g.h>\n#include <o.h>\n#include <o.h>\n#include <n.h>\n#include <n.h>\n"
                  "#undef G_H\n#include <g.h>\n",
                  settings),
              "guarded once after_guard after_guard guarded");
}

// One file reached by several names (a symbolic link, a hard link, a path
// through "..") is one file for #pragma once; a file with the same text
// elsewhere is another.
TEST_F(NativePreprocessor, PragmaOnceKnowsTheFileUnderOtherNames) {
    ScratchDir dir;
    const std::string real = dir.write("inc/o.h", "#pragma once\nonce\n");
    dir.write("copy/o.h", "#pragma once\nonce\n");
    dir.write("inc/sub/keep", "");
    std::filesystem::create_symlink(real, dir.path() + "/link.h");
    std::filesystem::create_hard_link(real, dir.path() + "/hard.h");
    PreprocessorSettings settings;
    settings.search_path = {dir.path(), dir.path() + "/copy"};
    EXPECT_EQ(run("#include <inc/o.h>\n#include <link.h>\n#include <hard.h>\n#include <inc/sub/../o.h>\n"
                  "#include \"" + real + "\"\n#include <o.h>\n",
                  settings),
              "once once");
    EXPECT_EQ(messages, "");
}

// A file reached under two names is one text, but each reading has the name
// that reached it (__FILE__, message positions).
TEST_F(NativePreprocessor, EachReadingHasTheNameThatReachedIt) {
    ScratchDir dir;
    const std::string real = dir.write("inc/n.h", "__FILE__\n#if\n#endif\n");
    std::filesystem::create_hard_link(real, dir.path() + "/hard.h");
    PreprocessorSettings settings;
    settings.search_path = {dir.path()};
    EXPECT_EQ(run("#include <inc/n.h>\n#include <hard.h>\n", settings),
              "\"" + dir.path() + "/inc/n.h\" \"" + dir.path() + "/hard.h\"");
    EXPECT_EQ(messages, "Zolmex-W-EMPTYEXPR,  [" + dir.path() + "/inc/n.h:2] Empty #if expression\n"
                        "Zolmex-W-EMPTYEXPR,  [" + dir.path() + "/hard.h:2] Empty #if expression\n");
}

// A file read again inside itself under another name: afterwards the outer
// reading goes on finding its neighbours in its own directory.
TEST_F(NativePreprocessor, ReadingAgainInsideItselfKeepsTheOuterDirectory) {
    ScratchDir dir;
    const std::string real = dir.write("one/h.h", "#ifndef ONCE\n#define ONCE\n#include \"../two/h.h\"\n#include \"sib.h\"\n#endif\n");
    dir.write("one/sib.h", "one\n");
    dir.write("two/sib.h", "two\n");
    std::filesystem::create_symlink(real, dir.path() + "/two/h.h");
    PreprocessorSettings settings;
    settings.search_path = {dir.path()};
    EXPECT_EQ(run("#include \"one/h.h\"\n", settings), "one");
    EXPECT_EQ(messages, "");
}

// A name with a directory part is looked for in every search directory in
// turn, whether or not the earlier ones have that subdirectory.
TEST_F(NativePreprocessor, SubdirectoryNamesSearchEveryDirectory) {
    ScratchDir dir;
    dir.write("a/sys/one.h", "a_one\n");
    dir.write("b/sys/two.h", "b_two\n#include <sys/one.h>\n#include <sys/three.h>\n");
    dir.write("c/sys/three.h", "c_three\n");
    dir.write("c/sys/two.h", "c_two\n");
    PreprocessorSettings settings;
    settings.search_path = {dir.path() + "/a", dir.path() + "/none", dir.path() + "/b", dir.path() + "/c"};
    EXPECT_EQ(run("#include <sys/two.h>\n#if __has_include(<sys/absent.h>) || !__has_include(<sys/three.h>)\nwrong\n#endif\n",
                  settings),
              "b_two a_one c_three");
    EXPECT_EQ(messages, "");
}

TEST_F(NativePreprocessor, GuardedFileIncludingItselfIsReadToItsEnd) {
    ScratchDir dir;
    dir.write("a.h", "#ifndef A_H\n#define A_H\nfirst\n#include \"a.h\"\nlast\n#endif\n");
    PreprocessorSettings settings;
    settings.search_path = {dir.path()};
    EXPECT_EQ(run("#include <a.h>\n#include <a.h>\n#undef A_H\n#include <a.h>\n", settings), "first last first last");
}

TEST_F(NativePreprocessor, SelfIncludeStopsAtTheStackLimit) {
    ScratchDir dir;
    dir.write("self.h", "x\n#include \"self.h\"\n");
    PreprocessorSettings settings;
    settings.search_path = {dir.path()};
    EXPECT_EXIT(run_to_the_end("#include <self.h>\n", settings), ::testing::ExitedWithCode(7),
                "Zolmex-F-NBRECURSI,  \\[.*self.h:2\\] There are too many macro or include recursions .*self.h");
}

// Caps the heap of a death test's child; the address sanitizer's own
// reservations would not fit, so its builds run without the cap.
void limit_heap_to_a_gigabyte() {
#ifndef ZV_ADDRESS_SANITIZER
    const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
    ::setrlimit(RLIMIT_DATA, &limit);
#endif
}

// Calls nested in each other's argument: each level holds what its argument
// still encloses, so a long nest must stop before its depth times its length
// is spent. A nest that stays within the level limit expands.
std::string nested_calls(int depth) {
    std::string text = "#define F(x) x\n";
    for (int i = 0; i < depth; ++i) text += "F(";
    text += "1";
    text += std::string(static_cast<std::size_t>(depth), ')');
    return text + "\n";
}

TEST_F(NativePreprocessor, NestedMacroCallsStopAtTheStackLimitInBoundedMemory) {
    EXPECT_EQ(run(nested_calls(1990)), "1");
    EXPECT_EQ(messages, "");
    EXPECT_EXIT(
        {
            limit_heap_to_a_gigabyte();
            run_to_the_end(nested_calls(100000));
        },
        ::testing::ExitedWithCode(7), "Zolmex-F-NBRECURSI,  \\[t.h:2\\] There are too many macro or include recursions");
}

TEST_F(NativePreprocessor, LineDirective) {
    Preprocessor pp(PreprocessorSettings{});
    TokenList out;
    pp.run("a\n#line 100 \"other.c\"\nb\n# 7\nc\n", "t.h", 1, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].line, 100);
    EXPECT_EQ(pp.file_name(out[1].file), "other.c");
    EXPECT_EQ(out[2].line, 7);
    // Numbers past the largest int stay at it.
    out.clear();
    pp.run("#line 2147483647\na\nb\n#line 99999999999\nc\n", "t.h", 1, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].line, 2147483647);
    EXPECT_EQ(out[1].line, 2147483647);
    EXPECT_EQ(out[2].line, 2147483647);
}

}  // namespace
}  // namespace zv::native
