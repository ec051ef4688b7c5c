#pragma once

#include "capture/v4l2/V4l2Api.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <cstring>
#include <deque>
#include <linux/videodev2.h>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Recorded device answers for the V4L2 layer: nodes with their capabilities,
// format / frame-size / frame-interval enumerations, and a streaming queue
// that the test fills with frames or cuts off as if the device was unplugged.
struct FakeInterval
{
    bool discrete = true;
    uint32_t num = 1, den = 30;         // discrete interval
    uint32_t minNum = 1, minDen = 60;   // stepwise range
    uint32_t maxNum = 1, maxDen = 15;
};

struct FakeSize
{
    bool discrete = true;
    uint32_t width = 0, height = 0;
    uint32_t minW = 0, maxW = 0, stepW = 1, minH = 0, maxH = 0, stepH = 1;
    std::vector<FakeInterval> intervals;
};

struct FakeFormat
{
    uint32_t fourcc = V4L2_PIX_FMT_YUYV;
    std::vector<FakeSize> sizes;
};

struct FakeDevice
{
    std::string card;
    uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::string byId; // empty: none
    std::vector<FakeFormat> formats;
};

class FakeV4l2Api final : public V4l2Api
{
public:
    std::map<std::string, FakeDevice> devices; // by node path

    std::vector<std::string> videoNodes() override
    {
        std::vector<std::string> nodes;
        for (auto &d : devices)
            nodes.push_back(d.first);
        return nodes;
    }
    std::vector<std::string> byIdLinks() override
    {
        std::vector<std::string> links;
        for (auto &d : devices)
            if (!d.second.byId.empty())
                links.push_back(d.second.byId);
        return links;
    }
    std::string resolve(const std::string &path) override
    {
        for (auto &d : devices)
            if (d.first == path || d.second.byId == path)
                return d.first;
        return {};
    }
    int open(const std::string &path) override
    {
        const std::string node = resolve(path);
        if (node.empty())
            return -1;
        m_open[++m_nextFd] = node;
        return m_nextFd;
    }
    void close(int fd) override { m_open.erase(fd); }

