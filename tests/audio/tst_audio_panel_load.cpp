// The mixer panel, its meter and its dB box load and run without a single
// QML warning, with the engine registered as the program registers it.

#include "MixerTestBackend.h"
#include "WarningGuard.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

class TestAudioPanelLoad : public QObject
{
    Q_OBJECT

    MixerTestManager m_manager;
    MixerTestChannels m_channels;

private slots:
    void initTestCase()
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        // One engine per case: an instance registration would serve only the first.
        qmlRegisterSingletonType<MixerTestManager>("Korvex", 1, 0, "AppManager", [this](QQmlEngine *, QJSEngine *) -> QObject * {
            QJSEngine::setObjectOwnership(&m_manager, QJSEngine::CppOwnership);
            return &m_manager;
        });
    }

    void loadsWithoutWarnings_data()
    {
        QTest::addColumn<QString>("document");
        QTest::newRow("panel") << QStringLiteral("AudioMixerPanel.qml");
        QTest::newRow("meter") << QStringLiteral("AudioVuMeter.qml");
        QTest::newRow("dB box") << QStringLiteral("DbInputBox.qml");
    }
    void loadsWithoutWarnings()
    {
        QFETCH(QString, document);
        WarningGuard guard;
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        engine.rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), &m_channels);
        QQuickWindow window;
        window.resize(700, 480);
        QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Components/") + document));
        std::unique_ptr<QObject> object(component.create());
        auto *item = qobject_cast<QQuickItem *>(object.get());
        QVERIFY2(item, qPrintable(component.errorString()));
        item->setParentItem(window.contentItem());
        item->setSize(QSizeF(700, 480));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        m_channels.setLevels(1, 0.7, 0.6);
        m_manager.updateAudioLevel(); // no inputs: meters decay, signals still go out
        QTest::qWait(200);
        QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestAudioPanelLoad)
#include "tst_audio_panel_load.moc"
