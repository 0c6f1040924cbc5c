/* Grammar of the script language: LALR(1) with three "error NEWLINE" recovery
 * points (declaration list, lines of a declaration-level instance block,
 * statement). Token texts are taken from the lexer at reduction time; the
 * rules that need a token's text end with that token, so that they reduce
 * before the next token is read. A symbol's location is where its first token
 * begins; every node begins at its rule's location, @$. */
%require "3.8"
%define api.pure full
%define api.prefix {zvp_}
%define api.token.prefix {T_}
%define api.value.type {zv::Node*}
%define api.location.type {zv::SymbolLocation}
%locations
%define parse.error custom
%param {zv::ParseState& st}
%expect 2

%code requires {
#include "script/parse_state.h"

// Locations are plain values: the parser's stacks grow by copying them.
#define ZVP_LTYPE_IS_TRIVIAL 1
}

%code {
#define YYMAXDEPTH 102400
// Grown stacks belong to the parse state, also when the parse is left by a
// fatal end that returns to a caller.
#define YYMALLOC(bytes) st.stack_alloc(bytes)
#define YYFREE(block) st.stack_free(block)

// A rule begins where its first symbol begins; an empty rule where the symbol
// before it does.
#define YYLLOC_DEFAULT(Current, Rhs, N) ((Current) = (N) ? YYRHSLOC(Rhs, 1) : YYRHSLOC(Rhs, 0))

namespace {

int zvp_lex(ZVP_STYPE*, ZVP_LTYPE* where, zv::ParseState& st) {
    st.last_token = st.lexer.next_token();
    *where = st.lexer.token_start();
    return st.last_token;
}

void zvp_error(ZVP_LTYPE*, zv::ParseState& st, const char*) { st.report_syntax_error(); }

// Links a chain element to the rest of its list; an element lost in error
// recovery (null) leaves the rest alone.
zv::Node* link2(zv::Node* item, zv::Node* rest) {
    if (!item) return rest;
    item->child2 = rest;
    return item;
}
zv::Node* link3(zv::Node* item, zv::Node* rest) {
    if (!item) return rest;
    item->child3 = rest;
    return item;
}

}  // namespace
}

%token NEWLINE LPAREN RPAREN LBRACKET RBRACKET ARROW COMMA AT COLON SEMICOLON ELLIPSIS
%token NUMBER STRING CHAR_CONST ENV_VAR IDENT QUALIFIED_IDENT HASH_LINE AT_LINE
%token FILTER DOUBLE_FILTER COMMENT FORMAT INIT_VALUE EXPECTED_VALUE EV_EQUALS UNKNOWN_CHAR
%token NATIVE_EXPR MATCHING MATCHED NOTMATCHING NOTMATCHED MATCH_COMMA MATCH_RPAREN
%token ADD_ID CALL CALLBACK CASE CATCH CHANNEL CLEAR_ID COMMTYPE DECLARE_INSTANCE
%token DEF_MESSAGE DEF_TRIGGER DISABLE_CLEANUP ELSE ENABLE_CLEANUP END ERROR EXCEPTION
%token EXIT FAMILY FD_ADD FD_DEL FLUSH_TRACE HEADER IF INCLUDE INITIALIZATION INSTANCE
%token INTERRECV INTERSEND IS LOOP MESSAGE MESSAGE_DATE MULTIPLEXING NO_MESSAGE ON
%token OTHERS PAUSE PRINT PROC PROCSEND REF RENDEZVOUS RESET SCENARIO SEND SET SHARE
%token TERMINATION THEN TIMEOUT TIMER TRACE_OFF TRACE_ON TRIGGER UNSET VAR
%token VIRTUALCALLBACK VIRTUALPROCSEND WAITTIL WHEN WHILE WITH

%%

script
    : header declarations scenario_items   { st.root = st.node(@$, zv::N_SCRIPT, $1, $2, $3); }
    ;

