#include "capture/audio/MixClock.h"

#include "capture/audio/AudioFormat.h"

void MixClock::restart(Clock::time_point now)
{
    m_start = now;
    m_emitted = 0;
    m_started = true;
}

int MixClock::framesDue(Clock::time_point now)
{
    if (!m_started)
        restart(now);
    const auto elapsedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now - m_start).count();
    if (elapsedNs <= 0)
        return 0;
    // 128-bit free: 2^63 ns * 48000 would overflow, so split seconds and rest.
    const int64_t seconds = elapsedNs / 1'000'000'000;
    const int64_t rest = elapsedNs % 1'000'000'000;
    const int64_t total = seconds * AudioFormat::kSampleRate + rest * AudioFormat::kSampleRate / 1'000'000'000;
    int64_t due = total - m_emitted;
    if (due <= 0)
        return 0;
    if (due > kMaxFramesPerTick) {
        m_emitted = total - kMaxFramesPerTick;
        due = kMaxFramesPerTick;
    }
    m_emitted += due;
    return int(due);
}
