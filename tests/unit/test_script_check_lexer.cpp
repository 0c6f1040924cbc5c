// Independent checks of the script lexer: mode changes at the exact places
// where they take effect, line counts around continuation lines and pushed-back
// line breaks, form feeds in every mode, and the token forms at their edges.
#include "test_script_support.h"

namespace zv {
namespace {

using test::token_stream;

// The tokens after a first line "X": from then on "(" and "," after a
// statement keyword open native expressions.
std::string after_first_line(const std::string& text, bool lines = false) {
    const std::string out = token_stream("X\n" + text, lines);
    const std::size_t first_break = out.find(lines ? "2:NL " : "NL ");
    return out.substr(out.find(' ', first_break) + 1);
}

TEST(ScriptLexerCheck, RejectedTriggerKeywordLeavesTheLineStateAlone) {
    // After COMMTYPE, TRIGGER is an unknown character: the line still counts
    // as empty, so its line break yields no NEWLINE...
    EXPECT_EQ(token_stream("COMMTYPE\nTRIGGER\nX\n"), "COMMTYPE NL UNKNOWN_CHAR'TRIGGER' IDENT'X' NL");
    // ...and "(" still opens a native expression, as TRIGGER would not let it.
    EXPECT_EQ(after_first_line("COMMTYPE c\nTRIGGER (a, b)\n"),
              "COMMTYPE IDENT'c' NL UNKNOWN_CHAR'TRIGGER' LPAREN NATIVE_EXPR'a,' COMMA NATIVE_EXPR' b)' RPAREN NL");
    // The other way round, and a second TRIGGER is still a keyword.
    EXPECT_EQ(token_stream("TRIGGER t a\nTRIGGER u b\nCOMMTYPE c IS d\n"),
              "TRIGGER IDENT't' IDENT'a' NL TRIGGER IDENT'u' IDENT'b' NL UNKNOWN_CHAR'COMMTYPE' IDENT'c' IS IDENT'd' NL");
}

TEST(ScriptLexerCheck, FormFeedsAreSkippedInEveryMode) {
    // Not appended to a native expression.
    EXPECT_EQ(after_first_line("PAUSE 1\f2\n"), "PAUSE NATIVE_EXPR' 12\\n' NL");
    // Not the first character of a call target, nor inside matching arguments.
    EXPECT_EQ(after_first_line("CALL\fp(x)\n"), "CALL IDENT'p' LPAREN NATIVE_EXPR'x)' RPAREN NL");
    EXPECT_EQ(after_first_line("PAUSE MATCHED(\fa\f,\fb)\n"),
              "PAUSE NATIVE_EXPR' M' MATCHED IDENT'a' MATCH_COMMA IDENT'b' MATCH_RPAREN NATIVE_EXPR'\\n' NL");
    // A form feed in the first column takes the column from a filter.
    EXPECT_EQ(token_stream("\f%A EXIT\n"), "UNKNOWN_CHAR'%' IDENT'A' EXIT NL");
}

TEST(ScriptLexerCheck, CallTargetIsTheRawRunUpToTheParenthesis) {
    // Blanks and the word REF belong to the target.
    EXPECT_EQ(after_first_line("CALL  REF x (y)\n"), "CALL IDENT'  REF x ' LPAREN NATIVE_EXPR'y)' RPAREN NL");
    // A line break right after CALL starts no target: it is an unknown
    // character, and the next line becomes the target.
    EXPECT_EQ(after_first_line("CALL\nEXIT\nEND\n", true), "2:CALL 3:UNKNOWN_CHAR'\\n' 3:IDENT'EXIT' 4:NL 4:END 5:NL");
    // Nor does a parenthesis.
    EXPECT_EQ(after_first_line("CALL(x)\n"), "CALL UNKNOWN_CHAR'(' IDENT'x)' NL");
}

TEST(ScriptLexerCheck, LineCountsAroundContinuationsAndPushedBackBreaks) {
    // The expression ends at the line break after the joined "&" line: that
    // break is read twice but counted once, the join once.
    EXPECT_EQ(after_first_line("PAUSE 5\n&\nEXIT\n", true), "2:PAUSE 3:NATIVE_EXPR' 5\\n' 4:NL 4:EXIT 5:NL");
    // The same for the "(" given back after a matching keyword split by a
    // continuation line.
    EXPECT_EQ(after_first_line("PAUSE MATCHED\n&(a)\n", true),
              "2:PAUSE 3:NATIVE_EXPR' M' 3:MATCHED 3:IDENT'a' 3:MATCH_RPAREN 3:NATIVE_EXPR'\\n' 4:NL");
    // Several continuation lines in a row, with a comment continued too.
    EXPECT_EQ(after_first_line("TIMER -- a\n& b\n&\n& t\nEXIT\n", true), "2:TIMER 6:NL 6:EXIT 7:NL");
    EXPECT_EQ(after_first_line("TIMER\n&\n& t\nEXIT\n", true), "2:TIMER 4:IDENT't' 5:NL 5:EXIT 6:NL");
    // "&" is a continuation only right after a line break.
    EXPECT_EQ(token_stream("& X\n"), "UNKNOWN_CHAR'&' IDENT'X' NL");
    EXPECT_EQ(after_first_line("EXIT &\n"), "EXIT UNKNOWN_CHAR'&' NL");
}

TEST(ScriptLexerCheck, NativeExpressionsKeepStringsAndNestedCallsWhole) {
    // A string holding a line break and a comma does not end the expression.
    EXPECT_EQ(after_first_line("PRINT x, \"a\nb,\", c\n", true),
              "2:PRINT 2:IDENT'x' 2:COMMA 3:NATIVE_EXPR' \\\"a\\nb,\\\",' 3:COMMA 3:NATIVE_EXPR' c\\n' 4:NL");
    // A matching call inside parentheses splits the text around it.
    EXPECT_EQ(after_first_line("WAITTIL ((MATCHED(a)), y)\n"),
              "WAITTIL LPAREN NATIVE_EXPR'(M' MATCHED IDENT'a' MATCH_RPAREN NATIVE_EXPR'),' COMMA NATIVE_EXPR' y)' "
              "RPAREN NL");
    // Only the upper-case words with "(" right after them are matching calls.
    EXPECT_EQ(after_first_line("PAUSE matched(a) + MATCHED (b)\n"),
              "PAUSE NATIVE_EXPR' matched(a) + MATCHED (b)\\n' NL");
    // REF is a keyword only as a whole word.
    EXPECT_EQ(after_first_line("PAUSE REFS + xREF(1)\n"), "PAUSE NATIVE_EXPR' REFS + xREF(1)\\n' NL");
    // "[" and "]" nest like parentheses; ")" inside brackets is kept.
    EXPECT_EQ(after_first_line("PRINT x, a[f(1, 2)], b[)]\n"),
              "PRINT IDENT'x' COMMA NATIVE_EXPR' a[f(1, 2)],' COMMA NATIVE_EXPR' b[)]\\n' NL");
}

TEST(ScriptLexerCheck, TokenFormsAtTheirEdges) {
    EXPECT_EQ(token_stream("08 0x 12LL 1.5\n"),
              "NUMBER'0' NUMBER'8' NUMBER'0' IDENT'x' NUMBER'12L' IDENT'L' NUMBER'1' UNKNOWN_CHAR'.' NUMBER'5' NL");
    EXPECT_EQ(token_stream("$A1 a$b $_x a :: b ..\n"),
              "ENV_VAR'$A' NUMBER'1' IDENT'a$b' ENV_VAR'$_x' IDENT'a' COLON COLON IDENT'b' UNKNOWN_CHAR'.' "
              "UNKNOWN_CHAR'.' NL");
    // A quote is a character of its own between quotes; "\0" takes at most two
    // further octal digits.
    EXPECT_EQ(token_stream("''' '\\07' '\\077'\n"), "CHAR_CONST''''' CHAR_CONST''\\\\07'' CHAR_CONST''\\\\077'' NL");
    EXPECT_EQ(token_stream("'\\0777'\n"), "UNKNOWN_CHAR''' UNKNOWN_CHAR'\\\\' NUMBER'0777' UNKNOWN_CHAR''' NL");
    // A backslash before a line break ends no string: the quote is alone.
    EXPECT_EQ(token_stream("\"a\\\nb\"\n", true), "1:UNKNOWN_CHAR'\\\"' 1:IDENT'a' 1:UNKNOWN_CHAR'\\\\' 2:NL 2:IDENT'b' "
                                                  "2:UNKNOWN_CHAR'\\\"' 3:NL");
    // FORMAT runs over line breaks up to the first "=".
    EXPECT_EQ(after_first_line("FORMAT a\n b = c\n", true), "3:FORMAT'FORMAT a\\n b =' 3:NATIVE_EXPR' c\\n' 4:NL");
    // VA/EV values need a character other than "=" after the "=".
    EXPECT_EQ(token_stream("EV =5 VA\t=\t= x\n"), "EXPECTED_VALUE'EV =5 VA\\t=\\t= x' NL");
    EXPECT_EQ(token_stream("EV\t==x\n"), "EV_EQUALS'EV\\t==' IDENT'x' NL");
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

TEST(ScriptLexerCheck, EveryNativeExpressionStartsAtDepthZero) {
    // The "(" left open before the unmatched "]" must not swallow the line
    // break that ends the next expression.
    EXPECT_EQ(after_first_line("PAUSE (a ]\nPAUSE b\nEXIT\n"),
              "PAUSE NATIVE_EXPR' (a ]' RBRACKET NL PAUSE NATIVE_EXPR' b\\n' NL EXIT NL");
}

}  // namespace
}  // namespace zv
