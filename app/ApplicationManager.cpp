#include "app/ApplicationManager.h"

#include "app/InputChannelsModel.h"
#include "capture/ISource.h"
#include "platform/StandardLocations.h"

#include <QCoreApplication>
#include <QDate>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QSettings>

#include <SDL.h>

#include <chrono>
#include <thread>

namespace {

const QString kSettingsOrganization = QStringLiteral("Korvex");
const QString kSettingsApplication = QStringLiteral("Korvex");
const QString kLanguageKey = QStringLiteral("UI/Language");
const QString kDefaultInput = QStringLiteral("Default system input");
const QString kDefaultOutput = QStringLiteral("Default system output");
constexpr float kDefaultFader = 0.8f;

template <typename T>
bool storeIfChanged(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

bool isChannelId(int channelId)
{
    return channelId >= 1 && channelId <= 4;
}

qint64 monotonicNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CameraLister &installedCameraLister()
{
    static CameraLister lister;
    return lister;
}

QVariantList sdlDeviceNames(const QString &first, bool capture)
{
    QVariantList names{first};
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0)
        return names;
    const int count = SDL_GetNumAudioDevices(capture ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        const char *name = SDL_GetAudioDeviceName(i, capture ? 1 : 0);
        if (name && *name)
            names.append(QString::fromUtf8(name));
    }
    return names;
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
    {
        QSettings settings(kSettingsOrganization, kSettingsApplication);
        m_currentLanguage = settings.value(kLanguageKey, QStringLiteral("EN")).toString();
    }

    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);

    connect(&m_timecodeTimer, &QTimer::timeout, this, &ApplicationManager::updateTimecode);
    m_timecodeTimer.setInterval(5);

    QTimer::singleShot(2000, this, [this] { verifyAndInstallDaVinciScript(); });

    connect(&m_audioLevelTimer, &QTimer::timeout, this, &ApplicationManager::updateAudioLevel);
    m_audioLevelTimer.start(25);

    connect(&m_metricsTimer, &QTimer::timeout, this, &ApplicationManager::updateMetrics);
    m_metricsTimer.start(2000);

    connect(&m_countdownTimer, &QTimer::timeout, this, &ApplicationManager::onCountdownTimeout);
    m_countdownTimer.setInterval(1000);

    m_activeSessionName = QStringLiteral("Session_") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));

    refreshAudioInputDevices();
    refreshAudioOutputDevices();
    refreshEncoderCapabilities();

    // Clear the stored name first so the setter's change path (opening the
    // master input) runs once for the default device.
    const QString masterDevice = m_masterAudioDevice;
    m_masterAudioDevice.clear();
    setMasterAudioDevice(masterDevice);
}

ApplicationManager::~ApplicationManager()
{
    // A take still running at exit is stopped like the operator would, so its
    // files and timelines are completed.
    if (m_isRecording)
        stopRecording();
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
    if (m_isRecording)
        m_cutList.append(CutEntry{sourceId, (monotonicNowNs() - m_recordingStartClock) / 1000000});
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

void ApplicationManager::setSeparateAudioRecordingEnabled(bool enabled)
{
    if (storeIfChanged(m_separateAudioRecordingEnabled, enabled))
        emit separateAudioRecordingEnabledChanged();
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
    if (storeIfChanged(m_recordingQualityIndex, index))
        emit recordingQualityIndexChanged();
}

void ApplicationManager::setRecordingEncoderIndex(int index)
{
    if (storeIfChanged(m_recordingEncoderIndex, index))
        emit recordingEncoderIndexChanged();
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
    if (!storeIfChanged(m_targetBitrateKbps, kbps))
        return;
    emit targetBitrateKbpsChanged();
    // The take component passes the new bitrate to every running encoder here.
}

void ApplicationManager::setCqpLevel(int level)
{
    if (storeIfChanged(m_cqpLevel, level))
        emit cqpLevelChanged();
}

void ApplicationManager::setMaxBitrateKbps(int kbps)
{
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
    static constexpr double rates[] = {60.0, 59.94, 50.0, 30.0, 29.97, 25.0, 24.0, 23.976};
    if (m_recordingFramerateIndex < 0 || m_recordingFramerateIndex >= static_cast<int>(std::size(rates)))
        return 30.0;
    return rates[m_recordingFramerateIndex];
}

// ---------------------------------------------------------------- initialization

void ApplicationManager::setSplashStatusText(const QString &text)
{
    if (storeIfChanged(m_splashStatusText, text))
        emit splashStatusTextChanged();
}

void ApplicationManager::runInitialization()
{
    setSplashStatusText(QStringLiteral("Scanning for devices..."));
    CameraLister lister = installedCameraLister();
    std::thread worker([this, lister = std::move(lister)] {
        std::vector<CameraScanDevice> devices;
        if (lister) {
            // A lister that throws must not take the process down: the splash
            // still reaches "DONE" with no cameras.
            try {
                devices = lister();
            } catch (...) {
                qWarning() << "[ApplicationManager] Camera scan failed; continuing without cameras";
                devices.clear();
            }
        }
        CameraScanResult result = buildCameraScan(devices);
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { completeInitialization(result); }, Qt::QueuedConnection);
    });
    worker.detach();
}

