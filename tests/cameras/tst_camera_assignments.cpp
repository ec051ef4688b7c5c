#include "app/cameras/CameraAssignments.h"
#include "app/cameras/CameraFormatChoice.h"
#include "capture/CameraCapture.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

namespace {

// "1920x1080@30/1 YUY2": one format; capabilityIndex = its position.
std::vector<VideoFormatInfo> parseFormats(const QStringList &specs)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)x(\\d+)@(\\d+)/(\\d+) (\\S+)$"));
    std::vector<VideoFormatInfo> formats;
    for (const QString &spec : specs) {
        const auto m = re.match(spec);
        Q_ASSERT(m.hasMatch());
        VideoFormatInfo f;
        f.capabilityIndex = int(formats.size());
        f.width = m.captured(1).toInt();
        f.height = m.captured(2).toInt();
        f.fpsNumerator = m.captured(3).toInt();
        f.fpsDenominator = m.captured(4).toInt();
        f.formatName = m.captured(5).toStdString();
        formats.push_back(f);
    }
    return formats;
}

// A device layer over fixed answers; open succeeds for listed links and
// records the format it was given.
struct FakeDevices
{
    std::vector<VideoDeviceInfo> devices;
    std::map<std::wstring, std::vector<VideoFormatInfo>> formats;
    std::set<std::wstring> openable;
    VideoFormatInfo opened;
    int opens = 0;

    CameraAssignments::DeviceLayer layer()
    {
        CameraAssignments::DeviceLayer l;
        l.listDevices = [this] { return devices; };
        l.listFormats = [this](const std::wstring &link) {
            auto it = formats.find(link);
            return it == formats.end() ? std::vector<VideoFormatInfo>() : it->second;
        };
        l.open = [this](CameraCapture &, const std::wstring &link, const VideoFormatInfo &f) {
            opened = f;
            ++opens;
            return openable.count(link) > 0;
        };
        return l;
    }
};

} // namespace

class TestCameraAssignments : public QObject
{
    Q_OBJECT

private slots:
    void formatChoice_data()
    {
        QTest::addColumn<QStringList>("formats");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<float>("fps");
        QTest::addColumn<QString>("colorRange");
        QTest::addColumn<int>("chosen");
        const QStringList yuyAndMjpeg{"1920x1080@30/1 YUY2", "1920x1080@30/1 MJPEG", "1280x720@30/1 YUY2"};
        const QStringList ntscAndFull{"1920x1080@10000000/333333 YUY2", "1920x1080@30000/1001 YUY2",
                                      "1920x1080@60/1 YUY2", "1920x1080@60000/1001 YUY2",
                                      "1920x1080@24/1 YUY2", "1920x1080@24000/1001 YUY2"};
        QTest::newRow("default takes the first listed") << yuyAndMjpeg << 1920 << 1080 << 30.0f << "Default" << 0;
        QTest::newRow("format name picks MJPEG") << yuyAndMjpeg << 1920 << 1080 << 30.0f << "MJPEG" << 1;
        QTest::newRow("colour range falls back to first match") << yuyAndMjpeg << 1920 << 1080 << 30.0f << "Full (0-255 PC)" << 0;
        QTest::newRow("other size") << yuyAndMjpeg << 1280 << 720 << 30.0f << "Default" << 2;
        QTest::newRow("no matching size opens the first") << QStringList{"1280x720@30/1 YUY2", "640x480@30/1 YUY2"}
                                                          << 1920 << 1080 << 30.0f << "Default" << 0;
        QTest::newRow("30 opens 30") << ntscAndFull << 1920 << 1080 << 30.0f << "Default" << 0;
        QTest::newRow("29.97 opens 29.97") << ntscAndFull << 1920 << 1080 << 29.97f << "Default" << 1;
        QTest::newRow("59.94 opens 59.94") << ntscAndFull << 1920 << 1080 << 59.94f << "Default" << 3;
        QTest::newRow("23.976 opens 23.976") << ntscAndFull << 1920 << 1080 << 23.976f << "Default" << 5;
        QTest::newRow("29.97 matches a request of 30") << QStringList{"1280x720@30/1 YUY2", "1920x1080@30000/1001 YUY2"}
                                                      << 1920 << 1080 << 30.0f << "Default" << 1;
        QTest::newRow("25 does not match 30") << QStringList{"1920x1080@60/1 YUY2", "1920x1080@25/1 YUY2"}
                                             << 1920 << 1080 << 30.0f << "Default" << 0;
        QTest::newRow("25 matches 25") << QStringList{"1920x1080@60/1 YUY2", "1920x1080@25/1 YUY2"}
                                      << 1920 << 1080 << 25.0f << "Default" << 1;
    }
    void formatChoice()
    {
        QFETCH(QStringList, formats);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(float, fps);
        QFETCH(QString, colorRange);
        QFETCH(int, chosen);
        const auto list = parseFormats(formats);
        QCOMPARE(CameraFormatChoice::choose(list, width, height, fps, colorRange).capabilityIndex, chosen);
    }

