#include "capture/FormatList.h"

#include <algorithm>

namespace FormatList {

float rate(const VideoFormatInfo &format)
{
    if (format.fpsDenominator < 1)
        return 0.0f;
    return static_cast<float>(format.fpsNumerator) / static_cast<float>(format.fpsDenominator);
}

std::vector<VideoFormatInfo> normalized(std::vector<VideoFormatInfo> formats)
{
    std::vector<VideoFormatInfo> kept;
    kept.reserve(formats.size());
    for (const VideoFormatInfo &f : formats) {
        const bool seen = std::any_of(kept.begin(), kept.end(), [&](const VideoFormatInfo &k) {
            return k.width == f.width && k.height == f.height && k.fpsNumerator == f.fpsNumerator
                && k.fpsDenominator == f.fpsDenominator && k.subtype == f.subtype;
        });
        if (!seen)
            kept.push_back(f);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const VideoFormatInfo &a, const VideoFormatInfo &b) {
        const long long areaA = 1LL * a.width * a.height;
        const long long areaB = 1LL * b.width * b.height;
        if (areaA != areaB)
            return areaA > areaB;
        return rate(a) > rate(b);
    });
    return kept;
}

} // namespace FormatList
