// Bounded mutation test of the front end: thousands of scripts derived from the
// corpus by random edits (fixed seed, time bound), each parsed in a child
// process. Every one must end with a diagnostic status (0, 5, 7, or 9 for a
// misplaced VIRTUAL keyword): no crash, no hang, no sanitizer report. A
// failing script is kept for replay.
#include "mutation_support.h"
#include "test_files.h"
#include "test_script_support.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>

namespace zv {
namespace {

namespace fs = std::filesystem;

// Pieces that steer mutations towards the interesting corners of the lexer
// and the grammar.
const char* const kPieces[] = {
    "\n", "\r\n", "\n&", "&", "(", ")", "[", "]", ",", "@", "\"", "'", "\\", "--", "%AB ", "%%C ", "#x",
    "=>", "...", "::", "$E", "REF(", "MATCHED(", "NOTMATCHING(", "INCLUDE \"decl3.zod\"\n", "VIRTUALCALLBACK",
    "VIRTUAL PROCSEND", "COMMENT x", "FORMAT a =", "INIT = 1", "EV == ", "VA = 2", "CALL ", "END ", "SCENARIO ",
    "PROC p()\n", "INSTANCE A :\n", "IF (x) THEN\n", "WHEN 1 =>", "COMMTYPE ", "TRIGGER ", "\f", "\t", "\0",
};


TEST(ScriptMutation, MutatedCorpusEndsWithADiagnosticStatus) {
    const fs::path cases = fs::path(ZV_SOURCE_DIR) / "tests" / "cases";
    std::vector<std::string> corpus;
    for (const auto& entry : fs::directory_iterator(cases)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("script_", 0) == 0 && fs::exists(entry.path() / "script.zod")) {
            corpus.push_back(test::readFile(entry.path() / "script.zod"));
        }
    }
    ASSERT_GE(corpus.size(), 10u);

    test::ScratchDir dir;
    for (const auto& file : fs::directory_iterator(cases / "script_tree_includes" / "lib")) {
        dir.write(file.path().filename().string(), test::readFile(file.path()));
    }
    registerMessageCatalog();

    std::mt19937 random(20261207);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    int runs = 0, failures = 0;
    int by_status[10] = {};
    // The first kMinimum mutations always run, however slow the machine; more
    // run while time is left, so a loaded machine costs coverage, never a failure.
    constexpr int kMinimum = 200;
    for (; runs < 4000 && (runs < kMinimum || std::chrono::steady_clock::now() < deadline); ++runs) {
        const std::string script = test::mutate(corpus[random() % corpus.size()], random, kPieces);
        dir.write("m.zod", script);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stderr);
            ::alarm(10);
            parse_script("m.zod", {"."}, (runs & 1) != 0);
            ::_exit(errorCount() ? 5 : 0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        // The one internal error that a script can cause is the VIRTUAL keyword
        // met where no rule expects it.
        const bool virtual_keyword = script.find("VIRTUAL") != std::string::npos;
        const bool clean = WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 5 ||
                                                 WEXITSTATUS(status) == 7 ||
                                                 (WEXITSTATUS(status) == 9 && virtual_keyword));
        if (clean) ++by_status[WEXITSTATUS(status)];
        if (!clean) {
            ++failures;
            const std::string kept = "/tmp/zv_mutation_failure_" + std::to_string(runs) + ".zod";
            std::ofstream(kept, std::ios::binary) << script;
            ADD_FAILURE() << "mutation " << runs << " ended with status " << status << "; script kept in " << kept;
            if (failures >= 5) break;
        }
    }
    std::printf("%d mutations: %d clean, %d with errors, %d fatal, %d internal\n", runs, by_status[0], by_status[5],
                by_status[7], by_status[9]);
    // Most mutated scripts must reach the parser's own reporting.
    EXPECT_GT(by_status[5], runs / 4);
}

}  // namespace
}  // namespace zv
