#pragma once

#include <chrono>
#include <cstdint>

// Counts the 48 kHz frames that fall due by elapsed monotonic time, so the
// mix produces as many frames as wall time passes, whatever the size and
// phase of the buffers the devices deliver. GUI thread only.
class MixClock
{
public:
    using Clock = std::chrono::steady_clock;

    // After a stall longer than this the missed span is skipped, not mixed.
    static constexpr int64_t kMaxFramesPerTick = 10 * 48000;

    void restart(Clock::time_point now);
    // Frames due since the last call (or the restart); never negative.
    int framesDue(Clock::time_point now);
    int64_t framesEmitted() const { return m_emitted; }

private:
    Clock::time_point m_start{};
    int64_t m_emitted = 0;
    bool m_started = false;
};
