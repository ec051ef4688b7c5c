#include "encoding/mp4/Mp4Box.h"

namespace Mp4 {

std::string fourccText(uint32_t type)
{
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) {
        const char c = char((type >> (24 - 8 * i)) & 0xff);
        s[size_t(i)] = (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return s;
}

std::optional<std::vector<Box>> childBoxes(std::span<const uint8_t> data)
{
    std::vector<Box> boxes;
    size_t pos = 0;
    while (pos < data.size()) {
        if (data.size() - pos < 8)
            return std::nullopt;
        uint64_t size = be32(&data[pos]);
        const uint32_t type = be32(&data[pos + 4]);
        size_t header = 8;
        if (size == 1) {
            if (data.size() - pos < 16)
                return std::nullopt;
            size = be64(&data[pos + 8]);
            header = 16;
        } else if (size == 0) {
            size = data.size() - pos;
        }
        if (size < header || size > data.size() - pos)
            return std::nullopt;
        const auto whole = data.subspan(pos, size_t(size));
        boxes.push_back({type, whole, whole.subspan(header)});
        pos += size_t(size);
    }
    return boxes;
}

std::optional<Box> findChild(const std::vector<Box> &boxes, uint32_t type)
{
    for (const Box &b : boxes) {
        if (b.type == type)
            return b;
    }
    return std::nullopt;
}

void BoxWriter::u16(uint16_t v)
{
    u8(uint8_t(v >> 8));
    u8(uint8_t(v));
}

void BoxWriter::u32(uint32_t v)
{
    u16(uint16_t(v >> 16));
    u16(uint16_t(v));
}

void BoxWriter::u64(uint64_t v)
{
    u32(uint32_t(v >> 32));
    u32(uint32_t(v));
}

void BoxWriter::open(uint32_t type)
{
    m_open.push_back(m_bytes.size());
    u32(0);
    u32(type);
}

void BoxWriter::openFull(uint32_t type, uint8_t version, uint32_t flags)
{
    open(type);
    u32(uint32_t(version) << 24 | (flags & 0xffffff));
}

void BoxWriter::close()
{
    const size_t start = m_open.back();
    m_open.pop_back();
    const uint32_t size = uint32_t(m_bytes.size() - start);
    m_bytes[start] = uint8_t(size >> 24);
    m_bytes[start + 1] = uint8_t(size >> 16);
    m_bytes[start + 2] = uint8_t(size >> 8);
    m_bytes[start + 3] = uint8_t(size);
}

} // namespace Mp4
