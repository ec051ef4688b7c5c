#include "capture/v4l2/V4l2Stream.h"

#include "capture/FrameStore.h"
#include "capture/Rgb24Conversion.h"
#include "capture/v4l2/V4l2Inventory.h"

#include <cerrno>
#include <pthread.h>
#include <linux/videodev2.h>

namespace {

constexpr unsigned kBufferCount = 4;

// The raw entry the caller chose, or the first of the requested size.
const VideoFormatInfo *pickFormat(const std::vector<VideoFormatInfo> &raw, const VideoFormatInfo &wanted)
{
    if (wanted.capabilityIndex >= 0 && wanted.capabilityIndex < int(raw.size())) {
        const VideoFormatInfo &f = raw[std::size_t(wanted.capabilityIndex)];
        if (f.width == wanted.width && f.height == wanted.height)
            return &f;
    }
    for (const VideoFormatInfo &f : raw)
        if (f.width == wanted.width && f.height == wanted.height)
            return &f;
    return nullptr;
}

} // namespace

V4l2Stream::V4l2Stream(V4l2Api &api)
    : m_api(api)
{
}

V4l2Stream::~V4l2Stream()
{
    stop();
}

bool V4l2Stream::start(const std::string &link, const VideoFormatInfo &format, FrameStore &store)
{
    stop();
    const std::vector<VideoFormatInfo> raw = V4l2Inventory::rawFormats(m_api, link);
    if (raw.empty())
        return false;
    m_fd = m_api.open(link);
    if (m_fd < 0)
        return false;

    const VideoFormatInfo *chosen = pickFormat(raw, format);
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (m_api.ioctl(m_fd, VIDIOC_G_FMT, &fmt) != 0) {
        closeDevice();
        return false;
    }
    fmt.fmt.pix.width = uint32_t(format.width > 0 ? format.width : raw.front().width);
    fmt.fmt.pix.height = uint32_t(format.height > 0 ? format.height : raw.front().height);
    if (chosen)
        fmt.fmt.pix.pixelformat = chosen->subtype;
    else if (!PixelConverter::supports(fmt.fmt.pix.pixelformat))
        fmt.fmt.pix.pixelformat = raw.front().subtype;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    fmt.fmt.pix.bytesperline = 0;
    if (m_api.ioctl(m_fd, VIDIOC_S_FMT, &fmt) != 0) {
        closeDevice();
        return false;
    }
    const int width = int(fmt.fmt.pix.width);
    const int height = int(fmt.fmt.pix.height);
    m_fourcc = fmt.fmt.pix.pixelformat;
    m_bytesPerLine = int(fmt.fmt.pix.bytesperline);
    if (width < 1 || height < 1) {
        closeDevice();
        return false;
    }
    if (m_fourcc != V4L2_PIX_FMT_BGR24 && !m_converter.setup(m_fourcc, width, height, m_bytesPerLine)) {
        closeDevice();
        return false;
    }

    if (chosen) {
        // The rate is a wish; a device that cannot set it keeps its own.
        v4l2_streamparm parm{};
        parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        parm.parm.capture.timeperframe.numerator = uint32_t(chosen->fpsDenominator);
        parm.parm.capture.timeperframe.denominator = uint32_t(chosen->fpsNumerator);
        m_api.ioctl(m_fd, VIDIOC_S_PARM, &parm);
    }

    v4l2_requestbuffers req{};
    req.count = kBufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (m_api.ioctl(m_fd, VIDIOC_REQBUFS, &req) != 0 || req.count < 1) {
        closeDevice();
        return false;
    }
    for (unsigned i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (m_api.ioctl(m_fd, VIDIOC_QUERYBUF, &buf) != 0) {
            closeDevice();
            return false;
        }
        void *address = m_api.mmap(buf.length, m_fd, off_t(buf.m.offset));
        if (!address) {
            closeDevice();
            return false;
        }
        m_buffers.push_back({address, buf.length});
        if (m_api.ioctl(m_fd, VIDIOC_QBUF, &buf) != 0) {
            closeDevice();
            return false;
        }
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (m_api.ioctl(m_fd, VIDIOC_STREAMON, &type) != 0) {
        closeDevice();
        return false;
    }

    store.reset(width, height);
    m_stopRequested = false;
    m_alive = true;
    m_thread = std::thread(&V4l2Stream::run, this, &store);
    return true;
}

void V4l2Stream::run(FrameStore *store)
{
    pthread_setname_np(pthread_self(), "korvex-v4l2");
    const int width = store->width();
    const int height = store->height();
    while (!m_stopRequested.load()) {
        const int ready = m_api.poll(m_fd, 200);
        if (ready == 0)
            continue;
        if (ready < 0)
            break;
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        const int err = m_api.ioctl(m_fd, VIDIOC_DQBUF, &buf);
        if (err == EAGAIN)
            continue;
        if (err != 0)
            break; // ENODEV when unplugged, EIO when the device failed
        if (buf.index < m_buffers.size() && !(buf.flags & V4L2_BUF_FLAG_ERROR)) {
            const auto *data = static_cast<const uint8_t *>(m_buffers[buf.index].address);
            const std::size_t used = buf.bytesused ? buf.bytesused : m_buffers[buf.index].length;
            store->write([&](uint8_t *rgba) {
                if (m_fourcc == V4L2_PIX_FMT_BGR24)
                    return Rgb24Conversion::toRgba(data, int(used), width, height, true, m_flipped.load(), rgba);
                return m_converter.convert(data, used, rgba);
            });
        }
        if (m_api.ioctl(m_fd, VIDIOC_QBUF, &buf) != 0)
            break;
    }
    m_alive = false;
}

void V4l2Stream::stop()
{
    m_stopRequested = true;
    if (m_thread.joinable())
        m_thread.join();
    m_alive = false;
    closeDevice();
}

void V4l2Stream::closeDevice()
{
    if (m_fd >= 0) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        m_api.ioctl(m_fd, VIDIOC_STREAMOFF, &type);
    }
    for (const Buffer &b : m_buffers)
        m_api.munmap(b.address, b.length);
    m_buffers.clear();
    if (m_fd >= 0) {
        v4l2_requestbuffers req{};
        req.count = 0;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        m_api.ioctl(m_fd, VIDIOC_REQBUFS, &req);
        m_api.close(m_fd);
    }
    m_fd = -1;
}
