#pragma once

#include "capture/VideoDeviceInfo.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class CameraCapture;

// One channel's camera choice, as the caller asked for it.
struct CameraAssignment
{
    QString link;
    QString name;
    int width = 1920;
    int height = 1080;
    float framerate = 30.0f;
    QString colorRange = QStringLiteral("Default");
};

// Puts cameras on channels and takes them off again, remembers each channel's
// choice, answers the camera and format questions of the interface from the
// start-up scan, keeps the channel audio-to-camera binding and builds the
// device inventory document. Owned by the application manager, which forwards
// its QML-facing calls here and connects channelVideoChanged to the channel
// model's setHasActiveVideo.
// Threads: GUI thread only. Camera sources are shared: cameraSourceForChannel
// hands out a reference, so a replaced source stays alive until its last
// reader lets go.
class CameraAssignments : public QObject
{
    Q_OBJECT

public:
    // The device operations, replaceable for tests. Defaults: CameraCapture's
    // inventory and open on the system's devices.
    struct DeviceLayer
    {
        std::function<std::vector<VideoDeviceInfo>()> listDevices;
        std::function<std::vector<VideoFormatInfo>(const std::wstring &)> listFormats;
        std::function<bool(CameraCapture &, const std::wstring &, const VideoFormatInfo &)> open;
    };
    static DeviceLayer systemDevices();

    explicit CameraAssignments(QObject *parent = nullptr);
    explicit CameraAssignments(DeviceLayer devices, QObject *parent = nullptr);
    ~CameraAssignments() override;

    // The start-up scan's results ({"name","link"} maps; link -> format maps).
    void setScanResults(const QVariantList &cameras, const QVariantMap &formatsByLink);
    QVariantList getAvailableCameras() const { return m_cameraListCache; }
    QVariantList getCameraFormats(const QString &deviceLink) const;

    void setCameraForChannel(int channelId, const QString &deviceLink, int width = 1920, int height = 1080,
                             float framerate = 30.0f, const QString &colorRange = QStringLiteral("Default"));
    void removeCameraFromChannel(int channelId);
    // Puts back a stale assignment (a camera choice without a running source)
    // exactly as given: any source of the channel is stopped, nothing is opened
    // and the channel model is left alone.
    void restoreStaleCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                      float framerate, const QString &colorRange);

    QString getCameraLinkForChannel(int channelId) const;
    QString getCameraNameForChannel(int channelId) const;
    int getCameraWidthForChannel(int channelId) const;
    int getCameraHeightForChannel(int channelId) const;
    float getCameraFramerateForChannel(int channelId) const;
    QString getCameraColorRangeForChannel(int channelId) const;
    // True while the channel has a source that is running.
    bool isCameraRunningForChannel(int channelId) const;

    void setChannelCameraLink(int channelId, int cameraId) { m_channelCameraLinks[channelId] = cameraId; }
    int getChannelCameraLink(int channelId) const;

    // The inventory document: compact JSON with sorted keys; audioDevices in order.
    QByteArray buildDevicesInfoDocument(const QStringList &audioDevices) const;
    // Writes it to "devices_info.json" in the current working directory;
    // silently nothing when the file cannot be opened.
    void saveDevicesInfoFile(const QStringList &audioDevices) const;

    // A reference to the channel's source, empty when it has none.
    std::shared_ptr<CameraCapture> cameraSourceForChannel(int channelId) const;
    // Every channel's source (the recording session records the running ones).
    std::map<int, std::shared_ptr<CameraCapture>> cameraSources() const { return m_cameraSources; }

signals:
    // The channel model's hasActiveVideo should become hasVideo.
    void channelVideoChanged(int channelId, bool hasVideo);

private:
    void stopSource(int channelId);
    QString deviceName(const QString &link, int channelId) const;

    DeviceLayer m_devices;
    std::map<int, std::shared_ptr<CameraCapture>> m_cameraSources;
    std::map<int, CameraAssignment> m_cameraAssignments;
    std::map<int, int> m_channelCameraLinks;
    QVariantList m_cameraListCache;
    QVariantMap m_cameraFormatsCache;
};
