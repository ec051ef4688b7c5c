#pragma once

#include "capture/FrameStore.h"
#include "capture/ISource.h"
#include "encoding/IEncoder.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstring>
#include <mutex>
#include <vector>

// A camera that paints a frame of its size whose colour follows a counter;
// delivers no pixels while `blank` is set.
class PaintedSource : public ISource
{
public:
    PaintedSource(int w, int h) : m_w(w), m_h(h) {}
    unsigned int textureId() override { return 0; }
    int width() override { return m_w; }
    int height() override { return m_h; }
    void updateTexture() override {}
    void getLatestFrame(std::vector<uint8_t> &out) override
    {
        if (blank) {
            out.clear();
            return;
        }
        out.resize(size_t(m_w) * m_h * 4);
        const uint8_t v = uint8_t(m_counter++ * 7);
        for (size_t i = 0; i < out.size(); i += 4) {
            out[i] = v;
            out[i + 1] = uint8_t(255 - v);
            out[i + 2] = 64;
            out[i + 3] = 255;
        }
    }
    std::string name() override { return "Painted"; }
    void setName(std::string) override {}
    uint64_t framesDelivered() const override { return delivered; }
    bool blank = false;
    uint64_t delivered = 0; // what the camera says it delivered so far

private:
    int m_w, m_h;
    int m_counter = 0;
};

// A camera keeping its frames in a real frame store, as the cameras do;
// counts the copies readers ask for.
class StoredSource : public ISource
{
public:
    StoredSource(int w, int h) { m_frames.reset(w, h); }
    // A new frame of one colour value arrives.
    void deliver(uint8_t value)
    {
        m_frames.write([&](uint8_t *rgba) {
            std::memset(rgba, value, size_t(m_frames.width()) * size_t(m_frames.height()) * 4);
            return true;
        });
    }
    unsigned int textureId() override { return 0; }
    int width() override { return m_frames.width(); }
    int height() override { return m_frames.height(); }
    void updateTexture() override {}
    void getLatestFrame(std::vector<uint8_t> &out) override
    {
        ++copies;
        m_frames.read(out);
    }
    std::shared_ptr<const SharedFrame> shareLatestFrame() override { return m_frames.share(); }
    std::string name() override { return "Stored"; }
    void setName(std::string) override {}
    int copies = 0;

private:
    FrameStore m_frames;
};

// An encoder that keeps what it was given.
class RecordingEncoder : public IEncoder
{
public:
    explicit RecordingEncoder(bool opens = true) : m_opens(opens) {}
    bool open(const EncoderSettings &s) override
    {
        settings = s;
        return m_opens;
    }
    void pushFrame(VideoFrame frame) override
    {
        indices.push_back(frame.frameIndex);
        bytes += int64_t(frame.size());
        // what the picture was when it arrived, not the picture (held, it
        // would keep the camera's buffers from going back to the camera)
        pictures.push_back(frame.data());
        serials.push_back(frame.image ? frame.image->serial : 0);
        firstBytes.push_back(frame.size() ? frame.data()[0] : 0);
    }
    void stop() override { ++stops; }
    void setBitrate(int kbps) override { bitrates.push_back(kbps); }
    EncoderStats stats() const override
    {
        return {int64_t(indices.size()), int64_t(indices.size()), droppedInEncoder, bytes};
    }
    EncoderSettings settings;
    std::vector<int64_t> indices;
    std::vector<const uint8_t *> pictures;
    std::vector<uint64_t> serials;
    std::vector<uint8_t> firstBytes;
    std::vector<int> bitrates;
    int64_t bytes = 0;
    int64_t droppedInEncoder = 0;
    int stops = 0;

private:
    bool m_opens;
};

// Every message Qt logs while alive, as its bare text.
class LogCapture
{
public:
    LogCapture()
    {
        s_self = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_self = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        if (s_self) {
            std::lock_guard lock(s_self->m_mutex);
            s_self->m_lines << text;
        }
    }
    inline static LogCapture *s_self = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
