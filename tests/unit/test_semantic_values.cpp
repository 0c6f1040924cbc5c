// Values against header types: the shape read from the value notation, the
// value entry tree that VAR records for a structure holding nested
// structures, a union, an array of structures, a character array, pointers,
// an enumeration and bit-fields, and the default value list of a message
// type, whose work variable reaches every field.
#include "semantic/value_match.h"
#include "semantic/value_syntax.h"
#include "test_semantic_support.h"

#include <string>
#include <vector>

namespace zv::test {
namespace {

using semantic::Value;
using semantic::ValueElement;

std::string shape_of(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Empty: return "_";
        case Value::Kind::Plain: return v.text;
        case Value::Kind::Interval: return "[" + v.lower + ":" + v.upper + "]";
        case Value::Kind::Aggregate: break;
    }
    static const char* const kDesignations[] = {"", "name ", "index ", "range ", "others "};
    std::string out = "{";
    for (const ValueElement& e : v.elements) {
        if (out.size() > 1) out += "; ";
        out += kDesignations[static_cast<int>(e.designation)];
        if (!e.first.empty()) out += e.first + (e.second.empty() ? "" : ":" + e.second) + " -> ";
        out += shape_of(e.value);
    }
    return out + "}";
}

TEST(SemanticValues, NotationIsReadIntoItsShape) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{ 0 => 'a', 2..5 => 'b', OTHERS => ' ' }", "{index 0 -> 'a'; range 2:5 -> 'b'; others OTHERS -> ' '}"},
        {"{ id => 3, pos => { x => 1, y => 2 } }", "{name id -> 3; name pos -> {name x -> 1; name y -> 2}}"},
        {"{ 1, , f(2, 3), }", "{1; _; f(2, 3); _}"},
        {"{ '}', \"{,}\", a >= b, p->q }", "{'}'; \"{,}\"; a >= b; p->q}"},
        {"{ 1..3 => x, N+1 .. 7 => y }", "{range 1:3 -> x; range N+1:7 -> y}"},
        {"[ 10 .. 20 ]", "[10:20]"},
        {"[ .. 20 ]", "[:20]"},
        {"{}", "{}"},
        {"a, b", "a, b"},
        {"f(1, ...)", "f(1, ...)"},
        {"{ x => }", "{name x -> _}"},
    };
    for (const auto& [text, shape] : cases) {
        const auto value = semantic::parse_value(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(shape_of(*value), shape) << text;
    }
    for (const char* wrong : {"{ 1 ", "1 }", "x => 1", "{ => 1 }", "{ a..b..c => 1 }", "{ (1 => 2) }", "1..3",
                              "{ \"open }", "{ 1 => 2 => 3 }", "[ 1 .. ]]", "{ a, b ) }"})
        EXPECT_FALSE(semantic::parse_value(wrong)) << wrong;
    // Nesting is bounded.
    EXPECT_TRUE(semantic::parse_value(std::string(200, '{') + std::string(200, '}')));
    EXPECT_FALSE(semantic::parse_value(std::string(300, '{') + std::string(300, '}')));
}

const char* kRecordHeader =
    "enum colour { RED, GREEN, BLUE };\n"
    "struct point { int x; int y; };\n"
    "union number { int i; double d; };\n"
    "struct flags { unsigned int ready : 1; unsigned int mode : 3; };\n"
    "struct record { struct point pos; struct point path[4]; union number n; char name[8];\n"
    "                char *label; void *data; enum colour colour; struct flags f; };\n";

