#include "codegen/generator_common.h"

#include "codegen/emitter.h"

namespace zv::codegen {

void write_debug_state_declaration(Emitter& out) {
    out.emit_ifdef(kDebug);
    out.emit_line("KVR_T_INT kvr_debug_state = 0;");
    out.emit_endif();
}

void write_debug_state_return(Emitter& out) {
    out.emit_ifdef(kDebug);
    out.emit_return("kvr_debug_state");
    out.emit_else();
    out.emit_return("0");
    out.emit_endif();
}

void write_failure_mark(Emitter& out) {
    out.emit_ifdef(kDebug);
    out.emit_line("kvr_debug_state = 1;");
    out.emit_else();
    out.emit_return("1");
    out.emit_endif();
}

}  // namespace zv::codegen
