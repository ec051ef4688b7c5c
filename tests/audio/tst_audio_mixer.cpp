#include "FeedCapture.h"

#include "capture/audio/AudioFormat.h"
#include "capture/audio/AudioMixer.h"
#include "capture/audio/MixClock.h"

#include <QtTest>

#include <cmath>

namespace {
constexpr int kTick = 1200; // frames in 25 ms
constexpr float kGain08 = 0.25118864f;

float maxAbs(const std::vector<float> &v, size_t start = 0, size_t step = 1)
{
    float m = 0.0f;
    for (size_t i = start; i < v.size(); i += step)
        m = std::max(m, std::fabs(v[i]));
    return m;
}

// Feed a source so it holds this tick plus its cushion, then mix one tick.
void primeAndMix(AudioMixer &mixer, std::initializer_list<std::pair<FeedCapture *, float>> sources,
                 AudioMixer::ChannelBlocks &blocks, std::vector<float> &master)
{
    for (auto [capture, value] : sources)
        capture->feedConstant(kTick + AudioMixer::kPrimeFrames, value);
    mixer.mix(kTick, blocks, master);
}
} // namespace

class TestAudioMixer : public QObject
{
    Q_OBJECT

private slots:
    void faderCurve_data()
    {
        QTest::addColumn<float>("volume");
        QTest::addColumn<float>("storedFader");
        QTest::addColumn<float>("gain");
        QTest::newRow("default 0.8 is -12 dB") << 0.8f << 0.8f << 0.2512f;
        QTest::newRow("0.0005 is silence") << 0.0005f << 0.0005f << 0.0f;
        QTest::newRow("0.001 is silence") << 0.001f << 0.001f << 0.0f;
        QTest::newRow("0.9995 is unity") << 0.9995f << 0.9995f << 1.0f;
        QTest::newRow("0.5 is -30 dB") << 0.5f << 0.5f << 0.031623f;
        QTest::newRow("1.7 stored as 1") << 1.7f << 1.0f << 1.0f;
        QTest::newRow("-0.3 stored as 0") << -0.3f << 0.0f << 0.0f;
    }
    void faderCurve()
    {
        QFETCH(float, volume);
        QFETCH(float, storedFader);
        QFETCH(float, gain);
        AudioMixer mixer;
        mixer.setChannelFader(2, volume);
        mixer.setMasterFader(volume);
        QCOMPARE(mixer.channelFader(2), storedFader);
        QCOMPARE(mixer.masterFader(), storedFader);
        QVERIFY2(std::fabs(mixer.channelGain(2) - gain) < 1e-4f, qPrintable(QString::number(mixer.channelGain(2))));
        QVERIFY(std::fabs(mixer.masterGain() - gain) < 1e-4f);
        if (gain == 0.0f || gain == 1.0f)
            QCOMPARE(mixer.channelGain(2), gain); // exact at both ends
    }

    void gettersOfUnknownStripsDoNotCreateThem()
    {
        AudioMixer mixer;
        QCOMPARE(mixer.channelFader(9), 0.8f);
        QCOMPARE(mixer.isChannelMuted(9), false);
        QCOMPARE(mixer.isChannelSolo(9), false);
        QCOMPARE(mixer.hasChannelInput(9), false);
        mixer.setChannelMute(9, true);
        QCOMPARE(mixer.isChannelMuted(9), true);
        QCOMPARE(mixer.channelFader(9), 0.8f);
    }

    void soloSilencesTheOthers_data()
    {
        QTest::addColumn<int>("soloChannel");
        QTest::addColumn<float>("expectedMaster");
        // Channels 1..3 carry 0.1, 0.2 and 0.3 at unity faders.
        QTest::newRow("channel 2 soloed") << 2 << 0.2f;
        QTest::newRow("solo without capture silences nobody") << 4 << 0.6f;
        QTest::newRow("no solo") << 0 << 0.6f;
    }
    void soloSilencesTheOthers()
    {
        QFETCH(int, soloChannel);
        QFETCH(float, expectedMaster);
        AudioMixer mixer;
        mixer.setMasterFader(1.0f);
        FeedCapture c1(2), c2(2), c3(2);
        mixer.setChannelInput(1, &c1);
        mixer.setChannelInput(2, &c2);
        mixer.setChannelInput(3, &c3);
        for (int id = 1; id <= 3; ++id)
            mixer.setChannelFader(id, 1.0f);
        // Meters start high so that the silenced ones are seen to fall.
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        primeAndMix(mixer, {{&c1, 0.1f}, {&c2, 0.2f}, {&c3, 0.3f}}, blocks, master);
        if (soloChannel)
            mixer.setChannelSolo(soloChannel, true);
        primeAndMix(mixer, {{&c1, 0.1f}, {&c2, 0.2f}, {&c3, 0.3f}}, blocks, master);

        QCOMPARE(master.size(), size_t(2 * kTick));
        QVERIFY2(std::fabs(master[0] - expectedMaster) < 1e-6f, qPrintable(QString::number(master[0])));
        QVERIFY(std::fabs(master[2 * kTick - 1] - expectedMaster) < 1e-6f);
        if (soloChannel == 2) {
            QVERIFY(std::fabs(mixer.channelLevels(2).left - 0.2f) < 1e-6f);
            QVERIFY(std::fabs(mixer.channelLevels(1).left - 0.1f * 0.88f) < 1e-6f);
            QVERIFY(std::fabs(mixer.channelLevels(3).right - 0.3f * 0.88f) < 1e-6f);
            QCOMPARE(maxAbs(blocks.at(1)), 0.0f);
            QCOMPARE(maxAbs(blocks.at(3)), 0.0f);
        } else {
            QVERIFY(std::fabs(mixer.channelLevels(3).left - 0.3f) < 1e-6f);
        }
    }

