#pragma once

#include "export/TimelineDescription.h"

#include <QByteArray>
#include <QString>

// Writes one take as an xmeml (version 4) multi-camera timeline that Adobe
// Premiere and DaVinci Resolve import: the first camera over the whole take on
// track 1, every other camera's active stretches on its own higher track, the
// master and per-channel audio below. A pure function of the description.

// The whole document, UTF-8 without byte-order mark, lines ending in "\n".
QByteArray renderTimelineXml(const TimelineDescription &description);

// Creates or truncates filePath and writes the document in text mode. Returns
// false, with nothing written, when the file cannot be opened, and false when
// the document could not be written completely (disk full, I/O error).
bool writeTimelineXml(const QString &filePath, const TimelineDescription &description);

// Writes an already rendered document the same way (one take's two files
// carry the same document, so it is rendered once).
bool writeTimelineDocument(const QString &filePath, const QByteArray &document);

// Helpers of the document, public so that tests can check them on their own.
namespace TimelineXml {
// Ampersand, less-than, greater-than and double quote as entity references.
QString escaped(const QString &text);
// Escaped clip name with every blank turned into an underscore.
QString identifier(const QString &clipName);
// "file://localhost" URL of a media file: absolute path, forward slashes,
// characters a URL cannot carry percent-encoded (UTF-8 bytes).
QString pathUrl(const QString &path);
} // namespace TimelineXml
