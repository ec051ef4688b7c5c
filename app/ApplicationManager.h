#pragma once

#include "app/CameraScan.h"
#include "app/Diagnostics.h"
#include "app/InputChannelsModel.h"
#include "app/Keybinds.h"
#include "app/cameras/CameraAssignments.h"
#include "app/recording/RecordingSession.h"
#include "capture/audio/AudioEngine.h"
#include "encoding/HardwareCapabilities.h"
#include "export/CutEntry.h"
#include "export/ResolveScriptInstaller.h"
#include "export/TimelineExporter.h"
#include "platform/WorkerResult.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <thread>

class ISource;

// The single backend object: QML reaches it as the singleton AppManager, the
// remote control and the timeline export call it directly. It coordinates and
// forwards; groups of behaviour live in the objects it owns: Keybinds,
// Diagnostics, the take (RecordingSession), the audio engine, the camera
// assignments, the encoder capabilities and the timeline export with its
// Resolve script installer.
//
// Ownership and tear-down: the take is built last and destroyed first, so a
// take still running at exit is stopped (files closed, timelines exported)
// while the cameras, the audio engine and the exporter it calls still exist;
// then the cameras stop, then the audio engine closes the monitoring output
// and its captures.
//
// Threads: every member is used on the GUI thread (the components' own
// threads are described in their headers). runInitialization() starts
// one worker thread that lists the cameras through the installed
// CameraLister, touches no member, and hands its result back to the GUI thread
// by a queued call. The manager owns that thread and joins it before it goes
// away (and before a second scan starts), so the worker never posts to a
// destroyed manager. The lister is copied on the GUI thread before the worker
// starts, so setCameraLister() needs no lock as long as it is called from the
// GUI thread.
class ApplicationManager : public QObject
{
    Q_OBJECT

