#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// What the remote control needs from the recorder: the reads behind the
// status document and the commands behind the API routes. The application
// manager and the channel model answer it in the program; tests give their
// own. Every call is made on the GUI thread.
class IRemoteBackend
{
public:
    virtual ~IRemoteBackend() = default;

    // Take and switching
    virtual int activeSourceId() const = 0;
    virtual void setActiveSourceId(int id) = 0;
    virtual int countdownSeconds() const = 0;
    virtual double currentFps() const = 0;
    virtual bool isArming() const = 0;
    virtual bool isRecording() const = 0;
    virtual double masterVolume() const = 0;
    virtual double selectedGlobalFps() const = 0;
    virtual QString sessionName() const = 0;
    virtual QString timecode() const = 0;
    virtual void startRecording() = 0;
    virtual void stopRecording() = 0;

    // Cameras of channels 1..4
    virtual bool isCameraRunning(int channel) const = 0;
    virtual QString cameraLink(int channel) const = 0;
    virtual QString cameraName(int channel) const = 0;
    virtual QString cameraColorRange(int channel) const = 0;
    virtual float cameraFramerate(int channel) const = 0;
    virtual int cameraWidth(int channel) const = 0;
    virtual int cameraHeight(int channel) const = 0;
    virtual void setCameraForChannel(int channel, const QString &link, int width, int height,
                                     float framerate, const QString &colorRange) = 0;
    virtual void removeCameraFromChannel(int channel) = 0;
    // Copies the newest frame (RGBA, top row first) of the channel's camera;
    // false when the channel has no running camera.
    virtual bool latestFrame(int channel, std::vector<uint8_t> &rgba, int &width, int &height) = 0;
    // The device inventory document, built fresh.
    virtual QByteArray deviceInventoryJson() = 0;

    // Channel model; false when no model is linked (the other calls then
    // answer empty / false and change nothing).
    virtual bool hasChannelModel() const = 0;
    virtual QString channelName(int channel) const = 0;
    virtual bool hasActiveVideo(int channel) const = 0;
    virtual void setChannelName(int channel, const QString &name) = 0;
};
