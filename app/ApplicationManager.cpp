#include "app/ApplicationManager.h"

#include "app/InputChannelsModel.h"
#include "app/QualityPreset.h"
#include "app/cameras/CameraScanLister.h"
#include "capture/CameraCapture.h"
#include "capture/ISource.h"
#include "platform/StandardLocations.h"

#include <QCoreApplication>
#include <QDate>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

const QString kSettingsOrganization = QStringLiteral("Korvex");
const QString kSettingsApplication = QStringLiteral("Korvex");
const QString kLanguageKey = QStringLiteral("UI/Language");

template <typename T>
bool storeIfChanged(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

// selectedGlobalFps by recordingFramerateIndex.
constexpr double kGlobalFramerates[] = {60.0, 59.94, 50.0, 30.0, 29.97, 25.0, 24.0, 23.976};

// The recordingFramerateIndex whose rate is fps; 3 (30.0) for a rate not listed.
int globalFramerateIndex(double fps)
{
    for (size_t i = 0; i < std::size(kGlobalFramerates); ++i) {
        if (std::abs(kGlobalFramerates[i] - fps) < 0.001)
            return int(i);
    }
    return 3;
}

bool isChannelId(int channelId)
{
    return channelId >= 1 && channelId <= 4;
}

CameraLister &installedCameraLister()
{
    static CameraLister lister = listCamerasForScan;
    return lister;
}

QStringList toStringList(const QVariantList &values)
{
    QStringList strings;
    strings.reserve(values.size());
    for (const QVariant &v : values)
        strings.append(v.toString());
    return strings;
}

} // namespace

ApplicationManager &ApplicationManager::instance()
{
    static ApplicationManager manager;
    return manager;
}

void ApplicationManager::setCameraLister(CameraLister lister)
{
    installedCameraLister() = std::move(lister);
}

ApplicationManager::ApplicationManager()
    : QObject(nullptr)
    , m_recordingPath(StandardLocations::defaultRecordingPath())
{
    // Built after every component it calls, so it is destroyed before them.
    m_take = std::make_unique<RecordingSession>(takeCollaborators());
    m_take->setPerfLogFilePath(perfLogFilePath());
    connectComponents();

    {
        QSettings settings(kSettingsOrganization, kSettingsApplication);
        m_currentLanguage = settings.value(kLanguageKey, QStringLiteral("EN")).toString();
    }

    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);

    QTimer::singleShot(2000, this, [this] { verifyAndInstallDaVinciScript(); });

    connect(&m_audioLevelTimer, &QTimer::timeout, this, &ApplicationManager::updateAudioLevel);
    m_audioLevelTimer.start(25);

    connect(&m_metricsTimer, &QTimer::timeout, this, &ApplicationManager::updateMetrics);
    m_metricsTimer.start(2000);

    m_activeSessionName = QStringLiteral("Session_") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));

    // Both device lists, then the master input "Default system input".
    m_audio.initialize();
    refreshEncoderCapabilities();
}

ApplicationManager::~ApplicationManager()
{
    // The scan worker may still be listing cameras; its queued result is
    // dropped with this object, but the thread itself must end first.
    joinCameraScan();
    // A take still running at exit is stopped like the operator would, so its
    // files and timelines are completed while every component still exists.
    m_take.reset();
}

