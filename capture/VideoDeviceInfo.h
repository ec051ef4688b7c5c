#pragma once

#include <cstdint>
#include <string>

// One video input device as the inventory lists it.
struct VideoDeviceInfo
{
    std::wstring name; // the device's own name (V4L2: the driver's card name)
    std::wstring link; // stable path that opens it again (by-id path, /dev/videoN, korvex-test://N)
};

// One capture format of a device. Frame rate = fpsNumerator / fpsDenominator.
struct VideoFormatInfo
{
    int capabilityIndex = 0; // position in the device's raw format enumeration
    int width = 0;
    int height = 0;
    int fpsNumerator = 10000000;
    int fpsDenominator = 1;
    uint32_t subtype = 0;    // native pixel format (V4L2 fourcc)
    std::string formatName;  // "RGB24", "YUY2", "MJPEG" or "Unknown"
};
