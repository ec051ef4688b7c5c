#pragma once

#include <QStringList>

// The audio devices SDL reports, in index order, each list headed by the
// name that selects the system default. SDL's audio subsystem must be
// initialised; without it the lists hold only the default entry.
namespace AudioDeviceList {

inline constexpr const char *kDefaultInput = "Default system input";
inline constexpr const char *kDefaultOutput = "Default system output";

QStringList inputDevices();
QStringList outputDevices();

} // namespace AudioDeviceList
