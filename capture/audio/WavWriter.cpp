#include "capture/audio/WavWriter.h"

#include "capture/audio/AudioFormat.h"

#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
void put16(uint8_t *at, uint32_t v)
{
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
}

void put32(uint8_t *at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(v >> (8 * i));
}

void syncToDisk(std::FILE *file)
{
    std::fflush(file);
#ifdef _WIN32
    _commit(_fileno(file));
#else
    fsync(fileno(file));
#endif
}
} // namespace

WavWriter::~WavWriter()
{
    close();
}

std::array<uint8_t, WavWriter::kHeaderBytes> WavWriter::header(uint64_t dataBytes, int sampleRate, int channels)
{
    const bool fits = dataBytes <= kMaxStatedDataBytes;
    const uint32_t riffSize = fits ? uint32_t(dataBytes + 36) : 0xFFFFFFFFu;
    const uint32_t dataSize = fits ? uint32_t(dataBytes) : 0xFFFFFFFFu;

    std::array<uint8_t, kHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    put32(&h[4], riffSize);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    put32(&h[16], 16);
    put16(&h[20], 1);
    put16(&h[22], uint32_t(channels));
    put32(&h[24], uint32_t(sampleRate));
    put32(&h[28], uint32_t(channels) * uint32_t(sampleRate) * 2u);
    put16(&h[32], uint32_t(channels) * 2u);
    put16(&h[34], 16);
    std::memcpy(&h[36], "data", 4);
    put32(&h[40], dataSize);
    return h;
}

bool WavWriter::open(const std::string &path, int sampleRate, int channels)
{
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_path = path;
    if (!m_file) {
        m_file = std::fopen(path.c_str(), "wb");
        if (!m_file)
            return false;
    }
    m_samplesWritten = 0;
    m_samplesSinceRefresh = 0;
    const auto h = header(0, m_sampleRate, m_channels);
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), m_file);
    std::fflush(m_file);
    m_isOpen.store(true);
    return true;
}

void WavWriter::writeSamples(const std::vector<float> &samples)
{
    if (!m_isOpen.load() || !m_file || samples.empty())
        return;
    m_pcm.resize(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        m_pcm[i] = AudioFormat::toPcm16(samples[i]);
    if constexpr (std::endian::native == std::endian::big) {
        for (int16_t &s : m_pcm)
            s = int16_t((uint16_t(s) >> 8) | (uint16_t(s) << 8));
    }
    std::fwrite(m_pcm.data(), sizeof(int16_t), m_pcm.size(), m_file);
    m_samplesWritten += samples.size();
    m_samplesSinceRefresh += samples.size();

    // A second of audio since the last refresh: state the sizes so far.
    const uint64_t samplesPerSecond = uint64_t(m_sampleRate > 0 ? m_sampleRate : 48000)
                                      * uint64_t(m_channels > 0 ? m_channels : 1);
    if (m_samplesSinceRefresh >= samplesPerSecond) {
        rewriteHeader();
        syncToDisk(m_file);
        m_samplesSinceRefresh = 0;
    }
}

void WavWriter::rewriteHeader()
{
    std::fflush(m_file);
    std::clearerr(m_file);
    const auto h = header(m_samplesWritten * 2, m_sampleRate, m_channels);
    std::fseek(m_file, 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), m_file);
    std::fseek(m_file, 0, SEEK_END);
}

void WavWriter::close()
{
    if (!m_isOpen.exchange(false))
        return;
    if (!m_file)
        return;
    rewriteHeader();
    std::fclose(m_file);
    m_file = nullptr;
}
