#include "capture/v4l2/V4l2Inventory.h"

#include "capture/FormatList.h"
#include "capture/v4l2/V4l2CommonModes.h"

#include <QString>
#include <cstring>
#include <linux/videodev2.h>

namespace V4l2Inventory {

namespace {

std::wstring wide(const std::string &s)
{
    return QString::fromStdString(s).toStdWString();
}

bool fitsStep(int value, uint32_t min, uint32_t max, uint32_t step)
{
    if (value < static_cast<int>(min) || value > static_cast<int>(max))
        return false;
    return step <= 1 || (value - static_cast<int>(min)) % static_cast<int>(step) == 0;
}

// Appends one entry per frame interval the device reports for this size.
void appendIntervals(V4l2Api &api, int fd, uint32_t fourcc, int width, int height,
                     std::vector<VideoFormatInfo> &out)
{
    auto push = [&](uint32_t num, uint32_t den) {
        // An interval of num/den seconds is den/num frames per second.
        if (num == 0 || den == 0)
            return;
        VideoFormatInfo f;
        f.capabilityIndex = static_cast<int>(out.size());
        f.width = width;
        f.height = height;
        f.fpsNumerator = static_cast<int>(den);
        f.fpsDenominator = static_cast<int>(num);
        f.subtype = fourcc;
        f.formatName = formatName(fourcc);
        out.push_back(f);
    };

    bool any = false;
    for (uint32_t k = 0;; ++k) {
        v4l2_frmivalenum iv{};
        iv.index = k;
        iv.pixel_format = fourcc;
        iv.width = static_cast<uint32_t>(width);
        iv.height = static_cast<uint32_t>(height);
        if (api.ioctl(fd, VIDIOC_ENUM_FRAMEINTERVALS, &iv) != 0)
            break;
        any = true;
        if (iv.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            push(iv.discrete.numerator, iv.discrete.denominator);
            continue;
        }
        // Range of intervals: the common rates whose interval lies inside it.
        const double minInterval = double(iv.stepwise.min.numerator) / std::max(1u, iv.stepwise.min.denominator);
        const double maxInterval = double(iv.stepwise.max.numerator) / std::max(1u, iv.stepwise.max.denominator);
        for (int fps : V4l2CommonModes::rates) {
            const double interval = 1.0 / fps;
            if (interval >= minInterval - 1e-9 && interval <= maxInterval + 1e-9)
                push(1, static_cast<uint32_t>(fps));
        }
        break;
    }
    // A driver that cannot enumerate intervals still captures at its default rate.
    if (!any)
        push(1, 30);
}

} // namespace

std::string formatName(uint32_t fourcc)
{
    switch (fourcc) {
    case V4L2_PIX_FMT_RGB24:
    case V4L2_PIX_FMT_BGR24:
        return "RGB24";
    case V4L2_PIX_FMT_YUYV:
        return "YUY2";
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG:
        return "MJPEG";
    default:
        return "Unknown";
    }
}

bool isCaptureDevice(V4l2Api &api, int fd, std::string *card)
{
    v4l2_capability cap{};
    if (api.ioctl(fd, VIDIOC_QUERYCAP, &cap) != 0)
        return false;
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING))
        return false;
    if (card)
        *card = std::string(reinterpret_cast<const char *>(cap.card), strnlen(reinterpret_cast<const char *>(cap.card), sizeof cap.card));
    return true;
}

std::vector<VideoDeviceInfo> listDevices(V4l2Api &api)
{
    std::vector<VideoDeviceInfo> devices;
    const std::vector<std::string> links = api.byIdLinks();
    for (const std::string &node : api.videoNodes()) {
        const int fd = api.open(node);
        if (fd < 0)
            continue;
        std::string card;
        const bool capture = isCaptureDevice(api, fd, &card);
        api.close(fd);
        if (!capture)
            continue;
        std::string link = node;
        const std::string target = api.resolve(node);
        for (const std::string &byId : links) {
            if (!target.empty() && api.resolve(byId) == target) {
                link = byId;
                break;
            }
        }
        devices.push_back({wide(card), wide(link)});
    }
    return devices;
}

std::vector<VideoFormatInfo> rawFormats(V4l2Api &api, const std::string &link)
{
    std::vector<VideoFormatInfo> out;
    if (link.rfind("/dev/", 0) != 0)
        return out;
    const int fd = api.open(link);
    if (fd < 0)
        return out;
    if (!isCaptureDevice(api, fd)) {
        api.close(fd);
        return out;
    }
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc desc{};
        desc.index = i;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (api.ioctl(fd, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        for (uint32_t j = 0;; ++j) {
            v4l2_frmsizeenum size{};
            size.index = j;
            size.pixel_format = desc.pixelformat;
            if (api.ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                break;
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                if (size.discrete.width > 0 && size.discrete.height > 0)
                    appendIntervals(api, fd, desc.pixelformat, int(size.discrete.width), int(size.discrete.height), out);
                continue;
            }
            const auto &sw = size.stepwise;
            for (const auto &common : V4l2CommonModes::sizes) {
                if (fitsStep(common.width, sw.min_width, sw.max_width, sw.step_width)
                    && fitsStep(common.height, sw.min_height, sw.max_height, sw.step_height))
                    appendIntervals(api, fd, desc.pixelformat, common.width, common.height, out);
            }
            break;
        }
    }
    api.close(fd);
    return out;
}

std::vector<VideoFormatInfo> listFormats(V4l2Api &api, const std::string &link)
{
    return FormatList::normalized(rawFormats(api, link));
}

} // namespace V4l2Inventory
