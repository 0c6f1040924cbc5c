// The entry of the generated test driver: `main` taking the tester's command
// line, or with -THREAD a thread routine taking the launcher's argument
// record. It sets up the context and its trace buffer, decides which
// instance this process plays, opens the trace file, notifies the supervisor
// under dynamic following, runs the outermost scenario and shuts down.
#pragma once

namespace zv {

class Emitter;
struct DriverSources;

// Writes the entry function at level 0, its closing brace included.
void write_program_entry(Emitter& out, const DriverSources& sources);

}  // namespace zv
