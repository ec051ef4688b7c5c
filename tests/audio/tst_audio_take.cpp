// The sound chain of the integrated recorder: a real PulseAudio server, SDL
// started as the program starts it, and the real application manager. A
// user picks a channel input from the manager's device list, sees its meter
// move, records takes whose master WAV follows the channel's fader, mute and
// solo exactly, and hears the mix on the monitoring output.
#include "PulseServer.h"
#include "WavReading.h"

#include "app/ApplicationManager.h"
#include "app/InputChannelsModel.h"
#include "capture/audio/AudioCapture.h"
#include "capture/audio/AudioFormat.h"
#include "capture/audio/AudioSystem.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace WavReading;

namespace {
const QString kSineBus = QStringLiteral("Monitor of Sine_Bus");     // the 0.5 sine at 1000 Hz, paced
const QString kNullMonitor = QStringLiteral("Monitor of Null Output"); // what the null sink plays

// The loudest left sample of a capture's newest audio, and its frequency.
struct Heard
{
    float peak = 0.0f;
    double hz = 0.0;
};

// The loudest left sample of a capture's newest audio, and its frequency
// over the longest stretch without a dropout (the monitor queue may be
// flushed or start late, which leaves gaps).
Heard listen(AudioCapture &capture, int ms)
{
    capture.clear();
    QTest::qWait(ms);
    const std::vector<float> s = capture.readSamples(0);
    WavContents w;
    w.channels = 2;
    w.sampleRate = 48000;
    for (float x : s)
        w.samples.push_back(AudioFormat::toPcm16(x));
    Heard h;
    for (size_t i = 0; i < s.size(); i += 2)
        h.peak = std::max(h.peak, std::fabs(s[i]));
    const Stretch stretch = longestStretch(w, 0);
    if (stretch.last - stretch.first >= 4800)
        h.hz = leftFrequency(w, stretch);
    return h;
}
} // namespace

class TestAudioTake : public QObject
{
    Q_OBJECT

    PulseServer m_pulse;
    QTemporaryDir m_dir;
    std::unique_ptr<InputChannelsModel> m_model;
    ApplicationManager &manager() { return ApplicationManager::instance(); }

