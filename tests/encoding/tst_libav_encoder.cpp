#include "MediaProbe.h"
#include "encoding/libav/LibavEncoder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::vector<uint8_t> solidPixels(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> px(size_t(w) * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = 255;
    }
    return px;
}

VideoFrame solidFrame(int w, int h, uint8_t r, uint8_t g, uint8_t b, int64_t index)
{
    return VideoFrame::fromPixels(solidPixels(w, h, r, g, b), w, h, index);
}

// Top half red, bottom half blue.
VideoFrame splitFrame(int w, int h, int64_t index)
{
    std::vector<uint8_t> px = solidPixels(w, h, 255, 0, 0);
    for (int y = h / 2; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t *p = &px[(size_t(y) * w + x) * 4];
            p[0] = 0;
            p[2] = 255;
        }
    }
    return VideoFrame::fromPixels(std::move(px), w, h, index);
}

VideoFrame noiseFrame(int w, int h, int64_t index, std::mt19937 &rng)
{
    std::vector<uint8_t> px = solidPixels(w, h, 0, 0, 0);
    for (size_t i = 0; i < px.size(); i += 4) {
        const uint32_t v = rng();
        px[i] = uint8_t(v);
        px[i + 1] = uint8_t(v >> 8);
        px[i + 2] = uint8_t(v >> 16);
    }
    return VideoFrame::fromPixels(std::move(px), w, h, index);
}

EncoderSettings settingsFor(const QString &path, int w, int h, double fps = 30.0)
{
    EncoderSettings s;
    s.outputPath = path.toStdWString();
    s.width = w;
    s.height = h;
    s.fps = fps;
    return s;
}

// The pixel at (x, y) of a packed RGB24 picture of width w.
QColor pixelAt(const std::vector<uint8_t> &rgb, int w, int x, int y)
{
    const size_t i = (size_t(y) * w + x) * 3;
    if (i + 2 >= rgb.size())
        return {};
    return QColor(rgb[i], rgb[i + 1], rgb[i + 2]);
}

bool near(const QColor &c, int r, int g, int b, int tolerance)
{
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance
        && std::abs(c.blue() - b) <= tolerance;
}

// The x264 settings line the encoder writes into the stream.
QByteArray x264Options(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    const int at = data.indexOf("options: ");
    return at < 0 ? QByteArray() : data.mid(at, data.indexOf('\0', at) - at);
}

} // namespace

class LibavEncoderTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { av_log_set_level(AV_LOG_WARNING); }

    void codecSizeCountAndRate_data()
    {
        QTest::addColumn<bool>("hevc");
        QTest::addColumn<double>("fps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("h264 29.97") << false << 29.97 << "h264,320,240,30000/1001,30";
        QTest::newRow("h264 30") << false << 30.0 << "h264,320,240,30/1,30";
        QTest::newRow("h264 33.3333") << false << 33.3333 << "h264,320,240,33333/1000,30";
        QTest::newRow("hevc 30") << true << 30.0 << "hevc,320,240,30/1,30";
    }
    void codecSizeCountAndRate()
    {
        QFETCH(bool, hevc);
        QFETCH(double, fps);
        QFETCH(QString, expected);
        const QString file = path(QString("rate_%1_%2.mp4").arg(hevc).arg(fps));
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file, 320, 240, fps);
        s.useHevc = hevc;
        QVERIFY(enc.open(s));
        for (int i = 0; i < 30; ++i)
            enc.pushFrame(solidFrame(320, 240, 10, 200, 30, i));
        enc.stop();
        QCOMPARE(enc.stats().framesEncoded, 30);
        QCOMPARE(enc.stats().framesDropped, 0);
        QCOMPARE(MediaProbe::videoSummary(file), expected);
    }

    void sampleTimeFollowsFrameIndex()
    {
        const QString file = path("times.mp4");
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file, 160, 120);
        s.bFrames = 0;
        QVERIFY(enc.open(s));
        enc.pushFrame(solidFrame(160, 120, 0, 0, 0, 0));
        enc.pushFrame(solidFrame(160, 120, 0, 0, 0, 1));
        enc.pushFrame(solidFrame(160, 120, 0, 0, 0, 90));
        enc.stop();
        QCOMPARE(MediaProbe::frameTimes(file), (QStringList{"0.000000", "0.033333", "3.000000"}));
    }

    void letterboxAndOrientation()
    {
        // A 640x480 picture in a 1920x1080 file: pillarbox bars of 240 pixels.
        const QString file = path("letterbox.mp4");
        LibavEncoder enc;
        QVERIFY(enc.open(settingsFor(file, 1920, 1080)));
        enc.pushFrame(splitFrame(640, 480, 0));
        enc.stop();
        const std::vector<uint8_t> rgb = MediaProbe::firstFrameRgb(file);
        QCOMPARE(rgb.size(), size_t(1920 * 1080 * 3));
        QVERIFY(near(pixelAt(rgb, 1920, 100, 200), 0, 0, 0, 12));
        QVERIFY(near(pixelAt(rgb, 1920, 1820, 900), 0, 0, 0, 12));
        QVERIFY2(near(pixelAt(rgb, 1920, 260, 200), 255, 0, 0, 40), "top of the picture must be red");
        QVERIFY2(near(pixelAt(rgb, 1920, 1650, 900), 0, 0, 255, 40), "bottom of the picture must be blue");
        QVERIFY(near(pixelAt(rgb, 1920, 230, 540), 0, 0, 0, 12));
        QVERIFY(!near(pixelAt(rgb, 1920, 250, 540), 0, 0, 0, 12));
    }

    void colourTagsAndConversion_data()
    {
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("tags"); // range, matrix, transfer, primaries
        QTest::newRow("Rec.709 limited") << "Rec.709" << "Limited (16-235)" << "tv,bt709,bt709,bt709";
        QTest::newRow("Rec.2020 full") << "Rec.2020" << "Full (0-255)" << "pc,bt2020nc,bt2020-10,bt2020";
        QTest::newRow("Rec.601 limited") << "Rec.601" << "Limited (16-235)" << "tv,smpte170m,bt709,smpte170m";
        // Nothing signalled: H.264 then means limited range, which the
        // colour check below confirms.
        QTest::newRow("sRGB untagged") << "sRGB" << "Limited (16-235)" << "unknown,unknown,unknown,unknown";
    }
    void colourTagsAndConversion()
    {
        QFETCH(QString, space);
        QFETCH(QString, range);
        QFETCH(QString, tags);
        const QString file = path("colour_" + QString::number(qHash(space + range)) + ".mp4");
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file, 64, 64);
        s.colorSpace = space.toStdWString();
        s.colorRange = range.toStdWString();
        QVERIFY(enc.open(s));
        enc.pushFrame(solidFrame(64, 64, 200, 60, 30, 0));
        enc.stop();
        QCOMPARE(MediaProbe::colorTags(file), tags);
        // Decoded with the file's own tags, the colour comes back.
        const std::vector<uint8_t> rgb = MediaProbe::firstFrameRgb(file);
        const QColor c = pixelAt(rgb, 64, 32, 32);
        QVERIFY2(near(c, 200, 60, 30, 8), qPrintable(c.name()));
    }

    void rateControlOptions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("CBR") << 0 << QStringList{"rc=cbr", "bitrate=8000", "vbv_maxrate=8000", "vbv_bufsize=8000"}
                             << QStringList{"rc=cqp"};
        QTest::newRow("VBR") << 1 << QStringList{"rc=abr", "bitrate=8000", "vbv_maxrate=12000"}
                             << QStringList{"rc=cbr", "rc=cqp"};
        QTest::newRow("CQP") << 2 << QStringList{"rc=cqp", "qp=23"} << QStringList{"bitrate=", "vbv_maxrate"};
    }
    void rateControlOptions()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const QString file = path(QString("rc_%1.mp4").arg(mode));
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file, 160, 120);
        s.rateControl = mode;
        s.targetBitrateKbps = 8000;
        s.maxBitrateKbps = 12000;
        s.cqpLevel = 23;
        s.keyframeIntervalSec = 2;
        s.bFrames = 3;
        QVERIFY(enc.open(s));
        enc.pushFrame(solidFrame(160, 120, 1, 2, 3, 0));
        enc.stop();
        const QByteArray options = x264Options(file);
        QVERIFY2(!options.isEmpty(), "x264 writes its settings into the stream");
        QVERIFY2(options.contains("keyint=60 "), options.constData());
        QVERIFY2(options.contains("bframes=3 "), options.constData());
        for (const QString &p : present)
            QVERIFY2(options.contains(p.toUtf8()), qPrintable(p + " missing in " + options));
        for (const QString &a : absent)
            QVERIFY2(!options.contains(a.toUtf8()), qPrintable(a + " present in " + options));
    }

    void setBitrateChangesRunningEncoder()
    {
        const QString file = path("bitrate.mp4");
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file, 320, 180);
        s.targetBitrateKbps = 200;
        s.maxBitrateKbps = 200;
        QVERIFY(enc.open(s));
        std::mt19937 rng(7);
        for (int i = 0; i < 180; ++i) {
            if (i == 90)
                enc.setBitrate(2000);
            enc.pushFrame(noiseFrame(320, 180, i, rng));
            QTest::qWait(2); // a paced pump, so the queue never overflows
            while (enc.stats().framesQueued - enc.stats().framesEncoded > 20)
                QTest::qWait(5);
        }
        enc.stop();
        QCOMPARE(enc.stats().framesDropped, 0);
        const QStringList packets = MediaProbe::run("ffprobe", {"-v", "error", "-select_streams", "v:0",
                                                                "-show_entries", "packet=pts_time,size", "-of",
                                                                "csv=p=0", file})
                                        .split('\n', Qt::SkipEmptyParts);
        qint64 first = 0, second = 0;
        for (const QString &line : packets) {
            const QStringList f = line.split(',');
            if (f.size() < 2)
                continue;
            (f[0].toDouble() < 3.0 ? first : second) += f[1].toLongLong();
        }
        // a tenfold raise takes the rate control a moment to reach; an
        // ignored change would leave the two halves alike
        QVERIFY2(second > 5 * first / 2, qPrintable(QString("first %1 second %2").arg(first).arg(second)));
    }

    void stopDrainsQueueAndTwiceIsHarmless()
    {
        const QString file = path("drain.mp4");
        LibavEncoder enc;
        QVERIFY(enc.open(settingsFor(file, 640, 360)));
        const int n = enc.queueCapacity();
        for (int i = 0; i < n; ++i)
            enc.pushFrame(solidFrame(640, 360, uint8_t(i * 8), 0, 0, i));
        enc.stop();
        enc.stop();
        enc.pushFrame(solidFrame(640, 360, 0, 0, 0, n)); // after stop: ignored
        QCOMPARE(enc.stats().framesEncoded, n);
        QCOMPARE(MediaProbe::frameCount(file), n);
    }

    void boundedQueueCountsDrops()
    {
        const QString file = path("overflow.mp4");
        LibavEncoder enc;
        QVERIFY(enc.open(settingsFor(file, 320, 180)));
        const int pushed = enc.queueCapacity() * 8;
        // The frames are made first and moved in, so the pushes take
        // microseconds and overrun the queue while the worker encodes its
        // first frames, however fast this build encodes.
        std::mt19937 rng(3);
        const VideoFrame noise = noiseFrame(320, 180, 0, rng);
        std::vector<VideoFrame> frames(size_t(pushed), noise);
        for (int i = 0; i < pushed; ++i)
            frames[size_t(i)].frameIndex = i;
        for (VideoFrame &f : frames)
            enc.pushFrame(std::move(f));
        enc.stop();
        const EncoderStats st = enc.stats();
        QVERIFY(st.framesDropped > 0);
        QCOMPARE(st.framesQueued + st.framesDropped, pushed);
        QCOMPARE(MediaProbe::frameCount(file), st.framesEncoded);
        QVERIFY(st.bytesWritten > 0);
        QCOMPARE(st.bytesWritten, QFileInfo(file).size());
    }

    void badFramesAreDroppedNotWritten()
    {
        const QString file = path("bad.mp4");
        LibavEncoder enc;
        QVERIFY(enc.open(settingsFor(file, 160, 120)));
        enc.pushFrame(VideoFrame::fromPixels(std::vector<uint8_t>(100, 0), 160, 120, 0)); // far too short
        enc.pushFrame(solidFrame(160, 120, 0, 0, 0, 1));
        enc.pushFrame(solidFrame(160, 120, 0, 0, 0, 1)); // repeated index
        enc.stop();
        QCOMPARE(enc.stats().framesEncoded, 1);
        QCOMPARE(enc.stats().framesDropped, 2);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<int>("width");
        QTest::newRow("missing folder") << "/nonexistent/folder/x.mp4" << "" << 320;
        QTest::newRow("unknown encoder") << "unknown.mp4" << "no_such_encoder" << 320;
        QTest::newRow("zero size") << "zero.mp4" << "" << 0;
    }
    void openFailures()
    {
        QFETCH(QString, file);
        QFETCH(QString, encoder);
        QFETCH(int, width);
        LibavEncoder enc;
        EncoderSettings s = settingsFor(file.startsWith('/') ? file : path(file), width, 240);
        s.encoderName = encoder.toStdString();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\\[LibavEncoder\\]"));
        QVERIFY(!enc.open(s));
        enc.pushFrame(solidFrame(320, 240, 0, 0, 0, 0));
        enc.stop();
        QCOMPARE(enc.stats().framesQueued, 0);
    }
};

QTEST_GUILESS_MAIN(LibavEncoderTest)
#include "tst_libav_encoder.moc"
