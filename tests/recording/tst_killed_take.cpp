#include "../encoding/MediaProbe.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A recorder killed with SIGKILL mid-take leaves a camera file (in each
// container) that decodes up to about its last two seconds of video and a WAV
// file that plays up to its last second. The recorder reports what it has
// written so far; the losses are measured against that, so a slow build that
// encodes below the camera's rate is judged by what it wrote, not by the wall
// clock.
class KilledTakeTest : public QObject
{
    Q_OBJECT
private slots:
    void killedTakeLeavesDecodableFiles_data()
    {
        QTest::addColumn<int>("formatIndex");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("MP4") << 0 << "Camera_01.mp4";
        QTest::newRow("MKV") << 1 << "Camera_01.mkv";
        QTest::newRow("MOV") << 2 << "Camera_01.mov";
        QTest::newRow("TS") << 3 << "Camera_01.ts";
    }

    void killedTakeLeavesDecodableFiles()
    {
        QFETCH(int, formatIndex);
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        QProcess recorder;
        recorder.start(qEnvironmentVariable("KORVEX_TEST_RECORDER"), {dir.path(), QString::number(formatIndex)});
        QVERIFY2(recorder.waitForStarted(), "the recorder program must start");
        QElapsedTimer clock;
        QTRY_VERIFY_WITH_TIMEOUT(recorder.canReadLine(), 20000);
        clock.start();
        const QString line = QString::fromUtf8(recorder.readLine()).trimmed();
        QVERIFY2(line.startsWith("RECORDING "), qPrintable(line));
        const QString take = line.mid(10);

        // "WRITTEN <encoded frames> <samples>" lines; the newest one counts.
        long long framesWritten = 0, samplesWritten = 0;
        auto readProgress = [&] {
            while (recorder.canReadLine()) {
                const QStringList f = QString::fromUtf8(recorder.readLine()).trimmed().split(' ');
                if (f.size() == 3 && f[0] == "WRITTEN") {
                    framesWritten = f[1].toLongLong();
                    samplesWritten = f[2].toLongLong();
                }
            }
        };
        // At least five seconds, and until four seconds of video and one and
        // a half of sound are written (a slow build's busy event loop runs
        // the sound tick less often), so the expected remainder is never empty.
        QTest::qWait(5000);
        QVERIFY2(QTest::qWaitFor([&] {
                     readProgress();
                     return framesWritten >= 4 * 30 && samplesWritten >= 3 * 48000 / 2;
                 }, 90000),
                 qPrintable(QString("%1 frames and %2 samples written").arg(framesWritten).arg(samplesWritten)));
        readProgress();
        const double seconds = clock.elapsed() / 1000.0;
        recorder.kill(); // SIGKILL: no stop, no trailer, no header rewrite
        QVERIFY(recorder.waitForFinished());
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);

        // Fragments close on key frames (every 2 s) and the encoder holds a
        // few frames back, so up to 2.5 s of what was written may be lost.
        const QString video = take + "/" + fileName;
        const int frames = MediaProbe::frameCount(video);
        QVERIFY2(frames >= int(framesWritten) - int(2.5 * 30),
                 qPrintable(QString("%1 frames decodable of %2 written").arg(frames).arg(framesWritten)));
        QVERIFY2(frames <= int(seconds * 30) + 1, qPrintable(QString::number(frames)));
        QCOMPARE(MediaProbe::videoSummary(video).section(',', 0, 3), QString("h264,640,360,30/1"));

        // The header is rewritten after every second of audio.
        const QString wav = take + "/Master_Audio_Output.wav";
        const double wavSeconds = MediaProbe::run("ffprobe", {"-v", "error", "-show_entries", "format=duration",
                                                              "-of", "default=nw=1:nk=1", wav})
                                      .toDouble();
        const double writtenSeconds = double(samplesWritten) / 48000.0;
        qInfo("killed after %.2f s: %d of %lld frames decodable, %.2f of %.2f s of WAV", seconds, frames,
              framesWritten, wavSeconds, writtenSeconds);
        QVERIFY2(wavSeconds >= writtenSeconds - 1.0 - 0.01 && wavSeconds <= seconds + 0.5,
                 qPrintable(QString("%1 s of %2 s written").arg(wavSeconds).arg(writtenSeconds)));
    }
};

QTEST_GUILESS_MAIN(KilledTakeTest)
#include "tst_killed_take.moc"
