#include "app/Diagnostics.h"

#include "platform/StandardLocations.h"

#include <QDesktopServices>
#include <QFile>
#include <QStringConverter>
#include <QTextStream>
#include <QUrl>

#include <algorithm>
#include <cmath>

Diagnostics::Diagnostics(QString applicationDirectory, std::unique_ptr<IProcessStatistics> statistics)
    : m_applicationDirectory(std::move(applicationDirectory))
    , m_statistics(std::move(statistics))
{
    // The first interval starts now, so the first figure covers a full
    // metrics period instead of the whole life of the process.
    if (m_statistics)
        m_hasPrevious = m_statistics->sample(m_previous);
}

QString Diagnostics::applicationDirectory() const
{
    return m_applicationDirectory.isEmpty() ? StandardLocations::applicationDirectory() : m_applicationDirectory;
}

QString Diagnostics::logFilePath() const
{
    return applicationDirectory() + QStringLiteral("/qt_log.txt");
}

QString Diagnostics::perfLogFilePath() const
{
    return applicationDirectory() + QStringLiteral("/perf_log.csv");
}

QStringList Diagnostics::recentLogs() const
{
    QStringList lines;
    QFile file(logFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QString line;
    while (in.readLineInto(&line)) {
        lines.append(line);
        if (lines.size() > RecentLogLines)
            lines.removeFirst();
    }
    return lines;
}

void Diagnostics::clearLog() const
{
    QFile file(logFilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.close();
}

void Diagnostics::openLog() const
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(logFilePath()));
}

QString Diagnostics::manualFilePath(const QString &lang) const
{
    const QString name = lang.toUpper() == QLatin1String("SR") ? QStringLiteral("GETTING_STARTED_SR.md")
                                                               : QStringLiteral("GETTING_STARTED_EN.md");
    return applicationDirectory() + QLatin1Char('/') + name;
}

QString Diagnostics::manualContent(const QString &lang) const
{
    QFile file(manualFilePath(lang));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void Diagnostics::openManual(const QString &lang) const
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(manualFilePath(lang)));
}

void Diagnostics::sampleMetrics(QString &cpuText, QString &ramText)
{
    if (!m_statistics)
        return;
    ProcessSample now;
    if (!m_statistics->sample(now))
        return;

    if (now.residentBytes >= 0)
        ramText = QStringLiteral("RAM: %1 MB").arg(static_cast<double>(now.residentBytes) / 1048576.0, 0, 'f', 1);

    if (m_hasPrevious) {
        const qint64 wall = now.wallTimeNs - m_previous.wallTimeNs;
        const qint64 cpu = now.cpuTimeNs - m_previous.cpuTimeNs;
        const int processors = std::max(1, m_statistics->processorCount());
        if (wall > 0) {
            const double share = 100.0 * static_cast<double>(std::max<qint64>(cpu, 0))
                / (static_cast<double>(wall) * processors);
            const int percent = static_cast<int>(std::lround(std::clamp(share, 0.0, 100.0)));
            cpuText = QStringLiteral("CPU: %1%").arg(percent);
        }
    }
    m_previous = now;
    m_hasPrevious = true;
}
