// The front end's corpus through the semantic analysis: every script of it
// is analysed to its end and gives exactly the diagnostics reasoned below.
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

TEST(SemanticCorpus, DeclarationsScript) {
    const CorpusRun run = analyse_corpus("script_tree_declarations", {}, true);
    EXPECT_EQ(run.messages,
              "Zolmex-E-CSYNTAXER,  [script.zod:2] C syntax error: expected a declaration before 'include'\n"
              "Zolmex-E-NOTSTATIC,  \n"
              "Zolmex-E-NOMVARINC,  [script.zod:11] Bad variable name Point\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:12] Unknown procedure 'on_fault'\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:13] Unknown procedure 'on_any'\n"
              "Zolmex-E-IDCNOTDEC,  [script.zod:14] Unknown connection id type socket\n"
              "Zolmex-E-COMMNODEC,  [script.zod:15] Unknown communication type Link\n"
              "Zolmex-E-UKNEVTSTC,  [script.zod:16] The event structure associated to \"Msg\" is unknown\n"
              "Zolmex-E-UKNMSGTYP,  [script.zod:17] Unknown message type Req\n"
              "Zolmex-E-NOMSGDCAL,  [script.zod:17] MESSAGE_DATE instruction must be called at least once in a callback block Req_ON_Sock\n"
              "Zolmex-E-NONMSGCAL,  [script.zod:17] NO_MESSAGE instruction must be called at least once in a callback block Req_ON_Sock\n"
              "Zolmex-E-UKNMSGTYP,  [script.zod:20] Unknown message type Ans\n"
              "Zolmex-E-NOMSGDCAL,  [script.zod:20] MESSAGE_DATE instruction must be called at least once in a callback block Ans_ON_Sock\n"
              "Zolmex-E-NONMSGCAL,  [script.zod:20] NO_MESSAGE instruction must be called at least once in a callback block Ans_ON_Sock\n"
              "Zolmex-E-UKNMSGTYP,  [script.zod:23] Unknown message type Req\n"
              "Zolmex-E-UKNMSGTYP,  [script.zod:26] Unknown message type Ans\n"
              "Zolmex-I-NOPROCCAL,  [script.zod:5] Procedure step is never used\n"
              "Zolmex-I-NOPROCCAL,  [script.zod:8] Procedure nothing is never used\n");
    EXPECT_EQ(run.errors, 16u);
}

TEST(SemanticCorpus, StatementsScript) {
    const CorpusRun run = analyse_corpus("script_tree_statements", {}, true);
    EXPECT_EQ(run.messages,
              "Zolmex-E-UKNFCTCLL,  [script.zod:4] Function \"proc\" is unknown\n"
              "Zolmex-E-UKNFCTCLL,  [script.zod:5] Function \"noargs\" is unknown\n"
              "Zolmex-E-UNKMSGNAM,  [script.zod:6] Unknown message Link\n"
              "Zolmex-E-UNKCHANAM,  [script.zod:6] Unknown communication channel Req\n"
              "Zolmex-E-CUNDECLID,  [script.zod:7] Undeclared identifier state\n"
              "Zolmex-E-CUNDECLID,  [script.zod:11] Undeclared identifier St\n"
              "Zolmex-E-WHWACONST,  [script.zod:11] Waiting for integer constant in WHEN : St::Idle\n"
              "Zolmex-E-CUNDECLID,  [script.zod:12] Undeclared identifier name\n"
              "Zolmex-E-WHWACONST,  [script.zod:12] Waiting for integer constant in WHEN : name\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:16] Unknown procedure 'cl'\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:17] Unknown procedure 'cl'\n"
              "Zolmex-E-CUNDECLID,  [script.zod:18] Undeclared identifier a\n"
              "Zolmex-E-VARNOGOOD,  [script.zod:24] Incorrect expression (v)\n"
              "Zolmex-E-VARNOGOOD,  [script.zod:25] Incorrect expression (w)\n"
              "Zolmex-E-VARNOGOOD,  [script.zod:26] Incorrect expression (z)\n"
              "Zolmex-E-UNKMSGNAM,  [script.zod:27] Unknown message ev\n"
              "Zolmex-E-UNKMSGNAM,  [script.zod:27] Unknown message e2\n"
              "Zolmex-E-CUNDECLID,  [script.zod:28] Undeclared identifier i\n"
              "Zolmex-E-UNKAPINAM,  [script.zod:31] Unknown API name '1'\n"
              "Zolmex-E-UNDECTRGV,  [script.zod:34] Event Variable 'm' not declared\n"
              "Zolmex-E-UNKCHANAM,  [script.zod:35] Unknown communication channel m\n"
              "Zolmex-E-UNKCHANAM,  [script.zod:36] Unknown communication channel m\n"
              "Zolmex-E-CUNDECLID,  [script.zod:38] Undeclared identifier a\n"
              "Zolmex-W-INCOMPTYP,  [script.zod:38] Incompatible types (a + b)\n"
              "Zolmex-E-CUNDECLID,  [script.zod:42] Undeclared identifier i1\n"
              "Zolmex-E-INCOMPTYP,  [script.zod:42] Incompatible types (i1)\n"
              "Zolmex-E-CUNDECLID,  [script.zod:42] Undeclared identifier msg\n"
              "Zolmex-E-INCOMPTYP,  [script.zod:42] Incompatible types (msg)\n"
              "Zolmex-E-CUNDECLID,  [script.zod:43] Undeclared identifier i1\n"
              "Zolmex-E-CUNDECLID,  [script.zod:44] Undeclared identifier i1\n"
              "Zolmex-E-INCOMPTYP,  [script.zod:44] Incompatible types (i1)\n"
              "Zolmex-E-CUNDECLID,  [script.zod:44] Undeclared identifier msg\n"
              "Zolmex-E-INCOMPTYP,  [script.zod:44] Incompatible types (msg)\n"
              "Zolmex-E-NOMSINBBL,  [script.zod:45] NO_MESSAGE instruction must only be used in a PROC or CALLBACK block\n"
              "Zolmex-E-MSGDINBBL,  [script.zod:46] MESSAGE_DATE instruction must only be used in a PROC or CALLBACK block\n"
              "Zolmex-E-NOMVARINC,  [script.zod:47] Bad variable name F\n"
              "Zolmex-E-UNKCLPROC,  [script.zod:48] Unknown procedure 'h'\n"
              "Zolmex-E-UNKMSGNAM,  [script.zod:50] Unknown message a\n"
              "Zolmex-E-UNKMSGNAM,  [script.zod:50] Unknown message c\n"
              "Zolmex-I-IGNEDTRON,  TRACE_ON instructions are inhibited according to the current trace level\n"
              "Zolmex-I-IGNEDTROF,  TRACE_OFF instructions are inhibited according to the current trace level\n"
              "Zolmex-I-IGNEDFTRC,  FLUSH_TRACE instructions are inhibited according to the current trace level\n");
    EXPECT_EQ(run.errors, 38u);
}

TEST(SemanticCorpus, TriggerScript) {
    const CorpusRun run = analyse_corpus("script_tree_trigger", {}, true);
    EXPECT_EQ(run.messages,
              "Zolmex-E-UKNEVTSTC,  [script.zod:2] The event structure associated to \"Go\" is unknown\n"
              "Zolmex-E-UNDECTRGV,  [script.zod:4] Event Variable 'Go' not declared\n");
    EXPECT_EQ(run.errors, 2u);
}

}  // namespace
}  // namespace zv::test