void ApplicationManager::connectComponents()
{
    RecordingSession *take = m_take.get();
    connect(take, &RecordingSession::isRecordingChanged, this, &ApplicationManager::isRecordingChanged);
    connect(take, &RecordingSession::armingStateChanged, this, &ApplicationManager::armingStateChanged);
    connect(take, &RecordingSession::countdownSecondsChanged, this, &ApplicationManager::countdownSecondsChanged);
    connect(take, &RecordingSession::timecodeChanged, this, &ApplicationManager::timecodeChanged);
    connect(take, &RecordingSession::performanceMetricsChanged, this,
            &ApplicationManager::performanceMetricsChanged);
    connect(take, &RecordingSession::recordingNotice, this, &ApplicationManager::recordingNotice);

    connect(&m_hardware, &HardwareCapabilities::encoderCapabilitiesChanged, this,
            &ApplicationManager::encoderCapabilitiesChanged);
    connect(&m_hardware, &HardwareCapabilities::hardwareInfoChanged, this, &ApplicationManager::hardwareInfoChanged);
    connect(&m_hardware, &HardwareCapabilities::benchmarkStateChanged, this,
            &ApplicationManager::benchmarkStateChanged);

    connect(&m_resolveScript, &ResolveScriptInstaller::daVinciScriptInstalled, this,
            &ApplicationManager::daVinciScriptInstalled);

    connect(&m_audio, &AudioEngine::audioInputDevicesChanged, this, &ApplicationManager::audioInputDevicesChanged);
    connect(&m_audio, &AudioEngine::audioOutputDevicesChanged, this, &ApplicationManager::audioOutputDevicesChanged);
    connect(&m_audio, &AudioEngine::masterAudioDeviceChanged, this, &ApplicationManager::masterAudioDeviceChanged);
    connect(&m_audio, &AudioEngine::masterAudioOutputDeviceChanged, this,
            &ApplicationManager::masterAudioOutputDeviceChanged);
    connect(&m_audio, &AudioEngine::liveMonitoringEnabledChanged, this,
            &ApplicationManager::liveMonitoringEnabledChanged);
    connect(&m_audio, &AudioEngine::masterAudioLevelChanged, this, &ApplicationManager::masterAudioLevelChanged);
    connect(&m_audio, &AudioEngine::separateAudioRecordingEnabledChanged, this,
            &ApplicationManager::separateAudioRecordingEnabledChanged);
    connect(&m_audio, &AudioEngine::channelAudioLevelChanged, this, &ApplicationManager::channelAudioLevelChanged);
    connect(&m_audio, &AudioEngine::channelAudioActiveChanged, this, [this](int channelId, bool hasAudio) {
        if (m_channelsModel)
            m_channelsModel->setHasActiveAudio(channelId, hasAudio);
    });

    connect(&m_cameras, &CameraAssignments::channelVideoChanged, this, [this](int channelId, bool hasVideo) {
        if (m_channelsModel)
            m_channelsModel->setHasActiveVideo(channelId, hasVideo);
    });
}

TakeParameters ApplicationManager::takeParameters() const
{
    TakeParameters p;
    p.recordingPath = m_recordingPath;
    p.activeSessionName = m_activeSessionName;
    p.activeSourceId = m_activeSourceId;
    RecordingQuality &q = p.quality;
    q.rateControlMode = m_rateControlMode;
    q.targetBitrateKbps = m_targetBitrateKbps;
    q.maxBitrateKbps = m_maxBitrateKbps;
    q.cqpLevel = m_cqpLevel;
    q.keyframeInterval = m_keyframeInterval;
    q.bFrames = m_bFrames;
    q.colorSpace = m_colorSpace;
    q.colorRange = m_colorRange;
    const EncoderOption option = m_hardware.option(m_recordingEncoderIndex);
    q.encoderName = option.encoderName;
    q.useHevc = option.hevc;
    q.hardwareDevice = option.device;
    bool fellBack = false;
    q.container = recordingContainerFor(m_recordingFormatIndex, &fellBack);
    if (fellBack)
        qWarning() << "[ApplicationManager] Recording format" << m_recordingFormatIndex
                   << "is not available; the cameras are recorded as MP4";
    return p;
}

TimelineExportInput ApplicationManager::withCameraLinks(TimelineExportInput input) const
{
    for (int channelId = 1; channelId <= 4; ++channelId)
        input.channelCameraLinks.insert(channelId, m_cameras.getChannelCameraLink(channelId));
    return input;
}

