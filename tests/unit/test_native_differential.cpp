// Reads system headers as the C compiler does and compares: no message at all,
// the same preprocessed tokens as the compiler's preprocessor (with the same
// defines and search path), and static assertions built from the analyser's
// answers that the compiler accepts. Skipped where no C compiler is installed.
#include "common/string_pool.h"
#include "native/native_analyser.h"
#include "native/native_assertions.h"
#include "native/preprocessor.h"
#include "native_test_support.h"
#include "test_files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace zv::native {
namespace {

using testing_support::CapturedMessages;
using testing_support::ScratchDir;


bool have_compiler() { return std::system("gcc --version >/dev/null 2>&1") == 0; }

struct Corpus : ::testing::TestWithParam<const char*> {
    static void SetUpTestSuite() { registerMessageCatalog(); }
};

// Bit-field positions: gcc's debugging information of every structure and
// union the header declares (DW_AT_data_bit_offset, DW_AT_bit_size of the
// members of named tags) against our layout. Returns the number compared.
int check_bit_fields(NativeAnalyser& analyser, const ScratchDir& dir, const std::string& flags, const std::string& source,
                     const std::string& what) {
    const std::string object = dir.path() + "/bits.o", dump = dir.path() + "/bits.txt";
    const std::string command = "gcc -c -w -g -gdwarf-5 -fno-eliminate-unused-debug-types" + flags + " " + source +
                                " -o " + object + " 2>/dev/null && readelf --debug-dump=info " + object + " > " + dump;
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << what << ": " << command;
        return 0;
    }
    // tag -> member -> (bit position, width), of the structures ("struct x") and unions ("union x")
    std::map<std::string, std::map<std::string, std::pair<long long, int>>> theirs;
    std::istringstream lines(test::readFile(dump));
    std::string record;        // the named tag at depth 1 whose members are read, or ""
    std::string member;        // the member of it being read
    long long bit_offset = -1;
    int bit_size = -1;
    bool in_tag_name = false;  // the name attribute read next belongs to the tag
    const auto close_member = [&] {
        // The members of a union are at 0 without saying so.
        if (bit_offset < 0 && record.rfind("union ", 0) == 0) bit_offset = 0;
        if (!record.empty() && !member.empty() && bit_size >= 0) theirs[record][member] = {bit_offset, bit_size};
        member.clear();
        bit_offset = -1;
        bit_size = -1;
    };
    for (std::string line; std::getline(lines, line);) {
        const std::size_t open = line.find('<');
        if (line.size() > 1 && line[0] == ' ' && open == 1) {  // " <depth><offset>: Abbrev ... (DW_TAG_...)"
            close_member();
            const int depth = std::atoi(line.c_str() + 2);
            const bool tag = line.find("(DW_TAG_structure_type)") != std::string::npos ||
                             line.find("(DW_TAG_union_type)") != std::string::npos;
            if (depth <= 1) {
                record = depth == 1 && tag ? (line.find("union") != std::string::npos ? "union " : "struct ") : "";
                in_tag_name = !record.empty();
            } else if (depth == 2 && !record.empty() && line.find("(DW_TAG_member)") != std::string::npos) {
                member = "?";
            } else if (depth == 2) {
                member.clear();
            }
            continue;
        }
        const std::size_t colon = line.rfind(": ");
        if (colon == std::string::npos) continue;
        const std::string value = line.substr(colon + 2);
        if (line.find("DW_AT_name") != std::string::npos) {
            if (in_tag_name) {
                record += value;
                in_tag_name = false;
            } else if (member == "?") {
                member = value;
            }
        } else if (line.find("DW_AT_bit_size") != std::string::npos) {
            bit_size = std::atoi(value.c_str());
        } else if (line.find("DW_AT_data_bit_offset") != std::string::npos) {
            bit_offset = std::atoll(value.c_str());
        } else if (line.find("DW_AT_byte_size") != std::string::npos && in_tag_name) {
            in_tag_name = false;  // no name: an anonymous tag
            record.clear();
        }
    }
    close_member();

