// Writes the probe form of a script (the probe header and the decoder) and the
// callback templates into the current directory, for the compile check of
// compile_probe.sh. The event-code part of the header is a stand-in: it gives
// every wait and send of the script a code in walk order and defines each name
// the decoder uses once.
//   probe_files DEFAULT|CUSTOM <script> <root> <interface file>...
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/probe_decoder.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "native/native_analyser.h"
#include "outputs/callback_templates.h"
#include "script/parse_script.h"
#include "semantic/analysis.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace zv;

const char* name_of(const Entry* e) { return e && e->name ? e->name : ""; }

const char* type_of_event(const Entry* event) {
    const auto* d = event ? dynamic_cast<const EventVariableDescriptor*>(event->descriptor) : nullptr;
    return d ? name_of(d->message_type) : "";
}

void collect(const Scope* scope, std::vector<ProbeRecord>& records) {
    for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next) {
        if (e->kind == E_SEND) {
            const auto* d = static_cast<const SendDescriptor*>(e->descriptor);
            records.push_back({true, type_of_event(d->event), name_of(d->channel), 0});
        }
        if (e->kind == E_WAIT) {
            const auto* d = static_cast<const WaitDescriptor*>(e->descriptor);
            for (const Entry* c = d->connections ? d->connections->first : nullptr; c; c = c->next) {
                const auto* cd = static_cast<const ConnectionDescriptor*>(c->descriptor);
                records.push_back({false, type_of_event(cd->event), name_of(cd->channel), 0});
            }
        }
        if (!e->descriptor) continue;
        collect(e->descriptor->sub_scope, records);
        if (e->kind == E_IF) collect(static_cast<const IfDescriptor*>(e->descriptor)->else_part, records);
        if (e->kind == E_WHEN) collect(static_cast<const WhenDescriptor*>(e->descriptor)->instructions, records);
    }
}

void define_once(std::string& text, std::set<std::string>& defined, const std::string& name, int value) {
    if (!defined.insert(name).second) return;
    text += "#define " + name + " " + std::to_string(value) + "\n";
}

// Sends take the low codes, waits the ones above, as the decoder's tests of
// KVR_TDC_LAST_SEND and KVR_TDC_LAST_ID expect.
std::string event_code_part(SemanticModel& model) {
    std::vector<ProbeRecord> found;
    collect(model.root, found);
    int code = 10;
    for (bool send : {true, false})
        for (ProbeRecord record : found)
            if (record.send == send) {
                record.code = code++;
                model.probe_records.push_back(record);
                (send ? model.last_send_code : model.last_id_code) = record.code;
            }
    if (model.last_id_code < model.last_send_code) model.last_id_code = model.last_send_code;
    model.generation_tag = "Tue Dec  8 12:00:00 2026 4242";

    std::string text = "#ifndef KVR_PROBE_H\n#define KVR_PROBE_H\n\n#define KVR_TDC_END_SEND 1\n"
                       "#define KVR_TDC_END_RECV 2\n\n#define KVR_TDC_gen \"" + model.generation_tag + "\"\n";
    std::set<std::string> defined;
    for (const char* name : {"KVR_TDC_Sscn", "KVR_TDC_Spts", "KVR_TDC_Escn", "KVR_TDC_Epts"})
        define_once(text, defined, name, 0);
    for (const ProbeRecord& r : model.probe_records)
        define_once(text, defined,
                    std::string(r.send ? "KVR_TDC_SEND_" : "KVR_TDC_RECV_") + r.message_type + "_" + r.channel, r.code);
    int other = 1000;
    for (const Entry* e = model.root->first; e; e = e->next) {
        if (e->kind == E_MESSAGE_TYPE) {
            define_once(text, defined, std::string("KVR_TDC_EVT_") + name_of(e), other++);
            define_once(text, defined, std::string("KVR_TDC_EEVT_") + name_of(e), other++);
            define_once(text, defined, std::string("KVR_TDC_DEFM_") + name_of(e), 0);
        }
        if (e->kind == E_CHANNEL) define_once(text, defined, std::string("KVR_TDC_CH_") + name_of(e), other++);
    }
    define_once(text, defined, "KVR_TDC_LAST_SEND", model.last_send_code);
    define_once(text, defined, "KVR_TDC_LAST_ID", model.last_id_code);
    return text;
}

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

    std::string header = event_code_part(model);
    Emitter tail(header);
    write_probe_header_tail(tail, model, settings.probe);
    write_file(root + ".h", header);

    const DriverSources sources{settings, parsed.files, model, root + ".c", root + ".rio", "Tue Dec  8 12:00:00 2026",
                                "1.0"};
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
