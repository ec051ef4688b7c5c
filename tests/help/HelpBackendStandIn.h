#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The application manager's surface that the help and performance monitor
// windows use, with every value settable from the test and every action
// recorded in `calls`. GUI thread only.
class HelpBackendStandIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString currentLanguage READ currentLanguage WRITE setCurrentLanguage NOTIFY currentLanguageChanged)
    Q_PROPERTY(bool isRecording MEMBER m_isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isArming MEMBER m_isArming NOTIFY armingStateChanged)
    Q_PROPERTY(double currentFps MEMBER m_currentFps NOTIFY performanceMetricsChanged)
    Q_PROPERTY(int droppedFrames MEMBER m_droppedFrames NOTIFY performanceMetricsChanged)
    Q_PROPERTY(double diskWriteSpeedMBs MEMBER m_diskWriteSpeedMBs NOTIFY performanceMetricsChanged)
    Q_PROPERTY(QString cpuUsage MEMBER m_cpuUsage NOTIFY metricsChanged)
    Q_PROPERTY(QString ramUsage MEMBER m_ramUsage NOTIFY metricsChanged)
    Q_PROPERTY(QString activeResolutionName MEMBER m_activeResolutionName NOTIFY recordingResolutionIndexChanged)
    Q_PROPERTY(QString hardwareGpuInfo MEMBER m_hardwareGpuInfo NOTIFY hardwareInfoChanged)
    // test controls
    Q_PROPERTY(QString manualEn MEMBER m_manualEn)
    Q_PROPERTY(QString manualSr MEMBER m_manualSr)
    Q_PROPERTY(QStringList logLines MEMBER m_logLines)
    Q_PROPERTY(QStringList calls MEMBER m_calls)

public:
    QString currentLanguage() const { return m_language; }
    void setCurrentLanguage(const QString &language)
    {
        if (language == m_language)
            return;
        m_language = language;
        emit currentLanguageChanged();
    }

    Q_INVOKABLE QString getManualContent(const QString &lang)
    {
        m_calls << QStringLiteral("getManualContent %1").arg(lang);
        return lang.toUpper() == QLatin1String("SR") ? m_manualSr : m_manualEn;
    }
    Q_INVOKABLE QString manualFilePath(const QString &lang) const
    {
        return QStringLiteral("/opt/korvex/GETTING_STARTED_%1.md")
                .arg(lang.toUpper() == QLatin1String("SR") ? QStringLiteral("SR") : QStringLiteral("EN"));
    }
    Q_INVOKABLE void openManualFile(const QString &lang) { m_calls << QStringLiteral("openManualFile %1").arg(lang); }
    Q_INVOKABLE QStringList getRecentLogs() const { return m_logLines; }
    Q_INVOKABLE void clearLogFile()
    {
        m_calls << QStringLiteral("clearLogFile");
        m_logLines.clear();
    }
    Q_INVOKABLE void openLogFile() { m_calls << QStringLiteral("openLogFile"); }
    Q_INVOKABLE void runHardwareBenchmark() { m_calls << QStringLiteral("runHardwareBenchmark"); }

    Q_INVOKABLE void reset()
    {
        m_language = QStringLiteral("EN");
        m_isRecording = m_isArming = false;
        m_currentFps = 60.0;
        m_droppedFrames = 0;
        m_diskWriteSpeedMBs = 0.0;
        m_cpuUsage = QStringLiteral("CPU: 0%");
        m_ramUsage = QStringLiteral("RAM: 0 MB");
        m_activeResolutionName = QStringLiteral("1920x1080 (FHD)");
        m_hardwareGpuInfo.clear();
        m_manualEn.clear();
        m_manualSr.clear();
        m_logLines.clear();
        m_calls.clear();
        emit currentLanguageChanged();
        emit isRecordingChanged();
        emit armingStateChanged();
        emit performanceMetricsChanged();
        emit metricsChanged();
        emit recordingResolutionIndexChanged();
        emit hardwareInfoChanged();
    }

signals:
    void currentLanguageChanged();
    void isRecordingChanged();
    void armingStateChanged();
    void performanceMetricsChanged();
    void metricsChanged();
    void recordingResolutionIndexChanged();
    void hardwareInfoChanged();

private:
    QString m_language = QStringLiteral("EN");
    bool m_isRecording = false;
    bool m_isArming = false;
    double m_currentFps = 60.0;
    int m_droppedFrames = 0;
    double m_diskWriteSpeedMBs = 0.0;
    QString m_cpuUsage = QStringLiteral("CPU: 0%");
    QString m_ramUsage = QStringLiteral("RAM: 0 MB");
    QString m_activeResolutionName = QStringLiteral("1920x1080 (FHD)");
    QString m_hardwareGpuInfo;
    QString m_manualEn;
    QString m_manualSr;
    QStringList m_logLines;
    QStringList m_calls;
};
