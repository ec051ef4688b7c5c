#pragma once

#include "export/CutEntry.h"
#include "export/TimelineDescription.h"

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <functional>

// What a finished take leaves behind, as plain values (the recording keeps
// these after the stop until the next take starts).
struct TimelineExportInput
{
    QString sessionName;               // as typed; blank means "Session"
    QString recordingPath;             // recordings root, for the manifest
    QString takeFolder;                // optional: empty derives it from masterWavPath
    QMap<int, QString> videoFilePaths; // channel id -> Camera_CC.mp4
    QMap<int, QString> audioFilePaths; // channel id -> Channel_CC_Audio.wav
    QString masterWavPath;
    QMap<int, int> channelCameraLinks; // channel id -> camera binding 0..4 (0 = none)
    QList<CutEntry> cuts;
    QString startTimecode = QStringLiteral("00:00:00:00");
    int64_t durationMs = 0;
    double sequenceFps = 30.0;
    int sequenceWidth = 1920;
    int sequenceHeight = 1080;
};

// Names derived from a take: session S, take folder, take name T and the two
// timeline files "<S>_<T>_Premiere.xml" and "<S>_<T>_DaVinci.xml".
struct TimelineExportNames
{
    QString session;
    QString takeFolder;
    QString takeName;
    QString premierePath;
    QString davinciPath;
};

struct TimelineExportResult
{
    bool hadRecordedFiles = false; // false: nothing was exported at all
    bool premiereWritten = false;
    bool davinciWritten = false;
    bool manifestWritten = false;
    QString premierePath;
    QString davinciPath;
};

// Turns a take's files and cut list into the Premiere and DaVinci Resolve
// timelines in the take folder and, when the DaVinci file is written, points
// latest_take.json at it. Runs on the caller's thread (the GUI thread) and
// keeps no state between takes; logs as "[ApplicationManager]".
class TimelineExporter
{
public:
    // manifestFolder empty: the per-user application data folder at the time
    // of each export.
    explicit TimelineExporter(QString manifestFolder = QString());

    // Seconds since the epoch written into the manifest (tests pin it).
    void setClock(std::function<int64_t()> secondsSinceEpoch);

    QString manifestFolder() const;

    TimelineExportResult exportTake(const TimelineExportInput &input) const;

    static TimelineExportNames names(const TimelineExportInput &input);
    static TimelineDescription describe(const TimelineExportInput &input);

private:
    QString m_manifestFolder;
    std::function<int64_t()> m_clock;
};
