#include "capture/FrameStore.h"

#include <algorithm>
#include <cstring>

std::shared_ptr<FrameStore::Buffer> FrameStore::makeBuffer() const
{
    auto buffer = std::make_shared<Buffer>();
    buffer->frame.pixels.assign(std::size_t(m_width) * std::size_t(m_height) * 4, 0);
    buffer->frame.width = m_width;
    buffer->frame.height = m_height;
    return buffer;
}

void FrameStore::reset(int width, int height)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    // Buffers readers still share stay with them; the store starts afresh.
    m_buffers.clear();
    m_buffers.push_back(makeBuffer());
    m_buffers.push_back(makeBuffer());
    m_newest = 0;
    // Serials keep counting across a reset, so a reader never mistakes the
    // reopened camera's first picture for one it has seen.
    m_buffers[0]->frame.serial = ++m_serial;
    m_newFrame.store(false);
}

std::size_t FrameStore::spareBuffer()
{
    if (m_buffers.empty())
        return kNone;
    for (std::size_t i = 0; i < m_buffers.size(); ++i) {
        // acquire: a reader's last look at the pixels happens before they are overwritten
        if (i != m_newest && m_buffers[i]->readers.load(std::memory_order_acquire) == 0)
            return i;
    }
    if (m_buffers.size() < kMaxBuffers) {
        m_buffers.push_back(makeBuffer());
        return m_buffers.size() - 1;
    }
    // Readers hold every buffer: the oldest held one leaves the pool with them.
    const std::size_t replaced = m_newest == 0 ? 1 : 0;
    m_buffers[replaced] = makeBuffer();
    return replaced;
}

void FrameStore::publish(std::size_t index)
{
    m_buffers[index]->frame.serial = ++m_serial;
    m_newest = index;
    m_newFrame.store(true, std::memory_order_release);
}

void FrameStore::read(std::vector<uint8_t> &out)
{
    // One copy, straight out of the newest frame: the writer fills spares
    // under this same lock and publishes only complete frames.
    std::lock_guard<std::mutex> lock(m_lock);
    m_newFrame.store(false, std::memory_order_release);
    if (m_buffers.empty()) {
        out.clear();
        return;
    }
    const std::vector<uint8_t> &newest = m_buffers[m_newest]->frame.pixels;
    out.resize(newest.size());
    if (!newest.empty())
        std::memcpy(out.data(), newest.data(), newest.size());
}

std::shared_ptr<const SharedFrame> FrameStore::share()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_buffers.empty())
        return nullptr;
    std::shared_ptr<Buffer> buffer = m_buffers[m_newest];
    buffer->readers.fetch_add(1, std::memory_order_relaxed);
    // The handle keeps the buffer alive (also past the store's end) and gives
    // it back to the pool when the last copy of the handle goes.
    return std::shared_ptr<const SharedFrame>(&buffer->frame, [buffer](const SharedFrame *) {
        buffer->readers.fetch_sub(1, std::memory_order_release);
    });
}