    void mutedChannelRecordsSilenceAndItsMeterFalls()
    {
        AudioMixer mixer;
        FeedCapture c1(2);
        mixer.setChannelInput(1, &c1);
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        primeAndMix(mixer, {{&c1, 0.5f}}, blocks, master);
        QVERIFY(std::fabs(mixer.channelLevels(1).left - 0.5f * kGain08) < 1e-6f);

        mixer.setChannelMute(1, true);
        for (int tick = 0; tick < 60; ++tick) {
            c1.feedConstant(kTick, 0.5f);
            mixer.mix(kTick, blocks, master);
            QCOMPARE(blocks.at(1).size(), size_t(2 * kTick));
            QCOMPARE(maxAbs(blocks.at(1)), 0.0f);
            QCOMPARE(maxAbs(master), 0.0f);
        }
        QVERIFY(mixer.channelLevels(1).left < 0.5f * kGain08 * std::pow(0.88f, 59.0f));
        QVERIFY(mixer.channelLevels(1).left < 1e-4f);
    }

    void monoIsHeardOnBothSides()
    {
        AudioMixer mixer;
        mixer.setMasterFader(1.0f);
        mixer.setChannelFader(1, 1.0f);
        FeedCapture mono(1);
        mixer.setChannelInput(1, &mono);
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        std::vector<float> ramp;
        for (int i = 0; i < kTick + AudioMixer::kPrimeFrames; ++i)
            ramp.push_back(float(i % 100) / 200.0f);
        mono.feed(ramp);
        mixer.mix(kTick, blocks, master);
        QCOMPARE(master.size(), size_t(2 * kTick));
        QCOMPARE(blocks.at(1).size(), size_t(kTick));
        for (int i = 0; i < kTick; ++i) {
            QCOMPARE(master[2 * i], ramp[i]);
            QCOMPARE(master[2 * i + 1], ramp[i]);
        }
        QCOMPARE(mixer.channelLevels(1).left, mixer.channelLevels(1).right);
        QCOMPARE(mixer.masterLevels().left, mixer.masterLevels().right);
        QCOMPARE(mixer.masterLevels().left, 0.495f);
    }

    void masterClipsTheFileButMetersTheSum()
    {
        AudioMixer mixer;
        mixer.setMasterFader(1.0f);
        mixer.setChannelFader(1, 1.0f);
        mixer.setChannelFader(2, 1.0f);
        FeedCapture c1(2), c2(2);
        mixer.setChannelInput(1, &c1);
        mixer.setChannelInput(2, &c2);
        std::vector<float> leftOnly;
        for (int i = 0; i < kTick + AudioMixer::kPrimeFrames; ++i) {
            leftOnly.push_back(0.8f);
            leftOnly.push_back(0.0f);
        }
        c1.feed(leftOnly);
        c2.feed(leftOnly);
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        mixer.mix(kTick, blocks, master);
        QCOMPARE(master[0], 1.0f);
        QCOMPARE(master[1], 0.0f);
        QVERIFY(std::fabs(mixer.masterLevels().left - 1.6f) < 1e-6f);
        QCOMPARE(mixer.masterLevels().right, 0.0f);
        QCOMPARE(maxAbs(blocks.at(1)), 0.8f); // a channel's own block is not clipped by the master
    }

