#pragma once

#include "encoding/EncoderBenchmark.h"
#include "encoding/EncoderCatalog.h"
#include "encoding/hardware/GpuAdapter.h"
#include "platform/WorkerResult.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The encoding side of the application: the graphics adapters and processor,
// the list of encoders that really work here (each probed by a short encode),
// and the measured benchmark with the recommendation it gives. The
// application manager owns it and forwards its properties.
//
// Threads: everything is called on the GUI thread. refreshEncoderCapabilities
// starts a probe thread (adapters, then a short encode with every candidate)
// and runHardwareBenchmark a benchmark thread that only encodes test clips;
// each works on copies and hands its result back by a queued call, so every
// member is read and written on the GUI thread alone. The probe thread calls
// the detector and the probe function, nothing else. The destructor waits
// for both threads.
class HardwareCapabilities : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList encoderCapabilities READ encoderCapabilities NOTIFY encoderCapabilitiesChanged)
    Q_PROPERTY(QString hardwareGpuInfo READ hardwareGpuInfo NOTIFY hardwareInfoChanged)
    Q_PROPERTY(QString hardwareCpuInfo READ hardwareCpuInfo NOTIFY hardwareInfoChanged)
    Q_PROPERTY(QString hardwareSummary READ hardwareSummary NOTIFY hardwareInfoChanged)
    Q_PROPERTY(bool isBenchmarking READ isBenchmarking NOTIFY benchmarkStateChanged)
    Q_PROPERTY(QString benchmarkSummary READ benchmarkSummary NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedResolutionIndex READ recommendedResolutionIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedFramerateIndex READ recommendedFramerateIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedEncoderIndex READ recommendedEncoderIndex NOTIFY benchmarkStateChanged)
    Q_PROPERTY(int recommendedQualityIndex READ recommendedQualityIndex NOTIFY benchmarkStateChanged)

public:
    using Probe = std::function<bool(const EncoderOption &)>;
    using Measure = std::function<double(const EncoderOption &, const std::string &preset)>;

    // detector: where adapters come from (the kernel's DRM folder when null);
    // probe and measure: replaceable in tests.
    explicit HardwareCapabilities(std::unique_ptr<IGpuDetector> detector = nullptr, Probe probe = {},
                                  Measure measure = {}, QObject *parent = nullptr);
    ~HardwareCapabilities() override;

    QVariantList encoderCapabilities() const;
    QString hardwareGpuInfo() const { return m_gpuInfo; }
    QString hardwareCpuInfo() const { return m_cpuInfo; }
    QString hardwareSummary() const { return m_summary; }
    bool isBenchmarking() const { return m_benchmarking; }
    QString benchmarkSummary() const { return m_benchmarkSummary; }
    int recommendedResolutionIndex() const { return m_recommendation.resolutionIndex; }
    int recommendedFramerateIndex() const { return m_recommendation.framerateIndex; }
    // The rate recommendedFramerateIndex names.
    double recommendedFramerate() const { return m_recommendation.framerate; }
    int recommendedEncoderIndex() const { return m_recommendation.encoderIndex; }
    int recommendedQualityIndex() const { return 2; }

    // The row of the list, row 0 (software H.264) for an index out of range.
    EncoderOption option(int index) const;
    const std::vector<EncoderOption> &options() const { return m_options; }
    // Speed preset for a take with the row, from the last benchmark.
    std::string speedPresetFor(int index, int channels, int width, int height) const;

    // Starts detecting and probing on the probe thread and returns at once;
    // the texts and the list are published together when it is done
    // (hardwareInfoChanged, encoderCapabilitiesChanged). A call while a probe
    // runs probes once more after it.
    Q_INVOKABLE void refreshEncoderCapabilities();
    bool isProbing() const { return m_probing; }
    // Replaces what measures one option's speed (tests); not while a benchmark runs.
    void setMeasure(Measure measure);
    // Starts the measurement on a worker thread; false while one runs. Asked
    // during a probe, it starts once the list is known.
    Q_INVOKABLE bool runHardwareBenchmark();

signals:
    void encoderCapabilitiesChanged();
    void hardwareInfoChanged();
    void benchmarkStateChanged();

private slots:
    // The workers' results, on this object's thread.
    void publishDetection();
    void finishBenchmark();

private:
    struct Detection
    {
        std::vector<GpuAdapter> adapters;
        std::vector<EncoderOption> options;
    };
    void startProbe();
    void startBenchmark();

    std::unique_ptr<IGpuDetector> m_detector;
    Probe m_probe;
    Measure m_measure;
    std::vector<EncoderOption> m_options;
    QString m_gpuInfo = QStringLiteral("Detecting GPU...");
    QString m_cpuInfo = QStringLiteral("Detecting CPU...");
    QString m_summary = QStringLiteral("Scanning hardware acceleration...");
    bool m_benchmarking = false;
    QString m_benchmarkSummary;
    // Until a benchmark has run: 1080p60 in the settings window's lists.
    EncoderBenchmark::Recommendation m_recommendation{2, 8, 60.0, 0};
    std::vector<EncoderBenchmark::Result> m_results;
    std::thread m_worker;
    std::thread m_probeWorker;
    WorkerResult<Detection> m_detection;
    WorkerResult<std::vector<EncoderBenchmark::Result>> m_measured;
    bool m_probing = false;
    bool m_probeAgain = false;
    bool m_benchmarkAfterProbe = false;
};