header
    : NEWLINE header                       { $$ = $2; }
    | HEADER header_value COMMA header_value COMMA header_value NEWLINE
                                           { $$ = st.node(@$, zv::N_HEADER, $2, $4, $6); st.header = $$; }
    ;

header_value
    : STRING                               { $$ = st.text_node(@$, zv::N_STRING); }
    | ENV_VAR                              { $$ = st.text_node(@$, zv::N_ENV_VAR); }
    ;

declarations
    : declaration_item                     { $$ = $1; st.declarations = $$; }
    | declaration_item declarations        { $$ = link3($1, $2); st.declarations = $$; }
    | error NEWLINE                        { $$ = nullptr; st.declarations = $$; }
    ;

declaration_item
    : declaration                          { $$ = st.node(@$, zv::N_DECLARATIONS, $1); }
    | instance_declaration                 { $$ = st.node(@$, zv::N_DECLARATIONS, nullptr, $1); }
    | instance_block                       { $$ = st.node(@$, zv::N_DECLARATIONS, nullptr, $1); }
    ;

declaration
    : hash_line NEWLINE                    { $$ = $1; }
    | at_line NEWLINE                      { $$ = $1; }
    | trigger_declaration NEWLINE          { $$ = $1; }
    | share_declaration NEWLINE            { $$ = $1; }
    | procedure NEWLINE                    { $$ = $1; }
    | include_line                         { $$ = $1; }
    | format_declaration NEWLINE           { $$ = $1; }
    | catch_declaration NEWLINE            { $$ = $1; }
    | commtype_declaration NEWLINE         { $$ = $1; }
    | channel_declaration NEWLINE          { $$ = $1; }
    | message_declaration NEWLINE          { $$ = $1; }
    | callback NEWLINE                     { $$ = $1; }
    | virtual_callback NEWLINE             { $$ = $1; }
    | procsend NEWLINE                     { $$ = $1; }
    | virtual_procsend NEWLINE             { $$ = $1; }
    | timer_declaration NEWLINE            { $$ = $1; }
    | empty NEWLINE                        { $$ = $1; }
    ;

instance_declaration
    : DECLARE_INSTANCE instance_names NEWLINE
                                           { $$ = st.node(@$, zv::N_DECLARE_INSTANCE, $2); }
    ;

instance_block
    : INSTANCE instance_names COLON NEWLINE instance_block_lines END INSTANCE NEWLINE
                                           { $$ = st.node(@$, zv::N_INSTANCE_BLOCK, $2, $5); }
    ;

instance_block_lines
    : instance_declarations                { $$ = $1; }
    | error NEWLINE                        { $$ = nullptr; }
    ;

instance_declarations
    : declaration                          { $$ = st.node(@$, zv::N_INSTANCE_BODY, $1); }
    | declaration instance_declarations    { $$ = link3(st.node(@$, zv::N_INSTANCE_BODY, $1), $2); }
    ;

instance_names
    : name                                 { $$ = st.node(@$, zv::N_INSTANCE_NAMES, $1); }
    | name COMMA instance_names            { $$ = link2(st.node(@$, zv::N_INSTANCE_NAMES, $1), $3); }
    ;

hash_line
    : HASH_LINE                            { $$ = st.text_node(@$, zv::N_HASH_LINE, 1); }
    ;

at_line
    : AT_LINE                              { $$ = st.text_node(@$, zv::N_AT_LINE, 1); }
    ;

trigger_declaration
    : TRIGGER name trigger_names           { $$ = st.node(@$, zv::N_TRIGGER, $2, $3); }
    ;

trigger_names
    : name                                 { $$ = st.node(@$, zv::N_TRIGGER_NAMES, $1); }
    | name COMMA trigger_names             { $$ = link2(st.node(@$, zv::N_TRIGGER_NAMES, $1), $3); }
    ;

share_declaration
    : SHARE name                           { $$ = st.node(@$, zv::N_SHARE, $2); }
    ;

procedure
    : PROC name LPAREN parameters RPAREN NEWLINE body END PROC
                                           { $$ = st.node(@$, zv::N_PROC, $2, $4, $7); }
    ;

