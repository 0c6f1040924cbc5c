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
    {T_NEWLINE, "NEWLINE", Code::UNEXPTRET}, {T_LPAREN, "LPAREN", Code::UNEXPLPAR},
    {T_RPAREN, "RPAREN", Code::UNEXPRPAR}, {T_LBRACKET, "LBRACKET", Code::UNEXPLBRA},
    {T_RBRACKET, "RBRACKET", Code::UNEXPRBRA}, {T_ARROW, "ARROW", Code::UNEXPARRW},
    {T_COMMA, "COMMA", Code::UNEXPCOMM}, {T_AT, "AT", Code::UNEXPAROB}, {T_COLON, "COLON", Code::UNEXPCOLN},
    {T_SEMICOLON, "SEMICOLON", Code::UNEXPSEMI}, {T_ELLIPSIS, "ELLIPSIS", Code::UNEXPALLC},
    {T_NUMBER, "NUMBER", Code::UNEXPDECM}, {T_STRING, "STRING", Code::UNEXPSTRG},
    {T_CHAR_CONST, "CHAR_CONST", Code::UNEXPTCAR}, {T_ENV_VAR, "ENV_VAR", Code::UNEXPENVV},
    {T_IDENT, "IDENT", Code::UNEXPIDNT}, {T_QUALIFIED_IDENT, "QUALIFIED_IDENT", Code::UNEXPIDWH},
    {T_HASH_LINE, "HASH_LINE", Code::UNEXPNIAN}, {T_AT_LINE, "AT_LINE", Code::UNEXPNIAN},
    {T_FILTER, "FILTER", Code::UNEXPFILT}, {T_DOUBLE_FILTER, "DOUBLE_FILTER", Code::UNEXPFILT},
    {T_COMMENT, "COMMENT", Code::UNEXPCMMT}, {T_FORMAT, "FORMAT", Code::UNEXPFRMT},
    {T_INIT_VALUE, "INIT_VALUE", Code::UNEXPVARI}, {T_EXPECTED_VALUE, "EXPECTED_VALUE", Code::UNEXPVARV},
    {T_EV_EQUALS, "EV_EQUALS", Code::UNEXPVARV}, {T_UNKNOWN_CHAR, "UNKNOWN_CHAR", Code::LEXSEQUNK},
    {T_NATIVE_EXPR, "NATIVE_EXPR", Code::UNEXPEXPR}, {T_MATCHING, "MATCHING", Code::UNEXMATIG},
    {T_MATCHED, "MATCHED", Code::UNEXMATED}, {T_NOTMATCHING, "NOTMATCHING", Code::UNEXNMTIG},
    {T_NOTMATCHED, "NOTMATCHED", Code::UNEXNMTED}, {T_MATCH_COMMA, "MATCH_COMMA", Code::UNEXPCOMM},
    {T_MATCH_RPAREN, "MATCH_RPAREN", Code::UNEXPRPAR},
    {T_ADD_ID, "ADD_ID", Code::UNEXPADDI}, {T_CALL, "CALL", Code::UNEXPCALL},
    {T_CALLBACK, "CALLBACK", Code::UNEXPCLBK}, {T_CASE, "CASE", Code::UNEXPCASE},
    {T_CATCH, "CATCH", Code::UNEXPCATC}, {T_CHANNEL, "CHANNEL", Code::UNEXPCHAN},
    {T_CLEAR_ID, "CLEAR_ID", Code::UNEXPCLRI}, {T_COMMTYPE, "COMMTYPE", Code::UNEXPCMTY},
    {T_DECLARE_INSTANCE, "DECLARE_INSTANCE", Code::UNEXPIDCL}, {T_DEF_MESSAGE, "DEF_MESSAGE", Code::UNEXPDFMS},
    {T_DEF_TRIGGER, "DEF_TRIGGER", Code::UNEXPDFTR}, {T_DISABLE_CLEANUP, "DISABLE_CLEANUP", Code::UNEXPDISC},
    {T_ELSE, "ELSE", Code::UNEXPELSE}, {T_ENABLE_CLEANUP, "ENABLE_CLEANUP", Code::UNEXPENAC},
    {T_END, "END", Code::UNEXPTEND}, {T_ERROR, "ERROR", Code::UNEXPERRR},
    {T_EXCEPTION, "EXCEPTION", Code::UNEXPEXCP}, {T_EXIT, "EXIT", Code::UNEXPEXIT},
    {T_FAMILY, "FAMILY", Code::UNEXPFAML}, {T_FD_ADD, "FD_ADD", Code::UNEXPFDAD},
    {T_FD_DEL, "FD_DEL", Code::UNEXPFDDE}, {T_FLUSH_TRACE, "FLUSH_TRACE", Code::UNEXPFTRC},
    {T_HEADER, "HEADER", Code::UNEXPHEAD}, {T_IF, "IF", Code::UNEXPTKIF},
    {T_INCLUDE, "INCLUDE", Code::UNEXPINCL}, {T_INITIALIZATION, "INITIALIZATION", Code::UNEXPINTZ},
    {T_INSTANCE, "INSTANCE", Code::UNEXPIST}, {T_INTERRECV, "INTERRECV", Code::UNEXPIRCV},
    {T_INTERSEND, "INTERSEND", Code::UNEXPISND}, {T_IS, "IS", Code::UNEXPTKIS},
    {T_LOOP, "LOOP", Code::UNEXPLOOP}, {T_MESSAGE, "MESSAGE", Code::UNEXPMSGE},
    {T_MESSAGE_DATE, "MESSAGE_DATE", Code::UNEXPMSDT}, {T_MULTIPLEXING, "MULTIPLEXING", Code::UNEXPMULT},
    {T_NO_MESSAGE, "NO_MESSAGE", Code::UNEXPNOMS}, {T_ON, "ON", Code::UNEXPCBON},
    {T_OTHERS, "OTHERS", Code::UNEXPOTHR}, {T_PAUSE, "PAUSE", Code::UNEXPAUSE},
    {T_PRINT, "PRINT", Code::UNEXPRINT}, {T_PROC, "PROC", Code::UNEXPPROC},
    {T_PROCSEND, "PROCSEND", Code::UNEXPPSND}, {T_REF, "REF", Code::UNEXPTREF},
    {T_RENDEZVOUS, "RENDEZVOUS", Code::UNEXPTRDV}, {T_RESET, "RESET", Code::UNEXPREST},
    {T_SCENARIO, "SCENARIO", Code::UNEXPSCEN}, {T_SEND, "SEND", Code::UNEXPSND},
    {T_SET, "SET", Code::UNEXPTSET}, {T_SHARE, "SHARE", Code::UNEXPSHAR},
    {T_TERMINATION, "TERMINATION", Code::UNEXPTERM}, {T_THEN, "THEN", Code::UNEXPTHEN},
    {T_TIMEOUT, "TIMEOUT", Code::UNEXPTOUT}, {T_TIMER, "TIMER", Code::UNEXPTIMR},
    {T_TRACE_OFF, "TRACE_OFF", Code::UNEXPTROF}, {T_TRACE_ON, "TRACE_ON", Code::UNEXPTRON},
    {T_TRIGGER, "TRIGGER", Code::UNEXPTRIG}, {T_UNSET, "UNSET", Code::UNEXPUNST},
    {T_VAR, "VAR", Code::UNEXPTVAR}, {T_VIRTUALCALLBACK, "VIRTUALCALLBACK", std::nullopt},
    {T_VIRTUALPROCSEND, "VIRTUALPROCSEND", std::nullopt}, {T_WAITTIL, "WAITTIL", Code::UNEXPWAIT},
    {T_WHEN, "WHEN", Code::UNEXPWHEN}, {T_WHILE, "WHILE", Code::UNEXPWHIL}, {T_WITH, "WITH", Code::UNEXPWITH},
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

