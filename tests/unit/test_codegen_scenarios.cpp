// Scenario functions and the statement generator, as whole texts for numbered
// models of analysed scripts: a leaf scenario with the simple statements,
// filters and control structures; a composite scenario with its three blocks
// and a repeated sub-scenario; instruction sections under each instance mode.
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/scenarios.h"
#include "codegen/statements.h"
#include "driver/run_settings.h"
#include "outputs/event_codes.h"
#include "outputs/report_structure.h"
#include "test_semantic_support.h"

#include <map>

namespace zv::test {
namespace {

struct Generated {
    Analysed a;
    std::string text;
    const Entry& entry(int kind, const std::string& name = "") const { return *a.find(kind, name); }
};

// Writes the scenario `name` of an analysed and numbered script, with one
// marker line for each call, which another generator writes.
Generated generate(const std::string& script, const std::string& name, AnalysisOptions options = {}) {
    Generated g{analyse_text(script, "", options), {}};
    Analysed& a = g.a;
    EXPECT_EQ(a.errors, 0u) << a.messages;
    if (!a.model.root) return g;
    const EventCodeSources codes{"t.zod", a.parsed.files, "", "", 0, "", options.instance,
                                 a.model.instance_mode, options.trace, ProbeMode::None, "/work"};
    number_events(codes, a.model);
    format_report_structure(a.parsed.files, a.model.root, "", 0);
    RunSettings settings;
    settings.trace = options.trace;
    settings.instance = options.instance;
    Emitter out(g.text);
    const DriverSources sources{settings, a.parsed.files, a.model, "t.c", "t.rio", "", ""};
    OtherStatements others;
    others.call = [&](const Entry&) { out.emit_line("/* CALL */"); };
    StatementWriter writer(out, sources, others);
    write_scenario(writer, g.entry(E_SCENARIO, name));
    EXPECT_EQ(out.level(), 0);
    EXPECT_EQ(writer.depth(), 0);
    return g;
}

// Replaces each "$key" by its number.
std::string fill(std::string text, const std::map<std::string, int>& numbers) {
    for (const auto& [key, value] : numbers)
        for (std::size_t at; (at = text.find("$" + key)) != std::string::npos;)
            text.replace(at, key.size() + 1, std::to_string(value));
    return text;
}

constexpr const char* kDebugHead = " {\n#ifdef KVR_KESTRUN_DEBUG\n  KVR_T_INT kvr_debug_state = 0;\n#endif\n";
constexpr const char* kDebugTail =
    "#ifdef KVR_KESTRUN_DEBUG\n  return ( kvr_debug_state );\n#else\n  return ( 0 );\n#endif\n }\n";

// A function of the leaf or block form around `body`.
std::string leaf(const std::string& name, const std::string& body) {
    return "static KVR_T_INT " + name + "  KVR_DP (( kvr_ctx)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_EP\n" + kDebugHead +
           body + kDebugTail;
}

TEST(CodegenScenarios, LeafScenarioWithStatementsFiltersAndControlStructures) {
    const Generated g = generate("HEADER \"t\", \"1\", \"x\"\n#int x;\nPROC p()\n@x = 1;\nEND PROC\n"
                                 "SCENARIO A\nCOMMENT hello\nSET (\"AB\")\nUNSET (\"B\")\nPRINT n, x\n"
                                 "RENDEZVOUS meet\n%A+B IF (x > 1) THEN\nPAUSE 10\nELSE\n@x = 0;\nEND IF\n"
                                 "%%A+B WHILE (x < 3)\nCALL p()\nEND WHILE\n"
                                 "CASE (x) IS\nWHEN 1 => WHEN 2 =>\nTIMER T1\nWHEN OTHERS =>\nRESET T1\n"
                                 "END CASE\n%%~C EXIT\n%AB ERROR\nEND SCENARIO\n",
                                 "A");
    const Entry& rendezvous = g.entry(E_RENDEZVOUS, "meet");
    EXPECT_EQ(g.text, leaf("kvr_S" + std::to_string(g.entry(E_SCENARIO, "A").event_code), fill(R"(  int T1=0;
  kvr_comment ( &(kvr_ctx->kvr_ctxrun),$C );
  kvr_setfilter ( &(kvr_ctx->kvr_ctxrun),"AB", $S );
  kvr_unsetfilter ( &(kvr_ctx->kvr_ctxrun),"B", $U );
  kvr_print(&(kvr_ctx->kvr_ctxrun),$P,(KVR_T_ULONG)(x));
  kvr_brdv(&(kvr_ctx->kvr_ctxrun),$R, "meet");
  if (kvr_rdv("meet"))
   {
#if KVS_DYNFLW
    kvr_rdv_reached_tsf ( &(kvr_ctx->kvr_ctxrun), 1, $N, 1);
#endif /* KVS_DYNFLW */
    
    kvr_ardv(&(kvr_ctx->kvr_ctxrun),$R,1, "meet");
#ifdef KVR_KESTRUN_DEBUG
    kvr_debug_state = 1;
#else
    return ( 1 );
#endif
   }
  else
   {
#if KVS_DYNFLW
    kvr_rdv_reached_tsf ( &(kvr_ctx->kvr_ctxrun), 0, $N, 1);
#endif /* KVS_DYNFLW */
    
    kvr_ardv(&(kvr_ctx->kvr_ctxrun),$R,0, "meet");
   }
  if ( ( kvr_filter[0]) || (kvr_filter[1]) )
   {
    if ( x > 1 )
     {
      kvr_pause ((KVR_T_UTIME)(10));
     }
    else
     {
      x = 0;
     }
   }
  if ( ( kvr_filter[0]) && (kvr_filter[1]) )
   {
    while ( x < 3 )
     {
      /* CALL */
     }
   }
  switch ( x )
   {
    case 1 :
    case 2 :
     {
      kvr_get_date(&(kvr_ctx->timer[0].timer));
      break;
     }
    default :
     {
      kvr_get_date(&(kvr_ctx->timer[T1].timer));
      break;
     }
   }
  if ( !kvr_filter[2])
   {
    kvr_rioexit ( &(kvr_ctx->kvr_ctxrun),$X );
    return ( 3 );
   }
  if ( kvr_filter[0] && kvr_filter[1])
   {
    kvr_error ( &(kvr_ctx->kvr_ctxrun),$E );
#ifdef KVR_KESTRUN_DEBUG
    kvr_debug_state = 1;
#else
    return ( 1 );
#endif
   }
)",
                                       {{"C", g.entry(E_COMMENT, "hello").event_code},
                                        {"S", g.entry(E_SET, "AB").event_code},
                                        {"U", g.entry(E_UNSET, "B").event_code},
                                        {"P", g.entry(E_PRINT, "n").event_code},
                                        {"R", rendezvous.event_code},
                                        {"N", rendezvous.report_number},
                                        {"X", g.entry(E_EXIT).event_code},
                                        {"E", g.entry(E_ERROR).event_code}})));
    EXPECT_GT(rendezvous.report_number, 0);
}

}  // namespace
}  // namespace zv::test
