#include "capture/audio/AudioMixer.h"

#include "capture/audio/AudioCapture.h"
#include "capture/audio/AudioFormat.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kRelease = 0.88f;

int channelsOf(AudioCapture *capture)
{
    const int c = capture->channelCount();
    return c < 1 ? 2 : c;
}

void followPeak(float &level, float x)
{
    level = x > level ? x : level * kRelease + x * (1.0f - kRelease);
}

void decay(float &level)
{
    level *= kRelease;
}

// Adds block (its own layout) into the stereo master at the given gain:
// mono goes to both sides, other layouts sample by sample.
void addIntoMaster(const std::vector<float> &block, int channels, float gain, std::vector<float> &master)
{
    if (channels == 1) {
        for (size_t i = 0; 2 * i + 1 < master.size() && i < block.size(); ++i) {
            master[2 * i] += block[i] * gain;
            master[2 * i + 1] += block[i] * gain;
        }
    } else {
        const size_t n = std::min(block.size(), master.size());
        for (size_t i = 0; i < n; ++i)
            master[i] += block[i] * gain;
    }
}
} // namespace

AudioMixer::AudioMixer()
{
    for (int id = 1; id <= 4; ++id)
        m_strips[id] = ChannelStrip{};
}

ChannelStrip &AudioMixer::stripLocked(int channelId)
{
    return m_strips[channelId]; // a new id starts from the initial values
}

void AudioMixer::setChannelInput(int channelId, AudioCapture *capture)
{
    std::lock_guard lock(m_lock);
    ChannelStrip &strip = stripLocked(channelId);
    if (strip.capture && strip.capture != capture)
        m_sourceStates.erase(strip.capture);
    strip.capture = capture;
    if (capture)
        m_sourceStates[capture] = SourceState{};
}

void AudioMixer::removeChannelInput(int channelId)
{
    std::lock_guard lock(m_lock);
    ChannelStrip &strip = stripLocked(channelId);
    if (strip.capture)
        m_sourceStates.erase(strip.capture);
    strip.capture = nullptr;
    strip.levelLeft = 0.0f;
    strip.levelRight = 0.0f;
}

void AudioMixer::addMasterInput(AudioCapture *capture)
{
    std::lock_guard lock(m_lock);
    if (!capture || std::find(m_masterInputs.begin(), m_masterInputs.end(), capture) != m_masterInputs.end())
        return;
    m_masterInputs.push_back(capture);
    m_sourceStates[capture] = SourceState{};
}

void AudioMixer::removeMasterInput(AudioCapture *capture)
{
    std::lock_guard lock(m_lock);
    m_masterInputs.erase(std::remove(m_masterInputs.begin(), m_masterInputs.end(), capture), m_masterInputs.end());
    m_sourceStates.erase(capture);
}

void AudioMixer::setChannelFader(int channelId, float value)
{
    std::lock_guard lock(m_lock);
    ChannelStrip &strip = stripLocked(channelId);
    strip.fader = AudioFormat::clampFader(value);
    strip.gain = AudioFormat::faderToGain(strip.fader);
}

void AudioMixer::setChannelMute(int channelId, bool mute)
{
    std::lock_guard lock(m_lock);
    stripLocked(channelId).mute = mute;
}

void AudioMixer::setChannelSolo(int channelId, bool solo)
{
    std::lock_guard lock(m_lock);
    stripLocked(channelId).solo = solo;
}

void AudioMixer::setMasterFader(float value)
{
    std::lock_guard lock(m_lock);
    m_masterFader = AudioFormat::clampFader(value);
    m_masterGain = AudioFormat::faderToGain(m_masterFader);
}

float AudioMixer::channelFader(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    return it == m_strips.end() ? ChannelStrip{}.fader : it->second.fader;
}

float AudioMixer::channelGain(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    return it == m_strips.end() ? ChannelStrip{}.gain : it->second.gain;
}

bool AudioMixer::isChannelMuted(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    return it != m_strips.end() && it->second.mute;
}

bool AudioMixer::isChannelSolo(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    return it != m_strips.end() && it->second.solo;
}

bool AudioMixer::hasChannelInput(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    return it != m_strips.end() && it->second.capture != nullptr;
}

ChannelLevels AudioMixer::channelLevels(int channelId) const
{
    std::lock_guard lock(m_lock);
    const auto it = m_strips.find(channelId);
    if (it == m_strips.end())
        return {};
    return {it->second.levelLeft, it->second.levelRight};
}

float AudioMixer::masterFader() const
{
    std::lock_guard lock(m_lock);
    return m_masterFader;
}

float AudioMixer::masterGain() const
{
    std::lock_guard lock(m_lock);
    return m_masterGain;
}

ChannelLevels AudioMixer::masterLevels() const
{
    std::lock_guard lock(m_lock);
    return {m_masterLevelLeft, m_masterLevelRight};
}

