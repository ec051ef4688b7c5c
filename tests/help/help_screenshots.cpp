// Renders the help window (English and Serbian) and the performance monitor
// offscreen to PNG files, with the real application manager as AppManager:
//   korvex_help_screenshots <output folder>
// writes help-en.png, help-sr.png and perf-monitor.png there. The manuals are
// the ones installed beside the binaries. The monitor is caught during a real
// take of two virtual test cameras, recorded into a temporary folder that is
// removed afterwards; its log tail is this program's own message log. Exit code 1 when a document does not load or a
// picture cannot be written.

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "app/MessageLog.h"
#include "WindowShot.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>

#include <SDL.h>

#include <cstdio>
#include <memory>

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

    qputenv("KORVEX_TEST_CAMERAS", "2");
    MessageLog::install();
    // SDL's own SIGINT/SIGTERM handlers would make the program ignore kill
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);

    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvex.studio"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));

    ApplicationManager &manager = ApplicationManager::instance();
    qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &manager);
    InputChannelsModel channels;
    manager.setChannelsModel(&channels);
    QTemporaryDir takes;

    bool ok = false;
    {
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        const QString language = manager.currentLanguage();
        manager.setCurrentLanguage(QStringLiteral("EN"));
        if (auto help = openWindow(engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Components/HelpWindow.qml")))) {
            ok = saveWindowShot(*help, 300, out.filePath(QStringLiteral("help-en.png")));
            manager.setCurrentLanguage(QStringLiteral("SR"));
            ok = ok && saveWindowShot(*help, 300, out.filePath(QStringLiteral("help-sr.png")));
            manager.setCurrentLanguage(QStringLiteral("EN"));
        }
        if (ok && takes.isValid()) {
            manager.setRecordingPath(takes.path());
            manager.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
            manager.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 640, 480, 30.0f);
            QTest::qWait(500);
            manager.startRecording();
            auto monitor = openWindow(engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Components/PerformanceMonitorWindow.qml")));
            // two metrics updates into the take, so the write speed has a
            // measured interval, and the log ticks after them
            ok = monitor && saveWindowShot(*monitor, 4500, out.filePath(QStringLiteral("perf-monitor.png")));
            manager.stopRecording();
        }
        manager.setCurrentLanguage(language);
    }
    SDL_Quit();
    return ok ? 0 : 1;
}
