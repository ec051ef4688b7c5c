#include "capture/virtual/TestMarks.h"

#include <array>
#include <cstring>

namespace TestMarks {

namespace {

constexpr int kDataBits = 96;
constexpr int kFirstDataCell = 2;

uint8_t crc8(const uint8_t *data, int length)
{
    uint8_t crc = 0;
    for (int i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x80) ? uint8_t((crc << 1) ^ 0x07) : uint8_t(crc << 1);
    }
    return crc;
}

std::array<uint8_t, 12> pack(const Marks &m)
{
    std::array<uint8_t, 12> bytes{};
    bytes[0] = uint8_t(m.camera);
    for (int i = 0; i < 4; ++i)
        bytes[1 + i] = uint8_t(m.frame >> (24 - 8 * i));
    const uint64_t t = uint64_t(m.wallClockMs);
    for (int i = 0; i < 6; ++i)
        bytes[5 + i] = uint8_t(t >> (40 - 8 * i));
    bytes[11] = crc8(bytes.data(), 11);
    return bytes;
}

bool cellBit(const std::array<uint8_t, 12> &bytes, int cell)
{
    if (cell == 0 || cell == kCells - 1)
        return true;
    if (cell == 1 || cell == kCells - 2)
        return false;
    const int bit = cell - kFirstDataCell;
    return (bytes[std::size_t(bit / 8)] >> (7 - bit % 8)) & 1;
}

int stripHeight(int height)
{
    return height / 10 > 0 ? height / 10 : 1;
}

template<typename Luma>
bool decode(int width, int height, Luma luma, Marks &out)
{
    if (width < kCells || height < 10)
        return false;
    const int sh = stripHeight(height);
    const int y0 = sh / 5, y1 = sh - sh / 5;
    bool bits[kCells];
    for (int c = 0; c < kCells; ++c) {
        const int cx0 = c * width / kCells, cx1 = (c + 1) * width / kCells;
        const int w = cx1 - cx0;
        const int x0 = cx0 + w / 4, x1 = cx1 - w / 4 > x0 ? cx1 - w / 4 : x0 + 1;
        long sum = 0, n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++n)
                sum += luma(x, y);
        bits[c] = n > 0 && sum / n >= 128;
    }
    if (!bits[0] || bits[1] || bits[kCells - 2] || !bits[kCells - 1])
        return false;
    std::array<uint8_t, 12> bytes{};
    for (int b = 0; b < kDataBits; ++b)
        if (bits[kFirstDataCell + b])
            bytes[std::size_t(b / 8)] |= uint8_t(1 << (7 - b % 8));
    if (crc8(bytes.data(), 11) != bytes[11])
        return false;
    out.camera = bytes[0];
    out.frame = 0;
    for (int i = 0; i < 4; ++i)
        out.frame = (out.frame << 8) | bytes[1 + i];
    uint64_t t = 0;
    for (int i = 0; i < 6; ++i)
        t = (t << 8) | bytes[5 + i];
    out.wallClockMs = int64_t(t);
    return true;
}

} // namespace

void draw(uint8_t *rgba, int width, int height, const Marks &marks)
{
    if (!rgba || width < kCells || height < 10)
        return;
    const auto bytes = pack(marks);
    const int sh = stripHeight(height);
    uint8_t *row0 = rgba;
    for (int c = 0; c < kCells; ++c) {
        const uint8_t v = cellBit(bytes, c) ? 255 : 0;
        const int x0 = c * width / kCells, x1 = (c + 1) * width / kCells;
        for (int x = x0; x < x1; ++x) {
            row0[4 * x + 0] = v;
            row0[4 * x + 1] = v;
            row0[4 * x + 2] = v;
            row0[4 * x + 3] = 255;
        }
    }
    for (int y = 1; y < sh; ++y)
        std::memcpy(rgba + std::size_t(y) * width * 4, row0, std::size_t(width) * 4);
}

bool decodeRgba(const uint8_t *rgba, int width, int height, int strideBytes, Marks &out)
{
    if (!rgba)
        return false;
    return decode(width, height, [&](int x, int y) {
        const uint8_t *p = rgba + std::size_t(y) * strideBytes + std::size_t(x) * 4;
        return (77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8;
    }, out);
}

bool decodeLuma(const uint8_t *luma, int width, int height, int strideBytes, Marks &out)
{
    if (!luma)
        return false;
    // Limited-range luma: 16..235 maps around the same 128 threshold closely enough.
    return decode(width, height, [&](int x, int y) { return int(luma[std::size_t(y) * strideBytes + x]); }, out);
}

} // namespace TestMarks
