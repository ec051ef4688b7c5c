#include "UiBackend.h"

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "remote/RemoteControlServer.h"
#include "update/UpdateManager.h"
#if __has_include("capture/VideoStreamItem.h")
#include "capture/VideoStreamItem.h"
#define KORVEX_HAS_VIDEO_STREAM_ITEM 1
#endif

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>

#include <SDL.h>

namespace UiBackend {

void prepareApplication()
{
    static bool done = false;
    if (done)
        return;
    done = true;

    // SDL's own signal handlers would make the test ignore its timeout
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);

    ApplicationManager &manager = ApplicationManager::instance();
    QCoreApplication::instance()->installEventFilter(&manager);

    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvex.studio"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));

#ifdef KORVEX_HAS_VIDEO_STREAM_ITEM
    qmlRegisterType<VideoStreamItem>("Korvex", 1, 0, "VideoStreamItem");
#endif
    qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &manager);
    qmlRegisterSingletonInstance("Korvex", 1, 0, "UpdateManager", &UpdateManager::instance());
    // registered, not started: tests must not take the program's port
    qmlRegisterSingletonInstance("Korvex", 1, 0, "RemoteServer", &RemoteControlServer::instance());

    manager.setChannelsModel(&channelsModel());
    QObject::connect(&manager, &ApplicationManager::channelAudioLevelChanged,
                     &channelsModel(), &InputChannelsModel::updateChannelAudioLevel);
}

InputChannelsModel &channelsModel()
{
    static InputChannelsModel *model = new InputChannelsModel;
    return *model;
}

void exposeTo(QQmlEngine &engine)
{
    engine.rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), &channelsModel());
    engine.addImportPath(QStringLiteral("qrc:/"));
}

} // namespace UiBackend
