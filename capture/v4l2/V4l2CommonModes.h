#pragma once

#include <array>

// Devices that describe their sizes or rates only as a range (stepwise or
// continuous; many capture cards) are offered these common modes within it.
namespace V4l2CommonModes {

struct Size
{
    int width;
    int height;
};

// 16:9 and 4:3 sizes up to 3840x2160 and 1920x1200, largest first.
inline constexpr std::array<Size, 12> sizes{{
    {3840, 2160}, {2560, 1440}, {1920, 1200}, {1920, 1080}, {1600, 1200}, {1280, 960},
    {1280, 720}, {1024, 768}, {960, 540}, {800, 600}, {640, 480}, {640, 360},
}};

// Frame rates, highest first.
inline constexpr std::array<int, 6> rates{{60, 50, 30, 25, 24, 15}};

} // namespace V4l2CommonModes