    // One take of about 1.5 s through the manager; the master file read back.
    WavContents recordTake(qint64 *takeMs = nullptr)
    {
        QElapsedTimer clock;
        manager().startRecording();
        clock.start();
        if (!manager().isRecording())
            return {};
        QTest::qWait(1500);
        manager().stopRecording();
        if (takeMs)
            *takeMs = clock.elapsed();
        return readWav(manager().take().masterWavPath());
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_pulse.start(&error), qPrintable(error));
        QVERIFY2(AudioSystem::initialize(), SDL_GetError());
        QVERIFY(m_dir.isValid());
        m_model = std::make_unique<InputChannelsModel>();
        manager().setChannelsModel(m_model.get());
        manager().setRecordingPath(m_dir.path());
        // Only the channel input feeds the mix, so the files show its effect alone.
        manager().setMasterAudioDevice(QStringLiteral("None"));
        manager().setMasterAudioVolume(1.0f);
    }

    void cleanupTestCase()
    {
        manager().setLiveMonitoringEnabled(false);
        manager().setAudioInputForChannel(1, QStringLiteral("None"));
        manager().setAudioInputForChannel(2, QStringLiteral("None"));
        AudioSystem::shutdown();
        m_pulse.stop();
    }

    // The device list the mixer panel offers comes from the server, with
    // the sinks' monitors ("what the computer plays") among the inputs.
    void inputListHasTheServersSourcesAndMonitors()
    {
        const QStringList inputs = QVariant(manager().audioInputDevices()).toStringList();
        QCOMPARE(inputs.value(0), QStringLiteral("Default system input"));
        for (const QString &name : {kSineBus, kNullMonitor, QStringLiteral("Sine source at 1000 Hz")})
            QVERIFY2(inputs.contains(name), qPrintable(name + QStringLiteral(" not in: ") + inputs.join(", ")));
        QVERIFY(QVariant(manager().audioOutputDevices()).toStringList().contains(QStringLiteral("Null Output")));
    }

    // Channel 1 on the sine: its meter moves and the model shows audio; then
    // four takes with the fader at the top, muted, at 0.8 and with another
    // channel soloed. The master file carries exactly the effect of each.
    void faderMuteAndSoloActOnTheMasterFile()
    {
        ApplicationManager &m = manager();
        QSignalSpy levels(&m, &ApplicationManager::channelAudioLevelChanged);
        m.setAudioInputForChannel(1, kSineBus);
        QCOMPARE(m.getChannelAudioInput(1), kSineBus);
        QVERIFY(m_model->data(m_model->index(0), InputChannelsModel::HasActiveAudioRole).toBool());
        m.setChannelAudioVolume(1, 1.0f);
        auto channel1Level = [&] {
            float level = 0.0f;
            for (const auto &args : levels)
                if (args.at(0).toInt() == 1)
                    level = args.at(1).toFloat();
            return level;
        };
        QVERIFY2(QTest::qWaitFor([&] { return channel1Level() > 0.45f; }, 5000), qPrintable(QString::number(channel1Level())));
        QVERIFY(m.masterAudioLevel() > 0.45f);

        qint64 takeMs = 0;
        const WavContents open = recordTake(&takeMs);
        QCOMPARE(open.channels, 2);
        QCOMPARE(size_t(open.statedDataBytes), open.samples.size() * 2);
        const double fileMs = double(open.samples.size() / 2) / 48.0;
        QVERIFY2(std::fabs(fileMs - double(takeMs)) <= 60.0, qPrintable(QStringLiteral("file %1 ms, take %2 ms").arg(fileMs).arg(takeMs)));
        const Stretch s = longestStretch(open, 2400);
        QVERIFY2(s.last - s.first >= 48000, qPrintable(QString::number(s.last - s.first)));
        QVERIFY2(std::fabs(leftFrequency(open, s) - 1000.0) < 5.0, qPrintable(QString::number(leftFrequency(open, s))));
        const int fullPeak = leftPeak(open, 2400);
        QVERIFY2(std::abs(fullPeak - 16383) < 1000, qPrintable(QString::number(fullPeak)));

        m.setChannelAudioMute(1, true);
        const WavContents muted = recordTake();
        QVERIFY(muted.samples.size() > 48000 * 2);
        QVERIFY2(std::all_of(muted.samples.begin(), muted.samples.end(), [](int16_t v) { return v == 0; }),
                 "a muted channel must leave the master file silent");
        QVERIFY2(channel1Level() < 0.01f, qPrintable(QString::number(channel1Level())));
        m.setChannelAudioMute(1, false);

        m.setChannelAudioVolume(1, 0.8f); // -12 dB
        const WavContents faded = recordTake();
        const double ratio = double(leftPeak(faded, 2400)) / double(fullPeak);
        QVERIFY2(std::fabs(ratio - 0.2512) < 0.01, qPrintable(QString::number(ratio)));

        // Soloing channel 2 (which has an input, silent) silences channel 1.
        m.setAudioInputForChannel(2, kNullMonitor);
        m.setChannelAudioSolo(2, true);
        const WavContents soloed = recordTake();
        QVERIFY(soloed.samples.size() > 48000 * 2);
        QVERIFY(std::all_of(soloed.samples.begin(), soloed.samples.end(), [](int16_t v) { return v == 0; }));
        m.setChannelAudioSolo(2, false);
        m.setAudioInputForChannel(2, QStringLiteral("None"));
        m.setChannelAudioVolume(1, 1.0f);
    }

    // A take with sound only (no camera): the write speed is the WAV bytes
    // per second, here the master mix and channel 1's own file.
    void writeSpeedCountsTheWavFiles()
    {
        ApplicationManager &m = manager();
        m.setAudioInputForChannel(1, kSineBus);
        m.setChannelSeparateAudioEnabled(1, true);
        m.take().setMetricsIntervalMs(1000);
        QSignalSpy metrics(&m, &ApplicationManager::performanceMetricsChanged);
        m.startRecording();
        QVERIFY(m.isRecording());
        QVERIFY(m.take().videoFilePaths().isEmpty());
        QTest::qWait(1100); // the first interval includes the take's first tick
        metrics.clear();
        QVERIFY(metrics.wait(2000));
        const double speed = m.diskWriteSpeedMBs();
        m.stopRecording();
        m.take().setMetricsIntervalMs(2000);
        m.setChannelSeparateAudioEnabled(1, false);
        // 2 files x 48000 frames x 2 channels x 2 bytes per second.
        QVERIFY2(std::fabs(speed - 0.384) < 0.06, qPrintable(QString::number(speed)));
        QVERIFY(QFile::exists(m.take().audioFilePaths().value(1)));
    }

    // Monitoring plays the program mix on the chosen output: the null
    // sink's monitor then carries channel 1's sine, and nothing once muted.
    void monitoringPlaysTheMix()
    {
        ApplicationManager &m = manager();
        m.setAudioInputForChannel(1, kSineBus);
        m.setChannelAudioVolume(1, 1.0f);
        m.setChannelAudioMute(1, false);
        AudioCapture output;
        QVERIFY(output.open(kNullMonitor.toStdString(), 2));
        QTest::qWait(300);
        QVERIFY2(listen(output, 500).peak < 0.01f, "the output is silent before monitoring");

        m.setMasterAudioOutputDevice(QStringLiteral("Null Output"));
        m.setLiveMonitoringEnabled(true);
        QTest::qWait(500);
        const Heard heard = listen(output, 1000);
        QVERIFY2(heard.peak > 0.4f && heard.peak < 0.6f, qPrintable(QString::number(heard.peak)));
        QVERIFY2(std::fabs(heard.hz - 1000.0) < 10.0, qPrintable(QString::number(heard.hz)));

        m.setChannelAudioMute(1, true);
        QTest::qWait(1200); // what was already queued plays out
        QVERIFY2(listen(output, 500).peak < 0.01f, "muting the channel silences the monitor");
        m.setChannelAudioMute(1, false);
        m.setLiveMonitoringEnabled(false);
        output.close();
    }
};

QTEST_MAIN(TestAudioTake)
#include "tst_audio_take.moc"
