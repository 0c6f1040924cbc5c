// The script lexer: token forms and their edges, keywords, the five modes and
// the exact places where they change, continuation lines, line counting around
// joined lines and pushed-back line breaks, form feeds, native-expression
// gathering, include files; the script file table.
#include "test_script_support.h"

#include <sys/stat.h>

namespace zv {
namespace {

using test::token_stream;

// Tokens of lines that follow a first line: "(" and "," open native
// expressions only after the first line break has been read.
std::string statement_tokens(const std::string& text, bool lines = false) {
    const std::string out = token_stream("\n" + text, lines ? test::TokenLines::Current : test::TokenLines::None);
    return out.substr(out.find(' ') + 1);
}

// A script text and the tokens it gives; with `lines`, each token is
// prefixed by its line number.
struct Lexed {
    std::string text;
    std::string tokens;
    bool lines = false;
};

// The rows as whole scripts.
void expect_streams(const std::vector<Lexed>& rows) {
    for (const Lexed& row : rows)
        EXPECT_EQ(token_stream(row.text, row.lines ? test::TokenLines::Current : test::TokenLines::None), row.tokens) << "script " << testing::PrintToString(row.text);
}

// The rows as lines after a first line (statement_tokens).
void expect_statements(const std::vector<Lexed>& rows) {
    for (const Lexed& row : rows)
        EXPECT_EQ(statement_tokens(row.text, row.lines), row.tokens) << "lines " << testing::PrintToString(row.text);
}

TEST(ScriptLexer, KeywordsAreExactUpperCaseWords) {
    expect_streams({
        {"IF IFX if END_X WHEN\n", "IF IDENT'IFX' IDENT'if' IDENT'END_X' WHEN NL"},
        {"VIRTUALCALLBACK VIRTUAL \t CALLBACK VIRTUAL PROCSEND VIRTUALX\n",
         "VIRTUALCALLBACK VIRTUALCALLBACK VIRTUALPROCSEND IDENT'VIRTUALX' NL"},
        {"TIMEOUT LOOP OTHERS A::B\n", "TIMEOUT LOOP OTHERS QUALIFIED_IDENT'A::B' NL"},
    });
}

TEST(ScriptLexer, CommentKeywordNeedsTextAfterIt) {
    expect_streams({
        {"COMMENT\n", "IDENT'COMMENT' NL"},
        {"COMMENTS x\n", "IDENT'COMMENTS' IDENT'x' NL"},
        // The rest of the line is the token, "--" included.
        {"COMMENT say -- this\n", "COMMENT'COMMENT say -- this' NL"},
    });
}

TEST(ScriptLexer, PunctuationNumbersStringsAndConstants) {
    expect_streams({
        {"=> : ; ... [ ] ) 12 017 0x1fUL 7lu 0\n",
         "ARROW COLON SEMICOLON ELLIPSIS LBRACKET RBRACKET RPAREN NUMBER'12' NUMBER'017' NUMBER'0x1fUL' "
         "NUMBER'7lu' NUMBER'0' NL"},
        {"'a' '\\n' '\\012' '\\x4F' $HOME $\n",
         "CHAR_CONST''a'' CHAR_CONST''\\\\n'' CHAR_CONST''\\\\012'' CHAR_CONST''\\\\x4F'' ENV_VAR'$HOME' "
         "UNKNOWN_CHAR'$' NL"},
        // Backslash-backslash and backslash-quote are unescaped; others stay.
        {"\"a\\\\b\\\"c\\n\"\n", "STRING'\\\"a\\\\b\\\"c\\\\n\\\"' NL"},
        // A string may hold line breaks; the line count follows them.
        {"\"x\ny\" Z\n", "2:STRING'\\\"x\\ny\\\"' 2:IDENT'Z' 3:NL", true},
    });
}

TEST(ScriptLexer, TokenFormsAtTheirEdges) {
    expect_streams({
        {"08 0x 12LL 1.5\n",
         "NUMBER'0' NUMBER'8' NUMBER'0' IDENT'x' NUMBER'12L' IDENT'L' NUMBER'1' UNKNOWN_CHAR'.' NUMBER'5' NL"},
        {"$A1 a$b $_x a :: b ..\n",
         "ENV_VAR'$A' NUMBER'1' IDENT'a$b' ENV_VAR'$_x' IDENT'a' COLON COLON IDENT'b' UNKNOWN_CHAR'.' "
         "UNKNOWN_CHAR'.' NL"},
        // A quote is a character of its own between quotes; "\0" takes at most
        // two further octal digits.
        {"''' '\\07' '\\077'\n", "CHAR_CONST''''' CHAR_CONST''\\\\07'' CHAR_CONST''\\\\077'' NL"},
        {"'\\0777'\n", "UNKNOWN_CHAR''' UNKNOWN_CHAR'\\\\' NUMBER'0777' UNKNOWN_CHAR''' NL"},
        // A backslash before a line break ends no string: the quote is alone.
        {"\"a\\\nb\"\n",
         "1:UNKNOWN_CHAR'\\\"' 1:IDENT'a' 1:UNKNOWN_CHAR'\\\\' 2:NL 2:IDENT'b' 2:UNKNOWN_CHAR'\\\"' 3:NL", true},
        // VA/EV values need a character other than "=" after the "=".
        {"EV =5 VA\t=\t= x\n", "EXPECTED_VALUE'EV =5 VA\\t=\\t= x' NL"},
        {"EV\t==x\n", "EV_EQUALS'EV\\t==' IDENT'x' NL"},
    });
    // FORMAT runs over line breaks up to the first "=".
    expect_statements({{"FORMAT a\n b = c\n", "3:FORMAT'FORMAT a\\n b =' 3:NATIVE_EXPR' c\\n' 4:NL", true}});
}

TEST(ScriptLexer, RestOfLineTokens) {
    expect_streams({
        {"# define X -- 1\n", "HASH_LINE'# define X -- 1' NL"},
        {"@ x = 1; -- c\n", "AT_LINE'@ x = 1; -- c' NL"},
        {"INIT = 5 -- not a comment\n", "INIT_VALUE'INIT = 5 -- not a comment' NL"},
        {"EV = { 1 }\nVA=2\n", "EXPECTED_VALUE'EV = { 1 }' NL EXPECTED_VALUE'VA=2' NL"},
        {"EV == 3\n", "EV_EQUALS'EV ==' NUMBER'3' NL"},
        // A value never starts on the next line: "EV =" alone is no value.
        {"EV =\nEXIT\n", "IDENT'EV' UNKNOWN_CHAR'=' NL EXIT NL"},
    });
}

TEST(ScriptLexer, FilterOnlyInTheFirstColumn) {
    expect_streams({
        {"%AB+~ EXIT\n%%XY ERROR\n", "FILTER'%AB+~' EXIT NL DOUBLE_FILTER'%%XY' ERROR NL"},
        {" %AB EXIT\n", "UNKNOWN_CHAR'%' IDENT'AB' EXIT NL"},
        // A form feed in the first column takes the column from a filter.
        {"\f%A EXIT\n", "UNKNOWN_CHAR'%' IDENT'A' EXIT NL"},
    });
}

TEST(ScriptLexer, CarriageReturnIsAnUnknownCharacterInKeywordModes) {
    EXPECT_EQ(token_stream("EXIT\r\nERROR\r\n"), "EXIT UNKNOWN_CHAR'\\r' NL ERROR UNKNOWN_CHAR'\\r' NL");
}

// Bytes above 127 (a Latin-1 or UTF-8 letter in a mistyped keyword) are
// unknown characters like any other, never the end of the scanner.
TEST(ScriptLexer, BytesAboveSevenBitsAreUnknownCharacters) {
    const std::string out = token_stream("EX\xc3\xa9IT\n");
    EXPECT_EQ(out.rfind("IDENT'EX' ", 0), 0u) << out;
    EXPECT_NE(out.find("UNKNOWN_CHAR"), std::string::npos) << out;
    EXPECT_NE(out.find("NL"), std::string::npos) << out;
}

TEST(ScriptLexer, FormFeedsAreSkippedInEveryMode) {
    expect_statements({
        // Not appended to a native expression.
        {"PAUSE 1\f2\n", "PAUSE NATIVE_EXPR' 12\\n' NL"},
        // Not the first character of a call target, nor inside matching arguments.
        {"CALL\fp(x)\n", "CALL IDENT'p' LPAREN NATIVE_EXPR'x)' RPAREN NL"},
        {"PAUSE MATCHED(\fa\f,\fb)\n",
         "PAUSE NATIVE_EXPR' M' MATCHED IDENT'a' MATCH_COMMA IDENT'b' MATCH_RPAREN NATIVE_EXPR'\\n' NL"},
    });
}

TEST(ScriptLexer, LineBreaksAndEmptyLines) {
    // The first line break always yields NEWLINE; empty and comment-only
    // lines afterwards yield nothing.
    EXPECT_EQ(token_stream("\n\nEXIT -- x\n  -- y\n\t\f\nERROR\n", test::TokenLines::Current), "2:NL 3:EXIT 4:NL 6:ERROR 7:NL");
}

TEST(ScriptLexer, ContinuationLinesJoinAndStillCount) {
    expect_streams({
        {"AB\n&CD EXIT\nERROR\n", "2:IDENT'ABCD' 2:EXIT 3:NL 3:ERROR 4:NL", true},
        // "&" is a continuation only right after a line break.
        {"& X\n", "UNKNOWN_CHAR'&' IDENT'X' NL"},
    });
    expect_statements({
        {"CALL f(a,\n&b)\n", "CALL IDENT' f' LPAREN NATIVE_EXPR'a,' COMMA NATIVE_EXPR'b)' RPAREN NL"},
        // The expression ends at the line break after the joined "&" line:
        // that break is read twice but counted once, the join once.
        {"PAUSE 5\n&\nEXIT\n", "2:PAUSE 3:NATIVE_EXPR' 5\\n' 4:NL 4:EXIT 5:NL", true},
        // The same for the "(" given back after a matching keyword split by a
        // continuation line.
        {"PAUSE MATCHED\n&(a)\n",
         "2:PAUSE 3:NATIVE_EXPR' M' 3:MATCHED 3:IDENT'a' 3:MATCH_RPAREN 3:NATIVE_EXPR'\\n' 4:NL", true},
        // Several continuation lines in a row, with a comment continued too.
        {"TIMER -- a\n& b\n&\n& t\nEXIT\n", "2:TIMER 6:NL 6:EXIT 7:NL", true},
        {"TIMER\n&\n& t\nEXIT\n", "2:TIMER 4:IDENT't' 5:NL 5:EXIT 6:NL", true},
        {"EXIT &\n", "EXIT UNKNOWN_CHAR'&' NL"},
    });
}

// Each token as "start:KIND", start being the line on which the token's
// logical line begins.
std::string token_starts(const std::string& script) {
    return test::token_stream(script, test::TokenLines::Start, false);
}

TEST(ScriptLexer, TokensStartOnTheLineTheirLogicalLineBegins) {
    const struct {
        const char* script;
        const char* starts;
    } cases[] = {
        // An expression continued with "&": the line count goes on, the
        // tokens stay on the first line.
        {"PAUSE 1 +\n& 2\nEXIT\n", "1:PAUSE 1:NATIVE_EXPR 1:NL 3:EXIT 3:NL"},
        {"PAUSE\n& 2\nEXIT\n", "1:PAUSE 1:NATIVE_EXPR 1:NL 3:EXIT 3:NL"},
        {"SCENARIO\n&\n& s\nEXIT\n", "1:SCENARIO 1:IDENT 1:NL 4:EXIT 4:NL"},
        // A line break read inside parentheses begins a new line.
        {"\nIF ((a &&\nb)) THEN\n", "1:NL 2:IF 2:LPAREN 2:NATIVE_EXPR 3:RPAREN 3:THEN 3:NL"},
        // Empty lines before a token are not where it begins.
        {"EXIT\n\n\nERROR\n", "1:EXIT 1:NL 4:ERROR 4:NL"},
        // The line break that ends an expression is read again as NEWLINE.
        {"PAUSE 1\nEXIT\n", "1:PAUSE 1:NATIVE_EXPR 1:NL 2:EXIT 2:NL"},
        // A string holding a line break after a joined one.
        {"\"a\n&b\nc\" Z\nEXIT\n", "1:STRING 3:IDENT 3:NL 4:EXIT 4:NL"},
    };
    for (const auto& c : cases) EXPECT_EQ(token_starts(c.script), c.starts) << c.script;
}

TEST(ScriptLexer, CallArgumentsAreNativeExpressions) {
    expect_statements({
        {"CALL proc(a, (b, c), \"x,y\") @ r\n",
         "CALL IDENT' proc' LPAREN NATIVE_EXPR'a,' COMMA NATIVE_EXPR' (b, c),' COMMA "
         "NATIVE_EXPR' \\\"x,y\\\")' RPAREN AT NATIVE_EXPR' r\\n' NL"},
        // "--" is text inside an expression, and a comment after it.
        {"CALL f(a--b) -- c\n", "CALL IDENT' f' LPAREN NATIVE_EXPR'a--b)' RPAREN NL"},
    });
}

TEST(ScriptLexer, CallTargetIsTheRawRunUpToTheParenthesis) {
    expect_statements({
        // Blanks and the word REF belong to the target.
        {"CALL  REF x (y)\n", "CALL IDENT'  REF x ' LPAREN NATIVE_EXPR'y)' RPAREN NL"},
        // A line break right after CALL starts no target: it is an unknown
        // character, and the next line becomes the target.
        {"CALL\nEXIT\nEND\n", "2:CALL 3:UNKNOWN_CHAR'\\n' 3:IDENT'EXIT' 4:NL 4:END 5:NL", true},
        // Nor does a parenthesis.
        {"CALL(x)\n", "CALL UNKNOWN_CHAR'(' IDENT'x)' NL"},
    });
}

TEST(ScriptLexer, ExpressionDepthsAndTerminators) {
    expect_statements({
        {"IF (a[1,2] && (b,\nc)) THEN\n", "2:IF 2:LPAREN 3:NATIVE_EXPR'a[1,2] && (b,\\nc))' 3:RPAREN 3:THEN 4:NL",
         true},
        // A line break at depth 0 ends the expression and is counted once.
        {"PAUSE 10 -- x\nEXIT\n", "2:PAUSE 2:NATIVE_EXPR' 10 -- x\\n' 3:NL 3:EXIT 4:NL", true},
        // "@" at depth 0 ends it, inside parentheses it does not.
        {"CALL f(g(a@b)@c)\n", "CALL IDENT' f' LPAREN NATIVE_EXPR'g(a@b)@' AT NATIVE_EXPR'c)' RPAREN NL"},
        // An unmatched "]" ends the expression and then stands as a bracket.
        {"PAUSE a]\n", "PAUSE NATIVE_EXPR' a]' RBRACKET NL"},
        // ... and the "(" left open before it must not swallow the line break
        // that ends the next expression: each one starts at depth 0.
        {"PAUSE (a ]\nPAUSE b\nEXIT\n", "PAUSE NATIVE_EXPR' (a ]' RBRACKET NL PAUSE NATIVE_EXPR' b\\n' NL EXIT NL"},
        // "[" and "]" nest like parentheses; ")" inside brackets is kept.
        {"PRINT x, a[f(1, 2)], b[)]\n",
         "PRINT IDENT'x' COMMA NATIVE_EXPR' a[f(1, 2)],' COMMA NATIVE_EXPR' b[)]\\n' NL"},
        // Braces keep the commas of an aggregate inside one value; a line
        // break still ends the expression when a brace is left open.
        {"PRINT x, {1, {2}}, 3\n", "PRINT IDENT'x' COMMA NATIVE_EXPR' {1, {2}},' COMMA NATIVE_EXPR' 3\\n' NL"},
        {"PAUSE {a,\nEXIT\n", "PAUSE NATIVE_EXPR' {a,\\n' NL EXIT NL"},
        // A string holding a line break and a comma does not end the expression.
        {"PRINT x, \"a\nb,\", c\n",
         "2:PRINT 2:IDENT'x' 2:COMMA 3:NATIVE_EXPR' \\\"a\\nb,\\\",' 3:COMMA 3:NATIVE_EXPR' c\\n' 4:NL", true},
    });
}

TEST(ScriptLexer, RefInsideArgumentsDropsTextBeforeIt) {
    expect_statements({
        {"CALL f(x, REF(y), REFER)\n",
         "CALL IDENT' f' LPAREN NATIVE_EXPR'x,' COMMA REF LPAREN NATIVE_EXPR'y)' RPAREN COMMA "
         "NATIVE_EXPR' REFER)' RPAREN NL"},
        // REF is a keyword only as a whole word.
        {"PAUSE REFS + xREF(1)\n", "PAUSE NATIVE_EXPR' REFS + xREF(1)\\n' NL"},
    });
}

TEST(ScriptLexer, MatchingCalls) {
    expect_statements({
        {"WAITTIL (MATCHED(ev, L1), T > 2)\n",
         "WAITTIL LPAREN NATIVE_EXPR'M' MATCHED IDENT'ev' MATCH_COMMA IDENT'L1' MATCH_RPAREN NATIVE_EXPR',' "
         "COMMA NATIVE_EXPR' T > 2)' RPAREN NL"},
        {"IF (a && NOTMATCHING(e)) THEN\n",
         "IF LPAREN NATIVE_EXPR'a && N' NOTMATCHING IDENT'e' MATCH_RPAREN NATIVE_EXPR')' RPAREN THEN NL"},
        // A matching call inside parentheses splits the text around it.
        {"WAITTIL ((MATCHED(a)), y)\n",
         "WAITTIL LPAREN NATIVE_EXPR'(M' MATCHED IDENT'a' MATCH_RPAREN NATIVE_EXPR'),' COMMA NATIVE_EXPR' y)' "
         "RPAREN NL"},
        // Only the upper-case words with "(" right after them.
        {"PAUSE MATCHED (e)\n", "PAUSE NATIVE_EXPR' MATCHED (e)\\n' NL"},
        {"PAUSE matched(a) + MATCHED (b)\n", "PAUSE NATIVE_EXPR' matched(a) + MATCHED (b)\\n' NL"},
    });
}

TEST(ScriptLexer, KeywordsThatKeepTheLineInKeywordLanguage) {
    expect_statements({
        {"SEND (a, b)\n", "SEND LPAREN IDENT'a' COMMA IDENT'b' RPAREN NL"},
        {"VAR x[2], INIT = 0\n", "VAR NATIVE_EXPR' x[2],' COMMA INIT_VALUE'INIT = 0' NL"},
        {"PRINT p, a, b\n", "PRINT IDENT'p' COMMA NATIVE_EXPR' a,' COMMA NATIVE_EXPR' b\\n' NL"},
        {"FORMAT x %d\n= a, b\n", "FORMAT'FORMAT x %d\\n=' NATIVE_EXPR' a,' COMMA NATIVE_EXPR' b\\n' NL"},
        {"DEF_MESSAGE m, EV = 1\n", "DEF_MESSAGE NATIVE_EXPR' m,' COMMA EXPECTED_VALUE'EV = 1' NL"},
    });
}

TEST(ScriptLexer, RejectedTriggerKeywordLeavesTheLineStateAlone) {
    expect_streams({
        // After COMMTYPE, TRIGGER is an unknown character: the line still
        // counts as empty, so its line break yields no NEWLINE...
        {"COMMTYPE\nTRIGGER\nX\n", "COMMTYPE NL UNKNOWN_CHAR'TRIGGER' IDENT'X' NL"},
        // The other way round, and a second TRIGGER is still a keyword.
        {"TRIGGER t a\nTRIGGER u b\nCOMMTYPE c IS d\n",
         "TRIGGER IDENT't' IDENT'a' NL TRIGGER IDENT'u' IDENT'b' NL UNKNOWN_CHAR'COMMTYPE' IDENT'c' IS IDENT'd' NL"},
    });
    // ...and "(" still opens a native expression, as TRIGGER would not let it.
    expect_statements({{"COMMTYPE c\nTRIGGER (a, b)\n",
                        "COMMTYPE IDENT'c' NL UNKNOWN_CHAR'TRIGGER' LPAREN NATIVE_EXPR'a,' COMMA NATIVE_EXPR' b)' "
                        "RPAREN NL"}});
}

TEST(ScriptLexer, CommTypeAndTriggerExcludeEachOther) {
    test::ScratchDir dir;
    dir.write("t.zod", "COMMTYPE c\nTRIGGER t\nCOMMTYPE d\n");
    ScriptLexer lexer({});
    ASSERT_TRUE(lexer.open_main("t.zod"));
    std::string out;
    for (int token; (token = lexer.next_token()) != 0;) out += std::string(token_name(token)) + ' ';
    // The refused keyword touches neither line_empty: its line break is skipped.
    EXPECT_EQ(out, "COMMTYPE IDENT NEWLINE UNKNOWN_CHAR IDENT NEWLINE COMMTYPE IDENT NEWLINE ");
    EXPECT_EQ(lexer.comm_model(), CommModel::CommType);
}

TEST(ScriptLexer, TokenLongerThanTheLimitIsFatal) {
    const std::string ok(14999, 'a');
    EXPECT_EQ(token_stream(ok + "\n").size(), 6 + 14999 + 1 + 3);
    EXPECT_EXIT(token_stream(std::string(15000, 'a') + "\n"), testing::ExitedWithCode(7), "LEXTKTLNG");
    // Gathered pieces of a native expression count together.
    std::string long_expression = "PAUSE";
    for (int i = 0; i < 4000; ++i) long_expression += " a+b";
    EXPECT_EXIT(token_stream(long_expression + "\n"), testing::ExitedWithCode(7), "LEXTKTLNG");
}

TEST(ScriptLexer, IncludeStackAndLinePositions) {
    test::ScratchDir dir;
    dir.write("main.zod", "A\nINCLUDE \"one.zod\"\nB\n");
    dir.write("sub/one.zod", "C\n\nD");
    ScriptLexer lexer({"nowhere", "sub"});
    ASSERT_TRUE(lexer.open_main("main.zod"));
    std::string out;
    int before_last = 0, last = 0;
    for (int token; (token = lexer.next_token()) != 0;) {
        const Position at = lexer.position();
        out += std::string(at.file) + ":" + std::to_string(at.line) + "#" + std::to_string(at.file_index) + " " +
               token_name(token) + "\n";
        if (before_last == T_INCLUDE && last == T_STRING && token == T_NEWLINE) lexer.open_include("\"one.zod\"");
        before_last = last;
        last = token;
    }
    EXPECT_EQ(out,
              "main.zod:1#1 IDENT\nmain.zod:2#1 NEWLINE\nmain.zod:2#1 INCLUDE\nmain.zod:2#1 STRING\n"
              "main.zod:3#1 NEWLINE\nsub/one.zod:1#2 IDENT\nsub/one.zod:2#2 NEWLINE\nsub/one.zod:3#2 IDENT\n"
              "main.zod:3#1 IDENT\nmain.zod:4#1 NEWLINE\n");
    const std::vector<ScriptFileRecord> files = lexer.take_files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "sub/one.zod");
    EXPECT_EQ(files[0].base_name, "one.zod");
    EXPECT_EQ(files[0].directory, dir.path() + "/sub");
    EXPECT_EQ(files[0].length, 4);
    EXPECT_EQ(files[1].index, 1);
}

TEST(ScriptLexer, NoContinuationAfterInclude) {
    test::ScratchDir dir;
    dir.write("main.zod", "INCLUDE \"e.zod\"\n&X\n");
    dir.write("e.zod", "");
    ScriptLexer lexer({});
    ASSERT_TRUE(lexer.open_main("main.zod"));
    std::string out;
    for (int token; (token = lexer.next_token()) != 0;) {
        out += std::string(token_name(token)) + ' ';
        if (token == T_NEWLINE && out == "INCLUDE STRING NEWLINE ") lexer.open_include(lexer.text().empty() ? "" : "\"e.zod\"");
    }
    EXPECT_EQ(out, "INCLUDE STRING NEWLINE UNKNOWN_CHAR IDENT NEWLINE ");
}

// Many lines go to the scanner at once; an INCLUDE among them, even one
// formed across a joined line break or cut by the end of a read, still
// stops the next line from continuing its line, and joins after it count.
TEST(ScriptLexer, NoContinuationAfterIncludeAmongManyLines) {
    test::ScratchDir dir;
    dir.write("e.zod", "");
    std::string lines, names;
    for (int i = 0; i < 40; ++i) lines += "A" + std::to_string(i) + "\n", names += "IDENT NEWLINE ";
    // A line of 8190 characters, then INCLUDE: the first read of the scanner
    // (8192 characters) ends inside the keyword.
    std::string wide, wide_names;
    for (int i = 0; i < 4095; ++i) wide += "A ", wide_names += "IDENT ";
    const std::string include = "INCLUDE \"e.zod\"\n&X\nB\n&C\n";
    const std::string after = "INCLUDE STRING NEWLINE UNKNOWN_CHAR IDENT NEWLINE IDENT'BC' NEWLINE ";
    const struct {
        std::string script, tokens;
    } cases[] = {
        {lines + include, names + after},
        {lines + "INCL\n&UDE \"e.zod\"\n&X\nB\n&C\n", names + after},
        {wide + include, wide_names + after},
    };
    for (const auto& c : cases) {
        dir.write("main.zod", c.script);
        ScriptLexer lexer({});
        ASSERT_TRUE(lexer.open_main("main.zod"));
        std::string out;
        int at_include = 0;
        for (int token; (token = lexer.next_token()) != 0;) {
            out += std::string(token_name(token)) + (token == T_IDENT && lexer.text() == "BC" ? "'BC' " : " ");
            if (token == T_NEWLINE && out.ends_with("INCLUDE STRING NEWLINE ")) {
                at_include = lexer.position().line;
                lexer.open_include("\"e.zod\"");
            }
        }
        EXPECT_EQ(out, c.tokens) << c.script.substr(c.script.size() - 30);
        EXPECT_EQ(lexer.position().line - at_include, 3) << c.script.substr(c.script.size() - 30);
    }
}

// The same with nothing but the scanner's look-ahead to show an INCLUDE not
// matched yet, or nothing but joins after it; and a look-ahead that grows
// over the token limit before the scanner backs up is still fatal.
TEST(ScriptLexer, LinesReadAtOnceKeepIncludeAndLimitAsReadOneByOne) {
    expect_streams({
        {"-- c\nINCLUDE:\n&\"e.zod\"\n&X\n", "NL INCLUDE COLON STRING'\\\"e.zod\\\"' NL UNKNOWN_CHAR'&' IDENT'X' NL"},
        {"-- c\n\"q INCLUDE ((\\\nX\n&Y\n))\n",
         "NL UNKNOWN_CHAR'\\\"' IDENT'q' INCLUDE LPAREN NATIVE_EXPR'(\\\\\\nX\\n&Y\\n))' RPAREN NL"},
        {"INCLUDE \"e.zod\"\n&-- " + std::string(9000, 'x') + "\nX\n",
         "INCLUDE STRING'\\\"e.zod\\\"' NL UNKNOWN_CHAR'&' NL IDENT'X' NL"},
        {"INCLUDE \"e.zod\"\n&", "INCLUDE STRING'\\\"e.zod\\\"' NL UNKNOWN_CHAR'&'"},
    });
    std::string unended = "TIMER \"x\n";
    for (int i = 0; i < 155; ++i) unended += std::string(99, 'a') + "\n";
    EXPECT_EXIT(token_stream(unended + "b \\\nTIMER u\n"), testing::ExitedWithCode(7), "LEXTKTLNG");
}

TEST(ScriptFiles, ChecksumIdentityAndDirectories) {
    EXPECT_EQ(crc16_kermit("123456789"), 0x2189);
    EXPECT_EQ(crc16_kermit(""), 0);
    // Long texts, taken eight bytes at a time, against the same sum made a
    // byte at a time, for every length of the tail.
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>((i * 7919 + i / 3) & 0xff);
    for (std::size_t length : {1u, 7u, 8u, 9u, 15u, 16u, 17u, 255u, 300u}) {
        std::uint16_t crc = 0;
        for (std::size_t i = 0; i < length; ++i) {
            crc ^= static_cast<unsigned char>(text[i]);
            for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : crc >> 1;
        }
        EXPECT_EQ(crc16_kermit(std::string_view(text).substr(0, length)), crc) << length;
    }
    EXPECT_EQ(absolute_directory("a.zod", "/w"), "/w");
    EXPECT_EQ(absolute_directory("d/e/a.zod", "/w"), "/w/d/e");
    EXPECT_EQ(absolute_directory("/abs/a.zod", "/w"), "/abs");
    EXPECT_EQ(absolute_directory("/a.zod", "/w"), "/");
    EXPECT_EQ(identity_key(10, "/ab"), 10 + (47 - 32) + (97 - 32) + (98 - 32));
}

TEST(ScriptFiles, UnreadableWorkingDirectoryIsAnInternalError) {
    registerMessageCatalog();
    test::ScratchDir dir;
    ScriptFileTable table;
    // An absolute path needs no working directory.
    EXPECT_EQ(register_script_file(dir.path() + "/x.zod", "abc", table).directory, dir.path());
    EXPECT_EXIT(
        {
            ::mkdir("gone", 0700);
            if (::chdir("gone") != 0 || ::rmdir((dir.path() + "/gone").c_str()) != 0) std::exit(1);
            register_script_file("x.zod", "abc", table);
        },
        testing::ExitedWithCode(9), "Zolmex-S-SIZBUFOVL,  Out of bound on output buffer");
}

TEST(ScriptFiles, TableSharesIndexesAndHoldsFiveHundred) {
    ScriptFileTable table;
    EXPECT_EQ(table.index_of(5, 1), 1);
    EXPECT_EQ(table.index_of(6, 1), 2);
    EXPECT_EQ(table.index_of(5, 1), 1);
    EXPECT_EQ(table.index_of(5, 2), 3);
    for (int i = 0; i < 497; ++i) EXPECT_EQ(table.index_of(100 + i, 0), 4 + i);
    EXPECT_EQ(table.index_of(1000, 0), 0);
    EXPECT_EQ(table.index_of(5, 2), 3);  // known files still resolve when full
}

}  // namespace
}  // namespace zv