    int compared = 0;
    c_analyser(analyser).symbols().each_tag([&](const std::string& scope, const Record& r) {
        if (!scope.empty() || !r.complete || !r.tag || r.kind == TypeKind::Enum) return;
        const std::string tag = std::string(r.kind == TypeKind::Struct ? "struct " : "union ") + r.tag;
        const auto found = theirs.find(tag);
        for (const Field& f : r.fields) {
            if (!f.name || f.bit_width <= 0) continue;
            const long long ours = f.offset * 8 + f.bit_offset;
            if (found == theirs.end() || !found->second.count(f.name)) {
                ADD_FAILURE() << what << ": " << tag << "." << f.name << " is not a bit-field for gcc";
                continue;
            }
            const auto [position, width] = found->second.at(f.name);
            EXPECT_EQ(ours, position) << what << ": bit position of " << tag << "." << f.name;
            EXPECT_EQ(f.bit_width, width) << what << ": width of " << tag << "." << f.name;
            ++compared;
        }
    });
    return compared;
}

// Returns the number of bit-fields compared.
int check_header(const std::string& header, const std::string& incl, bool gnu_source) {
    ScratchDir dir;
    const std::string source = dir.write("t.c", "#include <" + header + ">\n");
    const std::string define = gnu_source ? " -D_GNU_SOURCE" : "";
    ::setenv("KVW_ADD_USR_INCLUDE", "1", 1);
    ::setenv("KVSTGT", kTarget.c_str(), 1);
    ::unsetenv("KVRTGT");
    std::vector<std::string> defines;
    if (gnu_source) defines.push_back("_GNU_SOURCE");
    std::vector<std::string> dirs;
    std::string extra;  // the same directories for the compiler
    for (std::size_t at = 0; at < incl.size();) {
        const std::size_t end = std::min(incl.find(':', at), incl.size());
        if (end > at) {
            dirs.push_back(incl.substr(at, end - at));
            extra += " -I" + dirs.back();
        }
        at = end + 1;
    }
    auto analyser = native_setup(Restriction::None, dirs, defines);
    ::unsetenv("KVW_ADD_USR_INCLUDE");
    ::unsetenv("KVSTGT");

    // (a) no message
    TokenList tokens;
    {
        CapturedMessages capture;
        CAnalyser& c = c_analyser(*analyser);
        c.analyse_file(kDefines, true);
        // Read once: a second reading would stop at the include guards.
        tokens = c.preprocess_file(source);
        c.declare_tokens(tokens);
        EXPECT_EQ(capture.text(), "") << header << define;
    }

    // (b) the compiler's preprocessor gives the same tokens
    const std::string expanded = dir.path() + "/t.i";
    // The same predefined macros and search path as ours (gcc's own would
    // add "linux" and "unix", for one), for the tokens and the assertions alike.
    const std::string flags = " -undef -nostdinc" + define + extra + " -I" + kTarget +
                              "/lib -I/usr/include -I/usr/local/include -I/usr/include/x86_64-linux-gnu -include " + kDefines;
    const std::string command = "gcc -E -P" + flags + " " + source + " > " + expanded + " 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    // Of the pragmas, "pack" lines reach the declarations (as one token of
    // the pragma's text without blanks); the others are passed over.
    std::vector<std::string> ours, theirs;
    for (const Token& t : tokens) ours.push_back((t.flags & kPragma ? "#pragma " : "") + std::string(t.view()));
    std::string text;
    const auto lex_text_so_far = [&] {
        TokenList lexed;
        lex_text(text, 0, 1, lexed, LexOptions{}, {});
        for (const Token& t : lexed) theirs.emplace_back(t.view());
        text.clear();
    };
    std::istringstream lines(test::readFile(expanded));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#pragma", 0) != 0) {
            text += line + "\n";
        } else if (line.rfind("#pragma pack", 0) == 0) {
            lex_text_so_far();
            std::string body;
            for (char c : line.substr(8)) if (c != ' ' && c != '\t') body += c;
            theirs.push_back("#pragma " + body);
        }
    }
    lex_text_so_far();
    std::size_t i = 0;
    for (; i < ours.size() && i < theirs.size(); ++i)
        if (ours[i] != theirs[i]) break;
    EXPECT_EQ(i, theirs.size()) << header << define << ": first difference at token " << i;
    EXPECT_EQ(ours.size(), theirs.size()) << header << define;

    // (c) the compiler accepts the answers, in the language mode the
    // standard-defines file claims (gnu11; in strict C11 glibc names some fields apart)
    std::string checks = "#include <" + header + ">\n";
    const std::vector<std::string> assertions = static_assertions(*analyser);
    if (c_analyser(*analyser).symbols().count() > 0) {
        EXPECT_GT(assertions.size(), 0u) << header;
    }
    for (const std::string& line : assertions) checks += line + "\n";
    // The object-like macros that the header defines (as gcc lists them,
    // without those defined before any header), by type, value and size.
    const auto macro_names = [&](const std::string& file) {
        const std::string list = dir.path() + "/macros";
        const std::string dump = "gcc -dM -E" + flags + " " + file + " > " + list + " 2>/dev/null";
        std::vector<std::string> names;
        if (std::system(dump.c_str()) != 0) return names;
        std::istringstream in(test::readFile(list));
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("#define ", 0) != 0) continue;
            const std::size_t end = line.find_first_of(" (", 8);
            if (end != std::string::npos && line[end] == ' ') names.push_back(line.substr(8, end - 8));
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> predefined = macro_names(dir.write("empty.c", ""));
    std::vector<std::string> defined_here;
    for (const std::string& name : macro_names(source))
        if (!std::binary_search(predefined.begin(), predefined.end(), name)) defined_here.push_back(name);
    {
        CapturedMessages capture;  // expanding a macro may give messages of its own: not compared here
        for (const std::string& line : macro_assertions(*analyser, defined_here)) checks += line + "\n";
    }
    // (d) the bit-fields are where gcc puts them
    const int bit_fields = check_bit_fields(*analyser, dir, flags, source, header + define);

    const std::string check_file = dir.write("check.c", checks);
    const std::string compile = "gcc -std=gnu11 -fsyntax-only -w" + flags + " " + check_file + " 2>" + dir.path() + "/errors";
    EXPECT_EQ(std::system(compile.c_str()), 0) << header << define << "\n" << test::readFile(dir.path() + "/errors").substr(0, 2000);
    return bit_fields;
}

