// The report-structure file ("_dyn.tsf"): for the report tools, one block per
// script file listing its testers, scenarios, INITIALIZATION, TERMINATION and
// EXCEPTION blocks, waits, sends and rendezvous with their lines and element
// ids. Writing it stores each element's id in its entry (`Entry::report_number`),
// which the C driver quotes in its trace calls, so it runs before C generation.
#pragma once

#include "common/run_modes.h"
#include "common/script_file_record.h"
#include "outputs/pass_work.h"

#include <string>
#include <vector>

namespace zv {

struct Scope;
struct SemanticModel;

// The whole file text, from the analysed program's root scope, the script
// files (any order; one block per file index), the generation date and the
// process id of the run. Stores the element ids in the entries it lists.
std::string format_report_structure(const std::vector<ScriptFileRecord>& files, Scope* root,
                                    const std::string& date, long process_id);

// The same in two steps: the ids stored in the entries first (what the C
// generator needs), then the text of a model numbered so, which reads it
// only and can run beside the generator; with `pieces`, the text is handed
// over in pieces as it grows.
void store_report_numbers(const std::vector<ScriptFileRecord>& files, Scope* root);
std::string report_structure_text(const std::vector<ScriptFileRecord>& files, const Scope* root,
                                  const std::string& date, long process_id, const TextPieces& pieces = {});

// Creates `path` and writes the file with this run's process id. The instance
// name and mode are taken for the driver's call and do not change the file.
void write_report_structure(const std::string& path, const std::vector<ScriptFileRecord>& files,
                            const std::string& instance, InstanceMode mode, SemanticModel& model,
                            const std::string& date);

}  // namespace zv
