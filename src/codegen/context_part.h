// The context part of the generated test driver: the script's own C lines,
// the size limits, the record types of message and communication types, the
// macros that reach the per-tester context, and the context structure itself
// (KVR_T_CTX). Everything in it is read from the root scope of the model.
#pragma once

namespace zv {

class Emitter;
struct DriverSources;

// Writes the context part at level 0, from "#undef TIME" to the final TIME
// macro; the empty line that follows it is the caller's.
//
// Under -NOTSHARED the file-level variables of the script files become
// context members, each reached through a macro of its name unless SHARE
// names it.
void write_context_part(Emitter& out, const DriverSources& sources);

}  // namespace zv
