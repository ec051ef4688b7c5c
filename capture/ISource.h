#pragma once

#include "capture/SharedFrame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A video input as every frame reader sees it. Frames are RGBA, 8 bits per
// channel (A = 255), top row first, rows of width * 4 bytes without gaps.
// Implementations deliver frames from their own thread; every operation here
// may be called from the GUI thread while that thread runs.
class ISource
{
public:
    virtual ~ISource() = default;

    // GPU texture of the source, 0 when the platform layer keeps none.
    virtual unsigned int textureId() = 0;
    virtual int width() = 0;
    virtual int height() = 0;
    // Upload a newly arrived frame into the texture (no-op without one).
    virtual void updateTexture() = 0;
    // Copy the newest frame into out (resized to width * height * 4).
    virtual void getLatestFrame(std::vector<uint8_t> &out) = 0;
    // The newest frame without a copy where the source can share it; the
    // default copies it through getLatestFrame into an unnumbered frame.
    virtual std::shared_ptr<const SharedFrame> shareLatestFrame()
    {
        auto frame = std::make_shared<SharedFrame>();
        getLatestFrame(frame->pixels);
        frame->width = width();
        frame->height = height();
        return frame;
    }
    virtual std::string name() = 0;
    virtual void setName(std::string name) = 0;
    // False once the source stopped delivering (stopped, failed, unplugged).
    // Sources that cannot tell report true.
    virtual bool isRunning() const { return true; }
    // Frames the source has delivered since it was created; only ever grows.
    // Sources that do not count report 0.
    virtual uint64_t framesDelivered() const { return 0; }
    virtual void toggleFlip() {}
    virtual void showSettingsDialog() {}
};
