#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "platform/StandardLocations.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <mutex>

// The manager wired to its real components: virtual test cameras (the test
// runs with KORVEX_TEST_CAMERAS=2), the real encoders, audio writers and
// timeline export, all driven through the manager's own surface.
class TestManagerTake : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void camerasReachTheChannelModel();
    void takeRecordsCutsAndExports();
    void takeThatCannotStartIsNotRecording();
    void frameRateOutsideATakeIsTheCameras();
    void containerChoiceNamesTheFiles_data();
    void containerChoiceNamesTheFiles();

private:
    ApplicationManager &manager() { return ApplicationManager::instance(); }
    static int videoFrames(const QString &file);
    static QString formatName(const QString &file);

    QTemporaryDir m_root;
    std::unique_ptr<InputChannelsModel> m_model;
};

void TestManagerTake::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_model = std::make_unique<InputChannelsModel>();
    manager().setChannelsModel(m_model.get());
    manager().setRecordingPath(m_root.path());
}

void TestManagerTake::cleanup()
{
    ApplicationManager &m = manager();
    if (m.isRecording())
        m.stopRecording();
    m.removeCameraFromChannel(1);
    m.removeCameraFromChannel(2);
    m.setActiveSourceId(1);
    m.setRecordingPath(m_root.path());
    m.setRecordingFormatIndex(0);
}

QString TestManagerTake::formatName(const QString &file)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                            QStringLiteral("format=format_name"), QStringLiteral("-of"),
                                            QStringLiteral("default=nw=1:nk=1"), file});
    probe.waitForFinished(60000);
    return QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
}

namespace {
// Encoder and probe threads log too while the collector is installed.
std::mutex g_messagesLock;
QStringList g_messages;
void collectMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::lock_guard lock(g_messagesLock);
    g_messages.append(text);
}
QStringList collectedMessages()
{
    std::lock_guard lock(g_messagesLock);
    return g_messages;
}
} // namespace

int TestManagerTake::videoFrames(const QString &file)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                 QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                 QStringLiteral("stream=nb_read_frames"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), file});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return -1;
    // MPEG-TS lists its streams twice (in the program and on their own).
    return QString::fromLatin1(probe.readAllStandardOutput()).trimmed().section('\n', 0, 0).trimmed().toInt();
}

void TestManagerTake::camerasReachTheChannelModel()
{
    ApplicationManager &m = manager();
    m.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 640, 480, 30.0f);
    QVERIFY(m_model->hasActiveVideo(2));
    QVERIFY(m.cameraSourceForChannel(2));
    QCOMPARE(m.getCameraLinkForChannel(2), QStringLiteral("korvex-test://2"));
    QCOMPARE(m.getCameraWidthForChannel(2), 640);
    QCOMPARE(m.getCameraHeightForChannel(2), 480);

    m.removeCameraFromChannel(2);
    QVERIFY(!m_model->hasActiveVideo(2));
    QVERIFY(!m.cameraSourceForChannel(2));

    // A device that cannot be opened leaves the channel without a camera.
    m.setCameraForChannel(3, QStringLiteral("korvex-test://9"), 640, 480, 30.0f);
    QVERIFY(!m_model->hasActiveVideo(3));
    QVERIFY(!m.cameraSourceForChannel(3));
}

