// Records takes from the virtual test cameras and does the same encodes with
// the ffmpeg program, one JSON object per configuration on stdout:
// drops, exact frame counts per file, CPU seconds per recorded frame, and the
// ratio to ffmpeg's CPU cost with equal settings. Headless, no QML.
//
// Usage: bench_recorder [--take-seconds N] [--preset auto|NAME] [configuration name...]
// --preset auto picks each configuration's preset the way a take does, from a
// measured encoder benchmark; without --preset every configuration keeps its
// own. A bare number as first argument is taken as the take length.
#include "app/recording/RecordingSession.h"
#include "encoding/EncoderBenchmark.h"
#include "capture/CameraCapture.h"
#include "capture/virtual/VirtualCameras.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavutil/log.h>
}

namespace {

struct Config
{
    const char *name;
    int channels;
    int width;
    int height;
    const char *preset;
};

constexpr Config kConfigs[] = {
    {"1x1080p30", 1, 1920, 1080, "veryfast"},
    {"2x1080p30", 2, 1920, 1080, "veryfast"},
    {"4x720p30", 4, 1280, 720, "veryfast"},
    {"4x1080p30", 4, 1920, 1080, "veryfast"},
    {"4x1080p30-ultrafast", 4, 1920, 1080, "ultrafast"},
};

double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int frameCount(const QString &file)
{
    QProcess p;
    p.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                        "stream=nb_read_frames", "-of", "csv=p=0", file});
    p.waitForFinished(600000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed().toInt();
}

// Runs `count` ffmpeg processes at once; returns wall seconds and adds their CPU seconds.
double runFfmpeg(const QStringList &args, int count, double &cpu)
{
    const double before = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer wall;
    wall.start();
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<QProcess>();
        QStringList a = args;
        for (QString &s : a)
            s.replace("%N", QString::number(i + 1));
        p->start("ffmpeg", a);
        procs.push_back(std::move(p));
    }
    for (auto &p : procs)
        p->waitForFinished(-1);
    cpu += cpuSeconds(RUSAGE_CHILDREN) - before;
    return wall.elapsed() / 1000.0;
}

