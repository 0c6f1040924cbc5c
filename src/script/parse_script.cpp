#include "script/parse_script.h"

#include "diagnostics/report.h"
#include "script/lexer.h"
#include "script/parse_state.h"
#include "script_parser.hpp"

#include <string>

namespace zv {

namespace {

// Token name and the code reported when it is unexpected.
struct TokenInfo {
    int token;
    const char* name;
    const char* code;
};

const TokenInfo kTokens[] = {
    {T_NEWLINE, "NEWLINE", "UNEXPTRET"}, {T_LPAREN, "LPAREN", "UNEXPLPAR"},
    {T_RPAREN, "RPAREN", "UNEXPRPAR"}, {T_LBRACKET, "LBRACKET", "UNEXPLBRA"},
    {T_RBRACKET, "RBRACKET", "UNEXPRBRA"}, {T_ARROW, "ARROW", "UNEXPARRW"},
    {T_COMMA, "COMMA", "UNEXPCOMM"}, {T_AT, "AT", "UNEXPAROB"}, {T_COLON, "COLON", "UNEXPCOLN"},
    {T_SEMICOLON, "SEMICOLON", "UNEXPSEMI"}, {T_ELLIPSIS, "ELLIPSIS", "UNEXPALLC"},
    {T_NUMBER, "NUMBER", "UNEXPDECM"}, {T_STRING, "STRING", "UNEXPSTRG"},
    {T_CHAR_CONST, "CHAR_CONST", "UNEXPTCAR"}, {T_ENV_VAR, "ENV_VAR", "UNEXPENVV"},
    {T_IDENT, "IDENT", "UNEXPIDNT"}, {T_QUALIFIED_IDENT, "QUALIFIED_IDENT", "UNEXPIDWH"},
    {T_HASH_LINE, "HASH_LINE", "UNEXPNIAN"}, {T_AT_LINE, "AT_LINE", "UNEXPNIAN"},
    {T_FILTER, "FILTER", "UNEXPFILT"}, {T_DOUBLE_FILTER, "DOUBLE_FILTER", "UNEXPFILT"},
    {T_COMMENT, "COMMENT", "UNEXPCMMT"}, {T_FORMAT, "FORMAT", "UNEXPFRMT"},
    {T_INIT_VALUE, "INIT_VALUE", "UNEXPVARI"}, {T_EXPECTED_VALUE, "EXPECTED_VALUE", "UNEXPVARV"},
    {T_EV_EQUALS, "EV_EQUALS", "UNEXPVARV"}, {T_UNKNOWN_CHAR, "UNKNOWN_CHAR", "LEXSEQUNK"},
    {T_NATIVE_EXPR, "NATIVE_EXPR", "UNEXPEXPR"}, {T_MATCHING, "MATCHING", "UNEXMATIG"},
    {T_MATCHED, "MATCHED", "UNEXMATED"}, {T_NOTMATCHING, "NOTMATCHING", "UNEXNMTIG"},
    {T_NOTMATCHED, "NOTMATCHED", "UNEXNMTED"}, {T_MATCH_COMMA, "MATCH_COMMA", "UNEXPCOMM"},
    {T_MATCH_RPAREN, "MATCH_RPAREN", "UNEXPRPAR"},
    {T_ADD_ID, "ADD_ID", "UNEXPADDI"}, {T_CALL, "CALL", "UNEXPCALL"},
    {T_CALLBACK, "CALLBACK", "UNEXPCLBK"}, {T_CASE, "CASE", "UNEXPCASE"},
    {T_CATCH, "CATCH", "UNEXPCATC"}, {T_CHANNEL, "CHANNEL", "UNEXPCHAN"},
    {T_CLEAR_ID, "CLEAR_ID", "UNEXPCLRI"}, {T_COMMTYPE, "COMMTYPE", "UNEXPCMTY"},
    {T_DECLARE_INSTANCE, "DECLARE_INSTANCE", "UNEXPIDCL"}, {T_DEF_MESSAGE, "DEF_MESSAGE", "UNEXPDFMS"},
    {T_DEF_TRIGGER, "DEF_TRIGGER", "UNEXPDFTR"}, {T_DISABLE_CLEANUP, "DISABLE_CLEANUP", "UNEXPDISC"},
    {T_ELSE, "ELSE", "UNEXPELSE"}, {T_ENABLE_CLEANUP, "ENABLE_CLEANUP", "UNEXPENAC"},
    {T_END, "END", "UNEXPTEND"}, {T_ERROR, "ERROR", "UNEXPERRR"},
    {T_EXCEPTION, "EXCEPTION", "UNEXPEXCP"}, {T_EXIT, "EXIT", "UNEXPEXIT"},
    {T_FAMILY, "FAMILY", "UNEXPFAML"}, {T_FD_ADD, "FD_ADD", "UNEXPFDAD"},
    {T_FD_DEL, "FD_DEL", "UNEXPFDDE"}, {T_FLUSH_TRACE, "FLUSH_TRACE", "UNEXPFTRC"},
    {T_HEADER, "HEADER", "UNEXPHEAD"}, {T_IF, "IF", "UNEXPTKIF"},
    {T_INCLUDE, "INCLUDE", "UNEXPINCL"}, {T_INITIALIZATION, "INITIALIZATION", "UNEXPINTZ"},
    {T_INSTANCE, "INSTANCE", "UNEXPIST"}, {T_INTERRECV, "INTERRECV", "UNEXPIRCV"},
    {T_INTERSEND, "INTERSEND", "UNEXPISND"}, {T_IS, "IS", "UNEXPTKIS"},
    {T_LOOP, "LOOP", "UNEXPLOOP"}, {T_MESSAGE, "MESSAGE", "UNEXPMSGE"},
    {T_MESSAGE_DATE, "MESSAGE_DATE", "UNEXPMSDT"}, {T_MULTIPLEXING, "MULTIPLEXING", "UNEXPMULT"},
    {T_NO_MESSAGE, "NO_MESSAGE", "UNEXPNOMS"}, {T_ON, "ON", "UNEXPCBON"},
    {T_OTHERS, "OTHERS", "UNEXPOTHR"}, {T_PAUSE, "PAUSE", "UNEXPAUSE"},
    {T_PRINT, "PRINT", "UNEXPRINT"}, {T_PROC, "PROC", "UNEXPPROC"},
    {T_PROCSEND, "PROCSEND", "UNEXPPSND"}, {T_REF, "REF", "UNEXPTREF"},
    {T_RENDEZVOUS, "RENDEZVOUS", "UNEXPTRDV"}, {T_RESET, "RESET", "UNEXPREST"},
    {T_SCENARIO, "SCENARIO", "UNEXPSCEN"}, {T_SEND, "SEND", "UNEXPSND"},
    {T_SET, "SET", "UNEXPTSET"}, {T_SHARE, "SHARE", "UNEXPSHAR"},
    {T_TERMINATION, "TERMINATION", "UNEXPTERM"}, {T_THEN, "THEN", "UNEXPTHEN"},
    {T_TIMEOUT, "TIMEOUT", "UNEXPTOUT"}, {T_TIMER, "TIMER", "UNEXPTIMR"},
    {T_TRACE_OFF, "TRACE_OFF", "UNEXPTROF"}, {T_TRACE_ON, "TRACE_ON", "UNEXPTRON"},
    {T_TRIGGER, "TRIGGER", "UNEXPTRIG"}, {T_UNSET, "UNSET", "UNEXPUNST"},
    {T_VAR, "VAR", "UNEXPTVAR"}, {T_VIRTUALCALLBACK, "VIRTUALCALLBACK", nullptr},
    {T_VIRTUALPROCSEND, "VIRTUALPROCSEND", nullptr}, {T_WAITTIL, "WAITTIL", "UNEXPWAIT"},
    {T_WHEN, "WHEN", "UNEXPWHEN"}, {T_WHILE, "WHILE", "UNEXPWHIL"}, {T_WITH, "WITH", "UNEXPWITH"},
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

const char* token_code(int token) {
    const TokenInfo* info = find_token(token);
    return info ? info->code : nullptr;
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

void ParseState::report_syntax_error() {
    const Position here = lexer.position();
    if (lexer.last_read_was_end()) {
        reportAtText(Severity::Error, "UNEXPTEOF", "", here.file, here.line);
        return;
    }
    const char* code = token_code(last_token);
    if (!code) {
        reportAtText(Severity::Internal, "STXNOMESS", std::to_string(last_token).c_str(), here.file, here.line);
        return;
    }
    reportAtText(Severity::Error, code, "", here.file, here.line);
}

ParseResult parse_script(const std::string& path, const std::vector<std::string>& include_dirs, bool keep_comments) {
    ParseResult result;
    result.tree = std::make_unique<SyntaxTree>();
    ScriptLexer lexer(include_dirs);
    if (!lexer.open_main(path)) reportFatalText("FICNOTOPN", path.c_str());

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
