#include "script/parse_script.h"

#include "diagnostics/report.h"
#include "script/lexer.h"
#include "script/parse_state.h"
#include "script_parser.hpp"

#include <optional>
#include <string>

namespace zv {

namespace {

// Token name and the code reported when it is unexpected.
struct TokenInfo {
    int token;
    const char* name;
    std::optional<Code> code;
};

const TokenInfo kTokens[] = {
#define ZV_TOKEN(name, code) {T_##name, #name, Code::code},
#define ZV_KEYWORD(name, code, effects) {T_##name, #name, Code::code},
#define ZV_KEYWORD_WITHOUT_CODE(name, effects) {T_##name, #name, std::nullopt},
#include "script/tokens.def"
#undef ZV_TOKEN
#undef ZV_KEYWORD
#undef ZV_KEYWORD_WITHOUT_CODE
};

const TokenInfo* find_token(int token) {
    for (const TokenInfo& info : kTokens) {
        if (info.token == token) return &info;
    }
    return nullptr;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

const char* token_name(int token) {
    if (token == 0) return "END_OF_INPUT";
    const TokenInfo* info = find_token(token);
    return info ? info->name : "?";
}

std::optional<Code> token_code(int token) {
    const TokenInfo* info = find_token(token);
    return info ? info->code : std::nullopt;
}

Node* ParseState::text_node(const Position& start, int kind, std::size_t skip, std::size_t drop) {
    std::string_view text = lexer.text();
    text.remove_prefix(skip < text.size() ? skip : text.size());
    text.remove_suffix(drop < text.size() ? drop : text.size());
    return tree.new_node(kind, nullptr, nullptr, nullptr, text, lexer.position(), start);
}

Node* ParseState::native_piece(const Position& start) {
    std::string_view text = lexer.text();
    if (!text.empty()) text.remove_suffix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    if (text.empty()) return node(start, N_EMPTY);
    return tree.new_node(N_NATIVE_EXPR, nullptr, nullptr, nullptr, text, lexer.position(), start);
}

Node* ParseState::outer_item(Node* item) {
    if (!sink || scenario_depth != 0 || sink_stopped) return item;
    if (errorCount() != errors_before) {
        sink_stopped = true;
        return item;
    }
    if (!sink_open) {
        // The first item's nodes are mixed with the declarations': they are
        // kept with them.
        tree.keep_nodes_made();
        sink->opening(header, declarations, lexer.comm_model(), tree);
        sink_open = true;
    }
    if (item) sink->item(item, tree.node_count());
    return item;
}

void ParseState::report_syntax_error() {
    const Position here = lexer.position();
    if (lexer.last_read_was_end()) {
        reportAtText(Severity::Error, Code::UNEXPTEOF, "", here.file, here.line);
        return;
    }
    const std::optional<Code> code = token_code(last_token);
    if (!code) {
        reportAtText(Severity::Internal, Code::STXNOMESS, std::to_string(last_token).c_str(), here.file, here.line);
        return;
    }
    reportAtText(Severity::Error, *code, "", here.file, here.line);
}

namespace {

// What the parse leaves besides the tree: the files, the communication model,
// and one implicit outermost scenario that holds every scenario item.
void finish_parse(ParseResult& result, ParseState& state, ScriptLexer& lexer) {
    result.comm_model = lexer.comm_model();
    result.files = lexer.take_files();
    result.root = state.root;
    if (result.root && result.root->child3) {
        SyntaxTree& tree = *result.tree;
        const Position here = lexer.position();
        Node* name = tree.new_node(N_IDENT, nullptr, nullptr, nullptr, std::string_view(), here);
        Node* empty = tree.new_node(N_EMPTY, nullptr, nullptr, nullptr, static_cast<const char*>(nullptr), here);
        Node* body = tree.new_node(N_SCENARIO_BODY, nullptr, empty, result.root->child3, static_cast<const char*>(nullptr), here);
        Node* scenario = tree.new_node(N_SCENARIO, name, body, nullptr, static_cast<const char*>(nullptr), here);
        result.root->child3 =
            tree.new_node(N_SCENARIO_ITEMS, scenario, nullptr, nullptr, static_cast<const char*>(nullptr), here);
    }
}

}  // namespace

ParseResult parse_script(const std::string& path, const std::vector<std::string>& include_dirs, bool keep_comments,
                         OuterItemSink* sink) {
    ParseResult result;
    result.tree = std::make_unique<SyntaxTree>();
    ScriptLexer lexer(include_dirs);
    if (!lexer.open_main(path)) reportFatalText(Code::FICNOTOPN, path.c_str());

    ParseState state{lexer, *result.tree, keep_comments, nullptr, 0, {}, {}};
    state.sink = sink;
    state.errors_before = errorCount();
    // The sink stops using the tree before a failure takes it away.
    try {
        run_parser(state);
        finish_parse(result, state, lexer);
    } catch (...) {
        if (sink) sink->abandon();
        throw;
    }
    return result;
}

}  // namespace zv