TakeCollaborators ApplicationManager::takeCollaborators()
{
    TakeCollaborators c;
    c.parameters = [this] { return takeParameters(); };
    c.liveCamera = [this](int channelId) -> std::shared_ptr<ISource> {
        if (!m_cameras.isCameraRunningForChannel(channelId))
            return nullptr;
        return m_cameras.cameraSourceForChannel(channelId);
    };
    c.speedPreset = [this](int channels, int width, int height) {
        return m_hardware.speedPresetFor(m_recordingEncoderIndex, channels, width, height);
    };
    c.startAudio = [this](const QString &takeFolder) {
        const AudioTakeFiles files = m_audio.startWriting(takeFolder);
        return TakeAudioFiles{files.masterPath, files.masterOpened, files.channelPaths};
    };
    c.stopAudio = [this] {
        const AudioTakeFiles files = m_audio.stopWriting();
        return TakeAudioFiles{files.masterPath, files.masterOpened, files.channelPaths};
    };
    c.audioBytesWritten = [this] { return m_audio.takeBytesWritten(); };
    c.setChannelRecording = [this](int channelId, bool recording) {
        if (m_channelsModel)
            m_channelsModel->setChannelRecording(channelId, recording);
    };
    c.exportTake = [this](const TimelineExportInput &input) {
        m_timelineExporter.exportTake(withCameraLinks(input));
    };
    return c;
}

// ---------------------------------------------------------------- hotkeys

bool ApplicationManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    QObject *focus = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::focusObject()
                                                                                     : nullptr;
    const int source = m_keybinds.sourceForEvent(event, focus, m_isCapturingKeybind);
    if (source == 0)
        return QObject::eventFilter(watched, event);
    selectSource(source);
    return true;
}

void ApplicationManager::setSourceKey(int sourceIndex, int key)
{
    if (!m_keybinds.setSourceKey(sourceIndex, key))
        return;
    emit keybindsChanged();
    qDebug() << "[ApplicationManager] Keybind set for CAM" << sourceIndex + 1 << "->" << Keybinds::keyToString(key);
}

int ApplicationManager::getSourceKey(int sourceIndex) const
{
    return m_keybinds.sourceKey(sourceIndex);
}

QString ApplicationManager::getSourceKeyName(int sourceIndex) const
{
    return m_keybinds.sourceKeyName(sourceIndex);
}

QString ApplicationManager::keyToString(int key) const
{
    return Keybinds::keyToString(key);
}

bool ApplicationManager::selectSource(int sourceId)
{
    if (!isChannelId(sourceId) || sourceId == m_activeSourceId)
        return false;
    m_activeSourceId = sourceId;
    emit activeSourceChanged();
    m_take->onActiveSourceChanged(sourceId);
    return true;
}

void ApplicationManager::setActiveSourceId(int sourceId)
{
    selectSource(sourceId);
}

// ---------------------------------------------------------------- plain setters

void ApplicationManager::setActiveSessionName(const QString &name)
{
    if (storeIfChanged(m_activeSessionName, name))
        emit activeSessionNameChanged();
}

void ApplicationManager::setRecordingPath(const QString &path)
{
    if (storeIfChanged(m_recordingPath, path))
        emit recordingPathChanged();
}

void ApplicationManager::setRecordingResolutionIndex(int index)
{
    if (storeIfChanged(m_recordingResolutionIndex, index))
        emit recordingResolutionIndexChanged();
}

void ApplicationManager::setRecordingFramerateIndex(int index)
{
    if (storeIfChanged(m_recordingFramerateIndex, index))
        emit recordingFramerateIndexChanged();
}

void ApplicationManager::setRecordingQualityIndex(int index)
{
    if (!storeIfChanged(m_recordingQualityIndex, index))
        return;
    emit recordingQualityIndexChanged();
    applyQualityPreset(index);
}

