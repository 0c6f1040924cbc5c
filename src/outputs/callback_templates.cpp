#include "outputs/callback_templates.h"

#include "codegen/emitter.h"
#include "diagnostics/guarded.h"
#include "diagnostics/output_file.h"
#include "diagnostics/paths.h"
#include "diagnostics/report.h"
#include "model/semantic_tables.h"

#include <sys/stat.h>

namespace zv {

TemplateAction decideTriggerTemplate(const std::string& templatePath,
                                     const std::vector<std::string>& interfaceFiles) {
    // A template that exists holds the tester's code: it is never replaced, even
    // when an interface file cannot be compared with it (one found only through
    // the include search with -NOPATH, say).
    struct stat info {};
    const bool exists = ::stat(templatePath.c_str(), &info) == 0;
    if (!exists) {
        reportText(Severity::Warning, Code::NEWFFCTRI);
        return TemplateAction::Write;
    }
    for (const std::string& interfaceFile : interfaceFiles) {
        const int result = newerThan(interfaceFile.c_str(), templatePath.c_str());
        if (result != 2) continue;
        reportText(Severity::Warning, Code::OLDFFCTRI);
        return TemplateAction::Stale;
    }
    return TemplateAction::Keep;
}

namespace {

// The comments of the template, in English (the compiler's language index 2).
constexpr const char* kStructureComment = "/* structure to initialize */";
constexpr const char* kIdComment = "/* id of connection */";
constexpr const char* kReadComment = "/* call to the read event function */";

void includeHeaders(Emitter& out) {
    out.emit_line("#include \"ccst.h\"");
    out.emit_line("#include \"korva_c.h\"");
    out.emit_line();
}

std::vector<std::string> messageTypesOf(const Scope* root) {
    std::vector<std::string> types;
    for (const Entry* e = root ? root->first : nullptr; e; e = e->next)
        if (e->kind == E_MESSAGE_TYPE && e->name) types.emplace_back(e->name);
    return types;
}

void writeFile(const std::string& path, const std::string& text) {
    OutputFile& file = OutputFile::open(path);
    file.write(text);
    file.close();
}

}  // namespace

std::string triggerTemplateText(const std::vector<std::string>& messageTypes) {
    std::string text;
    Emitter out(text);
    includeHeaders(out);
    for (const std::string& type : messageTypes) {
        out.appendf("void %s%s DP ((current,id)) BP", type.c_str(), "_Init");
        out.emit_line();
        out.appendf("   %s *current SP %s", type.c_str(), kStructureComment);
        out.emit_line();
        out.appendf("   T_ENTIER id EP %s", kIdComment);
        out.emit_line();
        out.open_block();
        out.emit_line(kReadComment);
        out.close_block();
    }
    return text;
}

std::string includesOnlyText() {
    std::string text;
    Emitter out(text);
    includeHeaders(out);
    return text;
}

std::string korvaHeaderText(const std::vector<std::string>& interfaceFiles,
                            const std::vector<std::string>& messageTypes) {
    std::string text;
    Emitter out(text);
    for (const std::string& file : interfaceFiles) out.emit_line("#include \"" + file + "\"");
    for (const char* line : {"typedef int T_ENTIER;", "#define CONST", "#define PP(ARGS) ()", "#define DP(ARGS) ARGS",
                             "#define SP ;", "#define EP ;", "#define BP", "#define VOID"})
        out.emit_line(line);
    for (const std::string& type : messageTypes) {
        out.appendf("void %s%s PP ((%s *current,T_ENTIER id));", type.c_str(), "_Init", type.c_str());
        out.emit_line();
        out.emit_line();
    }
    return text;
}

void writeCallbackTemplates(const std::string& cDriverPath, const std::vector<std::string>& interfaceFiles,
                            const Scope* root) {
    const std::string name = fileNameOf(cDriverPath);
    const auto dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    const std::string directory = directoryOf(cDriverPath);
    const std::vector<std::string> types = messageTypesOf(root);
    const std::string templatePath = joinPath(directory, "fctri_c." + extension);
    if (decideTriggerTemplate(templatePath, interfaceFiles) == TemplateAction::Write)
        writeFile(templatePath, triggerTemplateText(types));
    writeFile(joinPath(directory, "fctfc_c." + extension), includesOnlyText());
    writeFile(joinPath(directory, "korva_c.h"), korvaHeaderText(interfaceFiles, types));
}

}  // namespace zv
