#include "app/recording/RecordingSession.h"

#include "app/recording/TakeEncoderSettings.h"
#include "app/recording/TakeNaming.h"
#include "encoding/libav/LibavEncoder.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int kChannelIds[] = {1, 2, 3, 4};

} // namespace

RecordingSession::RecordingSession(TakeCollaborators collaborators, QObject *parent)
    : QObject(parent), m_c(std::move(collaborators))
{
    m_countdownTimer.setInterval(1000);
    m_timecodeTimer.setInterval(5);
    m_timecodeTimer.setTimerType(Qt::PreciseTimer);
    m_metricsTimer.setInterval(2000);
    connect(&m_countdownTimer, &QTimer::timeout, this, &RecordingSession::onCountdownTimeout, Qt::UniqueConnection);
    connect(&m_timecodeTimer, &QTimer::timeout, this, &RecordingSession::updateTimecode);
    connect(&m_metricsTimer, &QTimer::timeout, this, &RecordingSession::updatePerformanceMetrics);
    m_metricsTimer.start();
    m_lastMetricsClock = monotonicNow();
}

RecordingSession::~RecordingSession()
{
    // Quitting mid-take completes the files.
    stopRecording();
}

void RecordingSession::setMetricsIntervalMs(int ms)
{
    m_metricsTimer.start(std::max(1, ms));
}

