#include "app/cameras/CameraAssignments.h"

#include "app/cameras/CameraFormatChoice.h"
#include "capture/CameraCapture.h"
#include "capture/FormatList.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

CameraAssignments::DeviceLayer CameraAssignments::systemDevices()
{
    DeviceLayer layer;
    layer.listDevices = [] { return CameraCapture::enumerateVideoDevices(); };
    layer.listFormats = [](const std::wstring &link) { return CameraCapture::enumerateVideoFormats(link); };
    layer.open = [](CameraCapture &source, const std::wstring &link, const VideoFormatInfo &format) {
        return source.open(link, format);
    };
    return layer;
}

CameraAssignments::CameraAssignments(QObject *parent)
    : CameraAssignments(systemDevices(), parent)
{
}

CameraAssignments::CameraAssignments(DeviceLayer devices, QObject *parent)
    : QObject(parent)
    , m_devices(std::move(devices))
{
}

CameraAssignments::~CameraAssignments()
{
    for (auto &entry : m_cameraSources)
        entry.second->stop();
}

void CameraAssignments::setScanResults(const QVariantList &cameras, const QVariantMap &formatsByLink)
{
    m_cameraListCache = cameras;
    m_cameraFormatsCache = formatsByLink;
}

QVariantList CameraAssignments::getCameraFormats(const QString &deviceLink) const
{
    return m_cameraFormatsCache.value(deviceLink).toList();
}

void CameraAssignments::stopSource(int channelId)
{
    auto it = m_cameraSources.find(channelId);
    if (it == m_cameraSources.end())
        return;
    it->second->stop();
    m_cameraSources.erase(it);
}

QString CameraAssignments::deviceName(const QString &link, int channelId) const
{
    const std::wstring wanted = link.toStdWString();
    for (const VideoDeviceInfo &device : m_devices.listDevices())
        if (device.link == wanted)
            return QString::fromStdWString(device.name);
    return QStringLiteral("Camera %1").arg(channelId);
}

void CameraAssignments::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                             float framerate, const QString &colorRange)
{
    qDebug() << "[ApplicationManager] Setting camera for channel" << channelId << "to" << deviceLink;
    stopSource(channelId);
    if (deviceLink.isEmpty()) {
        qDebug() << "[ApplicationManager] Disabled camera capture for channel" << channelId;
        return;
    }
    auto source = std::make_shared<CameraCapture>();
    const std::wstring link = deviceLink.toStdWString();
    const VideoFormatInfo format =
        CameraFormatChoice::choose(m_devices.listFormats(link), width, height, framerate, colorRange);
    if (!m_devices.open(*source, link, format)) {
        qDebug() << "[ApplicationManager] Failed to start camera capture for channel" << channelId;
        return;
    }
    m_cameraSources[channelId] = source;
    const QString name = deviceName(deviceLink, channelId);
    m_cameraAssignments[channelId] = CameraAssignment{deviceLink, name, width, height, framerate, colorRange};
    emit channelVideoChanged(channelId, true);
    qDebug() << "[ApplicationManager] Successfully started camera capture for channel" << channelId << ":" << name;
}

void CameraAssignments::removeCameraFromChannel(int channelId)
{
    stopSource(channelId);
    m_cameraAssignments.erase(channelId);
    emit channelVideoChanged(channelId, false);
}

void CameraAssignments::restoreStaleCameraForChannel(int channelId, const QString &deviceLink, int width,
                                                     int height, float framerate, const QString &colorRange)
{
    stopSource(channelId);
    if (deviceLink.isEmpty()) {
        m_cameraAssignments.erase(channelId);
        return;
    }
    m_cameraAssignments[channelId] =
        CameraAssignment{deviceLink, deviceName(deviceLink, channelId), width, height, framerate, colorRange};
}

QString CameraAssignments::getCameraLinkForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? QString() : it->second.link;
}

QString CameraAssignments::getCameraNameForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? QString() : it->second.name;
}

int CameraAssignments::getCameraWidthForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? 1920 : it->second.width;
}

int CameraAssignments::getCameraHeightForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? 1080 : it->second.height;
}

float CameraAssignments::getCameraFramerateForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? 30.0f : it->second.framerate;
}

QString CameraAssignments::getCameraColorRangeForChannel(int channelId) const
{
    auto it = m_cameraAssignments.find(channelId);
    return it == m_cameraAssignments.end() ? QStringLiteral("Default") : it->second.colorRange;
}

bool CameraAssignments::isCameraRunningForChannel(int channelId) const
{
    auto it = m_cameraSources.find(channelId);
    return it != m_cameraSources.end() && it->second->isRunning();
}

int CameraAssignments::getChannelCameraLink(int channelId) const
{
    auto it = m_channelCameraLinks.find(channelId);
    return it == m_channelCameraLinks.end() ? 0 : it->second;
}

QByteArray CameraAssignments::buildDevicesInfoDocument(const QStringList &audioDevices) const
{
    QJsonArray videoDevices;
    for (const VideoDeviceInfo &device : m_devices.listDevices()) {
        QJsonArray formats;
        for (const VideoFormatInfo &f : m_devices.listFormats(device.link)) {
            const double fps = f.fpsDenominator < 1 ? 30.0 : double(FormatList::rate(f));
            formats.append(QJsonObject{{QStringLiteral("formatName"), QString::fromStdString(f.formatName)},
                                       {QStringLiteral("fps"), fps},
                                       {QStringLiteral("height"), f.height},
                                       {QStringLiteral("width"), f.width}});
        }
        videoDevices.append(QJsonObject{{QStringLiteral("formats"), formats},
                                        {QStringLiteral("link"), QString::fromStdWString(device.link)},
                                        {QStringLiteral("name"), QString::fromStdWString(device.name)}});
    }
    const QJsonObject root{{QStringLiteral("audioDevices"), QJsonArray::fromStringList(audioDevices)},
                           {QStringLiteral("videoDevices"), videoDevices}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

void CameraAssignments::saveDevicesInfoFile(const QStringList &audioDevices) const
{
    QFile file(QStringLiteral("devices_info.json"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(buildDevicesInfoDocument(audioDevices));
    file.close();
}

std::shared_ptr<CameraCapture> CameraAssignments::cameraSourceForChannel(int channelId) const
{
    auto it = m_cameraSources.find(channelId);
    return it == m_cameraSources.end() ? nullptr : it->second;
}
