#include "encoding/FrameRate.h"

#include <algorithm>
#include <cmath>

FrameRate frameRateFor(double fps)
{
    struct Row { double fps; int num; int den; };
    static constexpr Row table[] = {
        {59.94, 60000, 1001}, {29.97, 30000, 1001}, {23.976, 24000, 1001},
        {24.0, 24, 1}, {25.0, 25, 1}, {30.0, 30, 1}, {48.0, 48, 1},
        {50.0, 50, 1}, {60.0, 60, 1}, {120.0, 120, 1},
    };
    for (const Row &row : table) {
        if (std::abs(fps - row.fps) < 0.01)
            return {row.num, row.den};
    }
    return {static_cast<int>(std::lround(fps * 1000.0)), 1000};
}

FitRect fitFrame(int srcWidth, int srcHeight, int dstWidth, int dstHeight, bool evenAligned)
{
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return {};
    const double s = std::min(double(dstWidth) / srcWidth, double(dstHeight) / srcHeight);
    FitRect r;
    r.width = std::clamp(int(srcWidth * s + 1e-9), 1, dstWidth);
    r.height = std::clamp(int(srcHeight * s + 1e-9), 1, dstHeight);
    if (evenAligned) {
        r.width = std::max(2, r.width & ~1);
        r.height = std::max(2, r.height & ~1);
    }
    r.x = (dstWidth - r.width) / 2;
    r.y = (dstHeight - r.height) / 2;
    if (evenAligned) {
        r.x &= ~1;
        r.y &= ~1;
    }
    return r;
}
