// Bounded mutation test of the interface analysis: thousands of C texts derived
// from a corpus by random edits (fixed seed, count and time bound), each read as
// an interface file in a child process. Every one must end with status 0 or
// with one of the fatal messages that bad input is given by design: no crash,
// no hang, no sanitizer report, no runaway memory. A failing text is kept for
// replay; ZV_NATIVE_MUTANTS raises the count for longer runs.
#include "native/native_analyser.h"
#include "mutation_support.h"
#include "native_test_support.h"
#include "test_files.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zv::native {
namespace {

namespace fs = std::filesystem;
using testing_support::ScratchDir;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif


// Texts of our own, each gathering the constructs whose corners the mutations
// should reach.
const char* const kOwnTexts[] = {
    "#define STR(x) #x\n#define XSTR(x) STR(x)\n#define CAT(a, b) a ## b\n#define XCAT(a, b) CAT(a, b)\n"
    "#define LOG(fmt, ...) printf(fmt, ## __VA_ARGS__)\n#define ALL(...) f(__VA_ARGS__)\n"
    "#define EMPTY()\n#define DEFER(x) x EMPTY()\n#define N 4\n"
    "int XCAT(var_, N) = sizeof(XSTR(N));\nchar *s = STR(a \"b\" 'c' \\n);\nint CAT(x, y)[N * 2];\n"
    "void g(void) { LOG(\"x\"); LOG(\"%d\", 1); ALL(1, 2, 3); DEFER(ALL)(4); }\n#undef N\n",

    "#if defined(A) && !defined(B)\nint a;\n#elif (1 << 3) == 8 && 'a' == 97\nint b;\n#else\nint c;\n#endif\n"
    "#ifdef X\n#if X > 2\nint d;\n#endif\n#elif defined X\n#else\n# if -1 < 0u\nint e;\n# endif\n#endif\n"
    "#ifndef GUARD\n#define GUARD 1\n#if GUARD ? 0x10 : 2\nlong f;\n#endif\n#endif\n#if __LINE__ > 1\nint g;\n#endif\n",

    "enum e1 { A, B = 5, C, D = -2, E = 0x7fffffff, F = 1 << 4, G = 'x', H = sizeof(int) * 3, I = C + D };\n"
    "enum e2 { BIG = 0x100000000LL, NEXT };\nenum e3 : unsigned char { S0, S1 };\ntypedef enum { T0, T1, } e4_t;\n"
    "_Static_assert(C == 6, \"C\");\n_Static_assert(sizeof(enum e2) == 8, \"e2\");\n",

    "struct bits { unsigned a : 3; signed b : 5; int : 0; unsigned char c : 2; _Bool d : 1;\n"
    " enum small { X0, X1 } e : 4; unsigned long long f : 40; long : 3; };\n"
    "struct flex { int n; char data[]; };\nunion u { int i; float f; struct { short lo, hi; }; };\n"
    "struct nest { int k; union { int i; double d; }; struct { int x, y; } pos; } __attribute__((packed));\n"
    "struct al { char c; int v __attribute__((aligned(16))); } __attribute__((aligned(32)));\n",

    "typedef void (*handler_t)(int, void *);\ntypedef int fn_t(int, char);\nfn_t my_fn;\n"
    "struct ops { int (*open)(const char *, int); handler_t h[8]; int (*table[4])(void); void (*(*get)(int))(void); };\n"
    "void (*signal_like(int sig, void (*func)(int)))(int);\nint (*get_cmp(void))(const void *, const void *);\n"
    "typedef const volatile unsigned long *restrict cvp;\ntypedef int arr_t[3][4];\nextern arr_t *pa;\n"
    "static inline int max(int a, int b) { return a > b ? a : b; }\nint kr(a, b) int a; char b; { return a; }\n",

    "struct pt { int x, y; };\nstruct pt p1 = { .y = 2, .x = 1 };\nint arr[10] = { [2] = 3, [7] = 4, 5 };\n"
    "struct { struct pt a[2]; int n; } box = { .a[1].y = 3, .n = sizeof box };\n"
    "char text[] = \"abc\" \"def\";\nint m[][2] = { {1, 2}, {3} };\nunion u2 { int i; char c; } uv = { .c = 'q' };\n",

    "#pragma pack(push, 1)\nstruct p1 { char c; int i; };\n#pragma pack(push, sec, 2)\nstruct p2 { char c; double d; };\n"
    "#pragma pack(pop, sec)\n#pragma pack(4)\nstruct p3 { char c; long l; };\n#pragma pack()\n#pragma pack(pop)\n"
    "_Pragma(\"pack(push, 2)\") struct p4 { char c; int i; };\n_Pragma(\"pack(pop)\")\n"
    "#define DO_PRAGMA(x) _Pragma(#x)\nDO_PRAGMA(pack(1))\nstruct p5 { char c; short s; };\n#pragma once\n"
    "#pragma other thing\n_Static_assert(sizeof(struct p1) == 5, \"packed\");\n",

    "#include <stddef.h>\n#include <stdint.h>\ntypedef struct { uint8_t tag; uint32_t v; size_t n; } rec_t;\n"
    "_Static_assert(offsetof(rec_t, n) == 8, \"n\");\n",

    "#include <stdio.h>\n#include <string.h>\n#include <signal.h>\nextern FILE *log_file;\n"
    "typedef __sighandler_t handler;\n",
};

// Pieces that steer the mutations towards the corners of the preprocessor and
// the declaration analysis.
const char* const kPieces[] = {
    "\n#define ", "\n#define F(a, ...) a __VA_ARGS__\n", "\n#if ", "\n#elif ", "\n#else\n", "\n#endif\n",
    "\n#undef ", "\n#include_next <stddef.h>\n", "\n#include \"m.h\"\n", "##", "#", "__VA_ARGS__", "(", ")",
    ",", "{", "}", "[", "]", "\"", "'", "/*", "*/", "\\\n", "defined(", "sizeof(", "_Pragma(\"", "#pragma pack(",
    "__attribute__((", ": 3", "...", "\0", "F(", "1 << 63", "-1", "0x", "__LINE__", "typedef ", "struct ",
    "enum ", "_Static_assert(", ";", "=", ".", "*", "\n#line 5\n", "\n#error x\n", "__COUNTER__",
    "0x7fffffffffffffff", "\n#line 2147483646\n", "[0x4000000000000000]", "aligned(", "[9223372036854775806] =",
    "(int)1e300", "'\\777'", "1e99999", "?1.5:",
};


// The fatal messages that bad input is given by design: the index of the
// code in the messages, -1 when none.
const char* const kFatalCodes[] = {"-F-IMPOUVFIC,", "-F-NBRECURSI,", "-F-TOMANYARG,"};
int fatal_by_design(const std::string& messages) {
    for (int i = 0; i < 3; ++i)
        if (messages.find(kFatalCodes[i]) != std::string::npos) return i;
    return -1;
}

TEST(NativeMutation, MutatedCorpusEndsWithADiagnosticStatus) {
    std::vector<std::string> corpus(std::begin(kOwnTexts), std::end(kOwnTexts));
    for (const auto& entry : fs::directory_iterator(fs::path(ZV_SOURCE_DIR) / "tests" / "headers"))
        corpus.push_back(test::readFile(entry.path()));
    for (const char* header : {"/usr/include/stdint.h", "/usr/include/x86_64-linux-gnu/bits/types.h",
                               "/usr/include/signal.h", "/usr/include/zlib.h", "/usr/include/features.h"}) {
        if (fs::exists(header)) corpus.push_back(test::readFile(header));
    }

    registerMessageCatalog();
    ScratchDir dir;
    const std::string mutant = dir.write("m.h", "");
    const std::string messages = dir.path() + "/messages";
    // Analysers made once: plain ones (with and without the restriction to
    // K&R preprocessing), and one that has read the standard defines and
    // searches the system directories. Each child works on its
    // own copy.
    auto plain = native_setup(Restriction::None, {dir.path()}, {});
    auto knr = native_setup(Restriction::KandR, {dir.path()}, {});
    ::setenv("KVW_ADD_USR_INCLUDE", "1", 1);
    ::setenv("KVSTGT", kTarget.c_str(), 1);
    auto system = native_setup(Restriction::None, {dir.path()}, {"_GNU_SOURCE"});
    ::unsetenv("KVW_ADD_USR_INCLUDE");
    ::unsetenv("KVSTGT");
    {
        testing_support::CapturedMessages capture;
        c_analyser(*system).analyse_file(kTarget + "/lib/linux_x86_64.def", true);
        ASSERT_EQ(capture.text(), "");
    }

    int limit = 3000;
    if (const char* count = std::getenv("ZV_NATIVE_MUTANTS")) limit = std::atoi(count);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit > 3000 ? 100000 : 30);
    std::mt19937 random(std::getenv("ZV_SEED") ? std::atoi(std::getenv("ZV_SEED")) : 20261208);
    int runs = 0, failures = 0, clean = 0;
    int fatal[3] = {};
    // The first kMinimum mutants always run, however slow the machine; more run
    // while time is left, so a loaded machine costs coverage, never a failure.
    constexpr int kMinimum = 300;
    for (; runs < limit && (runs < kMinimum || std::chrono::steady_clock::now() < deadline); ++runs) {
        const std::string text = test::mutate(corpus[random() % corpus.size()], random, kPieces, &corpus);
        std::ofstream(mutant, std::ios::binary) << text;
        // A text that includes others reads them from the system directories.
        const bool with_system = random() % 4 == 0 || text.find("include") != std::string::npos;
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!std::freopen(messages.c_str(), "w", stderr)) ::_exit(100);
            ::alarm(5);
            if (!kSanitized) {
                const rlimit memory{std::size_t{1} << 31, std::size_t{1} << 31};
                ::setrlimit(RLIMIT_AS, &memory);
            }
            c_analyser(with_system ? *system : runs % 2 ? *knr : *plain).analyse_file(mutant, false);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ok) ++clean;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 7) {
            const int code = fatal_by_design(test::readFile(messages));
            if (code >= 0) ++fatal[code];
            ok = code >= 0;
        }
        if (!ok) {
            ++failures;
            const std::string kept = "/tmp/zv_native_mutation_" + std::to_string(runs) + ".h";
            std::ofstream(kept, std::ios::binary) << text;
            ADD_FAILURE() << "mutant " << runs << (with_system ? " (system headers)" : "") << " ended with status "
                          << status << "; text kept in " << kept << "\n"
                          << test::readFile(messages).substr(0, 3000);
            if (failures >= 5) break;
        }
    }
    std::printf("%d mutants: %d clean; fatal: %d IMPOUVFIC, %d NBRECURSI, %d TOMANYARG\n", runs, clean, fatal[0],
                fatal[1], fatal[2]);
}

}  // namespace
}  // namespace zv::native
