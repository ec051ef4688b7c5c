#pragma once

#include "app/recording/TakeCollaborators.h"
#include "export/CutEntry.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <map>
#include <memory>

// One take at a time: the arming countdown, folders and file names, one
// encoder per live camera, the 5 ms clock with its frame pump (one frame per
// 1/30 s slot for every encoder), the cut list, the stop and the telemetry.
// The application manager owns it and forwards its recording members here.
//
// Threads: everything runs on the GUI thread (timers, pump, cut list); the
// encoders run their own worker threads behind IEncoder. stopRecording stops
// the encoders on one short-lived thread each and waits for all of them; the
// GUI thread touches no encoder meanwhile.
class RecordingSession : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isArming READ isArming NOTIFY armingStateChanged)
    Q_PROPERTY(int countdownSeconds READ countdownSeconds NOTIFY countdownSecondsChanged)
    Q_PROPERTY(QString timecode READ timecode NOTIFY timecodeChanged)
    Q_PROPERTY(double currentFps READ currentFps NOTIFY performanceMetricsChanged)
    Q_PROPERTY(int droppedFrames READ droppedFrames NOTIFY performanceMetricsChanged)
    Q_PROPERTY(double diskWriteSpeedMBs READ diskWriteSpeedMBs NOTIFY performanceMetricsChanged)

public:
    static constexpr double kSequenceFps = 30.0;
    static constexpr int kSequenceWidth = 1920;
    static constexpr int kSequenceHeight = 1080;
    // A tick never dispatches more than this many slots; older ones are dropped.
    static constexpr int64_t kMaxCatchUpSlots = 30;

    explicit RecordingSession(TakeCollaborators collaborators, QObject *parent = nullptr);
    ~RecordingSession() override;

    bool isRecording() const { return m_isRecording; }
    bool isArming() const { return m_isArming; }
    int countdownSeconds() const { return m_countdownSeconds; }
    QString timecode() const { return m_timecode; }
    QString recordingStartTimecode() const { return m_startTimecode; }
    QTime recordingStartTime() const { return m_startTime; }
    int64_t recordingStartClock() const { return m_startClock; }
    int64_t framesWritten() const { return m_framesWritten; }
    QList<CutEntry> cutList() const { return m_cuts; }
    QMap<int, QString> videoFilePaths() const { return m_videoFilePaths; }
    QMap<int, QString> audioFilePaths() const { return m_audioFilePaths; }
    QString masterWavPath() const { return m_masterWavPath; }
    QString takeFolder() const { return m_takeFolder; }
    QString sessionName() const { return m_sessionName; }
    int64_t lastDurationMs() const { return m_lastDurationMs; }
    // Encoders of the running take by channel id.
    std::map<int, std::shared_ptr<IEncoder>> encoders() const { return m_encoders; }

    double currentFps() const { return m_currentFps; }
    int droppedFrames() const { return int(std::min<int64_t>(m_droppedFrames, INT32_MAX)); }
    double diskWriteSpeedMBs() const { return m_diskWriteSpeedMBs; }

    // The CSV file that receives one row per metrics interval during a take.
    void setPerfLogFilePath(const QString &path) { m_perfLogPath = path; }
    QString perfLogFilePath() const { return m_perfLogPath; }
    void setMetricsIntervalMs(int ms);
    int metricsIntervalMs() const { return m_metricsTimer.interval(); }

    // The export input the last take left (the 10 s export uses it too).
    TimelineExportInput exportInput(int64_t durationMs) const;

public slots:
    void armRecording();
    void cancelArming();
    void onCountdownTimeout();
    // False when the take could not start (then nothing records).
    bool startRecording();
    void stopRecording();
    // Clock tick: timecode and frame pump.
    void updateTimecode();
    // The active source changed to id (already validated by the caller).
    void onActiveSourceChanged(int sourceId);
    // Changes the mean bit rate of every running encoder.
    void setBitrate(int kbps);
    // One metrics interval: measures, logs and writes the perf row.
    void updatePerformanceMetrics();

signals:
    void isRecordingChanged();
    void armingStateChanged();
    void countdownSecondsChanged();
    void timecodeChanged();
    void performanceMetricsChanged();
    // A take could not start; the text says why, for the operator.
    void recordingNotice(const QString &message);

private:
    int64_t monotonicNow() const;
    QDateTime localNow() const;
    int64_t elapsedMs() const;
    void pump(int64_t elapsedMs);
    void abortStart(const QString &message);
    void writePerfRow(const QString &timecode);
    int64_t encoderBytes() const;
    int64_t encoderFramesQueued() const;
    int64_t encoderFramesDropped() const;
    double measureCameraRate(double seconds);

    TakeCollaborators m_c;
    QTimer m_countdownTimer;
    QTimer m_timecodeTimer;
    QTimer m_metricsTimer;

    bool m_isRecording = false;
    bool m_isArming = false;
    bool m_takeStartedSinceArming = false;
    int m_countdownSeconds = 3;
    QString m_timecode = QStringLiteral("00:00:00:00");
    QString m_startTimecode = QStringLiteral("00:00:00:00");
    QTime m_startTime;
    int64_t m_startClock = 0;
    int64_t m_framesWritten = 0;
    int64_t m_lastDurationMs = 0;

    QString m_sessionName;
    QString m_recordingPath;
    QString m_takeFolder;
    QString m_masterWavPath;
    QMap<int, QString> m_videoFilePaths;
    QMap<int, QString> m_audioFilePaths;
    QList<CutEntry> m_cuts;
    std::map<int, std::shared_ptr<IEncoder>> m_encoders;

    // Telemetry over the metrics interval.
    int64_t m_pumpDropped = 0;     // empty slots and slots skipped on catch-up
    int64_t m_droppedFrames = 0;   // this take: pump drops + encoder drops
    int64_t m_encoderDroppedDone = 0; // drops of encoders already stopped this take
    double m_currentFps = 0.0;
    double m_diskWriteSpeedMBs = 0.0;
    int64_t m_lastMetricsClock = 0;
    int64_t m_lastQueued = 0;
    int64_t m_lastBytes = 0;
    // Each channel's camera and its delivered-frame counter at the last
    // metrics interval; a camera replaced meanwhile starts over.
    struct CameraCount
    {
        std::weak_ptr<ISource> source;
        uint64_t frames = 0;
    };
    std::map<int, CameraCount> m_cameraCounts;
    QString m_perfLogPath;
};
