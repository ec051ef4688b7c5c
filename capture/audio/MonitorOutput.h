#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// The monitoring output: one SDL output device in queue mode (48 kHz,
// signed 16-bit, stereo) fed with the master mix. More than one second of
// queued audio is thrown away before the next block, so the headphones never
// lag behind the room by more than that.
//
// Threads: open/close/play run on the GUI thread; SDL's own output thread
// drains the queue.
class MonitorOutput
{
public:
    // Bytes of one second of 48 kHz stereo 16-bit audio.
    static constexpr uint32_t kMaxQueuedBytes = 192000;

    MonitorOutput() = default;
    ~MonitorOutput();
    MonitorOutput(const MonitorOutput &) = delete;
    MonitorOutput &operator=(const MonitorOutput &) = delete;

    // Empty or "Default system output" selects the system default. Returns
    // false (and stays closed) when SDL cannot open the device.
    bool open(const std::string &deviceName);
    void close();
    bool isOpen() const { return m_deviceId != 0; }
    uint32_t queuedBytes() const;

    // Converts a stereo float block to 16-bit and queues it.
    void play(const std::vector<float> &stereoBlock);

private:
    SDL_AudioDeviceID m_deviceId = 0;
    std::vector<int16_t> m_pcm; // reused conversion buffer
};