// Two live cameras, a hotkey switch during the take, stop: one MP4 per
// camera with every pumped frame, the cut list in the take, both timelines
// in the take folder, and generateTimeline() writes them again.
void TestManagerTake::takeRecordsCutsAndExports()
{
    ApplicationManager &m = manager();
    m.setActiveSessionName(QStringLiteral("Interview"));
    m.setChannelCameraLink(1, 1);
    m.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
    m.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 640, 480, 30.0f);
    QVERIFY(m_model->hasActiveVideo(1));
    QVERIFY(m_model->hasActiveVideo(2));

    QSignalSpy recordingSpy(&m, &ApplicationManager::isRecordingChanged);
    {
        std::lock_guard lock(g_messagesLock);
        g_messages.clear();
    }
    const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
    // The take's clock starts inside startRecording(): between these two.
    QElapsedTimer beforeStart;
    beforeStart.start();
    m.startRecording();
    QElapsedTimer afterStart;
    afterStart.start();
    qInstallMessageHandler(previous);
    QVERIFY(m.isRecording());
    QCOMPARE(recordingSpy.count(), 1);
    // Each start message once, whichever component opened the file.
    const QStringList messages = collectedMessages();
    QCOMPARE(messages.filter(QStringLiteral("Started Master Audio Recorder")).size(), 1);
    QCOMPARE(messages.filter(QStringLiteral("Started Video Encoder for channel")).size(), 2);
    QCOMPARE(messages.filter(QStringLiteral("RECORDING STARTED")).size(), 1);
    QTest::qWait(1000);

    // The hotkey goes through the application's event filter.
    QObject target;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier);
    // The cut is stamped with the take's time at the key press, however
    // long the event loop took to come back from the wait (slow builds).
    const qint64 earliestCutMs = afterStart.elapsed();
    QCoreApplication::sendEvent(&target, &press);
    const qint64 latestCutMs = beforeStart.elapsed();
    QCOMPARE(m.activeSourceId(), 2);
    QTest::qWait(1000);
    m.stopRecording();
    QVERIFY(!m.isRecording());
    QCOMPARE(recordingSpy.count(), 2);

    const QList<CutEntry> cuts = m.cutList();
    QCOMPARE(cuts.size(), 2);
    QCOMPARE(cuts[0].sourceId, 1);
    QCOMPARE(cuts[0].offsetMs, int64_t(0));
    QCOMPARE(cuts[1].sourceId, 2);
    QVERIFY(earliestCutMs >= 900);
    QVERIFY2(cuts[1].offsetMs >= earliestCutMs && cuts[1].offsetMs <= latestCutMs,
             qPrintable(QStringLiteral("%1 ms, key pressed between %2 and %3 ms")
                            .arg(cuts[1].offsetMs)
                            .arg(earliestCutMs)
                            .arg(latestCutMs)));

    const QString folder = m.take().takeFolder();
    QVERIFY(folder.startsWith(m_root.path() + QStringLiteral("/Interview/")));
    const int frames = int(m.take().framesWritten());
    QVERIFY2(frames >= 50, qPrintable(QString::number(frames)));
    // Every pumped frame is in each file or counted as dropped (a slow build
    // drops some at the encoders' queues).
    int missing = 0;
    for (const QString &camera : {QStringLiteral("Camera_01.mp4"), QStringLiteral("Camera_02.mp4")}) {
        const int inFile = videoFrames(folder + '/' + camera);
        QVERIFY2(inFile > 0 && inFile <= frames, qPrintable(QStringLiteral("%1: %2 of %3").arg(camera).arg(inFile).arg(frames)));
        missing += frames - inFile;
    }
    QCOMPARE(missing, m.droppedFrames());

    const QString take = QFileInfo(folder).fileName();
    const QString premiere = folder + QStringLiteral("/Interview_") + take + QStringLiteral("_Premiere.xml");
    const QString davinci = folder + QStringLiteral("/Interview_") + take + QStringLiteral("_DaVinci.xml");
    QVERIFY2(QFile::exists(premiere), qPrintable(premiere));
    QVERIFY(QFile::exists(davinci));
    QFile xml(davinci);
    QVERIFY(xml.open(QIODevice::ReadOnly));
    const QByteArray document = xml.readAll();
    QVERIFY(document.contains("Camera_01.mp4"));
    QVERIFY(document.contains("Camera_02.mp4"));
    xml.close();

    QVERIFY(QFile::remove(premiere));
    QVERIFY(QFile::remove(davinci));
    m.generateTimeline();
    QVERIFY(QFile::exists(premiere));
    QVERIFY(QFile::exists(davinci));
}

// A recordings folder that cannot be created: no take, and the operator is told.
void TestManagerTake::takeThatCannotStartIsNotRecording()
{
    ApplicationManager &m = manager();
    QFile blocker(m_root.filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m.setRecordingPath(blocker.fileName());
    m.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);

    QSignalSpy noticeSpy(&m, &ApplicationManager::recordingNotice);
    QSignalSpy recordingSpy(&m, &ApplicationManager::isRecordingChanged);
    m.startRecording();
    QVERIFY(!m.isRecording());
    QCOMPARE(recordingSpy.count(), 0);
    QCOMPARE(noticeSpy.count(), 1);
    QVERIFY(!noticeSpy.at(0).at(0).toString().isEmpty());
}

