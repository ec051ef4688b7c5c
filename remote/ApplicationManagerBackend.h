#pragma once

#include "remote/IRemoteBackend.h"

class ApplicationManager;

// The remote control's view of the recorder: forwards every read and command
// to the application manager and its linked channel model. GUI thread only;
// frames are copied through the camera source's own lock.
class ApplicationManagerBackend final : public IRemoteBackend
{
public:
    explicit ApplicationManagerBackend(ApplicationManager &manager);

    int activeSourceId() const override;
    void setActiveSourceId(int id) override;
    int countdownSeconds() const override;
    double currentFps() const override;
    bool isArming() const override;
    bool isRecording() const override;
    double masterVolume() const override;
    double selectedGlobalFps() const override;
    QString sessionName() const override;
    QString timecode() const override;
    void startRecording() override;
    void stopRecording() override;

    bool isCameraRunning(int channel) const override;
    QString cameraLink(int channel) const override;
    QString cameraName(int channel) const override;
    QString cameraColorRange(int channel) const override;
    float cameraFramerate(int channel) const override;
    int cameraWidth(int channel) const override;
    int cameraHeight(int channel) const override;
    void setCameraForChannel(int channel, const QString &link, int width, int height, float framerate,
                             const QString &colorRange) override;
    void removeCameraFromChannel(int channel) override;
    bool latestFrame(int channel, std::vector<uint8_t> &rgba, int &width, int &height) override;
    QByteArray deviceInventoryJson() override;

    bool hasChannelModel() const override;
    QString channelName(int channel) const override;
    bool hasActiveVideo(int channel) const override;
    void setChannelName(int channel, const QString &name) override;

private:
    ApplicationManager &m_manager;
};
