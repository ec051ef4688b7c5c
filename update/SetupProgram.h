#pragma once

#include <QString>

// Preparing a downloaded setup program before it is started.
namespace SetupProgram {

// Gives the owner the right to execute the file (downloads arrive without
// it on Linux); a no-op on Windows. False when the permissions cannot be set.
bool makeExecutable(const QString &path);

} // namespace SetupProgram
