#include "app/main/QmlBackend.h"

#include "app/ApplicationManager.h"
#include "capture/VideoStreamItem.h"
#include "remote/ApplicationManagerBackend.h"
#include "remote/RemoteControlServer.h"
#include "update/UpdateManager.h"

#include <QtQml>

namespace QmlBackend {

void registerTypes(ApplicationManager &manager)
{
    VideoStreamItem::setSourceProvider(
        [&manager](int channelId) { return manager.cameraSourceForChannel(channelId); });
    qmlRegisterType<VideoStreamItem>("Korvex", 1, 0, "VideoStreamItem");

    qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &manager);
    qmlRegisterSingletonInstance("Korvex", 1, 0, "UpdateManager", &UpdateManager::instance());

    // The server reads the recorder through this adapter for the whole run.
    static ApplicationManagerBackend remoteBackend(manager);
    RemoteControlServer::instance().setBackend(&remoteBackend);
    qmlRegisterSingletonInstance("Korvex", 1, 0, "RemoteServer", &RemoteControlServer::instance());
}

} // namespace QmlBackend
