#include "capture/v4l2/PixelConverter.h"

#include <linux/videodev2.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

AVPixelFormat rawPixelFormat(uint32_t fourcc)
{
    switch (fourcc) {
    case V4L2_PIX_FMT_YUYV: return AV_PIX_FMT_YUYV422;
    case V4L2_PIX_FMT_UYVY: return AV_PIX_FMT_UYVY422;
    case V4L2_PIX_FMT_YVYU: return AV_PIX_FMT_YVYU422;
    case V4L2_PIX_FMT_NV12: return AV_PIX_FMT_NV12;
    case V4L2_PIX_FMT_NV21: return AV_PIX_FMT_NV21;
    case V4L2_PIX_FMT_YUV420: return AV_PIX_FMT_YUV420P;
    case V4L2_PIX_FMT_YVU420: return AV_PIX_FMT_YUV420P; // planes swapped below
    case V4L2_PIX_FMT_YUV422P: return AV_PIX_FMT_YUV422P;
    case V4L2_PIX_FMT_RGB24: return AV_PIX_FMT_RGB24;
    case V4L2_PIX_FMT_BGR24: return AV_PIX_FMT_BGR24;
    case V4L2_PIX_FMT_RGB32: return AV_PIX_FMT_ARGB; // deprecated fourcc; ARGB byte order
    case V4L2_PIX_FMT_BGR32: return AV_PIX_FMT_BGRA;
    case V4L2_PIX_FMT_ABGR32: return AV_PIX_FMT_BGRA;
    case V4L2_PIX_FMT_XBGR32: return AV_PIX_FMT_BGR0;
    case V4L2_PIX_FMT_RGB565: return AV_PIX_FMT_RGB565LE;
    case V4L2_PIX_FMT_GREY: return AV_PIX_FMT_GRAY8;
    default: return AV_PIX_FMT_NONE;
    }
}

// Full-range JPEG formats are named separately in older FFmpeg; swscale wants
// the plain format plus the range flag.
AVPixelFormat withoutJpegRange(AVPixelFormat f, bool &fullRange)
{
    fullRange = true;
    switch (f) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    default: fullRange = false; return f;
    }
}

} // namespace

PixelConverter::~PixelConverter()
{
    release();
}

void PixelConverter::release()
{
    if (m_sws)
        sws_freeContext(m_sws);
    m_sws = nullptr;
    avcodec_free_context(&m_decoder);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
}

bool PixelConverter::supports(uint32_t fourcc)
{
    return fourcc == V4L2_PIX_FMT_MJPEG || fourcc == V4L2_PIX_FMT_JPEG || rawPixelFormat(fourcc) != AV_PIX_FMT_NONE;
}

bool PixelConverter::setup(uint32_t fourcc, int width, int height, int bytesPerLine)
{
    release();
    if (!supports(fourcc) || width < 1 || height < 1)
        return false;
    m_fourcc = fourcc;
    m_width = width;
    m_height = height;
    m_bytesPerLine = bytesPerLine;
    m_frame = av_frame_alloc();
    if (!m_frame)
        return false;
    if (fourcc == V4L2_PIX_FMT_MJPEG || fourcc == V4L2_PIX_FMT_JPEG) {
        m_rawFormat = -1;
        const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
        m_decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
        m_packet = av_packet_alloc();
        if (!m_decoder || !m_packet || avcodec_open2(m_decoder, codec, nullptr) < 0) {
            release();
            return false;
        }
        return true;
    }
    m_rawFormat = rawPixelFormat(fourcc);
    return true;
}

bool PixelConverter::scaleFrame(const AVFrame *frame, uint8_t *dst)
{
    bool fullRange = false;
    const AVPixelFormat in = withoutJpegRange(static_cast<AVPixelFormat>(frame->format), fullRange);
    // Decoded frames may differ in size from the negotiated one: scale to the buffer.
    m_sws = sws_getCachedContext(m_sws, frame->width, frame->height, in, m_width, m_height, AV_PIX_FMT_RGBA,
                                 SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_sws)
        return false;
    if (fullRange) {
        int *invTable = nullptr, *table = nullptr, srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(m_sws, &invTable, &srcRange, &table, &dstRange, &brightness, &contrast, &saturation) >= 0)
            sws_setColorspaceDetails(m_sws, invTable, 1, table, dstRange, brightness, contrast, saturation);
    }
    uint8_t *dstPlanes[4] = {dst, nullptr, nullptr, nullptr};
    int dstStrides[4] = {m_width * 4, 0, 0, 0};
    return sws_scale(m_sws, frame->data, frame->linesize, 0, frame->height, dstPlanes, dstStrides) == m_height;
}

bool PixelConverter::convert(const uint8_t *data, std::size_t length, uint8_t *dst)
{
    if (!data || !dst || !m_frame)
        return false;
    if (m_decoder) {
        m_packet->data = const_cast<uint8_t *>(data);
        m_packet->size = static_cast<int>(length);
        if (avcodec_send_packet(m_decoder, m_packet) < 0)
            return false;
        if (avcodec_receive_frame(m_decoder, m_frame) < 0)
            return false;
        const bool ok = scaleFrame(m_frame, dst);
        av_frame_unref(m_frame);
        return ok;
    }
    const AVPixelFormat format = static_cast<AVPixelFormat>(m_rawFormat);
    const int align = 1;
    const int needed = av_image_get_buffer_size(format, m_width, m_height, align);
    int linesize[4] = {};
    uint8_t *planes[4] = {};
    if (m_bytesPerLine > 0 && av_pix_fmt_count_planes(format) == 1) {
        if (length < std::size_t(m_bytesPerLine) * std::size_t(m_height))
            return false;
        planes[0] = const_cast<uint8_t *>(data);
        linesize[0] = m_bytesPerLine;
    } else {
        if (needed < 0 || length < std::size_t(needed))
            return false;
        av_image_fill_arrays(planes, linesize, data, format, m_width, m_height, align);
        if (m_fourcc == V4L2_PIX_FMT_YVU420)
            std::swap(planes[1], planes[2]);
    }
    m_frame->format = format;
    m_frame->width = m_width;
    m_frame->height = m_height;
    for (int i = 0; i < 4; ++i) {
        m_frame->data[i] = planes[i];
        m_frame->linesize[i] = linesize[i];
    }
    const bool ok = scaleFrame(m_frame, dst);
    for (int i = 0; i < 4; ++i)
        m_frame->data[i] = nullptr;
    return ok;
}
