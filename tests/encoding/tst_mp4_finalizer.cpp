#include "MediaProbe.h"
#include "encoding/libav/LibavEncoder.h"
#include "encoding/mp4/Mp4Finalizer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

extern "C" {
#include <libavutil/log.h>
}

namespace {

struct BoxAt
{
    QByteArray type;
    qint64 offset = 0;
    qint64 size = 0;
    int header = 8;
};

quint32 be32(const QByteArray &b, qint64 at)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

void putBe32(QByteArray &b, qint64 at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (24 - 8 * i));
}

// The top-level boxes of a file, read without loading the media data.
QList<BoxAt> topLevel(const QString &path)
{
    QList<BoxAt> boxes;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return boxes;
    qint64 pos = 0;
    while (pos + 8 <= f.size()) {
        f.seek(pos);
        const QByteArray h = f.read(16);
        BoxAt b{h.mid(4, 4), pos, be32(h, 0), 8};
        if (b.size == 1) {
            b.size = qint64(quint64(be32(h, 8)) << 32 | be32(h, 12));
            b.header = 16;
        }
        if (b.size < 8)
            break;
        boxes.append(b);
        pos += b.size;
    }
    return boxes;
}

QByteArrayList typesOf(const QList<BoxAt> &boxes)
{
    QByteArrayList types;
    for (const BoxAt &b : boxes)
        types.append(b.type);
    return types;
}

std::optional<BoxAt> first(const QList<BoxAt> &boxes, const char *type)
{
    for (const BoxAt &b : boxes) {
        if (b.type == type)
            return b;
    }
    return std::nullopt;
}

// Children of the box at `offset` inside `data` (which holds the whole file
// or the whole box).
QList<BoxAt> boxesIn(const QByteArray &data, const BoxAt &box)
{
    QList<BoxAt> list;
    qint64 pos = box.offset + box.header;
    while (pos + 8 <= box.offset + box.size) {
        BoxAt b{data.mid(pos + 4, 4), pos, be32(data, pos), 8};
        if (b.size < 8)
            break;
        list.append(b);
        pos += b.size;
    }
    return list;
}

// The sample table's box types of the (only) track of a movie box.
QByteArrayList sampleTableTypes(const QByteArray &moov)
{
    BoxAt box{"moov", 0, moov.size(), 8};
    for (const char *path : {"trak", "mdia", "minf", "stbl"}) {
        const auto next = first(boxesIn(moov, box), path);
        if (!next)
            return {};
        box = *next;
    }
    return typesOf(boxesIn(moov, box));
}

QByteArray readRange(const QString &path, qint64 offset, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(offset))
        return {};
    return f.read(size);
}

// Presentation and decode times with the key flag of every packet.
QString packetTimes(const QString &file)
{
    return MediaProbe::run("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pts,dts,flags",
                                       "-of", "csv=p=0", file});
}

double durationOf(const QString &file)
{
    return MediaProbe::run("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", file})
        .toDouble();
}

bool decodesCleanly(const QString &file)
{
    QProcess p;
    p.start("ffmpeg", {"-v", "error", "-xerror", "-i", file, "-f", "null", "-"});
    return p.waitForFinished(120000) && p.exitCode() == 0 && p.readAllStandardError().isEmpty();
}

// 90 frames at 30 fps, a key frame every second: three fragments.
bool recordFragmented(const QString &path, int bFrames)
{
    EncoderSettings s;
    s.outputPath = path.toStdWString();
    s.width = 160;
    s.height = 120;
    s.keyframeIntervalSec = 1;
    s.bFrames = bFrames;
    LibavEncoder encoder;
    encoder.setFinalizeAtStop(false);
    if (!encoder.open(s))
        return false;
    for (int i = 0; i < 90; ++i) {
        std::vector<uint8_t> px(size_t(160) * 120 * 4, 255);
        for (size_t p = 0; p < px.size(); p += 4)
            px[p] = uint8_t((p / 4 + size_t(i) * 7) % 251);
        encoder.pushFrame(VideoFrame::fromPixels(std::move(px), 160, 120, i));
        // Stay below the queue bound without depending on encode speed.
        while (encoder.stats().framesEncoded + encoder.stats().framesDropped < i - 10)
            QTest::qWait(1);
    }
    encoder.stop();
    return encoder.stats().framesEncoded == 90;
}

} // namespace

