// Remote control figures, on loopback only and bounded in time:
//  1. /api/status with 50 clients polling back to back (a new connection per
//     request, as the server closes after each answer): requests per second
//     and latency percentiles.
//  2. The GUI thread's 5 ms clock (the frame pump's slot timer) while 16
//     viewers watch the preview of a 1080p camera, against the same clock
//     with nobody watching: how late the slots fire.
//  3. A real take: four virtual 30 fps cameras (1080p unless --size says
//     otherwise) recorded through the take's
//     own frame pump and encoders, once with no viewer and once with 16 MJPEG
//     viewers reading on another thread: how late the pump hands out its
//     slots and how many frames the take dropped.
// Prints one JSON object per figure.
//
// Usage: bench_remote [--take-seconds N] [--preset P] [--size WxH] [--only status|stream|take]
#include "tests/remote/FakeRemoteBackend.h"

#include "app/recording/RecordingSession.h"
#include "capture/CameraCapture.h"
#include "capture/virtual/VirtualCameras.h"
#include "remote/RemoteControlServer.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::AnyIPv4, 0) ? probe.serverPort() : 0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

void statusLoad(quint16 port, int clients, int seconds)
{
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<double> latencies;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&] {
            std::vector<double> mine;
            while (!stop) {
                QElapsedTimer t;
                t.start();
                QTcpSocket s;
                s.connectToHost(QStringLiteral("127.0.0.1"), port);
                if (!s.waitForConnected(3000)) { ++failures; continue; }
                s.write("GET /api/status HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
                QByteArray got;
                while (s.state() == QAbstractSocket::ConnectedState && s.waitForReadyRead(3000))
                    got += s.readAll();
                got += s.readAll();
                if (!got.startsWith("HTTP/1.1 200 OK")) { ++failures; continue; }
                mine.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            std::lock_guard<std::mutex> g(lock);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, [&] { stop = true; });
    while (!stop)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // keep serving until every client has its last answer
    for (int i = 0; i < 200; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    for (auto &t : threads)
        t.join();
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    std::printf("{\"bench\":\"remote_status\",\"clients\":%d,\"seconds\":%.2f,\"requests\":%zu,\"failures\":%d,"
                "\"rps\":%.0f,\"p50_ms\":%.2f,\"p99_ms\":%.2f,\"max_ms\":%.2f}\n",
                clients, elapsed, latencies.size(), failures.load(), double(latencies.size()) / elapsed,
                percentile(latencies, 0.5), percentile(latencies, 0.99), percentile(latencies, 1.0));
}

// Lateness of a 5 ms precise timer on this thread over the given time.
std::vector<double> slotDelays(int milliseconds)
{
    std::vector<double> delays;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer pump;
    pump.setTimerType(Qt::PreciseTimer);
    pump.setInterval(5);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        delays.push_back(std::max(0.0, double(now - last) / 1e6 - 5.0));
        last = now;
    });
    pump.start();
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return delays;
}

void printDelays(const char *label, int viewers, const std::vector<double> &d, const RemoteControlServer &server)
{
    std::printf("{\"bench\":\"remote_stream_slot_delay\",\"case\":\"%s\",\"viewers\":%d,\"slots\":%zu,"
                "\"p50_ms\":%.2f,\"p99_ms\":%.2f,\"max_ms\":%.2f,\"late_over_33ms\":%ld,\"skipped_frames\":%llu}\n",
                label, viewers, d.size(), percentile(d, 0.5), percentile(d, 0.99), percentile(d, 1.0),
                long(std::count_if(d.begin(), d.end(), [](double x) { return x > 33.3; })),
                (unsigned long long)server.stream().skippedFrames());
}

