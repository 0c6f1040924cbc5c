// The C lexer: token kinds, literal forms, continued lines, line markers and
// the literal decoders shared by #if and the expression typer.
#include "common/string_pool.h"
#include "native/c_lexer.h"
#include "native_test_support.h"

namespace zv::native {
namespace {

TokenList lexed(const std::string& text, LexOptions options = {}) {
    TokenList tokens;
    lex_text(text, 0, 1, tokens, options, {});
    return tokens;
}

std::string texts(const std::string& text, LexOptions options = {}) { return testing_support::joined(lexed(text, options)); }

TEST(NativeLexer, TokensAndTheirKinds) {
    const TokenList t = lexed("id_1 $x 42 'c' \"s\" L\"w\" u8\"u\" U'z' -> <<= ... ## @ `");
    ASSERT_EQ(t.size(), 14u);
    EXPECT_EQ(t[0].kind, TokKind::Ident);
    EXPECT_EQ(t[1].kind, TokKind::Ident);
    EXPECT_EQ(t[2].kind, TokKind::Number);
    EXPECT_EQ(t[3].kind, TokKind::Char);
    EXPECT_EQ(t[4].kind, TokKind::String);
    EXPECT_EQ(t[5].view(), "L\"w\"");
    EXPECT_EQ(t[6].view(), "u8\"u\"");
    EXPECT_EQ(t[7].kind, TokKind::Char);
    EXPECT_EQ(t[8].view(), "->");
    EXPECT_EQ(t[9].view(), "<<=");
    EXPECT_EQ(t[10].view(), "...");
    EXPECT_EQ(t[11].view(), "##");
    EXPECT_EQ(t[12].kind, TokKind::Other);
    // Equal texts share one pooled copy.
    EXPECT_EQ(lexed("abc")[0].text, lexed("x abc")[1].text);
}

TEST(NativeLexer, NumbersAndTheDotDotToken) {
    EXPECT_EQ(texts("1e+5 0x1p-3 1.2.3 .5 x.y"), "1e+5 0x1p-3 1.2.3 .5 x . y");
    EXPECT_EQ(texts("1..3"), "1..3");
    LexOptions values;
    values.dot_dot = true;
    EXPECT_EQ(texts("1..3 a...b [2..5]", values), "1 .. 3 a ... b [ 2 .. 5 ]");
}

TEST(NativeLexer, ContinuedLinesCommentsAndPositions) {
    const TokenList t = lexed("a \\\nb /* one\ntwo */ c\n// gone \\\n still gone\nd\r\ne");
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].line, 1);  // joined to the first line
    EXPECT_EQ(t[2].line, 3);
    EXPECT_EQ(t[3].line, 6);
    EXPECT_EQ(t[4].line, 7);
    EXPECT_TRUE(t[0].line_start());
    EXPECT_FALSE(t[1].line_start());
    EXPECT_TRUE(t[2].space_before());
    EXPECT_TRUE(t[3].line_start());
    std::vector<int> reported;
    TokenList tokens;
    lex_text("x /* never closed\n\n", 0, 1, tokens, LexOptions{}, [&](Code code, int line) {
        EXPECT_EQ(code, Code::UNTERCOMM);
        reported.push_back(line);
    });
    EXPECT_EQ(reported, std::vector<int>{1});
    EXPECT_TRUE(lexed("'open")[0].flags & kUnterminated);
    EXPECT_FALSE(lexed("'\\''")[0].flags & kUnterminated);
}

// Joining works in place: removed newlines come back after the logical line,
// a backslash before anything else stays, carriage returns go before newlines.
TEST(NativeLexer, ContinuedLinesJoinedInPlace) {
    auto join = [](std::string text) {
        text.resize(join_continued_lines(text.data(), text.size()));
        return text;
    };
    EXPECT_EQ(join("a\\\nb\\\nc\nd\\x\\\n"), "abc\n\n\nd\\x");
    EXPECT_EQ(join("#define M 1 \\\n + 2\nM\n"), "#define M 1  + 2\n\nM\n");
    EXPECT_EQ(join("a\\\r\nb\r\nc\r"), "ab\n\nc\r");
    EXPECT_EQ(join("no joins at all\n"), "no joins at all\n");
    EXPECT_EQ(join("\\"), "\\");
    // The lexer of a text with carriage returns keeps the line numbers too.
    const TokenList t = lexed("a \\\r\nb\r\nc\r\n");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].line, 1);
    EXPECT_EQ(t[2].line, 3);
}

