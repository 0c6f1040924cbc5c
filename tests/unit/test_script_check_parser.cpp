// Independent checks of the parser's trees: native-expression pieces around
// matching calls, trimming, comments without -NOCOMMENT's node, and the lines
// that nodes carry around continuation lines and include files; the named
// child accessors against the node table.
#include "test_script_support.h"

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace zv {
namespace {

using test::parse_file;
using test::ScratchDir;

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

// ---------------------------------------------------------------- named accessors

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

TEST(ScriptParserCheck, NamedAccessorsFollowTheNodeTable) {
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

TEST(ScriptParserCheck, CommentStatementsKeepTheirFilterWithoutTheNode) {
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
