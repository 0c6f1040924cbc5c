#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "codegen/procedures.h"
#include "model/semantic_model.h"
#include "native/type_class.h"

#include <string>

namespace zv {

namespace {

using namespace codegen;

// How values of one type code are cast, checked and defaulted.
struct CheckForm {
    const char* cast;
    const char* check;
    const char* fallback;  // the operand written when a value is missing, with its ", "
};

CheckForm form_of(int code) {
    switch (code) {
        case native::kOtherIntegral: return {"(KVR_T_ENUM) ", "kvr_int_c (", "0, "};
        case native::kCharacter: return {"(KVR_T_CAR) ", "kvr_char_c (", "'\\0', "};
        case native::kInteger: return {"(KVR_T_INT) ", "kvr_int_c (", "0, "};
        case native::kLongInteger: return {"(KVR_T_LONG) ", "kvr_long_c (", "0, "};
        case native::kFloating: return {"(KVR_T_REAL) ", "kvr_float_c (", "0.0, "};
        case native::kDouble: return {"(KVR_T_DOUBLE) ", "kvr_double_c (", "0.0, "};
        case native::kCharPointer:
        case native::kCharArray: return {"(KVR_PT_CAR) ", "kvr_string_c (", "\"\", "};
        case native::kNonNil: return {"(KVR_PT_VOID) ", "kvr_nonil_c (", "1, "};
        case native::kPointer: return {"(KVR_PT_VOID) ", "kvr_pointer_c (", "0, "};
        default: return {"", "kvr_pointer_c (", "0, "};
    }
}

bool structured(int code) { return code >= native::kStructure && code <= native::kUnion; }

// The class a value of a parameter is checked with: the parameter's own; for
// an argument passed by address (the parameter is its pointer), an ellipsis
// or an unknown parameter, the class of what was written.
int check_class(const CallArgumentDescriptor* a) {
    const auto* p = descriptor_of<InterfaceParameterDescriptor>(a->parameter, D_INTERFACE_PARAMETER);
    const int declared = p ? p->type_class : native::kUnresolved;
    if (!a->by_address && declared != native::kEllipsis && declared != native::kUnresolved) return declared;
    if (a->by_address && a->receiving_class != native::kNoType && a->expected_class == native::kNoType)
        return a->receiving_class;
    if (a->expected_class != native::kNoType) return a->expected_class;
    return a->value_class != native::kNoType ? a->value_class : native::kUnresolved;
}

// One check line: the expected value (no upper bound is ever written in a
// call) against the variable that received what came back.
void check_line(Emitter& out, int code, const char* expected, const char* upper, const char* target, int event) {
    const CheckForm form = form_of(code);
    out.appendf("%s&(kvr_ctx->kvr_ctxrun),", form.check);
    out.append(upper ? "1, " : "0, ");
    auto operand = [&](const char* text, bool is_target) {
        if (!text) {
            out.append(form.fallback);
            return;
        }
        out.append(form.cast);
        if (structured(code) || (is_target && code == native::kNonNil)) out.append("&");
        out.append(text);
        out.append(", ");
    };
    operand(expected, false);
    operand(upper ? upper : expected, false);
    operand(target ? target : upper ? upper : expected, true);
    out.appendf("%d );", event);
    out.emit_line();
}

}  // namespace

void write_function_call(Emitter& out, const Entry* call) {
    const auto* d = descriptor_of<CallDescriptor>(call, D_CALL);
    if (!d || !d->function) return;
    out.appendf("kvr_bcf ( &(kvr_ctx->kvr_ctxrun),%d );", call->event_code);
    out.emit_line();
    const Scope* arguments = d->sub_scope;
    for (const Entry* a = arguments ? arguments->first : nullptr; a; a = a->next) {
        const auto* ad = descriptor_of<CallArgumentDescriptor>(a, D_CALL_ARGUMENT);
        if (!ad || !ad->value || !ad->receiving) continue;
        if (check_class(ad) == native::kCharArray) out.appendf("KVS_STRCPY(%s,%s);", ad->receiving, ad->value);
        else out.appendf("%s = %s;", ad->receiving, ad->value);
        out.emit_line();
    }

    const char* name = call->name ? call->name : "";
    if (d->receiving) out.appendf("%s = %s%s (", d->receiving, form_of(d->return_class).cast, name);
    else out.appendf("%s ( ", name);
    bool later = false;
    for (const Entry* a = arguments ? arguments->first : nullptr; a; a = a->next) {
        const auto* ad = descriptor_of<CallArgumentDescriptor>(a, D_CALL_ARGUMENT);
        if (!ad) continue;
        if (later) out.append(", ");
        if (ad->by_address) out.append("&");
        // What comes back by address lands in the receiving variable.
        const char* passed = ad->by_address && ad->receiving ? ad->receiving : ad->value ? ad->value : ad->receiving;
        out.append(passed ? passed : "");
        later = true;
    }
    out.append(" );");
    out.emit_line();

    for (const Entry* a = arguments ? arguments->first : nullptr; a; a = a->next) {
        const auto* ad = descriptor_of<CallArgumentDescriptor>(a, D_CALL_ARGUMENT);
        if (ad && ad->expected) check_line(out, check_class(ad), ad->expected, nullptr, ad->receiving, a->event_code);
    }
    if (d->expected_return)
        check_line(out, d->return_class, d->expected_return, nullptr, d->receiving, call->end_code - 1);

    out.appendf("kvr_flagrt = kvr_cf (&(kvr_ctx->kvr_ctxrun),%d );", call->end_code);
    out.emit_line();
    out.emit_line("if (kvr_flagrt != 0)");
    out.open_block();
    write_failure_mark(out);
    out.close_block();
}

}  // namespace zv
