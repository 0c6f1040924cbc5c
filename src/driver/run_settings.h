// The analysed command line as the phases see it: built once by the driver after
// a successful analysis and passed on by const reference.
#pragma once

#include "common/run_modes.h"

#include <string>
#include <vector>

namespace zv {

struct RunSettings {
    std::string script_path;                   // as given (after -NOPATH)
    std::vector<std::string> interface_files;  // in command-line order
    std::string root;
    std::vector<std::string> include_dirs;
    std::string filter_letters;
    std::vector<std::string> defines;
    std::string std_define;  // empty when not given
    std::string tool_log;    // empty when not given
    std::vector<std::string> scenarios, excluded_scenarios, families, excluded_families;
    std::string instance;    // empty when not given
    Restriction restriction = Restriction::None;
    bool fast = true;
    ProbeMode probe = ProbeMode::None;
    bool console_echo = true;
    Allocation allocation = Allocation::None;
    std::string thread_routine;  // "<main>" or the routine name
    bool not_shared = false;
    bool keep_comments = true;
    bool scenario_file = false;  // -SPVGEN
    TraceLevel trace = TraceLevel::None;
    int buffer_size = 10;
    std::string echo;            // cut at 1900 characters
};

// Reads every setting through the command-line getters (which raise BADFLTVAL
// and BADBSZVAL) and computes the thread routine name.
RunSettings readRunSettings(std::string echo);

}  // namespace zv
