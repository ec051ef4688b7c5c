#pragma once

#include "capture/VideoDeviceInfo.h"

#include <QString>
#include <vector>

// Which of a device's formats to open for a requested size, rate and colour
// range choice.
namespace CameraFormatChoice {

// A format matches when its size equals the request and its rate is within
// 1 fps of it. Among the matches the one closest in rate is taken (ties in
// list order), so 29.97 opens 29.97 even when 30 is listed first. A colour
// range that names a format ("MJPEG") prefers the closest match of that name;
// otherwise, or when none has it, the closest match of any name. Without a
// match: the first listed format; without formats: the request itself
// (capabilityIndex 0, rate framerate x 1000 / 1000, no name).
VideoFormatInfo choose(const std::vector<VideoFormatInfo> &formats, int width, int height, float framerate,
                       const QString &colorRange);

} // namespace CameraFormatChoice
