// Value lines: a VAR of a scalar and of a structure with nested structures,
// array slices, a union, a string and a range; the message functions'
// comparison, reference dump and message dump with a union selector, the
// assignment of reference values with a range; the base and function of
// each display format; slices that lie outside their array.
#include "codegen/emitter.h"
#include "codegen/value_lines.h"
#include "outputs/event_codes.h"
#include "test_semantic_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace zv::test {
namespace {

const char* kHeader =
    "typedef struct { int a; char c; } In;\n"
    "typedef union { int i; double d; } U;\n"
    "typedef struct { int x; In in; int tab[4]; In arr[3]; U u; char s[8]; long l; } Rec;\n"
    "typedef struct { int id; U u; char tag[4]; long l; } Msg;\n";

void number(Analysed& a) {
    ASSERT_EQ(a.errors, 0u) << a.messages;
    const EventCodeSources sources{"t.zod", a.parsed.files, "zerizevar t", "Thu Jan  1 00:00:00 1970", 1, "1.0.0",
                                   "", a.model.instance_mode, TraceLevel::Scenario, ProbeMode::None, "/work"};
    number_events(sources, a.model);
}

// "@n" in an expected text stands for the root's event code plus n.
std::string coded(std::string text, int base) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
        std::size_t end = at + 1;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        text.replace(at, end - at, std::to_string(base + std::stoi(text.substr(at + 1, end - at - 1))));
    }
    return text;
}

std::string lines(const ValueWalk& walk) {
    std::string text;
    Emitter out(text);
    write_value_lines(out, walk);
    return text;
}

const Entry* root_in(const Scope* scope) {
    for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next)
        if (e->kind == E_VALUE) return e;
    return nullptr;
}

const char* kFailure = "if (kvr_flagrt != 0)\n {\n#ifdef KVR_KESTRUN_DEBUG\n  kvr_debug_state = 1;\n#else\n"
                       "  return ( 1 );\n#endif\n }\n";

