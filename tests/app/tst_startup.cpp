#include "app/ApplicationManager.h"
#include "app/CameraScan.h"
#include "app/SplashHandOff.h"

#include <QGuiApplication>
#include <QMutex>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

QStringList g_messages;
QMutex g_messagesLock;

void collect(QtMsgType, const QMessageLogContext &, const QString &text)
{
    QMutexLocker lock(&g_messagesLock);
    g_messages.append(text);
}

QStringList takeMessages()
{
    QMutexLocker lock(&g_messagesLock);
    return std::exchange(g_messages, {});
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QStringList rootNames(const QQmlApplicationEngine &engine)
{
    QStringList names;
    for (QObject *o : engine.rootObjects())
        names.append(o->objectName());
    return names;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void encoderProbeDoesNotHoldUpStartUp();
    void cameraScan_data();
    void cameraScan();
    void loadReports();
    void statusOtherThanDoneLoadsNothing();
    void handOffSwapsWindows();
    void initializationReachesDoneTwice();

private:
    QTemporaryDir m_dir;
    QUrl m_splash, m_main, m_broken;
};

void TestStartup::initTestCase()
{
    const QByteArray window = "import QtQuick\nimport QtQuick.Window\nWindow { objectName: \"%1\"; width: 120; height: 80; visible: true }\n";
    writeFile(m_dir.path() + "/Splash.qml", QByteArray(window).replace("%1", "splash"));
    writeFile(m_dir.path() + "/Main.qml", QByteArray(window).replace("%1", "main"));
    writeFile(m_dir.path() + "/Broken.qml", "import QtQuick\nWindow { nonsense: 1 }\n");
    m_splash = QUrl::fromLocalFile(m_dir.path() + "/Splash.qml");
    m_main = QUrl::fromLocalFile(m_dir.path() + "/Main.qml");
    m_broken = QUrl::fromLocalFile(m_dir.path() + "/Broken.qml");
    qInstallMessageHandler(collect);
}

void TestStartup::cleanup()
{
    flushDeletes();
    takeMessages();
}

// The manager comes up without waiting for the probe encodes: at the end of
// its construction the list is still empty and the hardware texts are the
// initial ones; the list arrives later through its notify signal, with the
// splash's initialization running meanwhile.
void TestStartup::encoderProbeDoesNotHoldUpStartUp()
{
    ApplicationManager &manager = ApplicationManager::instance();
    QVERIFY(manager.encoderCapabilities().isEmpty());
    QCOMPARE(manager.hardwareSummary(), QStringLiteral("Scanning hardware acceleration..."));
    QCOMPARE(manager.hardwareGpuInfo(), QStringLiteral("Detecting GPU..."));
    QVERIFY(manager.hardware().isProbing());
    QSignalSpy list(&manager, &ApplicationManager::encoderCapabilitiesChanged);
    QSignalSpy info(&manager, &ApplicationManager::hardwareInfoChanged);
    QVERIFY(list.wait(60000));
    QCOMPARE(info.count(), 1);
    const QVariantList entries = manager.encoderCapabilities();
    QVERIFY(entries.size() >= 2);
    QCOMPARE(entries.at(0).toMap().value("name").toString(), QStringLiteral("Software H.264"));
    QCOMPARE(entries.at(1).toMap().value("name").toString(), QStringLiteral("Software HEVC"));
    QVERIFY(manager.hardwareSummary().startsWith('['));
    QVERIFY(!manager.hardware().isProbing());
}

void TestStartup::cameraScan_data()
{
    QTest::addColumn<int>("denominator");
    QTest::addColumn<double>("fps");
    QTest::newRow("30000/1001") << 1001 << 30000.0 / 1001;
    QTest::newRow("denominator 0") << 0 << 30.0;
    QTest::newRow("denominator -1") << -1 << 30.0;
}

void TestStartup::cameraScan()
{
    QFETCH(int, denominator);
    QFETCH(double, fps);
    std::vector<CameraScanDevice> devices{
        {"Desk cam", "/dev/video0", {{1920, 1080, 30000, denominator, "MJPG"}, {640, 480, 30, 1, "YUYV"}}},
        {"Wide", "/dev/video2", {}},
        {"Desk cam again", "/dev/video0", {{1280, 720, 60, 1, "MJPG"}}},
    };
    const CameraScanResult first = buildCameraScan({devices.at(0)});
    const QVariantMap format = first.formats.value("/dev/video0").toList().value(0).toMap();
    QCOMPARE(format.value("width").toInt(), 1920);
    QCOMPARE(format.value("height").toInt(), 1080);
    QCOMPARE(format.value("fps").toDouble(), fps);
    QCOMPARE(format.value("formatName").toString(), QStringLiteral("MJPG"));
    QCOMPARE(first.formats.value("/dev/video0").toList().size(), 2);

    // A second device with the same link replaces the first one's formats.
    const CameraScanResult all = buildCameraScan(devices);
    QCOMPARE(all.cameras.size(), 3);
    QCOMPARE(all.cameras.at(1).toMap(), (QVariantMap{{"name", "Wide"}, {"link", "/dev/video2"}}));
    QCOMPARE(all.formats.size(), 2);
    QCOMPARE(all.formats.value("/dev/video0").toList().size(), 1);
    QCOMPARE(all.formats.value("/dev/video0").toList().at(0).toMap().value("width").toInt(), 1280);
    QVERIFY(all.formats.value("/dev/video2").toList().isEmpty());
}

void TestStartup::loadReports()
{
    QQmlApplicationEngine engine;
    SplashHandOff::reportLoadedDocuments(engine);
    engine.load(m_splash);
    engine.load(m_broken);
    const QStringList messages = takeMessages();
    QVERIFY2(messages.contains("QQmlApplicationEngine loaded root object for: QUrl(\"" + m_splash.toString() + "\")"),
             qPrintable(messages.join('\n')));
    QVERIFY2(messages.contains("QQmlApplicationEngine failed to create root object for: QUrl(\"" + m_broken.toString() + "\")"),
             qPrintable(messages.join('\n')));
}

void TestStartup::statusOtherThanDoneLoadsNothing()
{
    QQmlApplicationEngine engine;
    engine.load(m_splash);
    int calls = 0;
    for (const QString &status : {QStringLiteral("Scanning for devices..."), QStringLiteral("done"),
                                  QStringLiteral("DONE "), QString()}) {
        QVERIFY(!SplashHandOff::handOff(engine, *qGuiApp, status, m_main, [&calls] { ++calls; }));
    }
    flushDeletes();
    QCOMPARE(rootNames(engine), QStringList{"splash"});
    QCOMPARE(calls, 0);
}

void TestStartup::handOffSwapsWindows()
{
    QQmlApplicationEngine engine;
    engine.load(m_splash);
    QPointer<QObject> splash = engine.rootObjects().value(0);
    QVERIFY(splash);
    qGuiApp->setQuitOnLastWindowClosed(false);
    int calls = 0;

    QVERIFY(SplashHandOff::handOff(engine, *qGuiApp, QStringLiteral("DONE"), m_main, [&calls] { ++calls; }));
    QVERIFY(!qobject_cast<QQuickWindow *>(splash.data())->isVisible());
    flushDeletes();
    QVERIFY(!splash);
    QCOMPARE(rootNames(engine), QStringList{"main"});
    QVERIFY(qGuiApp->quitOnLastWindowClosed());
    QCOMPARE(calls, 1);

    // A second "DONE" loads another main window and retires the first.
    QPointer<QObject> firstMain = engine.rootObjects().value(0);
    QVERIFY(SplashHandOff::handOff(engine, *qGuiApp, QStringLiteral("DONE"), m_main, [&calls] { ++calls; }));
    flushDeletes();
    QVERIFY(!firstMain);
    QCOMPARE(rootNames(engine), QStringList{"main"});
    QCOMPARE(calls, 2);

    // A main document that fails leaves no window; the old ones still go.
    QVERIFY(SplashHandOff::handOff(engine, *qGuiApp, QStringLiteral("DONE"), m_broken));
    flushDeletes();
    QVERIFY(engine.rootObjects().isEmpty());
}

// The whole path: the worker lists cameras off the GUI thread, the queued
// completion fills the caches and says "DONE", and the connected hand-off
// swaps the windows, again on a second initialization.
void TestStartup::initializationReachesDoneTwice()
{
    ApplicationManager &manager = ApplicationManager::instance();
    QCOMPARE(manager.splashStatusText(), QStringLiteral("Initializing..."));
    const std::thread::id guiThread = std::this_thread::get_id();
    std::thread::id listerThread;
    ApplicationManager::setCameraLister([&listerThread] {
        listerThread = std::this_thread::get_id();
        return std::vector<CameraScanDevice>{{"Desk cam", "/dev/video0", {{1280, 720, 60, 1, "MJPG"}}}};
    });

    QQmlApplicationEngine engine;
    engine.load(m_splash);
    int afterMain = 0;
    SplashHandOff::connectToManager(manager, engine, *qGuiApp, m_main, [&afterMain] { ++afterMain; });
    QSignalSpy status(&manager, &ApplicationManager::splashStatusTextChanged);

    manager.runInitialization();
    QCOMPARE(manager.splashStatusText(), QStringLiteral("Scanning for devices..."));
    QCOMPARE(rootNames(engine), QStringList{"splash"});
    QTRY_COMPARE(manager.splashStatusText(), QStringLiteral("DONE"));
    QCOMPARE(status.count(), 2);
    QVERIFY(listerThread != guiThread);
    QCOMPARE(manager.getAvailableCameras().size(), 1);
    QCOMPARE(manager.getCameraFormats("/dev/video0").value(0).toMap().value("fps").toDouble(), 60.0);
    flushDeletes();
    QCOMPARE(rootNames(engine), QStringList{"main"});
    QCOMPARE(afterMain, 1);
    QPointer<QObject> firstMain = engine.rootObjects().value(0);

    // No cameras the second time: the caches empty, the status still "DONE".
    ApplicationManager::setCameraLister({});
    manager.runInitialization();
    QTRY_COMPARE(status.count(), 4);
    QCOMPARE(manager.splashStatusText(), QStringLiteral("DONE"));
    QVERIFY(manager.getAvailableCameras().isEmpty());
    flushDeletes();
    QVERIFY(!firstMain);
    QCOMPARE(rootNames(engine), QStringList{"main"});
    QCOMPARE(afterMain, 2);

    // A lister that throws still ends in "DONE".
    ApplicationManager::setCameraLister([]() -> std::vector<CameraScanDevice> { throw std::runtime_error("no bus"); });
    manager.runInitialization();
    QTRY_COMPARE(status.count(), 6);
    QCOMPARE(manager.splashStatusText(), QStringLiteral("DONE"));
    ApplicationManager::setCameraLister({});
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
