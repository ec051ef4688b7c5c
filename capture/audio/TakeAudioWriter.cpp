#include "capture/audio/TakeAudioWriter.h"

#include "capture/audio/WavWriter.h"

TakeAudioWriter::~TakeAudioWriter()
{
    finish();
}

void TakeAudioWriter::addFile(int key, std::unique_ptr<WavWriter> writer)
{
    if (isRunning() || !writer)
        return;
    m_files[key] = std::move(writer);
}

void TakeAudioWriter::start()
{
    if (isRunning())
        return;
    {
        std::lock_guard lock(m_lock);
        m_finishing = false;
    }
    m_thread = std::thread([this] { run(); });
}

void TakeAudioWriter::write(int key, const std::vector<float> &samples)
{
    if (!isRunning() || samples.empty() || !hasFile(key))
        return;
    {
        std::lock_guard lock(m_lock);
        if (m_finishing)
            return;
        m_queue.push_back(Block{key, samples});
    }
    m_wake.notify_one();
}

void TakeAudioWriter::finish()
{
    if (!isRunning()) {
        // Files handed over but never started still get their headers closed.
        for (auto &[key, writer] : m_files)
            writer->close();
        m_files.clear();
        return;
    }
    {
        std::lock_guard lock(m_lock);
        m_finishing = true;
    }
    m_wake.notify_one();
    m_thread.join();
    m_files.clear();
}

void TakeAudioWriter::waitUntilWritten()
{
    std::unique_lock lock(m_lock);
    m_drained.wait(lock, [this] { return (m_queue.empty() && !m_busy) || !isRunning(); });
}

size_t TakeAudioWriter::queuedBlocks() const
{
    std::lock_guard lock(m_lock);
    return m_queue.size();
}

void TakeAudioWriter::run()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_queue.empty() || m_finishing; });
        if (m_queue.empty()) // finishing and nothing left
            break;
        Block block = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        m_files.at(block.key)->writeSamples(block.samples);
        m_bytesWritten.fetch_add(block.samples.size() * sizeof(int16_t), std::memory_order_relaxed);
        lock.lock();
        m_busy = false;
        if (m_queue.empty())
            m_drained.notify_all();
    }
    lock.unlock();
    for (auto &[key, writer] : m_files)
        writer->close();
    lock.lock();
    m_drained.notify_all();
}