TEST(CodegenValues, VarOfAScalarAndOfAStructureWithSlicesUnionStringAndRange) {
    Analysed a = analyse_text(
        "HEADER \"a\", \"b\", \"c\"\n# int x; Rec m; Rec *pm;\nSCENARIO s\nVAR x, EV = 5\nVAR *pm, EV = { x => 4 }\n"
        "VAR m, EV = { x => 1, in => { a => 2, c => 'q' }, tab => { 1 => 7, 2..3 => 8, OTHERS => 0 }, "
        "arr => { 0 => { a => 1, c => 'z' }, OTHERS => { a => 0 } }, u => { d => 1.5 }, s => \"hi\", "
        "l => [ 1 .. 10 ] }\nEND SCENARIO\n",
        kHeader);
    number(a);
    const Entry* x = a.find(E_VALUE, "x");
    const Entry* m = a.find(E_VALUE, "m");
    ASSERT_TRUE(x && m);
    EXPECT_EQ(lines(variable_walk(x, ValueMode::Display)),
              coded("kvr_var_va ( &(kvr_ctx->kvr_ctxrun),@0 );\n"
                    "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@1, (KVR_T_INT) x,(KVR_T_INT) 5,KVR_P_BASE10, I0, -1 );\n"
                    "kvr_flagrt = kvr_end_var_va ( &(kvr_ctx->kvr_ctxrun),@2 );\n",
                    x->event_code) +
                  kFailure);
    // A variable given by an expression is the primary expression of its fields.
    const Entry* pm = a.find(E_VALUE, "*pm");
    ASSERT_TRUE(pm);
    EXPECT_NE(lines(variable_walk(pm, ValueMode::Display)).find("(KVR_T_INT) (*pm).x,(KVR_T_INT) 4"),
              std::string::npos);
    const std::string ctx = "&(kvr_ctx->kvr_ctxrun)";
    auto slice = [&](const char* at, const char* end, const char* loop, const char* line) {
        return std::string("kvr_varplage ( &(kvr_ctx->kvr_ctxrun),") + at + " );\n" + "kvr_varreset (" + ctx + ");\n" +
               loop + "\n {\n  " + line + "\n }\nkvr_varplage ( &(kvr_ctx->kvr_ctxrun)," + end + ", -1, -1 );\n";
    };
    const std::string expected =
        "kvr_var_va ( &(kvr_ctx->kvr_ctxrun),@0 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@1 );\n"
        "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@2, (KVR_T_INT) m.x,(KVR_T_INT) 1,KVR_P_BASE10, I0, -1 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@3 );\n"
        "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@4, (KVR_T_INT) m.in.a,(KVR_T_INT) 2,KVR_P_BASE10, I0, -1 );\n"
        "kvr_var_byte_c (&(kvr_ctx->kvr_ctxrun),@5, (KVR_T_CAR) m.in.c,(KVR_T_CAR) 'q',KVR_P_BASE10, I0, -1 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@6 );\n"
        "kvr_vartab ( &(kvr_ctx->kvr_ctxrun),@7 );\n" +
        slice("@8, 0, 0", "@10", "I1 = 0;",
              "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@9, (KVR_T_INT) m.tab[I1],(KVR_T_INT) 0,KVR_P_BASE10, I1, 0 );") +
        slice("@11, 1, 1", "@13", "I1 = 1;",
              "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@12, (KVR_T_INT) m.tab[I1],(KVR_T_INT) 7,KVR_P_BASE10, I1, 1 );") +
        slice("@14, 2, 3", "@16", "for(I1 = 2; I1 <= 3; ++I1)",
              "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@15, (KVR_T_INT) m.tab[I1],(KVR_T_INT) 8,KVR_P_BASE10, I1, 3 );") +
        "kvr_vartab ( &(kvr_ctx->kvr_ctxrun),@17 );\n"
        "kvr_vartab ( &(kvr_ctx->kvr_ctxrun),@18 );\n"
        "kvr_varplage ( &(kvr_ctx->kvr_ctxrun),@19, 0, 0 );\n"
        "I1 = 0;\n {\n"
        "  kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@20, (KVR_T_INT) m.arr[I1].a,(KVR_T_INT) 1,KVR_P_BASE10, I1, -1 );\n"
        "  kvr_var_byte_c (&(kvr_ctx->kvr_ctxrun),@21, (KVR_T_CAR) m.arr[I1].c,(KVR_T_CAR) 'z',KVR_P_BASE10, I1, -1 );\n"
        " }\nkvr_varplage ( &(kvr_ctx->kvr_ctxrun),@22, -1, -1 );\n"
        "kvr_varplage ( &(kvr_ctx->kvr_ctxrun),@23, 1, 2 );\n"
        "for(I1 = 1; I1 <= 2; ++I1)\n {\n"
        "  kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),@24, (KVR_T_INT) m.arr[I1].a,(KVR_T_INT) 0,KVR_P_BASE10, I1, -1 );\n"
        " }\nkvr_varplage ( &(kvr_ctx->kvr_ctxrun),@25, -1, -1 );\n"
        "kvr_vartab ( &(kvr_ctx->kvr_ctxrun),@26 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@27 );\n"
        "kvr_var_double_c (&(kvr_ctx->kvr_ctxrun),@28, (KVR_T_DOUBLE) m.u.d,(KVR_T_DOUBLE) 1.5, I0, -1 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@29 );\n"
        "kvr_var_string_c (&(kvr_ctx->kvr_ctxrun),@30, (KVR_PT_CAR) m.s,(KVR_PT_CAR) \"hi\", I0, -1 );\n"
        "kvr_var_range_long_c (&(kvr_ctx->kvr_ctxrun),@31, (KVR_T_LONG) m.l,1,(KVR_T_LONG) 1,1,(KVR_T_LONG) 10,"
        "KVR_P_BASE10, I0, -1 );\n"
        "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@32 );\n"
        "kvr_flagrt = kvr_end_var_va ( &(kvr_ctx->kvr_ctxrun),@33 );\n";
    EXPECT_EQ(lines(variable_walk(m, ValueMode::Display)), coded(expected, m->event_code) + kFailure);

    // A slice that lies outside its array (as an OTHERS covering nothing
    // might) writes nothing at all, loop included.
    const Entry* tab = m->descriptor->sub_scope->first->descriptor->sub_scope->first->next->next;
    auto* first = static_cast<ValueElementDescriptor*>(tab->descriptor->sub_scope->first->descriptor);
    first->first = first->last = 4;
    const std::string shown = lines(variable_walk(m, ValueMode::Display));
    EXPECT_EQ(shown.find(coded("@8,", m->event_code)), std::string::npos);
    EXPECT_EQ(shown.find("[4]"), std::string::npos);
    EXPECT_EQ(shown.find("= 4;"), std::string::npos);
}

