// The script parser: the corpus of tests/cases/script_tree_* against trees
// reasoned from the node table, error recovery and reporting, stack limit,
// include files; the trees in detail (native-expression pieces around
// matching calls, trimming, comments without -NOCOMMENT's node, the lines and
// files that nodes carry); the syntax-tree helpers and the named child
// accessors against the node table.
#include "test_script_support.h"

#include "common/heap.h"

#ifdef ZV_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <vector>

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

// A tree read beside its parse: the blocks of released nodes take new nodes
// (in a build checked for memory faults they stay poisoned instead); nodes
// made before the keep mark and those not released stay as they were.
TEST(SyntaxTree, ReleasedNodeBlocksTakeNewNodes) {
    SyntaxTree tree;
    std::vector<Node*> made;
    const auto make = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const int line = static_cast<int>(made.size()) + 1;
            made.push_back(tree.new_node(N_CONSTANT, nullptr, nullptr, nullptr, std::to_string(line), {"f.zod", line, 1}));
        }
    };
    make(100);
    tree.keep_nodes_made();
    make(6044);  // three blocks of 2048 nodes in all
    // Nodes 2048..4095 fill the second block; a release short of its end
    // frees nothing, one past it frees that block and no other.
    tree.release_nodes_before(4000);
    make(2048);
    const Node* second = made[2048];
    for (std::size_t i = 6144; i < made.size(); ++i) EXPECT_FALSE(made[i] >= second && made[i] < second + 2048);
    tree.release_nodes_before(4100);
    const std::size_t before = made.size();
    make(4096);
    const bool reused = std::any_of(made.begin() + static_cast<std::ptrdiff_t>(before), made.end(),
                                    [&](const Node* n) { return n >= second && n < second + 2048; });
#ifdef ZV_ADDRESS_SANITIZER
    EXPECT_FALSE(reused);
    EXPECT_TRUE(__asan_address_is_poisoned(second));
#else
    EXPECT_TRUE(reused);
#endif
    // The kept nodes (with the first item's) and those never released.
    for (std::size_t i : {std::size_t{0}, std::size_t{99}, std::size_t{100}, std::size_t{2047}, std::size_t{4096},
                          std::size_t{6143}, made.size() - 1}) {
        EXPECT_EQ(made[i]->line, static_cast<int>(i) + 1);
        EXPECT_EQ(std::string(made[i]->text), std::to_string(i + 1));
    }
    EXPECT_EQ(tree.node_count(), made.size());
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

// ---------------------------------------------------------------- trees in detail

// Nodes of `kind` (of every kind for -1) in pre-order (child 1, 2, 3), without
// recursion.
std::vector<const Node*> nodes_of(const Node* root, int kind) {
    std::vector<const Node*> found, stack{root};
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (!node) continue;
        if (kind < 0 || node->kind == kind) found.push_back(node);
        const auto children = node->children();
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return found;
}

// The pieces of an expression chain: native texts quoted, empty pieces as
// "_", matching calls with their names.
std::string pieces(const Node* expression) {
    std::string out;
    for (const Node* link = expression; link; link = link->next()) {
        EXPECT_EQ(link->kind, N_EXPRESSION);
        const Node* piece = link->item();
        if (!out.empty()) out += ' ';
        if (piece->kind == N_EMPTY) {
            out += '_';
        } else if (piece->kind == N_NATIVE_EXPR) {
            out += quoted_text(piece->text);
        } else {
            out += node_kind_name(piece->kind);
            out += '(' + std::string(piece->name()->text);
            if (piece->second_name()) out += ',' + std::string(piece->second_name()->text);
            out += ')';
        }
    }
    return out;
}

constexpr int kNull = -1;  // stands for an absent child in a list of kinds

