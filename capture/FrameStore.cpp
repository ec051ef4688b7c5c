#include "capture/FrameStore.h"

#include <algorithm>
#include <cstring>

void FrameStore::reset(int width, int height)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const std::size_t bytes = std::size_t(std::max(0, width)) * std::size_t(std::max(0, height)) * 4;
    m_latest.assign(bytes, 0);
    m_snapshot.assign(bytes, 0);
    m_width = width;
    m_height = height;
    m_newFrame.store(false);
}

void FrameStore::read(std::vector<uint8_t> &out)
{
    // One copy, straight out of the newest frame: the writer fills it under
    // this same lock, so it is always complete here. (Going through the
    // snapshot cost a second full-frame copy for every reader and slot.)
    std::lock_guard<std::mutex> lock(m_lock);
    m_newFrame.store(false, std::memory_order_release);
    out.resize(m_latest.size());
    if (!m_latest.empty())
        std::memcpy(out.data(), m_latest.data(), m_latest.size());
}

void FrameStore::refreshSnapshot()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_newFrame.exchange(false, std::memory_order_acq_rel))
        std::memcpy(m_snapshot.data(), m_latest.data(), m_latest.size());
}
