#include "driver/run_settings.h"

#include "driver/command_line.h"
#include "driver/file_naming.h"

namespace zv {

RunSettings readRunSettings(std::string echo) {
    RunSettings s;
    s.script_path = scriptPathSetting();
    s.interface_files = interfaceFilesSetting();
    s.root = rootSetting();
    s.include_dirs = includeDirectoriesSetting();
    s.filter_letters = filterLettersSetting();
    s.defines = definesSetting();
    s.std_define = standardDefinesSetting();
    s.tool_log = toolLogSetting();
    s.scenarios = scenarioListSetting();
    s.excluded_scenarios = excludedScenarioListSetting();
    s.families = familyListSetting();
    s.excluded_families = excludedFamilyListSetting();
    s.instance = instanceNameSetting();
    s.restriction = number(restrictionSetting());
    s.fast = fastSetting();
    s.probe = probeSetting();
    s.console_echo = consoleEchoSetting();
    s.allocation = allocationSetting();
    s.thread_routine = threadRoutineName(threadSetting(), s.root);
    s.not_shared = notSharedSetting();
    s.keep_comments = commentSetting();
    s.scenario_file = scenarioFileSetting();
    s.trace = traceSetting();
    s.buffer_size = bufferSizeSetting();
    s.echo = std::move(echo);
    return s;
}

}  // namespace zv
