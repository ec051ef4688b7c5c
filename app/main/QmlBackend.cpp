#include "app/main/QmlBackend.h"

#include "app/ApplicationManager.h"
#include "capture/VideoStreamItem.h"
#include "remote/ApplicationManagerBackend.h"
#include "remote/RemoteControlServer.h"
#include "update/UpdateManager.h"

#include <QtQml>

namespace QmlBackend {

namespace {

// Every engine gets the same object, and it stays the program's. An instance
// registration serves only the first engine that asks: later engines (a test
// that builds one per document) got null once the first one was gone and its
// address was not reused.
template<typename T>
void registerSharedSingleton(const char *name, T &object)
{
    qmlRegisterSingletonType<T>("Korvex", 1, 0, name, [&object](QQmlEngine *, QJSEngine *) -> QObject * {
        QJSEngine::setObjectOwnership(&object, QJSEngine::CppOwnership);
        return &object;
    });
}

} // namespace

void registerTypes(ApplicationManager &manager)
{
    VideoStreamItem::setSourceProvider(
        [&manager](int channelId) { return manager.cameraSourceForChannel(channelId); });
    qmlRegisterType<VideoStreamItem>("Korvex", 1, 0, "VideoStreamItem");

    registerSharedSingleton("AppManager", manager);
    registerSharedSingleton("UpdateManager", UpdateManager::instance());

    // The server reads the recorder through this adapter for the whole run.
    static ApplicationManagerBackend remoteBackend(manager);
    RemoteControlServer::instance().setBackend(&remoteBackend);
    registerSharedSingleton("RemoteServer", RemoteControlServer::instance());
}

} // namespace QmlBackend
