// A recorder that runs one take from a painted camera and a sine tone until it
// is killed: the files it leaves behind are what a crashed take leaves.
#include "TakeDoubles.h"
#include "app/recording/RecordingSession.h"
#include "capture/audio/WavWriter.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvex_test_recorder RECORDING_FOLDER [FORMAT_INDEX]\n");
        return 2;
    }
    auto camera = std::make_shared<PaintedSource>(640, 360);
    WavWriter master;
    TakeCollaborators c;
    c.parameters = [&] {
        TakeParameters p;
        p.recordingPath = QString::fromLocal8Bit(argv[1]);
        p.activeSessionName = "Killed";
        p.quality.container = recordingContainerFor(argc > 2 ? std::atoi(argv[2]) : 0);
        return p;
    };
    c.liveCamera = [&](int id) -> std::shared_ptr<ISource> { return id == 1 ? camera : nullptr; };
    c.startAudio = [&](const QString &folder) {
        TakeAudioFiles files;
        files.masterPath = folder + "/Master_Audio_Output.wav";
        files.masterOpened = master.open(files.masterPath.toStdString(), 48000, 2);
        return files;
    };
    c.stopAudio = [&] {
        master.close();
        return TakeAudioFiles{};
    };
    RecordingSession session(std::move(c));

    // 25 ms of a 1 kHz tone per tick, as the audio tick writes the mix.
    QTimer audioTick;
    int64_t sample = 0;
    QObject::connect(&audioTick, &QTimer::timeout, [&] {
        std::vector<float> block(1200 * 2);
        for (size_t i = 0; i < block.size(); i += 2, ++sample)
            block[i] = block[i + 1] = float(0.5 * std::sin(2.0 * M_PI * 1000.0 * double(sample) / 48000.0));
        master.writeSamples(block);
    });
    if (!session.startRecording())
        return 1;
    audioTick.start(25);
    std::printf("RECORDING %s\n", qPrintable(session.takeFolder()));
    std::fflush(stdout);

    // What is on its way to disk so far: the camera's encoded frames and the
    // samples handed to the WAV writer, so a test can tell what a kill may
    // lose however fast this build records.
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, [&] {
        const auto encoders = session.encoders();
        const auto camera = encoders.find(1);
        const long long frames = camera == encoders.end() ? 0 : (long long)camera->second->stats().framesEncoded;
        std::printf("WRITTEN %lld %lld\n", frames, (long long)sample);
        std::fflush(stdout);
    });
    progress.start(100);
    return app.exec();
}
