// The two functions that put a fresh context into its starting state
// (kvr_initstates for the message states, kvr_initctx for the channels,
// file-level timers and message definitions), and the file-level storage of
// the context and of its trace buffer when the program entry does not
// allocate them itself.
#pragma once

namespace zv {

class Emitter;
struct DriverSources;
struct RunSettings;

// Writes kvr_initstates, an empty line and kvr_initctx, from level 0.
void write_init_functions(Emitter& out, const DriverSources& sources);

// The static context kvr_ctxst, without -ALLOCATION, and beside it the trace
// buffer when a trace level and a buffer size are set.
void write_static_context(Emitter& out, const RunSettings& settings);

}  // namespace zv