// A preset names bit rates, so choosing one sets them (and, during a take,
// hands the target to the running encoders). Lossless switches to CQP 0 and
// remembers what it replaced; a later bit-rate preset puts that back unless
// the operator has changed the mode or level since.
void ApplicationManager::applyQualityPreset(int index)
{
    const std::optional<QualityPreset> preset = qualityPresetFor(index);
    if (!preset)
        return;
    if (preset->lossless) {
        if (!m_rateControlBeforeLossless) {
            m_rateControlBeforeLossless = m_rateControlMode;
            m_cqpLevelBeforeLossless = m_cqpLevel;
        }
        setRateControlMode(QStringLiteral("CQP"));
        setCqpLevel(0);
        return;
    }
    setTargetBitrateKbps(preset->targetBitrateKbps);
    setMaxBitrateKbps(preset->maxBitrateKbps);
    if (m_rateControlBeforeLossless) {
        if (m_rateControlMode == QLatin1String("CQP") && m_cqpLevel == 0) {
            setRateControlMode(*m_rateControlBeforeLossless);
            setCqpLevel(m_cqpLevelBeforeLossless);
        }
        m_rateControlBeforeLossless.reset();
    }
}

void ApplicationManager::setRecordingEncoderIndex(int index)
{
    if (storeIfChanged(m_recordingEncoderIndex, index))
        emit recordingEncoderIndexChanged();
}

void ApplicationManager::setRecordingFormatIndex(int index)
{
    if (storeIfChanged(m_recordingFormatIndex, index))
        emit recordingFormatIndexChanged();
}

void ApplicationManager::setAdvancedQualityEnabled(bool enabled)
{
    if (storeIfChanged(m_advancedQualityEnabled, enabled))
        emit advancedQualityEnabledChanged();
}

void ApplicationManager::setRateControlMode(const QString &mode)
{
    if (storeIfChanged(m_rateControlMode, mode))
        emit rateControlModeChanged();
}

void ApplicationManager::setTargetBitrateKbps(int kbps)
{
    // a bit rate of 0 would reach the running encoders as "no bits"
    if (kbps <= 0) {
        qWarning() << "[ApplicationManager] Target bit rate refused:" << kbps << "kbps";
        return;
    }
    if (!storeIfChanged(m_targetBitrateKbps, kbps))
        return;
    emit targetBitrateKbpsChanged();
    m_take->setBitrate(kbps);
}

void ApplicationManager::setCqpLevel(int level)
{
    if (storeIfChanged(m_cqpLevel, level))
        emit cqpLevelChanged();
}

void ApplicationManager::setMaxBitrateKbps(int kbps)
{
    if (kbps <= 0) {
        qWarning() << "[ApplicationManager] Max bit rate refused:" << kbps << "kbps";
        return;
    }
    if (storeIfChanged(m_maxBitrateKbps, kbps))
        emit maxBitrateKbpsChanged();
}

void ApplicationManager::setKeyframeInterval(int seconds)
{
    if (storeIfChanged(m_keyframeInterval, seconds))
        emit keyframeIntervalChanged();
}

void ApplicationManager::setBFrames(int frames)
{
    if (storeIfChanged(m_bFrames, frames))
        emit bFramesChanged();
}

void ApplicationManager::setEncoderProfile(const QString &profile)
{
    if (storeIfChanged(m_encoderProfile, profile))
        emit encoderProfileChanged();
}

void ApplicationManager::setLookaheadEnabled(bool enabled)
{
    if (storeIfChanged(m_lookaheadEnabled, enabled))
        emit lookaheadEnabledChanged();
}

void ApplicationManager::setColorSpace(const QString &space)
{
    if (storeIfChanged(m_colorSpace, space))
        emit colorSpaceChanged();
}

void ApplicationManager::setColorRange(const QString &range)
{
    if (storeIfChanged(m_colorRange, range))
        emit colorRangeChanged();
}

