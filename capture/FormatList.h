#pragma once

#include "capture/VideoDeviceInfo.h"

#include <vector>

namespace FormatList {

// Frame rate of a format in single precision; a denominator below 1 counts as 0.
float rate(const VideoFormatInfo &format);

// Drops repeated formats (same size, rate and subtype; the first one is kept)
// and orders the rest by pixel area, then frame rate, both descending. The sort
// is stable, so formats of equal size and rate keep the device's order.
std::vector<VideoFormatInfo> normalized(std::vector<VideoFormatInfo> formats);

} // namespace FormatList