void ApplicationManager::completeInitialization(const CameraScanResult &result)
{
    m_cameraListCache = result.cameras;
    m_cameraFormatsCache = result.formats;
    setSplashStatusText(QStringLiteral("DONE"));
}

void ApplicationManager::setChannelsModel(InputChannelsModel *model)
{
    m_channelsModel = model;
}

std::shared_ptr<ISource> ApplicationManager::cameraSourceForChannel(int channelId) const
{
    return m_cameraSources.value(channelId);
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
// Awaiting the recording session component (arming, clock, frame pump, cut
// list). Until it lands no take can start, and each request says so.

void ApplicationManager::armRecording()
{
    qWarning() << "[ApplicationManager] Recording is not available: no recording session in this build";
}

void ApplicationManager::startRecording()
{
    qWarning() << "[ApplicationManager] Recording is not available: no recording session in this build";
}

void ApplicationManager::stopRecording()
{
    if (!m_isRecording)
        return;
    qWarning() << "[ApplicationManager] Recording is not available: no recording session in this build";
}

void ApplicationManager::cancelArming()
{
    if (!m_isArming)
        return;
    m_countdownTimer.stop();
    m_isArming = false;
    emit armingStateChanged();
}

void ApplicationManager::generateTimeline()
{
    qWarning() << "[ApplicationManager] Timeline export is not available in this build";
}

void ApplicationManager::updateTimecode()
{
    // The recording session advances the timecode and feeds the encoders here.
}

void ApplicationManager::onCountdownTimeout()
{
    // The recording session counts down and starts the take here.
}

void ApplicationManager::triggerRecordingStart()
{
    startRecording();
}

// ---------------------------------------------------------------- audio
// Awaiting the audio engine component (captures, mixer, meters, monitoring).
// Until it lands the device lists and mixer strip values are kept here, no
// capture is opened and the meters stay at zero.

void ApplicationManager::refreshAudioInputDevices()
{
    m_audioInputDevices = sdlDeviceNames(kDefaultInput, true);
    emit audioInputDevicesChanged();
}

void ApplicationManager::refreshAudioOutputDevices()
{
    m_audioOutputDevices = sdlDeviceNames(kDefaultOutput, false);
    emit audioOutputDevicesChanged();
}

void ApplicationManager::setMasterAudioDevice(const QString &device)
{
    if (storeIfChanged(m_masterAudioDevice, device))
        emit masterAudioDeviceChanged();
}

void ApplicationManager::setMasterAudioOutputDevice(const QString &device)
{
    if (storeIfChanged(m_masterAudioOutputDevice, device))
        emit masterAudioOutputDeviceChanged();
}

void ApplicationManager::setLiveMonitoringEnabled(bool enabled)
{
    if (storeIfChanged(m_liveMonitoringEnabled, enabled))
        emit liveMonitoringEnabledChanged();
}

void ApplicationManager::updateAudioLevel()
{
    // The audio engine drains the captures through the mixer and updates the
    // meters here.
}

void ApplicationManager::setChannelAudioVolume(int channelId, float volume)
{
    if (isChannelId(channelId))
        m_channelFaders.insert(channelId, std::clamp(volume, 0.0f, 1.0f));
}

float ApplicationManager::getChannelAudioVolume(int channelId) const
{
    return m_channelFaders.value(channelId, kDefaultFader);
}

float ApplicationManager::getChannelAudioFader(int channelId) const
{
    return getChannelAudioVolume(channelId);
}

void ApplicationManager::setChannelAudioMute(int channelId, bool mute)
{
    if (isChannelId(channelId))
        m_channelMutes.insert(channelId, mute);
}

bool ApplicationManager::isChannelAudioMuted(int channelId) const
{
    return m_channelMutes.value(channelId, false);
}

void ApplicationManager::setChannelAudioSolo(int channelId, bool solo)
{
    if (isChannelId(channelId))
        m_channelSolos.insert(channelId, solo);
}

bool ApplicationManager::isChannelAudioSolo(int channelId) const
{
    return m_channelSolos.value(channelId, false);
}

void ApplicationManager::setMasterAudioVolume(float volume)
{
    m_masterFader = std::clamp(volume, 0.0f, 1.0f);
}

float ApplicationManager::masterAudioVolume() const
{
    return m_masterFader;
}

float ApplicationManager::masterAudioFader() const
{
    return m_masterFader;
}

QString ApplicationManager::getChannelAudioInput(int channelId) const
{
    return m_channelAudioInputNames.value(channelId);
}

void ApplicationManager::setChannelSeparateAudioEnabled(int channelId, bool enabled)
{
    if (isChannelId(channelId))
        m_separateAudioChannels.insert(channelId, enabled);
}

bool ApplicationManager::isChannelSeparateAudioEnabled(int channelId) const
{
    return m_separateAudioChannels.value(channelId, false);
}

void ApplicationManager::setAudioInputForChannel(int channelId, const QString &deviceName)
{
    if (!isChannelId(channelId))
        return;
    m_channelAudioInputNames.insert(channelId, deviceName);
    if (!deviceName.isEmpty() && deviceName != QLatin1String("None") && deviceName != QLatin1String("Off"))
        qWarning() << "[ApplicationManager] Failed to start audio input for channel" << channelId << "on"
                   << deviceName << "(audio capture is not available in this build)";
}

// ---------------------------------------------------------------- encoders
// Awaiting the encoder capabilities component (GPU detection, encoder list,
// benchmark). Until it lands the hardware texts keep their initial values and
// the encoder list is empty.

void ApplicationManager::refreshEncoderCapabilities()
{
    qDebug() << "[ApplicationManager] Encoder capability detection is not available in this build";
}

void ApplicationManager::runHardwareBenchmark()
{
    qWarning() << "[ApplicationManager] Hardware benchmark is not available in this build";
}

void ApplicationManager::applyRecommendedSettings()
{
    qWarning() << "[ApplicationManager] Hardware benchmark is not available in this build";
}

// ---------------------------------------------------------------- DaVinci Resolve
// Awaiting the timeline export component.

bool ApplicationManager::installDaVinciIntegration()
{
    qWarning() << "[ApplicationManager] DaVinci Resolve integration is not available in this build";
    return false;
}

bool ApplicationManager::verifyAndInstallDaVinciScript()
{
    qDebug() << "[ApplicationManager] DaVinci Resolve script check is not available in this build";
    return false;
}

// ---------------------------------------------------------------- cameras
// Awaiting the camera assignment component (capture sources, device
// inventory). Until it lands no channel gets a camera; the scan caches and the
// camera links are real.

QVariantList ApplicationManager::getAvailableCameras() const
{
    return m_cameraListCache;
}

QVariantList ApplicationManager::getCameraFormats(const QString &deviceLink) const
{
    return m_cameraFormatsCache.value(deviceLink).toList();
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                             float framerate, const QString &colorRange)
{
    Q_UNUSED(width)
    Q_UNUSED(height)
    Q_UNUSED(framerate)
    Q_UNUSED(colorRange)
    qDebug() << "[ApplicationManager] Setting camera for channel" << channelId << "to" << deviceLink;
    m_cameraSources.remove(channelId);
    if (deviceLink.isEmpty()) {
        qDebug() << "Disabled camera capture for channel" << channelId;
        return;
    }
    qWarning() << "[ApplicationManager] Failed to start camera for channel" << channelId << "on" << deviceLink
               << "(camera capture is not available in this build)";
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height,
                                             float framerate)
{
    setCameraForChannel(channelId, deviceLink, width, height, framerate, QStringLiteral("Default"));
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width, int height)
{
    setCameraForChannel(channelId, deviceLink, width, height, 30.0f);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink, int width)
{
    setCameraForChannel(channelId, deviceLink, width, 1080);
}

void ApplicationManager::setCameraForChannel(int channelId, const QString &deviceLink)
{
    setCameraForChannel(channelId, deviceLink, 1920);
}

void ApplicationManager::removeCameraFromChannel(int channelId)
{
    m_cameraSources.remove(channelId);
    if (m_channelsModel)
        m_channelsModel->setHasActiveVideo(channelId, false);
}

QString ApplicationManager::getCameraLinkForChannel(int) const { return QString(); }
QString ApplicationManager::getCameraNameForChannel(int) const { return QString(); }
int ApplicationManager::getCameraWidthForChannel(int) const { return 1920; }
int ApplicationManager::getCameraHeightForChannel(int) const { return 1080; }
float ApplicationManager::getCameraFramerateForChannel(int) const { return 30.0f; }
QString ApplicationManager::getCameraColorRangeForChannel(int) const { return QStringLiteral("Default"); }

void ApplicationManager::setChannelCameraLink(int channelId, int cameraId)
{
    m_channelCameraLinks.insert(channelId, cameraId);
}

int ApplicationManager::getChannelCameraLink(int channelId) const
{
    return m_channelCameraLinks.value(channelId, 0);
}

void ApplicationManager::saveDevicesInfoFile()
{
    qWarning() << "[ApplicationManager] Device inventory is not available in this build";
}