parameters
    : %empty                               { $$ = nullptr; }
    | parameter_list                       { $$ = $1; }
    ;

parameter_list
    : parameter                            { $$ = st.node(@$, zv::N_PROC_PARAMS, $1); }
    | parameter COMMA parameter_list       { $$ = link2(st.node(@$, zv::N_PROC_PARAMS, $1), $3); }
    ;

parameter
    : name name                            { $$ = st.node(@$, zv::N_PROC_PARAM, $1, $2); }
    ;

include_line
    : INCLUDE include_name NEWLINE         {
                                               st.lexer.open_include(st.include_text);
                                               $$ = st.node(@$, zv::N_INCLUDE);
                                           }
    ;

include_name
    : STRING                               { st.include_text = st.lexer.text(); $$ = nullptr; }
    ;

format_declaration
    : format_head expression               { $$ = st.node(@$, zv::N_FORMAT, $1, $2); }
    ;

format_head
    : FORMAT                               { $$ = st.text_node(@$, zv::N_FORMAT_HEAD, 7, 1); }
    ;

catch_declaration
    : CATCH name WITH name                 { $$ = st.node(@$, zv::N_CATCH, $2, $4); }
    | CATCH ELLIPSIS WITH name             { $$ = st.node(@$, zv::N_CATCH, nullptr, $4); }
    ;

commtype_declaration
    : COMMTYPE name IS name                { $$ = st.node(@$, zv::N_COMMTYPE, $2, $4); }
    | COMMTYPE name IS name WITH properties
                                           { $$ = st.node(@$, zv::N_COMMTYPE, $2, $4, $6); }
    ;

properties
    : property                             { $$ = st.node(@$, zv::N_PROPERTIES, $1); }
    | property COMMA properties            { $$ = link2(st.node(@$, zv::N_PROPERTIES, $1), $3); }
    ;

property
    : MULTIPLEXING                         { $$ = st.node(@$, zv::N_MULTIPLEXING); }
    ;

channel_declaration
    : CHANNEL name COLON channel_list      { $$ = st.node(@$, zv::N_CHANNEL, $2, $4); }
    ;

channel_list
    : name                                 { $$ = st.node(@$, zv::N_CHANNEL_LIST, $1); }
    | name COMMA channel_list              { $$ = link2(st.node(@$, zv::N_CHANNEL_LIST, $1), $3); }
    ;

message_declaration
    : MESSAGE name COLON message_list      { $$ = st.node(@$, zv::N_MESSAGE, $2, $4); }
    ;

message_list
    : name                                 { $$ = st.node(@$, zv::N_MESSAGE_LIST, $1); }
    | name COMMA message_list              { $$ = link2(st.node(@$, zv::N_MESSAGE_LIST, $1), $3); }
    ;

callback
    : CALLBACK callback_head callback_on NEWLINE body END CALLBACK
                                           { $$ = st.node(@$, zv::N_CALLBACK, $2, $3, $5); }
    ;

virtual_callback
    : VIRTUALCALLBACK callback_head callback_on NEWLINE body END CALLBACK
                                           { $$ = st.node(@$, zv::N_VIRTUAL_CALLBACK, $2, $3, $5); }
    ;

callback_head
    : name COLON name                      { $$ = st.node(@$, zv::N_CALLBACK_HEAD, $1, $3); }
    ;

callback_on
    : ON name COLON name                   { $$ = st.node(@$, zv::N_CALLBACK_ON, $2, $4); }
    | ON name COLON name LBRACKET name RBRACKET
                                           { $$ = st.node(@$, zv::N_CALLBACK_ON, $2, $4, $6); }
    ;

procsend
    : PROCSEND procsend_head procsend_on NEWLINE body END PROCSEND
                                           { $$ = st.node(@$, zv::N_PROCSEND, $2, $3, $5); }
    ;