void ApplicationManager::setIsCapturingKeybind(bool capturing)
{
    if (storeIfChanged(m_isCapturingKeybind, capturing))
        emit isCapturingKeybindChanged();
}

void ApplicationManager::setCurrentLanguage(const QString &language)
{
    if (m_currentLanguage == language)
        return;
    m_currentLanguage = language;
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue(kLanguageKey, language);
    emit currentLanguageChanged();
}

// ---------------------------------------------------------------- derived values

QString ApplicationManager::activeResolutionName() const
{
    switch (m_recordingResolutionIndex) {
    case 0: return QStringLiteral("3840x2160 (4K UHD)");
    case 1: return QStringLiteral("2560x1440 (2K QHD)");
    case 3: return QStringLiteral("1280x720 (720p HD)");
    case 4: return QStringLiteral("640x480 (SD)");
    default: return QStringLiteral("1920x1080 (1080p FHD)");
    }
}

double ApplicationManager::selectedGlobalFps() const
{
    if (m_recordingFramerateIndex < 0 || m_recordingFramerateIndex >= static_cast<int>(std::size(kGlobalFramerates)))
        return 30.0;
    return kGlobalFramerates[m_recordingFramerateIndex];
}

// ---------------------------------------------------------------- initialization

void ApplicationManager::setSplashStatusText(const QString &text)
{
    if (storeIfChanged(m_splashStatusText, text))
        emit splashStatusTextChanged();
}

namespace {

std::vector<CameraScanDevice> listCameras(const CameraLister &lister)
{
    if (!lister)
        return {};
    // A lister that throws must not take the process down: the splash still
    // reaches "DONE" with no cameras.
    try {
        return lister();
    } catch (...) {
        qWarning() << "[ApplicationManager] Camera scan failed; continuing without cameras";
        return {};
    }
}

} // namespace

void ApplicationManager::runInitialization()
{
    setSplashStatusText(QStringLiteral("Scanning for devices..."));
    joinCameraScan();
    CameraLister lister = installedCameraLister();
    m_cameraScanWorker = std::thread([this, lister = std::move(lister)] {
        // The device list shares its strings with the result; it is gone
        // before the result is handed over, so the GUI thread holds the last
        // references and this thread touches none of them afterwards.
        CameraScanResult result = buildCameraScan(listCameras(lister));
        m_cameraScan.post(std::move(result), this, "completeInitialization");
    });
}

void ApplicationManager::joinCameraScan()
{
    if (m_cameraScanWorker.joinable())
        m_cameraScanWorker.join();
}

void ApplicationManager::completeInitialization()
{
    const std::optional<CameraScanResult> scanned = m_cameraScan.take();
    if (!scanned)
        return;
    const CameraScanResult &result = *scanned;
    m_cameras.setScanResults(result.cameras, result.formats);
    m_cameraFormatsCache = result.formats;
    setSplashStatusText(QStringLiteral("DONE"));
}

void ApplicationManager::setChannelsModel(InputChannelsModel *model)
{
    m_channelsModel = model;
}

std::shared_ptr<ISource> ApplicationManager::cameraSourceForChannel(int channelId) const
{
    return m_cameras.cameraSourceForChannel(channelId);
}

// ---------------------------------------------------------------- diagnostics

QString ApplicationManager::perfLogFilePath() const
{
    return m_diagnostics.perfLogFilePath();
}

void ApplicationManager::updateMetrics()
{
    m_diagnostics.sampleMetrics(m_cpuUsage, m_ramUsage);
    emit metricsChanged();
}

