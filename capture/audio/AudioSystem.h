#pragma once

#include <cstdint>

// Bringing SDL up for the program: the hints the audio side depends on, then
// SDL_Init. Every process that lists or opens audio devices goes through
// here, before the first device list is built.
namespace AudioSystem {

// Sets the hints (SDL installs no signal handlers of its own, so kill and
// Ctrl+C keep working; PulseAudio/PipeWire monitor sources, "what the
// computer plays", are listed as capture devices) and initialises SDL's audio
// subsystem plus `extraSubsystems` (SDL_INIT_* flags). Returns false, with
// SDL's error in a warning line, when SDL cannot start.
bool initialize(uint32_t extraSubsystems = 0);

// SDL_Quit: closes every device SDL still has open.
void shutdown();

} // namespace AudioSystem
