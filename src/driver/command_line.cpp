#include "driver/command_line.h"

#include "diagnostics/messages.h"
#include "diagnostics/paths.h"
#include "driver/command_analyser.h"

#include <QtGlobal>

#include <limits>
#include <memory>
#include <optional>

namespace zv {

namespace {

// Option positions (1-based, table order).
enum Option : int {
    kIncl = 1, kSet, kDefine, kStdDefine, kVarnelLog, kScn, kExscn, kFamily, kExfamily,
    kInstance, kRestriction, kFast, kProbe, kLog, kAllocation, kThread, kNotShared,
    kNoPath, kNoComment, kSpvGen, kTrace, kBufSize
};

const char kUsage[] = QT_TRANSLATE_NOOP("Command-line",
    "\nUsage ZERIZEVAR:\n\t<scn>\n\t<interface_file>[,interface_file]\n\t<root>\n"
    "\t[-INCL=<directory_list>[,directory_list]]\n\t[-SET=<letters>]\n"
    "\t[-DEFINE=<compiler_option>[,compiler_option]]\n\t[-STD_DEFINE=<file>]\n"
    "\t[-VARNEL_LOG=<file>]\n\t[-SCN=<scenario_name>[,scenario_name]]\n"
    "\t[-EXSCN=<exscenario_name>[,exscenario_name]]\n\t[-FAMILY=<family_name>[,family_name]]\n"
    "\t[-EXFAMILY=<exfamily_name>[,exfamily_name]]\n\t[-INSTANCE=<instance_name>]\n"
    "\t[-RESTRICTION=<ANSI|KR>]\n\t[-FAST|-NOFAST]\n\t[-PROBE=<CUSTOM|DEFAULT>]\n"
    "\t[-LOG|-NOLOG]\n\t[-ALLOCATION[=<DYNAMIC|STACK>]]\n\t[-THREAD[=<routine_name>]]\n"
    "\t[-NOTSHARED]\n\t[-NOPATH]\n\t[-NOCOMMENT]\n\t[-SPVGEN]\n"
    "\t[-TRACE=<ERROR|TIME|SCN|CIRCULAR>]\n\t[-BUFSIZE=<buffer_size>]\n");

Names same(const char* name) { return {name, name, name}; }

ValueSpec value(Names names, long maximum, bool list) {
    ValueSpec descriptor;
    descriptor.names = std::move(names);
    descriptor.maximum = maximum;
    descriptor.list = list ? 'Y' : 'N';
    return descriptor;
}

OptionSpec withValue(const char* name, bool required, ValueSpec descriptor,
                     std::vector<const char*> keywords = {}, int defaultKeyword = 0) {
    OptionSpec option;
    option.names = same(name);
    option.value_required = required;
    option.value = std::move(descriptor);
    for (const char* k : keywords) option.keywords.push_back({same(k), false});
    option.default_keyword = defaultKeyword;
    return option;
}

OptionSpec flag(const char* name, bool negatable = false, bool defaultOn = false) {
    OptionSpec option;
    option.names = same(name);
    option.negatable = negatable;
    option.default_on = defaultOn;
    return option;
}

std::unique_ptr<CommandAnalyser> makeAnalyser() {
    std::vector<ValueSpec> positionals = {
        value(same("scn"), 255, false),
        value({"fichier_interface", "fichier_interface", "interface_file"}, 255, true),
        value({"racine", "racine", "root"}, 255, false),
    };
    std::vector<OptionSpec> options = {
        withValue("INCL", true, value({"liste_repertoires", "liste_r\xe9pertoires", "directory_list"}, 255, true)),
        withValue("SET", true, value({"lettres", "lettres", "letters"}, 255, false)),
        withValue("DEFINE", true, value({"option_compilation", "option_compilation", "compiler_option"}, 255, true)),
        withValue("STD_DEFINE", true, value({"fichier", "fichier", "file"}, 255, false)),
        withValue("VARNEL_LOG", true, value({"fichier", "fichier", "file"}, 255, false)),
        withValue("SCN", true, value({"nom_scenario", "nom_sc\xe9nario", "scenario_name"}, 255, true)),
        withValue("EXSCN", true, value({"nom_exscenario", "nom_exsc\xe9nario", "exscenario_name"}, 255, true)),
        withValue("FAMILY", true, value({"nom_famille", "nom_famille", "family_name"}, 255, true)),
        withValue("EXFAMILY", true, value({"nom_exfamille", "nom_exfamille", "exfamily_name"}, 255, true)),
        withValue("INSTANCE", true, value({"nom_instance", "nom_instance", "instance_name"}, 255, false)),
        withValue("RESTRICTION", true, value(same("restriction"), 5, false), {"KR", "ANSI"}, 1),
        flag("FAST", true, true),
        withValue("PROBE", true, value(same("probe"), 8, false), {"DEFAULT", "CUSTOM"}, 1),
        flag("LOG", true, true),
        withValue("ALLOCATION", false, value(same("allocation"), 9, false), {"STACK", "DYNAMIC"}, 1),
        withValue("THREAD", false, value({"nom_routine", "nom_routine", "routine_name"}, 255, false)),
        flag("NOTSHARED"),
        flag("NOPATH"),
        flag("NOCOMMENT"),
        flag("SPVGEN"),
        withValue("TRACE", true, value({"option_trace", "option_trace", "trace_option"}, 8, false),
                  {"CIRCULAR", "SCN", "TIME", "ERROR"}, 1),
        withValue("BUFSIZE", true, value({"taille_buffer", "taille_buffer", "buffer_size"}, 255, false)),
    };
    std::vector<ForbiddenCombination> forbidden = {
        {kNotShared - 1, true, kAllocation - 1, false},
        {kFamily - 1, true, kExfamily - 1, true},
        {kScn - 1, true, kExscn - 1, true},
    };
    return std::make_unique<CommandAnalyser>(std::move(positionals), std::move(options),
                                             std::move(forbidden), kUsage);
}

std::unique_ptr<CommandAnalyser>& analyser() {
    static std::unique_ptr<CommandAnalyser> instance;
    return instance;
}

bool gAnalysed = false;

const CommandAnalyser& analysed() {
    if (!gAnalysed || !analyser()) reportInternal(Code::INITPBRLM);
    return *analyser();
}

bool given(int position) { return analysed().options().at(position - 1).state == 1; }
bool negated(int position) { return analysed().options().at(position - 1).state == -1; }
const std::vector<std::string>& values(int position) { return analysed().optionValues(position); }
std::string first(int position) { return analysed().optionValue(position); }

std::string reducedPath(const std::string& path) {
    return given(kNoPath) ? fileNameOf(path) : path;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) text += ',';
        text += items[i];
    }
    return text;
}

