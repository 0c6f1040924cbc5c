// The probe form of the generated C: the text the generator appends to the probe
// header (selector access, runtime includes, the trace macros the instrumented
// system calls, the external declarations) and the probe-decoder C file that
// turns recorded probe events into trace records, in the DEFAULT form (the
// decoder writes the trace while the system runs) and the CUSTOM form (it
// replays a probe file recorded by the runtime).
#pragma once

#include "common/run_modes.h"

#include <string>

namespace zv {

class Emitter;
struct DriverSources;
struct SemanticModel;

// Everything after the event-code definitions, up to and including the
// closing "#endif" of the header guard.
void write_probe_header_tail(Emitter& out, const SemanticModel& model, ProbeMode mode);

// The whole decoder; the mode comes from sources.settings.probe, which must
// be DEFAULT or CUSTOM.
void write_probe_decoder(Emitter& out, const DriverSources& sources, const std::string& probe_header_path);

}  // namespace zv
