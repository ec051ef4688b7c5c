#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// One audio input device captured through SDL2, buffered as interleaved
// 32-bit float samples at 48 kHz until the mixer pulls them.
//
// Threads: SDL's audio thread for the device runs captureCallback(), which
// takes the queue lock only to update the peak, trim and append. Everything
// else runs on the GUI thread; each reader takes the queue lock for its own
// call. Lock order (see AudioMixer): mixer lock, then this queue lock; the
// callback never takes another lock. open()/close() run on the GUI thread and
// SDL_CloseAudioDevice stops the callback before the queue is emptied.
class AudioCapture
{
public:
    AudioCapture() = default;
    virtual ~AudioCapture();
    AudioCapture(const AudioCapture &) = delete;
    AudioCapture &operator=(const AudioCapture &) = delete;

    // Starts capturing. "No Audio" is refused without touching SDL; the empty
    // name, "Default system input" and "default" select the system default.
    // Returns false and logs a warning when SDL cannot open the device.
    virtual bool open(const std::string &deviceName, int channels);
    virtual void close();
    virtual float takePeak();
    virtual std::string deviceName();
    virtual int channelCount();
    virtual bool isOpen();
    virtual void setDelayMs(int delayMs);
    virtual int delayMs();
    virtual void clear();
    // Samples a reader may take now (the newest delay milliseconds held back).
    virtual uint64_t availableSamples();
    // Removes and returns the oldest samples, at most maxSamples (< 1: all).
    virtual std::vector<float> readSamples(int maxSamples);

    // SDL's capture callback; userdata is the AudioCapture, len in bytes.
    static void SDLCALL captureCallback(void *userdata, Uint8 *stream, int len);

    // Queue capacity in samples for a delay and channel count (2 s at delay 0).
    static int capacitySamples(int delayMs, int channels);

protected:
    // The callback's work on n samples; also used by sources that are fed
    // without an SDL device.
    void appendSamples(const float *samples, int n);
    void setChannelCount(int channels) { m_channels.store(channels); }

private:
    size_t reserveLocked() const;

    std::string m_deviceName;
    std::atomic<int> m_channels{0};
    SDL_AudioDeviceID m_deviceId = 0;

    std::mutex m_queueLock; // guards m_queue, m_peak, m_delayMs
    float m_peak = 0.0f;
    int m_delayMs = 0;
    std::deque<float> m_queue;
};
