#include "driver/file_naming.h"

#include "diagnostics/paths.h"

#include <cstdlib>

namespace zv {

SplitPath splitPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
        return {std::string(path), std::string()};
    }
    return {std::string(path.substr(0, dot)), std::string(path.substr(dot + 1))};
}

std::string defaultExtension(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return std::string(".") + (value && *value ? value : fallback);
}

namespace {

// Keeps an extension that is there, else adds the default one.
std::string keepOrAdd(std::string_view path, const char* variable, const char* fallback) {
    SplitPath split = splitPath(path);
    if (!split.extension.empty()) return split.stem + "." + split.extension;
    return split.stem + defaultExtension(variable, fallback);
}

std::string replaced(std::string_view path, const char* variable, const char* fallback) {
    return splitPath(path).stem + defaultExtension(variable, fallback);
}

}  // namespace

std::string scriptFilePath(std::string_view script) { return keepOrAdd(script, "KVS_ZOD", "zod"); }
std::string listingFilePath(std::string_view script) { return replaced(script, "KVS_LIS", "lis"); }
std::string standardDefinesPath(std::string_view value) { return keepOrAdd(value, "KVS_DEF", "def"); }
std::string scenarioFilePath(std::string_view script) { return splitPath(script).stem + ".spg"; }
std::string tdcFilePath(std::string_view root) { return replaced(root, "KVS_TDC", "tdc"); }
std::string probeHeaderPath(std::string_view root) { return replaced(root, "KVS_H", "h"); }
std::string reportStructurePath(std::string_view root) {
    return splitPath(root).stem + "_dyn" + defaultExtension("KVS_TSF", "tsf");
}
std::string traceFileName(std::string_view root) { return replaced(root, "KVS_RIO", "rio"); }
std::string cDriverPath(std::string_view root) { return keepOrAdd(root, "KVS_SRC", "c"); }

TemplatePaths templatePaths(std::string_view cDriver) {
    const std::string extension = splitPath(cDriver).extension;
    const std::string found = directoryOf(cDriver);
    const std::string directory = found.empty() ? std::string(".") : found;
    std::string trigger = "fctri_c.";
    std::string function = "fctfc_c.";
    trigger += extension;
    function += extension;
    return {joinPath(directory, trigger), joinPath(directory, function),
            joinPath(directory, "korva_c.h")};
}

std::string threadRoutineName(std::string_view threadSetting, std::string_view root) {
    if (threadSetting != "<start>") return std::string(threadSetting);
    return splitPath(fileNameOf(root)).stem + "_start";
}

std::string cutEcho(std::string echo) {
    constexpr std::size_t kLimit = 1900;
    if (echo.size() <= kLimit) return echo;
    echo.resize(kLimit);
    return echo + " (...)";
}

}  // namespace zv
