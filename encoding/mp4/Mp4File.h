#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Mp4 {

// A file opened for reading and writing in place (POSIX descriptor, closed
// on destruction). Every call returns false when the system call fails.
class Mp4File
{
public:
    explicit Mp4File(const std::string &path);
    ~Mp4File();
    Mp4File(const Mp4File &) = delete;
    Mp4File &operator=(const Mp4File &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    uint64_t size() const;
    bool read(uint64_t offset, void *data, size_t length) const;
    bool read(uint64_t offset, size_t length, std::vector<uint8_t> &out) const;
    bool write(uint64_t offset, const void *data, size_t length);
    bool truncate(uint64_t length);
    // Waits until the written data is on the disk.
    bool sync();

private:
    int m_fd = -1;
};

// One box at the top level of a file.
struct TopBox
{
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t headerSize = 8;
    uint64_t payloadOffset() const { return offset + headerSize; }
    uint64_t end() const { return offset + size; }
};

// The top-level boxes of the whole file; false with `error` set when a box
// header is cut off or claims more bytes than the file holds.
bool readTopLevel(const Mp4File &file, std::vector<TopBox> &boxes, std::string &error);

} // namespace Mp4
