#pragma once

#include <QString>

class QQmlEngine;
class InputChannelsModel;

// Brings up the backend the way the program does before it loads a document:
// SDL, the application manager singleton, application names, the "Basic"
// style, the singleton registrations in "Korvex" 1.0 and the channel model.
// GUI thread only; call prepareApplication() once after the application
// object exists and exposeTo() for every engine.
namespace UiBackend {

void prepareApplication();

// The channel model published as "ChannelsModel"; lives until process exit.
InputChannelsModel &channelsModel();

// Sets the "ChannelsModel" context property and the import path "qrc:/".
void exposeTo(QQmlEngine &engine);

} // namespace UiBackend
