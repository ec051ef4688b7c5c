#include "capture/Rgb24Conversion.h"

namespace Rgb24Conversion {

bool toRgba(const uint8_t *data, int length, int width, int height, bool topDown, bool flipped, uint8_t *dst)
{
    if (!data || !dst || width < 1 || height < 1)
        return false;
    const long long needed = 1LL * width * height * 3;
    if (length < needed)
        return false;
    long long stride = length / height;
    if (stride < 1LL * width * 3)
        stride = 1LL * width * 3;
    for (int i = 0; i < height; ++i) {
        const int sourceRow = (flipped != topDown) ? i : height - 1 - i;
        const uint8_t *src = data + stride * sourceRow;
        uint8_t *out = dst + 1LL * i * width * 4;
        for (int j = 0; j < width; ++j) {
            out[4 * j + 0] = src[3 * j + 2];
            out[4 * j + 1] = src[3 * j + 1];
            out[4 * j + 2] = src[3 * j + 0];
            out[4 * j + 3] = 255;
        }
    }
    return true;
}

} // namespace Rgb24Conversion
