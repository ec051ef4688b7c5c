#pragma once

#include "capture/audio/AudioCapture.h"

#include <vector>

// A capture without a device: it reports itself open with a fixed channel
// count and is fed through the same path SDL's callback uses.
class FeedCapture : public AudioCapture
{
public:
    explicit FeedCapture(int channels) { setChannelCount(channels); }
    bool isOpen() override { return true; }
    void feed(const std::vector<float> &samples) { appendSamples(samples.data(), int(samples.size())); }
    void feedConstant(int frames, float value) { feed(std::vector<float>(size_t(frames) * size_t(channelCount()), value)); }
};