// The child is null (kNull) or of one of `kinds`.
testing::AssertionResult one_of(const char* accessor, const Node* owner, const Node* child,
                                const std::vector<int>& kinds) {
    const int kind = child ? child->kind : kNull;
    for (int k : kinds)
        if (k == kind) return testing::AssertionSuccess();
    return testing::AssertionFailure() << node_kind_name(owner->kind) << " line " << owner->line << ": "
                                       << accessor << "() is " << (child ? node_kind_name(kind) : "null");
}
#define EXPECT_SLOT(node, accessor, ...) \
    EXPECT_TRUE(one_of(#accessor, node, node->accessor(), std::vector<int>{__VA_ARGS__}))

// For each kind, what each named child may be (the node table). A wrong slot
// behind an accessor shows up as a child of the wrong kind.
std::map<int, std::function<void(const Node*)>> shape_checks() {
    std::map<int, std::function<void(const Node*)>> checks;
    const auto list = [&](int kind, std::vector<int> items) {
        checks[kind] = [kind, items](const Node* n) {
            EXPECT_TRUE(one_of("item", n, n->item(), items));
            EXPECT_SLOT(n, next, kNull, kind);
        };
    };
    for (int kind : {N_INSTANCE_NAMES, N_FAMILY_NAMES, N_TRIGGER_NAMES, N_CHANNEL_LIST, N_MESSAGE_LIST})
        list(kind, {N_IDENT});
    list(N_EXPRESSION, {N_NATIVE_EXPR, N_EMPTY, N_MATCHING, N_MATCHED, N_NOTMATCHING, N_NOTMATCHED});
    list(N_CALL_ARGS, {N_ARG, N_REF});
    list(N_TRIGGER_ARGS, {N_EXPRESSION});
    list(N_WHEN_BLOCKS, {N_WHEN_BLOCK});
    list(N_WHEN_LABELS, {N_CONSTANT, N_OTHERS, N_IDENT});
    list(N_HASH_LINES, {N_HASH_LINE});
    list(N_INSTANCE_STATEMENTS, {N_STATEMENT});
    list(N_PROC_PARAMS, {N_PROC_PARAM});
    list(N_PROPERTIES, {N_MULTIPLEXING});
    list(N_SCENARIO_ITEMS, {N_SCENARIO, N_INITIALIZATION, N_TERMINATION, N_EXCEPTION, N_INCLUDE});

    checks[N_SCRIPT] = [](const Node* n) {
        EXPECT_SLOT(n, header, N_HEADER);
        EXPECT_SLOT(n, declarations, N_DECLARATIONS);
        EXPECT_SLOT(n, scenario_items, N_SCENARIO_ITEMS);
    };
    checks[N_HEADER] = [](const Node* n) {
        EXPECT_SLOT(n, first_value, N_STRING, N_ENV_VAR);
        EXPECT_SLOT(n, second_value, N_STRING, N_ENV_VAR);
        EXPECT_SLOT(n, third_value, N_STRING, N_ENV_VAR);
    };
    checks[N_DECLARATIONS] = [](const Node* n) {
        EXPECT_NE(n->declaration() == nullptr, n->instance_part() == nullptr);
        EXPECT_SLOT(n, instance_part, kNull, N_DECLARE_INSTANCE, N_INSTANCE_BLOCK);
        EXPECT_SLOT(n, next_line, kNull, N_DECLARATIONS);
    };
    checks[N_DECLARE_INSTANCE] = checks[N_INSTANCE_HEADER] = [](const Node* n) {
        EXPECT_SLOT(n, names, N_INSTANCE_NAMES);
    };
    checks[N_INSTANCE_BLOCK] = [](const Node* n) {
        EXPECT_SLOT(n, names, N_INSTANCE_NAMES);
        EXPECT_SLOT(n, instance_lines, N_INSTANCE_BODY);
    };
    checks[N_INSTANCE_BODY] = [](const Node* n) {
        EXPECT_SLOT(n, declaration, N_TIMER, N_HASH_LINE, N_AT_LINE, N_EMPTY);
        EXPECT_SLOT(n, next_line, kNull, N_INSTANCE_BODY);
    };
    checks[N_BODY_ITEM] = [](const Node* n) {
        EXPECT_SLOT(n, head, N_STATEMENT, N_INSTANCE_HEADER);
        EXPECT_SLOT(n, instance_lines, kNull, N_INSTANCE_STATEMENTS);
        EXPECT_SLOT(n, next_line, kNull, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_BODY_HASH_ITEM] = [](const Node* n) {
        EXPECT_SLOT(n, head, N_HASH_LINES, N_INSTANCE_HEADER);
        EXPECT_SLOT(n, instance_lines, kNull, N_HASH_LINES);
        EXPECT_SLOT(n, next_line, kNull, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_BLOCK_STATEMENTS] = [](const Node* n) {
        EXPECT_SLOT(n, head, N_STATEMENT, N_INSTANCE_HEADER);
        EXPECT_SLOT(n, instance_lines, kNull, N_INSTANCE_STATEMENTS);
        EXPECT_SLOT(n, next_line, kNull, N_BLOCK_STATEMENTS);
    };
    checks[N_PROC] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, parameters, kNull, N_PROC_PARAMS);
        EXPECT_SLOT(n, body, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_PROC_PARAM] = [](const Node* n) {
        EXPECT_SLOT(n, type_name, N_IDENT);
        EXPECT_SLOT(n, parameter_name, N_IDENT);
    };
    checks[N_CALLBACK] = checks[N_VIRTUAL_CALLBACK] = [](const Node* n) {
        EXPECT_SLOT(n, head, N_CALLBACK_HEAD);
        EXPECT_SLOT(n, on_part, N_CALLBACK_ON);
        EXPECT_SLOT(n, body, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_PROCSEND] = checks[N_VIRTUAL_PROCSEND] = [](const Node* n) {
        EXPECT_SLOT(n, head, N_PROCSEND_HEAD);
        EXPECT_SLOT(n, on_part, N_PROCSEND_ON);
        EXPECT_SLOT(n, body, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_CALLBACK_ON] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, second_name, N_IDENT);
        EXPECT_SLOT(n, bracketed_name, kNull, N_IDENT);
    };
    checks[N_CALLBACK_HEAD] = checks[N_PROCSEND_HEAD] = checks[N_PROCSEND_ON] = checks[N_SEND_ARGS] =
        [](const Node* n) {
            EXPECT_SLOT(n, name, N_IDENT);
            EXPECT_SLOT(n, second_name, N_IDENT);
        };
    checks[N_COMMTYPE] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, second_name, N_IDENT);
        EXPECT_SLOT(n, properties, kNull, N_PROPERTIES);
    };
    checks[N_CATCH] = [](const Node* n) {
        EXPECT_SLOT(n, name, kNull, N_IDENT);
        EXPECT_SLOT(n, handler, N_IDENT);
    };
    checks[N_TRIGGER] = [](const Node* n) { EXPECT_SLOT(n, name_list, N_TRIGGER_NAMES); };
    checks[N_CHANNEL] = [](const Node* n) { EXPECT_SLOT(n, name_list, N_CHANNEL_LIST); };
    checks[N_MESSAGE] = [](const Node* n) { EXPECT_SLOT(n, name_list, N_MESSAGE_LIST); };
    checks[N_FORMAT] = [](const Node* n) {
        EXPECT_SLOT(n, format_head, N_FORMAT_HEAD);
        EXPECT_SLOT(n, value, N_EXPRESSION);
    };
    for (int kind : {N_TIMER, N_RESET, N_RENDEZVOUS, N_SHARE, N_ENABLE_CLEANUP, N_DISABLE_CLEANUP})
        checks[kind] = [](const Node* n) { EXPECT_SLOT(n, name, N_IDENT); };
    for (int kind : {N_MATCHING, N_MATCHED, N_NOTMATCHING, N_NOTMATCHED})
        checks[kind] = [](const Node* n) {
            EXPECT_SLOT(n, name, N_IDENT);
            EXPECT_SLOT(n, second_name, kNull, N_IDENT);
        };

    checks[N_SCENARIO] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, scenario_body, N_SCENARIO_BODY);
    };
    checks[N_SCENARIO_BODY] = [](const Node* n) {
        EXPECT_SLOT(n, loop_count, kNull, N_CONSTANT);
        EXPECT_SLOT(n, family, N_FAMILY, N_EMPTY);
        EXPECT_SLOT(n, content, N_SCENARIO_ITEMS, N_BODY_ITEM, N_BODY_HASH_ITEM);
    };
    checks[N_FAMILY] = [](const Node* n) { EXPECT_SLOT(n, names, N_FAMILY_NAMES); };
    checks[N_INITIALIZATION] = checks[N_TERMINATION] = checks[N_EXCEPTION] = [](const Node* n) {
        if (n->name()) {
            EXPECT_SLOT(n, name, N_IDENT);
            EXPECT_SLOT(n, block, kNull);
            EXPECT_SLOT(n, procedure_arguments, N_CALL_ARGS);
        } else {
            EXPECT_SLOT(n, block, N_BODY_ITEM, N_BODY_HASH_ITEM);
            EXPECT_SLOT(n, block_start, N_BLOCK_START);
        }
    };

    checks[N_STATEMENT] = [](const Node* n) {
        EXPECT_SLOT(n, filter, kNull, N_FILTER, N_DOUBLE_FILTER);
        EXPECT_NE(n->instruction(), nullptr);
    };
    checks[N_CALL] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, arguments, N_CALL_ARGS);
        EXPECT_SLOT(n, call_result, kNull, N_CALL_RESULT);
    };
    checks[N_ARG] = checks[N_REF] = [](const Node* n) { EXPECT_SLOT(n, argument_value, N_ARG_VALUE); };
    checks[N_ARG_VALUE] = [](const Node* n) {
        EXPECT_SLOT(n, expression, N_EXPRESSION);
        EXPECT_SLOT(n, second_expression, kNull, N_EXPRESSION);
        EXPECT_SLOT(n, third_expression, kNull, N_EXPRESSION);
    };
    checks[N_SEND] = [](const Node* n) { EXPECT_SLOT(n, send_arguments, N_SEND_ARGS); };
    checks[N_INTERSEND] = [](const Node* n) { EXPECT_SLOT(n, send_arguments, N_INTERSEND_ARGS); };
    checks[N_INTERRECV] = [](const Node* n) { EXPECT_SLOT(n, send_arguments, N_INTERRECV_ARGS); };
    for (int kind : {N_FD_ADD, N_ADD_ID, N_INTERSEND_ARGS})
        checks[kind] = [](const Node* n) {
            EXPECT_SLOT(n, expression, N_EXPRESSION);
            EXPECT_SLOT(n, second_expression, N_EXPRESSION);
        };
    checks[N_WAITTIL] = [](const Node* n) {
        EXPECT_SLOT(n, condition, N_EXPRESSION);
        EXPECT_SLOT(n, failure_condition, N_EXPRESSION);
    };
    checks[N_CALL_RESULT] = checks[N_INTERRECV_ARGS] = [](const Node* n) {
        EXPECT_SLOT(n, expression, N_EXPRESSION);
        EXPECT_SLOT(n, second_expression, kNull, N_EXPRESSION);
    };
    for (int kind : {N_FD_DEL, N_CLEAR_ID, N_PAUSE})
        checks[kind] = [](const Node* n) { EXPECT_SLOT(n, expression, N_EXPRESSION); };
    checks[N_DEF_TRIGGER] = [](const Node* n) {
        EXPECT_SLOT(n, expression, N_EXPRESSION);
        EXPECT_SLOT(n, arguments, N_TRIGGER_ARGS);
    };
    checks[N_VAR] = [](const Node* n) {
        EXPECT_SLOT(n, expression, N_EXPRESSION);
        EXPECT_SLOT(n, value, N_INIT_VALUE, N_EXPECTED_VALUE, N_EV_EQUALS);
    };
    checks[N_DEF_MESSAGE] = [](const Node* n) {
        EXPECT_SLOT(n, expression, N_EXPRESSION);
        EXPECT_SLOT(n, value, N_EXPECTED_VALUE);
    };
    checks[N_PRINT] = [](const Node* n) {
        EXPECT_SLOT(n, name, N_IDENT);
        EXPECT_SLOT(n, value, N_EXPRESSION);
    };
    checks[N_SET] = checks[N_UNSET] = [](const Node* n) { EXPECT_SLOT(n, letters, N_STRING); };
    checks[N_IF] = [](const Node* n) {
        EXPECT_SLOT(n, condition, N_EXPRESSION);
        EXPECT_SLOT(n, then_block, N_BLOCK_STATEMENTS);
        EXPECT_SLOT(n, else_part, N_ELSE, N_EMPTY);
    };
    checks[N_ELSE] = [](const Node* n) { EXPECT_SLOT(n, else_block, N_BLOCK_STATEMENTS); };
    checks[N_WHILE] = [](const Node* n) {
        EXPECT_SLOT(n, condition, N_EXPRESSION);
        EXPECT_SLOT(n, block, N_BLOCK_STATEMENTS);
    };
    checks[N_CASE] = [](const Node* n) {
        EXPECT_SLOT(n, condition, N_EXPRESSION);
        EXPECT_SLOT(n, when_blocks, N_WHEN_BLOCKS);
    };
    checks[N_WHEN_BLOCK] = [](const Node* n) {
        EXPECT_SLOT(n, labels, N_WHEN_LABELS);
        EXPECT_SLOT(n, block, N_BLOCK_STATEMENTS);
    };
    return checks;
}