virtual_procsend
    : VIRTUALPROCSEND procsend_head procsend_on NEWLINE body END PROCSEND
                                           { $$ = st.node(@$, zv::N_VIRTUAL_PROCSEND, $2, $3, $5); }
    ;

procsend_head
    : name COLON name                      { $$ = st.node(@$, zv::N_PROCSEND_HEAD, $1, $3); }
    ;

procsend_on
    : ON name COLON name                   { $$ = st.node(@$, zv::N_PROCSEND_ON, $2, $4); }
    ;

timer_declaration
    : TIMER name                           { $$ = st.node(@$, zv::N_TIMER, $2); }
    ;

empty
    : %empty                               { $$ = st.node(@$, zv::N_EMPTY); }
    ;

name
    : IDENT                                { $$ = st.text_node(@$, zv::N_IDENT); }
    ;

scenario_items
    : scenario_item                        { $$ = st.node(@$, zv::N_SCENARIO_ITEMS, $1); }
    | scenario_item scenario_items         { $$ = link2(st.node(@$, zv::N_SCENARIO_ITEMS, $1), $2); }
    ;

scenario_item
    : scenario                             { $$ = st.outer_item($1); }
    | initialization NEWLINE               { $$ = st.outer_item($1); }
    | termination NEWLINE                  { $$ = st.outer_item($1); }
    | exception NEWLINE                    { $$ = st.outer_item($1); }
    | include_line                         { $$ = st.outer_item($1); }
    ;

scenario
    : SCENARIO { ++st.scenario_depth; } name loop_count NEWLINE family scenario_content END SCENARIO NEWLINE
                                           { $$ = st.node(@$, zv::N_SCENARIO, $3, st.node(@$, zv::N_SCENARIO_BODY, $4, $6, $7));
                                             --st.scenario_depth; }
    ;

loop_count
    : %empty                               { $$ = nullptr; }
    | LOOP loop_number                     { $$ = $2; }
    ;

loop_number
    : NUMBER                               { $$ = st.text_node(@$, zv::N_CONSTANT); }
    ;

family
    : %empty                               { $$ = st.node(@$, zv::N_EMPTY); }
    | FAMILY family_names NEWLINE          { $$ = st.node(@$, zv::N_FAMILY, $2); }
    ;

family_names
    : name                                 { $$ = st.node(@$, zv::N_FAMILY_NAMES, $1); }
    | name COMMA family_names              { $$ = link2(st.node(@$, zv::N_FAMILY_NAMES, $1), $3); }
    ;

scenario_content
    : scenario_items                       { $$ = $1; }
    | body                                 { $$ = $1; }
    ;

initialization
    : INITIALIZATION name LPAREN arguments RPAREN
                                           { $$ = st.node(@$, zv::N_INITIALIZATION, $2, nullptr, $4); }
    | INITIALIZATION block_start body END INITIALIZATION
                                           { $$ = st.node(@$, zv::N_INITIALIZATION, nullptr, $3, $2); }
    ;

termination
    : TERMINATION name LPAREN arguments RPAREN
                                           { $$ = st.node(@$, zv::N_TERMINATION, $2, nullptr, $4); }
    | TERMINATION block_start body END TERMINATION
                                           { $$ = st.node(@$, zv::N_TERMINATION, nullptr, $3, $2); }
    ;

exception
    : EXCEPTION name LPAREN arguments RPAREN
                                           { $$ = st.node(@$, zv::N_EXCEPTION, $2, nullptr, $4); }
    | EXCEPTION block_start body END EXCEPTION
                                           { $$ = st.node(@$, zv::N_EXCEPTION, nullptr, $3, $2); }
    ;

block_start
    : NEWLINE                              { $$ = st.node(@$, zv::N_BLOCK_START); }
    ;

body
    : body_item                            { $$ = $1; }
    | body_item body                       { $$ = link3($1, $2); }
    ;

