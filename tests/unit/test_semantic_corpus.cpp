// The front end's corpus through the semantic analysis: scripts that use only
// the constructs analysed so far give exactly the diagnostics reasoned below;
// the others stop at the first construct still to come, naming it.
#include "test_semantic_support.h"

#include <unistd.h>

namespace zv::test {
namespace {

// Runs the analysis in a corpus case directory, as the compiler would.
struct CorpusRun {
    std::string messages;
    unsigned errors = 0;
};

// Death tests run it without capture: their child process has its own.
CorpusRun analyse_corpus(const std::string& name, const std::vector<std::string>& dirs, bool keep_comments,
                         bool capture = true) {
    registerMessageCatalog();
    const std::string dir = std::string(ZV_SOURCE_DIR) + "/tests/cases/" + name;
    char old[4096];
    const std::string back = ::getcwd(old, sizeof old) ? old : "/";
    EXPECT_EQ(::chdir(dir.c_str()), 0);
    CorpusRun run;
    const unsigned before = errorCount();
    if (capture) testing::internal::CaptureStderr();
    native::AnalyserOptions native_options;
    native_options.include_dirs = dirs;
    auto native = native::analyse_interfaces(native_options);
    ParseResult parsed = parse_script("script.zod", dirs, keep_comments);
    AnalysisOptions options;
    options.comm_model = parsed.comm_model;
    if (errorCount() == before && parsed.root) analyse_script(parsed.root, parsed.files, options, *native);
    if (capture) run.messages = testing::internal::GetCapturedStderr();
    run.errors = errorCount() - before;
    EXPECT_EQ(::chdir(back.c_str()), 0);
    return run;
}

TEST(SemanticCorpus, ScenariosScript) {
    const CorpusRun run = analyse_corpus("script_tree_scenarios", {}, true);
    // "#define" lines are C declaration lines whose text "define X 1" is no C
    // declaration; the INSTANCE block without DECLARE_INSTANCE ends its body.
    EXPECT_EQ(run.messages,
              "Zolmex-E-UNKCLPROC,  [script.zod:4] Unknown procedure 'init'\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:10] Unknown procedure 'handler'\n"
              "Zolmex-E-CUNKNTYPE,  [script.zod:12] Unknown type name define\n"
              "Zolmex-W-NOEXEINST,  [script.zod:14] Instructions written after ERROR or EXIT are not executed\n"
              "Zolmex-E-NODCLISTN,  [script.zod:16] Use of instances without any declarations\n");
    EXPECT_EQ(run.errors, 4u);
}

TEST(SemanticCorpus, IncludesScript) {
    const CorpusRun run = analyse_corpus("script_tree_includes", {"lib"}, true);
    EXPECT_EQ(run.messages, "Zolmex-E-UKNFCTCLL,  [lib/scen.zod:2] Function \"f\" is unknown\n");
    EXPECT_EQ(run.errors, 1u);
}

TEST(SemanticCorpus, NoCommentScriptIsClean) {
    const CorpusRun run = analyse_corpus("script_tree_nocomment", {}, false);
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(run.errors, 0u);
}

TEST(SemanticCorpusDeathTest, LaterConstructsStopTheRunByName) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"script_tree_declarations", "Construct FORMAT is not supported yet"},
        {"script_tree_statements", "Construct VAR is not supported yet"},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(analyse_corpus(c.name, {}, true, false), testing::ExitedWithCode(9), c.message) << c.name;
}

TEST(SemanticCorpusDeathTest, EveryLaterConstructHasItsOwnStop) {
    const std::string head = "HEADER \"a\", \"b\", \"c\"\n# int x;\n";
    const struct {
        const char* lines;
        const char* message;
    } cases[] = {
    };
    for (const auto& c : cases)
        EXPECT_EXIT(analyse_quiet(head + c.lines, "int api(int);\n"), testing::ExitedWithCode(9), c.message) << c.lines;
}

}  // namespace
}  // namespace zv::test
