// Writes the probe form of a script (the probe header, its event codes from the
// event-code pass, and the decoder) and the callback templates into the
// current directory, for the compile check of compile_probe.sh, until the
// compiler itself writes them under -PROBE.
//   probe_files DEFAULT|CUSTOM <script> <root> <interface file>...
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/probe_decoder.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "native/native_analyser.h"
#include "outputs/callback_templates.h"
#include "outputs/event_codes.h"
#include "script/parse_script.h"
#include "semantic/analysis.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace zv;

const char* name_of(const Entry* e) { return e && e->name ? e->name : ""; }

void write_file(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: probe_files DEFAULT|CUSTOM <script> <root> <interface file>...\n");
        return 2;
    }
    registerMessageCatalog();
    RunSettings settings;
    settings.probe = std::string(argv[1]) == "CUSTOM" ? ProbeMode::Custom : ProbeMode::Default;
    settings.script_path = argv[2];
    const std::string root = argv[3];
    for (int i = 4; i < argc; ++i) settings.interface_files.emplace_back(argv[i]);

    native::AnalyserOptions native_options;
    native_options.interface_files = settings.interface_files;
    auto native = native::analyse_interfaces(native_options);
    ParseResult parsed = parse_script(settings.script_path, {}, true);
    if (errorCount() != 0 || !parsed.root) return 1;
    AnalysisOptions options;
    options.comm_model = parsed.comm_model;
    SemanticModel model = analyse_script(parsed.root, parsed.files, options, *native);
    if (errorCount() != 0 || !model.root) return 1;

    const std::string date = "Tue Dec  8 12:00:00 2026";
    const EventCodeSources event_sources{settings.script_path, parsed.files, "probe_files", date, 4242, "1.0",
                                         "", model.instance_mode, TraceLevel::None, settings.probe, ""};
    std::string header = number_events(event_sources, model).probe_header;
    Emitter tail(header);
    write_probe_header_tail(tail, model, settings.probe);
    write_file(root + ".h", header);

    const DriverSources sources{settings, parsed.files, model, root + ".c", root + ".rio", date, "1.0"};
    std::string decoder;
    Emitter out(decoder);
    write_probe_decoder(out, sources, root + ".h");
    write_file(root + ".c", decoder);

    std::vector<std::string> types;
    for (const Entry* e = model.root->first; e; e = e->next)
        if (e->kind == E_MESSAGE_TYPE) types.emplace_back(name_of(e));
    write_file("fctri_c.c", triggerTemplateText(types));
    write_file("fctfc_c.c", includesOnlyText());
    write_file("korva_c.h", korvaHeaderText(settings.interface_files, types));
    return 0;
}