// The buffer size in base 10 (0 becomes 10); nothing when the text holds
// anything but digits or the number does not fit an int.
std::optional<int> convertedBufferSize(const std::string& text) {
    long long size = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        size = size * 10 + (c - '0');
        if (size > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return size == 0 ? 10 : static_cast<int>(size);
}

std::string buildEcho(const char* program) {
    std::string echo = program ? program : "";
    auto item = [&](const std::string& text) { echo += ' '; echo += text; };
    auto optionItem = [&](int position, const char* name) {
        if (!given(position)) return;
        const auto& v = values(position);
        item(v.empty() ? std::string("-") + name : std::string("-") + name + "=" + joined(v));
    };
    item(scriptPathSetting());
    item(joined(interfaceFilesSetting()));
    item(rootSetting());
    optionItem(kIncl, "INCL");
    optionItem(kSet, "SET");
    optionItem(kDefine, "DEFINE");
    optionItem(kStdDefine, "STD_DEFINE");
    optionItem(kVarnelLog, "VARNEL_LOG");
    optionItem(kFamily, "FAMILY");
    optionItem(kExfamily, "EXFAMILY");
    optionItem(kScn, "SCN");
    optionItem(kInstance, "INSTANCE");
    optionItem(kExscn, "EXSCN");
    if (given(kSpvGen)) item("-SPVGEN");
    optionItem(kRestriction, "RESTRICTION");
    item(fastSetting() ? "-FAST" : "-NOFAST");
    optionItem(kProbe, "PROBE");
    optionItem(kTrace, "TRACE");
    // A size that is not a number ends the run (BADBSZVAL) before the echo is used.
    if (given(kBufSize)) item("-BUFSIZE=" + std::to_string(convertedBufferSize(first(kBufSize)).value_or(0)));
    item(consoleEchoSetting() ? "-LOG" : "-NOLOG");
    optionItem(kAllocation, "ALLOCATION");
    if (given(kThread)) item("-THREAD=" + threadSetting());
    if (given(kNotShared)) item("-NOTSHARED");
    if (given(kNoComment)) item("-NOCOMMENT");
    return echo;
}

}  // namespace

