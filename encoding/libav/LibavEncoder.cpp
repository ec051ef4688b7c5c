#include "encoding/libav/LibavEncoder.h"

#include "encoding/FrameRate.h"
#include "encoding/libav/LibavColor.h"
#include "encoding/mp4/Mp4Finalizer.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/hwcontext.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

// How long stop keeps encoding what is still queued before it gives up.
constexpr auto kDrainLimit = std::chrono::seconds(5);

QString avError(int err)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

bool hasPixelFormat(const AVCodec *codec, AVPixelFormat fmt)
{
    if (!codec->pix_fmts)
        return false;
    for (const AVPixelFormat *p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
        if (*p == fmt)
            return true;
    }
    return false;
}

} // namespace

struct LibavEncoder::Impl
{
    EncoderSettings settings;
    std::string encoderName;
    int capacity = 30;
    bool running = false;
    bool stopped = false;
    bool quiet = false;
    bool finalizeAtStop = true;

    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    AVBufferRef *hwDevice = nullptr;
    AVBufferRef *hwFrames = nullptr;
    AVFrame *yuv = nullptr;
    AVPacket *packet = nullptr;
    SwsContext *sws = nullptr;
    AVPixelFormat swFormat = AV_PIX_FMT_YUV420P;
    ColorTags tags;
    int scaledFromWidth = 0;
    int scaledFromHeight = 0;
    int64_t lastIndex = -1;
    bool headerWritten = false;

    std::thread worker;
    std::mutex queueMutex;
    std::condition_variable queueReady;
    std::deque<VideoFrame> queue;
    bool stopRequested = false;
    std::chrono::steady_clock::time_point drainDeadline;

    std::atomic<int> requestedKbps{0};
    std::atomic<int64_t> framesQueued{0};
    std::atomic<int64_t> framesEncoded{0};
    std::atomic<int64_t> framesDropped{0};
    std::atomic<int64_t> bytesWritten{0};

    ~Impl() { release(); }