body_item
    : hash_lines                           { $$ = st.node(@$, zv::N_BODY_HASH_ITEM, $1); }
    | instance_header hash_lines instance_end
                                           { $$ = st.node(@$, zv::N_BODY_HASH_ITEM, $1, $2); }
    | statement                            { $$ = $1 ? st.node(@$, zv::N_BODY_ITEM, $1) : nullptr; }
    | instance_header instance_statements instance_end
                                           { $$ = st.node(@$, zv::N_BODY_ITEM, $1, $2); }
    ;

instance_header
    : INSTANCE instance_names COLON NEWLINE
                                           { $$ = st.node(@$, zv::N_INSTANCE_HEADER, $2); }
    ;

instance_end
    : END INSTANCE NEWLINE                 { $$ = st.node(@$, zv::N_INSTANCE_END); }
    ;

instance_statements
    : statement                            { $$ = $1 ? st.node(@$, zv::N_INSTANCE_STATEMENTS, $1) : nullptr; }
    | statement instance_statements        { $$ = link2($1 ? st.node(@$, zv::N_INSTANCE_STATEMENTS, $1) : nullptr, $2); }
    ;

hash_lines
    : hash_line NEWLINE                    { $$ = st.node(@$, zv::N_HASH_LINES, $1); }
    | hash_line NEWLINE hash_lines         { $$ = link2(st.node(@$, zv::N_HASH_LINES, $1), $3); }
    ;

block
    : block_item                           { $$ = $1; }
    | block_item block                     { $$ = link3($1, $2); }
    ;

block_item
    : statement                            { $$ = $1 ? st.node(@$, zv::N_BLOCK_STATEMENTS, $1) : nullptr; }
    | instance_header instance_statements instance_end
                                           { $$ = st.node(@$, zv::N_BLOCK_STATEMENTS, $1, $2); }
    ;

statement
    : instruction NEWLINE                  { $$ = st.node(@$, zv::N_STATEMENT, nullptr, $1); }
    | filter instruction NEWLINE           { $$ = st.node(@$, zv::N_STATEMENT, $1, $2); }
    | error NEWLINE                        { $$ = nullptr; }
    ;

filter
    : FILTER                               { $$ = st.text_node(@$, zv::N_FILTER, 1); }
    | DOUBLE_FILTER                        { $$ = st.text_node(@$, zv::N_DOUBLE_FILTER, 1); }
    ;