TEST(SemanticValues, ValueTreeFollowsTheLayoutOfTheType) {
    const Analysed a = analyse_text(
        "HEADER \"a\", \"b\", \"c\"\n# struct record r; struct point p;\nSCENARIO s\n"
        "VAR r, EV = { path => { 3 => p, 1 => { y => 2, OTHERS => 0 } }, n => { d => 1.5 }, name => \"abc\", "
        "label => NIL, data => NONIL, colour => [ RED .. GREEN ], OTHERS => 1 }\nEND SCENARIO\n",
        kRecordHeader);
    ASSERT_EQ(a.errors, 0u) << a.messages;
    EXPECT_EQ(a.messages, "");
    const std::size_t from = a.dump.find("        23 E_VALUE \"r\"");
    ASSERT_NE(from, std::string::npos) << a.dump;
    EXPECT_EQ(a.dump.substr(from, a.dump.find("instance_mode") - from),
              R"(        23 E_VALUE "r" [140] use 2
          elements:
            24 E_VALUE_ELEMENT - [141] structure class 10 size 80
              elements:
                24 E_VALUE_ELEMENT "pos" [141] structure field "pos" class 10 size 8
                  elements:
                    24 E_VALUE_ELEMENT "x" [141] scalar field "x" value "1" class 2 size 4
                    24 E_VALUE_ELEMENT "y" [141] scalar field "y" value "1" class 2 size 4
                24 E_VALUE_ELEMENT "path" [141] array field "path" class 11 size 32
                  elements:
                    24 E_VALUE_ELEMENT - [141] structure [1..1] class 10 size 8
                      elements:
                        24 E_VALUE_ELEMENT "x" [141] scalar field "x" value "0" class 2 size 4
                        24 E_VALUE_ELEMENT "y" [141] scalar field "y" value "2" class 2 size 4
                    24 E_VALUE_ELEMENT - [141] whole [3..3] value "p" class 10 size 8
                24 E_VALUE_ELEMENT "n" [141] union field "n" class 12 size 8 union-field 1
                  elements:
                    24 E_VALUE_ELEMENT "d" [141] scalar field "d" value "1.5" class 5 size 8
                24 E_VALUE_ELEMENT "name" [141] string field "name" value "\"abc\"" class 7 size 8
                24 E_VALUE_ELEMENT "label" [141] scalar field "label" value "0" class 9 size 8
                24 E_VALUE_ELEMENT "data" [141] scalar field "data" value "NONIL" class 8 size 8
                24 E_VALUE_ELEMENT "colour" [141] scalar field "colour" value "RED" upper "GREEN" class 2 size 4
                24 E_VALUE_ELEMENT "f" [141] structure field "f" class 10 size 4
                  elements:
                    24 E_VALUE_ELEMENT "ready" [141] scalar field "ready" value "1" class 2 size 4
                    24 E_VALUE_ELEMENT "mode" [141] scalar field "mode" value "1" class 2 size 4
)");
}

// The value entries under the E_VALUE line at `at` of a dump, without it.
std::string value_tree(const std::string& dump, std::size_t at) {
    const std::size_t from = dump.find('\n', at) + 1;
    std::size_t end = from;
    while (end < dump.size() && dump.compare(end, 10, "          ") == 0) end = dump.find('\n', end) + 1;
    return dump.substr(from, end - from);
}

// A value of literals gives the same entries each time it is met, its own
// for each type, and its messages each time: an error, and one given once
// the entries are made.
TEST(SemanticValues, LiteralValuesMetAgain) {
    const std::string lines = "VAR p, EV = { 1, 2 }\nVAR both, EV = { 1, 2 }\nVAR p, EV = { 1, 2, 3 }\n"
                              "VAR both, EV = { 0..5 => 1 }\n";
    const Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# Pair p; int both[2];\nSCENARIO s\n" + lines +
                                        lines + lines + "END SCENARIO\n",
                                    "typedef struct { int a; int b; } Pair;\n");
    std::vector<std::string> trees;
    for (std::size_t at = a.dump.find("E_VALUE \""); at != std::string::npos; at = a.dump.find("E_VALUE \"", at + 1))
        trees.push_back(value_tree(a.dump, at));
    ASSERT_EQ(trees.size(), 9u) << a.dump;
    for (std::size_t i = 3; i < 9; ++i) EXPECT_EQ(trees[i], trees[i % 3]) << i;
    EXPECT_NE(trees[0], trees[1]);
    EXPECT_NE(trees[0].find("field \"b\" value \"2\""), std::string::npos) << trees[0];
    EXPECT_NE(trees[1].find("[1..1] value \"2\""), std::string::npos) << trees[1];
    for (const char* line : {"6]", "10]", "14]"}) {
        EXPECT_NE(lines_of(a.messages, "NBVALINCO").find(std::string("[t.zod:") + line), std::string::npos) << line;
        EXPECT_NE(lines_of(a.messages, "VARNOGOOD").find(std::string("[t.zod:") + line), std::string::npos) << line;
    }
    for (const char* line : {"7]", "11]", "15]"})
        EXPECT_NE(lines_of(a.messages, "BNDOUTARR").find(std::string("[t.zod:") + line), std::string::npos) << line;
}

// The variable of a VAR is typed where it stands: a local declaration and a
// macro give another value tree for the same text, and the global one
// comes back when they are gone.
TEST(SemanticValues, VariablesAreTypedWhereTheyStand) {
    const Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# Pair v; int w[2];\n"  // 1-2
                                    "SCENARIO A\nVAR v, EV = { 1, 2 }\nEND SCENARIO\n"               // 3-5
                                    "SCENARIO B\n# int v[2];\nVAR v, EV = { 1, 2 }\nEND SCENARIO\n"  // 6-9
                                    "SCENARIO C\n##define v w\nVAR v, EV = { 1, 2 }\n"               // 10-12
                                    "##undef v\nVAR v, EV = { 1, 2 }\nEND SCENARIO\n",               // 13-15
                                    "typedef struct { int a; int b; } Pair;\n");
    ASSERT_EQ(a.errors, 0u) << a.messages;
    std::vector<std::string> trees;
    for (std::size_t at = a.dump.find("E_VALUE \""); at != std::string::npos; at = a.dump.find("E_VALUE \"", at + 1))
        trees.push_back(value_tree(a.dump, at));
    ASSERT_EQ(trees.size(), 4u) << a.dump;
    EXPECT_NE(trees[0].find("field \"b\" value \"2\""), std::string::npos) << trees[0];
    for (int i : {1, 2}) EXPECT_NE(trees[i].find("[1..1] value \"2\""), std::string::npos) << trees[i];
    EXPECT_EQ(trees[3], trees[0]);
}

