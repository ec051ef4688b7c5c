#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// latest_take.json: the newest take, read by the Resolve companion script.
struct TakeManifest
{
    QString recordingPath;   // the recordings root, not the take folder
    QString takeName;        // the session name S
    int64_t timestamp = 0;   // seconds since 1970-01-01 UTC
    QString xmlDavinciPath;  // the DaVinci timeline of the take

    // Compact JSON, keys in alphabetical order.
    QByteArray toJson() const;
};

// Writes folder + "/latest_take.json", creating the folder with its parents.
// The old manifest is replaced in one step, so a reader never sees half a
// file. Returns false when the folder or the file cannot be written.
bool writeTakeManifest(const QString &folder, const TakeManifest &manifest);

inline QString takeManifestFileName() { return QStringLiteral("latest_take.json"); }