    // Take state (recording session component)
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isArming READ isArming NOTIFY armingStateChanged)
    Q_PROPERTY(int countdownSeconds READ countdownSeconds NOTIFY countdownSecondsChanged)
    Q_PROPERTY(QString timecode READ timecode NOTIFY timecodeChanged)
    Q_PROPERTY(QString activeSessionName READ activeSessionName WRITE setActiveSessionName NOTIFY activeSessionNameChanged)
    Q_PROPERTY(QVariantList audioInputDevices READ audioInputDevices NOTIFY audioInputDevicesChanged)
    Q_PROPERTY(QString masterAudioDevice READ masterAudioDevice WRITE setMasterAudioDevice NOTIFY masterAudioDeviceChanged)
    Q_PROPERTY(int activeSourceId READ activeSourceId WRITE setActiveSourceId NOTIFY activeSourceChanged)
    Q_PROPERTY(QVariantList encoderCapabilities READ encoderCapabilities NOTIFY encoderCapabilitiesChanged)
    Q_PROPERTY(QString splashStatusText READ splashStatusText NOTIFY splashStatusTextChanged)
    Q_PROPERTY(QString recordingPath READ recordingPath WRITE setRecordingPath NOTIFY recordingPathChanged)
    Q_PROPERTY(QString hardwareGpuInfo READ hardwareGpuInfo NOTIFY hardwareInfoChanged)
    Q_PROPERTY(QString hardwareCpuInfo READ hardwareCpuInfo NOTIFY hardwareInfoChanged)
    Q_PROPERTY(QString hardwareSummary READ hardwareSummary NOTIFY hardwareInfoChanged)
    Q_PROPERTY(QVariantList audioOutputDevices READ audioOutputDevices NOTIFY audioOutputDevicesChanged)
    Q_PROPERTY(QString masterAudioOutputDevice READ masterAudioOutputDevice WRITE setMasterAudioOutputDevice NOTIFY masterAudioOutputDeviceChanged)
    Q_PROPERTY(float masterAudioLevel READ masterAudioLevel NOTIFY masterAudioLevelChanged)
    Q_PROPERTY(float masterAudioLevelRight READ masterAudioLevelRight NOTIFY masterAudioLevelChanged)
    Q_PROPERTY(bool liveMonitoringEnabled READ liveMonitoringEnabled WRITE setLiveMonitoringEnabled NOTIFY liveMonitoringEnabledChanged)
    Q_PROPERTY(bool separateAudioRecordingEnabled READ separateAudioRecordingEnabled WRITE setSeparateAudioRecordingEnabled NOTIFY separateAudioRecordingEnabledChanged)
    Q_PROPERTY(double currentFps READ currentFps NOTIFY performanceMetricsChanged)
    Q_PROPERTY(int droppedFrames READ droppedFrames NOTIFY performanceMetricsChanged)
    Q_PROPERTY(double diskWriteSpeedMBs READ diskWriteSpeedMBs NOTIFY performanceMetricsChanged)
    Q_PROPERTY(QString perfLogFilePath READ perfLogFilePath NOTIFY perfLogFilePathChanged)
    Q_PROPERTY(int recordingResolutionIndex READ recordingResolutionIndex WRITE setRecordingResolutionIndex NOTIFY recordingResolutionIndexChanged)
    Q_PROPERTY(int recordingFramerateIndex READ recordingFramerateIndex WRITE setRecordingFramerateIndex NOTIFY recordingFramerateIndexChanged)
    Q_PROPERTY(int recordingQualityIndex READ recordingQualityIndex WRITE setRecordingQualityIndex NOTIFY recordingQualityIndexChanged)
    Q_PROPERTY(int recordingEncoderIndex READ recordingEncoderIndex WRITE setRecordingEncoderIndex NOTIFY recordingEncoderIndexChanged)
    // Container of the camera files: 0 MP4, 1 MKV, 2 MOV, 3 TS, 4 AVI (the
    // entries of the settings window's container list).
    Q_PROPERTY(int recordingFormatIndex READ recordingFormatIndex WRITE setRecordingFormatIndex NOTIFY recordingFormatIndexChanged)
    Q_PROPERTY(QString activeResolutionName READ activeResolutionName NOTIFY recordingResolutionIndexChanged)
    Q_PROPERTY(double selectedGlobalFps READ selectedGlobalFps NOTIFY recordingFramerateIndexChanged)
    Q_PROPERTY(bool advancedQualityEnabled READ advancedQualityEnabled WRITE setAdvancedQualityEnabled NOTIFY advancedQualityEnabledChanged)
    Q_PROPERTY(QString rateControlMode READ rateControlMode WRITE setRateControlMode NOTIFY rateControlModeChanged)
    Q_PROPERTY(int targetBitrateKbps READ targetBitrateKbps WRITE setTargetBitrateKbps NOTIFY targetBitrateKbpsChanged)
    Q_PROPERTY(int cqpLevel READ cqpLevel WRITE setCqpLevel NOTIFY cqpLevelChanged)
    Q_PROPERTY(int maxBitrateKbps READ maxBitrateKbps WRITE setMaxBitrateKbps NOTIFY maxBitrateKbpsChanged)
    Q_PROPERTY(int keyframeInterval READ keyframeInterval WRITE setKeyframeInterval NOTIFY keyframeIntervalChanged)
    Q_PROPERTY(int bFrames READ bFrames WRITE setBFrames NOTIFY bFramesChanged)
    Q_PROPERTY(QString encoderProfile READ encoderProfile WRITE setEncoderProfile NOTIFY encoderProfileChanged)
    Q_PROPERTY(bool lookaheadEnabled READ lookaheadEnabled WRITE setLookaheadEnabled NOTIFY lookaheadEnabledChanged)
    Q_PROPERTY(QString colorSpace READ colorSpace WRITE setColorSpace NOTIFY colorSpaceChanged)
    Q_PROPERTY(QString colorRange READ colorRange WRITE setColorRange NOTIFY colorRangeChanged)
    Q_PROPERTY(bool isBenchmarking READ isBenchmarking NOTIFY benchmarkStateChanged)
    Q_PROPERTY(QString benchmarkSummary READ benchmarkSummary NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedResolutionIndex READ recommendedResolutionIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedFramerateIndex READ recommendedFramerateIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedEncoderIndex READ recommendedEncoderIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedQualityIndex READ recommendedQualityIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(bool isCapturingKeybind READ isCapturingKeybind WRITE setIsCapturingKeybind NOTIFY isCapturingKeybindChanged)
    Q_PROPERTY(QString currentLanguage READ currentLanguage WRITE setCurrentLanguage NOTIFY currentLanguageChanged)
    Q_PROPERTY(QString cpuUsage READ cpuUsage NOTIFY metricsChanged)
    Q_PROPERTY(QString ramUsage READ ramUsage NOTIFY metricsChanged)

public:
    // The process-wide instance, created on first access (after the
    // application object and SDL exist) and destroyed at process exit.
    static ApplicationManager &instance();

    // The worker's source of cameras. Default: the capture layer's listing
    // (V4L2 devices, then the virtual test cameras); tests install their own.
    static void setCameraLister(CameraLister lister);

    ~ApplicationManager() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // --- read accessors ---
    bool isRecording() const { return m_take->isRecording(); }
    bool isArming() const { return m_take->isArming(); }
    int countdownSeconds() const { return m_take->countdownSeconds(); }
    QString timecode() const { return m_take->timecode(); }
    QString activeSessionName() const { return m_activeSessionName; }
    QVariantList audioInputDevices() const { return m_audio.audioInputDevices(); }
    QString masterAudioDevice() const { return m_audio.masterAudioDevice(); }
    int activeSourceId() const { return m_activeSourceId; }
    QVariantList encoderCapabilities() const { return m_hardware.encoderCapabilities(); }
    QString splashStatusText() const { return m_splashStatusText; }
    QString recordingPath() const { return m_recordingPath; }
    QString hardwareGpuInfo() const { return m_hardware.hardwareGpuInfo(); }
    QString hardwareCpuInfo() const { return m_hardware.hardwareCpuInfo(); }
    QString hardwareSummary() const { return m_hardware.hardwareSummary(); }
    QVariantList audioOutputDevices() const { return m_audio.audioOutputDevices(); }
    QString masterAudioOutputDevice() const { return m_audio.masterAudioOutputDevice(); }
    float masterAudioLevel() const { return m_audio.masterAudioLevel(); }
    float masterAudioLevelRight() const { return m_audio.masterAudioLevelRight(); }
    bool liveMonitoringEnabled() const { return m_audio.liveMonitoringEnabled(); }
    bool separateAudioRecordingEnabled() const { return m_audio.separateAudioRecordingEnabled(); }
    double currentFps() const { return m_take->currentFps(); }
    int droppedFrames() const { return m_take->droppedFrames(); }
    double diskWriteSpeedMBs() const { return m_take->diskWriteSpeedMBs(); }
    QString perfLogFilePath() const;
    int recordingResolutionIndex() const { return m_recordingResolutionIndex; }
    int recordingFramerateIndex() const { return m_recordingFramerateIndex; }
    int recordingQualityIndex() const { return m_recordingQualityIndex; }
    int recordingEncoderIndex() const { return m_recordingEncoderIndex; }
    int recordingFormatIndex() const { return m_recordingFormatIndex; }
    QString activeResolutionName() const;
    double selectedGlobalFps() const;
    bool advancedQualityEnabled() const { return m_advancedQualityEnabled; }
    QString rateControlMode() const { return m_rateControlMode; }
    int targetBitrateKbps() const { return m_targetBitrateKbps; }
    int cqpLevel() const { return m_cqpLevel; }
    int maxBitrateKbps() const { return m_maxBitrateKbps; }
    int keyframeInterval() const { return m_keyframeInterval; }
    int bFrames() const { return m_bFrames; }
    QString encoderProfile() const { return m_encoderProfile; }
    bool lookaheadEnabled() const { return m_lookaheadEnabled; }
    QString colorSpace() const { return m_colorSpace; }
    QString colorRange() const { return m_colorRange; }
    bool isBenchmarking() const { return m_hardware.isBenchmarking(); }
    QString benchmarkSummary() const { return m_hardware.benchmarkSummary(); }
    int recommendedResolutionIndex() const { return m_hardware.recommendedResolutionIndex(); }
    int recommendedFramerateIndex() const { return m_hardware.recommendedFramerateIndex(); }
    int recommendedEncoderIndex() const { return m_hardware.recommendedEncoderIndex(); }
    int recommendedQualityIndex() const { return m_hardware.recommendedQualityIndex(); }
    bool isCapturingKeybind() const { return m_isCapturingKeybind; }
    QString currentLanguage() const { return m_currentLanguage; }
    QString cpuUsage() const { return m_cpuUsage; }
    QString ramUsage() const { return m_ramUsage; }

    // --- setters (emit only on a real change) ---
    void setMasterAudioDevice(const QString &device);
    void setActiveSourceId(int sourceId);
    void setRecordingPath(const QString &path);
    void setMasterAudioOutputDevice(const QString &device);
    void setLiveMonitoringEnabled(bool enabled);
    void setSeparateAudioRecordingEnabled(bool enabled);
    void setRecordingResolutionIndex(int index);
    void setRecordingFramerateIndex(int index);
    void setRecordingQualityIndex(int index);
    void setRecordingEncoderIndex(int index);
    void setRecordingFormatIndex(int index);
    void setAdvancedQualityEnabled(bool enabled);
    void setRateControlMode(const QString &mode);
    void setTargetBitrateKbps(int kbps);
    void setCqpLevel(int level);
    void setMaxBitrateKbps(int kbps);
    void setKeyframeInterval(int seconds);
    void setBFrames(int frames);
    void setEncoderProfile(const QString &profile);
    void setLookaheadEnabled(bool enabled);
    void setColorSpace(const QString &space);
    void setColorRange(const QString &range);
    void setIsCapturingKeybind(bool capturing);
    void setCurrentLanguage(const QString &language);

    // --- operations outside the QML surface ---
    // Guarded, non-owning link to the channel model; reads as null once the
    // model is destroyed.
    void setChannelsModel(InputChannelsModel *model);
    InputChannelsModel *channelsModel() const { return m_channelsModel.data(); }
    // Shared reference to a channel's camera, empty without one. Readers hold
    // it for the length of one read so a replaced source outlives them.
    std::shared_ptr<ISource> cameraSourceForChannel(int channelId) const;

    // Scan results of the initialization worker.
    QVariantList cameraListCache() const { return m_cameras.getAvailableCameras(); }
    QVariantMap cameraFormatsCache() const { return m_cameraFormatsCache; }
    // The cut list of the current (or last) take.
    QList<CutEntry> cutList() const { return m_take->cutList(); }

    // Fixed output format of every take.
    double sequenceFps() const { return m_sequenceFps; }
    int sequenceWidth() const { return m_sequenceWidth; }
    int sequenceHeight() const { return m_sequenceHeight; }

    const Keybinds &keybinds() const { return m_keybinds; }
    Diagnostics &diagnostics() { return m_diagnostics; }
    // The owned components, for the program's other parts and for tests.
    RecordingSession &take() { return *m_take; }
    AudioEngine &audioEngine() { return m_audio; }
    CameraAssignments &cameraAssignments() { return m_cameras; }
    HardwareCapabilities &hardware() { return m_hardware; }
    ResolveScriptInstaller &resolveScriptInstaller() { return m_resolveScript; }

    // --- invokables ---
    // Hotkeys
    Q_INVOKABLE void setSourceKey(int sourceIndex, int key);
    Q_INVOKABLE int getSourceKey(int sourceIndex) const;
    Q_INVOKABLE QString getSourceKeyName(int sourceIndex) const;
    Q_INVOKABLE QString keyToString(int key) const;

    // Device inventory (camera assignment component)
    Q_INVOKABLE void saveDevicesInfoFile();
    // The inventory document from a fresh listing of the cameras, so one
    // plugged in after start-up is there too (the file and the remote's list).
    QByteArray devicesInfoDocument() const;

    // Hardware benchmark (encoder capabilities component)
    Q_INVOKABLE void runHardwareBenchmark();
    Q_INVOKABLE void applyRecommendedSettings();

    // Diagnostics
    Q_INVOKABLE void openLogFile();
    Q_INVOKABLE void clearLogFile();
    Q_INVOKABLE QStringList getRecentLogs() const;
    Q_INVOKABLE QString manualFilePath(const QString &lang) const;
    Q_INVOKABLE QString manualFilePath() const;
    Q_INVOKABLE void openManualFile(const QString &lang);
    Q_INVOKABLE void openManualFile();
    Q_INVOKABLE QString getManualContent(const QString &lang) const;
    Q_INVOKABLE QString getManualContent() const;

    // Take (recording session component)
    Q_INVOKABLE void armRecording();
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void stopRecording();
    Q_INVOKABLE void cancelArming();
    Q_INVOKABLE void generateTimeline();

    // Audio devices (audio engine component)
    Q_INVOKABLE void refreshAudioInputDevices();
    Q_INVOKABLE void refreshAudioOutputDevices();

    Q_INVOKABLE void setActiveSessionName(const QString &name);

    // Encoder capabilities component
    Q_INVOKABLE void refreshEncoderCapabilities();

    // Mixer strips (audio engine component)
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
    Q_INVOKABLE QString getChannelAudioInput(int channelId) const;
    Q_INVOKABLE void setChannelSeparateAudioEnabled(int channelId, bool enabled);
    Q_INVOKABLE bool isChannelSeparateAudioEnabled(int channelId) const;

    // Camera audio links (camera assignment component)
    Q_INVOKABLE void setChannelCameraLink(int channelId, int cameraId);
    Q_INVOKABLE int getChannelCameraLink(int channelId) const;

    Q_INVOKABLE void runInitialization();

    // Cameras (camera assignment component)
    Q_INVOKABLE QVariantList getAvailableCameras() const;
    Q_INVOKABLE QVariantList getCameraFormats(const QString &deviceLink) const;
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                         float framerate, const QString &colorRange);
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                         float framerate);
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &deviceLink, int width, int height);
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &deviceLink, int width);
    Q_INVOKABLE void setCameraForChannel(int channelId, const QString &deviceLink);

    // DaVinci Resolve script (timeline export component)
    Q_INVOKABLE bool installDaVinciIntegration();
    Q_INVOKABLE bool verifyAndInstallDaVinciScript();

    // Camera assignment component
    Q_INVOKABLE void removeCameraFromChannel(int channelId);
    Q_INVOKABLE QString getCameraLinkForChannel(int channelId) const;
    Q_INVOKABLE QString getCameraNameForChannel(int channelId) const;
    Q_INVOKABLE int getCameraWidthForChannel(int channelId) const;
    Q_INVOKABLE int getCameraHeightForChannel(int channelId) const;
    Q_INVOKABLE float getCameraFramerateForChannel(int channelId) const;
    Q_INVOKABLE QString getCameraColorRangeForChannel(int channelId) const;
    Q_INVOKABLE bool isCameraRunningForChannel(int channelId) const;
    // Puts back a camera choice without opening it (the source dialog's cancel).
    Q_INVOKABLE void restoreStaleCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                                  float framerate, const QString &colorRange);

    // Audio engine component
    Q_INVOKABLE void setAudioInputForChannel(int channelId, const QString &deviceName);

