#include "FakeV4l2Api.h"

#include "capture/CameraCapture.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

namespace {

FakeDevice device(uint32_t fourcc, uint32_t w, uint32_t h)
{
    FakeDevice d;
    d.card = "Test Webcam";
    FakeFormat f;
    f.fourcc = fourcc;
    FakeSize s;
    s.width = w;
    s.height = h;
    s.intervals = {FakeInterval{}};
    f.sizes = {s};
    d.formats = {f};
    return d;
}

VideoFormatInfo format(int w, int h)
{
    VideoFormatInfo f;
    f.width = w;
    f.height = h;
    return f;
}

// Left half white, right half black, as YUYV (limited range).
std::vector<uint8_t> yuyvHalves(int w, int h)
{
    std::vector<uint8_t> data(std::size_t(w) * h * 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; x += 2) {
            uint8_t *p = data.data() + (std::size_t(y) * w + x) * 2;
            const uint8_t luma = x < w / 2 ? 235 : 16;
            p[0] = luma; p[1] = 128; p[2] = luma; p[3] = 128;
        }
    return data;
}

std::vector<uint8_t> jpegOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

bool waitForFrames(FakeV4l2Api &api, int count)
{
    return QTest::qWaitFor([&] { return api.dequeued.load() >= count; }, 3000);
}

const uint8_t *pixel(const std::vector<uint8_t> &frame, int w, int x, int y)
{
    return frame.data() + (std::size_t(y) * w + x) * 4;
}

} // namespace

class TestCameraCapture : public QObject
{
    Q_OBJECT

private slots:
    void openOnAMissingLinkFailsAndStaysReusable()
    {
        FakeV4l2Api api;
        CameraCapture camera(&api);
        QVERIFY(!camera.open(L"/dev/video7", format(64, 32)));
        QVERIFY(!camera.isRunning());
        QCOMPARE(api.openCount(), 0);

        api.devices["/dev/video7"] = device(V4L2_PIX_FMT_YUYV, 64, 32);
        QVERIFY(camera.open(L"/dev/video7", format(64, 32)));
        QVERIFY(camera.isRunning());
        camera.stop();
        camera.stop();
        QVERIFY(!camera.isRunning());
        QCOMPARE(api.openCount(), 0);
    }

    void aZeroFrameIsReadBeforeTheFirstOne()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = device(V4L2_PIX_FMT_YUYV, 64, 32);
        CameraCapture camera(&api);
        QVERIFY(camera.open(L"/dev/video0", format(64, 32)));
        std::vector<uint8_t> frame{1, 2, 3};
        camera.getLatestFrame(frame);
        QCOMPARE(frame, std::vector<uint8_t>(64 * 32 * 4, 0));
    }

    void yuyvFramesAreConverted()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = device(V4L2_PIX_FMT_YUYV, 64, 32);
        CameraCapture camera(&api);
        QVERIFY(camera.open(L"/dev/video0", format(64, 32)));
        QCOMPARE(api.current.pixelformat, uint32_t(V4L2_PIX_FMT_YUYV));
        QCOMPARE(api.requestedInterval.denominator, 30u);
        api.pushFrame(yuyvHalves(64, 32));
        QVERIFY(waitForFrames(api, 1));
        std::vector<uint8_t> frame;
        QVERIFY(QTest::qWaitFor([&] { camera.getLatestFrame(frame); return frame[3] == 255; }, 2000));
        const uint8_t *white = pixel(frame, 64, 5, 10);
        const uint8_t *black = pixel(frame, 64, 60, 10);
        for (int c = 0; c < 3; ++c) {
            QVERIFY2(white[c] >= 250, qPrintable(QString::number(white[c])));
            QVERIFY2(black[c] <= 5, qPrintable(QString::number(black[c])));
        }
        QCOMPARE(int(white[3]), 255);
    }

    void mjpegFramesAreDecoded()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = device(V4L2_PIX_FMT_MJPEG, 64, 32);
        CameraCapture camera(&api);
        QVERIFY(camera.open(L"/dev/video0", format(64, 32)));
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(QColor(200, 40, 40));
        api.pushFrame(jpegOf(image));
        QVERIFY(waitForFrames(api, 1));
        std::vector<uint8_t> frame;
        QVERIFY(QTest::qWaitFor([&] { camera.getLatestFrame(frame); return frame[3] == 255; }, 2000));
        const uint8_t *p = pixel(frame, 64, 30, 15);
        QVERIFY2(qAbs(p[0] - 200) < 12 && qAbs(p[1] - 40) < 12 && qAbs(p[2] - 40) < 12,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(p[0]).arg(p[1]).arg(p[2])));
    }

    void aBrokenFrameKeepsThePreviousOne()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = device(V4L2_PIX_FMT_YUYV, 64, 32);
        CameraCapture camera(&api);
        QVERIFY(camera.open(L"/dev/video0", format(64, 32)));
        api.pushFrame(yuyvHalves(64, 32));
        QVERIFY(waitForFrames(api, 1));
        std::vector<uint8_t> before;
        QVERIFY(QTest::qWaitFor([&] { camera.getLatestFrame(before); return before[3] == 255; }, 2000));
        api.pushFrame(std::vector<uint8_t>(100, 0)); // far too short
        QVERIFY(waitForFrames(api, 2));
        QTest::qWait(50);
        std::vector<uint8_t> after;
        camera.getLatestFrame(after);
        QCOMPARE(after, before);
        QVERIFY(camera.isRunning());
    }

    void anUnpluggedCameraStopsDelivering()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = device(V4L2_PIX_FMT_YUYV, 64, 32);
        auto camera = std::make_shared<CameraCapture>(&api);
        QVERIFY(camera->open(L"/dev/video0", format(64, 32)));
        api.pushFrame(yuyvHalves(64, 32));
        QVERIFY(waitForFrames(api, 1));
        api.unplug();
        QVERIFY(QTest::qWaitFor([&] { return !camera->isRunning(); }, 2000));
        std::vector<uint8_t> frame;
        camera->getLatestFrame(frame);
        QCOMPARE(frame.size(), std::size_t(64 * 32 * 4));
        camera->stop();
        camera.reset();
        QCOMPARE(api.openCount(), 0);
    }

    void rgb24FramesAreIgnoredWhileStopped()
    {
        CameraCapture camera;
        const std::vector<uint8_t> data(64 * 32 * 3, 200);
        camera.onFrame(data.data(), int(data.size()));
        std::vector<uint8_t> frame{9};
        camera.getLatestFrame(frame);
        QVERIFY(frame.empty());
        QCOMPARE(camera.width(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCameraCapture)
#include "tst_camera_capture.moc"
