#pragma once

#include "remote/IRemoteBackend.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <array>

// A recorder stand-in for the remote control: four channels whose cameras
// can be made to run and deliver a frame, a take that starts and stops at
// once, a channel model that can be linked or not. Every command is noted.
class FakeRemoteBackend : public IRemoteBackend
{
public:
    struct Camera
    {
        bool running = false;
        QString link, name, colorRange = QStringLiteral("Default");
        float framerate = 0;
        int width = 0, height = 0;
        std::vector<uint8_t> frame;
        int frameWidth = 0, frameHeight = 0;
    };

    int active = 0;
    bool recording = false, arming = false;
    int countdown = 0;
    double fps = 0, globalFps = 30, volume = 0.75;
    QString session = QStringLiteral("Session"), tc = QStringLiteral("00:00:00");
    std::array<Camera, 5> cameras{};
    bool modelLinked = true;
    std::array<QString, 5> modelNames{};
    std::array<bool, 5> modelActive{};
    QStringList calls;
    QByteArray inventory = QByteArrayLiteral("{\"audioDevices\":[\"Default system input\"],\"videoDevices\":[]}");

    // A camera that runs and delivers a frame of one colour.
    void runCamera(int channel, int width, int height, QString name = {})
    {
        Camera &c = cameras[channel];
        c.running = true;
        c.link = QStringLiteral("/dev/video%1").arg(channel - 1);
        c.name = name.isEmpty() ? QStringLiteral("Virtual %1").arg(channel) : name;
        c.width = c.frameWidth = width;
        c.height = c.frameHeight = height;
        c.framerate = 30;
        c.frame.assign(size_t(width) * height * 4, 0);
        for (size_t i = 0; i < c.frame.size(); i += 4) {
            c.frame[i] = uint8_t(40 * channel);
            c.frame[i + 1] = 128;
            c.frame[i + 2] = 200;
            c.frame[i + 3] = 255;
        }
    }

    static bool valid(int ch) { return ch >= 1 && ch <= 4; }

    int activeSourceId() const override { return active; }
    void setActiveSourceId(int id) override { calls << QStringLiteral("setActiveSourceId %1").arg(id); active = id; }
    int countdownSeconds() const override { return countdown; }
    double currentFps() const override { return fps; }
    bool isArming() const override { return arming; }
    bool isRecording() const override { return recording; }
    double masterVolume() const override { return volume; }
    double selectedGlobalFps() const override { return globalFps; }
    QString sessionName() const override { return session; }
    QString timecode() const override { return tc; }
    void startRecording() override { calls << QStringLiteral("startRecording"); recording = true; }
    void stopRecording() override { calls << QStringLiteral("stopRecording"); recording = false; }

    bool isCameraRunning(int ch) const override { return valid(ch) && cameras[ch].running; }
    QString cameraLink(int ch) const override { return valid(ch) ? cameras[ch].link : QString(); }
    QString cameraName(int ch) const override { return valid(ch) ? cameras[ch].name : QString(); }
    QString cameraColorRange(int ch) const override { return valid(ch) ? cameras[ch].colorRange : QString(); }
    float cameraFramerate(int ch) const override { return valid(ch) ? cameras[ch].framerate : 0; }
    int cameraWidth(int ch) const override { return valid(ch) ? cameras[ch].width : 0; }
    int cameraHeight(int ch) const override { return valid(ch) ? cameras[ch].height : 0; }
    void setCameraForChannel(int ch, const QString &link, int w, int h, float fr, const QString &range) override
    {
        calls << QStringLiteral("setCameraForChannel %1 \"%2\" %3 %4 %5 \"%6\"").arg(ch).arg(link).arg(w).arg(h).arg(double(fr)).arg(range);
        if (!valid(ch))
            return;
        Camera &c = cameras[ch];
        c.link = link;
        c.width = w;
        c.height = h;
        c.framerate = fr;
        c.colorRange = range;
        c.running = !link.isEmpty();
    }
    void removeCameraFromChannel(int ch) override
    {
        calls << QStringLiteral("removeCameraFromChannel %1").arg(ch);
        if (valid(ch))
            cameras[ch] = Camera{};
    }
    bool latestFrame(int ch, std::vector<uint8_t> &rgba, int &w, int &h) override
    {
        if (!isCameraRunning(ch))
            return false;
        rgba = cameras[ch].frame;
        w = cameras[ch].frameWidth;
        h = cameras[ch].frameHeight;
        return true;
    }
    QByteArray deviceInventoryJson() override { return inventory; }

    bool hasChannelModel() const override { return modelLinked; }
    QString channelName(int ch) const override { return modelLinked && valid(ch) ? modelNames[ch] : QString(); }
    bool hasActiveVideo(int ch) const override { return modelLinked && valid(ch) && modelActive[ch]; }
    void setChannelName(int ch, const QString &name) override
    {
        calls << QStringLiteral("setChannelName %1 \"%2\"").arg(ch).arg(name);
        if (valid(ch))
            modelNames[ch] = name;
    }
};
