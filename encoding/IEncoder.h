#pragma once

#include "capture/SharedFrame.h"
#include "encoding/RecordingContainer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One frame handed to an encoder: R, G, B, A bytes, top row first, rows of
// width * 4 bytes without gaps; frameIndex is the take's output slot and sets
// the presentation time (frameIndex / fps seconds). The picture is shared, not
// copied: during a take it is the camera's own buffer, which nobody writes
// while a frame holds it, so queued frames cost no copy and no memory of their
// own.
struct VideoFrame
{
    std::shared_ptr<const SharedFrame> image;
    int64_t frameIndex = 0;

    int width() const { return image ? image->width : 0; }
    int height() const { return image ? image->height : 0; }
    const uint8_t *data() const { return image ? image->pixels.data() : nullptr; }
    std::size_t size() const { return image ? image->pixels.size() : 0; }

    // A frame owning a picture of its own (probes, benchmarks, tests).
    static VideoFrame fromPixels(std::vector<uint8_t> pixels, int width, int height, int64_t frameIndex)
    {
        auto picture = std::make_shared<SharedFrame>();
        picture->pixels = std::move(pixels);
        picture->width = width;
        picture->height = height;
        return VideoFrame{std::move(picture), frameIndex};
    }
};

// Everything an encoder needs to open one video file.
struct EncoderSettings
{
    std::wstring outputPath;
    int width = 1920;
    int height = 1080;
    double fps = 30.0;
    int targetBitrateKbps = 10000;
    int maxBitrateKbps = 12000;
    int rateControl = 0; // 0 = CBR, 1 = VBR, 2 = CQP
    int cqpLevel = 20;
    int keyframeIntervalSec = 2;
    int bFrames = 2;
    std::wstring colorSpace = L"Rec.709";
    std::wstring colorRange = L"Limited (16-235)";
    bool useHevc = false;
    // Which implementation encodes: an FFmpeg encoder name ("libx264",
    // "h264_vaapi", ...); empty picks the software encoder of the codec.
    std::string encoderName;
    // Device node for encoders that need one (VAAPI render node).
    std::string hardwareDevice;
    // Speed preset of software encoders ("veryfast" when empty).
    std::string speedPreset;
    // The file's container; outputPath carries its extension.
    RecordingContainer container = RecordingContainer::Mp4;
};

// What happened to the frames of one encoder so far.
struct EncoderStats
{
    int64_t framesQueued = 0;  // accepted by pushFrame
    int64_t framesEncoded = 0; // handed to the encoder and written
    int64_t framesDropped = 0; // queue overflow, conversion or encode errors, left at stop
    int64_t bytesWritten = 0;  // bytes of the output file so far
};

// A video encoder writing one file. open, pushFrame, stop and setBitrate are
// called from one thread at a time (the GUI thread; a take may stop its
// encoders side by side on helper threads while it waits); implementations
// may encode on a worker thread of their own. stats may be called from any
// thread. Destruction finishes the file.
class IEncoder
{
public:
    virtual ~IEncoder() = default;
    // Creates the file and starts encoding; false (and a log line) on failure.
    virtual bool open(const EncoderSettings &settings) = 0;
    // Queues the frame; never blocks. Frames that do not fit are dropped and counted.
    virtual void pushFrame(VideoFrame frame) = 0;
    // Encodes what is queued, flushes the encoder and completes the file.
    virtual void stop() = 0;
    // Changes the average bit rate of the running encoder.
    virtual void setBitrate(int kbps) = 0;
    virtual EncoderStats stats() const = 0;
};