TEST_P(Corpus, ReadLikeTheCompiler) {
    if (!have_compiler()) GTEST_SKIP() << "no C compiler";
    const std::string header = GetParam();
    if (!std::ifstream("/usr/include/" + header) && !std::ifstream("/usr/include/x86_64-linux-gnu/" + header) &&
        !std::ifstream(kTarget + "/lib/" + header))
        GTEST_SKIP() << header << " is not installed";
    check_header(header, "", false);
    check_header(header, "", true);
}

// Our own header of the kind embedded products ship (tests/headers).
TEST(OwnHeaders, ReadLikeTheCompiler) {
    if (!have_compiler()) GTEST_SKIP() << "no C compiler";
    registerMessageCatalog();
    int bit_fields = 0;
    for (const char* name : {"embedded_device.h", "packed_layouts.h"}) {
        const std::string header = std::string(ZV_SOURCE_DIR) + "/tests/headers/" + name;
        bit_fields += check_header(header, "", false);
        bit_fields += check_header(header, "", true);
    }
    EXPECT_GT(bit_fields, 10);  // their bit-fields were compared with gcc's
}

// The assertions themselves must be valid C for every answer: enumerators
// at the ends of the 64-bit range, tags that are also macro names (checked
// through a typedef name where there is one), pointers to functions that do
// not return (a kind of their own for the compiler).
TEST(OwnHeaders, AssertionsAreValidC) {
    if (!have_compiler()) GTEST_SKIP() << "no C compiler";
    registerMessageCatalog();
    ScratchDir dir;
    const std::string header = dir.write("awkward.h", R"(
enum wide { WIDE_TOP = 0x8000000000000000UL, WIDE_NEXT };
enum low { LOW_MIN = -0x7fffffffffffffffL - 1, LOW_NEXT };
struct renamed { int a; long b; };
typedef struct renamed renamed_t;
struct renamed *renamed_make(void);
struct hidden { char c; };
struct holder { struct renamed r; int n; };
#define renamed renamed_v2
#define hidden 1
typedef void (*fatal_fn)(int) __attribute__((noreturn));
struct handlers { void (*fatal)(const char *) __attribute__((__noreturn__)); int level; };
extern void (*on_fatal)(int) __attribute__((noreturn));
_Noreturn void die(int);
#define WIDE_MASK 0xffffffffu
#define NEG_ONE (-1)
#define HALF_THIRD (1.0f / 3)
#define CUT ((unsigned char)0x1ff)
#define TEXT "not a number"
#define WHERE __LINE__
)");
    check_header(header, "", false);

    auto analyser = native_setup(Restriction::None, {}, {});
    c_analyser(*analyser).analyse_file(header, true);
    std::string all;
    for (const std::string& line : static_assertions(*analyser)) all += line + "\n";
    EXPECT_NE(all.find("WIDE_TOP == 9223372036854775808ULL"), std::string::npos) << all;
    EXPECT_NE(all.find("LOW_MIN == (-9223372036854775807LL - 1)"), std::string::npos) << all;
    EXPECT_NE(all.find("sizeof(renamed_t) == 16LL"), std::string::npos) << all;
    EXPECT_NE(all.find("__builtin_offsetof(renamed_t, b) == 8LL"), std::string::npos) << all;
    EXPECT_EQ(all.find("struct renamed"), std::string::npos) << all;
    EXPECT_EQ(all.find("struct hidden"), std::string::npos) << all;
    EXPECT_NE(all.find("__builtin_offsetof(struct handlers, level) == 8LL"), std::string::npos) << all;
    EXPECT_NE(all.find("__typeof__(*(fatal_fn)0)"), std::string::npos) << all;

    // Constant macros: type, value and size; strings, lines and unknown names are left out.
    std::string macros;
    for (const std::string& line :
         macro_assertions(*analyser, {"WIDE_MASK", "NEG_ONE", "HALF_THIRD", "CUT", "TEXT", "WHERE", "UNKNOWN"}))
        macros += line + "\n";
    EXPECT_EQ(macros,
              "_Static_assert(__builtin_types_compatible_p(__typeof__(CUT), unsigned char) && sizeof(CUT) == 1 && "
              "(CUT) == 255ULL, \"CUT\");\n"
              "_Static_assert(__builtin_types_compatible_p(__typeof__(HALF_THIRD), float) && sizeof(HALF_THIRD) == 4 && "
              "(HALF_THIRD) == 0x1.555556p-2, \"HALF_THIRD\");\n"
              "_Static_assert(__builtin_types_compatible_p(__typeof__(NEG_ONE), int) && sizeof(NEG_ONE) == 4 && "
              "(NEG_ONE) == -1LL, \"NEG_ONE\");\n"
              "_Static_assert(__builtin_types_compatible_p(__typeof__(WIDE_MASK), unsigned int) && sizeof(WIDE_MASK) == 4 && "
              "(WIDE_MASK) == 4294967295ULL, \"WIDE_MASK\");\n");
}

