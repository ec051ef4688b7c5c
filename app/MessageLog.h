#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide message log: every Qt message, whatever its type, as bare
// text, appended to "qt_log.txt" in the application folder and echoed to
// standard error. The handler runs on whichever thread emits a message; each
// line is written by its own open-append-close cycle, without a lock, so
// concurrent messages interleave at line granularity.
namespace MessageLog {

// The application folder + "/qt_log.txt" when an application object exists
// and has a folder, otherwise the relative "qt_log.txt".
QString logFilePath();

// Appends text and "\n" to the file at path in text mode. Returns false, and
// writes nothing, when the file cannot be opened.
bool appendLine(const QString &path, const QString &text);

// Writes text and a newline to standard error in the local 8-bit encoding.
void writeToStandardError(const QString &text);

// The handler itself: the file step is skipped silently when the log cannot
// be opened; standard error always gets the message.
void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &text);

// Installs handleMessage for the whole process.
void install();

} // namespace MessageLog
