// The remote control server on a real loopback port: routes, replies, the
// command rules, request assembly limits, origin and host checks, port
// retry and the preview stream.
#include "FakeRemoteBackend.h"
#include "HttpTestClient.h"

#include "remote/RemoteControlServer.h"

#include <QHostInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace HttpTestClient;

namespace {

QStringList g_messages;
void collect(QtMsgType, const QMessageLogContext &, const QString &text) { g_messages << text; }

QByteArray get(const QByteArray &target, const QByteArray &extraHeaders = {}, const QByteArray &method = "GET")
{
    return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

QByteArray post(const QByteArray &target, const QByteArray &body, const QByteArray &extraHeaders = {})
{
    return "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
        + extraHeaders + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QJsonObject json(const QByteArray &response)
{
    return QJsonDocument::fromJson(body(response)).object();
}

} // namespace

class TestRemoteServer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RemoteControlServer> server;
    FakeRemoteBackend backend;
    quint16 port = 0;

    void resetBackend() { backend = FakeRemoteBackend(); }

private slots:
    void init()
    {
        g_messages.clear();
        qInstallMessageHandler(collect);
        resetBackend();
        server = std::make_unique<RemoteControlServer>();
        server->setBackend(&backend);
        port = freePortPair();
        QVERIFY(port != 0);
        server->startServer(port);
        QVERIFY(server->isRunning());
        QCOMPARE(server->port(), int(port));
    }

    void cleanup()
    {
        server.reset();
        qInstallMessageHandler(nullptr);
    }

    void startEmitsInOrderAndLogs()
    {
        QStringList order;
        RemoteControlServer other;
        for (auto [signal, name] : {std::pair{&RemoteControlServer::serverStateChanged, "state"},
                                    std::pair{&RemoteControlServer::serverUrlChanged, "url"},
                                    std::pair{&RemoteControlServer::localIpChanged, "ip"},
                                    std::pair{&RemoteControlServer::portChanged, "port"},
                                    std::pair{&RemoteControlServer::clientCountChanged, "clients"},
                                    std::pair{&RemoteControlServer::qrCodeDataUrlChanged, "qr"}}) {
            const QString label = QString::fromLatin1(name);
            connect(&other, signal, this, [&order, label] { order << label; });
        }
        const quint16 p = freePortPair();
        other.startServer(p);
        QCOMPARE(order, (QStringList{"qr", "state", "url", "ip", "port", "clients"}));
        QCOMPARE(other.serverUrl(), QStringLiteral("http://%1:%2/").arg(other.localIp()).arg(p));
        QVERIFY(other.qrCodeDataUrl().startsWith("data:image/png;base64,"));
        QVERIFY(g_messages.contains(QStringLiteral("[RemoteControlServer] Online at: \"%1\"").arg(other.serverUrl())));
        order.clear();
        other.stopServer();
        QCOMPARE(order, (QStringList{"state", "clients"}));
        QVERIFY(g_messages.contains("[RemoteControlServer] Stopped."));
        QVERIFY(!other.isRunning());
        QCOMPARE(other.port(), int(p)); // the address stays for the dialog
    }

    void notFoundIsExact()
    {
        QCOMPARE(exchange(port, get("/nothing")),
                 QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 13\r\n"
                            "Connection: close\r\n\r\n404 Not Found"));
    }

