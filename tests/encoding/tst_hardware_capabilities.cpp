#include "encoding/HardwareCapabilities.h"
#include "encoding/hardware/sysfs/PciIdNames.h"
#include "encoding/hardware/sysfs/SysfsGpuDetector.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

const QByteArray kPciIds = "# test database\n"
                           "10de  NVIDIA Corporation\n"
                           "\t2204  GA102 [GeForce RTX 3090]\n"
                           "\t\t10de 1454  subsystem line\n"
                           "8086  Intel Corporation\n"
                           "\t9a49  TigerLake-LP GT2 [Iris Xe Graphics]\n"
                           "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n";

class FixedGpus : public IGpuDetector
{
public:
    explicit FixedGpus(std::vector<GpuAdapter> list) : m_list(std::move(list)) {}
    std::vector<GpuAdapter> adapters() const override { return m_list; }

private:
    std::vector<GpuAdapter> m_list;
};

QStringList names(const std::vector<EncoderOption> &options)
{
    QStringList out;
    for (const EncoderOption &o : options)
        out << o.name;
    return out;
}

} // namespace

class HardwareCapabilitiesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { av_log_set_level(AV_LOG_QUIET); }

    void pciNames_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("device");
        QTest::addColumn<QString>("expected");
        QTest::newRow("device listed") << 0x10de << 0x2204 << "NVIDIA Corporation GA102 [GeForce RTX 3090]";
        QTest::newRow("second vendor") << 0x8086 << 0x9a49 << "Intel Corporation TigerLake-LP GT2 [Iris Xe Graphics]";
        QTest::newRow("device unknown") << 0x1002 << 0x1234 << "Advanced Micro Devices, Inc. [AMD/ATI]";
        QTest::newRow("subsystem id is no device") << 0x10de << 0x1454 << "NVIDIA Corporation";
        QTest::newRow("vendor unknown") << 0x1af4 << 0x1050 << "PCI 1af4:1050";
    }
    void pciNames()
    {
        QFETCH(int, vendor);
        QFETCH(int, device);
        QFETCH(QString, expected);
        const QString db = dir.filePath("pci.ids");
        writeFile(db, kPciIds);
        QCOMPARE(PciIdNames::describe(db, uint16_t(vendor), uint16_t(device)), expected);
        QCOMPARE(PciIdNames::describe(dir.filePath("missing.ids"), 0x10de, 0x2204), QString("PCI 10de:2204"));
    }

    void sysfsDetection()
    {
        // /sys/class/drm as the kernel lays it out: card and render entries
        // are links to the PCI device; connectors are ignored.
        const QString root = dir.filePath("sys");
        const QString devices = root + "/devices/pci0000:00";
        writeFile(devices + "/0000:01:00.0/vendor", "0x10de\n");
        writeFile(devices + "/0000:01:00.0/device", "0x2204\n");
        writeFile(devices + "/0000:00:02.0/vendor", "0x8086\n");
        writeFile(devices + "/0000:00:02.0/device", "0x9a49\n");
        QDir().mkpath(root + "/drivers/nvidia");
        QFile::link(root + "/drivers/nvidia", devices + "/0000:01:00.0/driver");
        const QString drm = root + "/class/drm";
        for (const auto &[entry, device] : std::initializer_list<std::pair<const char *, const char *>>{
                 {"card0", "0000:01:00.0"}, {"renderD128", "0000:01:00.0"}, {"card1", "0000:00:02.0"}}) {
            QDir().mkpath(drm + "/" + entry);
            QFile::link(devices + "/" + device, drm + "/" + entry + "/device");
        }
        QDir().mkpath(drm + "/card0-HDMI-A-1");
        writeFile(dir.filePath("pci.ids"), kPciIds);

        const std::vector<GpuAdapter> found = SysfsGpuDetector(drm, dir.filePath("pci.ids"), "/dev/dri").adapters();
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(found[0].description, QString("NVIDIA Corporation GA102 [GeForce RTX 3090]"));
        QCOMPARE(found[0].renderNode, QString("/dev/dri/renderD128"));
        QCOMPARE(found[0].driver, QString("nvidia"));
        QCOMPARE(found[1].vendorId, PciVendor::Intel);
        QCOMPARE(found[1].renderNode, QString());
        QVERIFY(SysfsGpuDetector(dir.filePath("nothing")).adapters().empty());
    }

    void candidatesFollowAdapters()
    {
        std::vector<GpuAdapter> gpus(2);
        gpus[0].vendorId = PciVendor::Nvidia;
        gpus[1].vendorId = PciVendor::Intel;
        gpus[1].renderNode = "/dev/dri/renderD128";
        QCOMPARE(names(EncoderCatalog::candidates(gpus)),
                 (QStringList{"Software H.264", "Software HEVC", "NVENC H.264", "NVENC HEVC", "VAAPI H.264",
                              "VAAPI HEVC", "QSV H.264", "QSV HEVC"}));
        QCOMPARE(names(EncoderCatalog::candidates({})), (QStringList{"Software H.264", "Software HEVC"}));
        // Only what opens is listed, and each row records what it names.
        const auto list = EncoderCatalog::available(gpus, [](const EncoderOption &o) {
            return o.software || o.encoderName == "hevc_vaapi";
        });
        QCOMPARE(names(list), (QStringList{"Software H.264", "Software HEVC", "VAAPI HEVC"}));
        QCOMPARE(list[1].encoderName, std::string("libx265"));
        QVERIFY(list[1].hevc);
        QCOMPARE(list[2].device, std::string("/dev/dri/renderD128"));
    }

    void realProbesOnThisMachine()
    {
        QVERIFY(EncoderCatalog::probe({"Software H.264", "CPU Encoding", "libx264", false, {}, true}));
        QVERIFY(EncoderCatalog::probe({"Software HEVC", "CPU Encoding", "libx265", true, {}, true}));
        QVERIFY(!EncoderCatalog::probe({"Nothing", "", "no_such_encoder", false, {}, false}));
        // No GPU here: the hardware encoders must not open.
        if (SysfsGpuDetector().adapters().empty())
            QVERIFY(!EncoderCatalog::probe({"NVENC H.264", "", "h264_nvenc", false, {}, false}));
    }

    void detectionTexts_data()
    {
        QTest::addColumn<bool>("withGpus");
        QTest::addColumn<QString>("gpu");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << false << "No GPU detected" << "[UNAVAILABLE] Hardware encoding not found" << 2;
        QTest::newRow("two") << true << "NVIDIA Corporation X | Virtual adapter" << "[AVAILABLE] Hardware encoding supported" << 4;
    }
    void detectionTexts()
    {
        QFETCH(bool, withGpus);
        QFETCH(QString, gpu);
        QFETCH(QString, summary);
        QFETCH(int, rows);
        std::vector<GpuAdapter> gpus;
        if (withGpus) {
            gpus.resize(2);
            gpus[0].vendorId = PciVendor::Nvidia;
            gpus[0].description = "NVIDIA Corporation X";
            gpus[1].vendorId = 0x1af4;
            gpus[1].description = "Virtual adapter";
        }
        HardwareCapabilities caps(std::make_unique<FixedGpus>(gpus), [](const EncoderOption &) { return true; });
        QCOMPARE(caps.hardwareGpuInfo(), QString("Detecting GPU..."));
        QSignalSpy info(&caps, &HardwareCapabilities::hardwareInfoChanged);
        QSignalSpy list(&caps, &HardwareCapabilities::encoderCapabilitiesChanged);
        caps.refreshEncoderCapabilities();
        QVERIFY(list.wait());
        QCOMPARE(info.count(), 1);
        QCOMPARE(list.count(), 1);
        QVERIFY(!caps.isProbing());
        QCOMPARE(caps.hardwareGpuInfo(), gpu);
        QCOMPARE(caps.hardwareSummary(), summary);
        QVERIFY(caps.hardwareCpuInfo().endsWith(QString(" | %1 threads").arg(QThread::idealThreadCount())));
        const QVariantList entries = caps.encoderCapabilities();
        QCOMPARE(entries.size(), rows);
        QCOMPARE(entries[0].toMap(), (QVariantMap{{"name", "Software H.264"}, {"note", "CPU Encoding"}}));
        QCOMPARE(entries[1].toMap().value("name").toString(), QString("Software HEVC"));
        QCOMPARE(caps.option(1).encoderName, std::string("libx265"));
        QCOMPARE(caps.option(99).encoderName, std::string("libx264"));
    }

    // The probe encodes run on their own thread: the caller returns at once
    // with the old texts and an empty list, which arrive together when the
    // probe is done. A refresh and a benchmark asked for meanwhile follow it.
    void probeRunsOffTheCallersThread()
    {
        std::mutex lock;
        std::condition_variable released;
        bool open = false;
        std::vector<std::thread::id> probeThreads;
        std::atomic<int> measured{0};
        HardwareCapabilities caps(
            std::make_unique<FixedGpus>(std::vector<GpuAdapter>{}),
            [&](const EncoderOption &) {
                std::unique_lock guard(lock);
                probeThreads.push_back(std::this_thread::get_id());
                released.wait(guard, [&] { return open; });
                return true;
            },
            [&](const EncoderOption &, const std::string &) {
                ++measured;
                return 100.0;
            });
        QSignalSpy list(&caps, &HardwareCapabilities::encoderCapabilitiesChanged);
        QSignalSpy info(&caps, &HardwareCapabilities::hardwareInfoChanged);
        QSignalSpy bench(&caps, &HardwareCapabilities::benchmarkStateChanged);
        caps.refreshEncoderCapabilities();
        QVERIFY(caps.isProbing());
        QVERIFY(caps.encoderCapabilities().isEmpty());
        QCOMPARE(caps.hardwareSummary(), QString("Scanning hardware acceleration..."));
        QCOMPARE(caps.option(5).encoderName, std::string("libx264")); // a take meanwhile records software H.264
        caps.refreshEncoderCapabilities();
        QVERIFY(caps.runHardwareBenchmark());
        QVERIFY(caps.isBenchmarking());
        QCOMPARE(bench.count(), 1);
        QTest::qWait(50);
        QCOMPARE(list.count(), 0);
        QCOMPARE(measured.load(), 0);
        {
            std::lock_guard guard(lock);
            open = true;
        }
        released.notify_all();
        // The second refresh probes again, then the benchmark runs on that list.
        QTRY_COMPARE(list.count(), 2);
        QCOMPARE(info.count(), 2);
        QCOMPARE(caps.encoderCapabilities().size(), 2);
        QCOMPARE(caps.hardwareSummary(), QString("[UNAVAILABLE] Hardware encoding not found"));
        QTRY_VERIFY(!caps.isBenchmarking());
        QCOMPARE(bench.count(), 2);
        QCOMPARE(measured.load(), 5); // x264 at three presets, x265 at two
        std::lock_guard guard(lock);
        QCOMPARE(probeThreads.size(), size_t(4));
        for (const std::thread::id &id : probeThreads)
            QVERIFY(id != std::this_thread::get_id());
    }

    void recommendation_data()
    {
        QTest::addColumn<double>("fastest");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("framerate");
        QTest::addColumn<double>("rate");
        // Frame-rate indices of the settings window's list (4 = 30.00, 8 = 60.00).
        QTest::newRow("4K60 fits") << 4.0 * 60 * 1.2 * 4 << 0 << 8 << 60.0;
        QTest::newRow("1080p30") << 180.0 << 2 << 4 << 30.0;
        QTest::newRow("1440p30") << 300.0 << 1 << 4 << 30.0;
        QTest::newRow("1080p25") << 128.0 << 2 << 2 << 25.0;
        QTest::newRow("too slow for anything") << 10.0 << 4 << 0 << 23.976;
    }
    void recommendation()
    {
        QFETCH(double, fastest);
        QFETCH(int, resolution);
        QFETCH(int, framerate);
        QFETCH(double, rate);
        const std::vector<EncoderBenchmark::Result> results{{0, "veryfast", fastest / 3}, {1, "veryfast", fastest}};
        const EncoderBenchmark::Recommendation r = EncoderBenchmark::recommend(results);
        QCOMPARE(r.resolutionIndex, resolution);
        QCOMPARE(r.framerateIndex, framerate);
        QCOMPARE(r.framerate, rate);
        QCOMPARE(r.encoderIndex, 1);
    }

    void speedPreset_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one 1080p") << 1 << QSize(1920, 1080) << "veryfast";
        QTest::newRow("two 1080p") << 2 << QSize(1920, 1080) << "superfast";
        QTest::newRow("four 1080p") << 4 << QSize(1920, 1080) << "ultrafast";
        QTest::newRow("four 720p") << 4 << QSize(1280, 720) << "superfast";
        QTest::newRow("nothing keeps up") << 4 << QSize(3840, 2160) << "ultrafast";
    }
    void speedPreset()
    {
        QFETCH(int, channels);
        QFETCH(QSize, size);
        QFETCH(QString, expected);
        const std::vector<EncoderBenchmark::Result> results{
            {0, "veryfast", 60.0}, {0, "superfast", 90.0}, {0, "ultrafast", 180.0}};
        QCOMPARE(QString::fromStdString(EncoderBenchmark::speedPresetFor(results, 0, channels, size.width(), size.height())),
                 expected);
        QCOMPARE(EncoderBenchmark::speedPresetFor({}, 0, 4, 1920, 1080), std::string("veryfast"));
    }

    void benchmarkRunsOnWorkerAndReports()
    {
        HardwareCapabilities caps(std::make_unique<FixedGpus>(std::vector<GpuAdapter>{}),
                                  [](const EncoderOption &) { return true; },
                                  [](const EncoderOption &o, const std::string &preset) {
                                      QThread::msleep(20);
                                      if (o.encoderName == "libx265")
                                          return preset == "ultrafast" ? 30.0 : 10.0;
                                      return preset == "ultrafast" ? 180.0 : preset == "superfast" ? 100.0 : 70.0;
                                  });
        caps.refreshEncoderCapabilities();
        QSignalSpy state(&caps, &HardwareCapabilities::benchmarkStateChanged);
        QVERIFY(caps.runHardwareBenchmark());
        QVERIFY(caps.isBenchmarking());
        QVERIFY(!caps.runHardwareBenchmark());
        QTRY_VERIFY(!caps.isBenchmarking());
        QCOMPARE(state.count(), 2);
        QCOMPARE(caps.benchmarkSummary(),
                 QString("Software H.264 veryfast: 70.0 fps | Software H.264 superfast: 100.0 fps | "
                         "Software H.264 ultrafast: 180.0 fps | Software HEVC veryfast: 10.0 fps | "
                         "Software HEVC ultrafast: 30.0 fps"));
        QCOMPARE(caps.recommendedResolutionIndex(), 2);
        QCOMPARE(caps.recommendedFramerateIndex(), 4);
        QCOMPARE(caps.recommendedFramerate(), 30.0);
        QCOMPARE(caps.recommendedEncoderIndex(), 0);
        QCOMPARE(caps.speedPresetFor(0, 2, 1920, 1080), std::string("superfast"));
    }

    void realMeasurement()
    {
        const EncoderOption x264{"Software H.264", "CPU Encoding", "libx264", false, {}, true};
        QVERIFY(EncoderBenchmark::measure(x264, "ultrafast", 8) > 0.0);
        QCOMPARE(EncoderBenchmark::measure({"No", "", "no_such_encoder", false, {}, false}, "", 8), 0.0);
    }
};

QTEST_GUILESS_MAIN(HardwareCapabilitiesTest)
#include "tst_hardware_capabilities.moc"
