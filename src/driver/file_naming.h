// Names of every input and output file of a run, derived from the positional
// arguments and the KVS_* extension variables.
#pragma once

#include <string>
#include <string_view>

namespace zv {

struct SplitPath {
    std::string stem;       // path without "." and extension
    std::string extension;  // text after the last "." not followed by "/", or ""
};
SplitPath splitPath(std::string_view path);

// "." and the variable's value when it is set and not empty, else "." and `fallback`.
std::string defaultExtension(const char* variable, const char* fallback);

std::string scriptFilePath(std::string_view script);          // KVS_ZOD, kept extension
std::string listingFilePath(std::string_view script);         // KVS_LIS
std::string standardDefinesPath(std::string_view value);      // KVS_DEF, kept extension
std::string scenarioFilePath(std::string_view script);        // ".spg"
std::string tdcFilePath(std::string_view root);               // KVS_TDC
std::string probeHeaderPath(std::string_view root);           // KVS_H
std::string reportStructurePath(std::string_view root);       // "_dyn" and KVS_TSF
std::string traceFileName(std::string_view root);             // KVS_RIO
std::string cDriverPath(std::string_view root);               // KVS_SRC, kept extension

// Callback templates beside the C driver.
struct TemplatePaths {
    std::string trigger;   // <dir>/fctri_c.<ext>
    std::string function;  // <dir>/fctfc_c.<ext>
    std::string header;    // <dir>/korva_c.h
};
TemplatePaths templatePaths(std::string_view cDriver);

// "<main>" stays, "<start>" becomes "<root name without extension>_start".
std::string threadRoutineName(std::string_view threadSetting, std::string_view root);

// Echo longer than 1900 characters: its first 1900 and " (...)".
std::string cutEcho(std::string echo);

}  // namespace zv
