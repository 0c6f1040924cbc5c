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

// Replaces each "$key" by its value.
std::string fill(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values)
        for (std::size_t at; (at = text.find("$" + key)) != std::string::npos;)
            text.replace(at, key.size() + 1, value);
    return text;
}

std::string n(int number) { return std::to_string(number); }

// `lines` with every line that is not a directive moved right by `blanks`.
std::string indented(const std::string& lines, int blanks) {
    std::string out;
    for (std::size_t start = 0, end; start < lines.size(); start = end + 1) {
        end = lines.find('\n', start);
        if (lines[start] != '#') out.append(static_cast<std::size_t>(blanks), ' ');
        out += lines.substr(start, end - start + 1);
    }
    return out;
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
    EXPECT_EQ(g.text, leaf("kvr_S" + n(g.entry(E_SCENARIO, "A").event_code), fill(R"(  int T1=0;
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
                                       {{"C", n(g.entry(E_COMMENT, "hello").event_code)},
                                        {"S", n(g.entry(E_SET, "AB").event_code)},
                                        {"U", n(g.entry(E_UNSET, "B").event_code)},
                                        {"P", n(g.entry(E_PRINT, "n").event_code)},
                                        {"R", n(rendezvous.event_code)},
                                        {"N", n(rendezvous.report_number)},
                                        {"X", n(g.entry(E_EXIT).event_code)},
                                        {"E", n(g.entry(E_ERROR).event_code)}})));
    EXPECT_GT(rendezvous.report_number, 0);
}

// The lines of one block call inside a step sequence at depth 2, from the
// report of its start to the flush after it; $x stands for the call lines.
constexpr const char* kBlockSteps = R"(#if KVS_DYNFLW
kvr_special_block_tsf ( &(kvr_ctx->kvr_ctxrun), $r, 1, $t, 1);
#endif /* KVS_DYNFLW */

kvr_$b(&(kvr_ctx->kvr_ctxrun),$e,$s,2,J2);
$x
if (kvr_local_state)
 {
#if KVS_DYNFLW
  kvr_special_block_tsf ( &(kvr_ctx->kvr_ctxrun), $q, 1, $t, 0);
#endif /* KVS_DYNFLW */
  
  kvr_$a(&(kvr_ctx->kvr_ctxrun),1,$e,2,J2);
  kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), K_TRACECTX_MAX_PRIORITY);
#ifdef KVR_KESTRUN_DEBUG
  kvr_global_state = 2;
  if (( kvr_local_state == 3) || ( kvr_local_state == 4) )
   {
    return ( 4 );
   }
#else
  if (kvr_local_state & 1)
   {
    ++kvr_local_state;
   }
  return ( kvr_local_state );
#endif
 }
else
 {
#if KVS_DYNFLW
  kvr_special_block_tsf ( &(kvr_ctx->kvr_ctxrun), $q, 1, $t, 0);
#endif /* KVS_DYNFLW */
  
  kvr_$a(&(kvr_ctx->kvr_ctxrun),0,$e,2,J2);
 }
kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), 10);
)";

std::string block_steps(const Entry& block, int tag, const char* before, const char* after, const std::string& call,
                        int blanks) {
    return indented(fill(kBlockSteps, {{"r", n(block.report_number)}, {"q", n(block.report_number + 1)},
                                       {"t", n(tag)}, {"b", before}, {"a", after}, {"e", n(block.end_code)},
                                       {"s", n(block.event_code)}, {"x", call}}),
                    blanks);
}

TEST(CodegenScenarios, CompositeScenariosWithBlocksAndARepeatedSubScenario) {
    AnalysisOptions options;
    options.trace = TraceLevel::Scenario;
    const Generated g = generate("HEADER \"t\", \"1\", \"x\"\nPROC cleanup(int n)\nCOMMENT bye\nEND PROC\n"
                                 "SCENARIO Outer\nINITIALIZATION\nCOMMENT init\nEND INITIALIZATION\n"
                                 "TERMINATION cleanup(2)\nEXCEPTION\nCOMMENT oops\nEND EXCEPTION\n"
                                 "SCENARIO Inner LOOP 3\nCOMMENT run\nEND SCENARIO\nEND SCENARIO\n",
                                 "", options);
    const Entry& outer = g.entry(E_SCENARIO, "Outer");
    const Entry& inner = g.entry(E_SCENARIO, "Inner");
    const Entry& procedure = g.entry(E_PROCEDURE, "cleanup");
    const std::string o = n(outer.event_code);
    const std::map<std::string, std::string> codes = {
        {"O", o}, {"Q", n(outer.end_code)}, {"M", n(outer.report_number)}, {"m", n(outer.report_number + 1)},
        {"I", n(inner.event_code)}, {"K", n(inner.end_code)}, {"L", n(inner.report_number)},
        {"l", n(inner.report_number + 1)}, {"R", n(g.entry(E_SCENARIO).event_code)}};
    const auto comment = [&](const char* text) {
        return "  kvr_comment ( &(kvr_ctx->kvr_ctxrun)," + n(g.entry(E_COMMENT, text).event_code) + " );\n";
    };
    const std::string call_procedure = "kvr_bproc(&(kvr_ctx->kvr_ctxrun)," + n(procedure.event_code) +
                                       ");\nkvr_local_state = kvr_P" + n(procedure.event_code) +
                                       " (kvr_ctx, 2);\nkvr_aproc(&(kvr_ctx->kvr_ctxrun)," + n(procedure.end_code) + ");";
    EXPECT_EQ(g.text,
              leaf("kvr_i" + o, comment("init")) + leaf("kvr_e" + o, comment("oops")) +
                  leaf("kvr_S" + n(inner.event_code), comment("run")) +
                  fill("static KVR_T_INT kvr_S$O KVR_DP (( kvr_ctx)) KVR_BP\nKVR_PT_CTX kvr_ctx KVR_EP\n {\n"
                       "  KVR_T_INT kvr_local_state = 0;\n  KVR_T_INT kvr_global_state = 0;\n"
                       "  for(J2=1; J2<=3; ++J2)\n   {\n",
                       codes) +
                  block_steps(g.entry(E_INITIALIZATION), 1, "binit", "ainit", "kvr_local_state = kvr_i" + o +
                              " (kvr_ctx);", 4) +
                  fill(R"(    kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),$K, $I ,2, J2, "Outer.Inner", $L, 1);
    kvr_local_state = kvr_S$I (kvr_ctx);
    kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),kvr_local_state,$K,2,J2,"Outer.Inner",$l,1);
    if ( kvr_local_state )
     {
      kvr_global_state = 2;
      kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), K_TRACECTX_MAX_PRIORITY);
      if (( kvr_local_state == 3) || ( kvr_local_state == 4) )
       {
        return ( 4 );
       }
)", codes) +
                  block_steps(g.entry(E_EXCEPTION), 3, "bexcep", "aexcep", "kvr_local_state = kvr_e" + o +
                              " (kvr_ctx);", 6) +
                  "     }\n    else\n     {\n" +
                  block_steps(g.entry(E_TERMINATION, "cleanup"), 2, "bterm", "aterm", call_procedure, 6) +
                  fill(R"(     }
    kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), 10);
   }
  return ( kvr_global_state );
 }
