#pragma once

#include <QList>
#include <QString>

// Release numbers as the update manifest writes them ("v2.4.7", "2.4.6b",
// "2.4.6-rc2"): only the digit runs count, so letters never make a release newer.
namespace VersionNumber {

// Digit runs of the trimmed text (one leading v/V removed) as integers,
// dropping pieces too large for a 32-bit integer, padded with zeros to three.
QList<int> parseVersion(const QString &text);

// True when candidate is newer than current, position by position, a missing
// position counting as 0.
bool isNewerVersion(const QString &candidate, const QString &current);

// The manifest's version text: trimmed, one leading v/V removed.
QString normalizedVersion(const QString &text);

} // namespace VersionNumber