instruction
    : CALL name LPAREN arguments RPAREN call_result
                                           { $$ = st.node(@$, zv::N_CALL, $2, $4, $6); }
    | SEND LPAREN name COMMA name RPAREN   { $$ = st.node(@$, zv::N_SEND, st.node(@$, zv::N_SEND_ARGS, $3, $5)); }
    | CASE LPAREN expression RPAREN IS NEWLINE when_blocks END CASE
                                           { $$ = st.node(@$, zv::N_CASE, $3, $7); }
    | COMMENT                              { $$ = st.keep_comments ? st.text_node(@$, zv::N_COMMENT, 8) : nullptr; }
    | DEF_TRIGGER LPAREN expression COMMA trigger_arguments RPAREN
                                           { $$ = st.node(@$, zv::N_DEF_TRIGGER, $3, $5); }
    | DISABLE_CLEANUP name LPAREN RPAREN   { $$ = st.node(@$, zv::N_DISABLE_CLEANUP, $2); }
    | ENABLE_CLEANUP name LPAREN RPAREN    { $$ = st.node(@$, zv::N_ENABLE_CLEANUP, $2); }
    | ERROR                                { $$ = st.node(@$, zv::N_ERROR); }
    | EXIT                                 { $$ = st.node(@$, zv::N_EXIT); }
    | IF LPAREN expression RPAREN THEN NEWLINE block else_part END IF
                                           { $$ = st.node(@$, zv::N_IF, $3, $7, $8); }
    | at_line                              { $$ = $1; }
    | SET LPAREN string RPAREN             { $$ = st.node(@$, zv::N_SET, $3); }
    | UNSET LPAREN string RPAREN           { $$ = st.node(@$, zv::N_UNSET, $3); }
    | VAR expression COMMA var_value       { $$ = st.node(@$, zv::N_VAR, $2, $4); }
    | WAITTIL LPAREN expression COMMA expression RPAREN
                                           { $$ = st.node(@$, zv::N_WAITTIL, $3, $5); }
    | WHILE LPAREN expression RPAREN NEWLINE block END WHILE
                                           { $$ = st.node(@$, zv::N_WHILE, $3, $6); }
    | FD_ADD LPAREN expression COMMA expression RPAREN
                                           { $$ = st.node(@$, zv::N_FD_ADD, $3, $5); }
    | FD_DEL LPAREN expression RPAREN      { $$ = st.node(@$, zv::N_FD_DEL, $3); }
    | RENDEZVOUS name                      { $$ = st.node(@$, zv::N_RENDEZVOUS, $2); }
    | DEF_MESSAGE expression COMMA expected_value
                                           { $$ = st.node(@$, zv::N_DEF_MESSAGE, $2, $4); }
    | ADD_ID LPAREN expression COMMA expression RPAREN
                                           { $$ = st.node(@$, zv::N_ADD_ID, $3, $5); }
    | CLEAR_ID LPAREN expression RPAREN    { $$ = st.node(@$, zv::N_CLEAR_ID, $3); }
    | RESET name                           { $$ = st.node(@$, zv::N_RESET, $2); }
    | PAUSE expression                     { $$ = st.node(@$, zv::N_PAUSE, $2); }
    | PRINT name COMMA expression          { $$ = st.node(@$, zv::N_PRINT, $2, $4); }
    | FLUSH_TRACE                          { $$ = st.node(@$, zv::N_FLUSH_TRACE); }
    | TRACE_ON                             { $$ = st.node(@$, zv::N_TRACE_ON); }
    | TRACE_OFF                            { $$ = st.node(@$, zv::N_TRACE_OFF); }
    | INTERSEND LPAREN expression COMMA expression RPAREN
                                           { $$ = st.node(@$, zv::N_INTERSEND, st.node(@$, zv::N_INTERSEND_ARGS, $3, $5)); }
    | INTERRECV LPAREN expression RPAREN   { $$ = st.node(@$, zv::N_INTERRECV, st.node(@$, zv::N_INTERRECV_ARGS, $3)); }
    | INTERRECV LPAREN expression COMMA expression RPAREN
                                           { $$ = st.node(@$, zv::N_INTERRECV, st.node(@$, zv::N_INTERRECV_ARGS, $3, $5)); }
    | NO_MESSAGE                           { $$ = st.node(@$, zv::N_NO_MESSAGE); }
    | MESSAGE_DATE                         { $$ = st.node(@$, zv::N_MESSAGE_DATE); }
    | format_declaration                   { $$ = $1; }
    | catch_declaration                    { $$ = $1; }
    | timer_declaration                    { $$ = $1; }
    ;

call_result
    : %empty                               { $$ = nullptr; }
    | AT expression                        { $$ = st.node(@$, zv::N_CALL_RESULT, $2); }
    | AT expression AT expression          { $$ = st.node(@$, zv::N_CALL_RESULT, $2, $4); }
    ;

string
    : STRING                               { $$ = st.text_node(@$, zv::N_STRING); }
    ;

var_value
    : INIT_VALUE                           { $$ = st.text_node(@$, zv::N_INIT_VALUE); }
    | expected_value                       { $$ = $1; }
    | EV_EQUALS                            { $$ = st.node(@$, zv::N_EV_EQUALS); }
    ;

expected_value
    : EXPECTED_VALUE                       { $$ = st.text_node(@$, zv::N_EXPECTED_VALUE); }
    ;

else_part
    : %empty                               { $$ = st.node(@$, zv::N_EMPTY); }
    | ELSE NEWLINE block                   { $$ = st.node(@$, zv::N_ELSE, $3); }
    ;

trigger_arguments
    : expression                           { $$ = st.node(@$, zv::N_TRIGGER_ARGS, $1); }
    | expression COMMA trigger_arguments   { $$ = link2(st.node(@$, zv::N_TRIGGER_ARGS, $1), $3); }
    ;