void ApplicationManager::openLogFile() { m_diagnostics.openLog(); }
void ApplicationManager::clearLogFile() { m_diagnostics.clearLog(); }
QStringList ApplicationManager::getRecentLogs() const { return m_diagnostics.recentLogs(); }
QString ApplicationManager::manualFilePath(const QString &lang) const { return m_diagnostics.manualFilePath(lang); }
QString ApplicationManager::manualFilePath() const { return m_diagnostics.manualFilePath(QString()); }
void ApplicationManager::openManualFile(const QString &lang) { m_diagnostics.openManual(lang); }
void ApplicationManager::openManualFile() { m_diagnostics.openManual(QString()); }
QString ApplicationManager::getManualContent(const QString &lang) const { return m_diagnostics.manualContent(lang); }
QString ApplicationManager::getManualContent() const { return m_diagnostics.manualContent(QString()); }

// ---------------------------------------------------------------- take

void ApplicationManager::armRecording() { m_take->armRecording(); }
void ApplicationManager::startRecording() { m_take->startRecording(); }
void ApplicationManager::stopRecording() { m_take->stopRecording(); }
void ApplicationManager::cancelArming() { m_take->cancelArming(); }
void ApplicationManager::updateTimecode() { m_take->updateTimecode(); }
void ApplicationManager::onCountdownTimeout() { m_take->onCountdownTimeout(); }
void ApplicationManager::triggerRecordingStart() { m_take->startRecording(); }

void ApplicationManager::generateTimeline()
{
    m_timelineExporter.exportTake(withCameraLinks(m_take->exportInput(10000)));
}

// ---------------------------------------------------------------- audio

void ApplicationManager::refreshAudioInputDevices() { m_audio.refreshAudioInputDevices(); }
void ApplicationManager::refreshAudioOutputDevices() { m_audio.refreshAudioOutputDevices(); }
void ApplicationManager::setMasterAudioDevice(const QString &device) { m_audio.setMasterAudioDevice(device); }
void ApplicationManager::setMasterAudioOutputDevice(const QString &device)
{
    m_audio.setMasterAudioOutputDevice(device);
}
void ApplicationManager::setLiveMonitoringEnabled(bool enabled) { m_audio.setLiveMonitoringEnabled(enabled); }
void ApplicationManager::setSeparateAudioRecordingEnabled(bool enabled)
{
    m_audio.setSeparateAudioRecordingEnabled(enabled);
}
void ApplicationManager::updateAudioLevel() { m_audio.updateAudioLevel(); }

void ApplicationManager::setChannelAudioVolume(int channelId, float volume)
{
    m_audio.setChannelAudioVolume(channelId, volume);
}
float ApplicationManager::getChannelAudioVolume(int channelId) const { return m_audio.getChannelAudioVolume(channelId); }
float ApplicationManager::getChannelAudioFader(int channelId) const { return m_audio.getChannelAudioFader(channelId); }
void ApplicationManager::setChannelAudioMute(int channelId, bool mute) { m_audio.setChannelAudioMute(channelId, mute); }
bool ApplicationManager::isChannelAudioMuted(int channelId) const { return m_audio.isChannelAudioMuted(channelId); }
void ApplicationManager::setChannelAudioSolo(int channelId, bool solo) { m_audio.setChannelAudioSolo(channelId, solo); }
bool ApplicationManager::isChannelAudioSolo(int channelId) const { return m_audio.isChannelAudioSolo(channelId); }
void ApplicationManager::setMasterAudioVolume(float volume) { m_audio.setMasterAudioVolume(volume); }
float ApplicationManager::masterAudioVolume() const { return m_audio.masterAudioVolume(); }
float ApplicationManager::masterAudioFader() const { return m_audio.masterAudioFader(); }
QString ApplicationManager::getChannelAudioInput(int channelId) const { return m_audio.getChannelAudioInput(channelId); }
void ApplicationManager::setChannelSeparateAudioEnabled(int channelId, bool enabled)
{
    m_audio.setChannelSeparateAudioEnabled(channelId, enabled);
}
bool ApplicationManager::isChannelSeparateAudioEnabled(int channelId) const
{
    return m_audio.isChannelSeparateAudioEnabled(channelId);
}
void ApplicationManager::setAudioInputForChannel(int channelId, const QString &deviceName)
{
    m_audio.setAudioInputForChannel(channelId, deviceName);
}

