#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// The newest frame of one camera (readers copy straight out of it) and a snapshot, both in
// the RGBA frame layout of the opened size.
// Threads: the capture thread writes through write(); readers (GUI thread) call
// read(). The frame lock guards both buffers and the new-frame flag; no other
// lock is taken while it is held. reset() runs only while no capture thread runs.
class FrameStore
{
public:
    // Sizes both buffers to width x height x 4 zero bytes (the frame readers
    // see before the first one arrives). Keeps the allocation when it fits.
    void reset(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Lets fill write the latest buffer (width x height x 4 bytes) under the
    // frame lock, then marks it new.
    template<typename Fill>
    void write(Fill &&fill)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_latest.empty())
            return;
        if (fill(m_latest.data())) {
            m_newFrame.store(true, std::memory_order_release);
            m_framesWritten.fetch_add(1, std::memory_order_relaxed);
        }
    }

    // Frames written since construction (never reset), for the delivered rate.
    uint64_t framesWritten() const { return m_framesWritten.load(std::memory_order_relaxed); }

    // Copies the newest complete frame into out (out grows once, then keeps its size).
    void read(std::vector<uint8_t> &out);
    // Refreshes the snapshot (kept for texture uploads) when a new frame arrived.
    void refreshSnapshot();
    bool hasNewFrame() const { return m_newFrame.load(std::memory_order_acquire); }

private:
    std::mutex m_lock;
    std::vector<uint8_t> m_latest;
    std::vector<uint8_t> m_snapshot;
    std::atomic<bool> m_newFrame{false};
    std::atomic<uint64_t> m_framesWritten{0};
    int m_width = 0;
    int m_height = 0;
};