arguments
    : argument                             { $$ = st.node(@$, zv::N_CALL_ARGS, $1); }
    | argument COMMA arguments             { $$ = link2(st.node(@$, zv::N_CALL_ARGS, $1), $3); }
    ;

argument
    : REF LPAREN argument_value RPAREN     { $$ = st.node(@$, zv::N_REF, $3); }
    | argument_value                       { $$ = st.node(@$, zv::N_ARG, $1); }
    ;

argument_value
    : expression                           { $$ = st.node(@$, zv::N_ARG_VALUE, $1); }
    | expression AT expression             { $$ = st.node(@$, zv::N_ARG_VALUE, $1, $3); }
    | expression AT expression AT expression
                                           { $$ = st.node(@$, zv::N_ARG_VALUE, $1, $3, $5); }
    ;

when_blocks
    : when_block                           { $$ = st.node(@$, zv::N_WHEN_BLOCKS, $1); }
    | when_block when_blocks               { $$ = link2(st.node(@$, zv::N_WHEN_BLOCKS, $1), $2); }
    ;

when_block
    : when_labels block                    { $$ = st.node(@$, zv::N_WHEN_BLOCK, $1, $2); }
    ;

when_labels
    : when_label                           { $$ = st.node(@$, zv::N_WHEN_LABELS, $1); }
    | when_label when_labels               { $$ = link2(st.node(@$, zv::N_WHEN_LABELS, $1), $2); }
    ;

when_label
    : WHEN when_value ARROW                { $$ = $2; }
    | WHEN when_value ARROW NEWLINE        { $$ = $2; }
    ;

when_value
    : NUMBER                               { $$ = st.text_node(@$, zv::N_CONSTANT); }
    | OTHERS                               { $$ = st.node(@$, zv::N_OTHERS); }
    | CHAR_CONST                           { $$ = st.text_node(@$, zv::N_CONSTANT); }
    | name                                 { $$ = $1; }
    | QUALIFIED_IDENT                      { $$ = st.text_node(@$, zv::N_IDENT); }
    ;

expression
    : expression_piece                     { $$ = st.node(@$, zv::N_EXPRESSION, $1); }
    | expression_piece expression          { $$ = link2(st.node(@$, zv::N_EXPRESSION, $1), $2); }
    ;

expression_piece
    : NATIVE_EXPR                          { $$ = st.native_piece(@$); }
    | matching_call                        { $$ = $1; }
    ;

matching_call
    : MATCHING name MATCH_RPAREN           { $$ = st.node(@$, zv::N_MATCHING, $2); }
    | MATCHING name MATCH_COMMA name MATCH_RPAREN
                                           { $$ = st.node(@$, zv::N_MATCHING, $2, $4); }
    | MATCHED name MATCH_RPAREN            { $$ = st.node(@$, zv::N_MATCHED, $2); }
    | MATCHED name MATCH_COMMA name MATCH_RPAREN
                                           { $$ = st.node(@$, zv::N_MATCHED, $2, $4); }
    | NOTMATCHING name MATCH_RPAREN        { $$ = st.node(@$, zv::N_NOTMATCHING, $2); }
    | NOTMATCHING name MATCH_COMMA name MATCH_RPAREN
                                           { $$ = st.node(@$, zv::N_NOTMATCHING, $2, $4); }
    | NOTMATCHED name MATCH_RPAREN         { $$ = st.node(@$, zv::N_NOTMATCHED, $2); }
    | NOTMATCHED name MATCH_COMMA name MATCH_RPAREN
                                           { $$ = st.node(@$, zv::N_NOTMATCHED, $2, $4); }
    ;

%%

static int yyreport_syntax_error(const yypcontext_t*, zv::ParseState& st) {
    st.report_syntax_error();
    return 0;
}

int zv::run_parser(zv::ParseState& state) { return zvp_parse(state); }
