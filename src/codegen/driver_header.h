// The opening of the generated C test driver: its comment block (version, file
// name, generation date) and the includes of the runtime and of the interface
// files. Also the inputs that the generators of the driver share, gathered from
// the run settings, the script-file records and the semantic model.
#pragma once

#include "common/script_file_record.h"

#include <string>
#include <vector>

namespace zv {

class Emitter;
struct RunSettings;
struct SemanticModel;

struct DriverSources {
    const RunSettings& settings;
    const std::vector<ScriptFileRecord>& files;  // the script and its include files
    const SemanticModel& model;
    std::string c_path;    // the C file path as the driver derived it
    std::string rio_name;  // trace file name written into the program entry
    std::string date;      // generation date, ctime form without its newline
    std::string version;   // the program's version string
    long process_id = 0;   // the compiler's, quoted in identification texts
};

// Writes everything up to the context part, from level 0.
void write_driver_header(Emitter& out, const DriverSources& sources);

}  // namespace zv
