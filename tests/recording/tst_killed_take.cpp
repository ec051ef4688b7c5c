#include "../encoding/MediaProbe.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A recorder killed with SIGKILL mid-take leaves a camera file (in each
// container) that decodes up to about its last two seconds and a WAV file
// that plays up to its last second.
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
        QTest::qWait(5000);
        const double seconds = clock.elapsed() / 1000.0;
        recorder.kill(); // SIGKILL: no stop, no trailer, no header rewrite
        QVERIFY(recorder.waitForFinished());
        QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);

        const QString video = take + "/" + fileName;
        const int frames = MediaProbe::frameCount(video);
        QVERIFY2(frames >= int((seconds - 2.5) * 30), qPrintable(QString("%1 frames after %2 s").arg(frames).arg(seconds)));
        QVERIFY2(frames <= int(seconds * 30) + 1, qPrintable(QString::number(frames)));
        QCOMPARE(MediaProbe::videoSummary(video).section(',', 0, 3), QString("h264,640,360,30/1"));

        const QString wav = take + "/Master_Audio_Output.wav";
        const double wavSeconds = MediaProbe::run("ffprobe", {"-v", "error", "-show_entries", "format=duration",
                                                              "-of", "default=nw=1:nk=1", wav})
                                      .toDouble();
        qInfo("killed after %.2f s: %d frames decodable, %.2f s of WAV", seconds, frames, wavSeconds);
        QVERIFY2(wavSeconds >= seconds - 2.0 && wavSeconds <= seconds + 0.5, qPrintable(QString::number(wavSeconds)));
    }
};

QTEST_GUILESS_MAIN(KilledTakeTest)
#include "tst_killed_take.moc"
