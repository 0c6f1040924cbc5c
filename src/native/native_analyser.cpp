#include "native/native_analyser.h"

#include "driver/run_settings.h"
#include "native/preprocessor.h"

#include <cstdlib>

namespace zv::native {

std::vector<std::string> include_search_path(const std::vector<std::string>& include_dirs) {
    std::vector<std::string> path = include_dirs;
    const char* target = std::getenv("KVSTGT");
    if (!target || !*target) target = std::getenv("KVRTGT");
    if (target && *target) path.push_back(std::string(target) + "/lib");
    if (std::getenv("KVW_ADD_USR_INCLUDE")) {
        path.push_back("/usr/include");
        path.push_back("/usr/local/include");
    }
    return path;
}

NativeAnalyser::NativeAnalyser(int restriction, const std::vector<std::string>& include_dirs)
    : restriction_(restriction) {
    PreprocessorSettings settings;
    settings.knr = restriction == 0;
    settings.search_path = include_search_path(include_dirs);
    pp_ = std::make_unique<Preprocessor>(std::move(settings));
}

NativeAnalyser::~NativeAnalyser() = default;

TokenList NativeAnalyser::run_text(const std::string& text, const std::string& name, int line) {
    TokenList out;
    pp_->run(text, name, line, out);
    return out;
}

TokenList NativeAnalyser::preprocess_file(const std::string& path) {
    return run_text("#include \"" + path + "\"\n", "", 0);
}

void NativeAnalyser::analyse_file(const std::string& path, bool standard_defines) {
    const TokenList tokens = run_text("#include \"" + path + "\"\n", standard_defines ? path : std::string(), 0);
    (void)tokens;
}

std::optional<std::string> NativeAnalyser::preprocess(const std::string& text) {
    const TokenList tokens = run_text(text, "", 0);
    if (tokens.empty()) return std::nullopt;
    std::string out;
    int file = -2, line = 0;
    for (const Token& t : tokens) {
        if (t.file != file || t.line < line || t.line > line + 8) {
            if (!out.empty()) out += '\n';
            out += "# " + std::to_string(t.line) + " \"" + pp_->file_name(t.file) + "\"\n";
            file = t.file;
            line = t.line;
        } else {
            for (; line < t.line; ++line) out += '\n';
            if (t.space_before() || !out.empty()) out += ' ';
        }
        out.append(t.text, t.length);
    }
    out += '\n';
    return out;
}

std::unique_ptr<NativeAnalyser> native_setup(int restriction, const std::vector<std::string>& include_dirs,
                                             const std::vector<std::string>& defines) {
    auto analyser = std::make_unique<NativeAnalyser>(restriction, include_dirs);
    for (const std::string& item : defines) analyser->preprocessor().define_item(item);
    return analyser;
}

std::optional<std::string> native_preprocess(NativeAnalyser& analyser, const std::string& text) {
    return analyser.preprocess(text);
}

void native_end(std::unique_ptr<NativeAnalyser> analyser) { analyser.reset(); }

std::unique_ptr<NativeAnalyser> analyse_interfaces(const RunSettings& settings, const std::string& std_define_path) {
    auto analyser = native_setup(settings.restriction, settings.include_dirs, settings.defines);
    if (!std_define_path.empty()) analyser->analyse_file(std_define_path, true);
    for (const std::string& file : settings.interface_files) analyser->analyse_file(file, false);
    return analyser;
}

}  // namespace zv::native
