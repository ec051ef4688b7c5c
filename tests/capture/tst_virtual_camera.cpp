#include "capture/CameraCapture.h"
#include "capture/virtual/TestMarks.h"
#include "capture/virtual/VirtualCameras.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtTest>
#include <chrono>
#include <cstdlib>

class TestVirtualCamera : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("KORVEX_TEST_CAMERAS", "2"); }

    void listingFollowsTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("count");
        QTest::newRow("unset") << QByteArray() << 0;
        QTest::newRow("one") << QByteArray("1") << 1;
        QTest::newRow("four") << QByteArray("4") << 4;
        QTest::newRow("five is not a count") << QByteArray("5") << 0;
        QTest::newRow("text") << QByteArray("yes") << 0;
    }
    void listingFollowsTheEnvironment()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, count);
        if (value.isNull())
            qunsetenv("KORVEX_TEST_CAMERAS");
        else
            qputenv("KORVEX_TEST_CAMERAS", value);
        std::vector<VideoDeviceInfo> virtuals;
        for (const auto &d : CameraCapture::enumerateVideoDevices())
            if (QString::fromStdWString(d.link).startsWith("korvex-test://"))
                virtuals.push_back(d);
        QCOMPARE(int(virtuals.size()), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(QString::fromStdWString(virtuals[std::size_t(i)].name), QStringLiteral("Korvex Test Camera %1").arg(i + 1));
            QCOMPARE(QString::fromStdWString(virtuals[std::size_t(i)].link), QStringLiteral("korvex-test://%1").arg(i + 1));
        }
    }

    void formatsAreTheFixedSet()
    {
        QStringList listed;
        for (const auto &f : CameraCapture::enumerateVideoFormats(L"korvex-test://2"))
            listed << QStringLiteral("%1x%2@%3").arg(f.width).arg(f.height).arg(f.fpsNumerator / f.fpsDenominator);
        QCOMPARE(listed, QStringList({"3840x2160@30", "1920x1080@60", "1920x1080@30", "1280x720@60",
                                      "1280x720@30", "640x480@60", "640x480@30"}));
        QVERIFY(CameraCapture::enumerateVideoFormats(L"korvex-test://3").empty());
    }

    void marksSurviveScaling_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("scaledWidth");
        QTest::newRow("640x480 as is") << 640 << 480 << 640;
        QTest::newRow("4K read at 1080p") << 3840 << 2160 << 1920;
        QTest::newRow("720p read at 1080p") << 1280 << 720 << 1920;
    }
    void marksSurviveScaling()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, scaledWidth);
        QImage image(width, height, QImage::Format_RGBA8888);
        image.fill(QColor(120, 60, 200));
        const TestMarks::Marks marks{3, 0xDEADBEEFu, 1765360000123LL};
        TestMarks::draw(image.bits(), width, height, marks);
        const QImage scaled = image.scaledToWidth(scaledWidth, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_RGBA8888);
        TestMarks::Marks read;
        QVERIFY(TestMarks::decodeRgba(scaled.constBits(), scaled.width(), scaled.height(), int(scaled.bytesPerLine()), read));
        QCOMPARE(read.camera, 3);
        QCOMPARE(read.frame, 0xDEADBEEFu);
        QCOMPARE(read.wallClockMs, 1765360000123LL);
    }

    void aPictureWithoutMarksDoesNotDecode()
    {
        QImage image(640, 480, QImage::Format_RGBA8888);
        image.fill(Qt::white);
        TestMarks::Marks read;
        QVERIFY(!TestMarks::decodeRgba(image.constBits(), 640, 480, int(image.bytesPerLine()), read));
        TestMarks::draw(image.bits(), 640, 480, {1, 7, 1000});
        for (int y = 0; y < 48; ++y)
            for (int x = 40 * 640 / 100; x < 41 * 640 / 100; ++x)
                for (int c = 0; c < 3; ++c)
                    image.bits()[(y * 640 + x) * 4 + c] ^= 0xFF; // one flipped data cell fails the checksum
        QVERIFY(!TestMarks::decodeRgba(image.constBits(), 640, 480, int(image.bytesPerLine()), read));
    }

    void deliversMarkedFramesAtItsRate()
    {
        CameraCapture camera;
        VideoFormatInfo format;
        for (const auto &f : CameraCapture::enumerateVideoFormats(L"korvex-test://2"))
            if (f.width == 640 && f.fpsNumerator == 60)
                format = f;
        QVERIFY(camera.open(L"korvex-test://2", format));
        QVERIFY(camera.isRunning());
        QCOMPARE(camera.width(), 640);
        QCOMPARE(camera.height(), 480);

        std::vector<uint8_t> frame;
        TestMarks::Marks first, last;
        QVERIFY(QTest::qWaitFor([&] {
            camera.getLatestFrame(frame);
            return TestMarks::decodeRgba(frame.data(), 640, 480, 640 * 4, first);
        }, 2000));
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(5000);
        camera.getLatestFrame(frame);
        const double seconds = clock.nsecsElapsed() / 1e9;
        QVERIFY(TestMarks::decodeRgba(frame.data(), 640, 480, 640 * 4, last));
        QCOMPARE(first.camera, 2);
        const double rate = (last.frame - first.frame) / seconds;
        QVERIFY2(qAbs(rate - 60.0) <= 60.0 * 0.02, qPrintable(QString::number(rate)));
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::system_clock::now().time_since_epoch()).count();
        QVERIFY(qAbs(now - last.wallClockMs) < 500);
        camera.stop();
        QVERIFY(!camera.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestVirtualCamera)
#include "tst_virtual_camera.moc"
