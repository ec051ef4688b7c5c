#include "capture/audio/AudioFormat.h"
#include "capture/audio/TakeAudioWriter.h"
#include "capture/audio/WavWriter.h"

#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

uint32_t u32(const QByteArray &b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16
           | uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t u16(const QByteArray &b, int at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

int16_t s16(const QByteArray &b, int at)
{
    return int16_t(u16(b, at));
}

// A writer that behaves as if hours of audio had already been written.
class LongTakeWriter : public WavWriter
{
public:
    void pretendWritten(uint64_t samples) { m_samplesWritten = samples; }
};
} // namespace

class TestWavWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void emptyFileIsTheBareHeader()
    {
        WavWriter writer;
        QVERIFY(writer.open(file("empty.wav").toStdString(), 48000, 2));
        QVERIFY(writer.isOpen());
        writer.close();
        QVERIFY(!writer.isOpen());
        const QByteArray b = readAll(file("empty.wav"));
        QCOMPARE(b.size(), 44);
        QCOMPARE(b.mid(0, 4), QByteArray("RIFF"));
        QCOMPARE(u32(b, 4), 36u);
        QCOMPARE(b.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u32(b, 16), 16u);
        QCOMPARE(u16(b, 20), uint16_t(1));
        QCOMPARE(u16(b, 22), uint16_t(2));
        QCOMPARE(u32(b, 24), 48000u);
        QCOMPARE(u32(b, 28), 192000u);
        QCOMPARE(u16(b, 32), uint16_t(4));
        QCOMPARE(u16(b, 34), uint16_t(16));
        QCOMPARE(b.mid(36, 4), QByteArray("data"));
        QCOMPARE(u32(b, 40), 0u);
    }

    void samplesAreConvertedAndSized()
    {
        WavWriter writer;
        QVERIFY(writer.open(file("four.wav").toStdString(), 48000, 2));
        writer.writeSamples({0.5f, -1.0f});
        writer.writeSamples({1.0f, -2.0f});
        writer.close();
        writer.writeSamples({0.25f}); // after close: nothing
        const QByteArray b = readAll(file("four.wav"));
        QCOMPARE(b.size(), 52);
        QCOMPARE(u32(b, 4), 44u);
        QCOMPARE(u32(b, 40), 8u);
        QCOMPARE(s16(b, 44), int16_t(16383));
        QCOMPARE(s16(b, 46), int16_t(-32767));
        QCOMPARE(s16(b, 48), int16_t(32767));
        QCOMPARE(s16(b, 50), int16_t(-32768));
    }

    void secondCloseLeavesTheFileAlone()
    {
        WavWriter writer;
        const QString path = file("twice.wav");
        QVERIFY(writer.open(path.toStdString(), 48000, 2));
        writer.writeSamples({0.1f, 0.2f});
        writer.close();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.write("XXXX");
        }
        writer.close();
        QCOMPARE(readAll(path).left(4), QByteArray("XXXX"));
    }

    void openFailsForAnUnwritablePath()
    {
        WavWriter writer;
        QVERIFY(!writer.open(file("no/such/folder/x.wav").toStdString(), 48000, 2));
        QVERIFY(!writer.isOpen());
        writer.writeSamples({0.5f});
        writer.close();
    }

    // A take killed mid-way keeps everything up to its last full second: the
    // header is refreshed and the file flushed every second of audio.
    void killedTakeStillStatesItsLength()
    {
        const QString path = file("killed.wav");
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            WavWriter writer;
            if (!writer.open(path.toStdString(), 48000, 2))
                _exit(3);
            const std::vector<float> tick(2400, 0.25f); // 25 ms of stereo
            for (int i = 0; i < 100; ++i)               // 2.5 s
                writer.writeSamples(tick);
            std::raise(SIGKILL);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        const QByteArray b = readAll(path);
        const uint32_t dataBytes = u32(b, 40);
        QCOMPARE(dataBytes, 2u * 192000u); // the refresh after the second second
        QCOMPARE(u32(b, 4), dataBytes + 36);
        QVERIFY(uint32_t(b.size()) >= 44 + dataBytes);
        QCOMPARE(s16(b, 44 + int(dataBytes) - 2), int16_t(8191));
    }

    // The take's files on their own thread: each file gets its blocks in
    // the order they were queued, whatever the interleaving, and nothing
    // after the finish or for a key without file.
    void takeWriterKeepsEachFileInOrder()
    {
        TakeAudioWriter take;
        for (const auto &[key, name] : {std::pair{-1, "master.wav"}, std::pair{3, "channel3.wav"}}) {
            auto writer = std::make_unique<WavWriter>();
            QVERIFY(writer->open(file(name).toStdString(), 48000, 2));
            take.addFile(key, std::move(writer));
        }
        take.start();
        QVERIFY(take.isRunning());
        for (int i = 0; i < 200; ++i) {
            take.write(-1, std::vector<float>(2400, float(i % 100) / 200.0f));
            take.write(3, std::vector<float>(2400, -float(i % 100) / 200.0f));
            take.write(2, std::vector<float>(2400, 0.9f)); // no such file
        }
        take.waitUntilWritten();
        QCOMPARE(take.queuedBlocks(), size_t(0));
        // More than a second in: the header already states what is there.
        QCOMPARE(u32(readAll(file("master.wav")), 40), 5u * 192000u);
        take.finish();
        take.write(-1, std::vector<float>(2400, 0.5f)); // after the finish
        take.finish();

        for (const auto &[name, sign] : {std::pair{"master.wav", 1}, std::pair{"channel3.wav", -1}}) {
            const QByteArray b = readAll(file(name));
            QCOMPARE(b.size(), 44 + 200 * 2400 * 2);
            QCOMPARE(u32(b, 40), uint32_t(200 * 2400 * 2));
            for (int i = 0; i < 200; ++i) {
                const int16_t expected = AudioFormat::toPcm16(float(sign) * float(i % 100) / 200.0f);
                QCOMPARE(s16(b, 44 + i * 4800), expected);
                QCOMPARE(s16(b, 44 + i * 4800 + 4798), expected);
            }
        }
    }

    // Killed mid-take with the writer thread: the files still state the
    // audio up to the last full second that reached them.
    void killedTakeThroughTheWriterThread()
    {
        const QString path = file("killed-threaded.wav");
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            auto writer = std::make_unique<WavWriter>();
            if (!writer->open(path.toStdString(), 48000, 2))
                _exit(3);
            TakeAudioWriter take;
            take.addFile(-1, std::move(writer));
            take.start();
            const std::vector<float> tick(2400, 0.25f);
            for (int i = 0; i < 100; ++i)
                take.write(-1, tick);
            take.waitUntilWritten();
            std::raise(SIGKILL);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        const QByteArray b = readAll(path);
        QCOMPARE(u32(b, 40), 2u * 192000u);
        QCOMPARE(u32(b, 4), 2u * 192000u + 36);
        QVERIFY(b.size() >= 44 + 2 * 192000);
    }

    // Files handed over but never started are still closed with their sizes.
    void takeWriterNeverStartedClosesItsFiles()
    {
        auto writer = std::make_unique<WavWriter>();
        QVERIFY(writer->open(file("unstarted.wav").toStdString(), 48000, 2));
        writer->writeSamples({0.5f, 0.5f});
        {
            TakeAudioWriter take;
            take.addFile(-1, std::move(writer));
            take.write(-1, {0.25f}); // not started: ignored
        }
        const QByteArray b = readAll(file("unstarted.wav"));
        QCOMPARE(b.size(), 48);
        QCOMPARE(u32(b, 40), 4u);
    }

    void headerSizes_data()
    {
        QTest::addColumn<quint64>("dataBytes");
        QTest::addColumn<quint32>("riffSize");
        QTest::addColumn<quint32>("dataSize");
        const quint64 limit = WavWriter::kMaxStatedDataBytes;
        QTest::newRow("empty") << quint64(0) << 36u << 0u;
        QTest::newRow("past the signed 32-bit limit") << (quint64(1) << 31) << quint32((1ull << 31) + 36) << quint32(1ull << 31);
        QTest::newRow("largest stated") << limit << 0xFFFFFFFFu << quint32(limit);
        QTest::newRow("one sample beyond") << limit + 2 << 0xFFFFFFFFu << 0xFFFFFFFFu;
        QTest::newRow("eight gigabytes") << (quint64(1) << 33) << 0xFFFFFFFFu << 0xFFFFFFFFu;
    }
    void headerSizes()
    {
        QFETCH(quint64, dataBytes);
        QFETCH(quint32, riffSize);
        QFETCH(quint32, dataSize);
        const auto h = WavWriter::header(dataBytes, 48000, 2);
        const QByteArray b(reinterpret_cast<const char *>(h.data()), int(h.size()));
        QCOMPARE(u32(b, 4), riffSize);
        QCOMPARE(u32(b, 40), dataSize);
    }

    // Over four gigabytes of data the sizes say "to the end of the file" and
    // the audio is still written; a reader then takes the file's real length.
    void longTakeKeepsAllAudio()
    {
        const QString path = file("long.wav");
        LongTakeWriter writer;
        QVERIFY(writer.open(path.toStdString(), 48000, 2));
        writer.pretendWritten(WavWriter::kMaxStatedDataBytes / 2 - 2);
        writer.writeSamples(std::vector<float>(96000, 0.5f)); // one more second
        QCOMPARE(writer.samplesWritten(), WavWriter::kMaxStatedDataBytes / 2 - 2 + 96000);
        writer.close();
        const QByteArray b = readAll(path);
        QCOMPARE(b.size(), 44 + 96000 * 2);
        QCOMPARE(u32(b, 4), 0xFFFFFFFFu);
        QCOMPARE(u32(b, 40), 0xFFFFFFFFu);

        // FFmpeg reads such a file to its end: one second here.
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"),
                                                QStringLiteral("-count_packets"), QStringLiteral("-show_entries"),
                                                QStringLiteral("stream=sample_rate,channels"),
                                                QStringLiteral("-show_entries"), QStringLiteral("format=duration"),
                                                QStringLiteral("-of"), QStringLiteral("default=nw=1"), path});
        QVERIFY2(probe.waitForFinished(20000), "ffprobe did not run (package ffmpeg)");
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("sample_rate=48000")) && out.contains(QStringLiteral("channels=2")),
                 qPrintable(out));
        const QRegularExpression durationRe(QStringLiteral("duration=([0-9.]+)"));
        const auto match = durationRe.match(out);
        QVERIFY2(match.hasMatch(), qPrintable(out));
        QVERIFY2(std::fabs(match.captured(1).toDouble() - 1.0) < 0.01, qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestWavWriter)
#include "tst_wav_writer.moc"
