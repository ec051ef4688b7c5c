// The remote control's adapter to the real recorder: the application manager
// with its virtual test cameras (KORVEX_TEST_CAMERAS=2) and a linked channel
// model behind the real server on a loopback port. The status document's
// `active`, the add and remove commands, the preview frame and a device list
// that follows cameras appearing after start-up.
#include "HttpTestClient.h"

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "remote/ApplicationManagerBackend.h"
#include "remote/RemoteControlServer.h"
#include "remote/StatusDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace HttpTestClient;

namespace {

QByteArray request(const QByteArray &target, const QByteArray &body = {})
{
    QByteArray head = "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!body.isEmpty())
        head += "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

QJsonObject json(const QByteArray &response)
{
    return QJsonDocument::fromJson(body(response)).object();
}

QJsonObject channelEntry(const QJsonObject &status, int id)
{
    return status.value(QStringLiteral("channels")).toArray().at(id - 1).toObject();
}

} // namespace

class TestRemoteManagerBackend : public QObject
{
    Q_OBJECT

    ApplicationManager &manager() { return ApplicationManager::instance(); }
    std::unique_ptr<InputChannelsModel> m_model;
    std::unique_ptr<ApplicationManagerBackend> m_backend;
    std::unique_ptr<RemoteControlServer> m_server;
    quint16 m_port = 0;

    QJsonObject status() { return json(exchange(m_port, request("/api/status"))); }

private slots:
    void initTestCase()
    {
        m_model = std::make_unique<InputChannelsModel>();
        manager().setChannelsModel(m_model.get());
        m_backend = std::make_unique<ApplicationManagerBackend>(manager());
        m_server = std::make_unique<RemoteControlServer>();
        m_server->setBackend(m_backend.get());
        m_port = freePortPair();
        m_server->startServer(m_port);
        QVERIFY(m_server->isRunning());
    }

    void cleanupTestCase()
    {
        m_server.reset();
        for (int id = 1; id <= 4; ++id)
            manager().removeCameraFromChannel(id);
    }

    void cleanup()
    {
        manager().setChannelsModel(m_model.get());
        for (int id = 1; id <= 4; ++id)
            manager().removeCameraFromChannel(id);
        qputenv("KORVEX_TEST_CAMERAS", "2");
    }

    // add_source through the real manager: the camera runs, the channel is
    // named on the model, program stays where it was (the manager's active
    // source is always a channel); remove_source takes it off again.
    void addAndRemoveReachTheManager()
    {
        manager().setActiveSourceId(1);
        const QJsonObject reply = json(exchange(m_port, request("/api/add_source",
            QJsonDocument(QJsonObject{{QStringLiteral("channelId"), 3},
                                      {QStringLiteral("deviceLink"), QStringLiteral("korvex-test://2")},
                                      {QStringLiteral("width"), 640},
                                      {QStringLiteral("height"), 480},
                                      {QStringLiteral("framerate"), 30},
                                      {QStringLiteral("channelName"), QStringLiteral("Overhead")}})
                .toJson(QJsonDocument::Compact))));
        QCOMPARE(reply.value(QStringLiteral("status")).toString(), QStringLiteral("ok"));
        QCOMPARE(reply.value(QStringLiteral("channelId")).toInt(), 3);
        QVERIFY(manager().isCameraRunningForChannel(3));
        QCOMPARE(manager().getCameraLinkForChannel(3), QStringLiteral("korvex-test://2"));
        QCOMPARE(manager().getCameraWidthForChannel(3), 640);
        QCOMPARE(m_model->getChannelName(3), QStringLiteral("Overhead"));
        QCOMPARE(manager().activeSourceId(), 1);

        QJsonObject doc = status();
        QCOMPARE(doc.value(QStringLiteral("activeVideoCount")).toInt(), 1);
        const QJsonObject three = channelEntry(doc, 3);
        QCOMPARE(three.value(QStringLiteral("active")).toBool(), true);
        QCOMPARE(three.value(QStringLiteral("name")).toString(), QStringLiteral("Korvex Test Camera 2"));
        QCOMPARE(three.value(QStringLiteral("deviceLink")).toString(), QStringLiteral("korvex-test://2"));
        QCOMPARE(three.value(QStringLiteral("height")).toInt(), 480);
        QCOMPARE(channelEntry(doc, 1).value(QStringLiteral("name")).toString(), QStringLiteral("Source 1"));

        // The preview reads the running camera's frame through the adapter.
        std::vector<uint8_t> rgba;
        int width = 0, height = 0;
        QVERIFY(QTest::qWaitFor([&] { return m_backend->latestFrame(3, rgba, width, height) && !rgba.empty(); }, 3000));
        QCOMPARE(width, 640);
        QCOMPARE(rgba.size(), size_t(640 * 480 * 4));
        QVERIFY(!m_backend->latestFrame(1, rgba, width, height));

        // The query names channel and device; the rest takes the defaults.
        exchange(m_port, request("/api/add_source?channelId=1&deviceLink=korvex-test://1"));
        QVERIFY(manager().isCameraRunningForChannel(1));
        QCOMPARE(manager().getCameraWidthForChannel(1), 1920);
        QCOMPARE(manager().getCameraColorRangeForChannel(1), QStringLiteral("Default"));

        QCOMPARE(json(exchange(m_port, request("/api/remove_source?channelId=3"))).value(QStringLiteral("status")).toString(),
                 QStringLiteral("ok"));
        QVERIFY(!manager().isCameraRunningForChannel(3));
        QVERIFY(manager().getCameraLinkForChannel(3).isEmpty());
        QVERIFY(!m_model->hasActiveVideo(3));
        doc = status();
        QCOMPARE(channelEntry(doc, 3).value(QStringLiteral("active")).toBool(), false);
        QCOMPARE(channelEntry(doc, 1).value(QStringLiteral("active")).toBool(), true);
        QCOMPARE(doc.value(QStringLiteral("activeVideoCount")).toInt(), 1);
    }

