#include "UiBackend.h"

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "app/main/QmlBackend.h"
#include "capture/audio/AudioSystem.h"

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

    // As the program starts SDL (no SDL signal handlers, monitors listed).
    AudioSystem::initialize(SDL_INIT_VIDEO);

    ApplicationManager &manager = ApplicationManager::instance();
    QCoreApplication::instance()->installEventFilter(&manager);

    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvex.studio"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));

    // Registered as the program does, but the remote control server is not
    // started: tests must not take the program's port.
    QmlBackend::registerTypes(manager);

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