    void metersDecayWithoutInputAndNothingIsMixed()
    {
        AudioMixer mixer;
        mixer.setMasterFader(1.0f);
        auto source = std::make_unique<FeedCapture>(2);
        mixer.addMasterInput(source.get());
        mixer.addMasterInput(source.get()); // no duplicates: not summed twice
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        primeAndMix(mixer, {{source.get(), 0.5f}}, blocks, master);
        QCOMPARE(mixer.masterLevels().left, 0.5f);
        QCOMPARE(master[0], 0.5f);

        mixer.removeMasterInput(source.get());
        float expected = 0.5f;
        for (int tick = 0; tick < 5; ++tick) {
            mixer.mix(kTick, blocks, master);
            expected *= 0.88f;
            QVERIFY(master.empty());
            QVERIFY(blocks.empty());
            QVERIFY(std::fabs(mixer.masterLevels().left - expected) < 1e-6f);
        }
    }

    void resetLevelsKeepsOnlyTheCushion()
    {
        AudioMixer mixer;
        FeedCapture c1(2), master(2);
        mixer.setChannelInput(1, &c1);
        mixer.addMasterInput(&master);
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> out;
        primeAndMix(mixer, {{&c1, 0.4f}, {&master, 0.4f}}, blocks, out);
        c1.feedConstant(30000, 0.4f);
        master.feedConstant(30000, 0.4f);
        mixer.resetLevels();
        QCOMPARE(mixer.channelLevels(1).left, 0.0f);
        QCOMPARE(mixer.masterLevels().left, 0.0f);
        QCOMPARE(c1.availableSamples(), uint64_t(2 * AudioMixer::kPrimeFrames));
        QCOMPARE(master.availableSamples(), uint64_t(2 * AudioMixer::kPrimeFrames));
    }

    // SDL delivers 1024-frame buffers, another device 441-frame ones, out of
    // phase with each other and with a jittery 25 ms tick. Every tick must
    // take exactly the frames due, so the mix is as long as the time that
    // passed, and every source must come through without a gap or repeat
    // (a device that sends 100 ms bursts may settle in its first seconds).
    void mixKeepsTimeWithSourcesOutOfPhase_data()
    {
        QTest::addColumn<int>("masterBuffer");
        QTest::addColumn<int>("micBuffer");
        QTest::addColumn<double>("micPhaseMs");
        QTest::addColumn<int>("settleMs");
        QTest::newRow("SDL buffers of 1024 and 441 frames") << 1024 << 441 << 7.3 << 0;
        QTest::newRow("equal buffers in opposite phase") << 1024 << 1024 << 10.6 << 0;
        QTest::newRow("a device sending 100 ms bursts") << 1024 << 4800 << 3.0 << 3000;
    }
    void mixKeepsTimeWithSourcesOutOfPhase()
    {
        QFETCH(int, masterBuffer);
        QFETCH(int, micBuffer);
        QFETCH(double, micPhaseMs);
        QFETCH(int, settleMs);
        AudioMixer mixer;
        mixer.setMasterFader(1.0f);
        mixer.setChannelFader(1, 1.0f);
        FeedCapture mic(2), masterInput(2);
        mixer.setChannelInput(1, &mic);
        mixer.addMasterInput(&masterInput);

        // Sample values carry the running frame index, so a gap shows.
        struct Device
        {
            FeedCapture *capture;
            int bufferFrames;
            double phaseMs;
            int64_t delivered = 0;
        };
        Device devices[] = {{&masterInput, masterBuffer, 0.0}, {&mic, micBuffer, micPhaseMs}};
        auto valueOf = [](int64_t frame) { return float(frame % 40000) * 1e-5f; };

        MixClock clock;
        const auto t0 = MixClock::Clock::time_point{} + std::chrono::seconds(5);
        clock.restart(t0);
        AudioMixer::ChannelBlocks blocks;
        std::vector<float> master;
        std::vector<float> micOut, masterOut;
        int64_t mixedFrames = 0;
        double nextTickMs = 25.0;
        const double durationMs = 60'000.0;
        for (double nowMs = 0.0; nowMs <= durationMs; nowMs += 0.5) {
            for (Device &d : devices) {
                const double bufferMs = d.bufferFrames * 1000.0 / 48000.0;
                while (d.phaseMs + (d.delivered / d.bufferFrames + 1) * bufferMs <= nowMs) {
                    std::vector<float> buffer;
                    for (int i = 0; i < d.bufferFrames; ++i) {
                        buffer.push_back(valueOf(d.delivered + i));
                        buffer.push_back(valueOf(d.delivered + i));
                    }
                    d.capture->feed(buffer);
                    d.delivered += d.bufferFrames;
                }
            }
            if (nowMs >= nextTickMs) {
                const auto now = t0 + std::chrono::microseconds(int64_t(nowMs * 1000.0));
                mixer.mix(clock.framesDue(now), blocks, master);
                mixedFrames += int64_t(master.size() / 2);
                if (blocks.count(1))
                    micOut.insert(micOut.end(), blocks.at(1).begin(), blocks.at(1).end());
                masterOut.insert(masterOut.end(), master.begin(), master.end());
                // Ticks arrive late by 0 .. 4 ms, as a busy GUI thread does.
                nextTickMs += 25.0 + double((int64_t(nowMs) * 7) % 5);
            }
        }
        const int64_t elapsedFrames = clock.framesEmitted();
        QCOMPARE(mixedFrames, elapsedFrames);
        QVERIFY(std::llabs(mixedFrames - int64_t(durationMs * 48.0)) <= kTick + 4 * 48);

        // The mic's own block: continuous from its first sound to the end.
        auto checkContinuous = [&](const std::vector<float> &out, const char *what) {
            size_t first = size_t(settleMs) * 48 * 2;
            while (first + 2 < out.size() && out[first] == 0.0f && out[first + 2] == 0.0f)
                first += 2;
            QVERIFY2(first < size_t(settleMs + 200) * 48 * 2, what); // sounding within 200 ms
            for (size_t i = first + 2; i < out.size(); i += 2) {
                const int64_t prev = std::lround(out[i - 2] * 1e5f);
                const int64_t cur = std::lround(out[i] * 1e5f);
                if (cur != (prev + 1) % 40000)
                    QFAIL(qPrintable(QStringLiteral("%1: gap at frame %2 (%3 -> %4)").arg(what).arg(i / 2).arg(prev).arg(cur)));
            }
        };
        checkContinuous(micOut, "mic");
        QCOMPARE(micOut.size(), masterOut.size());
        // The master is the master input plus the mic: take the mic away again.
        std::vector<float> masterOnly(masterOut.size());
        for (size_t i = 0; i < masterOut.size(); ++i)
            masterOnly[i] = masterOut[i] - micOut[i];
        for (float &v : masterOnly)
            v = std::round(v * 1e5f) / 1e5f;
        checkContinuous(masterOnly, "master input");
    }