// Outside a take currentFps is what the cameras deliver (the virtual ones at
// 30 fps), notified by performanceMetricsChanged, and 0 once none is left.
void TestManagerTake::frameRateOutsideATakeIsTheCameras()
{
    ApplicationManager &m = manager();
    m.take().setMetricsIntervalMs(1000);
    // No camera: zero (the last take's rate is gone after one interval).
    QTRY_COMPARE_WITH_TIMEOUT(m.currentFps(), 0.0, 3000);
    QSignalSpy metrics(&m, &ApplicationManager::performanceMetricsChanged);
    m.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
    m.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 1280, 720, 30.0f);
    QVERIFY(QTest::qWaitFor([&] { return m.currentFps() > 0.0; }, 4000));
    QVERIFY(metrics.count() >= 1);
    // One full interval with both cameras.
    metrics.clear();
    QVERIFY(metrics.wait(2000) || std::abs(m.currentFps() - 30.0) < 3.0);
    QVERIFY2(std::abs(m.currentFps() - 30.0) < 3.0, qPrintable(QString::number(m.currentFps())));

    m.removeCameraFromChannel(1);
    m.removeCameraFromChannel(2);
    metrics.clear();
    QVERIFY(metrics.wait(2000));
    QCOMPARE(m.currentFps(), 0.0);
    m.take().setMetricsIntervalMs(2000);
}

// The settings page's container choice: each live camera's file is written
// in that container under its extension, and the timelines and the manifest
// lead to those files. AVI (index 4) and unknown indices record MP4.
void TestManagerTake::containerChoiceNamesTheFiles_data()
{
    QTest::addColumn<int>("formatIndex");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("format");
    QTest::newRow("MP4") << 0 << "mp4" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("MKV") << 1 << "mkv" << "matroska,webm";
    QTest::newRow("MOV") << 2 << "mov" << "mov,mp4,m4a,3gp,3g2,mj2";
    QTest::newRow("TS") << 3 << "ts" << "mpegts";
    QTest::newRow("AVI falls back to MP4") << 4 << "mp4" << "mov,mp4,m4a,3gp,3g2,mj2";
}

void TestManagerTake::containerChoiceNamesTheFiles()
{
    QFETCH(int, formatIndex);
    QFETCH(QString, extension);
    QFETCH(QString, format);
    ApplicationManager &m = manager();
    m.setActiveSessionName(QStringLiteral("Formats"));
    m.setRecordingFormatIndex(formatIndex);
    m.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
    m.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 640, 480, 30.0f);
    if (formatIndex == 4)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Recording format 4 is not available"));
    m.startRecording();
    QVERIFY(m.isRecording());
    QTest::qWait(400);
    m.setActiveSourceId(2); // a cut, so the timeline uses both files
    QTest::qWait(400);
    m.stopRecording();

    const QString folder = m.take().takeFolder();
    const int frames = int(m.take().framesWritten());
    QVERIFY(frames >= 15);
    QStringList expected;
    for (int id : {1, 2}) {
        const QString file = folder + QStringLiteral("/Camera_%1.%2").arg(id, 2, 10, QLatin1Char('0')).arg(extension);
        QCOMPARE(m.take().videoFilePaths().value(id), file);
        QCOMPARE(formatName(file), format);
        QCOMPARE(videoFrames(file), frames);
        expected << QFileInfo(file).fileName();
    }
    QCOMPARE(QDir(folder).entryList({QStringLiteral("Camera_*")}, QDir::Files), expected);

    QFile manifestFile(StandardLocations::applicationDataFolder() + QStringLiteral("/latest_take.json"));
    QVERIFY(manifestFile.open(QIODevice::ReadOnly));
    const QString davinci = QJsonDocument::fromJson(manifestFile.readAll()).object().value("xml_davinci_path").toString();
    QVERIFY2(davinci.startsWith(folder + QStringLiteral("/Formats_")), qPrintable(davinci));
    QFile xml(davinci);
    QVERIFY(xml.open(QIODevice::ReadOnly));
    const QString document = QString::fromUtf8(xml.readAll());
    for (const QString &name : expected) {
        QVERIFY2(document.contains(name + "</name>"), qPrintable(name));
        QVERIFY(document.contains(QFileInfo(folder).fileName() + '/' + name + "</pathurl>"));
    }
    QVERIFY(!document.contains(extension == "mp4" ? ".mkv" : ".mp4"));
}

QTEST_MAIN(TestManagerTake)
#include "tst_manager_take.moc"
