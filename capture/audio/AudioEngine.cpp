#include "capture/audio/AudioEngine.h"

#include "capture/audio/AudioCapture.h"
#include "capture/audio/AudioDeviceList.h"
#include "capture/audio/AudioFormat.h"
#include "capture/audio/TakeAudioWriter.h"
#include "capture/audio/WavWriter.h"

#include <QDebug>

AudioEngine::AudioEngine(QObject *parent)
    : QObject(parent)
{
}

AudioEngine::~AudioEngine()
{
    stopWriting();
    closeMonitor();
    if (m_masterAudioSource) {
        m_mixer.removeMasterInput(m_masterAudioSource.get());
        m_masterAudioSource->close();
        m_masterAudioSource.reset();
    }
    for (auto &[id, capture] : m_channelAudioSources) {
        m_mixer.removeChannelInput(id);
        capture->close();
    }
    m_channelAudioSources.clear();
}

bool AudioEngine::namesDevice(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String("None") && name != QLatin1String("Off");
}

void AudioEngine::initialize()
{
    refreshAudioInputDevices();
    refreshAudioOutputDevices();
    const QString remembered = m_masterAudioDevice;
    m_masterAudioDevice.clear();
    setMasterAudioDevice(remembered);
}

void AudioEngine::refreshAudioInputDevices()
{
    m_audioInputDevices.clear();
    for (const QString &name : AudioDeviceList::inputDevices())
        m_audioInputDevices << name;
    emit audioInputDevicesChanged();
}

void AudioEngine::refreshAudioOutputDevices()
{
    m_audioOutputDevices.clear();
    for (const QString &name : AudioDeviceList::outputDevices())
        m_audioOutputDevices << name;
    emit audioOutputDevicesChanged();
}

void AudioEngine::removeChannelCapture(int channelId)
{
    const auto it = m_channelAudioSources.find(channelId);
    if (it == m_channelAudioSources.end())
        return;
    m_mixer.removeChannelInput(channelId);
    it->second->close();
    m_channelAudioSources.erase(it);
}

void AudioEngine::setAudioInputForChannel(int channelId, const QString &deviceName)
{
    m_channelAudioInputNames[channelId] = deviceName;
    removeChannelCapture(channelId);
    emit channelAudioActiveChanged(channelId, namesDevice(deviceName));
    if (!namesDevice(deviceName))
        return;

    auto capture = std::make_unique<AudioCapture>();
    const std::string sdlName = deviceName == QLatin1String(AudioDeviceList::kDefaultInput)
                                    ? std::string()
                                    : deviceName.toStdString();
    if (capture->open(sdlName, 2)) {
        m_mixer.setChannelInput(channelId, capture.get());
        m_channelAudioSources[channelId] = std::move(capture);
        qDebug() << "[ApplicationManager] Audio input for channel" << channelId << "connected:" << deviceName;
    } else {
        qWarning() << "[ApplicationManager] Failed to start audio input for channel" << channelId << "on" << deviceName;
    }
}

QString AudioEngine::getChannelAudioInput(int channelId) const
{
    return m_channelAudioInputNames.value(channelId);
}

void AudioEngine::setChannelAudioVolume(int channelId, float volume)
{
    m_mixer.setChannelFader(channelId, volume);
}

float AudioEngine::getChannelAudioVolume(int channelId) const
{
    return m_mixer.channelFader(channelId);
}

float AudioEngine::getChannelAudioFader(int channelId) const
{
    return m_mixer.channelFader(channelId);
}

void AudioEngine::setChannelAudioMute(int channelId, bool mute)
{
    m_mixer.setChannelMute(channelId, mute);
}

bool AudioEngine::isChannelAudioMuted(int channelId) const
{
    return m_mixer.isChannelMuted(channelId);
}

void AudioEngine::setChannelAudioSolo(int channelId, bool solo)
{
    m_mixer.setChannelSolo(channelId, solo);
}

bool AudioEngine::isChannelAudioSolo(int channelId) const
{
    return m_mixer.isChannelSolo(channelId);
}

void AudioEngine::setMasterAudioVolume(float volume)
{
    m_mixer.setMasterFader(volume);
}

float AudioEngine::masterAudioVolume() const
{
    return m_mixer.masterFader();
}

float AudioEngine::masterAudioFader() const
{
    return m_mixer.masterFader();
}

void AudioEngine::setChannelSeparateAudioEnabled(int channelId, bool enabled)
{
    m_separateAudioChannels[channelId] = enabled;
    emit separateAudioRecordingEnabledChanged();
}

bool AudioEngine::isChannelSeparateAudioEnabled(int channelId) const
{
    return m_separateAudioChannels.value(channelId, false);
}

bool AudioEngine::hasChannelAudioSource(int channelId) const
{
    const auto it = m_channelAudioSources.find(channelId);
    return it != m_channelAudioSources.end() && it->second->isOpen();
}

void AudioEngine::setSeparateAudioRecordingEnabled(bool enabled)
{
    if (m_separateAudioRecordingEnabled == enabled)
        return;
    m_separateAudioRecordingEnabled = enabled;
    emit separateAudioRecordingEnabledChanged();
}

