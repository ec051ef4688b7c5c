// Cost of the audio path: one mixer tick with four stereo channel inputs and
// the master input at 48 kHz, and the share of one core the whole path
// (capture callbacks, mix, five WAV files) takes. One JSON object per line.

#include "capture/audio/AudioCapture.h"
#include "capture/audio/AudioMixer.h"
#include "capture/audio/WavWriter.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {
constexpr int kTickFrames = 1200; // 25 ms at 48 kHz

// A capture fed the way SDL's audio thread feeds it, without a device.
class BenchCapture : public AudioCapture
{
public:
    bool isOpen() override { return true; }
    int channelCount() override { return 2; }
};

void deliver(AudioCapture &capture, std::vector<float> &buffer)
{
    AudioCapture::captureCallback(&capture, reinterpret_cast<Uint8 *>(buffer.data()),
                                  int(buffer.size() * sizeof(float)));
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Rig
{
    AudioMixer mixer;
    std::vector<std::unique_ptr<BenchCapture>> inputs;
    std::vector<float> tone = std::vector<float>(size_t(kTickFrames) * 2);

    Rig()
    {
        for (int i = 0; i < 5; ++i)
            inputs.push_back(std::make_unique<BenchCapture>());
        for (int id = 1; id <= 4; ++id) {
            mixer.setChannelInput(id, inputs[size_t(id - 1)].get());
            mixer.setChannelFader(id, 0.9f);
        }
        mixer.addMasterInput(inputs[4].get());
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = 0.4f * std::sin(float(i / 2) * 0.13f);
        for (auto &input : inputs) // the cushion every source keeps
            for (int k = 0; k < 3; ++k)
                deliver(*input, tone);
    }

    void feedOneTick()
    {
        for (auto &input : inputs)
            deliver(*input, tone);
    }
};
} // namespace

int main()
{
    // 1. One mixer tick.
    {
        Rig rig;
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        std::vector<double> micros;
        const int warmup = 200, runs = 4000;
        for (int i = 0; i < warmup + runs; ++i) {
            rig.feedOneTick();
            const auto t0 = std::chrono::steady_clock::now();
            rig.mixer.mix(kTickFrames, blocks, master);
            const auto t1 = std::chrono::steady_clock::now();
            if (i >= warmup)
                micros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        }
        std::sort(micros.begin(), micros.end());
        std::printf("{\"bench\":\"audio_mixer_tick\",\"channel_inputs\":4,\"master_inputs\":1,\"frames\":%d,"
                    "\"median_us\":%.1f,\"p99_us\":%.1f,\"ticks\":%d}\n",
                    kTickFrames, micros[micros.size() / 2], micros[micros.size() * 99 / 100], runs);
    }

    // 2. The whole path while a take writes the master and four channel files.
    {
        QTemporaryDir dir;
        Rig rig;
        std::vector<std::unique_ptr<WavWriter>> writers;
        for (int i = 0; i < 5; ++i) {
            writers.push_back(std::make_unique<WavWriter>());
            const std::string path = dir.filePath(QStringLiteral("f%1.wav").arg(i)).toStdString();
            if (!writers.back()->open(path, 48000, 2)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        const int ticks = 40 * 60; // one minute of audio
        const double cpu0 = cpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        for (int i = 0; i < ticks; ++i) {
            rig.feedOneTick();
            rig.mixer.mix(kTickFrames, blocks, master);
            writers[0]->writeSamples(master);
            for (int id = 1; id <= 4; ++id)
                writers[size_t(id)]->writeSamples(blocks[id]);
        }
        for (auto &w : writers)
            w->close();
        const double cpu = cpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double audioSeconds = ticks * 0.025;
        std::printf("{\"bench\":\"audio_path_core_share\",\"wav_files\":5,\"audio_seconds\":%.0f,"
                    "\"cpu_seconds\":%.3f,\"wall_seconds\":%.3f,\"core_share_percent\":%.2f}\n",
                    audioSeconds, cpu, wall, 100.0 * cpu / audioSeconds);
    }
    return 0;
}
