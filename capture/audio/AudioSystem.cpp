#include "capture/audio/AudioSystem.h"

#include <QDebug>

#include <SDL.h>

namespace AudioSystem {

bool initialize(uint32_t extraSubsystems)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Without it SDL leaves the sinks' monitor sources out of the capture list.
    SDL_SetHint(SDL_HINT_AUDIO_INCLUDE_MONITORS, "1");
    if (SDL_Init(SDL_INIT_AUDIO | extraSubsystems) != 0) {
        qWarning() << "[Korvex] SDL could not start:" << SDL_GetError();
        return false;
    }
    return true;
}

void shutdown()
{
    SDL_Quit();
}

} // namespace AudioSystem