TEST(CodegenValues, MessageFunctionsCompareDumpAndAssignWithTheUnionSelector) {
    Analysed a = analyse_text("HEADER \"a\", \"b\", \"c\"\nCOMMTYPE Sock IS int\nCHANNEL Sock : link1\n"
                              "MESSAGE Msg : ev\nSCENARIO s\n"
                              "DEF_MESSAGE ev, EV = { id => 3, u => { d => 1.5 }, tag => \"ab\", l => [ .. 9 ] }\n"
                              "END SCENARIO\n",
                              kHeader);
    number(a);
    const Entry* type = a.find(E_MESSAGE_TYPE, "Msg");
    ASSERT_TRUE(type);
    const auto* md = static_cast<const MessageTypeDescriptor*>(type->descriptor);
    const Entry* defaults = root_in(md->defaults);
    const Entry* expected = root_in(md->sub_scope->first->descriptor->sub_scope);
    const Entry* definition = root_in(a.find(E_MESSAGE_DEFINITION, "ev")->descriptor->sub_scope);
    ASSERT_TRUE(defaults && expected && definition);

    EXPECT_EQ(lines(message_walk(expected, "Msg", ValueMode::Compare)),
              coded("kvr_cmp_int_c (&(kvr_ctx->kvr_ctxrun),@2, (KVR_T_INT) kvr_msgrcv.id,(KVR_T_INT) kvr_msgref.id, "
                    "I0, -1 );\n"
                    "if (KVR_Msg.u.select==1)\n {\n"
                    "  kvr_cmp_double_c (&(kvr_ctx->kvr_ctxrun),@4, (KVR_T_DOUBLE) kvr_msgrcv.u.d,(KVR_T_DOUBLE) "
                    "kvr_msgref.u.d, I0, -1 );\n }\nelse\n {\n  kvr_setflagrt ( &(kvr_ctx->kvr_ctxrun) );\n }\n"
                    "kvr_cmp_string_c (&(kvr_ctx->kvr_ctxrun),@6, (KVR_PT_CAR) kvr_msgrcv.tag,(KVR_PT_CAR) "
                    "kvr_msgref.tag, I0, -1 );\n"
                    "kvr_cmp_range_long_c (&(kvr_ctx->kvr_ctxrun),@7, (KVR_T_LONG) kvr_msgrcv.l,0,(KVR_T_LONG) 0,"
                    "1,(KVR_T_LONG) kvr_msgMax.l, I0, -1 );\n",
                    expected->event_code));

    // The reference dump shows the reference's bounds, not a received field.
    EXPECT_NE(lines(message_walk(expected, "Msg", ValueMode::ReferenceDump))
                  .find(coded("\nkvr_dmp_range_long_c (&(kvr_ctx->kvr_ctxrun),@7, 0,(KVR_T_LONG) 0,1,(KVR_T_LONG) "
                              "kvr_msgMax.l,KVR_P_BASE10, I0, -1 );\n",
                              expected->event_code)),
              std::string::npos);

    EXPECT_EQ(lines(message_walk(defaults, "Msg", ValueMode::MessageDump)),
              coded("kvr_var ( &(kvr_ctx->kvr_ctxrun),@0 );\nkvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@1 );\n"
                    "kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),@2, (KVR_T_INT) kvr_msgrcv.id,KVR_P_BASE10, I0, -1 );\n"
                    "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@3 );\n"
                    "switch (KVR_Msg.u.select)\n {\n  case 0:\n   {\n"
                    "    kvr_dmp_int_c (&(kvr_ctx->kvr_ctxrun),@4, (KVR_T_INT) kvr_msgrcv.u.i,KVR_P_BASE10, I0, -1 );\n"
                    "    break;\n   }\n  case 1:\n   {\n"
                    "    kvr_dmp_double_c (&(kvr_ctx->kvr_ctxrun),@5, (KVR_T_DOUBLE) kvr_msgrcv.u.d, I0, -1 );\n"
                    "    break;\n   }\n }\n"
                    "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@6 );\n"
                    "kvr_dmp_string_c (&(kvr_ctx->kvr_ctxrun),@7, (KVR_PT_CAR) kvr_msgrcv.tag, I0, -1 );\n"
                    "kvr_dmp_long_c (&(kvr_ctx->kvr_ctxrun),@8, (KVR_T_LONG) kvr_msgrcv.l,KVR_P_BASE10, I0, -1 );\n"
                    "kvr_varstruct ( &(kvr_ctx->kvr_ctxrun),@9 );\nkvr_var ( &(kvr_ctx->kvr_ctxrun),@10 );\n",
                    defaults->event_code));

    ValueWalk assign = message_walk(definition, "Msg", ValueMode::Assign);
    assign.target = "ev";
    EXPECT_EQ(lines(assign), "ev.id = (KVR_T_INT) 3;\nev.u.d = (KVR_T_DOUBLE) 1.5;\nKVS_STRCPY(ev.tag,\"ab\");\n"
                             "kvr_Max_ev.l = (KVR_T_LONG) 9;\n");

    // A range has no place in the dump of a received message.
    EXPECT_EXIT(lines(message_walk(expected, "Msg", ValueMode::MessageDump)),
                ::testing::ExitedWithCode(9), "RANGENOTA");
}

