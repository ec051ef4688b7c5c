#include "capture/audio/AudioDeviceList.h"

#include <SDL.h>

namespace {
QStringList listDevices(int isCapture, const char *defaultName)
{
    QStringList names{QString::fromUtf8(defaultName)};
    const int count = SDL_GetNumAudioDevices(isCapture);
    for (int i = 0; i < count; ++i) {
        const char *name = SDL_GetAudioDeviceName(i, isCapture);
        if (name && *name)
            names << QString::fromUtf8(name);
    }
    return names;
}
} // namespace

QStringList AudioDeviceList::inputDevices()
{
    return listDevices(1, kDefaultInput);
}

QStringList AudioDeviceList::outputDevices()
{
    return listDevices(0, kDefaultOutput);
}
