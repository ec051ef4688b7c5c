#pragma once

#include "encoding/EncoderCatalog.h"

#include <QString>

#include <string>
#include <vector>

// Measured encoding speed and what follows from it.
namespace EncoderBenchmark {

// One measurement: frames per second of a 1080p clip through an option.
struct Result
{
    int optionIndex = -1;
    std::string preset; // software presets; "" for hardware
    double fps = 0.0;   // 0 when the encoder failed
};

// Encodes `frames` synthetic 1920x1080 frames (moving bars with detail) as
// fast as the encoder takes them and returns frames per second of wall time,
// 0 when the encoder does not open or loses frames.
double measure(const EncoderOption &option, const std::string &preset, int frames = 60);

// What the settings window's recommendation shows. The indices are those of
// the settings window's lists, which the benchmark card applies to its
// combos as they are.
struct Recommendation
{
    int resolutionIndex = 4; // 0 = 2160p ... 4 = 480p
    int framerateIndex = 0;  // "Global Framerate" list: 0 = 23.976 ... 4 = 30 ... 8 = 60
    double framerate = 23.976;
    int encoderIndex = 0;
};

// Index of a rate in the settings window's "Global Framerate" list, -1 when
// it is not listed.
int settingsFramerateIndex(double fps);

// The highest resolution, then the highest frame rate, at which `channels`
// streams fit into the fastest measured encoder's throughput with 20 % to spare.
Recommendation recommend(const std::vector<Result> &results, int channels = 4);

// The slowest (best-looking) software preset whose measured 1080p speed
// keeps `channels` streams of width x height at 30 fps in real time with
// 20 % to spare; "veryfast" when nothing was measured for the encoder,
// "ultrafast" when no measured preset is fast enough.
std::string speedPresetFor(const std::vector<Result> &results, int optionIndex, int channels, int width, int height);

// "Software H.264 veryfast: 71.3 fps | ..." for benchmarkSummary.
QString summary(const std::vector<Result> &results, const std::vector<EncoderOption> &options);

} // namespace EncoderBenchmark