static KVR_T_INT kvr_S$R KVR_DP (( kvr_ctx)) KVR_BP
KVR_PT_CTX kvr_ctx KVR_EP
 {
  KVR_T_INT kvr_local_state = 0;
  KVR_T_INT kvr_global_state = 0;
  J1 = 1;
  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),$Q, $O ,1, J1, "Outer", $M, 1);
  kvr_local_state = kvr_S$O (kvr_ctx);
  kvr_stopchronomarkloop (&(kvr_ctx->kvr_ctxrun),kvr_local_state,$Q,1,J1,"Outer",$m,1);
  if ( kvr_local_state )
   {
    kvr_global_state = 2;
    kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), K_TRACECTX_MAX_PRIORITY);
    if (( kvr_local_state == 3) || ( kvr_local_state == 4) )
     {
      return ( 4 );
     }
   }
  kvr_flush_circular_buffer(&(kvr_ctx->kvr_ctxrun), 10);
  return ( kvr_global_state );
 }
)", codes));
}

// Instruction sections run where kvr_numinstance names one of their
// instances (numbered from 2); with a declared instance selected, only its
// own sections are left, unguarded.
TEST(CodegenScenarios, InstanceSectionsUnderEachMode) {
    const std::string script = "HEADER \"t\", \"1\", \"x\"\nDECLARE_INSTANCE Alice, Bob\nSCENARIO A\n"
                               "INSTANCE Alice, Bob:\nCOMMENT both\nEND INSTANCE\n"
                               "INSTANCE Bob:\nCOMMENT bob\nEND INSTANCE\nEND SCENARIO\n";
    for (const char* instance : {"", "Carol", "Alice"}) {
        AnalysisOptions options;
        options.instance = instance;
        const Generated g = generate(script, "A", options);
        const std::string both =
            "kvr_comment ( &(kvr_ctx->kvr_ctxrun)," + n(g.entry(E_COMMENT, "both").event_code) + " );\n";
        const std::string body =
            std::string(instance) == "Alice"
                ? "  " + both
                : "  if ((kvr_numinstance==2) || (kvr_numinstance==3))\n   {\n    " + both +
                      "   }\n  if ((kvr_numinstance==3))\n   {\n    kvr_comment ( &(kvr_ctx->kvr_ctxrun)," +
                      n(g.entry(E_COMMENT, "bob").event_code) + " );\n   }\n";
        EXPECT_EQ(g.text, leaf("kvr_S" + n(g.entry(E_SCENARIO, "A").event_code), body)) << instance;
    }
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// ADD_ID copies an identifier of a structure type byte by byte, and assigns
// one of a scalar type.
TEST(CodegenScenarios, AddIdCopiesAStructuredIdentifier) {
    const std::string script = "HEADER \"a\", \"b\", \"c\"\n# typedef struct { int h; } sock_t;\n# sock_t s1; int n1;\n"
                               "COMMTYPE S IS sock_t\nCOMMTYPE N IS int\nCHANNEL S : c\nCHANNEL N : d\n"
                               "SCENARIO A\nADD_ID (c, s1)\nADD_ID (d, n1)\nEND SCENARIO\n";
    const Generated g = generate(script, "A");
    EXPECT_NE(g.text.find("kvr_memcpy(&(kvr_channel_S[0].kvr_connexionId[kvr_channel_S[0].kvr_numberofId]),\n"
                          "    &s1, sizeof (sock_t));\n"),
              std::string::npos)
        << g.text;
    EXPECT_NE(g.text.find("kvr_channel_N[0].kvr_connexionId[kvr_channel_N[0].kvr_numberofId] = n1;\n"),
              std::string::npos)
        << g.text;
}

}  // namespace
}  // namespace zv::test
