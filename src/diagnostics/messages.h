// Qt-facing entry points of the diagnostics: reports with QString arguments and
// the formatting steps (marker filling, position text) that tests pin down.
#pragma once

#include "diagnostics/report.h"

#include <QString>

namespace zv {

void reportInformation(Code code, const QString& first = {}, const QString& second = {});
void reportWarning(Code code, const QString& first = {}, const QString& second = {});
void reportError(Code code, const QString& first = {}, const QString& second = {});
[[noreturn]] void reportFatal(Code code, const QString& first = {}, const QString& second = {});
[[noreturn]] void reportInternal(Code code, const QString& first = {}, const QString& second = {});

void reportAt(int kind, Code code, const QString& arg, const char* file, int line);

// Writes one message line and applies the severity's effect.
void emitMessage(Code code, char letter, const QString& first, const QString& second);

// The line that emitMessage writes, without writing it.
QString formatMessage(Code code, char letter, const QString& first, const QString& second);

// QString::arg-style filling: every occurrence of the lowest marker %n receives
// the argument; with no marker left the argument is dropped.
QString fillMarkers(const QString& text, const QString& first);
QString fillMarkers(const QString& text, const QString& first, const QString& second);

QString positionText(const char* file, int line);

// Notice for a failed system call, written to standard error only.
void reportSystemFailure(const QString& operation);

}  // namespace zv