signals:
    void isRecordingChanged();
    void armingStateChanged();
    void countdownSecondsChanged();
    void timecodeChanged();
    void activeSessionNameChanged();
    void recordingPathChanged();
    void daVinciScriptInstalled(bool isAutoRepair);
    void audioInputDevicesChanged();
    void masterAudioDeviceChanged();
    void activeSourceChanged();
    void encoderCapabilitiesChanged();
    void hardwareInfoChanged();
    void splashStatusTextChanged();
    void metricsChanged();
    void audioOutputDevicesChanged();
    void masterAudioOutputDeviceChanged();
    void masterAudioLevelChanged();
    void liveMonitoringEnabledChanged();
    void separateAudioRecordingEnabledChanged();
    void channelAudioLevelChanged(int channelId, float levelLeft, float levelRight);
    void keybindsChanged();
    void isCapturingKeybindChanged();
    void performanceMetricsChanged();
    void recordingResolutionIndexChanged();
    void recordingFramerateIndexChanged();
    void recordingQualityIndexChanged();
    void recordingEncoderIndexChanged();
    void recordingFormatIndexChanged();
    void benchmarkStateChanged();
    void perfLogFilePathChanged();
    // A take could not start; the text says why, for the operator.
    void recordingNotice(const QString &message);
    void currentLanguageChanged();
    void advancedQualityEnabledChanged();
    void rateControlModeChanged();
    void targetBitrateKbpsChanged();
    void cqpLevelChanged();
    void maxBitrateKbpsChanged();
    void keyframeIntervalChanged();
    void bFramesChanged();
    void encoderProfileChanged();
    void lookaheadEnabledChanged();
    void colorSpaceChanged();
    void colorRangeChanged();

