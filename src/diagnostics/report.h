// Coded diagnostics for every phase, without Qt types: severities, positioned
// reports, counters and the one exit path of the process. Lines look like
// "Zolmex-E-UNKCLPROC,  [demo.zod:12] Unknown procedure 'Init'".
#pragma once

#include "diagnostics/message_codes.h"

#include <memory>

namespace zv {

// The numbers are the kind numbers taken by reportAtText.
enum class Severity : int { Internal = 0, Fatal = 1, Error = 2, Warning = 3, Information = 4 };

char severityLetter(Severity severity);

// C-string variants: a null argument stands for a single blank, anything else is
// taken in the local 8-bit encoding (an empty string stays empty).
void reportText(Severity severity, Code code, const char* first = "", const char* second = "");
[[noreturn]] void reportFatalText(Code code, const char* first = "", const char* second = "");
[[noreturn]] void reportInternalText(Code code, const char* first = "", const char* second = "");

// Positioned report: the position text ("[file:line] ", "[line] " or " ") becomes
// the first argument and `arg` the second. `kind` is a Severity number.
void reportAtText(int kind, Code code, const char* arg, const char* file, int line);
inline void reportAtText(Severity kind, Code code, const char* arg, const char* file, int line) {
    reportAtText(static_cast<int>(kind), code, arg, file, line);
}

unsigned errorCount();
unsigned warningCount();

// Opens (truncates) the listing file; every later line also goes there.
// Failure to create it is the fatal FICERROPN.
void openListingFile(const char* path, bool console);

// Writes the summary line, keeps or removes the listing file, renames the run's
// output files (and the SARIF log, if any) into place and exits with 0, 3 or 5.
[[noreturn]] void finishRun(bool removeCleanListing);

// The single exit for fatal and internal ends: closes the listing file, puts the
// SARIF log (if any) in place, discards unfinished output files, flushes the
// standard streams and exits.
[[noreturn]] void terminateRun(int status);

// A thread that generates text beside the main thread holds its reports
// while a ReportHold of it lives: each line is kept instead of written, and a
// fatal or internal end throws HeldRunEnd to stop the thread's work instead
// of ending the run. The main thread gives the lines later, in the order of
// the text they belong to.
struct HeldRunEnd {
    int status;
};
struct HeldLines;
struct HeldLinesDeleter {
    void operator()(HeldLines* lines) const;
};
using HeldReports = std::unique_ptr<HeldLines, HeldLinesDeleter>;
class ReportHold {
public:
    ReportHold();
    ~ReportHold();
    ReportHold(const ReportHold&) = delete;
    ReportHold& operator=(const ReportHold&) = delete;

    // What the thread held since the last call; null when nothing.
    HeldReports take();
    // What the thread held, without allocating; the thread reports at once
    // from here on (for the end of its work).
    HeldReports release();

private:
    HeldReports lines_;
};
// Whether the held lines end the run.
bool heldEnd(const HeldLines& lines);
// Writes held lines on the calling thread; a held end ends the run here.
void replayHeldReports(const HeldLines& lines);

// Back to the state before a run (no listing file, console on, counters at
// zero), for tests that run several compilations in one process.
void resetReportState();

}  // namespace zv
