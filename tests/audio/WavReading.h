#pragma once

#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Reading back the 16-bit stereo WAV files the audio tests record: the
// samples, the stated size, and the stretch, frequency and peak of the left
// side. Header-only, for the tests of this folder.
namespace WavReading {

struct WavContents
{
    int channels = 0;
    int sampleRate = 0;
    uint32_t statedDataBytes = 0;
    std::vector<int16_t> samples;
};

inline WavContents readWav(const QString &path)
{
    WavContents w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return w;
    const QByteArray b = f.readAll();
    if (b.size() < 44)
        return w;
    auto u32 = [&](int at) { uint32_t v; std::memcpy(&v, b.constData() + at, 4); return v; };
    auto u16 = [&](int at) { uint16_t v; std::memcpy(&v, b.constData() + at, 2); return v; };
    w.channels = u16(22);
    w.sampleRate = int(u32(24));
    w.statedDataBytes = u32(40);
    w.samples.resize(size_t(b.size() - 44) / 2);
    std::memcpy(w.samples.data(), b.constData() + 44, w.samples.size() * 2);
    return w;
}

// The longest stretch of the left side without a dropout (2 ms or more of
// exact zeros), as [first, last) frames, and how many dropouts there were.
struct Stretch
{
    int first = 0;
    int last = 0;
    int dropouts = 0;
};

inline Stretch longestStretch(const WavContents &w, int skipFrames)
{
    Stretch best, current;
    current.first = skipFrames;
    int zeros = 0;
    const int frames = int(w.samples.size()) / 2;
    for (int i = skipFrames; i < frames; ++i) {
        zeros = w.samples[2 * i] == 0 ? zeros + 1 : 0;
        if (zeros == 96) {
            ++best.dropouts;
            current.last = i - 95;
            if (current.last - current.first > best.last - best.first)
                best = Stretch{current.first, current.last, best.dropouts};
        }
        if (zeros >= 96)
            current.first = i + 1;
    }
    current.last = frames;
    if (current.last - current.first > best.last - best.first)
        best = Stretch{current.first, current.last, best.dropouts};
    return best;
}

// Frequency from rising zero crossings of the left side within a stretch.
inline double leftFrequency(const WavContents &w, const Stretch &s)
{
    int crossings = 0;
    int first = -1, last = -1;
    for (int i = s.first + 1; i < s.last; ++i) {
        if (w.samples[2 * (i - 1)] < 0 && w.samples[2 * i] >= 0) {
            if (first < 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * 48000.0 / (last - first) : 0.0;
}

inline int leftPeak(const WavContents &w, int skipFrames)
{
    int peak = 0;
    for (size_t i = size_t(skipFrames) * 2; i < w.samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(w.samples[i])));
    return peak;
}

} // namespace WavReading
