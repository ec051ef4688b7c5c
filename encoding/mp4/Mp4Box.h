#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reading and writing ISO base media (MP4/QuickTime) boxes held in memory.
namespace Mp4 {

constexpr uint32_t fourcc(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8
        | uint32_t(uint8_t(s[3]));
}

std::string fourccText(uint32_t type);

inline uint32_t be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline uint64_t be64(const uint8_t *p)
{
    return uint64_t(be32(p)) << 32 | be32(p + 4);
}

// One box inside a buffer: `whole` spans header and payload.
struct Box
{
    uint32_t type = 0;
    std::span<const uint8_t> whole;
    std::span<const uint8_t> payload;
};

// The boxes that exactly fill `data`; nothing when a size runs past the end
// or is too small for its own header.
std::optional<std::vector<Box>> childBoxes(std::span<const uint8_t> data);

// The first child of the given type, or nothing.
std::optional<Box> findChild(const std::vector<Box> &boxes, uint32_t type);

// Big-endian writer that builds boxes, patching each size when it closes.
class BoxWriter
{
public:
    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v);
    void u32(uint32_t v);
    void u64(uint64_t v);
    void bytes(std::span<const uint8_t> data) { m_bytes.insert(m_bytes.end(), data.begin(), data.end()); }

    // Opens a box (a full box when version/flags are given); close() ends the innermost.
    void open(uint32_t type);
    void openFull(uint32_t type, uint8_t version, uint32_t flags);
    void close();

    std::vector<uint8_t> take() { return std::move(m_bytes); }
    const std::vector<uint8_t> &data() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    std::vector<size_t> m_open;
};

} // namespace Mp4
