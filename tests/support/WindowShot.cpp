#include "WindowShot.h"

#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>

#include <cstdio>

std::unique_ptr<QQuickWindow> openWindow(QQmlEngine &engine, const QUrl &document)
{
    QQmlComponent component(&engine, document);
    std::unique_ptr<QObject> object(component.create());
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    if (!window) {
        std::fprintf(stderr, "%s did not load: %s\n", qPrintable(document.toString()),
                     qPrintable(component.errorString()));
        return {};
    }
    object.release();
    std::unique_ptr<QQuickWindow> owned(window);
    owned->show();
    if (!QTest::qWaitForWindowExposed(owned.get())) {
        std::fprintf(stderr, "%s was never exposed\n", qPrintable(document.toString()));
        return {};
    }
    return owned;
}

bool saveWindowShot(QQuickWindow &window, int settleMs, const QString &path)
{
    QTest::qWait(settleMs);
    const QImage image = window.grabWindow();
    if (image.isNull() || !image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}
