#include "capture/audio/MonitorOutput.h"

#include "capture/audio/AudioFormat.h"

#include <cstring>

MonitorOutput::~MonitorOutput()
{
    close();
}

bool MonitorOutput::open(const std::string &deviceName)
{
    close();
    SDL_AudioSpec wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.freq = 48000;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    SDL_AudioSpec obtained;
    std::memset(&obtained, 0, sizeof obtained);
    const bool useDefault = deviceName.empty() || deviceName == "Default system output";
    m_deviceId = SDL_OpenAudioDevice(useDefault ? nullptr : deviceName.c_str(), 0, &wanted, &obtained, 0);
    if (m_deviceId != 0)
        SDL_PauseAudioDevice(m_deviceId, 0);
    return m_deviceId != 0;
}

void MonitorOutput::close()
{
    if (m_deviceId != 0) {
        SDL_CloseAudioDevice(m_deviceId);
        m_deviceId = 0;
    }
}

uint32_t MonitorOutput::queuedBytes() const
{
    return m_deviceId != 0 ? SDL_GetQueuedAudioSize(m_deviceId) : 0;
}

void MonitorOutput::play(const std::vector<float> &stereoBlock)
{
    if (m_deviceId == 0 || stereoBlock.empty())
        return;
    m_pcm.resize(stereoBlock.size());
    for (size_t i = 0; i < stereoBlock.size(); ++i)
        m_pcm[i] = AudioFormat::toPcm16(stereoBlock[i]);
    if (SDL_GetQueuedAudioSize(m_deviceId) > kMaxQueuedBytes)
        SDL_ClearQueuedAudio(m_deviceId);
    SDL_QueueAudio(m_deviceId, m_pcm.data(), Uint32(m_pcm.size() * sizeof(int16_t)));
}
