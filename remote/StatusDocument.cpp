#include "remote/StatusDocument.h"

#include "remote/IRemoteBackend.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace StatusDocument {

bool isChannelActive(const IRemoteBackend &backend, int channel)
{
    // A stored link alone does not make a channel live: a camera that was
    // assigned but stopped must not show up as a card or in NEXT CAM.
    if (backend.isCameraRunning(channel))
        return true;
    return backend.hasChannelModel() && backend.hasActiveVideo(channel);
}

static QString channelDisplayName(const IRemoteBackend &backend, int channel)
{
    QString name = backend.cameraName(channel);
    if (name.isEmpty() && backend.hasChannelModel())
        name = backend.channelName(channel);
    if (name.isEmpty())
        name = QStringLiteral("Camera %1").arg(channel);
    return name;
}

QJsonObject build(const IRemoteBackend &backend)
{
    QJsonArray channels;
    int activeCount = 0;
    for (int id = 1; id <= 4; ++id) {
        const bool active = isChannelActive(backend, id);
        if (active)
            ++activeCount;
        QJsonObject entry;
        entry.insert(QStringLiteral("active"), active);
        entry.insert(QStringLiteral("colorRange"), backend.cameraColorRange(id));
        entry.insert(QStringLiteral("deviceLink"), backend.cameraLink(id));
        entry.insert(QStringLiteral("framerate"), double(backend.cameraFramerate(id)));
        entry.insert(QStringLiteral("height"), backend.cameraHeight(id));
        entry.insert(QStringLiteral("id"), id);
        entry.insert(QStringLiteral("name"), channelDisplayName(backend, id));
        entry.insert(QStringLiteral("width"), backend.cameraWidth(id));
        channels.append(entry);
    }

    QJsonObject status;
    status.insert(QStringLiteral("activeSourceId"), backend.activeSourceId());
    status.insert(QStringLiteral("activeVideoCount"), activeCount);
    status.insert(QStringLiteral("channels"), channels);
    status.insert(QStringLiteral("countdownSeconds"), backend.countdownSeconds());
    status.insert(QStringLiteral("currentFps"), backend.currentFps());
    status.insert(QStringLiteral("isArming"), backend.isArming());
    status.insert(QStringLiteral("isRecording"), backend.isRecording());
    status.insert(QStringLiteral("masterVolume"), backend.masterVolume());
    status.insert(QStringLiteral("selectedGlobalFps"), backend.selectedGlobalFps());
    status.insert(QStringLiteral("sessionName"), backend.sessionName());
    status.insert(QStringLiteral("timecode"), backend.timecode());
    return status;
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace StatusDocument
