// What the writers of the generated driver share: the runtime context
// argument, the debug macro, and typed access to the model's descriptors.
#pragma once

#include "model/semantic_tables.h"

#include <type_traits>
#include <typeinfo>

namespace zv {
class Emitter;
}

namespace zv::codegen {

// The runtime part of the tester's context, the first argument of most
// runtime calls.
inline constexpr const char* kCtx = "&(kvr_ctx->kvr_ctxrun)";
// The macro under which a failing check marks the run failed and goes on.
inline constexpr const char* kDebug = "KVR_KESTRUN_DEBUG";

// The descriptor of `e` as T when it carries the descriptor code `code`.
template <class T>
const T* descriptor_of(const Entry* e, int code) {
    return e && e->descriptor && e->descriptor->code == code ? static_cast<const T*>(e->descriptor) : nullptr;
}

// The descriptor of an entry as the kind D it carries, or null. Descriptor
// kinds are final, so the kind is known by its exact type.
template <class D>
const D* descriptor_of(const Entry& e) {
    static_assert(std::is_final_v<D>);
    const Descriptor* d = e.descriptor;
    return d && typeid(*d) == typeid(D) ? static_cast<const D*>(d) : nullptr;
}
template <class D>
const D* descriptor_of(const Entry* e) {
    return e ? descriptor_of<D>(*e) : nullptr;
}

// A model text, empty when absent.
inline const char* text(const char* t) { return t ? t : ""; }

// The debug state of a generated function: declared at its head, returned at
// its end; a failing check sets it under the debug macro, and otherwise ends
// the function with code 1 (the failure mark).
void write_debug_state_declaration(Emitter& out);
void write_debug_state_return(Emitter& out);
void write_failure_mark(Emitter& out);

}  // namespace zv::codegen
