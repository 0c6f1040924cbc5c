// Helpers of the semantic-analysis tests: a script and a header written to a
// scratch directory, parsed and analysed in process with captured messages;
// the model dump and lookups of entries by kind and name.
#pragma once

#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "native/native_analyser.h"
#include "script/parse_script.h"
#include "semantic/analysis.h"
#include "model/model_dump.h"
#include "test_script_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zv::test {

struct Analysed {
    std::unique_ptr<native::NativeAnalyser> native;
    ParseResult parsed;
    SemanticModel model;
    std::string dump;      // without positions
    std::string messages;  // standard error of parse and analysis
    unsigned errors = 0;

    // First entry of `kind` named `name` anywhere in the model (pre-order).
    Entry* find(int kind, const std::string& name) const { return find_in(model.root, kind, name); }

private:
    static Entry* find_in(const Scope* scope, int kind, const std::string& name) {
        for (Entry* e = scope ? scope->first : nullptr; e; e = e->next) {
            if (e->kind == kind && (e->name ? e->name : "") == name) return e;
            if (!e->descriptor) continue;
            if (Entry* found = find_in(e->descriptor->sub_scope, kind, name)) return found;
            if (e->kind == E_IF)
                if (Entry* found = find_in(static_cast<IfDescriptor*>(e->descriptor)->else_part, kind, name))
                    return found;
            if (e->kind == E_WHEN)
                if (Entry* found = find_in(static_cast<WhenDescriptor*>(e->descriptor)->instructions, kind, name))
                    return found;
        }
        return nullptr;
    }
};

// "kind:name" of each entry of a scope, blank-separated.
inline std::string names_in(const Scope* scope) {
    std::string out;
    for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next) {
        if (!out.empty()) out += ' ';
        out += std::to_string(e->kind) + (e->name ? std::string(":") + e->name : std::string());
    }
    return out;
}

// `script` as t.zod, `header` as t.h and the further files, in `dir`.
inline void write_script_files(const ScratchDir& dir, const std::string& script, const std::string& header,
                               const std::vector<std::pair<std::string, std::string>>& more_files) {
    dir.write("t.zod", script);
    dir.write("t.h", header);
    for (const auto& [name, text] : more_files) dir.write(name, text);
}

// Analyses `script` (as t.zod) against `header` (as t.h) in a scratch
// directory. The analysis runs only when the parse counted no error.
inline Analysed analyse_text(const std::string& script, const std::string& header = "",
                             AnalysisOptions options = {},
                             const std::vector<std::pair<std::string, std::string>>& more_files = {}) {
    registerMessageCatalog();
    ScratchDir dir;
    write_script_files(dir, script, header, more_files);
    Analysed a;
    const unsigned before = errorCount();
    testing::internal::CaptureStderr();
    native::AnalyserOptions native_options;
    native_options.interface_files = {"t.h"};
    native_options.restriction = options.restriction;
    a.native = native::analyse_interfaces(native_options);
    a.parsed = parse_script("t.zod", {}, true);
    options.comm_model = a.parsed.comm_model;
    if (errorCount() == before && a.parsed.root)
        a.model = analyse_script(a.parsed.root, a.parsed.files, options, *a.native);
    a.messages = testing::internal::GetCapturedStderr();
    a.errors = errorCount() - before;
    if (a.model.root) a.dump = dump_model(a.model, false);
    return a;
}

// The same without capturing standard error: for death tests, whose child
// process has its own capture.
inline void analyse_quiet(const std::string& script, const std::string& header = "") {
    registerMessageCatalog();
    ScratchDir dir;
    dir.write("t.zod", script);
    dir.write("t.h", header);
    native::AnalyserOptions native_options;
    native_options.interface_files = {"t.h"};
    auto native = native::analyse_interfaces(native_options);
    ParseResult parsed = parse_script("t.zod", {}, true);
    AnalysisOptions options;
    options.comm_model = parsed.comm_model;
    if (errorCount() == 0 && parsed.root) analyse_script(parsed.root, parsed.files, options, *native);
}

// Message lines of one code, in order.
inline std::string lines_of(const std::string& messages, const std::string& code) {
    std::string out;
    std::size_t start = 0;
    while (start < messages.size()) {
        std::size_t end = messages.find('\n', start);
        if (end == std::string::npos) end = messages.size();
        const std::string line = messages.substr(start, end - start);
        if (line.find("-" + code + ",") != std::string::npos) out += line + "\n";
        start = end + 1;
    }
    return out;
}

}  // namespace zv::test
