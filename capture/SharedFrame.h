#pragma once

#include <cstdint>
#include <vector>

// One frame in the frame layout, shared by readers without copying it. It does
// not change while anyone holds it.
struct SharedFrame
{
    std::vector<uint8_t> pixels; // width * height * 4 bytes
    int width = 0;
    int height = 0;
    // Differs for every frame a source delivers (also across reopening);
    // 0 when the source does not number its frames.
    std::uint64_t serial = 0;
};
