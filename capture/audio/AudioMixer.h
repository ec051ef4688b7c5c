#pragma once

#include <map>
#include <mutex>
#include <vector>

class AudioCapture;

// One channel's strip: its input, fader, mute, solo and post-fader meter.
struct ChannelStrip
{
    AudioCapture *capture = nullptr; // non-owning
    float fader = 0.8f;
    float gain = 0.25118864f; // faderToGain(0.8)
    bool mute = false;
    bool solo = false;
    float levelLeft = 0.0f;
    float levelRight = 0.0f;
};

struct ChannelLevels
{
    float left = 0.0f;
    float right = 0.0f;
};

// Per-channel fader, mute and solo, a stereo master bus with its fader and
// clipping, and peak meters with instant attack and a 0.88 release per tick.
//
// Keeping time: every mix() produces exactly the number of frames the caller
// says are due (from elapsed monotonic time), and reads that many frames from
// each source, leaving the rest queued. A source only plays once it holds a
// cushion beyond the frames due (at first kPrimeFrames, about two SDL
// buffers), so sources that deliver in 1024-frame buffers against a 25 ms
// tick stay continuous. A source that runs dry contributes silence until it
// has a cushion again, and its cushion doubles (up to kMaxCushionFrames) so a
// device that delivers in large bursts settles without further gaps; one that
// runs far ahead of its cushion is trimmed back to it.
//
// Threads: every operation runs on the GUI thread and takes the mixer lock
// for its whole duration; mix() takes each capture's queue lock for one call
// at a time while holding it (lock order: mixer lock, then queue lock).
class AudioMixer
{
public:
    using ChannelBlocks = std::map<int, std::vector<float>>;

    // Cushion a source must hold beyond this tick's frames before it plays.
    static constexpr int kPrimeFrames = 2048;
    // Largest cushion a bursty source grows to (250 ms).
    static constexpr int kMaxCushionFrames = 12000;
    // A source holding this much more than its cushion after a tick is
    // trimmed back to the cushion (its clock runs fast or it sent a burst).
    static constexpr int kMaxBacklogFrames = 9600;

    AudioMixer();

    void setChannelInput(int channelId, AudioCapture *capture);
    void removeChannelInput(int channelId);
    void addMasterInput(AudioCapture *capture);
    void removeMasterInput(AudioCapture *capture);
    void setChannelFader(int channelId, float value);
    void setChannelMute(int channelId, bool mute);
    void setChannelSolo(int channelId, bool solo);
    void setMasterFader(float value);

    // Getters return the initial values for an id without a strip.
    float channelFader(int channelId) const;
    float channelGain(int channelId) const;
    bool isChannelMuted(int channelId) const;
    bool isChannelSolo(int channelId) const;
    bool hasChannelInput(int channelId) const;
    ChannelLevels channelLevels(int channelId) const;
    float masterFader() const;
    float masterGain() const;
    ChannelLevels masterLevels() const;

    // Start of a take: drop queued audio (keeping only each source's cushion,
    // so the take starts at once and without a gap) and zero every meter.
    void resetLevels();

    // Mixes `frames` frames from every open source. channelBlocks gets one
    // block per strip with an open input (post fader/mute/solo, its own
    // layout, frames * channels samples); masterBlock gets 2 * frames samples
    // after the master gain, clipped to [-1, 1]. With no open source or no
    // frames due both stay empty and the meters decay.
    void mix(int frames, ChannelBlocks &channelBlocks, std::vector<float> &masterBlock);

private:
    struct SourceState
    {
        bool primed = false;
        int cushionFrames = kPrimeFrames;
    };

    ChannelStrip &stripLocked(int channelId);
    // Reads this tick's frames of one source into block (frames * c samples,
    // zero-filled when the source is not primed or runs short); false when
    // nothing was read.
    bool readSourceLocked(AudioCapture *capture, int frames, std::vector<float> &block);
    void trimBacklogLocked(AudioCapture *capture, int cushionFrames);

    mutable std::mutex m_lock; // guards everything below
    std::map<int, ChannelStrip> m_strips;
    std::vector<AudioCapture *> m_masterInputs; // non-owning, no duplicates
    std::map<AudioCapture *, SourceState> m_sourceStates;
    float m_masterFader = 0.8f;
    float m_masterGain = 0.25118864f;
    float m_masterLevelLeft = 0.0f;
    float m_masterLevelRight = 0.0f;
};
