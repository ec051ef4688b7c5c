#include "FakeV4l2Api.h"

#include "capture/FormatList.h"
#include "capture/v4l2/V4l2Inventory.h"

#include <QtTest>

namespace {

FakeInterval fps(uint32_t num, uint32_t den)
{
    FakeInterval i;
    i.num = num;
    i.den = den;
    return i;
}

FakeSize size(uint32_t w, uint32_t h, std::vector<FakeInterval> intervals)
{
    FakeSize s;
    s.width = w;
    s.height = h;
    s.intervals = std::move(intervals);
    return s;
}

QString describe(const VideoFormatInfo &f)
{
    return QStringLiteral("%1x%2@%3/%4 %5 #%6")
        .arg(f.width).arg(f.height).arg(f.fpsNumerator).arg(f.fpsDenominator)
        .arg(QString::fromStdString(f.formatName)).arg(f.capabilityIndex);
}

QStringList describeAll(const std::vector<VideoFormatInfo> &formats)
{
    QStringList out;
    for (const auto &f : formats)
        out << describe(f);
    return out;
}

// A webcam as its driver answers: YUYV 640x480 at 30 and 15, 1280x720 at 10;
// MJPEG 1280x720 at 30 and 29.97, 1920x1080 at 30, and 640x480 at 30 again.
FakeDevice webcam()
{
    FakeDevice d;
    d.card = "HD Pro Webcam C920";
    d.byId = "/dev/v4l/by-id/usb-046d_HD_Pro_Webcam_C920-video-index0";
    FakeFormat yuyv;
    yuyv.fourcc = V4L2_PIX_FMT_YUYV;
    yuyv.sizes = {size(640, 480, {fps(1, 30), fps(1, 15)}), size(1280, 720, {fps(1, 10)})};
    FakeFormat mjpeg;
    mjpeg.fourcc = V4L2_PIX_FMT_MJPEG;
    mjpeg.sizes = {size(1280, 720, {fps(1, 30), fps(1001, 30000)}), size(1920, 1080, {fps(1, 30)}),
                   size(640, 480, {fps(1, 30), fps(1, 30)})};
    d.formats = {yuyv, mjpeg};
    return d;
}

} // namespace

class TestV4l2Inventory : public QObject
{
    Q_OBJECT

private slots:
    void devicesOfferingCaptureAreListedWithStableLinks()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = webcam();
        FakeDevice metadata;
        metadata.card = "HD Pro Webcam C920";
        metadata.caps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
        api.devices["/dev/video1"] = metadata;
        FakeDevice card;
        card.card = "Capture Card";
        api.devices["/dev/video2"] = card;

