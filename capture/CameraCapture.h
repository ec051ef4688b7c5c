#pragma once

#include "capture/FrameStore.h"
#include "capture/ICaptureStream.h"
#include "capture/ISource.h"
#include "capture/VideoDeviceInfo.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class V4l2Api;

// One camera: opens a device (V4L2 node or virtual test camera), keeps its
// newest frame in the RGBA frame layout and hands copies to readers.
// Threads: open/stop/toggleFlip on the GUI thread. The platform stream's own
// capture thread converts frames into the FrameStore under its frame lock;
// readers (preview, frame pump, MJPEG stream) take that lock only inside
// getLatestFrame and shareLatestFrame. The running flag is atomic and read without a lock.
// Lives in a std::shared_ptr; readers hold a copy for the duration of a read.
class CameraCapture : public ISource
{
public:
    // Devices in listing order: V4L2 capture nodes, then the virtual test cameras.
    static std::vector<VideoDeviceInfo> enumerateVideoDevices();
    // The device's formats, de-duplicated and sorted; empty when no device matches.
    static std::vector<VideoFormatInfo> enumerateVideoFormats(const std::wstring &link);

    // api: the V4L2 layer to use (the system's when null).
    explicit CameraCapture(V4l2Api *api = nullptr);
    ~CameraCapture() override;
    CameraCapture(const CameraCapture &) = delete;
    CameraCapture &operator=(const CameraCapture &) = delete;

    // Stops a running stream, then opens link in format (capabilityIndex,
    // width and height are used). Returns false and leaves the source stopped
    // and reusable when the device cannot be opened.
    bool open(const std::wstring &link, const VideoFormatInfo &format);
    // Safe to call repeatedly and on a never-opened source.
    void stop();
    // False before open, after stop, and once the device stopped delivering.
    bool isRunning() const override;
    uint64_t framesDelivered() const override { return m_frames.framesWritten(); }
    std::wstring link() const { return m_link; }

    // One RGB24 (B, G, R, bottom-up) frame of the opened size. Dropped when
    // not running or shorter than width x height x 3 bytes.
    void onFrame(const uint8_t *data, int length);

    // ISource
    unsigned int textureId() override { return 0; }
    int width() override { return m_frames.width(); }
    int height() override { return m_frames.height(); }
    void updateTexture() override;
    void getLatestFrame(std::vector<uint8_t> &out) override;
    std::shared_ptr<const SharedFrame> shareLatestFrame() override { return m_frames.share(); }
    std::string name() override { return m_name; }
    void setName(std::string name) override { m_name = std::move(name); }
    void toggleFlip() override;
    void showSettingsDialog() override {}

private:
    V4l2Api *m_api;
    std::unique_ptr<ICaptureStream> m_stream;
    FrameStore m_frames;
    std::wstring m_link;
    std::string m_name = "Camera";
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_flipped{false};
    bool m_topDown = false;
};