QJsonObject runConfig(const Config &cfg, const std::string &preset, int seconds, const QString &folder)
{
    // Cameras alone first: their own cost is not the recorder's.
    std::vector<std::shared_ptr<CameraCapture>> cameras;
    for (int i = 1; i <= cfg.channels; ++i) {
        const std::string link = std::string(VirtualCameras::kLinkPrefix) + std::to_string(i);
        VideoFormatInfo format;
        for (const VideoFormatInfo &f : VirtualCameras::formats(link)) {
            if (f.width == cfg.width && f.height == cfg.height && f.fpsNumerator == 30 * f.fpsDenominator)
                format = f;
        }
        auto camera = std::make_shared<CameraCapture>();
        if (!camera->open(std::wstring(link.begin(), link.end()), format))
            return {{"config", cfg.name}, {"error", "virtual camera did not open"}};
        cameras.push_back(camera);
    }
    runFor(1000);
    double cpu0 = cpuSeconds(RUSAGE_SELF);
    runFor(3000);
    const double camerasPerSecond = (cpuSeconds(RUSAGE_SELF) - cpu0) / 3.0;

    TakeCollaborators c;
    c.parameters = [&] {
        TakeParameters p;
        p.recordingPath = folder;
        p.activeSessionName = cfg.name;
        return p;
    };
    c.liveCamera = [&](int id) -> std::shared_ptr<ISource> {
        return id >= 1 && id <= int(cameras.size()) && cameras[size_t(id - 1)]->isRunning() ? cameras[size_t(id - 1)]
                                                                                           : nullptr;
    };
    c.speedPreset = [&](int, int, int) { return preset; };
    RecordingSession session(std::move(c));
    cpu0 = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    session.startRecording();
    // The GUI thread runs the frame pump: reading each camera's frame and
    // handing it to the encoders is all it does here.
    const double guiCpu0 = cpuSeconds(RUSAGE_THREAD);
    runFor(seconds * 1000);
    const double guiCpu = cpuSeconds(RUSAGE_THREAD) - guiCpu0;
    QElapsedTimer stopClock;
    stopClock.start();
    session.stopRecording();
    const double stopSeconds = stopClock.elapsed() / 1000.0; // drain, flush, index
    const double takeSeconds = wall.elapsed() / 1000.0;
    const double recorderCpu = cpuSeconds(RUSAGE_SELF) - cpu0 - camerasPerSecond * takeSeconds;
    for (auto &camera : cameras)
        camera->stop();

    QJsonArray counts;
    int64_t recorded = 0;
    for (auto it = session.videoFilePaths().cbegin(); it != session.videoFilePaths().cend(); ++it) {
        const int n = frameCount(it.value());
        counts.append(n);
        recorded += n;
    }

    // ffmpeg: the same size, rate, preset, rate control, GOP and B-frames
    // from RGBA frames, all channels at once as fast as it can; the cost of
    // generating its test picture is measured alone and taken off.
    const QString size = QString("%1x%2").arg(cfg.width).arg(cfg.height);
    const QString source = QString("testsrc2=size=%1:rate=30,format=rgba").arg(size);
    const int frames = seconds * 30;
    double sourceCpu = 0.0, ffmpegCpu = 0.0;
    runFfmpeg({"-v", "error", "-f", "lavfi", "-i", source, "-frames:v", QString::number(frames), "-f", "null", "-"},
              cfg.channels, sourceCpu);
    const double ffmpegWall = runFfmpeg(
        {"-v", "error", "-y", "-f", "lavfi", "-i", source, "-frames:v", QString::number(frames), "-c:v", "libx264",
         "-preset", QString::fromStdString(preset), "-b:v", "16000k", "-maxrate", "16000k", "-minrate", "16000k", "-bufsize", "16000k",
         "-g", "60", "-bf", "2", "-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709",
         "-color_trc", "bt709", "-color_range", "tv", "-movflags", "frag_keyframe+empty_moov+default_base_moof",
         folder + "/ffmpeg_%N.mp4"},
        cfg.channels, ffmpegCpu);
    const double ffmpegPerFrame = (ffmpegCpu - sourceCpu) / double(frames * cfg.channels);
    const double oursPerFrame = recorded > 0 ? recorderCpu / double(recorded) : 0.0;

    return {
        {"config", cfg.name},
        {"channels", cfg.channels},
        {"size", size},
        {"preset", QString::fromStdString(preset)},
        {"takeSeconds", takeSeconds},
        {"expectedFramesPerFile", int(session.lastDurationMs() * 30 / 1000)},
        {"framesPerFile", counts},
        {"droppedFrames", session.droppedFrames()},
        {"stopSeconds", stopSeconds},
        {"cpuSecondsPerFrame", oursPerFrame},
        {"pumpCpuSecondsPerFrame", session.framesWritten() > 0
                                       ? guiCpu / double(session.framesWritten() * cfg.channels)
                                       : 0.0},
        {"ffmpegCpuSecondsPerFrame", ffmpegPerFrame},
        {"cpuRatio", ffmpegPerFrame > 0 ? oursPerFrame / ffmpegPerFrame : 0.0},
        {"ffmpegSpeed", ffmpegWall > 0 ? double(frames) / 30.0 / ffmpegWall : 0.0},
    };
}

} // namespace

int main(int argc, char **argv)
{
    setenv("KORVEX_TEST_CAMERAS", "4", 1);
    QCoreApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QCommandLineParser args;
    args.addOption({"take-seconds", "Length of each take (default 10).", "seconds", "10"});
    args.addOption({"preset", "auto (as a take chooses, from a measured benchmark) or a libx264 preset.", "preset"});
    args.addPositionalArgument("configuration", "Configurations to run (default: all).", "[configuration...]");
    args.addHelpOption();
    args.process(app);
    QStringList wanted = args.positionalArguments();
    int seconds = std::max(1, args.value("take-seconds").toInt());
    if (!wanted.isEmpty()) {
        bool numeric = false;
        const int first = wanted.first().toInt(&numeric);
        if (numeric) {
            seconds = std::max(1, first);
            wanted.removeFirst();
        }
    }
    const QString presetChoice = args.value("preset");

    // The speeds a take's preset choice rests on, measured once.
    std::vector<EncoderBenchmark::Result> measured;
    if (presetChoice == "auto") {
        const EncoderOption x264{"Software H.264", "CPU Encoding", "libx264", false, {}, true};
        for (const char *p : {"veryfast", "superfast", "ultrafast"})
            measured.push_back({0, p, EncoderBenchmark::measure(x264, p)});
    }
    QTemporaryDir dir;
    for (const Config &cfg : kConfigs) {
        if (!wanted.isEmpty() && !wanted.contains(cfg.name))
            continue;
        std::string preset = cfg.preset;
        if (presetChoice == "auto")
            preset = EncoderBenchmark::speedPresetFor(measured, 0, cfg.channels, cfg.width, cfg.height);
        else if (!presetChoice.isEmpty())
            preset = presetChoice.toStdString();
        const QJsonObject result = runConfig(cfg, preset, seconds, dir.path());
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        std::fflush(stdout);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }
    return 0;
}
