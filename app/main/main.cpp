#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "app/MessageLog.h"
#include "app/SplashHandOff.h"
#include "app/main/QmlBackend.h"
#include "capture/audio/AudioSystem.h"
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

namespace {

// The remote control's port: 8080, or KORVEX_REMOTE_PORT when it names a
// port (1..65534, the server may retry on the next one), so a second instance
// or a test can run beside another program holding 8080.
int remoteControlPort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("KORVEX_REMOTE_PORT", &ok);
    if (qEnvironmentVariableIsSet("KORVEX_REMOTE_PORT") && !(ok && port >= 1 && port <= 65534))
        qWarning() << "[Korvex] KORVEX_REMOTE_PORT is not a port, using 8080:" << qEnvironmentVariable("KORVEX_REMOTE_PORT");
    return ok && port >= 1 && port <= 65534 ? port : 8080;
}

} // namespace

int main(int argc, char *argv[])
{
    auto app = std::make_unique<QGuiApplication>(argc, argv);

    // Audio must be up before the manager lists its devices.
    AudioSystem::initialize(SDL_INIT_VIDEO);

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
    RemoteControlServer::instance().startServer(remoteControlPort());

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

    AudioSystem::shutdown();
    engine.reset();
    channelsModel.reset();
    app.reset();
    return exitCode;
}
