#include "app/SplashHandOff.h"

#include "app/ApplicationManager.h"

#include <QDebug>
#include <QGuiApplication>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

namespace SplashHandOff {

void reportLoadedDocuments(QQmlApplicationEngine &engine)
{
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &engine,
        [](QObject *object, const QUrl &url) {
            if (object)
                qDebug() << "QQmlApplicationEngine loaded root object for:" << url;
            else
                qCritical() << "QQmlApplicationEngine failed to create root object for:" << url;
        },
        Qt::DirectConnection);
}

bool handOff(QQmlApplicationEngine &engine, QGuiApplication &app, const QString &status, const QUrl &mainDocument,
             const std::function<void()> &afterMainLoaded)
{
    if (status != QLatin1String("DONE"))
        return false;

    // Snapshot first: the main window is created before the splash closes,
    // so closing the splash never quits the application.
    QList<QPointer<QObject>> previousRoots;
    for (QObject *root : engine.rootObjects())
        previousRoots.append(root);

    engine.load(mainDocument);

    for (const QPointer<QObject> &root : previousRoots) {
        if (!root)
            continue;
        if (auto *window = qobject_cast<QQuickWindow *>(root.data()))
            window->close();
        root->deleteLater();
    }
    app.setQuitOnLastWindowClosed(true);
    if (afterMainLoaded)
        afterMainLoaded();
    return true;
}

void connectToManager(ApplicationManager &manager, QQmlApplicationEngine &engine, QGuiApplication &app,
                      const QUrl &mainDocument, std::function<void()> afterMainLoaded)
{
    QObject::connect(
        &manager, &ApplicationManager::splashStatusTextChanged, &engine,
        [&manager, &engine, &app, mainDocument, afterMainLoaded = std::move(afterMainLoaded)] {
            handOff(engine, app, manager.splashStatusText(), mainDocument, afterMainLoaded);
        },
        Qt::DirectConnection);
}

} // namespace SplashHandOff
