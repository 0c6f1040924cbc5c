// The reference target directory against the C compiler it stands for:
// the predefined macros of linux_x86_64.def against those of gcc 12 in gnu11
// mode, and the layout of the x86 vector types of <immintrin.h> against the
// compiler's own. Skipped where no such compiler is installed.
#include "common/string_pool.h"
#include "native/c_types.h"
#include "native/preprocessor.h"
#include "native_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;
using testing_support::ScratchDir;


std::string output_of(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// Only the compiler we claim to be is a reference.
bool have_gcc_12() {
    return output_of("gcc -dM -E -x c /dev/null 2>/dev/null").find("#define __GNUC__ 12\n") != std::string::npos;
}

std::string tokens_of(std::string_view text) {
    TokenList tokens;
    lex_text(text, 0, 1, tokens, LexOptions{}, {});
    return testing_support::joined(tokens);
}

// The definition of a macro as "NAME(params) body-tokens", from our table.
std::string ours(const Macro& m) {
    std::string text = m.name;
    if (m.function_like) {
        text += '(';
        for (std::size_t i = 0; i < m.params.size(); ++i) text += (i ? "," : "") + std::string(m.params[i]);
        text += ')';
    }
    TokenList body(m.body.begin(), m.body.end());
    return text + " " + testing_support::joined(body);
}

struct Difference {
    const char* name;
    bool in_gcc;  // the compiler defines it and the .def does not, or else the reverse
    const char* reason;
};

// Every macro on which the .def file and `gcc -dM -E -std=gnu11` disagree.
const Difference kDifferences[] = {
    {"__STDC__", true, "defined by the analyser itself, and not in K&R mode"},
    {"KVR_LINUX", false, "predefined by the analyser for interface files"},
    {"USE_KVS", false, "predefined by the analyser for interface files"},
    {"KVR_CPLUSPLUS_LANGUAGE", false, "predefined by the analyser for interface files"},
};
// Both sides define these, with values that follow how the compiler was
// built: the .def states gcc 12.2.0 built for position-independent
// executables (as Debian builds it), and another gcc 12 build may differ.
const char* const kPinned[] = {"__VERSION__", "__GNUC_MINOR__", "__GNUC_PATCHLEVEL__",
                               "__PIC__",     "__pic__",        "__PIE__",
                               "__pie__"};
bool pinned(const std::string& name) {
    return std::find_if(std::begin(kPinned), std::end(kPinned), [&](const char* p) { return name == p; }) !=
           std::end(kPinned);
}

// The compiler defines these without listing them; the analyser's
// preprocessor has them built in (and reads __has_include, __has_attribute
// and the like in #if without their being macros).
const char* const kBuiltIn[] = {"__LINE__", "__FILE__", "__BASE_FILE__", "__INCLUDE_LEVEL__", "__DATE__", "__TIME__", "__COUNTER__"};

TEST(TargetDefines, SameMacrosAsTheCompilerInGnu11Mode) {
    if (!have_gcc_12()) GTEST_SKIP() << "no gcc 12";
    registerMessageCatalog();
    auto analyser = native_setup(Restriction::None, {}, {});
    CAnalyser& c = c_analyser(*analyser);
    {
        CapturedMessages capture;
        c.analyse_file(kDefines, true);
        EXPECT_EQ(capture.text(), "");
    }
    const Preprocessor& pp = c.preprocessor();
    auto find = [&](const std::string& name) { return pp.find_macro(string_pool().intern(name)); };
    auto difference = [](const std::string& name, bool in_gcc) {
        for (const Difference& d : kDifferences)
            if (name == d.name && d.in_gcc == in_gcc) return true;
        return false;
    };

    // Each macro of the compiler, with the same parameters and replacement.
    std::set<std::string> gcc_names;
    std::istringstream lines(output_of("gcc -dM -E -std=gnu11 -x c /dev/null"));
    const std::regex definition(R"(#define (\w+)(\([^)]*\))? ?(.*))");
    std::size_t compared = 0;
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, definition)) << line;
        const std::string name = m[1];
        gcc_names.insert(name);
        const Macro* macro = find(name);
        if (difference(name, true)) continue;
        ASSERT_NE(macro, nullptr) << "gcc defines " << line;
        if (pinned(name)) continue;
        std::string params = m[2];
        params.erase(std::remove(params.begin(), params.end(), ' '), params.end());
        EXPECT_EQ(ours(*macro), name + params + " " + tokens_of(m[3].str())) << line;
        ++compared;
    }
    EXPECT_GT(compared, 300u);

    // Each macro of the .def file is one of the compiler's.
    std::ifstream def(kDefines);
    const std::regex own(R"(\s*#\s*define\s+(\w+).*)");
    for (std::string line; std::getline(def, line);) {
        std::smatch m;
        if (std::regex_match(line, m, own)) {
            EXPECT_TRUE(gcc_names.count(m[1]) || difference(m[1], false) || pinned(m[1])) << "gcc does not define " << m[1];
        }
    }
    // The analyser's own macros are there, and the compiler has none of them.
    for (const Difference& d : kDifferences) {
        if (d.in_gcc) continue;
        EXPECT_NE(find(d.name), nullptr) << d.name;
        EXPECT_EQ(gcc_names.count(d.name), 0u) << d.name;
    }
    for (const char* name : kBuiltIn) {
        ASSERT_NE(find(name), nullptr) << name;
        EXPECT_NE(find(name)->builtin, Macro::Builtin::None) << name;
    }
}

