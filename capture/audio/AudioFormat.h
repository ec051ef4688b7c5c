#pragma once

#include <cmath>
#include <cstdint>

// The one audio format of the capture and mix path: interleaved 32-bit float
// at 48000 frames per second, nominal range -1 .. 1. The master bus is stereo.
namespace AudioFormat {

inline constexpr int kSampleRate = 48000;
inline constexpr int kMasterChannels = 2;

// Fader position 0 .. 1 to linear gain: silence at the bottom, unity at the
// top, -60 dB .. 0 dB linear in dB in between (single precision).
inline float faderToGain(float fader)
{
    if (fader <= 0.001f)
        return 0.0f;
    if (fader >= 0.999f)
        return 1.0f;
    return std::pow(10.0f, (fader - 1.0f) * 60.0f / 20.0f);
}

inline float clampFader(float value)
{
    if (!(value > 0.0f)) // NaN goes to the bottom too
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

// Float to signed 16-bit for files and the monitoring output: x * 32767,
// limited to -32768 .. 32767, truncated toward zero; NaN becomes 32767.
inline int16_t toPcm16(float x)
{
    float v = x * 32767.0f;
    if (!(v < 32767.0f))
        v = 32767.0f;
    if (v < -32768.0f)
        v = -32768.0f;
    return static_cast<int16_t>(v);
}

} // namespace AudioFormat
