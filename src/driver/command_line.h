// The script compiler's command line: its option tables for the generic analyser,
// the run-setting getters (each reports INITPBRLM before a successful analysis)
// and the command-line echo.
#pragma once

#include "common/run_modes.h"

#include <string>
#include <vector>

namespace zv {

// Analyses the arguments; on success `echo` holds the command-line echo.
bool analyseCommandLine(int argc, char** argv, std::string& echo);

int optionState(const char* name);
std::string optionValue(int position);
std::vector<std::string> optionValues(int position);

// Run-setting getters.
std::string scriptPathSetting();
std::vector<std::string> interfaceFilesSetting();
std::string rootSetting();
std::vector<std::string> includeDirectoriesSetting();
std::string filterLettersSetting();  // BADFLTVAL (fatal) unless upper-case letters
std::vector<std::string> definesSetting();
std::string standardDefinesSetting();  // empty when not given
std::string toolLogSetting();          // empty when not given
std::vector<std::string> scenarioListSetting();
std::vector<std::string> excludedScenarioListSetting();
std::vector<std::string> familyListSetting();
std::vector<std::string> excludedFamilyListSetting();
std::string instanceNameSetting();  // empty when not given
Restriction restrictionSetting();
bool fastSetting();
ProbeMode probeSetting();
bool consoleEchoSetting();
Allocation allocationSetting();
std::string threadSetting();        // "<main>", "<start>" or the routine name
bool notSharedSetting();
bool commentSetting();              // false with -NOCOMMENT
bool scenarioFileSetting();         // -SPVGEN
TraceLevel traceSetting();
int bufferSizeSetting();            // BADBSZVAL (fatal) unless digits; 0 becomes 10

// Drops the analysed state (tests run several analyses in one process).
void resetCommandLine();

}  // namespace zv
