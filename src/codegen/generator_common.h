// What the writers of the generated driver share: the runtime context
// argument, the debug macro, and typed access to the model's descriptors.
#pragma once

#include "model/semantic_tables.h"

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

// A model text, empty when absent.
inline const char* text(const char* t) { return t ? t : ""; }

}  // namespace zv::codegen