class TestMp4Finalizer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_plain;   // fragmented, no B-frames
    QString m_bframes; // fragmented, two B-frames

    QString copyOf(const QString &source, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        return QFile::copy(source, path) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        av_log_set_level(AV_LOG_WARNING);
        QVERIFY(m_dir.isValid());
        m_plain = m_dir.filePath("plain.mp4");
        m_bframes = m_dir.filePath("bframes.mp4");
        QVERIFY(recordFragmented(m_plain, 0));
        QVERIFY(recordFragmented(m_bframes, 2));
        QCOMPARE(typesOf(topLevel(m_bframes)).count("moof"), 3);
    }

    void becomesRegularInPlace_data()
    {
        QTest::addColumn<bool>("bFrames");
        QTest::newRow("I and P frames") << false;
        QTest::newRow("B-frames") << true;
    }

    void becomesRegularInPlace()
    {
        QFETCH(bool, bFrames);
        const QString path = copyOf(bFrames ? m_bframes : m_plain, "regular.mp4");
        const QList<BoxAt> before = topLevel(path);
        const QString timesBefore = packetTimes(path);
        const BoxAt oldMoov = *first(before, "moov");
        const BoxAt index = *first(before, "mfra");
        const QByteArray mediaBefore = readRange(path, oldMoov.offset + oldMoov.size, index.offset - oldMoov.offset - oldMoov.size);

        const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString());
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.fragments, 3);
        QCOMPARE(r.samples, int64_t(90));

        const QList<BoxAt> after = topLevel(path);
        QCOMPARE(typesOf(after), (QByteArrayList{"ftyp", "mdat", "moov"}));
        QCOMPARE(after[1].offset, oldMoov.offset);
        // The media data (and the old fragment headers inside the new mdat) did not move.
        QCOMPARE(readRange(path, oldMoov.offset + oldMoov.size, index.offset - oldMoov.offset - oldMoov.size), mediaBefore);
        QCOMPARE(after[2].offset, index.offset);

        const QByteArray moov = readRange(path, after[2].offset, after[2].size);
        const QByteArrayList table = sampleTableTypes(moov);
        QVERIFY2(table.contains("stts") && table.contains("stsz") && table.contains("stsc") && table.contains("stco")
                     && table.contains("stss"),
                 table.join(' ').constData());
        QCOMPARE(table.contains("ctts"), bFrames);
        QVERIFY(!moov.contains("mvex"));

        QCOMPARE(packetTimes(path), timesBefore);
        QCOMPARE(MediaProbe::frameCount(path), 90);
        QCOMPARE(durationOf(path), 3.0);
        QVERIFY(decodesCleanly(path));
    }

    // A process that dies at any point of the finalizing leaves a file that
    // still decodes every frame at the same times.
    void everyInterruptedStateDecodes()
    {
        const QString timesBefore = packetTimes(m_bframes);
        for (int writes = 0; writes <= 3; ++writes) {
            const QString path = copyOf(m_bframes, QString("interrupted_%1.mp4").arg(writes));
            const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString(), writes);
            QVERIFY2(!r.ok, qPrintable(QString("after %1 writes").arg(writes)));
            QCOMPARE(MediaProbe::frameCount(path), 90);
            QCOMPARE(packetTimes(path), timesBefore);
        }
    }

    void brokenFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("cut off inside the last fragment") << "truncate";
        QTest::newRow("run claims more samples than it holds") << "count";
        QTest::newRow("run points past the media data") << "offset";
        QTest::newRow("fragment of an unknown track") << "track";
        QTest::newRow("box size past the end of the file") << "boxsize";
    }

    void brokenFileIsLeftAlone()
    {
        QFETCH(QString, damage);
        const QString path = copyOf(m_plain, "broken.mp4");
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const QList<BoxAt> top = topLevel(path);
        const BoxAt moof = top[top.size() - 3]; // last moof, mdat, mfra
        const BoxAt traf = *first(boxesIn(bytes, moof), "traf");
        const BoxAt tfhd = *first(boxesIn(bytes, traf), "tfhd");
        const BoxAt trun = *first(boxesIn(bytes, traf), "trun");
        if (damage == "truncate")
            bytes.truncate(int(top.last().offset - 100));
        else if (damage == "count")
            putBe32(bytes, trun.offset + 12, 0x7fffffff);
        else if (damage == "offset")
            putBe32(bytes, trun.offset + 16, 0x7ffffff0);
        else if (damage == "track")
            putBe32(bytes, tfhd.offset + 12, 7);
        else
            putBe32(bytes, moof.offset, quint32(moof.size + bytes.size()));
        f.resize(0);
        f.write(bytes);
        f.close();

        const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString());
        QVERIFY(!r.ok);
        QVERIFY(!r.error.empty());
        QFile again(path);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), bytes);
    }

    void regularFileIsNotTouched()
    {
        const QString path = copyOf(m_plain, "twice.mp4");
        QVERIFY(Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString()).ok);
        const QByteArray once = readRange(path, 0, QFileInfo(path).size());
        const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString());
        QVERIFY(!r.ok);
        QCOMPARE(readRange(path, 0, QFileInfo(path).size()), once);
    }

    // Fragments beyond 4 GiB: a sparse gap in a 'free' box after the first
    // fragment pushes the others past 32-bit offsets without writing gigabytes.
    void offsetsBeyondFourGibUseCo64()
    {
        const QList<BoxAt> source = topLevel(m_bframes);
        const BoxAt secondMoof = source[4]; // ftyp moov moof mdat moof ...
        const BoxAt index = source.last();
        const QString path = m_dir.filePath("large.mp4");
        QFile::remove(path);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(readRange(m_bframes, 0, secondMoof.offset));
        const qint64 gap = (qint64(1) << 32) + 4096;
        QByteArray header(16, '\0');
        putBe32(header, 0, 1);
        header.replace(4, 4, "free");
        putBe32(header, 8, quint32(quint64(gap) >> 32));
        putBe32(header, 12, quint32(gap));
        out.write(header);
        QVERIFY(out.seek(secondMoof.offset + gap));
        out.write(readRange(m_bframes, secondMoof.offset, index.offset - secondMoof.offset));
        out.close();
        const QString timesBefore = packetTimes(path);
        QCOMPARE(timesBefore, packetTimes(m_bframes));

        const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString());
        QVERIFY2(r.ok, r.error.c_str());
        const QList<BoxAt> after = topLevel(path);
        QCOMPARE(typesOf(after), (QByteArrayList{"ftyp", "mdat", "moov"}));
        QCOMPARE(after[1].header, 16);
        const QByteArrayList table = sampleTableTypes(readRange(path, after[2].offset, after[2].size));
        QVERIFY(table.contains("co64"));
        QVERIFY(!table.contains("stco"));
        QCOMPARE(packetTimes(path), timesBefore);
        QCOMPARE(MediaProbe::frameCount(path), 90);
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestMp4Finalizer)
#include "tst_mp4_finalizer.moc"
