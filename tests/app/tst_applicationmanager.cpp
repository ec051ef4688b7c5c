#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "app/Keybinds.h"
#include "platform/StandardLocations.h"
#include "WarningGuard.h"

#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaProperty>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// Focus objects named like the platform's text entries, and one that is not.
class ProbeTextInput : public QObject { Q_OBJECT };
class ProbeTextEdit : public QObject { Q_OBJECT };
class ProbeLineEdit : public QObject { Q_OBJECT };
class ProbeTextField : public QObject { Q_OBJECT };
class ProbeSpinBox : public QObject { Q_OBJECT };
class ProbeButton : public QObject { Q_OBJECT };
class Probetextinput : public QObject { Q_OBJECT };

class TestApplicationManager : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void initialValues();
    void notifyContract_data();
    void notifyContract();
    void derivedValues_data();
    void derivedValues();
    void applyRecommendedSettings_data();
    void applyRecommendedSettings();
    void activeSourceRange_data();
    void activeSourceRange();
    void qualityPresetSetsRates_data();
    void qualityPresetSetsRates();
    void losslessHandsBackTheMode();
    void bitRateZeroRefused_data();
    void bitRateZeroRefused();

    void sourceKeys();
    void keyToString_data();
    void keyToString();
    void textEntryFocus_data();
    void textEntryFocus();
    void hotkeyDecision_data();
    void hotkeyDecision();
    void filterConsumesHotkeys();
    void filterIgnoresTypingInQml();

    void mixerStripsAndCameraDefaults();
    void channelsModelLinkIsGuarded();

private:
    ApplicationManager &manager() { return ApplicationManager::instance(); }
};

void TestApplicationManager::init()
{
    ApplicationManager &m = manager();
    m.setIsCapturingKeybind(false);
    m.setActiveSourceId(1);
    for (int i = 0; i < 4; ++i)
        m.setSourceKey(i, Qt::Key_1 + i);
}

void TestApplicationManager::initialValues()
{
    ApplicationManager &m = manager();
    QCOMPARE(m.isRecording(), false);
    QCOMPARE(m.countdownSeconds(), 3);
    QCOMPARE(m.timecode(), QStringLiteral("00:00:00:00"));
    QCOMPARE(m.activeSessionName(), QStringLiteral("Session_") + QDate::currentDate().toString("yyyy-MM-dd"));
    QCOMPARE(m.recordingPath(), StandardLocations::defaultRecordingPath());
    QVERIFY(m.recordingPath().endsWith(QLatin1String("/Korvex")));
    QCOMPARE(m.masterAudioDevice(), QStringLiteral("Default system input"));
    QCOMPARE(m.audioInputDevices().value(0).toString(), QStringLiteral("Default system input"));
    QCOMPARE(m.audioOutputDevices().value(0).toString(), QStringLiteral("Default system output"));
    QCOMPARE(m.splashStatusText(), QStringLiteral("Initializing..."));
    QCOMPARE(m.cpuUsage(), QStringLiteral("CPU: 0%"));
    QCOMPARE(m.ramUsage(), QStringLiteral("RAM: 0 MB"));
    // Outside a take, with no camera delivering, the measured rate is zero.
    QCOMPARE(m.currentFps(), 0.0);
    QCOMPARE(m.recommendedFramerateIndex(), 8);
    QCOMPARE(m.sequenceFps(), 30.0);
    QCOMPARE(m.sequenceWidth(), 1920);
    QCOMPARE(m.sequenceHeight(), 1080);
    QVERIFY(m.perfLogFilePath().endsWith(QLatin1String("/perf_log.csv")));
    QVERIFY(!QFile::exists(m.perfLogFilePath()));
}

// Every writable property: an equal write emits nothing, a different one
// emits its notify signal once and reads back.
void TestApplicationManager::notifyContract_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("other");
    const QMetaObject *mo = &ApplicationManager::staticMetaObject;
    int writable = 0;
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (!p.isWritable())
            continue;
        ++writable;
        QVariant other;
        switch (p.metaType().id()) {
        case QMetaType::Bool: other = true; break;
        case QMetaType::Int: other = 7; break;
        case QMetaType::QString: other = QStringLiteral("Changed value"); break;
        default: QFAIL(qPrintable(QStringLiteral("no case for %1").arg(p.name())));
        }
        if (QByteArray(p.name()) == "activeSourceId")
            other = 3;
        QTest::newRow(p.name()) << QByteArray(p.name()) << other;
    }
    QCOMPARE(writable, 25);
}