TEST(SyntaxTree, NamedAccessorsFollowTheNodeTable) {
    const auto checks = shape_checks();
    std::set<int> checked;
    ::setenv("ZV_TEST_VERSION", "1.2", 1);
    for (const char* name : {"declarations", "statements", "scenarios", "trigger"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(ZV_SOURCE_DIR) + "/tests/cases/script_tree_" + name + "/script.zod";
        const test::Parsed parsed = parse_file(path, {}, true, false);
        ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
        for (const Node* node : nodes_of(parsed.result.root, -1)) {
            const auto check = checks.find(node->kind);
            if (check == checks.end()) {
                // Kinds without a check are leaves.
                EXPECT_EQ(node->first_child(), nullptr) << node_kind_name(node->kind);
                continue;
            }
            check->second(node);
            checked.insert(node->kind);
        }
    }
    // Every kind with a check was met at least once.
    for (const auto& [kind, check] : checks) EXPECT_EQ(checked.count(kind), 1u) << node_kind_name(kind);
}

// A script whose one scenario holds `statements`.
std::string script(const std::string& statements) { return header() + "SCENARIO s\n" + statements + "END SCENARIO\n"; }

TEST(ScriptParser, ExpressionPiecesAroundMatchingCalls) {
    ScratchDir dir;
    dir.write("s.zod", script("WAITTIL ((MATCHED(a)), x > 1)\n"
                              "WAITTIL (MATCHING(ev, L1) && NOTMATCHED(e2), WTIME > 200)\n"
                              "PAUSE \t 5 \t\n"
                              "PRINT p, \t\n"));
    const test::Parsed parsed = parse_file("s.zod");
    ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
    const auto waits = nodes_of(parsed.result.root, N_WAITTIL);
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_EQ(pieces(waits[0]->condition()), "\"(\" N_MATCHED(a) \")\"");
    EXPECT_EQ(pieces(waits[0]->failure_condition()), "\"x > 1\"");
    // The text before a call at the start of the expression is empty.
    EXPECT_EQ(pieces(waits[1]->condition()), "_ N_MATCHING(ev,L1) \"&&\" N_NOTMATCHED(e2) _");
    EXPECT_EQ(pieces(waits[1]->failure_condition()), "\"WTIME > 200\"");
    // Blanks and tabs go at both ends; an expression of blanks is empty.
    EXPECT_EQ(pieces(nodes_of(parsed.result.root, N_PAUSE)[0]->expression()), "\"5\"");
    EXPECT_EQ(pieces(nodes_of(parsed.result.root, N_PRINT)[0]->value()), "_");
    EXPECT_TRUE(is_empty_expression(nodes_of(parsed.result.root, N_PRINT)[0]->value()));
}

TEST(ScriptParser, CommentStatementsKeepTheirFilterWithoutTheNode) {
    ScratchDir dir;
    dir.write("s.zod", script("%AB COMMENT  spaced -- text\n%%C COMMENT(x)\n"));
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        const test::Parsed parsed = parse_file("s.zod", {}, keep);
        ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
        const auto statements = nodes_of(parsed.result.root, N_STATEMENT);
        ASSERT_EQ(statements.size(), 2u);
        EXPECT_EQ(statements[0]->filter()->kind, N_FILTER);
        EXPECT_STREQ(statements[0]->filter()->text, "AB");
        EXPECT_EQ(statements[1]->filter()->kind, N_DOUBLE_FILTER);
        EXPECT_STREQ(statements[1]->filter()->text, "%C");
        if (keep) {
            EXPECT_STREQ(statements[0]->instruction()->text, " spaced -- text");
            EXPECT_STREQ(statements[1]->instruction()->text, "x)");
        } else {
            EXPECT_EQ(statements[0]->instruction(), nullptr);
            EXPECT_EQ(statements[1]->instruction(), nullptr);
        }
    }
}

