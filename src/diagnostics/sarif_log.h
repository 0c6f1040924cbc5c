// Machine-readable copy of a run's diagnostics (ZERIZEVAR_SARIF): every message
// line of the listing also becomes one result of a SARIF 2.1.0 log. The log is
// written under a temporary name beside its target and renamed into place at
// every end of the run, fatal and internal ends included, so it is always a
// whole JSON document. It never changes what the run writes or how it ends.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Product identity, as the start lines of the run show it.
struct SarifTool {
    std::string name;
    std::string version;
    std::string fullName;
};

// One message: its code, severity letter, the text of its line after the
// "Zolmex-X-CODE,  " prefix, and the script position it was reported at
// (no file: no location). Texts are the bytes of the listing line.
struct SarifResult {
    std::string_view code;
    char letter = 'I';
    std::string_view text;
    std::string_view file;
    int line = 0;
};

// Pieces of the document: head, the results separated by ",", then tail.
std::string sarifHead(const SarifTool& tool, std::string_view workingDirectory);
std::string sarifResult(const SarifResult& result);
std::string sarifTail(int exitStatus);

// "error" for S, F and E, "warning" for W, "note" for I.
const char* sarifLevel(char letter);

// A JSON string of any bytes: well-formed UTF-8 is kept, every other byte is
// taken as the Latin-1 character of the same value, so the output is UTF-8.
void appendJsonString(std::string& out, std::string_view bytes);

// A file name as a URI reference: bytes outside the unreserved set and "/" are
// percent-encoded; an absolute name becomes a file URI.
std::string fileUri(std::string_view path);

// The process-wide log. Starting with an empty path does nothing; a log that
// cannot be written is left out without a message.
void startSarifLog(const std::string& path, const SarifTool& tool);
void recordSarifResult(const SarifResult& result);
void finishSarifLog(int exitStatus);

}  // namespace zv