// L, u, U and u8 start a literal only when a quote follows at once.
TEST(NativeLexer, PrefixLettersStartWordsUnlessAQuoteFollows) {
    const TokenList t = lexed("L u8x Lx u\"s\" u8 U'z' u8'c' \x80\xff" "9 . .5 ..");
    ASSERT_EQ(t.size(), 12u);
    const std::pair<std::string_view, TokKind> expected[] = {
        {"L", TokKind::Ident},      {"u8x", TokKind::Ident},   {"Lx", TokKind::Ident},   {"u\"s\"", TokKind::String},
        {"u8", TokKind::Ident},     {"U'z'", TokKind::Char},   {"u8'c'", TokKind::Char}, {"\x80\xff" "9", TokKind::Ident},
        {".", TokKind::Punct},      {".5", TokKind::Number},   {".", TokKind::Punct},    {".", TokKind::Punct}};
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].view(), expected[i].first) << i;
        EXPECT_EQ(t[i].kind, expected[i].second) << i;
    }
}

// The cache answers the pool's own copy, also for texts met before it grew.
TEST(NativeLexer, InternCacheAnswersThePooledTextAcrossGrowth) {
    InternCache cache;
    const auto name = [](int i) {
        std::string text = "w";
        text += std::to_string(i);
        return text;
    };
    std::vector<const char*> first;
    for (int i = 0; i < 70000; ++i) first.push_back(cache.intern(name(i)));
    for (int i = 0; i < 70000; i += 7) {
        const std::string text = name(i);
        EXPECT_EQ(cache.intern(text), first[static_cast<std::size_t>(i)]);
        EXPECT_EQ(first[static_cast<std::size_t>(i)], string_pool().intern(text));
    }
    EXPECT_STREQ(cache.intern(std::string_view("abcdefghij", 3)), "abc");
    EXPECT_EQ(cache.intern(""), string_pool().intern(""));
}

TEST(NativeLexer, LineMarkersOfPreprocessedText) {
    LexOptions options;
    options.line_markers = true;
    TokenList tokens;
    std::vector<std::string> files;
    lex_text("a\n# 40 \"x.h\"\nb\n\nc\n#line 7 \"y.h\"\nd\n", 0, 1, tokens, options, {}, [&](int, std::string_view file) {
        files.emplace_back(file);
        return static_cast<int>(files.size());
    });
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].line, 40);
    EXPECT_EQ(tokens[1].file, 1);
    EXPECT_EQ(tokens[2].line, 42);
    EXPECT_EQ(tokens[3].line, 7);
    EXPECT_EQ(files, (std::vector<std::string>{"x.h", "y.h"}));
}

TEST(NativeLexer, LiteralDecoders) {
    long long v = 0;
    ASSERT_TRUE(char_constant_value("'a'", v));
    EXPECT_EQ(v, 97);
    ASSERT_TRUE(char_constant_value("'\\xff'", v));
    EXPECT_EQ(v, -1);  // plain char is signed
    ASSERT_TRUE(char_constant_value("L'\\xff'", v));
    EXPECT_EQ(v, 255);
    ASSERT_TRUE(char_constant_value("'ab'", v));
    EXPECT_EQ(v, 97 * 256 + 98);
    EXPECT_FALSE(char_constant_value("''", v));
    EXPECT_EQ(string_literal_length("\"a\\n\\x41\\101\""), 4);
    EXPECT_EQ(string_literal_length("u8\"\""), 0);

    NumberLiteral n = parse_number("0x7fffffffUL");
    EXPECT_TRUE(n.valid && n.is_unsigned && !n.decimal);
    EXPECT_EQ(n.longs, 1);
    EXPECT_EQ(n.value, 0x7fffffffu);
    n = parse_number("0777");
    EXPECT_EQ(n.value, 511u);
    n = parse_number("0b101");
    EXPECT_EQ(n.value, 5u);
    n = parse_number("2.5e1f");
    EXPECT_TRUE(n.valid && n.is_float);
    EXPECT_EQ(n.float_suffix, 'f');
    EXPECT_DOUBLE_EQ(n.fvalue, 25.0);
    EXPECT_FALSE(parse_number("09").valid);
    EXPECT_FALSE(parse_number("1lll").valid);
}

}  // namespace
}  // namespace zv::native
