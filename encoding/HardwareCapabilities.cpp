#include "encoding/HardwareCapabilities.h"

#include "encoding/hardware/sysfs/SysfsGpuDetector.h"

#include <QDebug>
#include <QStringList>
#include <QSysInfo>
#include <QThread>
#include <QVariantMap>

#include <algorithm>

HardwareCapabilities::HardwareCapabilities(std::unique_ptr<IGpuDetector> detector, Probe probe, Measure measure,
                                           QObject *parent)
    : QObject(parent),
      m_detector(detector ? std::move(detector) : std::make_unique<SysfsGpuDetector>()),
      m_probe(probe ? std::move(probe) : Probe(&EncoderCatalog::probe)),
      m_measure(measure ? std::move(measure) : Measure([](const EncoderOption &o, const std::string &p) {
          return EncoderBenchmark::measure(o, p);
      }))
{
}

HardwareCapabilities::~HardwareCapabilities()
{
    // A result still queued for this object is dropped with it.
    if (m_probeWorker.joinable())
        m_probeWorker.join();
    if (m_worker.joinable())
        m_worker.join();
}

QVariantList HardwareCapabilities::encoderCapabilities() const
{
    QVariantList list;
    for (const EncoderOption &o : m_options)
        list.append(QVariantMap{{QStringLiteral("name"), o.name}, {QStringLiteral("note"), o.note}});
    return list;
}

EncoderOption HardwareCapabilities::option(int index) const
{
    if (index >= 0 && size_t(index) < m_options.size())
        return m_options[size_t(index)];
    if (!m_options.empty())
        return m_options.front();
    return {QStringLiteral("Software H.264"), QStringLiteral("CPU Encoding"), "libx264", false, {}, true};
}

std::string HardwareCapabilities::speedPresetFor(int index, int channels, int width, int height) const
{
    return EncoderBenchmark::speedPresetFor(m_results, index, channels, width, height);
}

void HardwareCapabilities::refreshEncoderCapabilities()
{
    if (m_probing) {
        m_probeAgain = true;
        return;
    }
    startProbe();
}

void HardwareCapabilities::startProbe()
{
    if (m_probeWorker.joinable())
        m_probeWorker.join(); // the previous probe has already handed over its result
    m_probing = true;
    m_probeWorker = std::thread([this, detector = m_detector.get(), probe = m_probe] {
        Detection detection;
        detection.adapters = detector->adapters();
        detection.options = EncoderCatalog::available(detection.adapters, probe);
        m_detection.post(std::move(detection), this, "publishDetection");
    });
}

void HardwareCapabilities::publishDetection()
{
    const std::optional<Detection> posted = m_detection.take();
    if (!posted)
        return;
    const Detection &detection = *posted;
    QStringList names;
    for (const GpuAdapter &a : detection.adapters)
        names << a.description;
    m_gpuInfo = names.isEmpty() ? QStringLiteral("No GPU detected") : names.join(QStringLiteral(" | "));
    m_cpuInfo = QStringLiteral("%1 | %2 threads").arg(QSysInfo::currentCpuArchitecture()).arg(QThread::idealThreadCount());
    m_options = detection.options;
    const bool hardware = std::any_of(m_options.begin(), m_options.end(), [](const EncoderOption &o) { return !o.software; });
    m_summary = hardware ? QStringLiteral("[AVAILABLE] Hardware encoding supported")
                         : QStringLiteral("[UNAVAILABLE] Hardware encoding not found");
    m_results.clear();
    m_probing = false;
    emit hardwareInfoChanged();
    emit encoderCapabilitiesChanged();

    if (m_probeAgain) {
        m_probeAgain = false;
        startProbe();
    } else if (m_benchmarkAfterProbe) {
        m_benchmarkAfterProbe = false;
        startBenchmark();
    }
}

void HardwareCapabilities::setMeasure(Measure measure)
{
    if (!m_benchmarking && measure)
        m_measure = std::move(measure);
}

bool HardwareCapabilities::runHardwareBenchmark()
{
    if (m_benchmarking)
        return false;
    m_benchmarking = true;
    m_benchmarkSummary = QStringLiteral("Benchmark running...");
    emit benchmarkStateChanged();
    if (m_probing)
        m_benchmarkAfterProbe = true; // measured on the list the probe is finding
    else
        startBenchmark();
    return true;
}

void HardwareCapabilities::startBenchmark()
{
    if (m_worker.joinable())
        m_worker.join();
    m_worker = std::thread([this, options = m_options, measure = m_measure] {
        std::vector<EncoderBenchmark::Result> results;
        for (size_t i = 0; i < options.size(); ++i) {
            std::vector<std::string> presets{""};
            if (options[i].encoderName == "libx264")
                presets = {"veryfast", "superfast", "ultrafast"};
            else if (options[i].software)
                presets = {"veryfast", "ultrafast"};
            for (const std::string &preset : presets)
                results.push_back({int(i), preset, measure(options[i], preset)});
        }
        m_measured.post(std::move(results), this, "finishBenchmark");
    });
}

void HardwareCapabilities::finishBenchmark()
{
    std::optional<std::vector<EncoderBenchmark::Result>> results = m_measured.take();
    if (!results)
        return;
    if (m_worker.joinable())
        m_worker.join();
    m_results = std::move(*results);
    m_recommendation = EncoderBenchmark::recommend(m_results);
    m_benchmarkSummary = EncoderBenchmark::summary(m_results, m_options);
    m_benchmarking = false;
    qDebug().noquote() << "[ApplicationManager] Benchmark:" << m_benchmarkSummary;
    emit benchmarkStateChanged();
}
