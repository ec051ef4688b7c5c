#include "app/cameras/CameraFormatChoice.h"

#include "capture/FormatList.h"

#include <cmath>

namespace CameraFormatChoice {

VideoFormatInfo choose(const std::vector<VideoFormatInfo> &formats, int width, int height, float framerate,
                       const QString &colorRange)
{
    VideoFormatInfo requested;
    requested.capabilityIndex = 0;
    requested.width = width;
    requested.height = height;
    requested.fpsNumerator = static_cast<int>(framerate * 1000.0f);
    requested.fpsDenominator = 1000;

    const bool byName = colorRange != QLatin1String("Default");
    const VideoFormatInfo *best = nullptr;
    const VideoFormatInfo *bestNamed = nullptr;
    float bestDiff = 0.0f, bestNamedDiff = 0.0f;
    for (const VideoFormatInfo &f : formats) {
        if (f.width != width || f.height != height)
            continue;
        const float diff = std::fabs(FormatList::rate(f) - framerate);
        if (!(diff < 1.0f))
            continue;
        if (!best || diff < bestDiff) {
            best = &f;
            bestDiff = diff;
        }
        if (byName && QString::fromStdString(f.formatName) == colorRange && (!bestNamed || diff < bestNamedDiff)) {
            bestNamed = &f;
            bestNamedDiff = diff;
        }
    }
    if (bestNamed)
        return *bestNamed;
    if (best)
        return *best;
    if (!formats.empty())
        return formats.front();
    return requested;
}

} // namespace CameraFormatChoice