// The vector types keep the compiler's size and alignment, also when the
// program claims the wider vector instructions.
TEST(TargetIntrinsics, VectorTypesHaveTheCompilersLayout) {
    if (!have_gcc_12()) GTEST_SKIP() << "no gcc 12";
    registerMessageCatalog();
    const char* const kTypes[] = {"__m64",   "__m64_u",   "__m128",   "__m128_u",  "__m128d",   "__m128d_u",
                                  "__m128i", "__m128i_u", "__m256",   "__m256_u",  "__m256d",   "__m256d_u",
                                  "__m256i", "__m256i_u", "__m512",   "__m512_u",  "__m512d",   "__m512d_u",
                                  "__m512i", "__m512i_u", "__mmask8", "__mmask16", "__mmask32", "__mmask64"};
    struct Mode {
        std::vector<std::string> defines;
        const char* options;
    };
    const Mode kModes[] = {{{}, ""}, {{"__AVX__", "__AVX2__"}, " -mavx2"}, {{"__AVX__", "__AVX512F__"}, " -mavx512f"}};
    for (const Mode& mode : kModes) {
        ::setenv("KVSTGT", kTarget.c_str(), 1);
        ::unsetenv("KVRTGT");
        ::unsetenv("KVW_ADD_USR_INCLUDE");
        auto analyser = native_setup(Restriction::None, {}, mode.defines);
        ::unsetenv("KVSTGT");
        CAnalyser& c = c_analyser(*analyser);
        ScratchDir dir;
        {
            CapturedMessages capture;
            c.analyse_file(kDefines, true);
            c.analyse_file(dir.write("t.h", "#include <x86intrin.h>\n"), false);
            EXPECT_EQ(capture.text(), "") << mode.options;
        }
        std::string checks = "#include <x86intrin.h>\n";
        for (const char* name : kTypes) {
            const Type* type = c.type_by_name(name, "");
            ASSERT_NE(type, nullptr) << name;
            checks += "_Static_assert(sizeof(" + std::string(name) + ") == " + std::to_string(size_of(type)) +
                      " && _Alignof(" + name + ") == " + std::to_string(align_of(type)) + ", \"" + name + "\");\n";
        }
        const std::string file = dir.write("check.c", checks);
        const std::string errors = dir.path() + "/errors";
        const std::string compile = std::string("gcc -std=gnu11 -fsyntax-only") + mode.options + " " + file + " 2>" + errors;
        const int status = std::system(compile.c_str());
        std::ifstream in(errors);
        EXPECT_EQ(status, 0) << mode.options << "\n" << std::string(std::istreambuf_iterator<char>(in), {});
    }
}

}  // namespace
}  // namespace zv::native
