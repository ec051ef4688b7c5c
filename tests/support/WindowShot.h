#pragma once

#include <QString>
#include <QUrl>

#include <memory>

class QQmlEngine;
class QQuickWindow;

// Shared by the programs that render windows to PNG for docs/screenshots/.

// Creates the window a document describes, shows it and waits until it is
// exposed. Null, with the reason on stderr, when it does not load or show.
std::unique_ptr<QQuickWindow> openWindow(QQmlEngine &engine, const QUrl &document);

// Lets the window settle for settleMs, grabs it and writes the picture to
// path, printing "<path> <w>x<h>"; false, with a message, when that fails.
bool saveWindowShot(QQuickWindow &window, int settleMs, const QString &path);
