#pragma once

#include <cstdint>

// The machine-readable strip the virtual test cameras burn into the top tenth
// of every frame: 100 equal cells across the full width, two guard cells at
// each end (white-black ... black-white) and 96 data cells, white for 1 and
// black for 0: camera number (8 bits), frame counter (32), wall-clock time in
// milliseconds since the epoch (48) and a CRC-8 of those 11 bytes (8), most
// significant bit first. All positions are proportional, so the strip still
// reads after scaling (a 4K source recorded at 1920x1080) and lossy encoding.
namespace TestMarks {

struct Marks
{
    int camera = 0;
    uint32_t frame = 0;
    int64_t wallClockMs = 0;
};

constexpr int kCells = 100;

// Draws the strip into an RGBA frame of width x height (rows width x 4 bytes).
void draw(uint8_t *rgba, int width, int height, const Marks &marks);

// Reads the strip back from an RGBA image (strideBytes per row). False when
// the guards or the checksum do not match (no strip, or a damaged one).
bool decodeRgba(const uint8_t *rgba, int width, int height, int strideBytes, Marks &out);

// The same from a luma (Y) plane, as decoded video gives it.
bool decodeLuma(const uint8_t *luma, int width, int height, int strideBytes, Marks &out);

} // namespace TestMarks
