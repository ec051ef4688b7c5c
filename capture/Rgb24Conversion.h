#pragma once

#include <cstdint>

// RGB24 frames as capture devices deliver them: B, G, R bytes per pixel, rows
// of length / height bytes (at least width x 3), stored bottom row first
// unless topDown. Converted into the RGBA frame layout.
namespace Rgb24Conversion {

// Writes width x height RGBA pixels to dst. Returns false and leaves dst
// untouched when data is null, the size is empty or length is too short.
// The source row for destination row i is i when flipped differs from topDown,
// otherwise height - 1 - i, so an ordinary bottom-up image comes out upright.
bool toRgba(const uint8_t *data, int length, int width, int height, bool topDown, bool flipped, uint8_t *dst);

} // namespace Rgb24Conversion
