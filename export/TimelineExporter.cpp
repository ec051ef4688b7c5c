#include "export/TimelineExporter.h"

#include "export/TakeManifest.h"
#include "export/TimelineXmlWriter.h"
#include "platform/StandardLocations.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kFirstChannel = 1;
constexpr int kLastChannel = 4;

QString deriveTakeFolder(const TimelineExportInput &input)
{
    if (!input.takeFolder.isEmpty())
        return QDir::cleanPath(QDir::fromNativeSeparators(QFileInfo(input.takeFolder).absoluteFilePath()));
    if (!input.masterWavPath.isEmpty())
        return QFileInfo(input.masterWavPath).absolutePath();
    // No master file: the take folder is where the first camera's file lies,
    // never the working directory.
    for (auto it = input.videoFilePaths.constBegin(); it != input.videoFilePaths.constEnd(); ++it) {
        if (!it.value().isEmpty())
            return QFileInfo(it.value()).absolutePath();
    }
    return QString();
}

} // namespace

TimelineExporter::TimelineExporter(QString manifestFolder)
    : m_manifestFolder(std::move(manifestFolder))
    , m_clock([] { return static_cast<int64_t>(QDateTime::currentSecsSinceEpoch()); })
{
}

void TimelineExporter::setClock(std::function<int64_t()> secondsSinceEpoch)
{
    m_clock = std::move(secondsSinceEpoch);
}

QString TimelineExporter::manifestFolder() const
{
    return m_manifestFolder.isEmpty() ? StandardLocations::applicationDataFolder() : m_manifestFolder;
}

TimelineExportNames TimelineExporter::names(const TimelineExportInput &input)
{
    TimelineExportNames names;
    names.session = input.sessionName.trimmed();
    if (names.session.isEmpty())
        names.session = QStringLiteral("Session");
    names.takeFolder = deriveTakeFolder(input);
    names.takeName = QFileInfo(names.takeFolder).fileName();
    const QString stem = names.takeFolder + QLatin1Char('/') + names.session + QLatin1Char('_') + names.takeName;
    names.premierePath = stem + QStringLiteral("_Premiere.xml");
    names.davinciPath = stem + QStringLiteral("_DaVinci.xml");
    return names;
}

TimelineDescription TimelineExporter::describe(const TimelineExportInput &input)
{
    const TimelineExportNames n = names(input);
    TimelineDescription d;
    d.projectName = n.session;
    d.sequenceName = n.session + QLatin1Char(' ') + n.takeName;
    d.takeFolder = n.takeFolder;
    d.frameRate = input.sequenceFps;
    d.width = input.sequenceWidth;
    d.height = input.sequenceHeight;
    d.durationMs = input.durationMs;
    d.masterAudioPath = input.masterWavPath;
    d.startTimecode = input.startTimecode;
    for (int id = kFirstChannel; id <= kLastChannel; ++id) {
        const auto video = input.videoFilePaths.constFind(id);
        if (video != input.videoFilePaths.constEnd())
            d.videoSources.append({id, QStringLiteral("clip-cam-%1").arg(id), video.value()});
    }
    for (int id = kFirstChannel; id <= kLastChannel; ++id) {
        const auto audio = input.audioFilePaths.constFind(id);
        if (audio == input.audioFilePaths.constEnd())
            continue;
        d.audioSources.append({id, audio.value()});
        const int binding = input.channelCameraLinks.value(id, 0);
        if (binding > 0)
            d.audioCameraLinks.insert(id, binding);
    }
    d.cuts = input.cuts;
    return d;
}

TimelineExportResult TimelineExporter::exportTake(const TimelineExportInput &input) const
{
    TimelineExportResult result;
    if (input.videoFilePaths.isEmpty() && input.masterWavPath.isEmpty()) {
        qDebug() << "[ApplicationManager] No recorded files to export to XML.";
        return result;
    }
    result.hadRecordedFiles = true;

    const TimelineExportNames n = names(input);
    result.premierePath = n.premierePath;
    result.davinciPath = n.davinciPath;
    // Both files carry the same document: render it once.
    const QByteArray document = renderTimelineXml(describe(input));

    result.premiereWritten = writeTimelineDocument(n.premierePath, document);
    if (result.premiereWritten)
        qDebug() << "[ApplicationManager] Successfully exported Premiere XML to:" << n.premierePath;
    else
        qWarning() << "[ApplicationManager] Failed to export Premiere XML to:" << n.premierePath;

    result.davinciWritten = writeTimelineDocument(n.davinciPath, document);
    if (!result.davinciWritten) {
        // Leave the manifest on the previous take: it must name a file that exists.
        qWarning() << "[ApplicationManager] Failed to export DaVinci Resolve XML to:" << n.davinciPath;
        return result;
    }
    qDebug() << "[ApplicationManager] Successfully exported DaVinci Resolve XML to:" << n.davinciPath;

    TakeManifest manifest;
    manifest.recordingPath = input.recordingPath;
    manifest.takeName = n.session;
    manifest.timestamp = m_clock();
    manifest.xmlDavinciPath = n.davinciPath;
    result.manifestWritten = writeTakeManifest(manifestFolder(), manifest);
    return result;
}
