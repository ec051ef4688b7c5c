#include "encoding/mp4/Mp4File.h"

#include "encoding/mp4/Mp4Box.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Mp4 {

namespace {

// Moves all `length` bytes through pread/pwrite, which may move fewer at a
// time or be interrupted by a signal.
template<typename Byte, typename Transfer>
bool transferAll(Byte *p, size_t length, uint64_t offset, Transfer &&transfer)
{
    while (length > 0) {
        const ssize_t n = transfer(p, length, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        offset += uint64_t(n);
        length -= size_t(n);
    }
    return true;
}

} // namespace

Mp4File::Mp4File(const std::string &path) : m_fd(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {}

Mp4File::~Mp4File()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

uint64_t Mp4File::size() const
{
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 ? uint64_t(st.st_size) : 0;
}

bool Mp4File::read(uint64_t offset, void *data, size_t length) const
{
    return transferAll(static_cast<char *>(data), length, offset,
                       [this](char *p, size_t n, off_t at) { return ::pread(m_fd, p, n, at); });
}

bool Mp4File::read(uint64_t offset, size_t length, std::vector<uint8_t> &out) const
{
    out.resize(length);
    return read(offset, out.data(), length);
}

bool Mp4File::write(uint64_t offset, const void *data, size_t length)
{
    return transferAll(static_cast<const char *>(data), length, offset,
                       [this](const char *p, size_t n, off_t at) { return ::pwrite(m_fd, p, n, at); });
}

bool Mp4File::truncate(uint64_t length)
{
    return ::ftruncate(m_fd, off_t(length)) == 0;
}

bool Mp4File::sync()
{
    return ::fdatasync(m_fd) == 0;
}

bool readTopLevel(const Mp4File &file, std::vector<TopBox> &boxes, std::string &error)
{
    boxes.clear();
    const uint64_t fileSize = file.size();
    uint64_t pos = 0;
    while (pos < fileSize) {
        uint8_t h[16];
        if (fileSize - pos < 8 || !file.read(pos, h, 8)) {
            error = "box header cut off at byte " + std::to_string(pos);
            return false;
        }
        TopBox box{be32(h + 4), pos, be32(h), 8};
        if (box.size == 1) {
            if (fileSize - pos < 16 || !file.read(pos + 8, h + 8, 8)) {
                error = "box header cut off at byte " + std::to_string(pos);
                return false;
            }
            box.size = be64(h + 8);
            box.headerSize = 16;
        } else if (box.size == 0) {
            box.size = fileSize - pos;
        }
        if (box.size < box.headerSize || box.size > fileSize - pos) {
            error = "'" + fourccText(box.type) + "' box at byte " + std::to_string(pos) + " runs past the end of the file";
            return false;
        }
        boxes.push_back(box);
        pos += box.size;
    }
    return true;
}

} // namespace Mp4
