#pragma once

#include <QFile>
#include <QProcess>
#include <QThread>
#include <QString>
#include <QTemporaryDir>

// A real PulseAudio server for one test process: a null sink "nullsink"
// (its monitor carries what pacat plays into it) and a 1000 Hz sine source
// "sine". The sine module hands out its audio in 2-second blocks, which no
// sound card does, so a loopback paces it into a second null sink ("Sine
// Bus") whose monitor, delivering 1024-frame buffers as a real input does, is
// the default capture device. Must start before SDL_Init.
class PulseServer
{
public:
    PulseServer() = default;
    ~PulseServer() { stop(); }
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    bool start(QString *error);
    void stop();
    // Plays a WAV file into the null sink; the process runs until killed.
    QProcess *play(const QString &wavPath);

private:
    bool runPactl(const QStringList &args);

    QTemporaryDir m_runtimeDir;
    QProcess m_server;
    QProcess m_player;
};

inline bool PulseServer::runPactl(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool PulseServer::start(QString *error)
{
    if (!m_runtimeDir.isValid()) {
        *error = QStringLiteral("no temporary runtime directory");
        return false;
    }
    QFile::setPermissions(m_runtimeDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", m_runtimeDir.path().toUtf8());
    qputenv("PULSE_RUNTIME_PATH", (m_runtimeDir.path() + QStringLiteral("/pulse")).toUtf8());
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"),
                    QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-native-protocol-unix"),
                    QStringLiteral("--load=module-null-sink sink_name=nullsink"),
                    QStringLiteral("--load=module-null-sink sink_name=sinebus sink_properties=device.description=Sine_Bus"),
                    QStringLiteral("--load=module-sine-source rate=48000 frequency=1000 source_name=sine"),
                    QStringLiteral("--load=module-loopback source=sine sink=sinebus latency_msec=30")});
    if (!m_server.waitForStarted(5000)) {
        *error = QStringLiteral("pulseaudio did not start (package pulseaudio): ") + m_server.errorString();
        return false;
    }
    for (int i = 0; i < 50 && !runPactl({QStringLiteral("info")}); ++i)
        QThread::msleep(200);
    if (!runPactl({QStringLiteral("set-default-source"), QStringLiteral("sinebus.monitor")})
        || !runPactl({QStringLiteral("set-default-sink"), QStringLiteral("nullsink")})) {
        *error = QStringLiteral("pactl could not reach the server (package pulseaudio-utils)");
        return false;
    }
    return true;
}

inline QProcess *PulseServer::play(const QString &wavPath)
{
    m_player.start(QStringLiteral("pacat"), {QStringLiteral("--device=nullsink"), QStringLiteral("--file-format=wav"), wavPath});
    m_player.waitForStarted(5000);
    return &m_player;
}

inline void PulseServer::stop()
{
    for (QProcess *p : {&m_player, &m_server}) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}
