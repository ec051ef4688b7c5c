#include "../encoding/MediaProbe.h"
#include "TakeDoubles.h"
#include "app/recording/RecordingSession.h"
#include "app/recording/TakeNaming.h"
#include "capture/audio/WavWriter.h"
#include "encoding/libav/LibavEncoder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <map>
#include <memory>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// A take with fake clocks, painted cameras and either recording doubles or
// real encoders, audio through real WAV writers.
struct Rig
{
    QTemporaryDir dir;
    int64_t mono = 5'000'000'000'000;
    QDateTime local = QDateTime(QDate(2026, 3, 14), QTime(10, 20, 30, 250));
    std::map<int, std::shared_ptr<PaintedSource>> cameras;
    std::map<int, std::shared_ptr<ISource>> otherCameras; // sources of other kinds
    std::map<int, std::shared_ptr<RecordingEncoder>> doubles;
    std::map<int, bool> failingEncoder;
    bool realEncoders = false;
    bool audioFails = false;
    QList<int> separateAudio;
    std::unique_ptr<WavWriter> master;
    std::map<int, std::unique_ptr<WavWriter>> channelWavs;
    TakeParameters params;
    int64_t audioBytes = 0; // what the audio side reports as written
    QList<TimelineExportInput> exports;
    QList<QPair<int, bool>> channelCalls;
    std::unique_ptr<RecordingSession> session;

    Rig()
    {
        params.recordingPath = dir.filePath("rec");
        params.activeSessionName = "Interview";
        TakeCollaborators c;
        c.parameters = [this] { return params; };
        c.liveCamera = [this](int id) -> std::shared_ptr<ISource> {
            if (auto other = otherCameras.find(id); other != otherCameras.end())
                return other->second;
            auto it = cameras.find(id);
            return it == cameras.end() ? nullptr : it->second;
        };
        c.makeEncoder = [this](int id) -> std::shared_ptr<IEncoder> {
            if (failingEncoder[id])
                return std::make_shared<RecordingEncoder>(false);
            if (realEncoders)
                return std::make_shared<LibavEncoder>();
            auto e = std::make_shared<RecordingEncoder>();
            doubles[id] = e;
            return e;
        };
        c.startAudio = [this](const QString &folder) {
            TakeAudioFiles files;
            files.masterPath = folder + "/Master_Audio_Output.wav";
            master = std::make_unique<WavWriter>();
            files.masterOpened = !audioFails && master->open(files.masterPath.toStdString(), 48000, 2);
            for (int id : separateAudio) {
                auto w = std::make_unique<WavWriter>();
                const QString p = folder + "/" + TakeNaming::channelAudioFileName(id);
                if (!audioFails && w->open(p.toStdString(), 48000, 2)) {
                    files.channelPaths.insert(id, p);
                    channelWavs[id] = std::move(w);
                }
            }
            return files;
        };
        c.stopAudio = [this] {
            if (master)
                master->close();
            for (auto &[id, w] : channelWavs)
                w->close();
            channelWavs.clear();
            return TakeAudioFiles{};
        };
        c.audioBytesWritten = [this] { return audioBytes; };
        c.setChannelRecording = [this](int id, bool on) { channelCalls.append({id, on}); };
        c.exportTake = [this](const TimelineExportInput &in) { exports.append(in); };
        c.monotonicNs = [this] { return mono; };
        c.localNow = [this] { return local; };
        session = std::make_unique<RecordingSession>(std::move(c));
    }

    // Moves both clocks on, ticking the 5 ms clock on the way.
    void advance(int64_t ms, int stepMs = 5, bool paced = false)
    {
        for (int64_t done = 0; done < ms;) {
            const int64_t step = std::min<int64_t>(stepMs, ms - done);
            mono += step * 1'000'000;
            local = local.addMSecs(step);
            done += step;
            if (paced) // real encoders work in real time
                QThread::msleep(ulong(step));
            session->updateTimecode();
        }
    }
};

} // namespace

class RecordingSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { av_log_set_level(AV_LOG_ERROR); }

    void sessionName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank") << "   " << "Session_2026-03-14_10-20-30";
        QTest::newRow("placeholder") << "SESSION_001_ACTIVE" << "Session_2026-03-14_10-20-30";
        QTest::newRow("plain") << "Interview" << "Interview";
        QTest::newRow("trimmed") << "  Interview \t" << "Interview";
        QTest::newRow("forbidden") << "A/B\\C:D*E?F\"G<H>I|J" << "A_B_C_D_E_F_G_H_I_J";
        QTest::newRow("control") << QString("a\x01" "b") << "a_b";
        QTest::newRow("parent") << ".." << "__";
        QTest::newRow("dots inside") << "v1.2" << "v1.2";
        QTest::newRow("escape") << "../../etc" << ".._.._etc";
    }
    void sessionName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(TakeNaming::sessionName(typed, QDateTime(QDate(2026, 3, 14), QTime(10, 20, 30))), expected);
    }

    void takeNumber_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << QStringList{} << QStringList{} << 1;
        QTest::newRow("mixed") << QStringList{"Take_01", "Take_02", "Take_x"} << QStringList{"Take_09.txt"} << 3;
        QTest::newRow("gap") << QStringList{"Take_01", "Take_05"} << QStringList{} << 6;
        QTest::newRow("zero only") << QStringList{"Take_00"} << QStringList{} << 1;
        QTest::newRow("three digits") << QStringList{"Take_123"} << QStringList{} << 124;
    }
    void takeNumber()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(int, expected);
        QTemporaryDir dir;
        for (const QString &f : folders)
            QVERIFY(QDir(dir.path()).mkdir(f));
        for (const QString &f : files) {
            QFile file(dir.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(TakeNaming::nextTakeNumber(dir.path()), expected);
    }

    void timecode_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "00:00:00:00";
        QTest::newRow("last frame of a second") << qint64(999) << "00:00:00:29";
        QTest::newRow("1:02:03.999") << qint64(3723999) << "01:02:03:29";
        QTest::newRow("negative") << qint64(-5) << "00:00:00:00";
    }
    void timecode()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, expected);
        QCOMPARE(TakeNaming::timecode(ms), expected);
    }

    void startBuildsFoldersSettingsAndCuts()
    {
        Rig rig;
        rig.cameras[3] = std::make_shared<PaintedSource>(1280, 720);
        rig.cameras[1] = std::make_shared<PaintedSource>(0, 0);
        rig.separateAudio = {1};
        rig.params.activeSourceId = 2;
        rig.params.quality.rateControlMode = "CQP";
        rig.params.quality.cqpLevel = 23;
        rig.params.quality.colorSpace = "Rec.2020";
        rig.params.quality.useHevc = true;
        rig.params.quality.encoderName = "libx265";
        QSignalSpy recordingSpy(rig.session.get(), &RecordingSession::isRecordingChanged);
        QVERIFY(rig.session->startRecording());
        QCOMPARE(recordingSpy.count(), 1);
        const QString take = rig.params.recordingPath + "/Interview/Take_01";
        QCOMPARE(rig.session->takeFolder(), take);
        QVERIFY(QFile::exists(take + "/Channel_01_Audio.wav"));
        QVERIFY(QFile::exists(take + "/Master_Audio_Output.wav"));
        QCOMPARE(rig.session->videoFilePaths().value(3), take + "/Camera_03.mp4");
        QCOMPARE(rig.session->audioFilePaths().value(1), take + "/Channel_01_Audio.wav");
        QCOMPARE(rig.session->recordingStartTimecode(), QString("10:20:30:00"));
        QCOMPARE(rig.session->cutList(), (QList<CutEntry>{{2, 0}}));
        const EncoderSettings &s3 = rig.doubles[3]->settings;
        QCOMPARE(QString::fromStdWString(s3.outputPath), take + "/Camera_03.mp4");
        QCOMPARE(s3.width, 1280);
        QCOMPARE(s3.rateControl, 2);
        QCOMPARE(s3.cqpLevel, 23);
        QVERIFY(s3.useHevc);
        QCOMPARE(s3.encoderName, std::string("libx265"));
        QCOMPARE(s3.colorSpace, std::wstring(L"Rec.2020"));
        QCOMPARE(rig.doubles[1]->settings.width, 1920); // no size reported: the sequence size
        QCOMPARE(rig.doubles[1]->settings.height, 1080);
        QCOMPARE(rig.channelCalls.size(), 4);
        QVERIFY(!rig.session->startRecording()); // already recording: nothing
        QCOMPARE(recordingSpy.count(), 1);
        rig.session->stopRecording();
        QVERIFY(rig.session->startRecording());
        QCOMPARE(rig.session->takeFolder(), rig.params.recordingPath + "/Interview/Take_02");
    }

    void framePumpOneFramePerSlot()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(64, 48);
        rig.cameras[2] = std::make_shared<PaintedSource>(32, 24);
        QVERIFY(rig.session->startRecording());
        rig.advance(1000);
        QCOMPARE(rig.session->framesWritten(), 30);
        QCOMPARE(rig.session->timecode(), QString("00:00:01:00"));
        for (int id : {1, 2}) {
            std::vector<int64_t> expected(30);
            std::iota(expected.begin(), expected.end(), 0);
            QCOMPARE(rig.doubles[id]->indices, expected);
        }
        // A camera without pixels leaves a gap for its encoder only.
        rig.cameras[2]->blank = true;
        rig.advance(100);
        rig.cameras[2]->blank = false;
        rig.advance(100);
        QCOMPARE(rig.session->framesWritten(), 36);
        QCOMPARE(rig.doubles[1]->indices.size(), size_t(36));
        QCOMPARE(rig.doubles[2]->indices.size(), size_t(33));
        rig.session->updatePerformanceMetrics();
        QCOMPARE(rig.session->droppedFrames(), 3);
    }

    void framePumpSharesTheCamerasFrame()
    {
        Rig rig;
        auto camera = std::make_shared<StoredSource>(64, 48);
        rig.otherCameras[1] = camera;
        camera->deliver(10);
        const auto first = camera->shareLatestFrame();
        QVERIFY(rig.session->startRecording());
        rig.advance(100); // three slots, one camera frame
        camera->deliver(20);
        const auto second = camera->shareLatestFrame();
        rig.advance(100);
        const RecordingEncoder &encoder = *rig.doubles[1];
        QCOMPARE(encoder.indices.size(), size_t(6));
        // The encoder got the camera's own buffers: nothing was copied for any slot.
        QCOMPARE(camera->copies, 0);
        const std::vector<const uint8_t *> pictures(3, first->pixels.data());
        QCOMPARE(std::vector<const uint8_t *>(encoder.pictures.begin(), encoder.pictures.begin() + 3), pictures);
        QCOMPARE(std::vector<uint64_t>(encoder.serials.begin(), encoder.serials.begin() + 3),
                 std::vector<uint64_t>(3, first->serial));
        QCOMPARE(std::vector<uint64_t>(encoder.serials.begin() + 3, encoder.serials.end()),
                 std::vector<uint64_t>(3, second->serial));
        QCOMPARE(encoder.firstBytes, (std::vector<uint8_t>{10, 10, 10, 20, 20, 20}));
        QCOMPARE(encoder.bytes, int64_t(6) * 64 * 48 * 4);
        rig.session->stopRecording();
    }

    void clockIsMonotonicAndCatchUpBounded()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        QVERIFY(rig.session->startRecording());
        // Across midnight and a backwards step of the wall clock.
        rig.local = QDateTime(QDate(2026, 3, 14), QTime(23, 59, 59, 900));
        rig.advance(1000);
        rig.local = rig.local.addSecs(-3600);
        rig.advance(1000);
        QCOMPARE(rig.session->timecode(), QString("00:00:02:00"));
        QCOMPARE(rig.session->framesWritten(), 60);
        // The GUI thread held up for an hour: one tick sends one second of
        // slots, the rest are counted as dropped.
        rig.mono += int64_t(3600) * 1'000'000'000;
        rig.session->updateTimecode();
        QCOMPARE(rig.session->framesWritten(), 60 + 3600 * 30);
        QCOMPARE(rig.doubles[1]->indices.size(), size_t(60 + 30));
        QCOMPARE(rig.doubles[1]->indices.back(), 60 + 3600 * 30 - 1);
        rig.session->updatePerformanceMetrics();
        QCOMPARE(rig.session->droppedFrames(), 3600 * 30 - 30);
    }

    void cutList()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        rig.params.activeSourceId = 1;
        QVERIFY(rig.session->startRecording());
        rig.advance(5500, 50);
        rig.session->onActiveSourceChanged(2);
        rig.session->onActiveSourceChanged(2); // already active
        rig.session->onActiveSourceChanged(5); // no such channel
        rig.advance(4500, 50);
        rig.session->onActiveSourceChanged(1);
        QCOMPARE(rig.session->cutList(), (QList<CutEntry>{{1, 0}, {2, 5500}, {1, 10000}}));
        rig.session->stopRecording();
        rig.session->onActiveSourceChanged(3); // not recording: nothing
        QCOMPARE(rig.session->cutList().size(), 3);
        QCOMPARE(rig.exports.size(), 1);
        QCOMPARE(rig.exports[0].cuts, rig.session->cutList());
        QCOMPARE(rig.exports[0].durationMs, 10000);
        QCOMPARE(rig.exports[0].sessionName, QString("Interview"));
    }

    void stopOrderAndShortTake()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        QVERIFY(rig.session->startRecording());
        rig.mono += 500'000; // 0.5 ms
        LogCapture log;
        rig.session->stopRecording();
        QCOMPARE(rig.doubles[1]->stops, 1);
        QCOMPARE(rig.exports.size(), 1);
        QCOMPARE(rig.exports[0].durationMs, 1000);
        QCOMPARE(rig.exports[0].videoFilePaths.value(1), rig.session->videoFilePaths().value(1));
        QCOMPARE(rig.channelCalls.mid(4), (QList<QPair<int, bool>>{{1, false}, {2, false}, {3, false}, {4, false}}));
        QVERIFY(log.lines().contains("[ApplicationManager] stopRecording() triggered."));
        QVERIFY(log.lines().contains("[ApplicationManager] RECORDING STOPPED"));
        QVERIFY(!rig.master->isOpen());
        log.clear();
        rig.session->stopRecording(); // idle: nothing at all
        QCOMPARE(log.lines(), QStringList{});
        QCOMPARE(rig.exports.size(), 1);
        QCOMPARE(rig.doubles[1]->stops, 1);
    }

    void encoderFailureLeavesOthersRecording()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        rig.cameras[2] = std::make_shared<PaintedSource>(16, 16);
        rig.failingEncoder[2] = true;
        LogCapture log;
        QVERIFY(rig.session->startRecording());
        QVERIFY(log.lines().contains("[ApplicationManager] Failed to start Video Encoder for channel 2"));
        QCOMPARE(rig.session->encoders().size(), size_t(1));
        QVERIFY(!rig.session->videoFilePaths().contains(2));
        rig.advance(100);
        QCOMPARE(rig.doubles[1]->indices.size(), size_t(3));
    }

    void takeThatCannotOpenAnythingDoesNotStart_data()
    {
        QTest::addColumn<bool>("pathIsFile");
        QTest::addColumn<QString>("notice");
        QTest::newRow("take folder") << true << "cannot create the take folder";
        QTest::newRow("no file") << false << "no file could be opened";
    }
    void takeThatCannotOpenAnythingDoesNotStart()
    {
        QFETCH(bool, pathIsFile);
        QFETCH(QString, notice);
        Rig rig;
        if (pathIsFile) {
            QFile blocker(rig.params.recordingPath);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        } else {
            rig.audioFails = true; // and no camera
        }
        QSignalSpy recordingSpy(rig.session.get(), &RecordingSession::isRecordingChanged);
        QSignalSpy noticeSpy(rig.session.get(), &RecordingSession::recordingNotice);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Recording did not start"));
        if (!pathIsFile)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Failed to start Master WAV"));
        QVERIFY(!rig.session->startRecording());
        QVERIFY(!rig.session->isRecording());
        QCOMPARE(recordingSpy.count(), 0);
        QCOMPARE(noticeSpy.count(), 1);
        QVERIFY2(noticeSpy[0][0].toString().contains(notice), qPrintable(noticeSpy[0][0].toString()));
        if (!pathIsFile) // the empty take folder does not use up a number
            QVERIFY(!QDir(rig.params.recordingPath + "/Interview/Take_01").exists());
        QVERIFY(rig.channelCalls.isEmpty());
    }

    void countdown()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        QSignalSpy arming(rig.session.get(), &RecordingSession::armingStateChanged);
        rig.session->armRecording();
        rig.session->armRecording(); // one countdown
        QCOMPARE(arming.count(), 1);
        QCOMPARE(rig.session->countdownSeconds(), 3);
        rig.session->onCountdownTimeout();
        QCOMPARE(rig.session->countdownSeconds(), 2);
        rig.session->cancelArming();
        QVERIFY(!rig.session->isArming());
        QCOMPARE(rig.session->countdownSeconds(), 2);
        rig.session->armRecording();
        QCOMPARE(rig.session->countdownSeconds(), 3);
        rig.session->onCountdownTimeout();
        rig.session->onCountdownTimeout();
        QVERIFY(!rig.session->isRecording());
        rig.session->onCountdownTimeout();
        QVERIFY(rig.session->isRecording());
        QVERIFY(!rig.session->isArming());
        QCOMPARE(rig.session->countdownSeconds(), 1);
        rig.session->stopRecording();

        // Armed on the desk, started and stopped from the phone within 3 s:
        // the countdown's end must not start another take.
        rig.session->armRecording();
        QVERIFY(rig.session->startRecording());
        rig.session->onCountdownTimeout();
        rig.session->stopRecording();
        rig.session->onCountdownTimeout();
        rig.session->onCountdownTimeout();
        QVERIFY(!rig.session->isArming());
        QVERIFY(!rig.session->isRecording());
        QCOMPARE(rig.exports.size(), 2);
    }

    void countdownRunsOnItsTimer()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        QSignalSpy recording(rig.session.get(), &RecordingSession::isRecordingChanged);
        rig.session->armRecording();
        QTRY_VERIFY_WITH_TIMEOUT(rig.session->isRecording(), 4500);
        rig.session->stopRecording();
    }

    void setBitrateReachesEveryEncoder()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        rig.cameras[4] = std::make_shared<PaintedSource>(16, 16);
        QVERIFY(rig.session->startRecording());
        rig.session->setBitrate(8000);
        QCOMPARE(rig.doubles[1]->bitrates, std::vector<int>{8000});
        QCOMPARE(rig.doubles[4]->bitrates, std::vector<int>{8000});
    }

    void telemetryLogAndCsv()
    {
        Rig rig;
        rig.cameras[1] = std::make_shared<PaintedSource>(100, 100);
        rig.cameras[2] = std::make_shared<PaintedSource>(100, 100);
        const QString csv = rig.dir.filePath("perf_log.csv");
        rig.session->setPerfLogFilePath(csv);
        QSignalSpy metrics(rig.session.get(), &RecordingSession::performanceMetricsChanged);
        QVERIFY(rig.session->startRecording());
        rig.advance(2000);
        rig.doubles[2]->droppedInEncoder = 4;
        rig.audioBytes = 2 * 192000; // two seconds of the master WAV
        LogCapture log;
        rig.session->updatePerformanceMetrics();
        QCOMPARE(rig.session->currentFps(), 30.0);
        QCOMPARE(rig.session->droppedFrames(), 4);
        // 60 frames of 40000 bytes per encoder in 2 s (the doubles count
        // pixel bytes), plus the WAV bytes.
        QCOMPARE(rig.session->diskWriteSpeedMBs(), (2 * 60 * 40000 + 2 * 192000) / 2.0 / 1e6);
        QVERIFY(metrics.count() >= 2);
        QCOMPARE(log.lines().filter("REC").value(0), QString("[ApplicationManager] REC 00:00:02:00 FPS: 30.0 DROPS: 4 WRITE: 2.59 MB/s"));
        rig.session->stopRecording();
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.value(0), QString("time,timecode,fps,dropped_frames,write_mbs"));
        QCOMPARE(rows.size(), 3);
        QVERIFY2(rows[1].endsWith(",00:00:02:00,30.00,4,2.592"), qPrintable(rows[1]));
        // Outside a take: the painted cameras report no deliveries, nothing is written.
        rig.session->updatePerformanceMetrics();
        QCOMPARE(rig.session->currentFps(), 0.0);
        QCOMPARE(rig.session->diskWriteSpeedMBs(), 0.0);
    }

    void writeSpeedOfAnAudioOnlyTake()
    {
        Rig rig;
        QVERIFY(rig.session->startRecording());
        QVERIFY(rig.session->encoders().empty());
        rig.advance(1000);
        rig.audioBytes = 192000; // 1 s of 48 kHz stereo 16-bit
        rig.session->updatePerformanceMetrics();
        QCOMPARE(rig.session->diskWriteSpeedMBs(), 0.192);
        QCOMPARE(rig.session->currentFps(), 0.0);
        rig.session->stopRecording();
    }

    // Outside a take currentFps is the mean rate the running cameras
    // delivered over the interval; a camera is counted once it has been seen
    // at both ends of one.
    void cameraRateOutsideATake()
    {
        Rig rig;
        QSignalSpy metrics(rig.session.get(), &RecordingSession::performanceMetricsChanged);
        const auto interval = [&rig](std::initializer_list<std::pair<int, uint64_t>> deliveries) {
            rig.advance(2000, 500);
            for (const auto &[id, frames] : deliveries)
                rig.cameras.at(id)->delivered += frames;
            rig.session->updatePerformanceMetrics();
            return rig.session->currentFps();
        };
        QCOMPARE(interval({}), 0.0); // no camera at all
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        rig.cameras[1]->delivered = 500;
        QCOMPARE(interval({}), 0.0); // first seen: no interval yet
        QCOMPARE(interval({{1, 60}}), 30.0);
        QCOMPARE(metrics.count(), 1);
        rig.cameras[2] = std::make_shared<PaintedSource>(16, 16);
        QCOMPARE(interval({{1, 60}, {2, 30}}), 30.0); // channel 2 new
        QCOMPARE(interval({{1, 60}, {2, 30}}), 22.5);
        QCOMPARE(metrics.count(), 2);
        // A camera replaced on its channel starts over, whatever its counter says.
        rig.cameras[1] = std::make_shared<PaintedSource>(16, 16);
        rig.cameras[1]->delivered = 900;
        QCOMPARE(interval({{2, 30}}), 15.0);
        QCOMPARE(interval({{1, 50}, {2, 30}}), 20.0);

        // Right after a take the cameras' rate is measured again.
        QVERIFY(rig.session->startRecording());
        rig.advance(1000);
        rig.session->updatePerformanceMetrics();
        rig.session->stopRecording();
        QCOMPARE(interval({{1, 60}, {2, 60}}), 30.0);

        rig.cameras.clear();
        QCOMPARE(interval({}), 0.0);
    }

    void realTakeFilesMatchDuration_data()
    {
        QTest::addColumn<int>("container");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("format");
        QTest::newRow("MP4") << int(RecordingContainer::Mp4) << "mp4" << "mov,mp4,m4a,3gp,3g2,mj2";
        QTest::newRow("MKV") << int(RecordingContainer::Mkv) << "mkv" << "matroska,webm";
        QTest::newRow("MOV") << int(RecordingContainer::Mov) << "mov" << "mov,mp4,m4a,3gp,3g2,mj2";
        QTest::newRow("TS") << int(RecordingContainer::Ts) << "ts" << "mpegts";
    }

    void realTakeFilesMatchDuration()
    {
        QFETCH(int, container);
        QFETCH(QString, extension);
        QFETCH(QString, format);
        Rig rig;
        rig.realEncoders = true;
        rig.params.quality.container = RecordingContainer(container);
        rig.cameras[3] = std::make_shared<PaintedSource>(320, 180);
        rig.cameras[1] = std::make_shared<PaintedSource>(640, 480);
        rig.separateAudio = {1};
        QVERIFY(rig.session->startRecording());
        rig.advance(2000, 33, true);
        rig.session->stopRecording();
        const QString take = rig.session->takeFolder();
        const QString camera3 = take + "/Camera_03." + extension;
        const QString camera1 = take + "/Camera_01." + extension;
        QCOMPARE(MediaProbe::videoSummary(camera3), QString("h264,320,180,30/1,60"));
        QCOMPARE(MediaProbe::videoSummary(camera1), QString("h264,640,480,30/1,60"));
        const QStringList probe = MediaProbe::run("ffprobe", {"-v", "error", "-show_entries", "format=format_name,duration",
                                                              "-of", "default=nw=1:nk=1", camera3})
                                      .split('\n');
        QCOMPARE(probe.value(0), format);
        QVERIFY2(std::abs(probe.value(1).toDouble() - 2.0) < 0.05, qPrintable(probe.join(' ')));
        QVERIFY(QFile::exists(take + "/Channel_01_Audio.wav"));
        QCOMPARE(rig.exports[0].durationMs, 2000);
        QCOMPARE(rig.exports[0].videoFilePaths.value(3), camera3);
        QCOMPARE(rig.exports[0].videoFilePaths.value(1), camera1);
        QCOMPARE(rig.session->droppedFrames(), 0);
    }
};

QTEST_GUILESS_MAIN(RecordingSessionTest)
#include "tst_recording_session.moc"