void TestApplicationManager::notifyContract()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, other);
    ApplicationManager &m = manager();
    const QMetaObject *mo = m.metaObject();
    const QMetaProperty p = mo->property(mo->indexOfProperty(property));
    QVERIFY(p.hasNotifySignal());
    const QVariant original = p.read(&m);

    QSignalSpy spy(&m, p.notifySignal());
    // Writing the same master input again retries the open while no capture
    // is open (there is no sound server here), and announces the attempt.
    const int equalWrite = property == "masterAudioDevice" ? 1 : 0;
    QVERIFY(p.write(&m, original));
    QCOMPARE(spy.count(), equalWrite);
    spy.clear();

    QVERIFY(p.write(&m, other));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(p.read(&m), other);
    QVERIFY(p.write(&m, other));
    QCOMPARE(spy.count(), 1 + equalWrite);

    QVERIFY(p.write(&m, original));
    QCOMPARE(spy.count(), 2 + equalWrite);
    QCOMPARE(p.read(&m), original);
}

// The operator's rate control before the preset, the preset, what follows.
void TestApplicationManager::qualityPresetSetsRates_data()
{
    QTest::addColumn<QString>("modeBefore");
    QTest::addColumn<int>("qualityIndex");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("cqp");
    QTest::newRow("low") << "CBR" << 0 << 4000 << 6000 << "CBR" << 20;
    QTest::newRow("medium keeps VBR") << "VBR" << 1 << 8000 << 12000 << "VBR" << 20;
    QTest::newRow("high is the default pair") << "CBR" << 2 << 16000 << 24000 << "CBR" << 20;
    QTest::newRow("ultra") << "CBR" << 3 << 30000 << 45000 << "CBR" << 20;
    QTest::newRow("operator's own CQP kept") << "CQP" << 3 << 30000 << 45000 << "CQP" << 20;
    QTest::newRow("lossless is CQP 0") << "VBR" << 4 << 8000 << 12000 << "CQP" << 0;
    QTest::newRow("outside the list changes nothing") << "VBR" << 7 << 8000 << 12000 << "VBR" << 20;
}

void TestApplicationManager::qualityPresetSetsRates()
{
    QFETCH(QString, modeBefore);
    QFETCH(int, qualityIndex);
    QFETCH(int, target);
    QFETCH(int, max);
    QFETCH(QString, mode);
    QFETCH(int, cqp);
    ApplicationManager &m = manager();
    m.setRecordingQualityIndex(1); // 8000 / 12000
    m.setRateControlMode(modeBefore);
    m.setCqpLevel(20);

    QSignalSpy targetSpy(&m, &ApplicationManager::targetBitrateKbpsChanged);
    m.setRecordingQualityIndex(qualityIndex);
    QCOMPARE(m.recordingQualityIndex(), qualityIndex);
    QCOMPARE(m.targetBitrateKbps(), target);
    QCOMPARE(m.maxBitrateKbps(), max);
    QCOMPARE(m.rateControlMode(), mode);
    QCOMPARE(m.cqpLevel(), cqp);
    QCOMPARE(targetSpy.count(), target == 8000 ? 0 : 1);

    m.setRecordingQualityIndex(2);
    m.setRateControlMode(QStringLiteral("CBR"));
    m.setCqpLevel(20);
}

void TestApplicationManager::losslessHandsBackTheMode()
{
    ApplicationManager &m = manager();
    m.setRecordingQualityIndex(2);
    m.setRateControlMode(QStringLiteral("VBR"));
    m.setCqpLevel(23);

    m.setRecordingQualityIndex(4);
    QCOMPARE(m.rateControlMode(), QStringLiteral("CQP"));
    QCOMPARE(m.cqpLevel(), 0);
    // leaving Lossless for a bit-rate preset restores the mode and level
    m.setRecordingQualityIndex(0);
    QCOMPARE(m.rateControlMode(), QStringLiteral("VBR"));
    QCOMPARE(m.cqpLevel(), 23);
    QCOMPARE(m.targetBitrateKbps(), 4000);

    // a level the operator typed while in Lossless is theirs and stays
    m.setRecordingQualityIndex(4);
    m.setCqpLevel(18);
    m.setRecordingQualityIndex(2);
    QCOMPARE(m.rateControlMode(), QStringLiteral("CQP"));
    QCOMPARE(m.cqpLevel(), 18);
    QCOMPARE(m.targetBitrateKbps(), 16000);

    m.setRateControlMode(QStringLiteral("CBR"));
    m.setCqpLevel(20);
}

