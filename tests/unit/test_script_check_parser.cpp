// Independent checks of the parser's trees: native-expression pieces around
// matching calls, trimming, comments without -NOCOMMENT's node, and the lines
// that nodes carry around continuation lines and include files.
#include "test_script_support.h"

#include <vector>

namespace zv {
namespace {

using test::parse_file;
using test::ScratchDir;

// Nodes of `kind` in pre-order (child 1, 2, 3), without recursion.
std::vector<const Node*> nodes_of(const Node* root, int kind) {
    std::vector<const Node*> found, stack{root};
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (!node) continue;
        if (node->kind == kind) found.push_back(node);
        stack.push_back(node->child3);
        stack.push_back(node->child2);
        stack.push_back(node->child1);
    }
    return found;
}

// The pieces of an expression chain: native texts quoted, empty pieces as
// "_", matching calls with their names.
std::string pieces(const Node* expression) {
    std::string out;
    for (const Node* link = expression; link; link = link->child2) {
        EXPECT_EQ(link->kind, N_EXPRESSION);
        const Node* piece = link->child1;
        if (!out.empty()) out += ' ';
        if (piece->kind == N_EMPTY) {
            out += '_';
        } else if (piece->kind == N_NATIVE_EXPR) {
            out += quoted_text(piece->text);
        } else {
            out += node_kind_name(piece->kind);
            out += '(' + std::string(piece->child1->text);
            if (piece->child2) out += ',' + std::string(piece->child2->text);
            out += ')';
        }
    }
    return out;
}

std::string script(const std::string& statements) {
    return "HEADER \"a\", \"b\", \"c\"\nTIMER t\nSCENARIO s\n" + statements + "END SCENARIO\n";
}

TEST(ScriptParserCheck, ExpressionPiecesAroundMatchingCalls) {
    ScratchDir dir;
    dir.write("s.zod", script("WAITTIL ((MATCHED(a)), x > 1)\n"
                              "WAITTIL (MATCHING(ev, L1) && NOTMATCHED(e2), WTIME > 200)\n"
                              "PAUSE \t 5 \t\n"
                              "PRINT p, \t\n"));
    const test::Parsed parsed = parse_file("s.zod");
    ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
    const auto waits = nodes_of(parsed.result.root, N_WAITTIL);
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_EQ(pieces(waits[0]->child1), "\"(\" N_MATCHED(a) \")\"");
    EXPECT_EQ(pieces(waits[0]->child2), "\"x > 1\"");
    // The text before a call at the start of the expression is empty.
    EXPECT_EQ(pieces(waits[1]->child1), "_ N_MATCHING(ev,L1) \"&&\" N_NOTMATCHED(e2) _");
    EXPECT_EQ(pieces(waits[1]->child2), "\"WTIME > 200\"");
    // Blanks and tabs go at both ends; an expression of blanks is empty.
    EXPECT_EQ(pieces(nodes_of(parsed.result.root, N_PAUSE)[0]->child1), "\"5\"");
    EXPECT_EQ(pieces(nodes_of(parsed.result.root, N_PRINT)[0]->child2), "_");
    EXPECT_TRUE(is_empty_expression(nodes_of(parsed.result.root, N_PRINT)[0]->child2));
}

TEST(ScriptParserCheck, CommentStatementsKeepTheirFilterWithoutTheNode) {
    ScratchDir dir;
    dir.write("s.zod", script("%AB COMMENT  spaced -- text\n%%C COMMENT(x)\n"));
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        const test::Parsed parsed = parse_file("s.zod", {}, keep);
        ASSERT_EQ(parsed.errors, 0u) << parsed.messages;
        const auto statements = nodes_of(parsed.result.root, N_STATEMENT);
        ASSERT_EQ(statements.size(), 2u);
        EXPECT_EQ(statements[0]->child1->kind, N_FILTER);
        EXPECT_STREQ(statements[0]->child1->text, "AB");
        EXPECT_EQ(statements[1]->child1->kind, N_DOUBLE_FILTER);
        EXPECT_STREQ(statements[1]->child1->text, "%C");
        if (keep) {
            EXPECT_STREQ(statements[0]->child2->text, " spaced -- text");
            EXPECT_STREQ(statements[1]->child2->text, "x)");
        } else {
            EXPECT_EQ(statements[0]->child2, nullptr);
            EXPECT_EQ(statements[1]->child2, nullptr);
        }
    }
}

TEST(ScriptParserCheck, NativeExpressionLineAfterAnEmptyContinuationLine) {
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

TEST(ScriptParserCheck, NodesCarryTheFileTheyWereReadFrom) {
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
        const Node* name = timer->child1;
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
