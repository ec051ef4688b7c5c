#pragma once

#include <cstddef>
#include <cstdint>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Converts one device frame (any V4L2 pixel format FFmpeg knows, MJPEG
// decoded with libavcodec) into the RGBA frame layout with libswscale.
// Not thread-safe: one converter per capture thread.
class PixelConverter
{
public:
    PixelConverter() = default;
    ~PixelConverter();
    PixelConverter(const PixelConverter &) = delete;
    PixelConverter &operator=(const PixelConverter &) = delete;

    // Prepares for frames of fourcc at width x height (bytesPerLine 0: packed).
    // False when the pixel format is not supported.
    bool setup(uint32_t fourcc, int width, int height, int bytesPerLine);

    // Converts one frame into dst (width x height x 4 bytes, the size given to
    // setup). False for a short or undecodable frame; dst is then untouched.
    bool convert(const uint8_t *data, std::size_t length, uint8_t *dst);

    static bool supports(uint32_t fourcc);

private:
    void release();
    bool scaleFrame(const AVFrame *frame, uint8_t *dst);

    uint32_t m_fourcc = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerLine = 0;
    int m_rawFormat = -1; // AVPixelFormat of uncompressed input, -1 for MJPEG
    AVCodecContext *m_decoder = nullptr;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    SwsContext *m_sws = nullptr;
};
