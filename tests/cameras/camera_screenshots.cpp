// Renders the monitoring grid with one to four virtual cameras, the preview
// panel while arming, and the source dialog, into the folder given as the
// first argument (docs/screenshots/ of the repository by default).

#include "CameraTestBackend.h"

#include <QDir>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QTest>

namespace {

const char *kScene = R"(
import QtQuick
import QtQuick.Window
import Korvex 1.0
Window {
    id: window
    width: 1280; height: 760
    visible: true
    color: "black"
    property bool showPreview: false
    IsoMonitorGrid { id: grid; width: parent.width; height: window.showPreview ? 460 : parent.height }
    MainPreviewPanel { visible: window.showPreview; y: 460; width: 720; height: 300 }
    SourceConfigDialog { id: sourceConfigDialog; objectName: "dialog"; anchors.fill: parent; z: 150 }
}
)";

bool save(QQuickWindow *window, const QString &path)
{
    QTest::qWait(400);
    const bool ok = window->grabWindow().save(path);
    qInfo().noquote() << (ok ? "wrote" : "could not write") << path;
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KORVEX_TEST_CAMERAS", "4");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QStringLiteral(KORVEX_SOURCE_DIR "/docs/screenshots");
    QDir().mkpath(out);
    CameraTestBackend::prepareApplication();
    CameraTestBackend &backend = CameraTestBackend::instance();

    QQmlEngine engine;
    CameraTestBackend::exposeTo(engine);
    QQmlComponent component(&engine);
    component.setData(kScene, QUrl(QStringLiteral("qrc:/camera_screenshots.qml")));
    std::unique_ptr<QObject> root(component.create());
    auto *window = qobject_cast<QQuickWindow *>(root.get());
    if (!window) {
        qCritical() << component.errorString();
        return 1;
    }
    if (!QTest::qWaitForWindowExposed(window)) {
        qCritical() << "the window was never exposed";
        return 1;
    }
    bool ok = true;
    ok &= save(window, out + QStringLiteral("/monitor_grid_0.png"));
    for (int n = 1; n <= 4; ++n) {
        backend.cameras().setCameraForChannel(n, QStringLiteral("korvex-test://%1").arg(n), 1280, 720, 30.0f,
                                              QStringLiteral("Default"));
        if (n == 2)
            backend.model().setStorageEnabled(2, true);
        ok &= save(window, out + QStringLiteral("/monitor_grid_%1.png").arg(n));
    }

    backend.setActiveSourceId(2);
    window->setProperty("showPreview", true);
    backend.setProperty("isArming", true);
    backend.setProperty("countdownSeconds", 2);
    ok &= save(window, out + QStringLiteral("/main_preview_arming.png"));
    backend.setProperty("isArming", false);
    window->setProperty("showPreview", false);

    backend.cameras().removeCameraFromChannel(4);
    QObject *dialog = root->findChild<QObject *>(QStringLiteral("dialog"));
    QMetaObject::invokeMethod(dialog, "openForChannel", Q_ARG(QVariant, 4), Q_ARG(QVariant, false));
    ok &= save(window, out + QStringLiteral("/source_dialog_add.png"));
    QMetaObject::invokeMethod(dialog, "cancelAndClose");
    QMetaObject::invokeMethod(dialog, "openForChannel", Q_ARG(QVariant, 2), Q_ARG(QVariant, true));
    ok &= save(window, out + QStringLiteral("/source_dialog_edit.png"));
    QMetaObject::invokeMethod(dialog, "cancelAndClose");
    return ok ? 0 : 1;
}
