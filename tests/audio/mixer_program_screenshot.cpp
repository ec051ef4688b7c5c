// Renders the mixer panel as it looks inside the integrated program: a real
// PulseAudio server, the real application manager and the real main window
// (Main.qml) offscreen, channel 1 on the paced 1000 Hz sine, channel 2 on the
// null sink's monitor carrying a 440 Hz tone, channel 3 on the sine but
// muted, the master input on the default source.
//   korvex_mixer_program_screenshot <mixer.png> [<window.png>]
// Exit code 1 when the server or a document does not come up or a picture
// cannot be written.
#include "PulseServer.h"
#include "UiBackend.h"

#include "app/ApplicationManager.h"
#include "capture/audio/WavWriter.h"

#include <QGuiApplication>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {
bool writeTone(const QString &path)
{
    WavWriter writer;
    if (!writer.open(path.toStdString(), 48000, 2))
        return false;
    std::vector<float> block;
    for (int i = 0; i < 48000 * 30; ++i) {
        const float s = 0.3f * std::sin(2.0f * float(M_PI) * 440.0f * float(i) / 48000.0f);
        block.push_back(s);
        block.push_back(s * 0.7f);
    }
    writer.writeSamples(block);
    writer.close();
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <mixer.png> [<window.png>]\n", argv[0]);
        return 2;
    }
    PulseServer pulse;
    QString error;
    if (!pulse.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    if (!writeTone(tone))
        return 1;

    UiBackend::prepareApplication();
    ApplicationManager &manager = ApplicationManager::instance();
    manager.setAudioInputForChannel(1, QStringLiteral("Monitor of Sine_Bus"));
    manager.setChannelAudioVolume(1, 0.92f);
    manager.setAudioInputForChannel(2, QStringLiteral("Monitor of Null Output"));
    manager.setChannelAudioVolume(2, 1.0f);
    manager.setChannelSeparateAudioEnabled(2, true);
    manager.setAudioInputForChannel(3, QStringLiteral("Monitor of Sine_Bus"));
    manager.setChannelAudioMute(3, true);
    manager.setMasterAudioVolume(0.9f);
    pulse.play(tone);

    // The user has dragged the splitter open so every strip shows.
    QSettings(QStringLiteral("Korvex"), QStringLiteral("Korvex")).setValue(QStringLiteral("Layout/audioMixerWidth"), 900);

    QQmlEngine engine;
    UiBackend::exposeTo(engine);
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Main.qml")));
    std::unique_ptr<QObject> object(component.create());
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    if (!window) {
        std::fprintf(stderr, "Main.qml did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    window->resize(1920, 1080); // room for every strip beside the preview
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    QTest::qWait(2500); // the null sink's monitor starts a moment late; meters settle
    const QImage image = window->grabWindow();
    auto *panel = window->findChild<QQuickItem *>(QStringLiteral("audioMixerPanel"));
    if (image.isNull() || !panel) {
        std::fprintf(stderr, "no picture or no mixer panel\n");
        return 1;
    }
    const qreal scale = image.devicePixelRatio();
    const QRectF box = panel->mapRectToScene(QRectF(0, 0, panel->width(), panel->height()));
    const QImage mixer = image.copy(QRectF(box.topLeft() * scale, box.size() * scale).toAlignedRect());
    if (!mixer.save(QString::fromLocal8Bit(argv[1])) || (argc > 2 && !image.save(QString::fromLocal8Bit(argv[2])))) {
        std::fprintf(stderr, "cannot write the pictures\n");
        return 1;
    }
    std::printf("%s %dx%d, levels master %.2f\n", argv[1], mixer.width(), mixer.height(), manager.masterAudioLevel());
    return 0;
}