Node* ParseState::text_node(int kind, std::size_t skip, std::size_t drop) {
    std::string_view text = lexer.text();
    text.remove_prefix(skip < text.size() ? skip : text.size());
    text.remove_suffix(drop < text.size() ? drop : text.size());
    return tree.new_node(kind, nullptr, nullptr, nullptr, text, lexer.position());
}

Node* ParseState::native_piece() {
    std::string_view text = lexer.text();
    if (!text.empty()) text.remove_suffix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    if (text.empty()) return node(N_EMPTY);
    return tree.new_node(N_NATIVE_EXPR, nullptr, nullptr, nullptr, text, lexer.position());
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

ParseResult parse_script(const std::string& path, const std::vector<std::string>& include_dirs, bool keep_comments) {
    ParseResult result;
    result.tree = std::make_unique<SyntaxTree>();
    ScriptLexer lexer(include_dirs);
    if (!lexer.open_main(path)) reportFatalText(Code::FICNOTOPN, path.c_str());

    ParseState state{lexer, *result.tree, keep_comments, nullptr, 0, {}};
    run_parser(state);
    result.comm_model = lexer.comm_model();
    result.files = lexer.take_files();
    result.root = state.root;

    // One implicit outermost scenario holds every scenario item.
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
    return result;
}

}  // namespace zv