    void pageAndJsonHeaders()
    {
        const QByteArray page = exchange(port, get("/index.html"));
        QVERIFY(page.startsWith("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                "Access-Control-Allow-Origin: *\r\nContent-Length: "));
        QVERIFY(body(page).contains("<title>Korvex Studio - Remote</title>"));
        QVERIFY(page.contains("Content-Length: " + QByteArray::number(body(page).size()) + "\r\nConnection: close\r\n\r\n"));
        QVERIFY(!body(page).contains("src=\"http")); // self-contained

        const QByteArray status = exchange(port, get("/api/sources"));
        QVERIFY(status.startsWith("HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n"
                                  "Access-Control-Allow-Origin: *\r\nAccess-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
                                  "Content-Length: "));
        QCOMPARE(status.mid(status.indexOf("Content-Length: ") + 16).split('\r').first().toInt(), int(body(status).size()));

        QCOMPARE(body(exchange(port, get("/devices_info.json"))), backend.inventory);
    }

    void requestSplitAcrossWrites()
    {
        const QByteArray response = exchange(port, {"GET /api/st", "atus HTTP/1.1\r\nHo", "st: 127.0.0.1\r\n", "\r\n"});
        QCOMPARE(statusLine(response), QByteArray("HTTP/1.1 200 OK"));
        QCOMPARE(json(response).value("channels").toArray().size(), 4);
    }

    // A body that arrives after its head is the request's body, never a
    // request of its own: channel 1 must not be cleared by an empty link.
    void bodyArrivingLateIsKept()
    {
        const QByteArray body = R"J({"channelId":3,"deviceLink":"/dev/video7","width":1280,"height":720,"framerate":59.94,"colorRange":"Full (0-255 PC)","channelName":"Stage"})J";
        const QByteArray head = "POST /api/add_source HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Operator: \xc4\x8c\xc4\x87\r\n"
                                "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
        const QByteArray response = exchange(port, {head, body.left(20), body.mid(20)}, 60);
        QCOMPARE(json(response).value("channelId").toInt(), 3);
        QCOMPARE(backend.calls.first(), QString("setCameraForChannel 3 \"/dev/video7\" 1280 720 59.94 \"Full (0-255 PC)\""));
        QVERIFY(backend.calls.contains("setChannelName 3 \"Stage\""));
        QCOMPARE(backend.active, 3); // nothing was active yet
        for (const QString &call : std::as_const(backend.calls))
            QVERIFY2(!call.startsWith("setCameraForChannel 1"), qPrintable(call));
    }

    void switchRules_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("logged");
        QTest::newRow("query id=3") << get("/api/switch?id=3") << 3 << true;
        QTest::newRow("json body id 2") << post("/api/switch", R"({"id":2})") << 2 << true;
        QTest::newRow("empty object selects 1") << post("/api/switch", "{}") << 1 << true;
        QTest::newRow("query wins over body") << post("/api/switch?id=4", R"({"id":2})") << 4 << true;
        QTest::newRow("id 7 changes nothing") << get("/api/switch?id=7") << 2 << false;
        QTest::newRow("not a number") << get("/api/switch?id=abc") << 2 << false;
    }

    void switchRules()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, expected);
        QFETCH(bool, logged);
        backend.active = 2;
        backend.recording = true;
        const QJsonObject reply = json(exchange(port, request));
        QCOMPARE(backend.active, expected);
        QCOMPARE(reply.value("activeSourceId").toInt(), expected);
        QCOMPARE(reply.value("isRecording").toBool(), true);
        QCOMPARE(g_messages.contains(QStringLiteral("[RemoteControlServer] Switched active source to: %1").arg(expected)), logged);
    }

    void recordTogglesForAnyMethod()
    {
        QCOMPARE(json(exchange(port, get("/api/record", {}, "OPTIONS"))).value("isRecording").toBool(), true);
        QCOMPARE(json(exchange(port, get("/api/record"))).value("isRecording").toBool(), false);
        QCOMPARE(backend.calls, (QStringList{"startRecording", "stopRecording"}));
    }

    void addSourceQueryOverBody()
    {
        const QJsonObject reply = json(exchange(port, post("/api/add_source?channelId=2", R"({"channelId":4,"deviceLink":"x"})")));
        QCOMPARE(reply, (QJsonObject{{"status", "ok"}, {"channelId", 2}}));
        QCOMPARE(backend.calls.first(), QString("setCameraForChannel 2 \"x\" 1920 1080 30 \"Default\""));

        backend.calls.clear();
        const QByteArray outside = exchange(port, get("/api/add_source?channelId=9&deviceLink=y"));
        QCOMPARE(body(outside), QByteArray(R"({"channelId":9,"status":"ok"})"));
        QVERIFY(backend.calls.isEmpty());
    }

    void removeSource_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("nothing given") << get("/api/remove_source") << QStringList{};
        QTest::newRow("query") << get("/api/remove_source?channelId=3") << QStringList{"removeCameraFromChannel 3"};
        QTest::newRow("body") << post("/api/remove_source", R"({"channelId":2})") << QStringList{"removeCameraFromChannel 2"};
        QTest::newRow("outside 1..4") << get("/api/remove_source?channelId=5") << QStringList{};
    }

    void removeSource()
    {
        QFETCH(QByteArray, request);
        QFETCH(QStringList, calls);
        QCOMPARE(body(exchange(port, request)), QByteArray(R"({"status":"ok"})"));
        QCOMPARE(backend.calls, calls);
    }

    void requestLineWithoutTargetGetsNoAnswer()
    {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 3000));
        socket.write("GET\r\n\r\n");
        QTest::qWait(400);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(socket.bytesAvailable(), 0);
    }

    void statusDocument()
    {
        backend.modelNames[2] = "Wide";
        backend.modelActive[4] = true;
        backend.runCamera(1, 1920, 1080, "Front");
        backend.cameras[1].framerate = 29.97f;
        // A camera that was assigned but does not run is not live on the phone.
        backend.cameras[3].link = "/dev/video9";
        backend.active = 1;
        const QByteArray doc = body(exchange(port, get("/api/status")));
        QVERIFY(doc.startsWith(R"({"activeSourceId":1,"activeVideoCount":2,"channels":[{"active":true,"colorRange":"Default","deviceLink":"/dev/video0","framerate":29.969999313354492,"height":1080,"id":1,"name":"Front","width":1920},)"));
        const QJsonArray channels = QJsonDocument::fromJson(doc).object().value("channels").toArray();
        QCOMPARE(channels.at(1).toObject().value("name").toString(), QString("Wide"));
        QCOMPARE(channels.at(1).toObject().value("active").toBool(), false);
        QCOMPARE(channels.at(2).toObject().value("active").toBool(), false);
        QCOMPARE(channels.at(2).toObject().value("name").toString(), QString("Camera 3"));
        QCOMPARE(channels.at(3).toObject().value("active").toBool(), true);
        QVERIFY(doc.endsWith(R"(],"countdownSeconds":0,"currentFps":0,"isArming":false,"isRecording":false,"masterVolume":0.75,"selectedGlobalFps":30,"sessionName":"Session","timecode":"00:00:00"})"));

        backend = FakeRemoteBackend();
        backend.modelLinked = false;
        const QJsonObject empty = json(exchange(port, get("/api/status")));
        QCOMPARE(empty.value("activeVideoCount").toInt(), 0);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(empty.value("channels")[i]["name"].toString(), QStringLiteral("Camera %1").arg(i + 1));
            QCOMPARE(empty.value("channels")[i]["active"].toBool(), false);
        }
    }

    void sizeLimits_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("head over 16 KiB") << QList<QByteArray>{"GET /api/status HTTP/1.1\r\nX-Pad: " + QByteArray(17 * 1024, 'a')}
                                          << QByteArray("HTTP/1.1 413 Payload Too Large");
        QTest::newRow("body over 1 MiB") << QList<QByteArray>{"POST /api/switch HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1048577\r\n\r\n{"}
                                         << QByteArray("HTTP/1.1 413 Payload Too Large");
        QTest::newRow("body of exactly 1 MiB") << QList<QByteArray>{"POST /api/switch?id=2 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1048576\r\n\r\n",
                                                                    QByteArray(1024 * 1024, ' ')}
                                               << QByteArray("HTTP/1.1 200 OK");
        QTest::newRow("unreadable length") << QList<QByteArray>{"POST /api/switch HTTP/1.1\r\nContent-Length: ten\r\n\r\n"}
                                           << QByteArray("HTTP/1.1 400 Bad Request");
    }

    void sizeLimits()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QByteArray, status);
        const QByteArray response = exchange(port, pieces);
        QCOMPARE(statusLine(response), status);
        if (!status.contains("200"))
            QVERIFY(backend.calls.isEmpty());
    }

    void idleConnectionIsClosed()
    {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 3000));
        socket.write("GET /api/status HTTP/1.1\r\n"); // never finished
        QTest::qWait(8000);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
        QVERIFY(QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 4000));
        QCOMPARE(server->openConnectionCount(), 0);
    }

    void connectionCaps()
    {
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < RemoteControlServer::maxConnections; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QStringLiteral("127.0.0.1"), port);
        }
        QVERIFY(QTest::qWaitFor([&] { return server->openConnectionCount() == RemoteControlServer::maxConnections; }, 5000));
        QTcpSocket extra;
        extra.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(QTest::qWaitFor([&] { return extra.state() == QAbstractSocket::UnconnectedState; }, 3000));
        QCOMPARE(server->openConnectionCount(), RemoteControlServer::maxConnections);
        idle.clear();
        QVERIFY(QTest::qWaitFor([&] { return server->openConnectionCount() == 0; }, 3000));

        // Viewers have their own cap.
        std::vector<std::unique_ptr<QTcpSocket>> viewers;
        for (int i = 0; i <= RemoteControlServer::maxStreamViewers; ++i) {
            viewers.push_back(std::make_unique<QTcpSocket>());
            viewers.back()->connectToHost(QStringLiteral("127.0.0.1"), port);
            QVERIFY(viewers.back()->waitForConnected(3000));
            viewers.back()->write(get("/stream.mjpg"));
            const int wanted = std::min(i + 1, RemoteControlServer::maxStreamViewers);
            QVERIFY(QTest::qWaitFor([&] { return server->clientCount() == wanted && server->openConnectionCount() == 0; }, 3000));
        }
        QVERIFY(QTest::qWaitFor([&] { return viewers.back()->state() == QAbstractSocket::UnconnectedState; }, 3000));
        QCOMPARE(server->clientCount(), RemoteControlServer::maxStreamViewers);
    }

    void originAndHost_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<bool>("toggled");
        QTest::newRow("no origin") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("own page") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nOrigin: http://127.0.0.1:PORT\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("other site") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nOrigin: http://evil.example\r\n\r\n") << QByteArray("HTTP/1.1 403 Forbidden") << false;
        QTest::newRow("other port") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nOrigin: http://127.0.0.1:9\r\n\r\n") << QByteArray("HTTP/1.1 403 Forbidden") << false;
        QTest::newRow("opaque origin") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nOrigin: null\r\n\r\n") << QByteArray("HTTP/1.1 403 Forbidden") << false;
        QTest::newRow("status from other site is readable") << QByteArray("GET /api/status HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nOrigin: http://evil.example\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << false;
        QTest::newRow("rebound host name") << QByteArray("GET /api/status HTTP/1.1\r\nHost: evil.example:PORT\r\n\r\n") << QByteArray("HTTP/1.1 403 Forbidden") << false;
        QTest::newRow("rebound host, same origin") << QByteArray("POST /api/record HTTP/1.1\r\nHost: evil.example:PORT\r\nOrigin: http://evil.example:PORT\r\n\r\n") << QByteArray("HTTP/1.1 403 Forbidden") << false;
        QTest::newRow("localhost") << QByteArray("POST /api/record HTTP/1.1\r\nHost: localhost:PORT\r\nOrigin: http://localhost:PORT\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("machine name") << QByteArray("GET /api/record HTTP/1.1\r\nHost: " + QHostInfo::localHostName().toLatin1() + ":PORT\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << true;
        QTest::newRow("IPv6 literal") << QByteArray("GET /api/status HTTP/1.1\r\nHost: [::1]:PORT\r\n\r\n") << QByteArray("HTTP/1.1 200 OK") << false;
    }

    void originAndHost()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        QFETCH(bool, toggled);
        request.replace("PORT", QByteArray::number(port));
        QCOMPARE(statusLine(exchange(port, request)), status);
        QCOMPARE(backend.recording, toggled);
    }

    void portBusyRetries()
    {
        server->stopServer();
        const quint16 base = freePortPair();
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, base));
        server->startServer(base);
        QVERIFY(server->isRunning());
        QCOMPARE(server->port(), base + 1);
        QVERIFY(server->serverUrl().endsWith(QStringLiteral(":%1/").arg(base + 1)));
        QVERIFY(g_messages.contains(QStringLiteral("[RemoteControlServer] Port %1 busy, trying %2").arg(base).arg(base + 1)));

        server->toggleServer();
        QVERIFY(!server->isRunning());
        server->toggleServer();
        QCOMPARE(server->port(), base + 1); // the stored port
        QVERIFY(server->isRunning());

        server->stopServer();
        QTcpServer second;
        QVERIFY(second.listen(QHostAddress::AnyIPv4, base + 1));
        QSignalSpy state(server.get(), &RemoteControlServer::serverStateChanged);
        g_messages.clear();
        server->startServer(base);
        QVERIFY(!server->isRunning());
        QCOMPARE(state.count(), 0);
        QCOMPARE(server->port(), base + 1);
        QVERIFY(std::any_of(g_messages.begin(), g_messages.end(), [](const QString &m) {
            return m.startsWith("[RemoteControlServer] Failed to listen on any port: \"");
        }));
    }

    void streamHeadPartsAndViewers()
    {
        QSignalSpy count(server.get(), &RemoteControlServer::clientCountChanged);
        QTcpSocket viewer;
        viewer.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(viewer.waitForConnected(3000));
        viewer.write(get("/preview.mjpg"));
        const QByteArray head = MjpegStream::streamHead();
        QVERIFY(QTest::qWaitFor([&] { return viewer.bytesAvailable() >= head.size(); }, 3000));
        QCOMPARE(viewer.read(head.size()),
                 QByteArray("HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=--frame\r\n"
                            "Cache-Control: no-cache, no-store, must-revalidate\r\nPragma: no-cache\r\n"
                            "Access-Control-Allow-Origin: *\r\nConnection: close\r\n\r\n"));
        QCOMPARE(server->clientCount(), 1);
        QCOMPARE(count.count(), 1);
        // No camera has delivered yet: nothing follows the head.
        QTest::qWait(200);
        QCOMPARE(viewer.bytesAvailable(), 0);

        // Asking again on the same connection does not list it twice.
        viewer.write(get("/stream.mjpg"));
        QTest::qWait(100);
        QCOMPARE(server->clientCount(), 1);

        backend.runCamera(2, 1920, 1080);
        backend.active = 2;
        QVERIFY(QTest::qWaitFor([&] { return viewer.bytesAvailable() > 2000; }, 3000));
        QByteArray data = viewer.readAll();
        QVERIFY(data.startsWith("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: "));
        const qsizetype lengthAt = data.indexOf("Content-Length: ") + 16;
        const int length = data.mid(lengthAt, data.indexOf("\r\n", lengthAt) - lengthAt).toInt();
        const qsizetype jpegAt = data.indexOf("\r\n\r\n") + 4;
        QVERIFY(QTest::qWaitFor([&] { data += viewer.readAll(); return data.size() >= jpegAt + length + 2; }, 3000));
        QCOMPARE(data.mid(jpegAt + length, 2), QByteArray("\r\n"));
        const QImage picture = QImage::fromData(data.mid(jpegAt, length), "JPEG");
        QCOMPARE(picture.size(), QSize(480, 270));

        // Switching to a channel without camera keeps sending the last picture.
        const QByteArray last = server->stream().lastJpegFrame();
        backend.active = 3;
        viewer.readAll();
        QVERIFY(QTest::qWaitFor([&] { return viewer.bytesAvailable() > length; }, 3000));
        QCOMPARE(server->stream().lastJpegFrame(), last);

        count.clear();
        viewer.disconnectFromHost();
        QVERIFY(QTest::qWaitFor([&] { return server->clientCount() == 0; }, 3000));
        QCOMPARE(count.count(), 1);
        QVERIFY(QTest::qWaitFor([&] { return !server->stream().isTimerActive(); }, 1000));
    }

    void stopServerClosesViewers()
    {
        backend.runCamera(1, 640, 480);
        backend.active = 1;
        std::vector<std::unique_ptr<QTcpSocket>> viewers;
        for (int i = 0; i < 3; ++i) {
            viewers.push_back(std::make_unique<QTcpSocket>());
            viewers.back()->connectToHost(QStringLiteral("127.0.0.1"), port);
            QVERIFY(viewers.back()->waitForConnected(3000));
            viewers.back()->write(get("/stream.mjpg"));
        }
        QVERIFY(QTest::qWaitFor([&] { return server->clientCount() == 3; }, 3000));
        QSignalSpy count(server.get(), &RemoteControlServer::clientCountChanged);
        server->stopServer();
        QVERIFY(count.count() >= 1);
        QCOMPARE(server->clientCount(), 0);
        QVERIFY(!server->stream().isTimerActive());
        for (auto &viewer : viewers)
            QVERIFY(QTest::qWaitFor([&] { return viewer->state() == QAbstractSocket::UnconnectedState; }, 3000));
    }

    // A viewer that stops reading must not make the server queue frames
    // without bound: its frames are skipped while its queue is full.
    void slowViewerSkipsFrames()
    {
        auto &cam = backend.cameras[1];
        backend.runCamera(1, 480, 270);
        backend.active = 1;
        quint32 seed = 12345;
        for (auto &byte : cam.frame)
            byte = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24); // noise: large JPEGs
        QTcpSocket viewer;
        viewer.setReadBufferSize(1);
        viewer.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        viewer.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(viewer.waitForConnected(3000));
        viewer.write(get("/stream.mjpg"));
        QVERIFY(QTest::qWaitFor([&] { return server->clientCount() == 1; }, 3000));
        for (int i = 0; i < 400 && server->stream().skippedFrames() == 0; ++i) {
            server->onStreamTimerTimeout();
            QCoreApplication::processEvents();
        }
        QVERIFY(server->stream().skippedFrames() > 0);
        QCOMPARE(server->clientCount(), 1); // still watching, only behind
    }
};

QTEST_MAIN(TestRemoteServer)
#include "tst_remote_server.moc"
