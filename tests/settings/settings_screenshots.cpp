// Renders the settings window's four pages offscreen with the real backend,
// two virtual test cameras assigned so the sources page shows live previews:
//   korvex_settings_screenshots [output folder]
// writes settings_recording.png, settings_recording_advanced.png,
// settings_sources.png, settings_audio.png and settings_system.png there
// (docs/screenshots/ of the repository by default). Exit code 1 when the
// window does not load or a picture cannot be written.

#include "UiBackend.h"
#include "WindowShot.h"
#include "app/ApplicationManager.h"

#include <QDir>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    qputenv("KORVEX_TEST_CAMERAS", "2");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(KORVEX_SOURCE_DIR "/docs/screenshots"));
    if (!QDir().mkpath(out.absolutePath()))
        return 1;

    UiBackend::prepareApplication();
    ApplicationManager &manager = ApplicationManager::instance();
    const QString language = manager.currentLanguage();
    manager.setCurrentLanguage(QStringLiteral("EN"));
    manager.setCameraForChannel(1, QStringLiteral("korvex-test://1"), 640, 480, 30.0f);
    manager.setCameraForChannel(2, QStringLiteral("korvex-test://2"), 640, 480, 30.0f);

    QQmlEngine engine;
    UiBackend::exposeTo(engine);
    const std::unique_ptr<QQuickWindow> window =
        openWindow(engine, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Components/SettingsDialog.qml")));
    if (!window)
        return 1;

    bool ok = saveWindowShot(*window, 400, out.filePath(QStringLiteral("settings_recording.png")));
    manager.setAdvancedQualityEnabled(true);
    manager.setRateControlMode(QStringLiteral("VBR"));
    QTest::qWait(100);
    auto *page = window->findChild<QQuickItem *>(QStringLiteral("settingsRecordingPage"));
    auto *grid = window->findChild<QQuickItem *>(QStringLiteral("settingsAdvancedGrid"));
    if (page && grid) {
        const auto *content = page->property("contentItem").value<QQuickItem *>();
        const qreal top = grid->mapToItem(content, QPointF(0, 0)).y() - 8;
        page->setProperty("contentY", qMin(top, page->property("contentHeight").toReal() - page->height()));
    }
    ok = ok && saveWindowShot(*window, 300, out.filePath(QStringLiteral("settings_recording_advanced.png")));
    manager.setAdvancedQualityEnabled(false);
    manager.setRateControlMode(QStringLiteral("CBR"));

    const struct { int page; const char *file; int settleMs; } pages[] = {
        {1, "settings_sources.png", 1200}, {2, "settings_audio.png", 300}, {3, "settings_system.png", 300}};
    for (const auto &p : pages) {
        window->setProperty("currentCategoryIndex", p.page);
        ok = ok && saveWindowShot(*window, p.settleMs, out.filePath(QString::fromLatin1(p.file)));
    }
    manager.setCurrentLanguage(language);
    manager.removeCameraFromChannel(1);
    manager.removeCameraFromChannel(2);
    return ok ? 0 : 1;
}
