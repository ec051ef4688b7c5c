#pragma once

#include <QUrl>

#include <functional>

class QGuiApplication;
class QQmlApplicationEngine;
class ApplicationManager;

// The shell's window changes: reporting each loaded document, and swapping
// the splash for the main window when the device scan says "DONE". GUI thread
// only.
namespace SplashHandOff {

// "QQmlApplicationEngine loaded root object for:" (debug) or
// "QQmlApplicationEngine failed to create root object for:" (critical), with
// the document URL, for every document the engine loads. The process keeps
// running after a failed load.
void reportLoadedDocuments(QQmlApplicationEngine &engine);

// Unless status is exactly "DONE", does nothing and returns false. Otherwise
// loads mainDocument, then closes and schedules for deletion every root object
// that existed before it, turns on quit-on-last-window-closed, runs
// afterMainLoaded (when set) and returns true. Runs again on every "DONE".
bool handOff(QQmlApplicationEngine &engine, QGuiApplication &app, const QString &status, const QUrl &mainDocument,
             const std::function<void()> &afterMainLoaded = {});

// Connects handOff to the manager's splash status (direct connection, the
// engine as context).
void connectToManager(ApplicationManager &manager, QQmlApplicationEngine &engine, QGuiApplication &app,
                      const QUrl &mainDocument, std::function<void()> afterMainLoaded = {});

} // namespace SplashHandOff