    // `active`: a running camera counts; a stored camera choice without a
    // running source does not (it would be a card NEXT CAM cuts to black);
    // without a running camera the channel model's flag decides.
    void activeFollowsTheRunningCamera_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("modelLinked");
        QTest::addColumn<bool>("active");
        QTest::newRow("running camera") << "run" << true << true;
        QTest::newRow("running camera, no model") << "run" << false << true;
        QTest::newRow("stale choice, model flag clear") << "stale" << true << false;
        QTest::newRow("stale choice, no model") << "stale" << false << false;
        QTest::newRow("no camera, model flag set") << "flag" << true << true;
        QTest::newRow("camera that failed to open") << "broken" << true << false;
        QTest::newRow("nothing") << "none" << true << false;
    }
    void activeFollowsTheRunningCamera()
    {
        QFETCH(QString, setup);
        QFETCH(bool, modelLinked);
        QFETCH(bool, active);
        if (!modelLinked)
            manager().setChannelsModel(nullptr);
        if (setup == QLatin1String("run"))
            manager().setCameraForChannel(2, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
        else if (setup == QLatin1String("stale"))
            manager().restoreStaleCameraForChannel(2, QStringLiteral("korvex-test://1"), 640, 480, 30.0f,
                                                   QStringLiteral("Default"));
        else if (setup == QLatin1String("flag"))
            m_model->setHasActiveVideo(2, true);
        else if (setup == QLatin1String("broken"))
            manager().setCameraForChannel(2, QStringLiteral("korvex-test://4"), 640, 480, 30.0f);

        QCOMPARE(m_backend->hasChannelModel(), modelLinked);
        QCOMPARE(StatusDocument::isChannelActive(*m_backend, 2), active);
        const QJsonObject doc = status();
        QCOMPARE(channelEntry(doc, 2).value(QStringLiteral("active")).toBool(), active);
        QCOMPARE(doc.value(QStringLiteral("activeVideoCount")).toInt(), active ? 1 : 0);
        if (setup == QLatin1String("stale"))
            QCOMPARE(channelEntry(doc, 2).value(QStringLiteral("deviceLink")).toString(), QStringLiteral("korvex-test://1"));
        if (!modelLinked)
            QCOMPARE(channelEntry(doc, 4).value(QStringLiteral("name")).toString(), QStringLiteral("Camera 4"));
    }

    // /api/devices lists the cameras as they are now, not as the start-up
    // scan saw them: a camera that appears later is offered.
    void deviceListFollowsCamerasPluggedInLater()
    {
        manager().runInitialization();
        QVERIFY(QTest::qWaitFor([&] { return manager().getAvailableCameras().size() == 2; }, 10000));
        auto videoLinks = [&] {
            QStringList links;
            const QJsonObject doc = json(exchange(m_port, request("/api/devices")));
            for (const QJsonValue &device : doc.value(QStringLiteral("videoDevices")).toArray())
                links << device.toObject().value(QStringLiteral("link")).toString();
            return links;
        };
        QCOMPARE(videoLinks(), (QStringList{QStringLiteral("korvex-test://1"), QStringLiteral("korvex-test://2")}));

        qputenv("KORVEX_TEST_CAMERAS", "3"); // a third camera is plugged in
        QCOMPARE(videoLinks().value(2), QStringLiteral("korvex-test://3"));
        QCOMPARE(manager().getAvailableCameras().size(), 2); // the start-up scan is left as it was

        const QJsonObject doc = json(exchange(m_port, request("/devices_info.json")));
        QCOMPARE(doc.value(QStringLiteral("audioDevices")).toArray().first().toString(),
                 QStringLiteral("Default system input"));
        const QJsonObject third = doc.value(QStringLiteral("videoDevices")).toArray().at(2).toObject();
        QCOMPARE(third.value(QStringLiteral("name")).toString(), QStringLiteral("Korvex Test Camera 3"));
        QVERIFY(!third.value(QStringLiteral("formats")).toArray().isEmpty());
        QVERIFY(third.value(QStringLiteral("formats")).toArray().first().toObject().contains(QStringLiteral("fps")));

        qputenv("KORVEX_TEST_CAMERAS", "1"); // and two are unplugged
        QCOMPARE(videoLinks(), QStringList{QStringLiteral("korvex-test://1")});
    }
};

QTEST_MAIN(TestRemoteManagerBackend)
#include "tst_remote_manager_backend.moc"
