#include "remote/ApplicationManagerBackend.h"

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "capture/ISource.h"

ApplicationManagerBackend::ApplicationManagerBackend(ApplicationManager &manager)
    : m_manager(manager)
{
}

int ApplicationManagerBackend::activeSourceId() const { return m_manager.activeSourceId(); }
void ApplicationManagerBackend::setActiveSourceId(int id) { m_manager.setActiveSourceId(id); }
int ApplicationManagerBackend::countdownSeconds() const { return m_manager.countdownSeconds(); }
double ApplicationManagerBackend::currentFps() const { return m_manager.currentFps(); }
bool ApplicationManagerBackend::isArming() const { return m_manager.isArming(); }
bool ApplicationManagerBackend::isRecording() const { return m_manager.isRecording(); }
double ApplicationManagerBackend::masterVolume() const { return double(m_manager.masterAudioVolume()); }
double ApplicationManagerBackend::selectedGlobalFps() const { return m_manager.selectedGlobalFps(); }
QString ApplicationManagerBackend::sessionName() const { return m_manager.activeSessionName(); }
QString ApplicationManagerBackend::timecode() const { return m_manager.timecode(); }
void ApplicationManagerBackend::startRecording() { m_manager.startRecording(); }
void ApplicationManagerBackend::stopRecording() { m_manager.stopRecording(); }

bool ApplicationManagerBackend::isCameraRunning(int channel) const
{
    const std::shared_ptr<ISource> source = m_manager.cameraSourceForChannel(channel);
    return source && source->isRunning();
}

QString ApplicationManagerBackend::cameraLink(int channel) const { return m_manager.getCameraLinkForChannel(channel); }
QString ApplicationManagerBackend::cameraName(int channel) const { return m_manager.getCameraNameForChannel(channel); }
QString ApplicationManagerBackend::cameraColorRange(int channel) const { return m_manager.getCameraColorRangeForChannel(channel); }
float ApplicationManagerBackend::cameraFramerate(int channel) const { return m_manager.getCameraFramerateForChannel(channel); }
int ApplicationManagerBackend::cameraWidth(int channel) const { return m_manager.getCameraWidthForChannel(channel); }
int ApplicationManagerBackend::cameraHeight(int channel) const { return m_manager.getCameraHeightForChannel(channel); }

void ApplicationManagerBackend::setCameraForChannel(int channel, const QString &link, int width, int height,
                                                    float framerate, const QString &colorRange)
{
    m_manager.setCameraForChannel(channel, link, width, height, framerate, colorRange);
}

void ApplicationManagerBackend::removeCameraFromChannel(int channel) { m_manager.removeCameraFromChannel(channel); }

bool ApplicationManagerBackend::latestFrame(int channel, std::vector<uint8_t> &rgba, int &width, int &height)
{
    // Hold the source for this one read, so a camera replaced meanwhile stays alive.
    const std::shared_ptr<ISource> source = m_manager.cameraSourceForChannel(channel);
    if (!source || !source->isRunning())
        return false;
    width = source->width();
    height = source->height();
    source->getLatestFrame(rgba);
    return true;
}

QByteArray ApplicationManagerBackend::deviceInventoryJson()
{
    // Listed afresh on every request, not from the start-up scan: a camera
    // plugged in later must be offered on the phone.
    return m_manager.devicesInfoDocument();
}

bool ApplicationManagerBackend::hasChannelModel() const { return m_manager.channelsModel() != nullptr; }

QString ApplicationManagerBackend::channelName(int channel) const
{
    InputChannelsModel *model = m_manager.channelsModel();
    return model ? model->getChannelName(channel) : QString();
}

bool ApplicationManagerBackend::hasActiveVideo(int channel) const
{
    InputChannelsModel *model = m_manager.channelsModel();
    return model && model->hasActiveVideo(channel);
}

void ApplicationManagerBackend::setChannelName(int channel, const QString &name)
{
    if (InputChannelsModel *model = m_manager.channelsModel())
        model->setChannelName(channel, name);
}