    void mixClockCountsFramesDue_data()
    {
        QTest::addColumn<QList<int>>("tickMicroseconds");
        QTest::addColumn<QList<int>>("expectedFrames");
        QTest::newRow("regular ticks") << QList<int>{25000, 50000, 75000} << QList<int>{1200, 1200, 1200};
        QTest::newRow("uneven ticks sum up") << QList<int>{10000, 10010, 35000} << QList<int>{480, 0, 1200};
        QTest::newRow("a tick that comes early") << QList<int>{25000, 24000} << QList<int>{1200, 0};
        QTest::newRow("fractions carry over") << QList<int>{1, 21, 42} << QList<int>{0, 1, 1};
    }
    void mixClockCountsFramesDue()
    {
        QFETCH(QList<int>, tickMicroseconds);
        QFETCH(QList<int>, expectedFrames);
        MixClock clock;
        const auto t0 = MixClock::Clock::time_point{} + std::chrono::hours(1);
        clock.restart(t0);
        for (int i = 0; i < tickMicroseconds.size(); ++i)
            QCOMPARE(clock.framesDue(t0 + std::chrono::microseconds(tickMicroseconds[i])), expectedFrames[i]);
    }

    void mixClockSkipsAVeryLongStall()
    {
        MixClock clock;
        const auto t0 = MixClock::Clock::time_point{} + std::chrono::hours(1);
        clock.restart(t0);
        QCOMPARE(clock.framesDue(t0 + std::chrono::seconds(60)), int(MixClock::kMaxFramesPerTick));
        QCOMPARE(clock.framesDue(t0 + std::chrono::milliseconds(60025)), 1200);
    }

    void pcm16Conversion_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<int>("pcm");
        QTest::newRow("0.5") << 0.5f << 16383;
        QTest::newRow("-1") << -1.0f << -32767;
        QTest::newRow("1") << 1.0f << 32767;
        QTest::newRow("-2") << -2.0f << -32768;
        QTest::newRow("3") << 3.0f << 32767;
        QTest::newRow("tiny negative truncates to 0") << -0.00001f << 0;
        QTest::newRow("NaN") << std::nanf("") << 32767;
    }
    void pcm16Conversion()
    {
        QFETCH(float, x);
        QFETCH(int, pcm);
        QCOMPARE(int(AudioFormat::toPcm16(x)), pcm);
    }
};

QTEST_GUILESS_MAIN(TestAudioMixer)
#include "tst_audio_mixer.moc"
