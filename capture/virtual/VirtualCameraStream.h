#pragma once

#include "capture/ICaptureStream.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// A virtual test camera: a moving colour-bar pattern at the opened size and
// rate, with the camera number, the frame counter and the wall-clock time
// burnt in as TestMarks. Frames are paced on the steady clock; a frame whose
// slot has passed by more than one period is skipped, as a real camera drops it.
// Threads: start()/stop() on the GUI thread; the camera thread writes into the
// FrameStore under its frame lock. m_wakeLock guards m_stopRequested for the
// paced wait; no other lock is held with it.
class VirtualCameraStream final : public ICaptureStream
{
public:
    VirtualCameraStream() = default;
    ~VirtualCameraStream() override;

    bool start(const std::string &link, const VideoFormatInfo &format, FrameStore &store) override;
    void stop() override;
    bool alive() const override { return m_alive.load(); }
    void setFlipped(bool) override {}

    // Frames delivered since start (read from any thread).
    uint32_t deliveredFrames() const { return m_delivered.load(); }

private:
    void run(FrameStore *store, int camera, double fps);

    std::thread m_thread;
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_stopRequested = false;
    std::atomic<bool> m_alive{false};
    std::atomic<uint32_t> m_delivered{0};
    std::vector<uint8_t> m_patternRow;
};