public slots:
    void updateTimecode();
    void updateMetrics();
    void updateAudioLevel();
    void onCountdownTimeout();
    void triggerRecordingStart();

private slots:
    // The start-up camera scan's result, on the GUI thread.
    void completeInitialization();

private:
    ApplicationManager();
    Q_DISABLE_COPY_MOVE(ApplicationManager)

    // The one way the active source changes: the property setter and the
    // hotkey filter both come here. Returns false when nothing changed.
    bool selectSource(int sourceId);
    void setSplashStatusText(const QString &text);
    void joinCameraScan();
    void connectComponents();
    TakeCollaborators takeCollaborators();
    TakeParameters takeParameters() const;
    TimelineExportInput withCameraLinks(TimelineExportInput input) const;
    void applyQualityPreset(int index);

    QString m_activeSessionName;
    int m_activeSourceId = 1;
    QString m_recordingPath;

    // Recording settings
    int m_recordingResolutionIndex = 2;
    int m_recordingFramerateIndex = 4;
    int m_recordingQualityIndex = 2;
    int m_recordingEncoderIndex = 0;
    int m_recordingFormatIndex = 0;
    bool m_advancedQualityEnabled = false;
    QString m_rateControlMode = QStringLiteral("CBR");
    int m_targetBitrateKbps = 16000;
    int m_cqpLevel = 20;
    int m_maxBitrateKbps = 24000;
    int m_keyframeInterval = 2;
    int m_bFrames = 2;
    QString m_encoderProfile = QStringLiteral("High");
    bool m_lookaheadEnabled = false;
    QString m_colorSpace = QStringLiteral("Rec.709");
    QString m_colorRange = QStringLiteral("Limited (16-235)");
    // what the Lossless preset replaced, while it is the last preset chosen
    std::optional<QString> m_rateControlBeforeLossless;
    int m_cqpLevelBeforeLossless = 20;
    const double m_sequenceFps = RecordingSession::kSequenceFps;
    const int m_sequenceWidth = RecordingSession::kSequenceWidth;
    const int m_sequenceHeight = RecordingSession::kSequenceHeight;

    // Formats of the start-up scan by device link (the assignments answer
    // per link; this keeps the whole map for cameraFormatsCache()).
    QVariantMap m_cameraFormatsCache;

    // Diagnostics and hotkeys
    Diagnostics m_diagnostics;
    Keybinds m_keybinds;
    bool m_isCapturingKeybind = false;
    QString m_cpuUsage = QStringLiteral("CPU: 0%");
    QString m_ramUsage = QStringLiteral("RAM: 0 MB");

    QString m_splashStatusText = QStringLiteral("Initializing...");
    QString m_currentLanguage = QStringLiteral("EN");
    QPointer<InputChannelsModel> m_channelsModel;

    QTimer m_metricsTimer;
    QTimer m_audioLevelTimer;

    // Components, in construction order; destroyed in reverse (see above).
    HardwareCapabilities m_hardware;
    TimelineExporter m_timelineExporter;
    ResolveScriptInstaller m_resolveScript{this};
    AudioEngine m_audio;
    CameraAssignments m_cameras;
    std::unique_ptr<RecordingSession> m_take;

    // The start-up camera scan (see runInitialization()); joined on destruction.
    std::thread m_cameraScanWorker;
    WorkerResult<CameraScanResult> m_cameraScan;
};