// Completing a structure declared before declares no name, yet texts about
// it read otherwise from there on: its size becomes a constant value.
TEST(SemanticValues, TextsFollowCompletedStructures) {
    const Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int w;\n"   // 1-2
                                    "PROC p1()\nVAR w, EV = sizeof(struct S)\n"      // 3-4
                                    "CALL get(1) @ 0 @ sizeof(struct S)\nEND PROC\n"  // 5-6
                                    "# struct S { int a; };\n"                         // 7
                                    "PROC p2()\nVAR w, EV = sizeof(struct S)\n"      // 8-9
                                    "CALL get(1) @ 0 @ sizeof(struct S)\nEND PROC\n"  // 10-11
                                    "SCENARIO A\nCALL p1()\nCALL p2()\nEND SCENARIO\n",
                                    "struct S;\nunsigned long get(int v);\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    EXPECT_EQ(lines_of(a.messages, "VARNOGOOD"), "Zolmex-E-VARNOGOOD,  [t.zod:4] Incorrect expression (w)\n")
        << a.messages;
    EXPECT_EQ(lines_of(a.messages, "EXPRCONST"),
              "Zolmex-W-EXPRCONST,  [t.zod:10] Return variable sizeof(struct S) can't be a constant\n")
        << a.messages;
}

std::string elements_of(const std::vector<semantic::MatchedElement>& elements, int depth = 0) {
    static const char* const kKinds[] = {"", "structure", "union", "array", "element", "string", "whole", "scalar"};
    std::string out;
    for (const auto& e : elements) {
        out += std::string(2 * depth, ' ') + kKinds[static_cast<int>(e.kind)];
        if (!e.field.empty()) out += " " + e.field;
        if (e.indexed) out += " [" + std::to_string(e.first) + ".." + std::to_string(e.last) + "]";
        if (e.value) out += " = " + *e.value + " class " + std::to_string(e.type_class);
        out += "\n" + elements_of(e.children, depth + 1);
    }
    return out;
}

TEST(SemanticValues, WorkVariableOfMessageTypesReachesEveryField) {
    const Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int i;\nSCENARIO s\nEXIT\nEND SCENARIO\n",
                                    "union body { int code; char *text; };\n"
                                    "struct msg { int id; char tag[4]; union body body; long stamp[2]; };\n");
    ASSERT_TRUE(a.model.root) << a.messages;
    const native::NativeType type = a.native->type_by_name("struct msg", "");
    ASSERT_TRUE(type);
    const auto value = semantic::parse_value("kvr_msgrcv");
    ASSERT_TRUE(value);
    semantic::ValueMatcher matcher(*a.native, "", Position{}, "kvr_msgrcv", ValueUse::Defaults, true);
    ASSERT_TRUE(matcher.type_expressions(*value));
    ASSERT_TRUE(matcher.check_notation(*value));
    const auto elements = matcher.match(*value, type);
    ASSERT_TRUE(elements);
    EXPECT_EQ(elements_of(*elements),
              "structure\n"
              "  scalar id = kvr_msgrcv class 17\n"
              "  string tag = kvr_msgrcv class 17\n"
              "  union body\n"
              "    scalar code = kvr_msgrcv class 17\n"
              "    scalar text = kvr_msgrcv class 17\n"
              "  array stamp\n"
              "    element [0..1] = kvr_msgrcv class 17\n");
}

}  // namespace
TEST(SemanticValues, PlainValueOfAUnionGoesToItsFirstField) {
    const Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\n# int i;\nSCENARIO s\n"
                                    "VAR u, INIT = t\nVAR u, EV = 3\nVAR w, INIT = t\nEND SCENARIO\n",
                                    "struct two { int a; int b; }; union uu { struct two first; int i; };\n"
                                    "struct two t; union uu u; struct other { int a; int b; } w;\n");
    // The union's first field has the value's type; a structure of another
    // type is not spread over the fields.
    EXPECT_EQ(a.messages, "Zolmex-W-INCOMPTYP,  [t.zod:6] Incompatible types (t)\n"
                          "Zolmex-E-VARNOGOOD,  [t.zod:6] Incorrect expression (w)\n");
    EXPECT_NE(a.dump.find("union class 12 size 8 union-field 0\n"
                          "              elements:\n"
                          "                24 E_VALUE_ELEMENT \"first\" [141] whole field \"first\" value \"t\""),
              std::string::npos)
        << a.dump;
    EXPECT_NE(a.dump.find("24 E_VALUE_ELEMENT \"b\" [141] scalar field \"b\" value \"3\""), std::string::npos);
}

}  // namespace zv::test