int64_t RecordingSession::monotonicNow() const
{
    if (m_c.monotonicNs)
        return m_c.monotonicNs();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QDateTime RecordingSession::localNow() const
{
    return m_c.localNow ? m_c.localNow() : QDateTime::currentDateTime();
}

int64_t RecordingSession::elapsedMs() const
{
    return (monotonicNow() - m_startClock) / 1000000;
}

// ---- arming

void RecordingSession::armRecording()
{
    if (m_isRecording || m_isArming)
        return;
    m_countdownSeconds = 3;
    m_isArming = true;
    m_takeStartedSinceArming = false;
    emit countdownSecondsChanged();
    emit armingStateChanged();
    if (!m_countdownTimer.isActive())
        m_countdownTimer.start();
}

void RecordingSession::cancelArming()
{
    if (!m_isArming)
        return;
    m_countdownTimer.stop();
    m_isArming = false;
    emit armingStateChanged();
}

void RecordingSession::onCountdownTimeout()
{
    if (m_countdownSeconds > 1) {
        --m_countdownSeconds;
        emit countdownSecondsChanged();
        return;
    }
    m_countdownTimer.stop();
    m_isArming = false;
    emit armingStateChanged();
    // A take started meanwhile (say from the remote control) was this
    // arming's take, even if it has already been stopped again.
    if (!m_takeStartedSinceArming)
        startRecording();
}

// ---- start

void RecordingSession::abortStart(const QString &message)
{
    qWarning().noquote() << "[ApplicationManager]" << message;
    emit recordingNotice(message);
}

bool RecordingSession::startRecording()
{
    if (m_isRecording)
        return false;
    qDebug() << "[ApplicationManager] startRecording() triggered.";
    m_takeStartedSinceArming = true;

    const TakeParameters params = m_c.parameters ? m_c.parameters() : TakeParameters{};
    const QString session = TakeNaming::sessionName(params.activeSessionName, localNow());
    const QString root = params.recordingPath;
    const QString sessionFolder = QDir(root).filePath(session);
    QDir().mkpath(root);
    QDir().mkpath(sessionFolder);
    const QString takeFolder =
        QDir(sessionFolder).filePath(TakeNaming::takeFolderName(TakeNaming::nextTakeNumber(sessionFolder)));
    if (root.isEmpty() || !QDir().mkpath(takeFolder) || !QFileInfo(takeFolder).isWritable()) {
        abortStart(QStringLiteral("Recording did not start: cannot create the take folder %1").arg(takeFolder));
        return false;
    }
    qDebug() << "[ApplicationManager] Recording to take folder:" << takeFolder;

    m_sessionName = session;
    m_recordingPath = root;
    m_takeFolder = takeFolder;
    m_videoFilePaths.clear();
    m_audioFilePaths.clear();
    m_cuts = {CutEntry{params.activeSourceId, 0}};
    m_framesWritten = 0;
    m_pumpDropped = 0;
    m_droppedFrames = 0;
    m_encoderDroppedDone = 0;

    // Audio: the master mix and the channels that want their own file.
    m_masterWavPath = takeFolder + QStringLiteral("/Master_Audio_Output.wav");
    bool anyFile = false;
    if (m_c.startAudio) {
        const TakeAudioFiles audio = m_c.startAudio(takeFolder);
        if (!audio.masterPath.isEmpty())
            m_masterWavPath = audio.masterPath;
        if (audio.masterOpened) {
            qDebug() << "[ApplicationManager] Started Master Audio Recorder:" << m_masterWavPath;
            anyFile = true;
        } else {
            qWarning() << "[ApplicationManager] Failed to start Master WAV recorder at:" << m_masterWavPath;
        }
        for (auto it = audio.channelPaths.cbegin(); it != audio.channelPaths.cend(); ++it) {
            m_audioFilePaths.insert(it.key(), it.value());
            qDebug() << "[ApplicationManager] Started ISO Audio Recorder for channel" << it.key() << "at"
                     << it.value();
            anyFile = true;
        }
    }

    // Video: one encoder per running camera.
    std::map<int, std::shared_ptr<ISource>> cameras;
    int widest = 0, tallest = 0;
    for (int id : kChannelIds) {
        if (auto source = m_c.liveCamera ? m_c.liveCamera(id) : nullptr) {
            widest = std::max(widest, source->width() > 0 ? source->width() : kSequenceWidth);
            tallest = std::max(tallest, source->height() > 0 ? source->height() : kSequenceHeight);
            cameras.emplace(id, std::move(source));
        }
    }
    const std::string preset = m_c.speedPreset ? m_c.speedPreset(int(cameras.size()), widest, tallest) : "veryfast";
    m_encoders.clear();
    for (const auto &[id, source] : cameras) {
        const QString path = QStringLiteral("%1/%2").arg(
            takeFolder, TakeNaming::cameraFileName(id, QString::fromStdString(containerExtension(params.quality.container))));
        const EncoderSettings settings =
            takeEncoderSettings(params.quality, path, source->width(), source->height(), preset);
        std::shared_ptr<IEncoder> encoder =
            m_c.makeEncoder ? m_c.makeEncoder(id) : std::make_shared<LibavEncoder>();
        if (encoder && encoder->open(settings)) {
            m_encoders.emplace(id, encoder);
            m_videoFilePaths.insert(id, path);
            qDebug() << "[ApplicationManager] Started Video Encoder for channel" << id << "at" << path;
            qDebug().noquote() << "[ApplicationManager] Video encoder" << QString::fromStdString(settings.encoderName)
                               << "preset" << QString::fromStdString(preset) << settings.width << "x"
                               << settings.height;
            anyFile = true;
        } else {
            qWarning() << "[ApplicationManager] Failed to start Video Encoder for channel" << id;
        }
    }

    if (!anyFile) {
        if (m_c.stopAudio)
            m_c.stopAudio();
        QDir().rmdir(takeFolder); // an empty folder must not use up a take number
        m_videoFilePaths.clear();
        m_audioFilePaths.clear();
        abortStart(QStringLiteral("Recording did not start: no file could be opened in %1").arg(takeFolder));
        return false;
    }

    m_isRecording = true;
    m_startTime = localNow().time();
    m_startClock = monotonicNow();
    m_startTimecode = m_startTime.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(":00");
    if (m_c.setChannelRecording) {
        for (int id : kChannelIds)
            m_c.setChannelRecording(id, true);
    }
    m_lastMetricsClock = m_startClock;
    measureCameraRate(0.0);
    m_lastQueued = 0;
    m_lastBytes = encoderBytes() + (m_c.audioBytesWritten ? m_c.audioBytesWritten() : 0);
    m_timecodeTimer.start();
    qDebug() << "[ApplicationManager] RECORDING STARTED";
    emit isRecordingChanged();
    emit performanceMetricsChanged();
    return true;
}

// ---- clock and pump

void RecordingSession::updateTimecode()
{
    if (!m_isRecording)
        return;
    const int64_t ms = elapsedMs();
    m_timecode = TakeNaming::timecode(ms);
    emit timecodeChanged();
    pump(ms);
}

void RecordingSession::pump(int64_t ms)
{
    const int64_t target = int64_t(double(std::max<int64_t>(ms, 0)) * kSequenceFps / 1000.0);
    if (target - m_framesWritten > kMaxCatchUpSlots) {
        // The GUI thread was held up: keep the last second, count the rest.
        const int64_t skipped = target - kMaxCatchUpSlots - m_framesWritten;
        m_pumpDropped += skipped * int64_t(m_encoders.size());
        m_framesWritten += skipped;
    }
    const int64_t now = m_c.slotDispatched ? monotonicNow() : 0;
    while (m_framesWritten < target) {
        if (m_c.slotDispatched) {
            // Slot k falls due once k + 1 slots of time have passed.
            const int64_t due = m_startClock + int64_t(double(m_framesWritten + 1) * 1e9 / kSequenceFps);
            m_c.slotDispatched(m_framesWritten, now - due);
        }
        for (const auto &[id, encoder] : m_encoders) {
            const std::shared_ptr<ISource> source = m_c.liveCamera ? m_c.liveCamera(id) : nullptr;
            if (!source) {
                ++m_pumpDropped;
                continue;
            }
            // The camera's newest picture itself: it stays unchanged while the
            // encoder's queue holds it, so no slot costs a copy.
            std::shared_ptr<const SharedFrame> picture = source->shareLatestFrame();
            if (!picture || picture->pixels.empty()) {
                ++m_pumpDropped;
                continue;
            }
            encoder->pushFrame(VideoFrame{std::move(picture), m_framesWritten});
        }
        ++m_framesWritten;
    }
}

void RecordingSession::onActiveSourceChanged(int sourceId)
{
    if (!m_isRecording || sourceId < 1 || sourceId > 4)
        return;
    if (!m_cuts.isEmpty() && m_cuts.last().sourceId == sourceId)
        return;
    m_cuts.append(CutEntry{sourceId, elapsedMs()});
}

void RecordingSession::setBitrate(int kbps)
{
    for (const auto &[id, encoder] : m_encoders)
        encoder->setBitrate(kbps);
}

// ---- stop

void RecordingSession::stopRecording()
{
    if (!m_isRecording)
        return;
    qDebug() << "[ApplicationManager] stopRecording() triggered.";
    m_isRecording = false;
    m_timecodeTimer.stop();
    emit isRecordingChanged();
    if (m_c.setChannelRecording) {
        for (int id : kChannelIds)
            m_c.setChannelRecording(id, false);
    }
    const int64_t end = monotonicNow();
    const int64_t endMs = (end - m_startClock) / 1000000;
    // The slots due up to the stop still go out, so the files run as long as the take.
    pump(endMs);
    m_timecode = TakeNaming::timecode(endMs);
    emit timecodeChanged();

    // stop() encodes what is queued and flushes the encoder's delayed frames;
    // the encoders drain side by side, so the stop takes as long as the
    // slowest one rather than the sum of all.
    {
        std::vector<std::thread> stoppers;
        for (const auto &[id, encoder] : m_encoders)
            stoppers.emplace_back([encoder = encoder] { encoder->stop(); });
        for (std::thread &t : stoppers)
            t.join();
    }
    for (const auto &[id, encoder] : m_encoders)
        m_encoderDroppedDone += encoder->stats().framesDropped;
    m_encoders.clear();
    if (m_c.stopAudio) {
        const TakeAudioFiles audio = m_c.stopAudio();
        for (auto it = audio.channelPaths.cbegin(); it != audio.channelPaths.cend(); ++it)
            m_audioFilePaths.insert(it.key(), it.value());
    }

    m_droppedFrames = m_pumpDropped + m_encoderDroppedDone;
    writePerfRow(m_timecode);
    emit performanceMetricsChanged();

    int64_t duration = endMs;
    if (duration < 1)
        duration = 1000;
    m_lastDurationMs = duration;
    qDebug() << "[ApplicationManager] RECORDING STOPPED";
    if (m_c.exportTake)
        m_c.exportTake(exportInput(duration));
}

TimelineExportInput RecordingSession::exportInput(int64_t durationMs) const
{
    TimelineExportInput in;
    in.sessionName = m_sessionName;
    in.recordingPath = m_recordingPath;
    in.takeFolder = m_takeFolder;
    in.videoFilePaths = m_videoFilePaths;
    in.audioFilePaths = m_audioFilePaths;
    in.masterWavPath = m_masterWavPath;
    in.cuts = m_cuts;
    in.startTimecode = m_startTimecode;
    in.durationMs = durationMs;
    in.sequenceFps = kSequenceFps;
    in.sequenceWidth = kSequenceWidth;
    in.sequenceHeight = kSequenceHeight;
    return in;
}

// ---- telemetry

int64_t RecordingSession::encoderBytes() const
{
    int64_t total = 0;
    for (const auto &[id, encoder] : m_encoders)
        total += encoder->stats().bytesWritten;
    return total;
}

int64_t RecordingSession::encoderFramesQueued() const
{
    int64_t total = 0;
    for (const auto &[id, encoder] : m_encoders)
        total += encoder->stats().framesQueued;
    return total;
}

int64_t RecordingSession::encoderFramesDropped() const
{
    int64_t total = 0;
    for (const auto &[id, encoder] : m_encoders)
        total += encoder->stats().framesDropped;
    return total;
}

void RecordingSession::updatePerformanceMetrics()
{
    const int64_t now = monotonicNow();
    const double seconds = now > m_lastMetricsClock ? double(now - m_lastMetricsClock) / 1e9 : 0.0;
    m_lastMetricsClock = now;
    const double oldFps = m_currentFps, oldSpeed = m_diskWriteSpeedMBs;
    const int64_t oldDropped = m_droppedFrames;
    if (m_isRecording) {
        const int64_t queued = encoderFramesQueued();
        const int64_t bytes = encoderBytes() + (m_c.audioBytesWritten ? m_c.audioBytesWritten() : 0);
        if (seconds > 0.0) {
            m_currentFps = m_encoders.empty() ? 0.0 : double(queued - m_lastQueued) / seconds / double(m_encoders.size());
            m_diskWriteSpeedMBs = double(std::max<int64_t>(0, bytes - m_lastBytes)) / seconds / 1e6;
        }
        m_lastQueued = queued;
        m_lastBytes = bytes;
        m_droppedFrames = m_pumpDropped + encoderFramesDropped();
        const QString tc = TakeNaming::timecode(elapsedMs());
        qDebug().noquote() << "[ApplicationManager] REC" << tc << "FPS:" << QString::number(m_currentFps, 'f', 1)
                           << "DROPS:" << m_droppedFrames << "WRITE:" << QString::number(m_diskWriteSpeedMBs, 'f', 2)
                           << "MB/s";
        writePerfRow(tc);
    }
    // The cameras are sampled during a take too, so the first interval after
    // the stop already has a baseline.
    const double cameraRate = measureCameraRate(seconds);
    if (!m_isRecording) {
        m_currentFps = cameraRate;
        m_diskWriteSpeedMBs = 0.0;
    }
    if (oldFps != m_currentFps || oldSpeed != m_diskWriteSpeedMBs || oldDropped != m_droppedFrames)
        emit performanceMetricsChanged();
}

// Mean frames per second of the running cameras over the interval, counting
// only cameras that ran on their channel at both ends of it.
double RecordingSession::measureCameraRate(double seconds)
{
    double sum = 0.0;
    int counted = 0;
    for (int id : kChannelIds) {
        const std::shared_ptr<ISource> source = m_c.liveCamera ? m_c.liveCamera(id) : nullptr;
        if (!source) {
            m_cameraCounts.erase(id);
            continue;
        }
        const uint64_t frames = source->framesDelivered();
        const auto it = m_cameraCounts.find(id);
        if (it != m_cameraCounts.end() && it->second.source.lock() == source && frames >= it->second.frames
            && seconds > 0.0) {
            sum += double(frames - it->second.frames) / seconds;
            ++counted;
        }
        m_cameraCounts[id] = CameraCount{source, frames};
    }
    return counted > 0 ? sum / counted : 0.0;
}

void RecordingSession::writePerfRow(const QString &timecode)
{
    if (m_perfLogPath.isEmpty())
        return;
    QFile file(m_perfLogPath);
    const bool fresh = !file.exists() || file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    if (fresh)
        file.write("time,timecode,fps,dropped_frames,write_mbs\n");
    file.write(QStringLiteral("%1,%2,%3,%4,%5\n")
                   .arg(localNow().toString(Qt::ISODateWithMs), timecode, QString::number(m_currentFps, 'f', 2))
                   .arg(m_droppedFrames)
                   .arg(QString::number(m_diskWriteSpeedMBs, 'f', 3))
                   .toUtf8());
}