void TestApplicationManager::bitRateZeroRefused_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    QTest::newRow("target 0") << QByteArray("targetBitrateKbps") << 0;
    QTest::newRow("target negative") << QByteArray("targetBitrateKbps") << -500;
    QTest::newRow("max 0") << QByteArray("maxBitrateKbps") << 0;
    QTest::newRow("max negative") << QByteArray("maxBitrateKbps") << -1;
}

void TestApplicationManager::bitRateZeroRefused()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    ApplicationManager &m = manager();
    const QMetaProperty p = m.metaObject()->property(m.metaObject()->indexOfProperty(property));
    const QVariant before = p.read(&m);
    QSignalSpy spy(&m, p.notifySignal());
    WarningGuard guard;
    p.write(&m, value);
    QCOMPARE(p.read(&m), before);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(guard.warnings().size(), 1);
    QVERIFY(guard.warnings().first().contains(QLatin1String("refused")));

    // CQP 0 is a real level (lossless), not a bit rate
    m.setCqpLevel(0);
    QCOMPARE(m.cqpLevel(), 0);
    m.setCqpLevel(20);
}

void TestApplicationManager::derivedValues_data()
{
    QTest::addColumn<int>("resolutionIndex");
    QTest::addColumn<QString>("resolutionName");
    QTest::addColumn<int>("framerateIndex");
    QTest::addColumn<double>("fps");
    QTest::newRow("0") << 0 << "3840x2160 (4K UHD)" << 0 << 60.0;
    QTest::newRow("1") << 1 << "2560x1440 (2K QHD)" << 1 << 59.94;
    QTest::newRow("2") << 2 << "1920x1080 (1080p FHD)" << 2 << 50.0;
    QTest::newRow("3") << 3 << "1280x720 (720p HD)" << 3 << 30.0;
    QTest::newRow("4") << 4 << "640x480 (SD)" << 4 << 29.97;
    QTest::newRow("5") << 5 << "1920x1080 (1080p FHD)" << 5 << 25.0;
    QTest::newRow("6") << 6 << "1920x1080 (1080p FHD)" << 6 << 24.0;
    QTest::newRow("7") << 7 << "1920x1080 (1080p FHD)" << 7 << 23.976;
    QTest::newRow("8") << 8 << "1920x1080 (1080p FHD)" << 8 << 30.0;
    QTest::newRow("negative") << -1 << "1920x1080 (1080p FHD)" << -1 << 30.0;
}

void TestApplicationManager::derivedValues()
{
    QFETCH(int, resolutionIndex);
    QFETCH(QString, resolutionName);
    QFETCH(int, framerateIndex);
    QFETCH(double, fps);
    ApplicationManager &m = manager();
    m.setRecordingResolutionIndex(resolutionIndex);
    m.setRecordingFramerateIndex(framerateIndex);
    QCOMPARE(m.recordingResolutionIndex(), resolutionIndex);
    QCOMPARE(m.activeResolutionName(), resolutionName);
    QCOMPARE(m.property("activeResolutionName").toString(), resolutionName);
    QCOMPARE(m.selectedGlobalFps(), fps);
    m.setRecordingResolutionIndex(2);
    m.setRecordingFramerateIndex(4);
}

// The benchmark's recommendation (from a measured speed) is what
// applyRecommendedSettings gives the recording resolution and frame rate:
// the card's combos take the recommended indices of the settings window's
// lists, and selectedGlobalFps shows the same rate. Applying again emits nothing.
void TestApplicationManager::applyRecommendedSettings_data()
{
    QTest::addColumn<double>("measuredFps"); // of the fastest encoder; < 0: no benchmark yet
    QTest::addColumn<int>("resolution");
    QTest::addColumn<int>("settingsFramerate");
    QTest::addColumn<int>("framerateIndex");
    QTest::addColumn<double>("fps");
    QTest::newRow("before any benchmark") << -1.0 << 2 << 8 << 0 << 60.0;
    QTest::newRow("4K60") << 1200.0 << 0 << 8 << 0 << 60.0;
    QTest::newRow("1080p30") << 180.0 << 2 << 4 << 3 << 30.0;
    QTest::newRow("1080p25") << 128.0 << 2 << 2 << 5 << 25.0;
    QTest::newRow("1440p30") << 300.0 << 1 << 4 << 3 << 30.0;
    QTest::newRow("too slow for anything") << 10.0 << 4 << 0 << 7 << 23.976;
}

