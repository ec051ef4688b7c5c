// Qt Quick Test of the mixer panel's rules (dB text and entry, meter
// fraction and peak hold) and of the panel itself against the real engine.
// Every TestCase fails on any warning at run time (failOnWarning in init);
// warnings while loading are caught by tst_audio_panel_load.

#include "MixerTestBackend.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>


class AudioQmlSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        m_manager = std::make_unique<MixerTestManager>();
        m_channels = std::make_unique<MixerTestChannels>();
        qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", m_manager.get());
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), m_channels.get());
    }
private:
    std::unique_ptr<MixerTestManager> m_manager;
    std::unique_ptr<MixerTestChannels> m_channels;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_audio_qml, AudioQmlSetup)
#include "tst_audio_qml.moc"
