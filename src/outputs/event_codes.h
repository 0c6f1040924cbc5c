// The event-code pass: numbers every traced construct of the analysed program,
// stores the codes in the entries (start, end, expected events, value fields)
// and writes the event-code table (TDC) that the report generator decodes the
// trace with; under -PROBE also the opening of the probe header, one
// "#define KVR_TDC_..." per code. Runs before C generation, which quotes them.
#pragma once

#include "common/run_modes.h"
#include "common/script_file_record.h"
#include "outputs/pass_work.h"

#include <string>
#include <vector>

namespace zv {

class OutputFile;
struct SemanticModel;

struct EventCodeSources {
    std::string script_path;  // the script as the driver derived it
    const std::vector<ScriptFileRecord>& files;
    std::string echo;         // the command line, already cut
    std::string date;         // generation date, ctime form without its newline
    long process_id = 0;
    std::string version;      // the program's version string
    std::string instance;     // -INSTANCE, dropped by the driver in mode 3
    InstanceMode instance_mode = InstanceMode::NoInstances;
    TraceLevel trace = TraceLevel::None;
    ProbeMode probe = ProbeMode::None;
    std::string working_directory;  // for the relative paths of the file records
};

struct EventCodeTexts {
    std::string table;         // the TDC file
    std::string probe_header;  // its opening, empty without -PROBE
};

// Numbers the model and returns both texts; stores every code in the model.
EventCodeTexts number_events(const EventCodeSources& sources, SemanticModel& model);
// The same in two steps: the codes stored first (what the C generator
// needs), then the texts of a model numbered so, which reads it only and
// can run beside the generator; with `pieces`, the table is handed over in
// pieces as it grows.
void store_event_codes(const EventCodeSources& sources, SemanticModel& model);
EventCodeTexts event_code_texts(const EventCodeSources& sources, const SemanticModel& model,
                                const TextPieces& pieces = {});

// Writes the TDC file and, under -PROBE, the probe header's opening. The probe
// header is returned still open (the C generator appends its own part and
// closes it); null without -PROBE.
OutputFile* write_event_codes(const std::string& tdc_path, const std::string& header_path,
                              const EventCodeSources& sources, SemanticModel& model);

}  // namespace zv
