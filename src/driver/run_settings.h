// The analysed command line as the phases see it: built once by the driver after
// a successful analysis and passed on by const reference.
#pragma once

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
    int restriction = 2;     // 0 K&R, 1 ANSI, 2 none
    bool fast = true;
    int probe = 0;           // 0 none, 1 DEFAULT, 2 CUSTOM
    bool console_echo = true;
    int allocation = 0;      // 0 none, 1 STACK, 2 DYNAMIC
    std::string thread_routine;  // "<main>" or the routine name
    bool not_shared = false;
    bool keep_comments = true;
    bool scenario_file = false;  // -SPVGEN
    int trace = 0;               // 0, 5, 10, 20, 50
    int buffer_size = 10;
    std::string echo;            // cut at 1900 characters
};

// Reads every setting through the command-line getters (which raise BADFLTVAL
// and BADBSZVAL) and computes the thread routine name.
RunSettings readRunSettings(std::string echo);

}  // namespace zv