TEST(ScriptParser, NativeExpressionLineAfterAnEmptyContinuationLine) {
    // The expression ends at the line break of the "&" line: it is built on
    // that line, as it is when the continuation line holds text.
    ScratchDir dir;
    dir.write("s.zod", script("PAUSE zz\n&\nPAUSE yy +\n& 1\nEXIT\n"));
    const test::Parsed parsed = parse_file("s.zod");
    ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
    const auto texts = nodes_of(parsed.result.root, N_NATIVE_EXPR);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_STREQ(texts[0]->text, "zz");
    EXPECT_EQ(texts[0]->line, 5);
    EXPECT_STREQ(texts[1]->text, "yy + 1");
    EXPECT_EQ(texts[1]->line, 7);
    EXPECT_EQ(nodes_of(parsed.result.root, N_EXIT)[0]->line, 8);
}

TEST(ScriptParser, NodesCarryTheFileTheyWereReadFrom) {
    ScratchDir dir;
    dir.write("main.zod", "HEADER \"a\", \"b\", \"c\"\nTIMER m1\nINCLUDE \"one.zod\"\nTIMER m2\n"
                          "SCENARIO s\nEXIT\nEND SCENARIO\n");
    dir.write("inc/one.zod", "\n\nTIMER o1\nINCLUDE \"two.zod\"\nTIMER o2\n");
    dir.write("inc/two.zod", "TIMER w1\nINCLUDE \"main2.zod\"\n");
    dir.write("main2.zod", "-- found in the working directory first\nTIMER z1");
    const test::Parsed parsed = parse_file("main.zod", {"inc"});
    ASSERT_EQ(parsed.errors, 1u) << parsed.messages;  // "TIMER z1" runs into "TIMER o2"
    EXPECT_NE(parsed.messages.find("Zolmex-E-UNEXPTIMR,  [inc/one.zod:5] "), std::string::npos) << parsed.messages;

    dir.write("main2.zod", "TIMER z1\n");
    const test::Parsed clean = parse_file("main.zod", {"inc"});
    ASSERT_EQ(clean.errors, 0u) << clean.messages;
    std::string seen;
    for (const Node* timer : nodes_of(clean.result.root, N_TIMER)) {
        const Node* name = timer->name();
        seen += std::string(name->text) + '@' + name->file + ':' + std::to_string(name->line) + '#' +
                std::to_string(name->file_index) + ' ';
    }
    EXPECT_EQ(seen, "m1@main.zod:2#1 o1@inc/one.zod:3#2 w1@inc/two.zod:1#3 z1@main2.zod:1#4 o2@inc/one.zod:5#2 "
                    "m2@main.zod:4#1 ");
    // Newest first.
    ASSERT_EQ(clean.result.files.size(), 4u);
    EXPECT_EQ(clean.result.files[0].name, "main2.zod");
    EXPECT_EQ(clean.result.files[3].name, "main.zod");
    EXPECT_EQ(clean.result.files[1].base_name, "two.zod");
    EXPECT_EQ(clean.result.files[1].directory, dir.path() + "/inc");
}

}  // namespace
}  // namespace zv
