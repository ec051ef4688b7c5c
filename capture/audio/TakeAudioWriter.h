#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WavWriter;

// The WAV files of one take, written on a thread of their own so the audio
// tick never waits for the disk (the once-a-second header refresh seeks and
// syncs the file to disk). The caller opens each file, hands it over with
// addFile() and from start() on only queues blocks; the writer thread alone
// touches the files until finish() has closed them.
//
// Threads: addFile(), start(), write() and finish() are called from one
// thread (the GUI thread); the writer thread converts and writes the queued
// blocks in the order they were queued. m_lock guards m_queue, m_finishing
// and m_busy; no other lock is taken while holding it. The file map is filled
// before the thread starts and not changed while it runs.
class TakeAudioWriter
{
public:
    TakeAudioWriter() = default;
    ~TakeAudioWriter(); // finish()
    TakeAudioWriter(const TakeAudioWriter &) = delete;
    TakeAudioWriter &operator=(const TakeAudioWriter &) = delete;

    // Before start(): the writer of an open file, under a key of the
    // caller's choosing (a channel id, a negative one for the master). Ignored later.
    void addFile(int key, std::unique_ptr<WavWriter> writer);
    bool hasFile(int key) const { return m_files.count(key) != 0; }

    void start();
    bool isRunning() const { return m_thread.joinable(); }

    // Queues a copy of the block for the file under key; nothing for a key
    // without file, an empty block, or before start() / after finish().
    void write(int key, const std::vector<float> &samples);

    // Writes everything still queued, closes every file (their headers get
    // the final sizes) and ends the thread. Safe to call twice.
    void finish();

    // Blocks until everything queued so far is written; for tests and
    // measurements, the take itself never waits.
    void waitUntilWritten();
    size_t queuedBlocks() const;
    // Sample bytes written to the files so far (16-bit PCM); any thread.
    uint64_t bytesWritten() const { return m_bytesWritten.load(std::memory_order_relaxed); }

private:
    struct Block
    {
        int key = 0;
        std::vector<float> samples;
    };

    void run();

    std::map<int, std::unique_ptr<WavWriter>> m_files;
    std::thread m_thread;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;    // the thread: a block or the finish is there
    std::condition_variable m_drained; // waiters: the queue ran empty
    std::deque<Block> m_queue;
    bool m_finishing = false;
    bool m_busy = false; // the thread is writing a block it took off the queue
    std::atomic<uint64_t> m_bytesWritten{0};
};
