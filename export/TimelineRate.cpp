#include "export/TimelineRate.h"

#include <cmath>
#include <limits>

namespace {

// Close enough to a listed NTSC rate to be that rate. Tight enough that 30.0
// and 29.90 stay plain integer-like rates.
constexpr double kNtscTolerance = 0.01;
constexpr double kNtscRates[] = {23.976, 29.97, 59.94};

constexpr double kMaxTimebase = 1000000.0;

} // namespace

TimelineRate TimelineRate::fromFrameRate(double frameRate)
{
    TimelineRate rate;
    const double rounded = std::round(frameRate); // halves away from zero
    if (std::isfinite(rounded) && rounded >= 1.0)
        rate.timebase = static_cast<int>(std::min(rounded, kMaxTimebase));
    else
        rate.timebase = 30;

    rate.ntsc = false;
    for (double ntscRate : kNtscRates) {
        if (std::abs(frameRate - ntscRate) < kNtscTolerance)
            rate.ntsc = true;
    }
    rate.effectiveRate = rate.ntsc ? rate.timebase * 1000.0 / 1001.0 : frameRate;
    return rate;
}

QString TimelineRate::ntscText() const
{
    return ntsc ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString TimelineRate::displayFormat() const
{
    return ntsc && timebase == 30 ? QStringLiteral("DF") : QStringLiteral("NDF");
}

int64_t TimelineRate::frameOf(int64_t timeMs) const
{
    const double frame = std::round(static_cast<double>(timeMs) * effectiveRate / 1000.0);
    if (!std::isfinite(frame))
        return 0;
    // Keep absurd inputs inside the integer range instead of overflowing.
    constexpr double limit = static_cast<double>(std::numeric_limits<int32_t>::max());
    if (frame > limit)
        return static_cast<int64_t>(limit);
    if (frame < -limit)
        return static_cast<int64_t>(-limit);
    return static_cast<int64_t>(frame);
}

int64_t TimelineRate::sequenceDuration(int64_t durationMs) const
{
    const int64_t frames = frameOf(durationMs);
    return frames < 1 ? timebase : frames;
}
