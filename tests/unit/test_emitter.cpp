// The line writer of generated C: function heads of the runtime's portable form,
// indentation of nested blocks around preprocessor lines, lines of any length,
// and the opening of the driver file.
#include "common/text_format.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace zv {
namespace {

TEST(Emitter, FunctionHeadsWithAndWithoutParameters) {
    std::string text;
    Emitter out(text);
    out.appendf("static KVR_T_INT %sWAIT_%d", "kvr_", 2);
    out.add_param("KVR_T_INT *", "kvr_exprOK");
    out.add_param("KVR_T_INT *", "kvr_exprKO");
    out.add_param("KVR_T_UTIME", "kvr_wtime_0");
    out.emit_params();
    out.appendf("static void %sinitstates ", "kvr_");
    out.emit_params();  // the pending list was emptied by the first head
    EXPECT_EQ(text,
              "static KVR_T_INT kvr_WAIT_2 KVR_DP (( kvr_ctx, kvr_exprOK,kvr_exprKO,kvr_wtime_0)) KVR_BP\n"
              "KVR_PT_CTX kvr_ctx KVR_SP\n"
              "KVR_T_INT * kvr_exprOK KVR_SP\n"
              "KVR_T_INT * kvr_exprKO KVR_SP\n"
              "KVR_T_UTIME kvr_wtime_0 KVR_EP\n"
              "static void kvr_initstates  KVR_DP (( kvr_ctx)) KVR_BP\n"
              "KVR_PT_CTX kvr_ctx KVR_EP\n");
}

TEST(Emitter, NestedBlocksIndentCodeButNeverPreprocessorLines) {
    std::string text;
    Emitter out(text);
    out.emit_line("for (kvr_i=0;kvr_i<KVR_K_CHAN_Link;kvr_i++)");
    out.open_block();
    out.emit_ifdef("KVR_KESTRUN_DEBUG");
    out.append("if (kvr_i)");
    out.emit_define("TIME(x)", "0");  // leaves the pending "if" in the buffer
    out.emit_line();
    out.open_block();
    out.emit_line("#undef TIME");
    out.emit_line();
    out.appendf("%s = %d;", std::string(5000, 'n').c_str(), 1);  // past any fixed line buffer
    out.emit_line();
    out.emit_return("2");
    out.close_block();
    out.emit_else();
    out.emit_undef("TIME");
    out.emit_endif();
    out.close_block();
    EXPECT_EQ(out.level(), 0);
    EXPECT_EQ(text,
              std::string("for (kvr_i=0;kvr_i<KVR_K_CHAN_Link;kvr_i++)\n {\n#ifdef KVR_KESTRUN_DEBUG\n#define TIME(x) 0\n"
              "  if (kvr_i)\n   {\n#undef TIME\n    \n    ") + std::string(5000, 'n') + " = 1;\n    return ( 2 );\n   }\n"
              "#else\n#undef TIME\n#endif\n }\n");
}

// The same calls give the same text whether it goes to a string line by line
// or in pieces of a file's size: lines cross the pieces' ends, and a line
// being built keeps its place while other lines are written or a piece goes.
TEST(Emitter, PiecesHoldTheSameTextAsAString) {
    struct Pieces final : PieceSink {
        std::string text;
        std::size_t count = 0;
        void take(std::string&& piece) override {
            text += piece;
            ++count;
        }
    };
    auto write = [](Emitter& out) {
        for (int i = 0; i < 12000; ++i) {
            out.appendf("kvr_x%d = %s;", i, i % 7 ? "1" : "KVR_VALUE_WITH_A_LONGER_NAME");
            if (i % 50 == 0) {
                out.open_block();  // the "{" line is written before the pending one
                out.emit_line();
                out.emit_ifdef("KVR_KESTRUN_DEBUG");
                out.append("#pragma");  // a directive built in pieces stands in column 1
                out.appendf(" once %03d", i);  // and a format done by the C library
                out.emit_line();
                out.emit_endif();
                out.close_block();
            } else if (i % 333 == 0) {
                out.emit_line();
                out.flush();  // a piece goes while no line is being built
                out.append("");
                out.emit_line();  // an empty line
            } else if (i % 333 == 1) {
                out.flush();  // a piece goes while a line is being built
                out.emit_line();
            } else {
                out.emit_line();
            }
        }
        out.append("int kvr_last;");
        out.emit_define("KVR_END", "1");
        out.emit_line();
    };
    std::string whole;
    {
        Emitter out(whole);
        write(out);
    }
    Pieces pieces;
    {
        Emitter out(pieces);
        write(out);
    }
    EXPECT_GT(whole.size(), std::size_t{3} << 16);
    EXPECT_GT(pieces.count, 30U);
    EXPECT_EQ(pieces.text, whole);
    const std::string start =
        " {\n  kvr_x0 = KVR_VALUE_WITH_A_LONGER_NAME;\n#ifdef KVR_KESTRUN_DEBUG\n#pragma once 000\n#endif\n }\n"
        "kvr_x1 = 1;\nkvr_x2 = 1;\n";
    EXPECT_EQ(whole.substr(0, start.size()), start);
    EXPECT_NE(whole.find("\n {\n  kvr_x50 = 1;\n#ifdef KVR_KESTRUN_DEBUG\n#pragma once 050\n#endif\n }\nkvr_x51 = 1;\n"),
              std::string::npos);
    EXPECT_NE(whole.find("\nkvr_x333 = 1;\n\nkvr_x334 = 1;\nkvr_x335 = 1;\n"), std::string::npos);
    const std::string end = "kvr_x11999 = 1;\n#define KVR_END 1\nint kvr_last;\n";
    EXPECT_EQ(whole.substr(whole.size() - end.size()), end);
}

TEST(DriverHeader, CommentBlockRuntimeAndInterfaceIncludes) {
    RunSettings settings;
    settings.interface_files = {"inc/order.h", "link.h"};
    const std::vector<ScriptFileRecord> files;
    const SemanticModel model;
    std::string text;
    Emitter out(text);
    write_driver_header(out, {settings, files, model, "out/demo.c", "out/demo.rio", "Tue Dec  8 11:11:08 2026", "1.0.0"});
    EXPECT_EQ(text,
              "\n/*\n * KORVA Kestrun 1.0.0, preprocessor C\n * file name: out/demo.c\n"
              " * date: Tue Dec  8 11:11:08 2026\n */\n\n\n"
              "#ifdef USE_KVS\n#undef USE_KVS\n#endif\n#define USE_KVS 1\n#include \"TP.h\"\n"
              "#include \"inc/order.h\"\n\n#include \"link.h\"\n\n");
}

}  // namespace
}  // namespace zv

