#pragma once

class ApplicationManager;

// What the program hands its QML module "Korvex" 1.0, shared by the program
// and the interface tests so both see the same backend.
namespace QmlBackend {

// Registers VideoStreamItem, then the singleton instances AppManager,
// UpdateManager and RemoteServer, in that order; links the preview item and
// the remote control server to the manager. Starts nothing.
void registerTypes(ApplicationManager &manager);

} // namespace QmlBackend