bool analyseCommandLine(int argc, char** argv, std::string& echo) {
    gAnalysed = false;
    analyser() = makeAnalyser();
    if (!analyser()->analyse(argc, argv)) return false;
    gAnalysed = true;
    echo = buildEcho(argc > 0 ? argv[0] : "");
    return true;
}

void resetCommandLine() {
    gAnalysed = false;
    analyser().reset();
}

int optionState(const char* name) {
    if (!analyser()) reportInternal(Code::INITPBRLM);
    return analyser()->optionState(name ? name : "");
}
std::string optionValue(int position) { return analysed().optionValue(position); }
std::vector<std::string> optionValues(int position) { return analysed().optionValues(position); }

std::string scriptPathSetting() { return reducedPath(analysed().positionalValues(0).at(0)); }
std::vector<std::string> interfaceFilesSetting() {
    std::vector<std::string> files;
    for (const std::string& f : analysed().positionalValues(1)) files.push_back(reducedPath(f));
    return files;
}
std::string rootSetting() { return reducedPath(analysed().positionalValues(2).at(0)); }
std::vector<std::string> includeDirectoriesSetting() { return values(kIncl); }

std::string filterLettersSetting() {
    const std::string letters = given(kSet) ? first(kSet) : std::string();
    for (char c : letters) {
        if (c < 'A' || c > 'Z') reportFatal(Code::BADFLTVAL);
    }
    return letters;
}

std::vector<std::string> definesSetting() { return values(kDefine); }
std::string standardDefinesSetting() { return given(kStdDefine) ? first(kStdDefine) : std::string(); }
std::string toolLogSetting() { return given(kVarnelLog) ? first(kVarnelLog) : std::string(); }
std::vector<std::string> scenarioListSetting() { return values(kScn); }
std::vector<std::string> excludedScenarioListSetting() { return values(kExscn); }
std::vector<std::string> familyListSetting() { return values(kFamily); }
std::vector<std::string> excludedFamilyListSetting() { return values(kExfamily); }
std::string instanceNameSetting() { return given(kInstance) ? first(kInstance) : std::string(); }

Restriction restrictionSetting() {
    if (!given(kRestriction)) return Restriction::None;
    return first(kRestriction) == "ANSI" ? Restriction::Ansi : Restriction::KandR;
}
bool fastSetting() { return !negated(kFast); }
ProbeMode probeSetting() {
    if (!given(kProbe)) return ProbeMode::None;
    return first(kProbe) == "CUSTOM" ? ProbeMode::Custom : ProbeMode::Default;
}
bool consoleEchoSetting() { return !negated(kLog); }
Allocation allocationSetting() {
    if (!given(kAllocation)) return Allocation::None;
    return first(kAllocation) == "DYNAMIC" ? Allocation::Dynamic : Allocation::Stack;
}
std::string threadSetting() {
    if (!given(kThread)) return "<main>";
    const std::string name = first(kThread);
    return name.empty() ? "<start>" : name;
}
bool notSharedSetting() { return given(kNotShared); }
bool commentSetting() { return !given(kNoComment); }
bool scenarioFileSetting() { return given(kSpvGen); }
TraceLevel traceSetting() {
    if (!given(kTrace)) return TraceLevel::None;
    const std::string t = first(kTrace);
    if (t == "ERROR") return TraceLevel::Error;
    if (t == "SCN") return TraceLevel::Scenario;
    if (t == "TIME") return TraceLevel::Time;
    return TraceLevel::Circular;
}
int bufferSizeSetting() {
    if (!given(kBufSize)) return 10;
    const std::optional<int> size = convertedBufferSize(first(kBufSize));
    if (!size) reportFatal(Code::BADBSZVAL);
    return *size;
}

}  // namespace zv
