#pragma once

#include "export/TimelineDescription.h"

#include <QStringList>

// Small builders for the tests: "1 2" is a camera list, "1@0 2@5500" a cut
// list, "1:1 3:2" audio channel -> camera bindings.
namespace Fixtures {

inline QString takeFolder() { return QStringLiteral("/takes/T/Take_01"); }

inline QList<int> ids(const QString &text)
{
    QList<int> out;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out.append(part.toInt());
    return out;
}

inline QList<CutEntry> cuts(const QString &text)
{
    QList<CutEntry> out;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList fields = part.split(QLatin1Char('@'));
        out.append({fields[0].toInt(), fields[1].toLongLong()});
    }
    return out;
}

inline QMap<int, int> bindings(const QString &text)
{
    QMap<int, int> out;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList fields = part.split(QLatin1Char(':'));
        out.insert(fields[0].toInt(), fields[1].toInt());
    }
    return out;
}

inline TimelineDescription take(const QString &cameras, const QString &cutList, int64_t durationMs,
                                double frameRate = 30.0)
{
    TimelineDescription d;
    d.projectName = QStringLiteral("P");
    d.sequenceName = QStringLiteral("P Take_01");
    d.takeFolder = takeFolder();
    d.frameRate = frameRate;
    d.durationMs = durationMs;
    d.masterAudioPath = takeFolder() + QStringLiteral("/Master_Audio_Output.wav");
    for (int id : ids(cameras)) {
        d.videoSources.append({id, QStringLiteral("clip-cam-%1").arg(id),
                               takeFolder() + QStringLiteral("/Camera_%1.mp4").arg(id, 2, 10, QLatin1Char('0'))});
    }
    d.cuts = cuts(cutList);
    return d;
}

inline void addAudio(TimelineDescription &d, const QString &channels, const QString &links)
{
    for (int id : ids(channels)) {
        d.audioSources.append(
            {id, takeFolder() + QStringLiteral("/Channel_%1_Audio.wav").arg(id, 2, 10, QLatin1Char('0'))});
    }
    d.audioCameraLinks = bindings(links);
}

} // namespace Fixtures