TEST(CodegenValues, DisplayFormatsChooseTheFunctionAndTheBase) {
    struct Case {
        ValueMode mode;
        int type, format;
        const char* line;
    } cases[] = {
        {ValueMode::Display, 2, 0, "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_INT) t,(KVR_T_INT) v,KVR_P_BASE16"},
        {ValueMode::Display, 0, 2, "kvr_var_int_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_ENUM) t,(KVR_T_ENUM) v,KVR_P_BASE2"},
        {ValueMode::MessageDump, 3, 5, "kvr_dmp_long_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_LONG) t,KVR_P_BASE10"},
        {ValueMode::Display, 1, 0, "kvr_var_bytetab_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_CAR) t,(KVR_T_CAR) v,KVR_P_BASE16"},
        {ValueMode::Display, 1, 2, "kvr_var_byte_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_CAR) t,(KVR_T_CAR) v,KVR_P_BASE2"},
        {ValueMode::ReferenceDump, 1, 3, "kvr_dmp_byte_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_CAR) t,KVR_P_BASE8"},
        {ValueMode::Display, 1, 6, "kvr_var_char_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_CAR) t,(KVR_T_CAR) v,KVR_P_BASE8"},
        {ValueMode::Compare, 1, 0, "kvr_cmp_char_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_T_CAR) t,(KVR_T_CAR) kvr_msgref"},
        {ValueMode::Display, 8, 0, "kvr_var_nonil_c (&(kvr_ctx->kvr_ctxrun),7, (KVR_PT_VOID) t,(KVR_PT_VOID) v"},
        {ValueMode::Display, 10, 0, "kvr_var_pointer_c (&(kvr_ctx->kvr_ctxrun),7, t,v"},
    };
    for (const Case& c : cases) {
        FieldLine f;
        f.mode = c.mode;
        f.event_code = 7;
        f.type_code = c.type;
        f.display_format = c.format;
        f.target = "t";
        f.value = "v";
        EXPECT_EQ(scalar_line(f), std::string(c.line) + ", I0, -1 );") << c.type << " " << c.format;
    }
    FieldLine text;
    text.type_code = 7;
    EXPECT_FALSE(range_lines(text));
}

}  // namespace
}  // namespace zv::test
