// Four 1080p30 virtual cameras shown in four grid tiles and the main preview:
// how much of a core the GUI thread spends polling and drawing the previews,
// how much the scene graph's render thread spends, and how much the capture
// threads spend producing the frames. Prints one JSON object.
// Usage: bench_preview [seconds] [poll-only]

#include "capture/CameraCapture.h"
#include "capture/VideoStreamItem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickWindow>
#include <QTest>
#include <QThread>

#include <map>
#include <memory>
#include <time.h>
#include <unistd.h>

namespace {

// CPU seconds per thread name, from /proc/self/task/*/stat.
std::map<QString, double> threadCpuByName()
{
    std::map<QString, double> cpu;
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const QString &tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLatin1(stat.readAll());
        const int open = line.indexOf('('), close = line.lastIndexOf(')');
        const QString name = line.mid(open + 1, close - open - 1);
        const QStringList fields = line.mid(close + 2).split(' ');
        // fields[11] = utime, fields[12] = stime (after the state field at 0)
        cpu[name] += (fields.value(11).toDouble() + fields.value(12).toDouble()) / tick;
    }
    return cpu;
}

double threadCpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KORVEX_TEST_CAMERAS", "4");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    // "poll-only": the items keep polling but are hidden, so nothing is drawn;
    // the difference to a normal run is what drawing costs.
    const bool pollOnly = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("poll-only");

    std::map<int, std::shared_ptr<CameraCapture>> sources;
    for (int ch = 1; ch <= 4; ++ch) {
        auto source = std::make_shared<CameraCapture>();
        VideoFormatInfo format;
        for (const VideoFormatInfo &f : CameraCapture::enumerateVideoFormats(QStringLiteral("korvex-test://%1").arg(ch).toStdWString()))
            if (f.width == 1920 && f.fpsNumerator / f.fpsDenominator == 30)
                format = f;
        if (!source->open(QStringLiteral("korvex-test://%1").arg(ch).toStdWString(), format))
            return 1;
        sources[ch] = source;
    }
    VideoStreamItem::setSourceProvider([&](int ch) -> std::shared_ptr<ISource> {
        auto it = sources.find(ch);
        return it == sources.end() ? nullptr : it->second;
    });

    // The main window's layout: a 2x2 grid of tiles above, the program preview below.
    QQuickWindow window;
    window.resize(1280, 900);
    std::vector<std::unique_ptr<VideoStreamItem>> items;
    for (int ch = 1; ch <= 4; ++ch) {
        auto item = std::make_unique<VideoStreamItem>(window.contentItem());
        item->setChannelIndex(ch);
        item->setPosition(QPointF(((ch - 1) % 2) * 640, ((ch - 1) / 2) * 270));
        item->setSize(QSizeF(636, 266));
        items.push_back(std::move(item));
    }
    auto preview = std::make_unique<VideoStreamItem>(window.contentItem());
    preview->setChannelIndex(1);
    preview->setPosition(QPointF(0, 540));
    preview->setSize(QSizeF(640, 360));
    if (pollOnly) {
        for (auto &item : items)
            item->setVisible(false);
        preview->setVisible(false);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QTest::qWait(1000);

    const auto cpuBefore = threadCpuByName();
    const double guiBefore = threadCpuNow();
    QElapsedTimer wall;
    wall.start();
    int frames = 0;
    QObject::connect(&window, &QQuickWindow::frameSwapped, [&] { ++frames; });
    QTest::qWait(seconds * 1000);
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double gui = threadCpuNow() - guiBefore;
    const auto cpuAfter = threadCpuByName();

    double capture = 0, render = 0, other = 0;
    for (const auto &entry : cpuAfter) {
        const double used = entry.second - (cpuBefore.count(entry.first) ? cpuBefore.at(entry.first) : 0.0);
        if (entry.first.startsWith(QLatin1String("korvex-vcam")))
            capture += used;
        else if (entry.first.startsWith(QLatin1String("QSGRenderThread")))
            render += used;
        else
            other += used;
    }
    other -= gui;
    const QJsonObject result{
        {"bench", "preview"},
        {"scene", "4 virtual cameras 1920x1080@30, 4 tiles 636x266 + preview 640x360"},
        {"drawn", !pollOnly},
        {"seconds", elapsed},
        {"gui_thread_core_share", gui / elapsed},
        {"render_thread_core_share", render / elapsed},
        {"capture_threads_core_share", capture / elapsed},
        {"other_threads_core_share", other / elapsed},
        {"frames_presented_per_second", frames / elapsed},
        {"cores", QThread::idealThreadCount()},
    };
    printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