void AudioMixer::resetLevels()
{
    std::lock_guard lock(m_lock);
    auto keepCushion = [this](AudioCapture *capture) {
        const int c = channelsOf(capture);
        const uint64_t available = capture->availableSamples();
        const uint64_t keep = uint64_t(m_sourceStates[capture].cushionFrames) * uint64_t(c);
        if (available > keep)
            capture->readSamples(int(available - keep));
    };
    for (auto &[id, strip] : m_strips) {
        if (strip.capture)
            keepCushion(strip.capture);
        strip.levelLeft = 0.0f;
        strip.levelRight = 0.0f;
    }
    for (AudioCapture *capture : m_masterInputs)
        keepCushion(capture);
    m_masterLevelLeft = 0.0f;
    m_masterLevelRight = 0.0f;
}

bool AudioMixer::readSourceLocked(AudioCapture *capture, int frames, std::vector<float> &block)
{
    const int c = channelsOf(capture);
    const size_t wanted = size_t(frames) * size_t(c);
    SourceState &state = m_sourceStates[capture];
    const uint64_t available = capture->availableSamples();
    if (!state.primed && available >= wanted + uint64_t(state.cushionFrames) * uint64_t(c))
        state.primed = true;

    block.assign(wanted, 0.0f);
    if (!state.primed)
        return false;

    std::vector<float> read = capture->readSamples(int(wanted));
    if (read.size() < wanted) {
        // ran dry: wait for a new, larger cushion
        state.primed = false;
        state.cushionFrames = std::min(state.cushionFrames * 2, int(kMaxCushionFrames));
    }
    std::copy(read.begin(), read.end(), block.begin());
    trimBacklogLocked(capture, state.cushionFrames);
    return !read.empty();
}

void AudioMixer::trimBacklogLocked(AudioCapture *capture, int cushionFrames)
{
    const uint64_t c = uint64_t(channelsOf(capture));
    const uint64_t available = capture->availableSamples();
    if (available > uint64_t(cushionFrames + kMaxBacklogFrames) * c)
        capture->readSamples(int(available - uint64_t(cushionFrames) * c));
}

void AudioMixer::mix(int frames, ChannelBlocks &channelBlocks, std::vector<float> &masterBlock)
{
    std::lock_guard lock(m_lock);
    channelBlocks.clear();
    masterBlock.clear();

    bool anySource = false;
    for (const auto &[id, strip] : m_strips)
        anySource = anySource || (strip.capture && strip.capture->isOpen());
    for (AudioCapture *capture : m_masterInputs)
        anySource = anySource || (capture && capture->isOpen());

    if (!anySource || frames <= 0) {
        for (auto &[id, strip] : m_strips) {
            decay(strip.levelLeft);
            decay(strip.levelRight);
        }
        decay(m_masterLevelLeft);
        decay(m_masterLevelRight);
        return;
    }

    masterBlock.assign(size_t(frames) * 2, 0.0f);
    bool anySolo = false;
    for (const auto &[id, strip] : m_strips)
        anySolo = anySolo || (strip.solo && strip.capture);

    std::vector<float> block;
    for (auto &[id, strip] : m_strips) {
        if (!strip.capture || !strip.capture->isOpen()) {
            decay(strip.levelLeft);
            decay(strip.levelRight);
            continue;
        }
        const int c = channelsOf(strip.capture);
        const bool gotAudio = readSourceLocked(strip.capture, frames, block);
        float effectiveGain = strip.gain;
        if (strip.mute || (anySolo && !strip.solo))
            effectiveGain = 0.0f;

        if (!gotAudio) {
            decay(strip.levelLeft);
            decay(strip.levelRight);
        } else {
            float peakLeft = 0.0f;
            float peakRight = 0.0f;
            if (c == 1) {
                for (float s : block)
                    peakLeft = std::max(peakLeft, std::fabs(s));
                peakRight = peakLeft;
            } else {
                for (size_t i = 0; i < block.size(); ++i) {
                    float &peak = (i % 2 == 0) ? peakLeft : peakRight;
                    peak = std::max(peak, std::fabs(block[i]));
                }
            }
            followPeak(strip.levelLeft, effectiveGain * peakLeft);
            followPeak(strip.levelRight, effectiveGain * peakRight);
        }

        std::vector<float> &out = channelBlocks[id];
        out.resize(block.size());
        for (size_t i = 0; i < block.size(); ++i)
            out[i] = block[i] * effectiveGain;
        if (effectiveGain > 0.0001f)
            addIntoMaster(block, c, effectiveGain, masterBlock);
    }

    for (AudioCapture *capture : m_masterInputs) {
        if (!capture || !capture->isOpen())
            continue;
        if (readSourceLocked(capture, frames, block))
            addIntoMaster(block, channelsOf(capture), 1.0f, masterBlock);
    }

    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    for (size_t i = 0; i < masterBlock.size(); ++i) {
        const float y = masterBlock[i] * m_masterGain;
        float &peak = (i % 2 == 0) ? peakLeft : peakRight;
        peak = std::max(peak, std::fabs(y));
        masterBlock[i] = std::clamp(y, -1.0f, 1.0f);
    }
    followPeak(m_masterLevelLeft, peakLeft);
    followPeak(m_masterLevelRight, peakRight);
}
