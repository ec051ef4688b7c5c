#pragma once

#include <QString>

// SHA-256 check of a downloaded setup program, shared by the update manager
// and the online installer. A file that cannot be opened or read is never
// reported as verified.
namespace FileDigest {

enum class Result { Verified, Mismatch, Unreadable };

// Lower-case hexadecimal SHA-256 of the file, or an empty string when the file
// cannot be opened or read to its end.
QString sha256Hex(const QString &path);

// Compares the file's digest with expected (trimmed, any case). actual
// receives the computed digest (empty when unreadable).
Result verify(const QString &path, const QString &expected, QString *actual = nullptr);

} // namespace FileDigest
