#include "diagnostics/messages.h"

#include "diagnostics/aside_work.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/output_file.h"
#include "diagnostics/run_end.h"
#include "diagnostics/sarif_log.h"

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace zv {

namespace {

struct OutputState {
    bool console = true;
    QString listingPath;
    std::FILE* listing = nullptr;
    bool listingOpen = false;
    // Read by threads that hold their reports, for the counts they start from.
    std::atomic<unsigned> errors{0};
    std::atomic<unsigned> warnings{0};
};

OutputState& state() {
    static OutputState s;
    return s;
}

}  // namespace

struct HeldLines {
    struct Line {
        Code code;
        char letter;
        QString first, second;
        // The file name is copied: the text it came from may be gone when
        // the line is given.
        std::string file;
        bool has_file;
        int line;
        bool system_failure;  // a notice of reportSystemFailure: `first` is its whole text
    };
    std::vector<Line> lines;
    int end = -1;  // the status of a held end, -1 when none
};

namespace {

// The held lines of this thread, null when it reports at once.
thread_local HeldLines* tHeld = nullptr;
// What the counters read on such a thread: their values when its hold began
// and its own lines since, held or not, so that a count taken before and
// after some work tells whether the work reported.
thread_local unsigned tHeldErrors = 0;
thread_local unsigned tHeldWarnings = 0;

// The notice of a failed system call, straight to standard error.
void writeSystemFailure(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// A marker is '%', an optional 'L', then one or two digits (0 to 99).
struct Marker {
    qsizetype start;
    qsizetype length;
    int number;
};

QList<Marker> findMarkers(const QString& text) {
    QList<Marker> markers;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != QLatin1Char('%')) continue;
        qsizetype j = i + 1;
        if (j < n && text[j] == QLatin1Char('L')) ++j;
        if (j >= n || !text[j].isDigit() || text[j].digitValue() < 0) continue;
        int number = text[j].digitValue();
        ++j;
        if (j < n && text[j].isDigit() && text[j].digitValue() >= 0) {
            number = number * 10 + text[j].digitValue();
            ++j;
        }
        markers.append({i, j - i, number});
        i = j - 1;
    }
    return markers;
}

// Replaces the markers numbered `numbers[k]` by `values[k]` in one pass, so that
// replacement texts are never scanned for markers themselves.
QString replaceMarkers(const QString& text, const QList<Marker>& markers, const int* numbers,
                       const QString* const* values, int count) {
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    for (const Marker& m : markers) {
        for (int k = 0; k < count; ++k) {
            if (m.number != numbers[k]) continue;
            out += QStringView(text).mid(pos, m.start - pos);
            out += *values[k];
            pos = m.start + m.length;
            break;
        }
    }
    out += QStringView(text).mid(pos);
    return out;
}

void writeBytes(const QByteArray& bytes) {
    auto& s = state();
    if (s.console) {
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    }
    if (s.listingOpen && s.listing) {
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), s.listing);
    }
}

void closeListing() {
    auto& s = state();
    if (s.listing) {
        std::fclose(s.listing);
        s.listing = nullptr;
    }
    s.listingOpen = false;
}

char letterOfKind(int kind) {
    switch (kind) {
        case 0: return 'S';
        case 1: return 'F';
        case 2: return 'E';
        case 3: return 'W';
        case 4: return 'I';
        default: return 'S';
    }
}

QString fromText(const char* text) {
    return text ? QString::fromLocal8Bit(text) : QStringLiteral(" ");
}

}  // namespace

char severityLetter(Severity severity) { return letterOfKind(static_cast<int>(severity)); }

QString fillMarkers(const QString& text, const QString& first) {
    const QList<Marker> markers = findMarkers(text);
    if (markers.isEmpty()) return text;
    int lowest = markers.front().number;
    for (const Marker& m : markers) lowest = std::min(lowest, m.number);
    const QString* values[] = {&first};
    return replaceMarkers(text, markers, &lowest, values, 1);
}

QString fillMarkers(const QString& text, const QString& first, const QString& second) {
    const QList<Marker> markers = findMarkers(text);
    if (markers.isEmpty()) return text;
    int numbers[2] = {100, 100};
    for (const Marker& m : markers) {
        if (m.number < numbers[0]) {
            numbers[1] = numbers[0];
            numbers[0] = m.number;
        } else if (m.number > numbers[0] && m.number < numbers[1]) {
            numbers[1] = m.number;
        }
    }
    const QString* values[] = {&first, &second};
    return replaceMarkers(text, markers, numbers, values, numbers[1] == 100 ? 1 : 2);
}

