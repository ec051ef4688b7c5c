#include "capture/CameraCapture.h"

#include "capture/Rgb24Conversion.h"
#include "capture/v4l2/V4l2Api.h"
#include "capture/v4l2/V4l2Inventory.h"
#include "capture/v4l2/V4l2Stream.h"
#include "capture/virtual/VirtualCameraStream.h"
#include "capture/virtual/VirtualCameras.h"

#include <QString>

namespace {

std::string narrow(const std::wstring &s)
{
    return QString::fromStdWString(s).toStdString();
}

} // namespace

std::vector<VideoDeviceInfo> CameraCapture::enumerateVideoDevices()
{
    std::vector<VideoDeviceInfo> devices = V4l2Inventory::listDevices(systemV4l2Api());
    for (VideoDeviceInfo &d : VirtualCameras::devices())
        devices.push_back(std::move(d));
    return devices;
}

std::vector<VideoFormatInfo> CameraCapture::enumerateVideoFormats(const std::wstring &link)
{
    const std::string path = narrow(link);
    if (VirtualCameras::isVirtualLink(path))
        return VirtualCameras::formats(path);
    return V4l2Inventory::listFormats(systemV4l2Api(), path);
}

CameraCapture::CameraCapture(V4l2Api *api)
    : m_api(api ? api : &systemV4l2Api())
{
}

CameraCapture::~CameraCapture()
{
    stop();
}

bool CameraCapture::open(const std::wstring &link, const VideoFormatInfo &format)
{
    if (m_stream)
        stop();
    m_link = link;
    const std::string path = narrow(link);
    std::unique_ptr<ICaptureStream> stream;
    if (VirtualCameras::isVirtualLink(path))
        stream = std::make_unique<VirtualCameraStream>();
    else
        stream = std::make_unique<V4l2Stream>(*m_api);
    stream->setFlipped(m_flipped.load());
    if (!stream->start(path, format, m_frames))
        return false;
    // V4L2 delivers RGB24 top row first.
    m_topDown = true;
    m_stream = std::move(stream);
    m_running = true;
    return true;
}

void CameraCapture::stop()
{
    m_running.exchange(false);
    if (m_stream) {
        m_stream->stop();
        m_stream.reset();
    }
}

bool CameraCapture::isRunning() const
{
    return m_running.load() && m_stream && m_stream->alive();
}

void CameraCapture::onFrame(const uint8_t *data, int length)
{
    if (!m_running.load())
        return;
    const int w = m_frames.width(), h = m_frames.height();
    const bool topDown = m_topDown, flipped = m_flipped.load();
    m_frames.write([&](uint8_t *rgba) { return Rgb24Conversion::toRgba(data, length, w, h, topDown, flipped, rgba); });
}

void CameraCapture::updateTexture()
{
    // No texture on this platform: the newest frame only counts as taken.
    m_frames.clearNewFrame();
}

void CameraCapture::getLatestFrame(std::vector<uint8_t> &out)
{
    m_frames.read(out);
}

void CameraCapture::toggleFlip()
{
    const bool flipped = !m_flipped.load();
    m_flipped.store(flipped);
    if (m_stream)
        m_stream->setFlipped(flipped);
}