void TestApplicationManager::applyRecommendedSettings()
{
    QFETCH(double, measuredFps);
    QFETCH(int, resolution);
    QFETCH(int, settingsFramerate);
    QFETCH(int, framerateIndex);
    QFETCH(double, fps);
    ApplicationManager &m = manager();
    if (measuredFps >= 0.0) {
        m.hardware().setMeasure([measuredFps](const EncoderOption &, const std::string &) { return measuredFps; });
        QSignalSpy state(&m, &ApplicationManager::benchmarkStateChanged);
        m.runHardwareBenchmark();
        QVERIFY(m.isBenchmarking());
        QTRY_VERIFY_WITH_TIMEOUT(!m.isBenchmarking(), 60000);
        QCOMPARE(state.count(), 2);
        QVERIFY(m.benchmarkSummary().contains(QStringLiteral("Software H.264 veryfast: %1 fps").arg(measuredFps, 0, 'f', 1)));
    }
    QCOMPARE(m.recommendedResolutionIndex(), resolution);
    QCOMPARE(m.recommendedFramerateIndex(), settingsFramerate);

    m.setRecordingResolutionIndex(3);
    m.setRecordingFramerateIndex(6);
    QSignalSpy resolutionSpy(&m, &ApplicationManager::recordingResolutionIndexChanged);
    QSignalSpy framerateSpy(&m, &ApplicationManager::recordingFramerateIndexChanged);
    m.applyRecommendedSettings();
    QCOMPARE(m.recordingResolutionIndex(), resolution);
    QCOMPARE(m.recordingFramerateIndex(), framerateIndex);
    QCOMPARE(m.selectedGlobalFps(), fps);
    QCOMPARE(resolutionSpy.count(), resolution == 3 ? 0 : 1);
    QCOMPARE(framerateSpy.count(), 1);
    m.applyRecommendedSettings();
    QCOMPARE(resolutionSpy.count(), resolution == 3 ? 0 : 1);
    QCOMPARE(framerateSpy.count(), 1);
    m.setRecordingResolutionIndex(2);
    m.setRecordingFramerateIndex(4);
}

void TestApplicationManager::activeSourceRange_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("emitted");
    QTest::newRow("same") << 1 << 1 << 0;
    QTest::newRow("4") << 4 << 4 << 1;
    QTest::newRow("0") << 0 << 1 << 0;
    QTest::newRow("5") << 5 << 1 << 0;
    QTest::newRow("-3") << -3 << 1 << 0;
}

void TestApplicationManager::activeSourceRange()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    QFETCH(int, emitted);
    QSignalSpy spy(&manager(), &ApplicationManager::activeSourceChanged);
    manager().setActiveSourceId(value);
    QCOMPARE(manager().activeSourceId(), expected);
    QCOMPARE(spy.count(), emitted);
    QVERIFY(manager().cutList().isEmpty());
}

void TestApplicationManager::sourceKeys()
{
    ApplicationManager &m = manager();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(m.getSourceKey(i), 49 + i);
    QCOMPARE(m.getSourceKey(4), 0);
    QCOMPARE(m.getSourceKey(-1), 0);
    QCOMPARE(m.getSourceKeyName(2), QStringLiteral("3"));
    QCOMPARE(m.getSourceKeyName(4), QString());

    QSignalSpy spy(&m, &ApplicationManager::keybindsChanged);
    m.setSourceKey(4, 65);
    m.setSourceKey(-1, 65);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m.getSourceKey(3), 52);

    m.setSourceKey(0, 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(m.getSourceKey(0), 0);
    QCOMPARE(m.getSourceKeyName(0), QString());
    // Writing the same key again is still a keybind change.
    m.setSourceKey(0, 0);
    QCOMPARE(spy.count(), 2);
}

void TestApplicationManager::keyToString_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("negative") << -5 << QString();
    QTest::newRow("zero") << 0 << QString();
    QTest::newRow("digit 0") << 48 << "0";
    QTest::newRow("digit 9") << 57 << "9";
    QTest::newRow("F1") << int(Qt::Key_F1) << QKeySequence(Qt::Key_F1).toString(QKeySequence::NativeText);
    QTest::newRow("A") << int(Qt::Key_A) << "A";
}