void AudioEngine::setMasterAudioDevice(const QString &name)
{
    if (name == m_masterAudioDevice && m_masterAudioSource)
        return;
    if (m_masterAudioSource) {
        m_mixer.removeMasterInput(m_masterAudioSource.get());
        m_masterAudioSource->close();
        m_masterAudioSource.reset();
    }
    m_masterAudioDevice = name;
    if (namesDevice(name)) {
        auto capture = std::make_unique<AudioCapture>();
        const std::string sdlName = name == QLatin1String(AudioDeviceList::kDefaultInput) ? std::string()
                                                                                           : name.toStdString();
        if (capture->open(sdlName, 2)) {
            m_mixer.addMasterInput(capture.get());
            m_masterAudioSource = std::move(capture);
            qDebug() << "[ApplicationManager] Master audio input connected:" << name;
        } else {
            qWarning() << "[ApplicationManager] Failed to start master audio input on" << name;
        }
    }
    emit masterAudioDeviceChanged();
}

void AudioEngine::openMonitor()
{
    m_monitor.open(m_masterAudioOutputDevice.toStdString());
}

void AudioEngine::closeMonitor()
{
    m_monitor.close();
}

void AudioEngine::setLiveMonitoringEnabled(bool enabled)
{
    if (enabled == m_liveMonitoringEnabled)
        return;
    m_liveMonitoringEnabled = enabled;
    if (enabled)
        openMonitor();
    else
        closeMonitor();
    emit liveMonitoringEnabledChanged();
}

void AudioEngine::setMasterAudioOutputDevice(const QString &name)
{
    if (name == m_masterAudioOutputDevice)
        return;
    m_masterAudioOutputDevice = name;
    emit masterAudioOutputDeviceChanged();
    if (m_liveMonitoringEnabled) {
        setLiveMonitoringEnabled(false);
        setLiveMonitoringEnabled(true);
    }
}

namespace {
constexpr int kMasterFileKey = -1; // channel ids are the other keys
}

AudioTakeFiles AudioEngine::startWriting(const QString &takeFolder)
{
    stopWriting();
    m_takeFiles = AudioTakeFiles{};
    m_mixer.resetLevels();
    m_clock.restart(MixClock::Clock::now());
    m_takeWriter = std::make_unique<TakeAudioWriter>();

    m_takeFiles.masterPath = takeFolder + QStringLiteral("/Master_Audio_Output.wav");
    auto master = std::make_unique<WavWriter>();
    m_takeFiles.masterOpened = master->open(m_takeFiles.masterPath.toStdString(), AudioFormat::kSampleRate, 2);
    // The take logs which files opened (it gets them back from here), so the
    // messages appear once.
    if (m_takeFiles.masterOpened)
        m_takeWriter->addFile(kMasterFileKey, std::move(master));

    for (const auto &[id, capture] : m_channelAudioSources) {
        if (!m_separateAudioChannels.value(id, false))
            continue;
        const QString path = QStringLiteral("%1/Channel_%2_Audio.wav").arg(takeFolder).arg(id, 2, 10, QLatin1Char('0'));
        auto writer = std::make_unique<WavWriter>();
        if (!writer->open(path.toStdString(), AudioFormat::kSampleRate, 2))
            continue;
        m_takeFiles.channelPaths[id] = path;
        m_takeWriter->addFile(id, std::move(writer));
    }
    m_takeWriter->start();
    m_writing = true;
    return m_takeFiles;
}

AudioTakeFiles AudioEngine::stopWriting()
{
    if (!m_writing)
        return {};
    updateAudioLevel(); // the frames due up to this moment belong to the take
    m_writing = false;
    m_takeWriter->finish();
    m_takeWriter.reset();
    return m_takeFiles;
}

void AudioEngine::waitUntilWritten()
{
    if (m_takeWriter)
        m_takeWriter->waitUntilWritten();
}

int64_t AudioEngine::takeBytesWritten() const
{
    return m_takeWriter ? int64_t(m_takeWriter->bytesWritten()) : 0;
}

void AudioEngine::updateAudioLevel()
{
    const int frames = m_clock.framesDue(MixClock::Clock::now());
    m_mixer.mix(frames, m_channelBlocks, m_masterBlock);

    const ChannelLevels master = m_mixer.masterLevels();
    m_masterAudioLevel = master.left;
    m_masterAudioLevelRight = master.right;
    emit masterAudioLevelChanged();
    for (int id = 1; id <= 4; ++id) {
        const ChannelLevels levels = m_mixer.channelLevels(id);
        emit channelAudioLevelChanged(id, levels.left, levels.right);
    }

    if (m_writing) {
        m_takeWriter->write(kMasterFileKey, m_masterBlock);
        for (const auto &[id, block] : m_channelBlocks) {
            if (m_separateAudioChannels.value(id, false))
                m_takeWriter->write(id, block);
        }
    }

    if (m_liveMonitoringEnabled && m_monitor.isOpen() && !m_masterBlock.empty())
        m_monitor.play(m_masterBlock);
}
