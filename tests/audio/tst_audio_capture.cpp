#include "FeedCapture.h"
#include "WarningGuard.h"

#include "capture/audio/AudioCapture.h"

#include <SDL.h>

#include <QtTest>

#include <cstring>

namespace {
// Hands samples to the capture exactly as SDL's audio thread does.
void deliver(AudioCapture &capture, const std::vector<float> &samples, int extraBytes = 0)
{
    std::vector<Uint8> bytes(samples.size() * sizeof(float) + size_t(extraBytes));
    std::memcpy(bytes.data(), samples.data(), samples.size() * sizeof(float));
    AudioCapture::captureCallback(&capture, bytes.data(), int(bytes.size()));
}

std::vector<float> ramp(int first, int count)
{
    std::vector<float> v;
    for (int i = 0; i < count; ++i)
        v.push_back(float(first + i));
    return v;
}
} // namespace

class TestAudioCapture : public QObject
{
    Q_OBJECT

private slots:
    void noAudioIsRefusedWithoutTouchingSdl()
    {
        QVERIFY(SDL_WasInit(SDL_INIT_AUDIO) == 0);
        WarningGuard guard;
        SDL_ClearError();
        AudioCapture capture;
        QVERIFY(!capture.open("No Audio", 2));
        QCOMPARE(QString::fromUtf8(SDL_GetError()), QString());
        QVERIFY(!capture.isOpen());
        QCOMPARE(capture.deviceName(), std::string());
        QVERIFY(guard.warnings().isEmpty());
    }

    void failedOpenReportsTheDeviceAndSdlError()
    {
        WarningGuard guard;
        AudioCapture capture;
        // SDL's audio subsystem is not running here, so any device fails.
        QVERIFY(!capture.open("USB Mic 7", 2));
        QVERIFY(!capture.isOpen());
        QCOMPARE(guard.warnings().size(), 1);
        QVERIFY2(guard.warnings().first().startsWith(
                     QStringLiteral("[AudioCapture] Failed to open audio device: \"USB Mic 7\" Error:")),
                 qPrintable(guard.warnings().first()));
    }

    void callbackBlockSizes_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("samples");
        QTest::newRow("3 bytes ignored") << 3 << 0;
        QTest::newRow("4 bytes one sample") << 4 << 1;
        QTest::newRow("6 bytes one sample") << 6 << 1;
        QTest::newRow("4096 bytes") << 4096 << 1024;
    }
    void callbackBlockSizes()
    {
        QFETCH(int, bytes);
        QFETCH(int, samples);
        AudioCapture capture;
        std::vector<Uint8> buffer(size_t(bytes), 0);
        const float value = -0.25f;
        if (bytes >= 4)
            std::memcpy(buffer.data(), &value, sizeof value);
        AudioCapture::captureCallback(&capture, buffer.data(), bytes);
        AudioCapture::captureCallback(nullptr, buffer.data(), bytes); // no user data: ignored
        QCOMPARE(capture.availableSamples(), uint64_t(samples));
        QCOMPARE(capture.takePeak(), samples ? 0.25f : 0.0f);
        QCOMPARE(capture.takePeak(), 0.0f);
    }

    void queueKeepsTheNewestTwoSeconds()
    {
        QCOMPARE(AudioCapture::capacitySamples(0, 2), 192000);
        QCOMPARE(AudioCapture::capacitySamples(0, 0), 192000);
        QCOMPARE(AudioCapture::capacitySamples(0, 1), 96000);
        QCOMPARE(AudioCapture::capacitySamples(1500, 2), 240000);

        FeedCapture capture(2);
        // Three seconds of stereo in SDL's 1024-frame buffers, unread.
        const int total = 3 * 48000 * 2;
        for (int sent = 0; sent < total; sent += 2048)
            deliver(capture, ramp(sent, std::min(2048, total - sent)));
        QCOMPARE(capture.availableSamples(), uint64_t(192000));
        const std::vector<float> all = capture.readSamples(0);
        QCOMPARE(all.size(), size_t(192000));
        QCOMPARE(all.front(), float(total - 192000));
        QCOMPARE(all.back(), float(total - 1));
    }

    void readSamplesLimits_data()
    {
        QTest::addColumn<int>("maxSamples");
        QTest::addColumn<int>("expected");
        QTest::newRow("0 takes all") << 0 << 40;
        QTest::newRow("-1 takes all") << -1 << 40;
        QTest::newRow("more than available") << 100 << 40;
        QTest::newRow("fewer than available") << 10 << 10;
    }
    void readSamplesLimits()
    {
        QFETCH(int, maxSamples);
        QFETCH(int, expected);
        AudioCapture capture;
        deliver(capture, ramp(0, 40));
        const std::vector<float> read = capture.readSamples(maxSamples);
        QCOMPARE(int(read.size()), expected);
        QCOMPARE(read, ramp(0, expected));
        QCOMPARE(capture.availableSamples(), uint64_t(40 - expected));
        if (expected < 40)
            QCOMPARE(capture.readSamples(0).front(), float(expected)); // oldest first
    }

    void delayHoldsBackTheNewestAudio()
    {
        FeedCapture capture(2);
        capture.setDelayMs(10); // 10 ms of stereo = 960 samples held back
        QCOMPARE(capture.delayMs(), 10);
        deliver(capture, ramp(0, 1000));
        QCOMPARE(capture.availableSamples(), uint64_t(40));
        QCOMPARE(capture.readSamples(0), ramp(0, 40));
        QVERIFY(capture.readSamples(0).empty());
        capture.setDelayMs(0);
        QCOMPARE(capture.availableSamples(), uint64_t(960));
    }

    void clearEmptiesQueueAndPeak()
    {
        AudioCapture capture;
        deliver(capture, {0.9f, -0.1f});
        capture.clear();
        QCOMPARE(capture.availableSamples(), uint64_t(0));
        QCOMPARE(capture.takePeak(), 0.0f);
    }
};

QTEST_GUILESS_MAIN(TestAudioCapture)
#include "tst_audio_capture.moc"
