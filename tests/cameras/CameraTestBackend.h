#pragma once

#include "app/InputChannelsModel.h"
#include "app/cameras/CameraAssignments.h"

#include <QMap>
#include <QObject>
#include <QVariantList>

class QQmlEngine;

// The slice of the application manager the monitoring views and the source
// dialog use, over a real CameraAssignments with the virtual test cameras, and
// the real channel model. Published like the program publishes its backend:
// "AppManager" singleton, "ChannelsModel" context property, VideoStreamItem.
// GUI thread only.
class CameraTestBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int activeSourceId READ activeSourceId WRITE setActiveSourceId NOTIFY activeSourceChanged)
    Q_PROPERTY(bool isRecording MEMBER m_isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isArming MEMBER m_isArming NOTIFY armingStateChanged)
    Q_PROPERTY(int countdownSeconds MEMBER m_countdownSeconds NOTIFY countdownSecondsChanged)
    Q_PROPERTY(QString currentLanguage MEMBER m_language NOTIFY currentLanguageChanged)
    Q_PROPERTY(bool isCapturingKeybind MEMBER m_capturingKeybind NOTIFY isCapturingKeybindChanged)

public:
    static CameraTestBackend &instance();
    // Registers the types and singletons; call once the application exists.
    static void prepareApplication();
    static void exposeTo(QQmlEngine &engine);

    int activeSourceId() const { return m_activeSourceId; }
    void setActiveSourceId(int id);

    Q_INVOKABLE QVariantList getAvailableCameras() const { return m_cameras.getAvailableCameras(); }
    Q_INVOKABLE QVariantList getCameraFormats(const QString &link) const { return m_cameras.getCameraFormats(link); }
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &link, int width, int height, float framerate,
                                         const QString &colorRange)
    {
        ++setCameraCalls;
        m_cameras.setCameraForChannel(channelId, link, width, height, framerate, colorRange);
    }
    Q_INVOKABLE void removeCameraFromChannel(int channelId) { m_cameras.removeCameraFromChannel(channelId); }
    Q_INVOKABLE void restoreStaleCameraForChannel(int channelId, const QString &link, int width, int height,
                                                  float framerate, const QString &colorRange)
    {
        m_cameras.restoreStaleCameraForChannel(channelId, link, width, height, framerate, colorRange);
    }
    Q_INVOKABLE QString getCameraLinkForChannel(int id) const { return m_cameras.getCameraLinkForChannel(id); }
    Q_INVOKABLE int getCameraWidthForChannel(int id) const { return m_cameras.getCameraWidthForChannel(id); }
    Q_INVOKABLE int getCameraHeightForChannel(int id) const { return m_cameras.getCameraHeightForChannel(id); }
    Q_INVOKABLE float getCameraFramerateForChannel(int id) const { return m_cameras.getCameraFramerateForChannel(id); }
    Q_INVOKABLE QString getCameraColorRangeForChannel(int id) const { return m_cameras.getCameraColorRangeForChannel(id); }
    Q_INVOKABLE bool isCameraRunningForChannel(int id) const { return m_cameras.isCameraRunningForChannel(id); }
    Q_INVOKABLE QString getSourceKeyName(int index) const;
    Q_INVOKABLE void setSourceKey(int index, int key) { m_keys[index] = key; }
    Q_INVOKABLE int getSourceKey(int index) const { return m_keys.value(index, 0); }

    // Test helpers: back to no cameras, no program changes, English.
    Q_INVOKABLE void reset();
    Q_INVOKABLE int frameWidthOnChannel(int id) const;
    Q_INVOKABLE int setCameraCallCount() const { return setCameraCalls; }
    // Leaves a stale choice on the channel: assigned, then stopped.
    Q_INVOKABLE void makeStale(int channelId, const QString &link);

    CameraAssignments &cameras() { return m_cameras; }
    InputChannelsModel &model() { return m_model; }

signals:
    void activeSourceChanged();
    void isRecordingChanged();
    void armingStateChanged();
    void countdownSecondsChanged();
    void currentLanguageChanged();
    void isCapturingKeybindChanged();

private:
    CameraTestBackend();

    CameraAssignments m_cameras;
    InputChannelsModel m_model;
    int m_activeSourceId = 1;
    bool m_isRecording = false;
    bool m_isArming = false;
    int m_countdownSeconds = 0;
    QString m_language = QStringLiteral("EN");
    bool m_capturingKeybind = false;
    QMap<int, int> m_keys;
    int setCameraCalls = 0;
};
