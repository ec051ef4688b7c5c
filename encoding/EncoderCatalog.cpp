#include "encoding/EncoderCatalog.h"

#include "encoding/libav/LibavEncoder.h"

#include <QDir>
#include <QTemporaryDir>

namespace EncoderCatalog {

std::vector<EncoderOption> candidates(const std::vector<GpuAdapter> &adapters)
{
    const QString cpu = QStringLiteral("CPU Encoding");
    const QString gpu = QStringLiteral("Hardware Accelerated");
    std::vector<EncoderOption> list{
        {QStringLiteral("Software H.264"), cpu, "libx264", false, {}, true},
        {QStringLiteral("Software HEVC"), cpu, "libx265", true, {}, true},
    };
    bool nvidia = false, intel = false;
    int renderNodes = 0;
    for (const GpuAdapter &a : adapters) {
        nvidia |= a.vendorId == PciVendor::Nvidia;
        intel |= a.vendorId == PciVendor::Intel;
        renderNodes += a.renderNode.isEmpty() ? 0 : 1;
    }
    if (nvidia) {
        list.push_back({QStringLiteral("NVENC H.264"), gpu, "h264_nvenc", false, {}, false});
        list.push_back({QStringLiteral("NVENC HEVC"), gpu, "hevc_nvenc", true, {}, false});
    }
    for (const GpuAdapter &a : adapters) {
        if (a.renderNode.isEmpty())
            continue;
        const QString where = renderNodes > 1 ? QStringLiteral(" (%1)").arg(a.renderNode.section('/', -1)) : QString();
        list.push_back({QStringLiteral("VAAPI H.264") + where, gpu, "h264_vaapi", false, a.renderNode.toStdString(), false});
        list.push_back({QStringLiteral("VAAPI HEVC") + where, gpu, "hevc_vaapi", true, a.renderNode.toStdString(), false});
    }
    if (intel) {
        list.push_back({QStringLiteral("QSV H.264"), gpu, "h264_qsv", false, {}, false});
        list.push_back({QStringLiteral("QSV HEVC"), gpu, "hevc_qsv", true, {}, false});
    }
    return list;
}

bool probe(const EncoderOption &option)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    EncoderSettings s;
    s.outputPath = dir.filePath(QStringLiteral("probe.mp4")).toStdWString();
    s.width = 256;
    s.height = 256;
    s.encoderName = option.encoderName;
    s.useHevc = option.hevc;
    s.hardwareDevice = option.device;
    s.speedPreset = "ultrafast";
    LibavEncoder encoder;
    encoder.setQuiet(true);
    if (!encoder.open(s))
        return false;
    constexpr int kFrames = 3;
    for (int i = 0; i < kFrames; ++i) {
        encoder.pushFrame(VideoFrame::fromPixels(std::vector<uint8_t>(size_t(256) * 256 * 4, uint8_t(i * 40)), 256,
                                                 256, i));
    }
    encoder.stop();
    return encoder.stats().framesEncoded == kFrames && encoder.stats().bytesWritten > 0;
}

std::vector<EncoderOption> available(const std::vector<GpuAdapter> &adapters,
                                     const std::function<bool(const EncoderOption &)> &probeFn)
{
    std::vector<EncoderOption> list;
    for (const EncoderOption &option : candidates(adapters)) {
        if (probeFn(option))
            list.push_back(option);
    }
    return list;
}

} // namespace EncoderCatalog