// The formatter behind appendf gives exactly what printf gives, on its own
// conversions and on those it hands to the C library.
TEST(TextFormat, AgreesWithPrintf) {
    auto check = [](const char* format, auto... args) {
        char expected[4096];
        std::snprintf(expected, sizeof expected, format, args...);
        std::string got = "<";
        zv::append_format(got, format, args...);
        EXPECT_EQ(got, std::string("<") + expected) << format;
    };
    check("plain text, no conversion");
    check("%s=%d;", "kvr_x", -2147483647 - 1);
    check("%%d stays %s%%", "lit");
    check("%u %lu %zu %lld %llu %ld", 4294967295u, 18446744073709551615ul, std::size_t{0}, -9223372036854775807ll - 1,
          18446744073709551615ull, -5l);
    check("[%.*s] [%.*s]", 3, "abcdef", 0, "xyz");
    check("%c%c-%s", 'a', 'Z', "");
    check("%03o %5d %-4s|", 8, 42, "ab");  // widths and flags go to the C library
    check("%s then %5d, %s", "simple first", 7, "rest");  // taken back and done whole
    check("trailing %s", "end");
    // Texts longer than the formatter's own buffer, alone and across its end.
    const std::string wide(700, 'w'), half(300, 'h');
    check("%s|%d|%s|%s|%lld", half.c_str(), 5, wide.c_str(), half.c_str(), 123456789012345ll);
    check("%s%s then a width %8s", half.c_str(), half.c_str(), "x");
    const std::string literal = std::string(600, 'L') + " %d %s";
    check(literal.c_str(), 42, half.c_str());
}

namespace {

// A room that grows by no more than is asked for, so that every conversion
// meets its end.
class TightRoom final : public zv::FormatRoom {
public:
    TightRoom() : text_(1) { place(0); }
    void more(std::size_t count) override {
        const auto used = static_cast<std::size_t>(at - text_.data());
        text_.resize(used + count);
        place(used);
    }
    std::string text() const { return std::string(text_.data(), static_cast<std::size_t>(at - text_.data())); }

private:
    void place(std::size_t used) {
        at = text_.data() + used;
        end = text_.data() + text_.size();
    }
    std::vector<char> text_;
};

void format_into(TightRoom& room, const char* format, ...) __attribute__((format(printf, 2, 3)));
void format_into(TightRoom& room, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool done = zv::vformat_simple_into(room, format, args);
    va_end(args);
    if (!done) {
        va_start(args, format);
        zv::vformat_whole_into(room, format, args);
        va_end(args);
    }
}

template <class... Args>
std::string format_in_room(const char* format, Args... args) {
    TightRoom room;
    format_into(room, "%s", "<");
    format_into(room, format, args...);
    return room.text();
}

}  // namespace

// Written straight into a room, the text is the same.
TEST(TextFormat, IntoARoomAgreesWithPrintf) {
    auto check = [](const char* format, auto... args) {
        char expected[4096];
        std::snprintf(expected, sizeof expected, format, args...);
        EXPECT_EQ(format_in_room(format, args...), std::string("<") + expected) << format;
    };
    check("%s=%d;", "kvr_x", -2147483647 - 1);
    check("%%d stays %s%%", "lit");
    check("%u %lu %zu %lld %llu %ld %c", 4294967295u, 18446744073709551615ul, std::size_t{0},
          -9223372036854775807ll - 1, 18446744073709551615ull, -5l, 'q');
    check("[%.*s] [%.*s] [%.*s]", 3, "abcdef", 0, "xyz", -1, "all");
    check("%s then %5d, %s", "simple first", 7, "rest");  // taken back and done whole
    check("%-8s|%x", "ab", 255u);
    const std::string wide(700, 'w');
    check("%s|%d|%s", wide.c_str(), 5, wide.c_str());
}
