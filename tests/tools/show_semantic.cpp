// "model": the semantic model of a script analysed against interface headers,
// for testing and debugging the semantic walk alone.
#include "show.h"

#include "diagnostics/report.h"
#include "native/native_analyser.h"
#include "script/parse_script.h"
#include "semantic/analysis.h"
#include "model/model_dump.h"
#include "outputs/event_codes.h"
#include "outputs/report_structure.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace zv::inspect {
namespace {

std::vector<std::string> split_list(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

bool option_value(const std::string& arg, const char* name, std::string& value) {
    const std::string prefix = std::string(name) + "=";
    if (arg.compare(0, prefix.size(), prefix) != 0) return false;
    value = arg.substr(prefix.size());
    return true;
}

long peak_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int run_model(const std::vector<std::string>& args, bool timing) {
    std::string script, value;
    std::vector<std::string> headers, include_dirs;
    AnalysisOptions options;
    native::AnalyserOptions native_options;
    bool keep_comments = true, positions = true, numbered = timing;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-I" && i + 1 < args.size()) include_dirs.push_back(args[++i]);
        else if (a == "-NOFAST") options.fast = false;
        else if (a == "-NOCOMMENT") keep_comments = false;
        else if (a == "--no-positions") positions = false;
        else if (a == "--numbered") numbered = true;
        else if (option_value(a, "-INSTANCE", value)) options.instance = value;
        else if (option_value(a, "-STD_DEFINE", value)) native_options.std_define_path = value;
        else if (option_value(a, "-DEFINE", value)) native_options.defines = split_list(value);
        else if (option_value(a, "-SCN", value)) options.scenarios = split_list(value);
        else if (option_value(a, "-EXSCN", value)) options.excluded_scenarios = split_list(value);
        else if (option_value(a, "-FAMILY", value)) options.families = split_list(value);
        else if (option_value(a, "-EXFAMILY", value)) options.excluded_families = split_list(value);
        else if (option_value(a, "-TRACE", value)) options.trace = static_cast<TraceLevel>(std::atoi(value.c_str()));
        else if (option_value(a, "-RESTRICTION", value)) native_options.restriction = value == "ANSI" ? Restriction::Ansi
                                                                                 : value == "KR" ? Restriction::KandR
                                                                                                 : Restriction::None;
        else if (!a.empty() && a[0] == '-') script.clear(), headers.clear(), i = args.size();
        else if (script.empty()) script = a;
        else headers.push_back(a);
    }
    if (script.empty()) {
        std::fprintf(stderr,
                     "usage: zv_inspect model <script> [header...] [-I dir] [-INSTANCE=x] [-SCN=a,b] [-EXSCN=..]"
                     " [-FAMILY=..] [-EXFAMILY=..] [-NOFAST] [-TRACE=n] [-NOCOMMENT] [-RESTRICTION=ANSI|KR]"
                     " [-STD_DEFINE=file] [-DEFINE=a,b]"
                     " [--no-positions] [--numbered]\n");
        return 2;
    }
    options.restriction = native_options.restriction;
    native_options.include_dirs = include_dirs;
    native_options.interface_files = headers;
    auto native = native::analyse_interfaces(native_options);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    ParseResult parsed = parse_script(script, include_dirs, keep_comments);
    options.comm_model = parsed.comm_model;
    if (errorCount() != 0 || !parsed.root) {
        std::printf("errors %u\n", errorCount());
        return 1;
    }
    const auto parsed_at = Clock::now();
    const long parse_peak = peak_kib();
    SemanticModel model = analyse_script(parsed.root, parsed.files, options, *native);
    const auto analysed_at = Clock::now();
    const long analysis_peak = peak_kib();
    // With --numbered the output passes number the model as a clean run
    // would (fixed date, process id 0), so the dump shows the stored codes.
    std::size_t output_bytes = 0;
    if (numbered && errorCount() == 0) {
        const EventCodeSources sources{script, parsed.files, "zerizevar", "Thu Jan  1 00:00:00 1970", 0, "1.0.0",
                                       options.instance, model.instance_mode, options.trace, ProbeMode::Default,
                                       ""};
        output_bytes += number_events(sources, model).table.size();
        output_bytes += format_report_structure(parsed.files, model.root, sources.date, 0).size();
    }
    const auto numbered_at = Clock::now();
    if (timing) {
        const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
        std::printf("parse %.1f ms, peak %ld KiB\nanalysis %.1f ms, peak %ld KiB\n", ms(parsed_at - start),
                    parse_peak, ms(analysed_at - parsed_at), analysis_peak);
        std::printf("outputs %.1f ms, peak %ld KiB, %zu bytes\n", ms(numbered_at - analysed_at), peak_kib(),
                    output_bytes);
    } else {
        std::fputs(dump_model(model, positions).c_str(), stdout);
    }
    std::printf("errors %u warnings %u\n", errorCount(), warningCount());
    return 0;
}

const InspectCommand kModel("model",
                            "<script> [header...] [options]: semantic model (scopes, entries, descriptors)",
                            [](const std::vector<std::string>& args) { return run_model(args, false); });
const InspectCommand kModelTime("model-time", "<script> [header...] [options]: time and peak memory of the analysis",
                                [](const std::vector<std::string>& args) { return run_model(args, true); });

}  // namespace
}  // namespace zv::inspect
