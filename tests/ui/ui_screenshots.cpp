// Renders the splash and the main window offscreen to PNG files, with the
// backend registered as the program registers it:
//   korvex_ui_screenshots <output folder>
// writes splash.png and main-window.png there. Exit code 1 when a document
// does not load or a picture cannot be written.

#include "UiBackend.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

bool render(QQmlEngine &engine, const QString &document, int settleMs, const QString &path)
{
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/") + document));
    std::unique_ptr<QObject> object(component.create());
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    if (!window) {
        std::fprintf(stderr, "%s did not load: %s\n", qPrintable(document), qPrintable(component.errorString()));
        return false;
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QTest::qWait(settleMs);
    const QImage image = window->grabWindow();
    if (image.isNull() || !image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
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
    const bool ok = render(engine, QStringLiteral("SplashWindow.qml"), 700, out.filePath(QStringLiteral("splash.png")))
            && render(engine, QStringLiteral("Main.qml"), 300, out.filePath(QStringLiteral("main-window.png")));
    return ok ? 0 : 1;
}