    int ioctl(int fd, unsigned long request, void *arg) override
    {
        auto it = m_open.find(fd);
        if (it == m_open.end())
            return EBADF;
        FakeDevice &dev = devices[it->second];
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto *cap = static_cast<v4l2_capability *>(arg);
            std::strncpy(reinterpret_cast<char *>(cap->card), dev.card.c_str(), sizeof cap->card - 1);
            cap->capabilities = dev.caps | V4L2_CAP_DEVICE_CAPS;
            cap->device_caps = dev.caps;
            return 0;
        }
        case VIDIOC_ENUM_FMT: {
            auto *d = static_cast<v4l2_fmtdesc *>(arg);
            if (d->index >= dev.formats.size())
                return EINVAL;
            d->pixelformat = dev.formats[d->index].fourcc;
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto *s = static_cast<v4l2_frmsizeenum *>(arg);
            const FakeFormat *f = find(dev, s->pixel_format);
            if (!f || s->index >= f->sizes.size())
                return EINVAL;
            const FakeSize &z = f->sizes[s->index];
            if (z.discrete) {
                s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
                s->discrete = {z.width, z.height};
            } else {
                s->type = V4L2_FRMSIZE_TYPE_STEPWISE;
                s->stepwise = {z.minW, z.maxW, z.stepW, z.minH, z.maxH, z.stepH};
            }
            return 0;
        }
        case VIDIOC_ENUM_FRAMEINTERVALS: {
            auto *iv = static_cast<v4l2_frmivalenum *>(arg);
            const FakeFormat *f = find(dev, iv->pixel_format);
            if (!f)
                return EINVAL;
            const FakeSize *size = nullptr;
            for (const FakeSize &z : f->sizes)
                if (!z.discrete || (z.width == iv->width && z.height == iv->height))
                    size = &z;
            if (!size || iv->index >= size->intervals.size())
                return EINVAL;
            const FakeInterval &i = size->intervals[iv->index];
            if (i.discrete) {
                iv->type = V4L2_FRMIVAL_TYPE_DISCRETE;
                iv->discrete = {i.num, i.den};
            } else {
                iv->type = V4L2_FRMIVAL_TYPE_CONTINUOUS;
                iv->stepwise.min = {i.minNum, i.minDen};
                iv->stepwise.max = {i.maxNum, i.maxDen};
                iv->stepwise.step = {1, 1};
            }
            return 0;
        }
        case VIDIOC_G_FMT: {
            auto *f = static_cast<v4l2_format *>(arg);
            f->fmt.pix = current;
            return 0;
        }
        case VIDIOC_S_FMT: {
            auto *f = static_cast<v4l2_format *>(arg);
            current = f->fmt.pix;
            current.bytesperline = current.pixelformat == V4L2_PIX_FMT_YUYV ? current.width * 2 : 0;
            current.sizeimage = current.width * current.height * 4;
            f->fmt.pix = current;
            return 0;
        }
        case VIDIOC_S_PARM: {
            auto *p = static_cast<v4l2_streamparm *>(arg);
            requestedInterval = p->parm.capture.timeperframe;
            return 0;
        }
        case VIDIOC_REQBUFS: {
            auto *r = static_cast<v4l2_requestbuffers *>(arg);
            std::lock_guard<std::mutex> lock(m_lock);
            m_buffers.assign(r->count, std::vector<uint8_t>(current.sizeimage));
            return 0;
        }
        case VIDIOC_QUERYBUF: {
            auto *b = static_cast<v4l2_buffer *>(arg);
            b->length = current.sizeimage;
            b->m.offset = b->index;
            return 0;
        }
        case VIDIOC_QBUF: {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_lost)
                return ENODEV;
            m_queued.push_back(static_cast<v4l2_buffer *>(arg)->index);
            return 0;
        }
        case VIDIOC_DQBUF: {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_lost)
                return ENODEV;
            if (m_pending.empty() || m_queued.empty())
                return EAGAIN;
            auto *b = static_cast<v4l2_buffer *>(arg);
            b->index = m_queued.front();
            m_queued.pop_front();
            std::vector<uint8_t> &buffer = m_buffers[b->index];
            const std::vector<uint8_t> &frame = m_pending.front();
            std::memcpy(buffer.data(), frame.data(), std::min(frame.size(), buffer.size()));
            b->bytesused = uint32_t(frame.size());
            m_pending.pop_front();
            ++dequeued;
            return 0;
        }
        case VIDIOC_STREAMON:
            streaming = true;
            return 0;
        case VIDIOC_STREAMOFF:
            streaming = false;
            return 0;
        default:
            return EINVAL;
        }
    }

    void *mmap(std::size_t, int, off_t offset) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return offset < off_t(m_buffers.size()) ? m_buffers[std::size_t(offset)].data() : nullptr;
    }
    void munmap(void *, std::size_t) override { ++unmapped; }

    int poll(int, int timeoutMs) override
    {
        for (int waited = 0;; waited += 2) {
            {
                std::lock_guard<std::mutex> lock(m_lock);
                if (m_lost)
                    return -1;
                if (!m_pending.empty())
                    return 1;
            }
            if (waited >= timeoutMs)
                return 0;
            struct timespec ts{0, 2000000};
            nanosleep(&ts, nullptr);
        }
    }

    // Test side (any thread).
    void pushFrame(std::vector<uint8_t> frame)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_pending.push_back(std::move(frame));
    }
    void unplug()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_lost = true;
    }
    int openCount() const { return int(m_open.size()); }

    v4l2_pix_format current{};
    v4l2_fract requestedInterval{};
    bool streaming = false;
    std::atomic<int> dequeued{0};
    int unmapped = 0;

private:
    static const FakeFormat *find(const FakeDevice &dev, uint32_t fourcc)
    {
        for (const FakeFormat &f : dev.formats)
            if (f.fourcc == fourcc)
                return &f;
        return nullptr;
    }

    std::map<int, std::string> m_open;
    int m_nextFd = 2;
    std::mutex m_lock;
    std::vector<std::vector<uint8_t>> m_buffers;
    std::deque<uint32_t> m_queued;
    std::deque<std::vector<uint8_t>> m_pending;
    bool m_lost = false;
};
