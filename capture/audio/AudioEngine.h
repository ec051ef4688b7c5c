#pragma once

#include "capture/audio/AudioMixer.h"
#include "capture/audio/MixClock.h"
#include "capture/audio/MonitorOutput.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <map>
#include <memory>

class AudioCapture;
class TakeAudioWriter;

// Files of one take's audio, as opened by startWriting() or completed by
// stopWriting(). Paths are empty / absent for files that did not open.
struct AudioTakeFiles
{
    QString masterPath;              // the master mix file (always attempted)
    bool masterOpened = false;       // the master file could be created
    QMap<int, QString> channelPaths; // channel id -> its own file
};

// The sound side of the application: device lists, one capture per channel
// input plus the master input, the mixer with its meters, the monitoring
// output and, during a take, the WAV writers. Its properties and invokables
// mirror the application manager's audio members one to one, so the manager
// only forwards. The channel model is not known here: per-channel meter
// levels go out through channelAudioLevelChanged every tick and the
// active-audio flag through channelAudioActiveChanged.
//
// Threads: every member runs on the GUI thread, including updateAudioLevel()
// (driven by a 25 ms timer owned by the caller). The other threads are SDL's
// capture callbacks (see AudioCapture), SDL's output thread and, during a
// take, the thread that owns the WAV files (see TakeAudioWriter; the tick
// hands it copies of the blocks). Lock order mixer lock, then a capture's
// queue lock. SDL's audio subsystem must be
// initialised before refresh*/initialize() or any device is opened.
class AudioEngine : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList audioInputDevices READ audioInputDevices NOTIFY audioInputDevicesChanged)
    Q_PROPERTY(QVariantList audioOutputDevices READ audioOutputDevices NOTIFY audioOutputDevicesChanged)
    Q_PROPERTY(QString masterAudioDevice READ masterAudioDevice WRITE setMasterAudioDevice NOTIFY masterAudioDeviceChanged)
    Q_PROPERTY(QString masterAudioOutputDevice READ masterAudioOutputDevice WRITE setMasterAudioOutputDevice NOTIFY masterAudioOutputDeviceChanged)
    Q_PROPERTY(bool liveMonitoringEnabled READ liveMonitoringEnabled WRITE setLiveMonitoringEnabled NOTIFY liveMonitoringEnabledChanged)
    Q_PROPERTY(float masterAudioLevel READ masterAudioLevel NOTIFY masterAudioLevelChanged)
    Q_PROPERTY(float masterAudioLevelRight READ masterAudioLevelRight NOTIFY masterAudioLevelChanged)
    Q_PROPERTY(bool separateAudioRecordingEnabled READ separateAudioRecordingEnabled WRITE setSeparateAudioRecordingEnabled NOTIFY separateAudioRecordingEnabledChanged)