    void release()
    {
        sws_freeContext(sws);
        sws = nullptr;
        av_frame_free(&yuv);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        av_buffer_unref(&hwFrames);
        av_buffer_unref(&hwDevice);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
            format = nullptr;
        }
    }

    bool fail(const char *what, int err = 0)
    {
        if (quiet)
            qDebug().noquote() << "[LibavEncoder]" << what << QString::fromStdWString(settings.outputPath)
                               << (err ? avError(err) : QString());
        else
            qWarning().noquote() << "[LibavEncoder]" << what << QString::fromStdWString(settings.outputPath)
                             << (err ? avError(err) : QString());
        release();
        return false;
    }

    void applyRateControl(AVDictionary **opts)
    {
        const int64_t target = int64_t(std::max(1, settings.targetBitrateKbps)) * 1000;
        const int64_t peak = std::max<int64_t>(target, int64_t(settings.maxBitrateKbps) * 1000);
        const std::string qp = std::to_string(std::clamp(settings.cqpLevel, 0, 51));
        const bool x264 = encoderName == "libx264";
        const bool x265 = encoderName == "libx265";
        const bool nvenc = encoderName.find("_nvenc") != std::string::npos;
        const bool vaapi = encoderName.find("_vaapi") != std::string::npos;
        std::string x265Params = "log-level=error";
        switch (settings.rateControl) {
        case 2: // constant QP
            if (x264 || vaapi || nvenc)
                av_dict_set(opts, "qp", qp.c_str(), 0);
            if (x265)
                x265Params += ":qp=" + qp;
            if (nvenc)
                av_dict_set(opts, "rc", "constqp", 0);
            if (vaapi)
                av_dict_set(opts, "rc_mode", "CQP", 0);
            break;
        case 1: // peak-constrained VBR
            codec->bit_rate = target;
            codec->rc_max_rate = peak;
            codec->rc_buffer_size = int(std::min<int64_t>(peak * 2, INT32_MAX));
            if (nvenc)
                av_dict_set(opts, "rc", "vbr", 0);
            if (vaapi)
                av_dict_set(opts, "rc_mode", "VBR", 0);
            break;
        default: // CBR: the average is also the ceiling, one second of buffer
            codec->bit_rate = target;
            codec->rc_max_rate = target;
            codec->rc_min_rate = target;
            // No NAL HRD signalling: x264 refuses to change the rate of a
            // running encoder with it, and setBitrate must work mid-take.
            codec->rc_buffer_size = int(std::min<int64_t>(target, INT32_MAX));
            if (nvenc)
                av_dict_set(opts, "rc", "cbr", 0);
            if (vaapi)
                av_dict_set(opts, "rc_mode", "CBR", 0);
            break;
        }
        if (x264 || x265)
            av_dict_set(opts, "preset", settings.speedPreset.empty() ? "veryfast" : settings.speedPreset.c_str(), 0);
        if (x265)
            av_dict_set(opts, "x265-params", x265Params.c_str(), 0);
    }

    bool setUpHardwareFrames(const AVCodec *encoder)
    {
        if (!hasPixelFormat(encoder, AV_PIX_FMT_VAAPI))
            return true;
        const char *device = settings.hardwareDevice.empty() ? nullptr : settings.hardwareDevice.c_str();
        int err = av_hwdevice_ctx_create(&hwDevice, AV_HWDEVICE_TYPE_VAAPI, device, nullptr, 0);
        if (err < 0)
            return fail("Cannot open VAAPI device for", err);
        hwFrames = av_hwframe_ctx_alloc(hwDevice);
        if (!hwFrames)
            return fail("Cannot allocate hardware frames for");
        auto *frames = reinterpret_cast<AVHWFramesContext *>(hwFrames->data);
        frames->format = AV_PIX_FMT_VAAPI;
        frames->sw_format = AV_PIX_FMT_NV12;
        frames->width = settings.width;
        frames->height = settings.height;
        frames->initial_pool_size = 20;
        if ((err = av_hwframe_ctx_init(hwFrames)) < 0)
            return fail("Cannot initialise hardware frames for", err);
        codec->pix_fmt = AV_PIX_FMT_VAAPI;
        codec->hw_frames_ctx = av_buffer_ref(hwFrames);
        swFormat = AV_PIX_FMT_NV12;
        return true;
    }

    bool openAll(const EncoderSettings &s)
    {
        settings = s;
        if (settings.width <= 0 || settings.height <= 0 || settings.fps <= 0.0 || settings.outputPath.empty())
            return fail("Invalid encoder settings for");
        // 4:2:0 needs even sizes.
        settings.width &= ~1;
        settings.height &= ~1;
        encoderName = settings.encoderName.empty() ? (settings.useHevc ? "libx265" : "libx264") : settings.encoderName;
        const AVCodec *encoder = avcodec_find_encoder_by_name(encoderName.c_str());
        if (!encoder)
            return fail(("Encoder " + encoderName + " not available for").c_str());

        const QByteArray path = QString::fromStdWString(settings.outputPath).toUtf8();
        const std::string muxer = containerMuxer(settings.container);
        int err = avformat_alloc_output_context2(&format, nullptr, muxer.c_str(), path.constData());
        if (err < 0 || !format)
            return fail(("Cannot create the " + muxer + " muxer for").c_str(), err);

        codec = avcodec_alloc_context3(encoder);
        if (!codec)
            return fail("Cannot allocate encoder for");
        const FrameRate rate = frameRateFor(settings.fps);
        codec->width = settings.width;
        codec->height = settings.height;
        codec->time_base = AVRational{rate.denominator, rate.numerator};
        codec->framerate = AVRational{rate.numerator, rate.denominator};
        codec->sample_aspect_ratio = AVRational{1, 1};
        codec->gop_size = std::max(1, int(settings.keyframeIntervalSec * settings.fps));
        codec->max_b_frames = std::clamp(settings.bFrames, 0, 16);
        codec->thread_count = 0;
        tags = colorTagsFor(settings.colorSpace, settings.colorRange);
        codec->color_primaries = AVColorPrimaries(tags.primaries);
        codec->color_trc = AVColorTransferCharacteristic(tags.transfer);
        codec->colorspace = AVColorSpace(tags.matrix);
        codec->color_range = tags.fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
        swFormat = hasPixelFormat(encoder, AV_PIX_FMT_YUV420P) || !encoder->pix_fmts
            ? AV_PIX_FMT_YUV420P
            : (hasPixelFormat(encoder, AV_PIX_FMT_NV12) ? AV_PIX_FMT_NV12 : encoder->pix_fmts[0]);
        codec->pix_fmt = swFormat;
        if (!setUpHardwareFrames(encoder))
            return false;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

        AVDictionary *codecOpts = nullptr;
        applyRateControl(&codecOpts);
        err = avcodec_open2(codec, encoder, &codecOpts);
        av_dict_free(&codecOpts);
        if (err < 0)
            return fail(("Cannot open " + encoderName + " for").c_str(), err);

        stream = avformat_new_stream(format, nullptr);
        if (!stream)
            return fail("Cannot add the video stream to");
        stream->time_base = codec->time_base;
        stream->avg_frame_rate = codec->framerate;
        stream->r_frame_rate = codec->framerate;
        if ((err = avcodec_parameters_from_context(stream->codecpar, codec)) < 0)
            return fail("Cannot describe the video stream of", err);

        if ((err = avio_open(&format->pb, path.constData(), AVIO_FLAG_WRITE)) < 0)
            return fail("Cannot create", err);
        // Everything is written through at once, so a killed process leaves
        // what was muxed in the file: MP4 and MOV as fragments that start on
        // key frames, Matroska as clusters of at most a second.
        format->flags |= AVFMT_FLAG_FLUSH_PACKETS;
        AVDictionary *muxOpts = nullptr;
        if (isIsoMediaContainer(settings.container))
            av_dict_set(&muxOpts, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
        if (settings.container == RecordingContainer::Mkv)
            av_dict_set(&muxOpts, "cluster_time_limit", "1000", 0);
        av_dict_set(&muxOpts, "flush_packets", "1", 0);
        err = avformat_write_header(format, &muxOpts);
        av_dict_free(&muxOpts);
        if (err < 0)
            return fail("Cannot write the header of", err);
        headerWritten = true;

        yuv = av_frame_alloc();
        packet = av_packet_alloc();
        if (!yuv || !packet)
            return fail("Out of memory opening");
        yuv->format = swFormat;
        yuv->width = settings.width;
        yuv->height = settings.height;
        if ((err = av_frame_get_buffer(yuv, 32)) < 0)
            return fail("Cannot allocate frames for", err);
        capacity = std::max(2, int(std::ceil(settings.fps)));
        bytesWritten = avio_tell(format->pb);
        return true;
    }

    void paintBlack()
    {
        const uint8_t luma = tags.fullRange ? 0 : 16;
        for (int y = 0; y < yuv->height; ++y)
            std::memset(yuv->data[0] + y * yuv->linesize[0], luma, size_t(yuv->width));
        const int chromaRows = (yuv->height + 1) / 2;
        if (swFormat == AV_PIX_FMT_NV12) {
            for (int y = 0; y < chromaRows; ++y)
                std::memset(yuv->data[1] + y * yuv->linesize[1], 128, size_t(yuv->width & ~1));
        } else {
            for (int plane = 1; plane <= 2; ++plane) {
                for (int y = 0; y < chromaRows; ++y)
                    std::memset(yuv->data[plane] + y * yuv->linesize[plane], 128, size_t((yuv->width + 1) / 2));
            }
        }
    }

    bool convert(const VideoFrame &frame)
    {
        if (av_frame_make_writable(yuv) < 0)
            return false;
        const FitRect fit = fitFrame(frame.width(), frame.height(), settings.width, settings.height, true);
        if (fit.width <= 0 || fit.height <= 0)
            return false;
        if (fit.width != settings.width || fit.height != settings.height)
            paintBlack();
        sws = sws_getCachedContext(sws, frame.width(), frame.height(), AV_PIX_FMT_RGBA, fit.width, fit.height,
                                   swFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!sws)
            return false;
        if (scaledFromWidth != frame.width() || scaledFromHeight != frame.height()) {
            // Camera RGB is full range; YUV gets the file's matrix and range.
            const int *coefficients = sws_getCoefficients(tags.swsMatrix);
            sws_setColorspaceDetails(sws, coefficients, 1, coefficients, tags.fullRange ? 1 : 0, 0, 1 << 16, 1 << 16);
            scaledFromWidth = frame.width();
            scaledFromHeight = frame.height();
        }
        uint8_t *dst[4] = {};
        dst[0] = yuv->data[0] + fit.y * yuv->linesize[0] + fit.x;
        if (swFormat == AV_PIX_FMT_NV12) {
            dst[1] = yuv->data[1] + (fit.y / 2) * yuv->linesize[1] + fit.x;
        } else {
            dst[1] = yuv->data[1] + (fit.y / 2) * yuv->linesize[1] + fit.x / 2;
            dst[2] = yuv->data[2] + (fit.y / 2) * yuv->linesize[2] + fit.x / 2;
        }
        const uint8_t *src[4] = {frame.data(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {frame.width() * 4, 0, 0, 0};
        return sws_scale(sws, src, srcStride, 0, frame.height(), dst, yuv->linesize) > 0;
    }

    // Sends one frame (or the end of stream with nullptr) and writes every
    // packet the encoder gives back. False on an encode or write error.
    bool encode(AVFrame *input)
    {
        int err = avcodec_send_frame(codec, input);
        if (err < 0 && !(input == nullptr && err == AVERROR_EOF))
            return false;
        bool ok = true;
        while ((err = avcodec_receive_packet(codec, packet)) >= 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0)
                ok = false;
            bytesWritten = avio_tell(format->pb);
        }
        return ok && (err == AVERROR(EAGAIN) || err == AVERROR_EOF);
    }

    void encodeOne(const VideoFrame &frame)
    {
        const int kbps = requestedKbps.exchange(0);
        if (kbps > 0) {
            const int64_t rate = int64_t(kbps) * 1000;
            codec->bit_rate = rate;
            if (settings.rateControl == 0) {
                codec->rc_max_rate = rate;
                codec->rc_min_rate = rate;
                codec->rc_buffer_size = int(std::min<int64_t>(rate, INT32_MAX));
            } else if (codec->rc_max_rate < rate) {
                codec->rc_max_rate = rate;
            }
        }
        if (frame.frameIndex <= lastIndex || frame.width() <= 0 || frame.height() <= 0
            || frame.size() != size_t(frame.width()) * size_t(frame.height()) * 4 || !convert(frame)) {
            framesDropped.fetch_add(1);
            return;
        }
        lastIndex = frame.frameIndex;
        AVFrame *input = yuv;
        AVFrame *hw = nullptr;
        if (hwFrames) {
            hw = av_frame_alloc();
            if (!hw || av_hwframe_get_buffer(hwFrames, hw, 0) < 0 || av_hwframe_transfer_data(hw, yuv, 0) < 0) {
                av_frame_free(&hw);
                framesDropped.fetch_add(1);
                return;
            }
            input = hw;
        }
        input->pts = frame.frameIndex;
        input->pict_type = AV_PICTURE_TYPE_NONE;
        const bool ok = encode(input);
        av_frame_free(&hw);
        if (ok)
            framesEncoded.fetch_add(1);
        else
            framesDropped.fetch_add(1);
    }

    void run()
    {
        for (;;) {
            VideoFrame frame;
            {
                std::unique_lock lock(queueMutex);
                queueReady.wait(lock, [this] { return stopRequested || !queue.empty(); });
                if (queue.empty())
                    break;
                if (stopRequested && std::chrono::steady_clock::now() > drainDeadline) {
                    framesDropped.fetch_add(int64_t(queue.size()));
                    queue.clear();
                    break;
                }
                frame = std::move(queue.front());
                queue.pop_front();
            }
            encodeOne(frame);
        }
        // The encoder still holds its delayed (B-frame, lookahead) pictures.
        encode(nullptr);
        if (headerWritten && av_write_trailer(format) < 0)
            qWarning().noquote() << "[LibavEncoder] Cannot complete" << QString::fromStdWString(settings.outputPath);
        if (format && format->pb) {
            avio_flush(format->pb);
            bytesWritten = avio_tell(format->pb);
            avio_closep(&format->pb);
            if (headerWritten && finalizeAtStop && isIsoMediaContainer(settings.container))
                finalizeFile();
        }
    }

    // The fragments become one regular file that every editor opens at once;
    // when that fails the file stays fragmented, which still plays.
    void finalizeFile()
    {
        const QString path = QString::fromStdWString(settings.outputPath);
        const auto started = std::chrono::steady_clock::now();
        const Mp4::FinalizeResult result = Mp4::finalizeFragmentedFile(QFile::encodeName(path).toStdString());
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        if (!result.ok) {
            qWarning().noquote() << "[LibavEncoder] Cannot finalize" << path << "(it stays fragmented):"
                                 << QString::fromStdString(result.error);
            return;
        }
        bytesWritten = QFileInfo(path).size();
        qDebug().noquote() << "[LibavEncoder] Finalized" << path << "with" << result.samples << "samples in"
                           << result.fragments << "fragments in" << ms.count() << "ms";
    }
};

LibavEncoder::LibavEncoder() : d(std::make_unique<Impl>()) {}

LibavEncoder::~LibavEncoder()
{
    stop();
}

bool LibavEncoder::open(const EncoderSettings &settings)
{
    if (d->running || d->stopped)
        return false;
    if (!d->openAll(settings))
        return false;
    try {
        d->worker = std::thread([this] { d->run(); });
    } catch (const std::system_error &) {
        qWarning().noquote() << "[LibavEncoder] Cannot start the encoder thread for"
                             << QString::fromStdWString(settings.outputPath);
        d->release();
        return false;
    }
    d->running = true;
    return true;
}

void LibavEncoder::pushFrame(VideoFrame frame)
{
    if (!d->running)
        return;
    {
        std::lock_guard lock(d->queueMutex);
        if (d->stopRequested)
            return;
        if (int(d->queue.size()) >= d->capacity) {
            d->framesDropped.fetch_add(1);
            return;
        }
        d->queue.push_back(std::move(frame));
        d->framesQueued.fetch_add(1);
    }
    d->queueReady.notify_one();
}

void LibavEncoder::stop()
{
    if (!d->running)
        return;
    {
        std::lock_guard lock(d->queueMutex);
        d->stopRequested = true;
        d->drainDeadline = std::chrono::steady_clock::now() + kDrainLimit;
    }
    d->queueReady.notify_one();
    if (d->worker.joinable())
        d->worker.join();
    d->running = false;
    d->stopped = true;
    d->release();
}

void LibavEncoder::setBitrate(int kbps)
{
    if (d->running && kbps > 0)
        d->requestedKbps = kbps;
}

EncoderStats LibavEncoder::stats() const
{
    return {d->framesQueued.load(), d->framesEncoded.load(), d->framesDropped.load(), d->bytesWritten.load()};
}

void LibavEncoder::setQuiet(bool quiet)
{
    d->quiet = quiet;
}

void LibavEncoder::setFinalizeAtStop(bool finalize)
{
    d->finalizeAtStop = finalize;
}

int LibavEncoder::queueCapacity() const
{
    return d->capacity;
}

std::string LibavEncoder::encoderName() const
{
    return d->encoderName;
}
