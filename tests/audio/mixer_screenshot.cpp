// Renders the mixer panel offscreen with a few channels showing levels:
//   korvex_mixer_screenshot <file.png>
// Exit code 1 when the panel does not load or the picture cannot be written.

#include "MixerTestBackend.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    MixerTestManager manager;
    MixerTestChannels channels;
    qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &manager);
    manager.setChannelAudioVolume(1, 0.9f);
    manager.setChannelAudioVolume(3, 0.55f);
    manager.setChannelAudioMute(3, true);
    manager.setChannelAudioSolo(2, true);
    manager.setChannelSeparateAudioEnabled(1, true);
    manager.setMasterAudioVolume(1.0f);
    manager.refreshAudioInputDevices();
    manager.showMasterLevels(0.7f, 0.62f);
    manager.setLiveMonitoringEnabled(false);
    channels.setLevels(1, 0.5, 0.42);
    channels.setLevels(2, 0.9, 0.95);
    channels.setLevels(3, 0.3, 0.3);
    channels.setLevels(4, 0.02, 0.015);

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), &channels);
    QQuickWindow window;
    window.resize(660, 460);
    window.setColor(Qt::black);
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Components/AudioMixerPanel.qml")));
    std::unique_ptr<QObject> object(component.create());
    auto *panel = qobject_cast<QQuickItem *>(object.get());
    if (!panel) {
        std::fprintf(stderr, "AudioMixerPanel did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    panel->setParentItem(window.contentItem());
    panel->setSize(QSizeF(660, 460));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QTest::qWait(300);
    const QImage image = window.grabWindow();
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s %dx%d\n", argv[1], image.width(), image.height());
    return 0;
}