        const auto devices = V4l2Inventory::listDevices(api);
        QCOMPARE(devices.size(), std::size_t(2));
        QCOMPARE(QString::fromStdWString(devices[0].name), QStringLiteral("HD Pro Webcam C920"));
        QCOMPARE(QString::fromStdWString(devices[0].link),
                 QStringLiteral("/dev/v4l/by-id/usb-046d_HD_Pro_Webcam_C920-video-index0"));
        QCOMPARE(QString::fromStdWString(devices[1].name), QStringLiteral("Capture Card"));
        QCOMPARE(QString::fromStdWString(devices[1].link), QStringLiteral("/dev/video2"));
        QCOMPARE(api.openCount(), 0);
    }

    void formatNames_data()
    {
        QTest::addColumn<uint>("fourcc");
        QTest::addColumn<QString>("name");
        QTest::newRow("YUYV") << uint(V4L2_PIX_FMT_YUYV) << "YUY2";
        QTest::newRow("MJPG") << uint(V4L2_PIX_FMT_MJPEG) << "MJPEG";
        QTest::newRow("JPEG") << uint(V4L2_PIX_FMT_JPEG) << "MJPEG";
        QTest::newRow("BGR24") << uint(V4L2_PIX_FMT_BGR24) << "RGB24";
        QTest::newRow("RGB24") << uint(V4L2_PIX_FMT_RGB24) << "RGB24";
        QTest::newRow("NV12") << uint(V4L2_PIX_FMT_NV12) << "Unknown";
    }
    void formatNames()
    {
        QFETCH(uint, fourcc);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(V4l2Inventory::formatName(fourcc)), name);
    }

    void formatsAreListedDeduplicatedAndSorted()
    {
        FakeV4l2Api api;
        api.devices["/dev/video0"] = webcam();
        const auto raw = V4l2Inventory::rawFormats(api, "/dev/v4l/by-id/usb-046d_HD_Pro_Webcam_C920-video-index0");
        // capabilityIndex is the position in the device's own enumeration.
        QCOMPARE(describeAll(raw), QStringList({
            "640x480@30/1 YUY2 #0", "640x480@15/1 YUY2 #1", "1280x720@10/1 YUY2 #2",
            "1280x720@30/1 MJPEG #3", "1280x720@30000/1001 MJPEG #4", "1920x1080@30/1 MJPEG #5",
            "640x480@30/1 MJPEG #6", "640x480@30/1 MJPEG #7"}));

        const auto listed = V4l2Inventory::listFormats(api, "/dev/video0");
        // Largest area first; equal area by rate; equal size and rate keep the
        // device's order (YUY2 before MJPEG); the repeated MJPEG entry is gone.
        QCOMPARE(describeAll(listed), QStringList({
            "1920x1080@30/1 MJPEG #5", "1280x720@30/1 MJPEG #3", "1280x720@30000/1001 MJPEG #4",
            "1280x720@10/1 YUY2 #2", "640x480@30/1 YUY2 #0", "640x480@30/1 MJPEG #6",
            "640x480@15/1 YUY2 #1"}));
        QCOMPARE(api.openCount(), 0);
    }

    void stepwiseDevicesGetCommonModes()
    {
        FakeV4l2Api api;
        FakeDevice dev;
        dev.card = "HDMI Capture";
        FakeFormat f;
        f.fourcc = V4L2_PIX_FMT_YUYV;
        FakeSize range;
        range.discrete = false;
        range.minW = 640; range.maxW = 1920; range.stepW = 2;
        range.minH = 480; range.maxH = 1080; range.stepH = 2;
        FakeInterval continuous;
        continuous.discrete = false;
        continuous.minNum = 1; continuous.minDen = 30; // fastest 30 fps
        continuous.maxNum = 1; continuous.maxDen = 20; // slowest 20 fps
        range.intervals = {continuous};
        f.sizes = {range};
        dev.formats = {f};
        api.devices["/dev/video0"] = dev;

        QStringList listed;
        for (const auto &format : V4l2Inventory::listFormats(api, "/dev/video0"))
            listed << QStringLiteral("%1x%2@%3").arg(format.width).arg(format.height).arg(FormatList::rate(format));
        // Common sizes inside 640..1920 x 480..1080, common rates inside 20..30 fps.
        QStringList expected;
        for (const char *s : {"1920x1080", "1280x960", "1280x720", "1024x768", "960x540", "800x600", "640x480"})
            for (int rate : {30, 25, 24})
                expected << QStringLiteral("%1@%2").arg(QLatin1String(s)).arg(rate);
        QCOMPARE(listed, expected);
    }

    void unknownOrNonCaptureLinksListNothing_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("missing node") << "/dev/video9";
        QTest::newRow("metadata node") << "/dev/video1";
        QTest::newRow("not a device path") << "HD Pro Webcam C920";
    }
    void unknownOrNonCaptureLinksListNothing()
    {
        QFETCH(QString, link);
        FakeV4l2Api api;
        api.devices["/dev/video0"] = webcam();
        FakeDevice metadata;
        metadata.caps = V4L2_CAP_META_CAPTURE;
        api.devices["/dev/video1"] = metadata;
        QVERIFY(V4l2Inventory::listFormats(api, link.toStdString()).empty());
        QCOMPARE(api.openCount(), 0);
    }

    void sortIsStableForEqualSizeAndRate()
    {
        std::vector<VideoFormatInfo> formats;
        for (int i = 0; i < 40; ++i) {
            VideoFormatInfo f;
            f.capabilityIndex = i;
            f.width = 640;
            f.height = 480;
            f.fpsNumerator = 30;
            f.subtype = uint32_t(i); // all distinct, none dropped
            formats.push_back(f);
        }
        const auto sorted = FormatList::normalized(formats);
        QCOMPARE(sorted.size(), formats.size());
        for (int i = 0; i < 40; ++i)
            QCOMPARE(sorted[std::size_t(i)].capabilityIndex, i);
    }
};

QTEST_GUILESS_MAIN(TestV4l2Inventory)
#include "tst_v4l2_inventory.moc"
