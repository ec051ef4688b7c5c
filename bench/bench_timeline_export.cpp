// Export time of a long take: two hours, 5000 cuts over four cameras, four
// channel audio files. One JSON object per line on stdout.

#include "export/TimelineExporter.h"
#include "export/TimelineXmlWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCuts = 5000;
constexpr int kCameras = 4;
constexpr int64_t kDurationMs = 2 * 60 * 60 * 1000;
constexpr int kRuns = 15;

TimelineExportInput longTake(const QString &root)
{
    const QString take = root + QStringLiteral("/Long Session/Take_01");
    TimelineExportInput input;
    input.sessionName = QStringLiteral("Long Session");
    input.recordingPath = root;
    input.masterWavPath = take + QStringLiteral("/Master_Audio_Output.wav");
    for (int id = 1; id <= kCameras; ++id) {
        input.videoFilePaths.insert(id, take + QStringLiteral("/Camera_%1.mp4").arg(id, 2, 10, QLatin1Char('0')));
        input.audioFilePaths.insert(id, take + QStringLiteral("/Channel_%1_Audio.wav").arg(id, 2, 10, QLatin1Char('0')));
        input.channelCameraLinks.insert(id, id);
    }
    // Cuts spread over the take with uneven gaps; the active camera never
    // repeats, as the recorder only notes real changes.
    uint32_t seed = 12345;
    int64_t t = 0;
    int source = 1;
    for (int i = 0; i < kCuts; ++i) {
        input.cuts.append({source, t});
        seed = seed * 1664525u + 1013904223u;
        source = 1 + (source + static_cast<int>(seed >> 30) % (kCameras - 1)) % kCameras;
        t = static_cast<int64_t>(i + 1) * kDurationMs / kCuts + (seed >> 20) % 500;
    }
    input.durationMs = kDurationMs;
    input.startTimecode = QStringLiteral("10:00:00:00");
    return input;
}

struct Stats
{
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
};

Stats stats(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front(), samples.back()};
}

void print(const QJsonObject &object)
{
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

// CPU time of this thread: the machine is shared, so wall time alone says
// more about the neighbours than about the export.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const TimelineExportInput input = longTake(root.path());
    QDir().mkpath(root.path() + QStringLiteral("/Long Session/Take_01"));
    qInstallMessageHandler(quiet);

    std::vector<double> render, exported, renderCpu, exportedCpu;
    qint64 bytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        double cpu = threadCpuMs();
        const QByteArray document = renderTimelineXml(TimelineExporter::describe(input));
        render.push_back(timer.nsecsElapsed() / 1e6);
        renderCpu.push_back(threadCpuMs() - cpu);
        bytes = document.size();

        TimelineExporter exporter(root.path() + QStringLiteral("/data"));
        timer.restart();
        cpu = threadCpuMs();
        const TimelineExportResult result = exporter.exportTake(input);
        exported.push_back(timer.nsecsElapsed() / 1e6);
        exportedCpu.push_back(threadCpuMs() - cpu);
        if (!result.manifestWritten) {
            std::fprintf(stderr, "export failed\n");
            return 1;
        }
    }

    const QJsonObject common{{"cuts", kCuts}, {"cameras", kCameras}, {"duration_ms", qint64(kDurationMs)}, {"runs", kRuns}};
    const Stats r = stats(render);
    QJsonObject renderLine = common;
    renderLine.insert("bench", "timeline_render");
    renderLine.insert("median_ms", r.medianMs);
    renderLine.insert("min_ms", r.minMs);
    renderLine.insert("max_ms", r.maxMs);
    renderLine.insert("cpu_median_ms", stats(renderCpu).medianMs);
    renderLine.insert("document_bytes", bytes);
    print(renderLine);

    const Stats e = stats(exported);
    QJsonObject exportLine = common;
    exportLine.insert("bench", "timeline_export");
    exportLine.insert("median_ms", e.medianMs);
    exportLine.insert("min_ms", e.minMs);
    exportLine.insert("max_ms", e.maxMs);
    exportLine.insert("cpu_median_ms", stats(exportedCpu).medianMs);
    exportLine.insert("target_ms", 100);
    exportLine.insert("files", 3);
    print(exportLine);
    return 0;
}
