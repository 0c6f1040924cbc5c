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
// The script's global C variables are not moved into the context under
// -NOTSHARED yet: the interface analysis keeps no record of the variables
// each script file declares, so the option changes nothing here.
void write_context_part(Emitter& out, const DriverSources& sources);

}  // namespace zv
