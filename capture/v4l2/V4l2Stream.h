#pragma once

#include "capture/ICaptureStream.h"
#include "capture/v4l2/PixelConverter.h"
#include "capture/v4l2/V4l2Api.h"

#include <atomic>
#include <thread>
#include <vector>

// Memory-mapped streaming from one V4L2 capture node.
// Threads: start()/stop() on the GUI thread; the capture thread (started by
// start, joined by stop) dequeues buffers, converts each frame into the
// FrameStore under its frame lock and queues the buffer again. m_stopRequested,
// m_alive and m_flipped are atomics shared between the two; nothing else is.
// A device that fails or disappears ends the capture thread and alive() turns false.
class V4l2Stream final : public ICaptureStream
{
public:
    explicit V4l2Stream(V4l2Api &api);
    ~V4l2Stream() override;

    bool start(const std::string &link, const VideoFormatInfo &format, FrameStore &store) override;
    void stop() override;
    bool alive() const override { return m_alive.load(); }
    void setFlipped(bool flipped) override { m_flipped.store(flipped); }

private:
    struct Buffer
    {
        void *address = nullptr;
        std::size_t length = 0;
    };

    void run(FrameStore *store);
    void closeDevice();

    V4l2Api &m_api;
    int m_fd = -1;
    uint32_t m_fourcc = 0;
    int m_bytesPerLine = 0;
    std::vector<Buffer> m_buffers;
    PixelConverter m_converter;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_alive{false};
    std::atomic<bool> m_flipped{false};
};
