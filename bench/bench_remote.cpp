// Remote control figures, on loopback only and bounded in time:
//  1. /api/status with 50 clients polling back to back (a new connection per
//     request, as the server closes after each answer): requests per second
//     and latency percentiles.
//  2. The GUI thread's 5 ms clock (the frame pump's slot timer) while 16
//     viewers watch the preview of a 1080p camera, against the same clock
//     with nobody watching: how late the slots fire.
// Prints one JSON object per figure.
#include "tests/remote/FakeRemoteBackend.h"

#include "remote/RemoteControlServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

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

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    FakeRemoteBackend backend;
    for (int ch = 1; ch <= 4; ++ch)
        backend.runCamera(ch, 1920, 1080);
    backend.active = 1;
    RemoteControlServer server;
    server.setBackend(&backend);
    server.startServer(freePort());
    if (!server.isRunning())
        return 1;
    const quint16 port = quint16(server.port());

    statusLoad(port, 50, 5);

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
    return 0;
}
