#pragma once

#include "platform/ProcessStatistics.h"

#include <QString>
#include <QStringList>

#include <memory>

// The operator's view of the program's health: the message log tail, the
// manuals, and the CPU and memory figures of the status bar. GUI thread only;
// the message log is appended concurrently by the message handler, so a read
// may end inside a line that is still being written.
class Diagnostics
{
public:
    static constexpr int RecentLogLines = 50;

    // applicationDirectory empty: the running program's folder.
    explicit Diagnostics(QString applicationDirectory = QString(),
                         std::unique_ptr<IProcessStatistics> statistics = createProcessStatistics());

    QString applicationDirectory() const;
    QString logFilePath() const;
    QString perfLogFilePath() const;

    // The last RecentLogLines lines of the message log, oldest first; empty
    // when the log cannot be read.
    QStringList recentLogs() const;
    // Truncates the message log; nothing happens when it cannot be opened.
    void clearLog() const;
    void openLog() const;

    // "GETTING_STARTED_SR.md" for "sr" in any case, "GETTING_STARTED_EN.md"
    // otherwise, in the application folder.
    QString manualFilePath(const QString &lang) const;
    // Whole UTF-8 text of the manual, empty when it cannot be read.
    QString manualContent(const QString &lang) const;
    void openManual(const QString &lang) const;

    // Measures the process since the previous call (or construction):
    // cpuText becomes "CPU: N%" (CPU time as a share of all processors over
    // that interval), ramText "RAM: X.Y MB" (resident memory). A figure the
    // platform cannot give leaves its text unchanged.
    void sampleMetrics(QString &cpuText, QString &ramText);

private:
    QString m_applicationDirectory;
    std::unique_ptr<IProcessStatistics> m_statistics;
    ProcessSample m_previous;
    bool m_hasPrevious = false;
};