    void aDeviceWithoutFormatsGetsTheRequest()
    {
        const VideoFormatInfo f = CameraFormatChoice::choose({}, 1280, 720, 29.97f, QStringLiteral("Default"));
        QCOMPARE(f.capabilityIndex, 0);
        QCOMPARE(f.width, 1280);
        QCOMPARE(f.height, 720);
        QCOMPARE(f.fpsNumerator, 29970);
        QCOMPARE(f.fpsDenominator, 1000);
        QVERIFY(f.formatName.empty());
    }

    void assignmentKeepsTheRequestNotTheOpenedFormat()
    {
        FakeDevices fake;
        fake.devices = {{L"Desk Cam", L"/dev/video0"}};
        fake.formats[L"/dev/video0"] = parseFormats({"1280x720@30/1 YUY2"});
        fake.openable = {L"/dev/video0"};
        CameraAssignments cameras(fake.layer());
        QSignalSpy video(&cameras, &CameraAssignments::channelVideoChanged);

        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Setting camera for channel 1 to \"/dev/video0\"");
        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Successfully started camera capture for channel 1 : \"Desk Cam\"");
        cameras.setCameraForChannel(1, QStringLiteral("/dev/video0"));
        QCOMPARE(fake.opened.width, 1280);
        QCOMPARE(cameras.getCameraLinkForChannel(1), QStringLiteral("/dev/video0"));
        QCOMPARE(cameras.getCameraNameForChannel(1), QStringLiteral("Desk Cam"));
        QCOMPARE(cameras.getCameraWidthForChannel(1), 1920);
        QCOMPARE(cameras.getCameraHeightForChannel(1), 1080);
        QCOMPARE(cameras.getCameraFramerateForChannel(1), 30.0f);
        QCOMPARE(cameras.getCameraColorRangeForChannel(1), QStringLiteral("Default"));
        QVERIFY(cameras.cameraSourceForChannel(1));
        QCOMPARE(video.size(), 1);
        QCOMPARE(video.at(0), QVariantList({1, true}));
    }

    void aDeviceGoneFromTheListIsNamedForItsChannel()
    {
        FakeDevices fake;
        fake.openable = {L"/dev/video5"};
        CameraAssignments cameras(fake.layer());
        cameras.setCameraForChannel(3, QStringLiteral("/dev/video5"), 640, 480, 30.0f, QStringLiteral("Default"));
        QCOMPARE(cameras.getCameraNameForChannel(3), QStringLiteral("Camera 3"));
    }

    void aFailedOpenLeavesAStaleAssignment()
    {
        FakeDevices fake;
        fake.devices = {{L"Desk Cam", L"/dev/video0"}};
        fake.openable = {L"/dev/video0"};
        CameraAssignments cameras(fake.layer());
        cameras.setCameraForChannel(2, QStringLiteral("/dev/video0"), 1280, 720, 25.0f, QStringLiteral("Default"));
        QSignalSpy video(&cameras, &CameraAssignments::channelVideoChanged);
        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Setting camera for channel 2 to \"/dev/video9\"");
        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Failed to start camera capture for channel 2");
        cameras.setCameraForChannel(2, QStringLiteral("/dev/video9"));
        QVERIFY(!cameras.cameraSourceForChannel(2));
        QCOMPARE(cameras.getCameraLinkForChannel(2), QStringLiteral("/dev/video0"));
        QCOMPARE(cameras.getCameraFramerateForChannel(2), 25.0f);
        QCOMPARE(video.size(), 0);
    }

    void defaultsWithoutAssignment()
    {
        FakeDevices fake;
        CameraAssignments cameras(fake.layer());
        QCOMPARE(cameras.getCameraLinkForChannel(4), QString());
        QCOMPARE(cameras.getCameraNameForChannel(4), QString());
        QCOMPARE(cameras.getCameraWidthForChannel(4), 1920);
        QCOMPARE(cameras.getCameraHeightForChannel(4), 1080);
        QCOMPARE(cameras.getCameraFramerateForChannel(4), 30.0f);
        QCOMPARE(cameras.getCameraColorRangeForChannel(4), QStringLiteral("Default"));
        QVERIFY(!cameras.isCameraRunningForChannel(4));
        QCOMPARE(cameras.getChannelCameraLink(3), 0);
        cameras.setChannelCameraLink(3, 7);
        QCOMPARE(cameras.getChannelCameraLink(3), 7);
        QVERIFY(cameras.getAvailableCameras().isEmpty());
        QVERIFY(cameras.getCameraFormats(QStringLiteral("/dev/video0")).isEmpty());
    }

    void scanResultsAnswerTheInterface()
    {
        FakeDevices fake;
        CameraAssignments cameras(fake.layer());
        const QVariantList list{QVariantMap{{"name", "Cam"}, {"link", "/dev/video0"}}};
        const QVariantList formats{QVariantMap{{"width", 640}, {"height", 480}, {"fps", 30.0}, {"formatName", "YUY2"}}};
        cameras.setScanResults(list, QVariantMap{{"/dev/video0", formats}});
        QCOMPARE(cameras.getAvailableCameras(), list);
        QCOMPARE(cameras.getCameraFormats(QStringLiteral("/dev/video0")), formats);
        QVERIFY(cameras.getCameraFormats(QStringLiteral("/dev/video1")).isEmpty());
    }

    // The rest runs real virtual cameras.
    void liveEmptyLinkAndRemoval()
    {
        qputenv("KORVEX_TEST_CAMERAS", "2");
        CameraAssignments cameras;
        QSignalSpy video(&cameras, &CameraAssignments::channelVideoChanged);
        cameras.setCameraForChannel(2, QStringLiteral("korvex-test://1"), 640, 480, 30.0f, QStringLiteral("Default"));
        QCOMPARE(cameras.getCameraNameForChannel(2), QStringLiteral("Korvex Test Camera 1"));
        const std::shared_ptr<CameraCapture> reader = cameras.cameraSourceForChannel(2);
        QVERIFY(reader && reader->isRunning());
        QVERIFY(cameras.isCameraRunningForChannel(2));
        QCOMPARE(video.size(), 1);

        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Setting camera for channel 2 to \"\"");
        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] Disabled camera capture for channel 2");
        cameras.setCameraForChannel(2, QString());
        QVERIFY(!cameras.cameraSourceForChannel(2));
        QVERIFY(!cameras.isCameraRunningForChannel(2));
        QVERIFY(!reader->isRunning()); // stopped, but alive for the reader that holds it
        std::vector<uint8_t> frame;
        reader->getLatestFrame(frame);
        QCOMPARE(frame.size(), std::size_t(640 * 480 * 4));
        QCOMPARE(cameras.getCameraLinkForChannel(2), QStringLiteral("korvex-test://1"));
        QCOMPARE(video.size(), 1);

        cameras.removeCameraFromChannel(2);
        QCOMPARE(cameras.getCameraLinkForChannel(2), QString());
        QCOMPARE(video.size(), 2);
        QCOMPARE(video.at(1), QVariantList({2, false}));
    }

    void replacingASourceStopsTheOldOne()
    {
        qputenv("KORVEX_TEST_CAMERAS", "2");
        CameraAssignments cameras;
        cameras.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f, QStringLiteral("Default"));
        const auto first = cameras.cameraSourceForChannel(1);
        cameras.setCameraForChannel(1, QStringLiteral("korvex-test://2"), 1280, 720, 60.0f, QStringLiteral("Default"));
        const auto second = cameras.cameraSourceForChannel(1);
        QVERIFY(first && second && first != second);
        QVERIFY(!first->isRunning());
        QVERIFY(second->isRunning());
        QCOMPARE(second->width(), 1280);
    }

    void aStaleAssignmentCanBePutBack()
    {
        qputenv("KORVEX_TEST_CAMERAS", "2");
        CameraAssignments cameras;
        cameras.setCameraForChannel(3, QStringLiteral("korvex-test://2"), 640, 480, 30.0f, QStringLiteral("Default"));
        QSignalSpy video(&cameras, &CameraAssignments::channelVideoChanged);
        cameras.restoreStaleCameraForChannel(3, QStringLiteral("korvex-test://1"), 1280, 720, 29.97f,
                                             QStringLiteral("Partial (16-235 TV)"));
        QVERIFY(!cameras.cameraSourceForChannel(3));
        QCOMPARE(cameras.getCameraLinkForChannel(3), QStringLiteral("korvex-test://1"));
        QCOMPARE(cameras.getCameraNameForChannel(3), QStringLiteral("Korvex Test Camera 1"));
        QCOMPARE(cameras.getCameraFramerateForChannel(3), 29.97f);
        QCOMPARE(cameras.getCameraColorRangeForChannel(3), QStringLiteral("Partial (16-235 TV)"));
        QCOMPARE(video.size(), 0);
    }

    void inventoryDocument_data()
    {
        QTest::addColumn<bool>("withCamera");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no camera") << false
            << QByteArray("{\"audioDevices\":[\"Default system input\",\"USB Mic\"],\"videoDevices\":[]}");
        QTest::newRow("one camera") << true
            << QByteArray("{\"audioDevices\":[\"Default system input\",\"USB Mic\"],\"videoDevices\":[{\"formats\":["
                          "{\"formatName\":\"MJPEG\",\"fps\":29.970029830932617,\"height\":1080,\"width\":1920},"
                          "{\"formatName\":\"YUY2\",\"fps\":30,\"height\":480,\"width\":640},"
                          "{\"formatName\":\"Unknown\",\"fps\":30,\"height\":240,\"width\":320}],"
                          "\"link\":\"/dev/v4l/by-id/usb-cam\",\"name\":\"Desk \\\"Cam\\\"\"}]}");
    }
    void inventoryDocument()
    {
        QFETCH(bool, withCamera);
        QFETCH(QByteArray, expected);
        FakeDevices fake;
        if (withCamera) {
            fake.devices = {{L"Desk \"Cam\"", L"/dev/v4l/by-id/usb-cam"}};
            fake.formats[L"/dev/v4l/by-id/usb-cam"] =
                parseFormats({"1920x1080@30000/1001 MJPEG", "640x480@30/1 YUY2", "320x240@30/0 Unknown"});
        }
        CameraAssignments cameras(fake.layer());
        const QStringList audio{QStringLiteral("Default system input"), QStringLiteral("USB Mic")};
        QCOMPARE(cameras.buildDevicesInfoDocument(audio), expected);

        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        {
            QFile old(QStringLiteral("devices_info.json"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(4096, 'x'));
        }
        cameras.saveDevicesInfoFile(audio);
        QFile file(QStringLiteral("devices_info.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        QDir::setCurrent(previous);
    }
};

QTEST_GUILESS_MAIN(TestCameraAssignments)
#include "tst_camera_assignments.moc"
