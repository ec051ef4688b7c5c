#pragma once

#include <array>
#include <bit>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes one PCM WAV file of 16-bit samples from float blocks: the 44-byte
// RIFF header (format chunk, then the data chunk) and the samples.
//
// Kept safe against a killed take: the header is rewritten with the sizes so
// far (and the file flushed to disk) after every second of audio, so a file
// cut short plays up to its last second. Long takes: sizes are counted in 64
// bits; once the data no longer fits the 32-bit fields, both the RIFF and the
// data size are written as 0xFFFFFFFF, which WAV readers take as "data runs
// to the end of the file", and every sample is still written.
//
// Threads: GUI thread only (open and close from the take, writes from the
// audio tick); isOpen is atomic so another thread may ask.
class WavWriter
{
public:
    static constexpr int kHeaderBytes = 44;
    // Largest data size the 32-bit fields can state (RIFF size = data + 36).
    static constexpr uint64_t kMaxStatedDataBytes = 0xFFFFFFFFull - 36;

    WavWriter() = default;
    virtual ~WavWriter();
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    // Creates (truncates) the file and writes an empty header; false when the
    // file cannot be created.
    bool open(const std::string &path, int sampleRate, int channels);
    // Converts to 16-bit (x * 32767, limited, truncated) and appends.
    void writeSamples(const std::vector<float> &samples);
    // Rewrites the header with the final sizes and closes; a second call
    // does nothing.
    void close();

    bool isOpen() const { return m_isOpen.load(); }
    const std::string &path() const { return m_path; }
    uint64_t samplesWritten() const { return m_samplesWritten; }

    static std::array<uint8_t, kHeaderBytes> header(uint64_t dataBytes, int sampleRate, int channels);

protected:
    // Samples written so far; protected so a long take can be simulated.
    uint64_t m_samplesWritten = 0;

private:
    void rewriteHeader();

    std::FILE *m_file = nullptr;
    std::string m_path;
    int m_sampleRate = 48000;
    int m_channels = 2;
    uint64_t m_samplesSinceRefresh = 0;
    std::vector<int16_t> m_pcm; // reused conversion buffer
    std::atomic<bool> m_isOpen{false};
};
