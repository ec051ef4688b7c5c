#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "app/MessageLog.h"
#include "app/SplashHandOff.h"
#include "app/main/QmlBackend.h"
#include "remote/RemoteControlServer.h"
#include "update/UpdateManager.h"

#include <QDebug>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QTimer>
#include <QUrl>

#include <SDL.h>

#include <memory>

int main(int argc, char *argv[])
{
    auto app = std::make_unique<QGuiApplication>(argc, argv);

    // SDL's own SIGINT/SIGTERM handlers would make the program ignore kill
    // and timeout; audio must be up before the manager lists its devices.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);

    ApplicationManager &manager = ApplicationManager::instance();
    app->installEventFilter(&manager);

    MessageLog::install();
    qDebug() << "[Korvex] Engine initialized successfully.";

    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QGuiApplication::setOrganizationName(QStringLiteral("Korvex"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("korvex.studio"));
    QGuiApplication::setApplicationName(QStringLiteral("Korvex"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));

    QmlBackend::registerTypes(manager);
    // A port that cannot be had is reported by the server; start-up goes on.
    RemoteControlServer::instance().startServer(8080);

    auto channelsModel = std::make_unique<InputChannelsModel>();
    manager.setChannelsModel(channelsModel.get());
    QObject::connect(&manager, &ApplicationManager::channelAudioLevelChanged, channelsModel.get(),
                     &InputChannelsModel::updateChannelAudioLevel);

    auto engine = std::make_unique<QQmlApplicationEngine>();
    engine->rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), channelsModel.get());
    engine->addImportPath(QStringLiteral("qrc:/"));

    SplashHandOff::reportLoadedDocuments(*engine);
    engine->load(QUrl(QStringLiteral("qrc:/Korvex/ui/qml/SplashWindow.qml")));

    const auto scheduleSilentUpdateCheck = [] {
        if (UpdateManager::instance().autoCheckOnStartup())
            QTimer::singleShot(3000, [] { UpdateManager::instance().checkForUpdates(true); });
    };
    SplashHandOff::connectToManager(manager, *engine, *app, QUrl(QStringLiteral("qrc:/Korvex/ui/qml/Main.qml")),
                                    scheduleSilentUpdateCheck);

    manager.runInitialization();

    // A take still running when the last window closes is finished while SDL
    // and the event loop are still there, so its files are complete.
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, &manager, &ApplicationManager::stopRecording);

    const int exitCode = app->exec();

    SDL_Quit();
    engine.reset();
    channelsModel.reset();
    app.reset();
    return exitCode;
}
