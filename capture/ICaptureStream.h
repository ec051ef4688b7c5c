#pragma once

#include "capture/VideoDeviceInfo.h"

#include <string>

class FrameStore;

// One platform's running capture of one device. start() opens the device and
// starts the stream's own capture thread, which writes converted frames into
// the store; stop() ends that thread and closes the device (GUI thread).
class ICaptureStream
{
public:
    virtual ~ICaptureStream() = default;

    // Opens the device behind link in format (capabilityIndex, width, height)
    // and starts capturing. Returns false and leaves nothing running on failure.
    // On success, the store has been reset to the size actually delivered.
    virtual bool start(const std::string &link, const VideoFormatInfo &format, FrameStore &store) = 0;
    virtual void stop() = 0;
    // False once the device stopped delivering for good (unplugged, failed).
    virtual bool alive() const = 0;
    // Frames arrive bottom-up unless flipped (only meaningful for RGB24 devices).
    virtual void setFlipped(bool flipped) = 0;
};
