// The line writer of generated C: function heads of the runtime's portable form,
// indentation of nested blocks around preprocessor lines, lines of any length,
// and the opening of the driver file.
#include "common/text_format.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <gtest/gtest.h>

#include <cstdio>

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