// ---------------------------------------------------------------- encoders

void ApplicationManager::refreshEncoderCapabilities() { m_hardware.refreshEncoderCapabilities(); }
void ApplicationManager::runHardwareBenchmark() { m_hardware.runHardwareBenchmark(); }

// The benchmark card has already moved its combos to the recommendation (the
// settings window's list order); the frame-rate index here is this object's
// own order, so selectedGlobalFps shows the recommended rate.
void ApplicationManager::applyRecommendedSettings()
{
    setRecordingResolutionIndex(m_hardware.recommendedResolutionIndex());
    setRecordingFramerateIndex(globalFramerateIndex(m_hardware.recommendedFramerate()));
}

// ---------------------------------------------------------------- DaVinci Resolve

bool ApplicationManager::installDaVinciIntegration() { return m_resolveScript.install(); }
bool ApplicationManager::verifyAndInstallDaVinciScript() { return m_resolveScript.verifyAndInstall(); }

// ---------------------------------------------------------------- cameras

QVariantList ApplicationManager::getAvailableCameras() const { return m_cameras.getAvailableCameras(); }
QVariantList ApplicationManager::getCameraFormats(const QString &deviceLink) const
{
    return m_cameras.getCameraFormats(deviceLink);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                             float framerate, const QString &colorRange)
{
    m_cameras.setCameraForChannel(channelId, deviceLink, width, height, framerate, colorRange);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                             float framerate)
{
    m_cameras.setCameraForChannel(channelId, deviceLink, width, height, framerate);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height)
{
    m_cameras.setCameraForChannel(channelId, deviceLink, width, height);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width)
{
    m_cameras.setCameraForChannel(channelId, deviceLink, width);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink)
{
    m_cameras.setCameraForChannel(channelId, deviceLink);
}

void ApplicationManager::removeCameraFromChannel(int channelId) { m_cameras.removeCameraFromChannel(channelId); }
QString ApplicationManager::getCameraLinkForChannel(int channelId) const
{
    return m_cameras.getCameraLinkForChannel(channelId);
}
QString ApplicationManager::getCameraNameForChannel(int channelId) const
{
    return m_cameras.getCameraNameForChannel(channelId);
}
int ApplicationManager::getCameraWidthForChannel(int channelId) const
{
    return m_cameras.getCameraWidthForChannel(channelId);
}
int ApplicationManager::getCameraHeightForChannel(int channelId) const
{
    return m_cameras.getCameraHeightForChannel(channelId);
}
float ApplicationManager::getCameraFramerateForChannel(int channelId) const
{
    return m_cameras.getCameraFramerateForChannel(channelId);
}
QString ApplicationManager::getCameraColorRangeForChannel(int channelId) const
{
    return m_cameras.getCameraColorRangeForChannel(channelId);
}
bool ApplicationManager::isCameraRunningForChannel(int channelId) const
{
    return m_cameras.isCameraRunningForChannel(channelId);
}
void ApplicationManager::restoreStaleCameraForChannel(int channelId, const QString &deviceLink, int width,
                                                      int height, float framerate, const QString &colorRange)
{
    m_cameras.restoreStaleCameraForChannel(channelId, deviceLink, width, height, framerate, colorRange);
}
void ApplicationManager::setChannelCameraLink(int channelId, int cameraId)
{
    m_cameras.setChannelCameraLink(channelId, cameraId);
}
int ApplicationManager::getChannelCameraLink(int channelId) const { return m_cameras.getChannelCameraLink(channelId); }

void ApplicationManager::saveDevicesInfoFile()
{
    m_cameras.saveDevicesInfoFile(toStringList(m_audio.audioInputDevices()));
}

QByteArray ApplicationManager::devicesInfoDocument() const
{
    return m_cameras.buildDevicesInfoDocument(toStringList(m_audio.audioInputDevices()));
}