// Larger libraries, each after <stdio.h> as their users include them.
struct Libraries : ::testing::TestWithParam<std::pair<const char*, const char*>> {
    static void SetUpTestSuite() { registerMessageCatalog(); }
};

TEST_P(Libraries, ReadLikeTheCompiler) {
    if (!have_compiler()) GTEST_SKIP() << "no C compiler";
    const auto [header, incl] = GetParam();
    const std::string dir = *incl ? incl : "/usr/include";
    if (!std::ifstream(dir + "/" + header)) GTEST_SKIP() << header << " is not installed";
    ScratchDir wrapper;
    const std::string path = wrapper.write("with_stdio.h", std::string("#include <stdio.h>\n#include <") + header + ">\n");
    check_header(path, incl, false);
}

INSTANTIATE_TEST_SUITE_P(
    Installed, Libraries,
    ::testing::Values(std::make_pair("openssl/ssl.h", ""), std::make_pair("libxml/parser.h", "/usr/include/libxml2"),
                      std::make_pair("libxml/xpath.h", "/usr/include/libxml2"), std::make_pair("expat.h", ""),
                      std::make_pair("png.h", ""), std::make_pair("ncurses.h", ""), std::make_pair("uuid/uuid.h", "")),
    [](const ::testing::TestParamInfo<std::pair<const char*, const char*>>& info) {
        std::string name = info.param.first;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// Headers of the libraries and kernel interfaces that C systems under test
// include: each entry is read after <stdio.h> and <time.h> (as most users
// include them), with its include directories (':' between them). The
// entries marked `quick` run in every test run; all of them run when
// ZV_WIDE_CORPUS is set (`make differential`).
struct CorpusEntry {
    const char* headers;  // blank-separated, included in order
    const char* dirs;
    bool quick;
};

// The headers name an entry in test listings.
void PrintTo(const CorpusEntry& entry, std::ostream* out) { *out << entry.headers; }

const CorpusEntry kWideCorpus[] = {
#include "native_corpus.inc"
};

// Entries that fail for now, with the reason: run again and drop from the
// list once the reason is gone. (A missing include ends the analysis at once,
// so these are skipped rather than run.)
const std::pair<const char*, const char*> kExpectedToFail[] = {
    {"liburing.h", "with _GNU_SOURCE, linux/fs.h redefines RWF_* of <sys/uio.h> with another body, which we "
                   "report (IDENREDEF) and gcc passes over in system headers"},
};

struct WideCorpus : ::testing::TestWithParam<CorpusEntry> {
    static void SetUpTestSuite() { registerMessageCatalog(); }
};

TEST_P(WideCorpus, ReadLikeTheCompiler) {
    if (!have_compiler()) GTEST_SKIP() << "no C compiler";
    const CorpusEntry entry = GetParam();
    if (!entry.quick && !std::getenv("ZV_WIDE_CORPUS")) GTEST_SKIP() << "only with ZV_WIDE_CORPUS set";
    for (const auto& [headers, reason] : kExpectedToFail)
        if (std::string(entry.headers) == headers) GTEST_SKIP() << "expected to fail for now: " << reason;
    std::string text = "#include <stdio.h>\n#include <time.h>\n";
    std::istringstream names(entry.headers);
    for (std::string name; names >> name;) text += "#include <" + name + ">\n";
    ScratchDir wrapper;
    const std::string path = wrapper.write("corpus.h", text);
    // Installed by the set-up of `make check`; a machine without them skips.
    std::string probe = "gcc -E -x c";
    std::istringstream dirs(std::string(entry.dirs));
    for (std::string d; std::getline(dirs, d, ':');)
        if (!d.empty()) probe += " -I" + d;
    probe += " " + path + " >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0) GTEST_SKIP() << entry.headers << ": not installed";
    check_header(path, entry.dirs, false);
    check_header(path, entry.dirs, true);
}

INSTANTIATE_TEST_SUITE_P(Packages, WideCorpus, ::testing::ValuesIn(kWideCorpus),
                         [](const ::testing::TestParamInfo<CorpusEntry>& info) {
                             std::string name = info.param.headers;
                             name = name.substr(0, name.find(' '));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name + "_" + std::to_string(info.index);
                         });

INSTANTIATE_TEST_SUITE_P(
    SystemHeaders, Corpus,
    ::testing::Values("stdio.h", "stdlib.h", "string.h", "stdint.h", "inttypes.h", "limits.h", "time.h", "signal.h",
                      "errno.h", "ctype.h", "math.h", "complex.h", "setjmp.h", "wchar.h", "pthread.h", "regex.h",
                      "sys/types.h", "sys/stat.h", "sys/socket.h", "netinet/in.h", "arpa/inet.h", "netdb.h",
                      "unistd.h", "fcntl.h", "poll.h", "linux/netlink.h", "linux/if.h", "zlib.h", "sqlite3.h",
                      "stdarg.h", "stddef.h", "stdbool.h", "float.h", "stdalign.h", "stdnoreturn.h", "iso646.h",
                      "stdatomic.h", "immintrin.h", "x86intrin.h"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

}  // namespace
}  // namespace zv::native