QString positionText(const char* file, int line) {
    // Built in one reserved string: a run with many messages formats many positions.
    if (file && *file) {
        QString text;
        text.reserve(static_cast<qsizetype>(std::strlen(file)) + 16);
        text += QLatin1Char('[');
        text += QString::fromLocal8Bit(file);
        text += QLatin1Char(':');
        text += QString::number(line);
        text += QLatin1String("] ");
        return text;
    }
    if (line != 0) return QLatin1Char('[') + QString::number(line) + QLatin1String("] ");
    return QStringLiteral(" ");
}

namespace {

constexpr const char kPrefixHead[] = "Zolmex-";
constexpr const char kPrefixTail[] = ",  ";

// The prefix is ASCII: as many bytes as characters.
qsizetype linePrefixBytes(Code code) {
    return static_cast<qsizetype>(sizeof kPrefixHead - 1 + 2 + std::strlen(codeName(code)) + sizeof kPrefixTail - 1);
}

// The prefix, with room for the message text after it.
QString linePrefix(Code code, char letter) {
    QString line;
    line.reserve(linePrefixBytes(code) + 160);
    line += QLatin1String(kPrefixHead);
    line += QLatin1Char(letter);
    line += QLatin1Char('-');
    line += QLatin1String(codeName(code));
    line += QLatin1String(kPrefixTail);
    return line;
}

// Writes the line; the SARIF log, when there is one, gets the line's text
// after the prefix and the script position it was reported at.
void emitLine(Code code, char letter, const QString& first, const QString& second, const char* file, int line) {
    if (tHeld) {
        tHeld->lines.push_back({code, letter, first, second, file ? file : "", file != nullptr, line, false});
        if (letter == 'E') ++tHeldErrors;
        if (letter == 'W') ++tHeldWarnings;
        if (letter == 'F' || letter == 'S') terminateRun(letter == 'F' ? 7 : 9);
        return;
    }
    // Work started beside this thread reported first.
    settleAsideWork();
    const QByteArray bytes = formatMessage(code, letter, first, second).toLocal8Bit();
    writeBytes(bytes);
    const qsizetype prefix = linePrefixBytes(code);
    recordSarifResult({codeName(code), letter,
                       std::string_view(bytes.constData() + prefix, static_cast<size_t>(bytes.size() - prefix - 1)),
                       file ? std::string_view(file) : std::string_view(), line});
    auto& s = state();
    switch (letter) {
        case 'E': ++s.errors; break;
        case 'W': ++s.warnings; break;
        case 'F': terminateRun(7);
        case 'S': terminateRun(9);
        default: break;
    }
}

}  // namespace

QString formatMessage(Code code, char letter, const QString& first, const QString& second) {
    QString line = linePrefix(code, letter);
    if (const QString* text = MessageCatalog::instance().find(code)) {
        if (!first.isEmpty() && !second.isEmpty()) {
            line += fillMarkers(*text, first, second);
        } else if (!first.isEmpty()) {
            line += fillMarkers(*text, first);
        } else if (!second.isEmpty()) {
            line += fillMarkers(*text, second);
        } else {
            line += *text;
        }
    }
    line += QLatin1Char('\n');
    line.remove(QStringLiteral("%1"));
    line.remove(QStringLiteral("%2"));
    line.remove(QStringLiteral("%3"));
    return line;
}

void emitMessage(Code code, char letter, const QString& first, const QString& second) {
    emitLine(code, letter, first, second, nullptr, 0);
}

void reportInformation(Code code, const QString& first, const QString& second) {
    emitMessage(code, 'I', first, second);
}
void reportWarning(Code code, const QString& first, const QString& second) {
    emitMessage(code, 'W', first, second);
}
void reportError(Code code, const QString& first, const QString& second) {
    emitMessage(code, 'E', first, second);
}
void reportFatal(Code code, const QString& first, const QString& second) {
    emitMessage(code, 'F', first, second);
    terminateRun(7);
}
void reportInternal(Code code, const QString& first, const QString& second) {
    emitMessage(code, 'S', first, second);
    terminateRun(9);
}

void reportText(Severity severity, Code code, const char* first, const char* second) {
    emitMessage(code, severityLetter(severity), fromText(first), fromText(second));
}
void reportFatalText(Code code, const char* first, const char* second) {
    reportFatal(code, fromText(first), fromText(second));
}
void reportInternalText(Code code, const char* first, const char* second) {
    reportInternal(code, fromText(first), fromText(second));
}

void reportAt(int kind, Code code, const QString& arg, const char* file, int line) {
    emitLine(code, letterOfKind(kind), positionText(file, line), arg, file, line);
}

void reportAtText(int kind, Code code, const char* arg, const char* file, int line) {
    reportAt(kind, code, fromText(arg), file, line);
}

