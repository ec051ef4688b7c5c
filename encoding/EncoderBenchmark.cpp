#include "encoding/EncoderBenchmark.h"

#include "encoding/libav/LibavEncoder.h"

#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <iterator>
#include <thread>

namespace EncoderBenchmark {

namespace {

constexpr double kHeadroom = 1.2;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Presets from the best-looking to the fastest.
const char *const kPresets[] = {"veryfast", "superfast", "ultrafast"};

struct Mode { int width, height; };
constexpr Mode kResolutions[] = {{3840, 2160}, {2560, 1440}, {1920, 1080}, {1280, 720}, {640, 480}};
// The rates a recommendation may name, from the highest down.
constexpr double kFramerates[] = {60.0, 59.94, 50.0, 30.0, 29.97, 25.0, 24.0, 23.976};
// The settings window's "Global Framerate" list (its last entry, "Auto", has no rate).
constexpr double kSettingsFramerates[] = {23.976, 24.0, 25.0, 29.97, 30.0, 48.0, 50.0, 59.94, 60.0, 120.0};

std::vector<uint8_t> pattern(int shift)
{
    std::vector<uint8_t> px(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t *row = &px[size_t(y) * kWidth * 4];
        for (int x = 0; x < kWidth; ++x) {
            const int bar = ((x + shift) / 240) % 8;
            const uint8_t detail = uint8_t((x * 7 + y * 13 + shift * 31) & 0x1f);
            row[x * 4 + 0] = uint8_t((bar & 1 ? 200 : 30) + detail);
            row[x * 4 + 1] = uint8_t((bar & 2 ? 200 : 30) + detail);
            row[x * 4 + 2] = uint8_t((bar & 4 ? 200 : 30) + detail);
            row[x * 4 + 3] = 255;
        }
    }
    return px;
}

} // namespace

double measure(const EncoderOption &option, const std::string &preset, int frames)
{
    QTemporaryDir dir;
    if (!dir.isValid() || frames <= 0)
        return 0.0;
    // The clip's pictures are shared by every frame that shows them, as a
    // take shares the camera's buffers.
    std::vector<VideoFrame> clip;
    for (int i = 0; i < 8; ++i)
        clip.push_back(VideoFrame::fromPixels(pattern(i * 12), kWidth, kHeight, 0));
    EncoderSettings s;
    s.outputPath = dir.filePath(QStringLiteral("benchmark.mp4")).toStdWString();
    s.width = kWidth;
    s.height = kHeight;
    s.targetBitrateKbps = 16000;
    s.maxBitrateKbps = 24000;
    s.encoderName = option.encoderName;
    s.useHevc = option.hevc;
    s.hardwareDevice = option.device;
    s.speedPreset = preset;
    LibavEncoder encoder;
    encoder.setQuiet(true);
    if (!encoder.open(s))
        return 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        // Keep the queue below its bound: nothing is dropped in a measurement.
        while (encoder.stats().framesQueued - encoder.stats().framesEncoded >= encoder.queueCapacity() - 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        VideoFrame f = clip[size_t(i) % clip.size()];
        f.frameIndex = i;
        encoder.pushFrame(std::move(f));
    }
    encoder.stop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (encoder.stats().framesEncoded != frames || seconds <= 0.0)
        return 0.0;
    return frames / seconds;
}

int settingsFramerateIndex(double fps)
{
    for (size_t i = 0; i < std::size(kSettingsFramerates); ++i) {
        if (std::abs(kSettingsFramerates[i] - fps) < 0.001)
            return int(i);
    }
    return -1;
}

Recommendation recommend(const std::vector<Result> &results, int channels)
{
    Recommendation r;
    double best = 0.0;
    for (const Result &m : results) {
        if (m.fps > best) {
            best = m.fps;
            r.encoderIndex = m.optionIndex;
        }
    }
    for (int res = 0; res < 5; ++res) {
        const double scale = double(kWidth * kHeight) / (double(kResolutions[res].width) * kResolutions[res].height);
        for (int rate = 0; rate < 8; ++rate) {
            if (best * scale >= channels * kFramerates[rate] * kHeadroom) {
                r.resolutionIndex = res;
                r.framerate = kFramerates[rate];
                r.framerateIndex = settingsFramerateIndex(r.framerate);
                return r;
            }
        }
    }
    return r;
}

std::string speedPresetFor(const std::vector<Result> &results, int optionIndex, int channels, int width, int height)
{
    const double needed = channels * 30.0 * kHeadroom * (double(width) * height) / (double(kWidth) * kHeight);
    bool measured = false;
    for (const char *preset : kPresets) {
        for (const Result &m : results) {
            if (m.optionIndex == optionIndex && m.preset == preset) {
                measured = true;
                if (m.fps >= needed)
                    return preset;
            }
        }
    }
    return measured ? "ultrafast" : "veryfast";
}

QString summary(const std::vector<Result> &results, const std::vector<EncoderOption> &options)
{
    QStringList parts;
    for (const Result &m : results) {
        const QString name = m.optionIndex >= 0 && size_t(m.optionIndex) < options.size()
            ? options[size_t(m.optionIndex)].name
            : QStringLiteral("?");
        const QString preset = m.preset.empty() ? QString() : QLatin1Char(' ') + QString::fromStdString(m.preset);
        parts << (m.fps > 0.0 ? QStringLiteral("%1%2: %3 fps").arg(name, preset).arg(m.fps, 0, 'f', 1)
                              : QStringLiteral("%1%2: failed").arg(name, preset));
    }
    return parts.join(QStringLiteral(" | "));
}

} // namespace EncoderBenchmark
