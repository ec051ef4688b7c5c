#pragma once

#include "encoding/IEncoder.h"

#include <memory>

// IEncoder on FFmpeg's libraries: libswscale converts RGBA to YUV with the
// matrix and range of the settings, libavcodec encodes (libx264, libx265 or a
// hardware encoder by name), libavformat writes the settings' container with
// every packet written through as it is muxed, so a process that dies
// mid-take leaves a file that decodes up to about its last second or two:
// MP4 and MOV as a moov without samples followed by self-contained moof/mdat
// fragments, one per key frame; Matroska with clusters of at most a second;
// MPEG-TS as it is. At stop MP4 and MOV get their random-access index (mfra)
// and are then turned into regular files in place
// (Mp4::finalizeFragmentedFile), on the worker thread.
//
// Threads: open, pushFrame, stop, setBitrate, stats and destruction are called
// from one thread (the GUI thread). open starts one worker thread that owns the
// codec, scaler and muxer state; it takes frames from the queue and encodes
// them outside the lock. The queue mutex guards only the queue, stopRequested
// and the drain deadline; counters and the requested bit rate are atomics. No
// other lock is taken while the queue mutex is held.
class LibavEncoder final : public IEncoder
{
public:
    LibavEncoder();
    ~LibavEncoder() override;

    LibavEncoder(const LibavEncoder &) = delete;
    LibavEncoder &operator=(const LibavEncoder &) = delete;

    bool open(const EncoderSettings &settings) override;
    void pushFrame(VideoFrame frame) override;
    void stop() override;
    void setBitrate(int kbps) override;
    EncoderStats stats() const override;

    // A probe expects failures: open then reports them without a warning.
    void setQuiet(bool quiet);
    // With false the file stays fragmented at stop (the default makes it regular).
    void setFinalizeAtStop(bool finalize);

    // Frames the queue holds at most (one second at the output rate).
    int queueCapacity() const;
    // The FFmpeg encoder that open chose ("libx264", ...), empty before open.
    std::string encoderName() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
