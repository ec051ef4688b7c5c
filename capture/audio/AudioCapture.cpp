#include "capture/audio/AudioCapture.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
bool selectsDefaultDevice(const std::string &name)
{
    return name.empty() || name == "Default system input" || name == "default";
}
} // namespace

AudioCapture::~AudioCapture()
{
    close();
}

bool AudioCapture::open(const std::string &deviceName, int channels)
{
    if (m_deviceId != 0)
        close();
    if (deviceName == "No Audio")
        return false;

    m_deviceName = deviceName;
    m_channels.store(channels < 1 ? 2 : channels);
    {
        std::lock_guard lock(m_queueLock);
        m_peak = 0.0f;
        m_queue.clear();
    }

    SDL_AudioSpec wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.freq = 48000;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = static_cast<Uint8>(m_channels.load());
    wanted.samples = 1024;
    wanted.callback = &AudioCapture::captureCallback;
    wanted.userdata = this;

    SDL_AudioSpec obtained;
    std::memset(&obtained, 0, sizeof obtained);
    const char *sdlName = selectsDefaultDevice(deviceName) ? nullptr : deviceName.c_str();
    m_deviceId = SDL_OpenAudioDevice(sdlName, 1, &wanted, &obtained, 0);
    if (m_deviceId == 0) {
        qWarning() << "[AudioCapture] Failed to open audio device:" << QString::fromStdString(deviceName)
                   << "Error:" << SDL_GetError();
        return false;
    }
    m_channels.store(obtained.channels);
    SDL_PauseAudioDevice(m_deviceId, 0);
    qDebug() << "[AudioCapture] Audio capture started on device:" << QString::fromStdString(deviceName)
             << "channels:" << m_channels.load();
    return true;
}

void AudioCapture::close()
{
    if (m_deviceId != 0) {
        SDL_CloseAudioDevice(m_deviceId);
        m_deviceId = 0;
    }
    clear();
}

float AudioCapture::takePeak()
{
    std::lock_guard lock(m_queueLock);
    const float peak = m_peak;
    m_peak = 0.0f;
    return peak;
}

std::string AudioCapture::deviceName()
{
    return m_deviceName;
}

int AudioCapture::channelCount()
{
    return m_channels.load();
}

bool AudioCapture::isOpen()
{
    return m_deviceId != 0;
}

void AudioCapture::setDelayMs(int delayMs)
{
    std::lock_guard lock(m_queueLock);
    m_delayMs = delayMs;
}

int AudioCapture::delayMs()
{
    std::lock_guard lock(m_queueLock);
    return m_delayMs;
}

void AudioCapture::clear()
{
    std::lock_guard lock(m_queueLock);
    m_queue.clear();
    m_peak = 0.0f;
}

size_t AudioCapture::reserveLocked() const
{
    const int64_t reserve = int64_t(m_delayMs) * m_channels.load() * 48;
    return reserve > 0 ? size_t(reserve) : 0;
}

uint64_t AudioCapture::availableSamples()
{
    std::lock_guard lock(m_queueLock);
    const size_t reserve = reserveLocked();
    return m_queue.size() > reserve ? m_queue.size() - reserve : 0;
}

std::vector<float> AudioCapture::readSamples(int maxSamples)
{
    std::lock_guard lock(m_queueLock);
    const size_t reserve = reserveLocked();
    if (reserve >= m_queue.size())
        return {};
    const size_t available = m_queue.size() - reserve;
    const size_t count = (maxSamples < 1 || available < size_t(maxSamples)) ? available : size_t(maxSamples);
    std::vector<float> out(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(count));
    m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(count));
    return out;
}

int AudioCapture::capacitySamples(int delayMs, int channels)
{
    const int c = channels < 1 ? 2 : channels;
    return std::max(delayMs + 1000, 2000) * 48000 / 1000 * c;
}

void SDLCALL AudioCapture::captureCallback(void *userdata, Uint8 *stream, int len)
{
    if (userdata == nullptr || stream == nullptr || len <= 3)
        return;
    const int n = len / 4;
    // SDL hands a byte buffer; copy it out so the floats are read aligned.
    std::vector<float> block(static_cast<size_t>(n));
    std::memcpy(block.data(), stream, size_t(n) * sizeof(float));
    static_cast<AudioCapture *>(userdata)->appendSamples(block.data(), n);
}

void AudioCapture::appendSamples(const float *samples, int n)
{
    if (n <= 0)
        return;
    float blockPeak = 0.0f;
    for (int i = 0; i < n; ++i)
        blockPeak = std::max(blockPeak, std::fabs(samples[i]));

    std::lock_guard lock(m_queueLock);
    m_peak = std::max(m_peak, blockPeak);
    const size_t capacity = size_t(capacitySamples(m_delayMs, m_channels.load()));
    // Drop the oldest audio so the queue holds at most the capacity; a block
    // larger than the whole capacity keeps only its newest samples.
    if (size_t(n) >= capacity) {
        m_queue.clear();
        m_queue.insert(m_queue.end(), samples + (size_t(n) - capacity), samples + n);
        return;
    }
    const size_t excess = m_queue.size() + size_t(n) > capacity ? m_queue.size() + size_t(n) - capacity : 0;
    m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(excess));
    m_queue.insert(m_queue.end(), samples, samples + n);
}
