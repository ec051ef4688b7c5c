// Renders the splash and the main window offscreen to PNG files, with the
// backend registered as the program registers it:
//   korvex_ui_screenshots <output folder>
// writes splash.png and main-window.png there; the main window shows four
// live virtual test cameras. Exit code 1 when a document does not load or a
// picture cannot be written.

#include "UiBackend.h"
#include "WindowShot.h"
#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"

#include <QDir>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

bool render(QQmlEngine &engine, const QString &document, int settleMs, const QString &path)
{
    const std::unique_ptr<QQuickWindow> window = openWindow(engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/") + document));
    return window && saveWindowShot(*window, settleMs, path);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KORVEX_TEST_CAMERAS", "4");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.absolutePath()))
        return 1;

    UiBackend::prepareApplication();
    QQmlEngine engine;
    UiBackend::exposeTo(engine);

    // the sweep is caught mid-track
    bool ok = render(engine, QStringLiteral("SplashWindow.qml"), 700, out.filePath(QStringLiteral("splash.png")));
    // four cameras as an operator adds them in the source dialog, channel 2 on program
    for (int ch = 1; ch <= 4; ++ch) {
        ApplicationManager::instance().setCameraForChannel(ch, QStringLiteral("korvex-test://%1").arg(ch), 1920, 1080,
                                                           30.0f, QStringLiteral("Default"));
        UiBackend::channelsModel().setHasActiveVideo(ch, true);
        UiBackend::channelsModel().setChannelName(ch, QStringLiteral("CAM %1").arg(ch));
    }
    ApplicationManager::instance().setActiveSourceId(2);
    ok = ok && render(engine, QStringLiteral("Main.qml"), 600, out.filePath(QStringLiteral("main-window.png")));
    return ok ? 0 : 1;
}