public:
    explicit AudioEngine(QObject *parent = nullptr);
    ~AudioEngine() override;

    // Start-up: fill both device lists, then open the master input
    // "Default system input" through the masterAudioDevice setter.
    void initialize();

    QVariantList audioInputDevices() const { return m_audioInputDevices; }
    QVariantList audioOutputDevices() const { return m_audioOutputDevices; }
    QString masterAudioDevice() const { return m_masterAudioDevice; }
    void setMasterAudioDevice(const QString &name);
    QString masterAudioOutputDevice() const { return m_masterAudioOutputDevice; }
    void setMasterAudioOutputDevice(const QString &name);
    bool liveMonitoringEnabled() const { return m_liveMonitoringEnabled; }
    void setLiveMonitoringEnabled(bool enabled);
    float masterAudioLevel() const { return m_masterAudioLevel; }
    float masterAudioLevelRight() const { return m_masterAudioLevelRight; }
    bool separateAudioRecordingEnabled() const { return m_separateAudioRecordingEnabled; }
    void setSeparateAudioRecordingEnabled(bool enabled);

    Q_INVOKABLE void refreshAudioInputDevices();
    Q_INVOKABLE void refreshAudioOutputDevices();
    Q_INVOKABLE void setAudioInputForChannel(int channelId, const QString &deviceName);
    Q_INVOKABLE QString getChannelAudioInput(int channelId) const;
    Q_INVOKABLE void setChannelAudioVolume(int channelId, float volume);
    Q_INVOKABLE float getChannelAudioVolume(int channelId) const;
    Q_INVOKABLE float getChannelAudioFader(int channelId) const;
    Q_INVOKABLE void setChannelAudioMute(int channelId, bool mute);
    Q_INVOKABLE bool isChannelAudioMuted(int channelId) const;
    Q_INVOKABLE void setChannelAudioSolo(int channelId, bool solo);
    Q_INVOKABLE bool isChannelAudioSolo(int channelId) const;
    Q_INVOKABLE void setMasterAudioVolume(float volume);
    Q_INVOKABLE float masterAudioVolume() const;
    Q_INVOKABLE float masterAudioFader() const;
    Q_INVOKABLE void setChannelSeparateAudioEnabled(int channelId, bool enabled);
    Q_INVOKABLE bool isChannelSeparateAudioEnabled(int channelId) const;

    // True when the channel has an open capture attached.
    bool hasChannelAudioSource(int channelId) const;
    // True while the monitoring output device is actually open.
    bool isMonitorOutputOpen() const { return m_monitor.isOpen(); }

    // Take start: resets the meters and queues, restarts the mix clock and
    // opens "<takeFolder>/Master_Audio_Output.wav" plus
    // "<takeFolder>/Channel_CC_Audio.wav" for every channel that has an input
    // and its separate flag set. Returns the files that opened.
    AudioTakeFiles startWriting(const QString &takeFolder);
    // Take stop: mixes the audio still due, closes every file (headers get
    // their final sizes) and returns the files written. Safe to call twice.
    AudioTakeFiles stopWriting();
    bool isWriting() const { return m_writing; }
    // Blocks until the take's files hold every block mixed so far.
    void waitUntilWritten();
    // Sample bytes written to the running take's files so far; 0 outside a take.
    int64_t takeBytesWritten() const;

public slots:
    // One 25 ms tick: mix the frames due, update the meters, write the take's
    // files and feed the monitoring output.
    void updateAudioLevel();

signals:
    void audioInputDevicesChanged();
    void audioOutputDevicesChanged();
    void masterAudioDeviceChanged();
    void masterAudioOutputDeviceChanged();
    void liveMonitoringEnabledChanged();
    void masterAudioLevelChanged();
    void separateAudioRecordingEnabledChanged();
    void channelAudioLevelChanged(int channelId, float levelLeft, float levelRight);
    // The channel's input assignment names a real device (or no longer does).
    void channelAudioActiveChanged(int channelId, bool hasAudio);

private:
    static bool namesDevice(const QString &name);
    void openMonitor();
    void closeMonitor();
    void removeChannelCapture(int channelId);

    AudioMixer m_mixer;
    MixClock m_clock;
    MonitorOutput m_monitor;

    QVariantList m_audioInputDevices;
    QVariantList m_audioOutputDevices;
    QString m_masterAudioDevice = QStringLiteral("Default system input");
    QString m_masterAudioOutputDevice = QStringLiteral("Default system output");
    bool m_liveMonitoringEnabled = false;
    float m_masterAudioLevel = 0.0f;
    float m_masterAudioLevelRight = 0.0f;
    bool m_separateAudioRecordingEnabled = false;

    QMap<int, QString> m_channelAudioInputNames;
    std::map<int, std::unique_ptr<AudioCapture>> m_channelAudioSources;
    std::unique_ptr<AudioCapture> m_masterAudioSource;
    QMap<int, bool> m_separateAudioChannels;

    bool m_writing = false;
    AudioTakeFiles m_takeFiles;
    // The take's files: the master mix and the channels' own files.
    std::unique_ptr<TakeAudioWriter> m_takeWriter;

    // Reused between ticks so a tick allocates nothing new in steady state.
    AudioMixer::ChannelBlocks m_channelBlocks;
    std::vector<float> m_masterBlock;
};
