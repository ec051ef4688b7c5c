#pragma once

#include "capture/ISource.h"
#include "encoding/IEncoder.h"
#include "export/TimelineExporter.h"

#include <QDateTime>
#include <QMap>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// The recording properties a take turns into encoder settings.
struct RecordingQuality
{
    QString rateControlMode = QStringLiteral("CBR");
    int targetBitrateKbps = 16000;
    int maxBitrateKbps = 24000;
    int cqpLevel = 20;
    int keyframeInterval = 2;
    int bFrames = 2;
    QString colorSpace = QStringLiteral("Rec.709");
    QString colorRange = QStringLiteral("Limited (16-235)");
    // The chosen row of the encoder list: FFmpeg encoder, codec and device.
    std::string encoderName = "libx264";
    bool useHevc = false;
    std::string hardwareDevice;
    // The camera files' container.
    RecordingContainer container = RecordingContainer::Mp4;
};

// What the application holds when a take starts.
struct TakeParameters
{
    QString recordingPath;
    QString activeSessionName;
    int activeSourceId = 1;
    RecordingQuality quality;
};

// Audio files of a take, as the audio side opened or completed them.
struct TakeAudioFiles
{
    QString masterPath;
    bool masterOpened = false;
    QMap<int, QString> channelPaths; // channel id -> Channel_CC_Audio.wav
};

// Everything outside the take that it reads or calls, each replaceable in a
// test. All are called on the GUI thread. Empty functions are skipped.
struct TakeCollaborators
{
    std::function<TakeParameters()> parameters;
    // The running camera of a channel (1..4), null when none runs there.
    std::function<std::shared_ptr<ISource>(int channelId)> liveCamera;
    // A new encoder for a channel (LibavEncoder when empty).
    std::function<std::shared_ptr<IEncoder>(int channelId)> makeEncoder;
    // Speed preset for software encoders given the live channels and their
    // largest frame; "veryfast" when empty.
    std::function<std::string(int channels, int width, int height)> speedPreset;
    // Opens the master and per-channel WAV files in the take folder / closes them.
    std::function<TakeAudioFiles(const QString &takeFolder)> startAudio;
    std::function<TakeAudioFiles()> stopAudio;
    // Bytes written to the take's audio files so far (for the write speed).
    std::function<int64_t()> audioBytesWritten;
    std::function<void(int channelId, bool recording)> setChannelRecording;
    // Told of every slot the pump hands out and how late it went, in
    // nanoseconds after the slot's due time (for measurements).
    std::function<void(int64_t slot, int64_t lateNs)> slotDispatched;
    // The timeline export after the stop.
    std::function<void(const TimelineExportInput &)> exportTake;
    // Clocks: monotonic nanoseconds and the local date and time.
    std::function<int64_t()> monotonicNs;
    std::function<QDateTime()> localNow;
};
