#pragma once

#include "capture/ISource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// The frames of one camera in the RGBA frame layout of the opened size: the
// newest complete frame, which readers copy (read) or share without a copy
// (share), and spare buffers the capture thread fills.
// A buffer a reader still shares is never written: the capture thread fills a
// spare that nobody holds, so after the first few frames the buffers are
// reused and nothing is allocated. A spare is added only while readers hold
// every other buffer; past a handful of buffers the pool lets a held one go to
// its readers and takes a fresh one in its place, so a frame is never dropped.
// Threads: the capture thread writes through write(); readers (GUI thread:
// the views and the take's frame pump)
// call read() and share(); a shared frame may be let go on any thread. The
// frame lock guards the buffer list and the newest-frame choice; no other lock
// is taken while it is held. reset() runs only while no capture thread runs.
class FrameStore
{
public:
    // The newest frame becomes width x height x 4 zero bytes (what readers see
    // before the first frame arrives).
    void reset(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Lets fill write a spare buffer (width x height x 4 bytes) under the frame
    // lock; when fill returns true that buffer becomes the newest frame, else
    // the previous frame stays the newest.
    template<typename Fill>
    void write(Fill &&fill)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const std::size_t spare = spareBuffer();
        if (spare == kNone)
            return;
        if (fill(m_buffers[spare]->frame.pixels.data())) {
            publish(spare);
            m_framesWritten.fetch_add(1, std::memory_order_relaxed);
        }
    }

    // Frames written since construction (never reset), for the delivered rate.
    uint64_t framesWritten() const { return m_framesWritten.load(std::memory_order_relaxed); }

    // Copies the newest complete frame into out (out grows once, then keeps its size).
    void read(std::vector<uint8_t> &out);
    // The newest complete frame itself, unchanged for as long as it is held.
    // Null before the first reset().
    std::shared_ptr<const SharedFrame> share();

    // A frame arrived that read() has not copied yet.
    bool hasNewFrame() const { return m_newFrame.load(std::memory_order_acquire); }
    void clearNewFrame() { m_newFrame.store(false, std::memory_order_release); }

private:
    struct Buffer
    {
        SharedFrame frame;
        // Readers sharing this buffer; counted up under the frame lock, down
        // (release) wherever a reader lets go.
        std::atomic<int> readers{0};
    };
    static constexpr std::size_t kNone = std::size_t(-1);
    // Enough for steady recording with the preview on: the newest frame, the
    // spare being filled, the views' picture, the one the encoder converts and
    // a couple it has queued. Beyond that (an encoder falling behind) held
    // buffers leave the pool with their readers.
    static constexpr std::size_t kMaxBuffers = 8;

    std::shared_ptr<Buffer> makeBuffer() const;
    std::size_t spareBuffer();
    void publish(std::size_t index);

    std::mutex m_lock;
    std::vector<std::shared_ptr<Buffer>> m_buffers;
    std::size_t m_newest = 0;
    std::uint64_t m_serial = 0;
    std::atomic<bool> m_newFrame{false};
    std::atomic<uint64_t> m_framesWritten{0};
    int m_width = 0;
    int m_height = 0;
};