// The status load and the stream's cost to a bare 5 ms clock, with a stand-in
// recorder whose four cameras show one colour each.
void syntheticFigures(const QString &only)
{
    FakeRemoteBackend backend;
    for (int ch = 1; ch <= 4; ++ch)
        backend.runCamera(ch, 1920, 1080);
    backend.active = 1;
    RemoteControlServer server;
    server.setBackend(&backend);
    server.startServer(freePort());
    if (!server.isRunning())
        return;
    const quint16 port = quint16(server.port());

    if (only.isEmpty() || only == "status")
        statusLoad(port, 50, 5);
    if (!only.isEmpty() && only != "stream") {
        server.stopServer();
        return;
    }

    printDelays("no viewers", 0, slotDelays(3000), server);

    std::vector<std::unique_ptr<QTcpSocket>> viewers;
    std::atomic<bool> reading{true};
    for (int i = 0; i < 16; ++i) {
        viewers.push_back(std::make_unique<QTcpSocket>());
        viewers.back()->connectToHost(QStringLiteral("127.0.0.1"), port);
        viewers.back()->waitForConnected(3000);
        viewers.back()->write("GET /stream.mjpg HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QObject::connect(viewers.back().get(), &QTcpSocket::readyRead, viewers.back().get(),
                         [s = viewers.back().get()] { s->readAll(); });
    }
    QElapsedTimer wait;
    wait.start();
    while (server.clientCount() < 16 && wait.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    printDelays("16 viewers, 1080p source", server.clientCount(), slotDelays(5000), server);
    server.stopServer();
}

// The remote control's view of the take's own cameras: the stream encodes
// the active camera's real frames.
class TakeCamerasBackend : public FakeRemoteBackend
{
public:
    explicit TakeCamerasBackend(const std::vector<std::shared_ptr<CameraCapture>> &cameras) : m_cameras(cameras) {}
    bool latestFrame(int ch, std::vector<uint8_t> &rgba, int &w, int &h) override
    {
        if (ch < 1 || ch > int(m_cameras.size()) || !m_cameras[size_t(ch - 1)]->isRunning())
            return false;
        CameraCapture &camera = *m_cameras[size_t(ch - 1)];
        w = camera.width();
        h = camera.height();
        camera.getLatestFrame(rgba);
        return !rgba.empty();
    }

private:
    const std::vector<std::shared_ptr<CameraCapture>> &m_cameras;
};

// MJPEG viewers on a thread of their own (a phone does its reading
// elsewhere, not on the recorder's GUI thread); each reads and discards.
class ViewerThread
{
public:
    ViewerThread(quint16 port, int viewers)
    {
        if (viewers <= 0)
            return;
        m_thread = std::thread([this, port, viewers] {
            std::vector<std::unique_ptr<QTcpSocket>> sockets;
            for (int i = 0; i < viewers; ++i) {
                auto s = std::make_unique<QTcpSocket>();
                s->connectToHost(QStringLiteral("127.0.0.1"), port);
                if (!s->waitForConnected(3000))
                    continue;
                s->write("GET /stream.mjpg HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
                s->flush();
                sockets.push_back(std::move(s));
            }
            while (!m_stop) {
                for (auto &s : sockets) {
                    s->waitForReadyRead(2);
                    m_bytes += uint64_t(s->readAll().size());
                }
            }
        });
    }
    ~ViewerThread()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    uint64_t bytes() const { return m_bytes; }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_bytes{0};
};

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void takeWithViewers(int viewers, int seconds, const QString &preset, int width, int height)
{
    std::vector<std::shared_ptr<CameraCapture>> cameras;
    for (int i = 1; i <= 4; ++i) {
        const std::string link = std::string(VirtualCameras::kLinkPrefix) + std::to_string(i);
        VideoFormatInfo format;
        for (const VideoFormatInfo &f : VirtualCameras::formats(link)) {
            if (f.width == width && f.height == height && f.fpsNumerator == 30 * f.fpsDenominator)
                format = f;
        }
        auto camera = std::make_shared<CameraCapture>();
        if (!camera->open(std::wstring(link.begin(), link.end()), format)) {
            std::printf("{\"bench\":\"remote_take_slot_delay\",\"error\":\"virtual camera did not open\"}\n");
            return;
        }
        cameras.push_back(camera);
    }

    TakeCamerasBackend backend(cameras);
    backend.active = 1;
    RemoteControlServer server;
    server.setBackend(&backend);
    server.startServer(freePort());
    if (!server.isRunning())
        return;
    ViewerThread watchers(quint16(server.port()), viewers);
    QElapsedTimer wait;
    wait.start();
    while (server.clientCount() < viewers && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    runFor(1000); // the cameras and the stream settle

    QTemporaryDir folder;
    std::vector<double> delays;
    delays.reserve(size_t(seconds) * 40);
    TakeCollaborators c;
    c.parameters = [&] {
        TakeParameters p;
        p.recordingPath = folder.path();
        p.activeSessionName = QStringLiteral("bench");
        return p;
    };
    c.liveCamera = [&](int id) -> std::shared_ptr<ISource> {
        return id >= 1 && id <= 4 && cameras[size_t(id - 1)]->isRunning() ? cameras[size_t(id - 1)] : nullptr;
    };
    c.speedPreset = [&](int, int, int) { return preset.toStdString(); };
    c.slotDispatched = [&](int64_t, int64_t lateNs) { delays.push_back(double(std::max<int64_t>(0, lateNs)) / 1e6); };
    RecordingSession session(std::move(c));
    session.startRecording();
    // The operator cuts between the cameras now and then, so the stream
    // follows the program.
    QTimer cut;
    QObject::connect(&cut, &QTimer::timeout, [&] { backend.active = backend.active % 4 + 1; });
    cut.start(2000);
    runFor(seconds * 1000);
    cut.stop();
    session.stopRecording();
    const int viewersAtEnd = server.clientCount();
    server.stopServer();
    for (auto &camera : cameras)
        camera->stop();

    std::printf("{\"bench\":\"remote_take_slot_delay\",\"cameras\":4,\"size\":\"%dx%d\",\"preset\":\"%s\","
                "\"viewers\":%d,\"viewers_at_end\":%d,\"take_ms\":%lld,\"slots\":%zu,\"p50_ms\":%.2f,"
                "\"p99_ms\":%.2f,\"max_ms\":%.2f,\"late_over_33ms\":%ld,\"dropped_frames\":%d,"
                "\"stream_bytes\":%llu,\"stream_skipped_frames\":%llu}\n",
                width, height, qPrintable(preset), viewers, viewersAtEnd, (long long)session.lastDurationMs(), delays.size(),
                percentile(delays, 0.5), percentile(delays, 0.99), percentile(delays, 1.0),
                long(std::count_if(delays.begin(), delays.end(), [](double x) { return x > 33.3; })),
                session.droppedFrames(), (unsigned long long)watchers.bytes(),
                (unsigned long long)server.stream().skippedFrames());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("KORVEX_TEST_CAMERAS", "4", 1);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    av_log_set_level(AV_LOG_ERROR);
    QCommandLineParser args;
    args.addOption({"take-seconds", "Length of each recorded take (default 10).", "seconds", "10"});
    args.addOption({"preset", "Speed preset of the take's encoders (default ultrafast).", "preset", "ultrafast"});
    args.addOption({"size", "Camera size of the recorded take (default 1920x1080).", "WxH", "1920x1080"});
    args.addOption({"only", "Run one figure: status, stream or take.", "figure"});
    args.addHelpOption();
    args.process(app);
    const QString only = args.value("only");
    const int takeSeconds = std::max(1, args.value("take-seconds").toInt());

    if (only.isEmpty() || only == "status" || only == "stream")
        syntheticFigures(only);
    if (only.isEmpty() || only == "take") {
        const QStringList size = args.value("size").split(QLatin1Char('x'));
        const int width = size.value(0).toInt(), height = size.value(1).toInt();
        takeWithViewers(0, takeSeconds, args.value("preset"), width, height);
        takeWithViewers(16, takeSeconds, args.value("preset"), width, height);
    }
    return 0;
}