unsigned errorCount() {
    if (tHeld) return tHeldErrors;
    settleAsideWork();
    return state().errors;
}
unsigned warningCount() {
    if (tHeld) return tHeldWarnings;
    settleAsideWork();
    return state().warnings;
}

void openListingFile(const char* path, bool console) {
    auto& s = state();
    s.console = console;
    if (!path || !*path) return;
    s.listingPath = QString::fromLocal8Bit(path);
    s.listingOpen = true;
    s.listing = std::fopen(path, "w");
    if (!s.listing) {
        s.listingOpen = false;
        // The listing that would hold this message is the file that failed, so it
        // goes to the console even with -NOLOG: a fatal end is never silent.
        s.console = true;
        reportFatal(Code::FICERROPN, s.listingPath);
    }
}

void finishRun(bool removeCleanListing) {
    settleAsideWork();
    commitPendingOutputs();
    auto& s = state();
    const unsigned errorTotal = s.errors, warningTotal = s.warnings;
    const QString errors = QString::number(errorTotal);
    const QString warnings = QString::number(warningTotal);
    if (errorTotal > 0 && warningTotal > 0) {
        reportInformation(Code::ENDERRWAR, errors, warnings);
    } else if (errorTotal > 0) {
        reportInformation(Code::ENDERRNWR, errors);
    } else if (warningTotal > 0) {
        reportInformation(Code::ENDNOEWAR, QString(), warnings);
    } else {
        reportInformation(Code::ENDNOENWR);
    }
    closeListing();
    if (removeCleanListing && errorTotal == 0 && warningTotal == 0 && !s.listingPath.isEmpty()) {
        QFile::remove(s.listingPath);
    }
    const int status = errorTotal > 0 ? 5 : warningTotal > 0 ? 3 : 0;
    finishSarifLog(status);
    std::fflush(stderr);
    std::fflush(stdout);
    endProcess(status);
}

void terminateRun(int status) {
    if (tHeld) {
        tHeld->end = status;
        throw HeldRunEnd{status};
    }
    settleAsideWork();
    // Left pending only when an end among the reports of a joined work ends
    // the run: later works never ran in the serial order.
    abandonAsideWork();
    closeListing();
    finishSarifLog(status);
    discardPendingOutputs();
    std::fflush(stderr);
    std::fflush(stdout);
    endProcess(status);
}

void HeldLinesDeleter::operator()(HeldLines* lines) const { delete lines; }

ReportHold::ReportHold() : lines_(new HeldLines) {
    tHeld = lines_.get();
    tHeldErrors = state().errors;
    tHeldWarnings = state().warnings;
}

ReportHold::~ReportHold() {
    if (tHeld == lines_.get()) tHeld = nullptr;
}

HeldReports ReportHold::take() {
    if (lines_->lines.empty() && lines_->end < 0) return nullptr;
    HeldReports held(new HeldLines);
    std::swap(held, lines_);
    tHeld = lines_.get();
    return held;
}

HeldReports ReportHold::release() {
    if (tHeld == lines_.get()) tHeld = nullptr;
    return std::move(lines_);
}

bool heldEnd(const HeldLines& lines) { return lines.end >= 0; }

void replayHeldReports(const HeldLines& held) {
    // Given for real, even on a thread that holds its own.
    struct Unheld {
        HeldLines* saved = tHeld;
        Unheld() { tHeld = nullptr; }
        ~Unheld() { tHeld = saved; }
    } unheld;
    for (const auto& l : held.lines) {
        if (l.system_failure) {
            settleAsideWork();
            writeSystemFailure(l.first);
        } else {
            emitLine(l.code, l.letter, l.first, l.second, l.has_file ? l.file.c_str() : nullptr, l.line);
        }
    }
    if (held.end >= 0) terminateRun(held.end);
}

void resetReportState() {
    abandonAsideWork();
    closeListing();
    OutputState& s = state();
    s.console = true;
    s.listingPath.clear();
    s.listing = nullptr;
    s.listingOpen = false;
    s.errors = 0;
    s.warnings = 0;
}

void reportSystemFailure(const QString& operation) {
    const QString text = fillMarkers(QCoreApplication::translate("Fatal Error (cstsyst)",
                                                                 "FATAL ERROR on '%1',\n Please contact your administrative.",
                                                                 "'%1' is a function name"),
                                     operation);
    // A thread that holds its reports holds this notice among them.
    if (tHeld) {
        tHeld->lines.push_back({Code{}, 'F', text, QString(), std::string(), false, 0, true});
        return;
    }
    settleAsideWork();
    writeSystemFailure(text);
}

}  // namespace zv
