#pragma once

#include "export/CutEntry.h"

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>

// A camera of the take that produced a video file.
struct TimelineVideoSource
{
    int channelId = 1;
    QString clipName; // "clip-cam-<id>" for recorded cameras
    QString filePath; // MP4 path
};

// A channel of the take that produced its own WAV file.
struct TimelineAudioSource
{
    int channelId = 1;
    QString filePath; // WAV path
};

// Everything the timeline writer needs to rebuild one take's live cut over
// its ISO files. Plain data; the writer never changes it.
struct TimelineDescription
{
    QString projectName;
    QString sequenceName;
    QString takeFolder; // only used for the fallback video entries
    double frameRate = 30.0;
    int width = 1920;
    int height = 1080;
    int64_t durationMs = 0;
    QString masterAudioPath;
    QString startTimecode = QStringLiteral("00:00:00:00");
    QList<TimelineVideoSource> videoSources;
    QList<TimelineAudioSource> audioSources; // in channel order
    QMap<int, int> audioCameraLinks;         // audio channel id -> camera channel id (> 0 only)
    QList<CutEntry> cuts;                    // in time order, the first at 0
};
