// The script parser: the corpus of tests/cases/script_tree_* against trees
// reasoned from the node table, error recovery and reporting, stack limit,
// and the syntax-tree helpers.
#include "test_script_support.h"

#include <filesystem>
#include <set>
#include <sstream>

namespace zv {
namespace {

namespace fs = std::filesystem;
using test::parse_file;
using test::ScratchDir;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each corpus case: script.zod, optional "options" (-I dir, -NOCOMMENT),
// expected.tree (dump without positions and the comm_model line) and
// optionally expected.positions (dump with positions).
TEST(ScriptCorpus, TreesMatchTheNodeTable) {
    const fs::path cases = fs::path(ZV_SOURCE_DIR) / "tests" / "cases";
    int seen = 0;
    ::setenv("ZV_TEST_VERSION", "1.2", 1);
    for (const auto& entry : fs::directory_iterator(cases)) {
        if (entry.path().filename().string().rfind("script_tree_", 0) != 0) continue;
        ++seen;
        SCOPED_TRACE(entry.path().filename().string());
        std::vector<std::string> dirs;
        bool keep_comments = true;
        std::istringstream options(read_file(entry.path() / "options"));
        for (std::string word; options >> word;) {
            if (word == "-I" && options >> word) dirs.push_back(word);
            else if (word == "-NOCOMMENT") keep_comments = false;
        }
        const fs::path old = fs::current_path();
        fs::current_path(entry.path());
        test::Parsed parsed = parse_file("script.zod", dirs, keep_comments);
        fs::current_path(old);
        EXPECT_EQ(parsed.errors, 0u) << parsed.messages;
        EXPECT_EQ(parsed.tree + "comm_model " + std::to_string(number(parsed.result.comm_model)) + "\n",
                  read_file(entry.path() / "expected.tree"));
        if (fs::exists(entry.path() / "expected.positions")) {
            EXPECT_EQ(dump_tree(parsed.result.root, true), read_file(entry.path() / "expected.positions"));
        }
    }
    EXPECT_GE(seen, 6);
}

std::string header() { return "HEADER \"a\", \"b\", \"c\"\nTIMER t\n"; }

TEST(ScriptParser, RecoveryInDeclarationsInstanceBlocksAndStatements) {
    ScratchDir dir;
    dir.write("s.zod", header() +
                           "INSTANCE A :\n"
                           "TIMER x y\n"     // 4: bad line in the instance block
                           "END INSTANCE\n"
                           "SHARE )\n"       // 6: bad declaration line
                           "SCENARIO s\n"
                           "EXIT ]\n"        // 8: bad statement
                           "EXIT\n"
                           "ERROR [\n"       // 10: bad statement, reported
                           "END SCENARIO\n");
    test::Parsed parsed = parse_file("s.zod");
    EXPECT_EQ(parsed.messages,
              "Zolmex-E-UNEXPIDNT,  [s.zod:4] Unexpected identifier\n"
              "Zolmex-E-UNEXPRPAR,  [s.zod:6] Unexpected right parenthesis\n"
              "Zolmex-E-UNEXPRBRA,  [s.zod:8] Unexpected right square bracket\n"
              "Zolmex-E-UNEXPLBRA,  [s.zod:10] Unexpected left square bracket\n");
    EXPECT_EQ(parsed.errors, 4u);
    ASSERT_NE(parsed.result.root, nullptr);
    // The bad statement is missing from the body; the good ones stay.
    EXPECT_NE(parsed.tree.find("N_EXIT"), std::string::npos);
}

TEST(ScriptParser, AnErrorRightAfterRecoveryIsNotReported) {
    ScratchDir dir;
    dir.write("s.zod", header() + "SCENARIO s\nEXIT )\n) EXIT\nRESET t )\nEND SCENARIO\n");
    test::Parsed parsed = parse_file("s.zod");
    // Line 5 fails at its first token, one token after the recovery; line 6
    // fails at its third token, three tokens after it, and is reported.
    EXPECT_EQ(parsed.messages,
              "Zolmex-E-UNEXPRPAR,  [s.zod:4] Unexpected right parenthesis\n"
              "Zolmex-E-UNEXPRPAR,  [s.zod:6] Unexpected right parenthesis\n");
}

TEST(ScriptParser, EndOfInputAndRecoveryWithoutErrorState) {
    ScratchDir dir;
    dir.write("eof.zod", header() + "SCENARIO s\nIF (x) THEN\nEXIT\n");
    test::Parsed parsed = parse_file("eof.zod");
    EXPECT_EQ(parsed.messages, "Zolmex-E-UNEXPTEOF,  [eof.zod:6] Unexpected end of file\n");
    EXPECT_EQ(parsed.result.root, nullptr);
    // An error in the header has no recovery point: one message, no tree.
    dir.write("head.zod", "HEADER \"a\" \"b\"\nTIMER t\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    parsed = parse_file("head.zod");
    EXPECT_EQ(parsed.messages, "Zolmex-E-UNEXPSTRG,  [head.zod:1] Unexpected string\n");
    EXPECT_EQ(parsed.result.root, nullptr);
}

TEST(ScriptParser, EndOfInputInsideAnIncludeOnTheLastLine) {
    ScratchDir dir;
    // The main script ends right after the include line, so its end has been
    // read ahead before the included file, which ends inside a scenario.
    dir.write("m.zod", header() + "INCLUDE \"x.zod\"\n");
    dir.write("x.zod", "SCENARIO t\nEXIT\n");
    test::Parsed parsed = parse_file("m.zod");
    EXPECT_EQ(parsed.messages, "Zolmex-E-UNEXPTEOF,  [m.zod:4] Unexpected end of file\n");
}

TEST(ScriptParser, MisplacedVirtualCallbackIsAnInternalError) {
    ScratchDir dir;
    dir.write("v.zod", header() + "SCENARIO s\nVIRTUALCALLBACK a\nEND SCENARIO\n");
    EXPECT_EXIT(test::parse_quiet("v.zod"), testing::ExitedWithCode(9),
                "Zolmex-S-STXNOMESS,  \\[v.zod:4\\] No syntax error messages detected '" +
                    std::to_string(T_VIRTUALCALLBACK) + "'");
}

TEST(ScriptParser, StackDeeperThanTheLimitEndsTheParse) {
    ScratchDir dir;
    std::string script = header() + "SCENARIO s\n";
    for (int i = 0; i < 60000; ++i) script += "EXIT\n";
    dir.write("ok.zod", script + "END SCENARIO\n");
    test::Parsed parsed = parse_file("ok.zod", {}, true, false);
    EXPECT_EQ(parsed.errors, 0u);
    for (int i = 0; i < 60000; ++i) script += "EXIT\n";
    dir.write("deep.zod", script + "END SCENARIO\n");
    parsed = parse_file("deep.zod", {}, true, false);
    EXPECT_EQ(parsed.errors, 1u);
    EXPECT_EQ(parsed.result.root, nullptr);
    EXPECT_EQ(parsed.messages.rfind("Zolmex-E-UNEXP", 0), 0u) << parsed.messages;
}

TEST(ScriptParser, ScriptThatCannotBeOpenedIsFatal) {
    ScratchDir dir;
    EXPECT_EXIT(test::parse_quiet("absent.zod"), testing::ExitedWithCode(7),
                "Zolmex-F-FICNOTOPN,  File absent.zod access problem");
    EXPECT_EXIT(test::parse_quiet("."), testing::ExitedWithCode(7), "FICNOTOPN");
}

TEST(ScriptParser, IncludeFailures) {
    ScratchDir dir;
    dir.write("a.zod", header() + "INCLUDE \"b.zod\"\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    dir.write("b.zod", "INCLUDE \"a.zod\"\n");
    EXPECT_EXIT(test::parse_quiet("a.zod"), testing::ExitedWithCode(7),
                "Zolmex-F-INCLOOPDT,  \\[b.zod:2\\] Include file loop detected");
    dir.write("c.zod", header() + "INCLUDE \"none.zod\"\n");
    EXPECT_EXIT(test::parse_quiet("c.zod", {"d1", "d2"}), testing::ExitedWithCode(7),
                "Zolmex-F-CANNOTOPN,  \\[c.zod:4\\] Cannot open file none.zod");
}

TEST(ScriptParser, SameFileIncludedTwiceSharesItsIndex) {
    ScratchDir dir;
    dir.write("m.zod", header() + "INCLUDE \"t.zod\"\nINCLUDE \"u.zod\"\nINCLUDE \"t.zod\"\nSCENARIO s\nEXIT\nEND SCENARIO\n");
    dir.write("t.zod", "TIMER a\n");
    dir.write("u.zod", "TIMER b\n");
    test::Parsed parsed = parse_file("m.zod");
    ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
    const auto& files = parsed.result.files;
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].name, "t.zod");
    EXPECT_EQ(files[0].index, 2);
    EXPECT_EQ(files[1].index, 3);
    EXPECT_EQ(files[2].index, 2);
    EXPECT_EQ(files[3].index, 1);
}

TEST(ScriptParser, MoreThanFiveHundredDistinctFilesOverflowTheTable) {
    ScratchDir dir;
    std::string script = header();
    for (int i = 0; i < 500; ++i) {
        dir.write("f" + std::to_string(i) + ".zod", "TIMER t" + std::to_string(i) + "\n");
        script += "INCLUDE \"f" + std::to_string(i) + ".zod\"\n";
    }
    dir.write("many.zod", script + "SCENARIO s\nEXIT\nEND SCENARIO\n");
    EXPECT_EXIT(test::parse_quiet("many.zod"), testing::ExitedWithCode(7),
                "Zolmex-F-INCLOVFLW,   Too many included files in current test script");
}

// The token list is the one source of the C++ tables; the grammar keeps its own
// copy in its %token lines, which must name the same tokens in the same order.
TEST(ScriptParser, GrammarTokensAreTheTokenList) {
    const std::vector<std::string> listed = {
#define ZV_TOKEN(name, code) #name,
#define ZV_KEYWORD(name, code, effects) #name,
#define ZV_KEYWORD_WITHOUT_CODE(name, effects) #name,
#include "script/tokens.def"
#undef ZV_TOKEN
#undef ZV_KEYWORD
#undef ZV_KEYWORD_WITHOUT_CODE
    };
    std::vector<std::string> declared;
    std::istringstream grammar(read_file(fs::path(ZV_SOURCE_DIR) / "src" / "script" / "parser.y"));
    for (std::string line; std::getline(grammar, line);) {
        if (line.rfind("%token ", 0) != 0) continue;
        std::istringstream words(line.substr(7));
        for (std::string word; words >> word;) declared.push_back(word);
    }
    EXPECT_EQ(declared, listed);
    // Token numbers follow the list, so names and codes are found by number.
    ASSERT_EQ(T_WITH - T_NEWLINE + 1, static_cast<int>(listed.size()));
    int with_code = 0;
    for (int token = T_NEWLINE; token <= T_WITH; ++token) {
        EXPECT_EQ(token_name(token), listed[static_cast<std::size_t>(token - T_NEWLINE)]);
        if (token_code(token)) ++with_code;
    }
    EXPECT_EQ(with_code, 95);
    EXPECT_FALSE(token_code(T_VIRTUALCALLBACK));
    EXPECT_EQ(token_code(T_MATCH_RPAREN), Code::UNEXPRPAR);
}

TEST(SyntaxTree, NodesAndHelpers) {
    SyntaxTree tree;
    const Position at{"f.zod", 7, 2};
    const auto link = [&](Node* piece, Node* rest) {
        return tree.new_node(N_EXPRESSION, piece, rest, nullptr, static_cast<const char*>(nullptr), at);
    };
    Node* blank = tree.new_node(N_EMPTY, nullptr, nullptr, nullptr, static_cast<const char*>(nullptr), at);
    Node* chain = link(blank, link(blank, nullptr));
    EXPECT_TRUE(is_empty_expression(nullptr));
    EXPECT_TRUE(is_empty_expression(chain));
    EXPECT_EQ(chain->next()->item(), blank);
    Node* text = tree.new_node(N_NATIVE_EXPR, nullptr, nullptr, nullptr, "x", at);
    EXPECT_FALSE(is_empty_expression(link(blank, link(blank, link(text, nullptr)))));
    // An empty chain nested as a piece counts as empty.
    EXPECT_TRUE(is_empty_expression(link(chain, link(blank, nullptr))));
    EXPECT_EQ(text->line, 7);
    EXPECT_EQ(text->file_index, 2);

    Node* env = tree.new_node(N_ENV_VAR, nullptr, nullptr, nullptr, "$ZV_SURELY_UNSET_VARIABLE", at);
    ::unsetenv("ZV_SURELY_UNSET_VARIABLE");
    EXPECT_EQ(header_value_text(env), "");
    ::setenv("ZV_SET_VARIABLE", "v1", 1);
    EXPECT_EQ(header_value_text(tree.new_node(N_ENV_VAR, nullptr, nullptr, nullptr, "$ZV_SET_VARIABLE", at)), "v1");
    EXPECT_EQ(header_value_text(tree.new_node(N_STRING, nullptr, nullptr, nullptr, "\"s\"", at)), "\"s\"");
    EXPECT_EQ(node_kind_name(165), std::string("N_VIRTUAL_PROCSEND"));
    EXPECT_EQ(node_kind_name(13), nullptr);
}

TEST(SyntaxTree, ExpectNodeRaisesInternalErrors) {
    registerMessageCatalog();
    SyntaxTree tree;
    Node* node = tree.new_node(N_CALL, nullptr, nullptr, nullptr, static_cast<const char*>(nullptr), {"f.zod", 3, 1});
    expect_node(node, N_CALL);
    EXPECT_EXIT(expect_node(nullptr, N_CALL), testing::ExitedWithCode(9), "Zolmex-S-STXNODNIL,   Null syntax node");
    EXPECT_EXIT(expect_node(node, N_IF), testing::ExitedWithCode(9),
                "Zolmex-S-STXNODNWT,  \\[f.zod:3\\] Unexpected Syntax node '23' \\. Ask for maintenance help\\.");
    EXPECT_EXIT(header_value_text(node), testing::ExitedWithCode(9), "STXNODNWT.*'59'");
}

}  // namespace
}  // namespace zv
