#include "capture/virtual/VirtualCameraStream.h"

#include "capture/FrameStore.h"
#include "capture/FormatList.h"
#include "capture/virtual/TestMarks.h"
#include "capture/virtual/VirtualCameras.h"

#include <chrono>
#include <pthread.h>
#include <cstring>

namespace {

// Eight bars, tinted per camera so that the channels look different.
std::vector<uint8_t> buildPatternRow(int width, int camera)
{
    static const uint8_t bars[8][3] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                                       {235, 16, 235},  {235, 16, 16},  {16, 16, 235},  {40, 40, 40}};
    std::vector<uint8_t> row(std::size_t(width) * 2 * 4);
    for (int x = 0; x < width * 2; ++x) {
        const int bar = ((x % width) * 8 / width + camera - 1) % 8;
        row[4 * std::size_t(x) + 0] = bars[bar][0];
        row[4 * std::size_t(x) + 1] = bars[bar][1];
        row[4 * std::size_t(x) + 2] = bars[bar][2];
        row[4 * std::size_t(x) + 3] = 255;
    }
    return row;
}

} // namespace

VirtualCameraStream::~VirtualCameraStream()
{
    stop();
}

bool VirtualCameraStream::start(const std::string &link, const VideoFormatInfo &format, FrameStore &store)
{
    stop();
    const int camera = VirtualCameras::cameraNumber(link);
    if (camera == 0)
        return false;
    const std::vector<VideoFormatInfo> formats = VirtualCameras::formats(link);
    double fps = 30.0;
    bool sizeOffered = false;
    for (const VideoFormatInfo &f : formats) {
        if (f.width == format.width && f.height == format.height) {
            sizeOffered = true;
            if (f.capabilityIndex == format.capabilityIndex) {
                fps = FormatList::rate(f);
                break;
            }
        }
    }
    // Like a device, an unknown size falls back to the camera's largest mode.
    const int width = sizeOffered ? format.width : formats.front().width;
    const int height = sizeOffered ? format.height : formats.front().height;
    if (!sizeOffered)
        fps = FormatList::rate(formats.front());

    store.reset(width, height);
    m_patternRow = buildPatternRow(width, camera);
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_stopRequested = false;
    }
    m_delivered = 0;
    m_alive = true;
    m_thread = std::thread(&VirtualCameraStream::run, this, &store, camera, fps);
    return true;
}

void VirtualCameraStream::run(FrameStore *store, int camera, double fps)
{
    using Clock = std::chrono::steady_clock;
    const std::string threadName = "korvex-vcam" + std::to_string(camera);
    pthread_setname_np(pthread_self(), threadName.c_str());
    const int width = store->width();
    const int height = store->height();
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    const auto startTime = Clock::now();
    uint64_t slot = 0;
    for (;;) {
        const auto due = startTime + period * slot;
        {
            std::unique_lock<std::mutex> lock(m_wakeLock);
            if (m_wake.wait_until(lock, due, [this] { return m_stopRequested; }))
                break;
        }
        const TestMarks::Marks marks{
            camera, uint32_t(slot),
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count()};
        const std::size_t shift = std::size_t((slot * 8) % uint64_t(width)) * 4;
        store->write([&](uint8_t *rgba) {
            const std::size_t rowBytes = std::size_t(width) * 4;
            const uint8_t *pattern = m_patternRow.data() + shift;
            for (int y = 0; y < height; ++y)
                std::memcpy(rgba + rowBytes * std::size_t(y), pattern, rowBytes);
            TestMarks::draw(rgba, width, height, marks);
            return true;
        });
        m_delivered.fetch_add(1);
        ++slot;
        // Behind by more than a period: skip the slots that have passed.
        const auto now = Clock::now();
        if (now - (startTime + period * slot) > period)
            slot = uint64_t((now - startTime) / period) + 1;
    }
    m_alive = false;
}

void VirtualCameraStream::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_stopRequested = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_alive = false;
}