void TestApplicationManager::keyToString()
{
    QFETCH(int, key);
    QFETCH(QString, expected);
    QCOMPARE(manager().keyToString(key), expected);
    if (key == Qt::Key_F1)
        QVERIFY(!expected.isEmpty());
}

void TestApplicationManager::textEntryFocus_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("textEntry");
    QTest::newRow("TextInput") << "ProbeTextInput" << true;
    QTest::newRow("TextEdit") << "ProbeTextEdit" << true;
    QTest::newRow("LineEdit") << "ProbeLineEdit" << true;
    QTest::newRow("TextField") << "ProbeTextField" << true;
    QTest::newRow("SpinBox") << "ProbeSpinBox" << true;
    QTest::newRow("Button") << "ProbeButton" << false;
    QTest::newRow("case-sensitive") << "Probetextinput" << false;
    QTest::newRow("none") << "" << false;
}

static std::unique_ptr<QObject> makeProbe(const QString &className)
{
    if (className == QLatin1String("ProbeTextInput")) return std::make_unique<ProbeTextInput>();
    if (className == QLatin1String("ProbeTextEdit")) return std::make_unique<ProbeTextEdit>();
    if (className == QLatin1String("ProbeLineEdit")) return std::make_unique<ProbeLineEdit>();
    if (className == QLatin1String("ProbeTextField")) return std::make_unique<ProbeTextField>();
    if (className == QLatin1String("ProbeSpinBox")) return std::make_unique<ProbeSpinBox>();
    if (className == QLatin1String("ProbeButton")) return std::make_unique<ProbeButton>();
    if (className == QLatin1String("Probetextinput")) return std::make_unique<Probetextinput>();
    return nullptr;
}

void TestApplicationManager::textEntryFocus()
{
    QFETCH(QString, className);
    QFETCH(bool, textEntry);
    const std::unique_ptr<QObject> probe = makeProbe(className);
    QCOMPARE(Keybinds::isTextEntry(probe.get()), textEntry);

    Keybinds keys;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
    QCOMPARE(keys.sourceForEvent(&press, probe.get(), false), textEntry ? 0 : 2);
}

void TestApplicationManager::hotkeyDecision_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("capturing");
    QTest::addColumn<int>("source");
    QTest::newRow("digit 3") << int(QEvent::KeyPress) << int(Qt::Key_3) << 0 << false << 3;
    QTest::newRow("ctrl+1") << int(QEvent::KeyPress) << int(Qt::Key_1) << int(Qt::ControlModifier) << false << 1;
    QTest::newRow("shift+alt+4") << int(QEvent::KeyPress) << int(Qt::Key_4) << int(Qt::ShiftModifier | Qt::AltModifier) << false << 4;
    QTest::newRow("release") << int(QEvent::KeyRelease) << int(Qt::Key_3) << 0 << false << 0;
    QTest::newRow("capturing") << int(QEvent::KeyPress) << int(Qt::Key_4) << 0 << true << 0;
    QTest::newRow("unbound") << int(QEvent::KeyPress) << int(Qt::Key_5) << 0 << false << 0;
}

void TestApplicationManager::hotkeyDecision()
{
    QFETCH(int, type);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, capturing);
    QFETCH(int, source);
    Keybinds keys;
    QKeyEvent event(QEvent::Type(type), key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(keys.sourceForEvent(&event, nullptr, capturing), source);
}

void TestApplicationManager::filterConsumesHotkeys()
{
    ApplicationManager &m = manager();
    QObject target;
    QSignalSpy spy(&m, &ApplicationManager::activeSourceChanged);
    auto press = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, mods);
        return m.eventFilter(&target, &event);
    };

    QVERIFY(press(Qt::Key_3));
    QCOMPARE(m.activeSourceId(), 3);
    QCOMPARE(spy.count(), 1);
    // The active source again: consumed, nothing changes.
    QVERIFY(press(Qt::Key_3));
    QCOMPARE(spy.count(), 1);
    QVERIFY(press(Qt::Key_1, Qt::ControlModifier));
    QCOMPARE(m.activeSourceId(), 1);
    QVERIFY(!press(Qt::Key_7));

    m.setIsCapturingKeybind(true);
    QVERIFY(!press(Qt::Key_4));
    QCOMPARE(m.activeSourceId(), 1);
    m.setIsCapturingKeybind(false);

    // First match wins when two sources share a key; 0 disables a source.
    m.setSourceKey(1, Qt::Key_1);
    m.setActiveSourceId(2);
    QVERIFY(press(Qt::Key_1));
    QCOMPARE(m.activeSourceId(), 1);
    m.setSourceKey(0, 0);
    m.setActiveSourceId(3);
    QVERIFY(press(Qt::Key_1));
    QCOMPARE(m.activeSourceId(), 2);
    m.setSourceKey(1, 0);
    QVERIFY(!press(Qt::Key_1));
    QCOMPARE(m.activeSourceId(), 2);

    // Non-key events pass through.
    QEvent other(QEvent::MouseButtonPress);
    QVERIFY(!m.eventFilter(&target, &other));
}

// Real delivery through the installed application filter: a hotkey never
// reaches a plain item, typing into a text field is never taken.
void TestApplicationManager::filterIgnoresTypingInQml()
{
    ApplicationManager &m = manager();
    WarningGuard warnings;
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick
        import QtQuick.Window
        Window {
            width: 200; height: 100; visible: true
            property alias field: field
            property alias plain: plain
            property int plainKeys: 0
            TextInput { id: field; width: 100; height: 20 }
            Item { id: plain; y: 40; width: 100; height: 20; Keys.onPressed: plainKeys++ }
        }
    )", QUrl());
    std::unique_ptr<QObject> root(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    auto *window = qobject_cast<QQuickWindow *>(root.get());
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->requestActivate();
    auto *field = root->property("field").value<QQuickItem *>();
    auto *plain = root->property("plain").value<QQuickItem *>();

    field->forceActiveFocus();
    QTRY_COMPARE(QGuiApplication::focusObject(), field);
    QTest::keyClick(window, Qt::Key_2, Qt::NoModifier);
    QCOMPARE(field->property("text").toString(), QStringLiteral("2"));
    QCOMPARE(m.activeSourceId(), 1);

    plain->forceActiveFocus();
    QTRY_COMPARE(QGuiApplication::focusObject(), plain);
    QTest::keyClick(window, Qt::Key_4, Qt::NoModifier);
    QCOMPARE(m.activeSourceId(), 4);
    QCOMPARE(root->property("plainKeys").toInt(), 0);
    QTest::keyClick(window, Qt::Key_9, Qt::NoModifier);
    QCOMPARE(root->property("plainKeys").toInt(), 1);
    QVERIFY2(warnings.warnings().isEmpty(), qPrintable(warnings.warnings().join('\n')));
}

void TestApplicationManager::mixerStripsAndCameraDefaults()
{
    ApplicationManager &m = manager();
    QCOMPARE(m.getChannelAudioVolume(2), 0.8f);
    m.setChannelAudioVolume(2, 1.5f);
    QCOMPARE(m.getChannelAudioFader(2), 1.0f);
    QCOMPARE(m.getChannelAudioVolume(9), 0.8f);
    m.setMasterAudioVolume(-1.0f);
    QCOMPARE(m.masterAudioFader(), 0.0f);
    QVERIFY(!m.isChannelSeparateAudioEnabled(3));
    m.setChannelSeparateAudioEnabled(3, true);
    QVERIFY(m.isChannelSeparateAudioEnabled(3));
    QCOMPARE(m.getChannelAudioInput(1), QString());

    QCOMPARE(m.getCameraWidthForChannel(4), 1920);
    QCOMPARE(m.getCameraHeightForChannel(4), 1080);
    QCOMPARE(m.getCameraFramerateForChannel(4), 30.0f);
    QCOMPARE(m.getCameraColorRangeForChannel(4), QStringLiteral("Default"));
    QCOMPARE(m.getCameraLinkForChannel(4), QString());
    QCOMPARE(m.getChannelCameraLink(3), 0);
    m.setChannelCameraLink(3, 7);
    QCOMPARE(m.getChannelCameraLink(3), 7);
    QVERIFY(!m.cameraSourceForChannel(1));
    QVERIFY(m.getCameraFormats(QStringLiteral("/dev/video0")).isEmpty());
}

void TestApplicationManager::channelsModelLinkIsGuarded()
{
    ApplicationManager &m = manager();
    auto model = std::make_unique<InputChannelsModel>();
    m.setChannelsModel(model.get());
    model->setHasActiveVideo(2, true);
    m.removeCameraFromChannel(2);
    QVERIFY(!model->hasActiveVideo(2));
    model.reset();
    QCOMPARE(m.channelsModel(), nullptr);
    m.removeCameraFromChannel(2);
}

QTEST_MAIN(TestApplicationManager)
#include "tst_applicationmanager.moc"
