#pragma once

#include "encoding/hardware/GpuAdapter.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

// One row of the encoder list: what the settings window shows and what the
// take records with when the row is chosen.
struct EncoderOption
{
    QString name;            // "Software H.264", "NVENC HEVC", "VAAPI H.264", ...
    QString note;            // "CPU Encoding" or "Hardware Accelerated"
    std::string encoderName; // FFmpeg encoder: "libx264", "hevc_vaapi", ...
    bool hevc = false;
    std::string device;      // render node for VAAPI
    bool software = false;
};

namespace EncoderCatalog {

// Every encoder worth trying on these adapters: the two software encoders
// first, then NVENC on NVIDIA, VAAPI on every adapter with a render node,
// QSV on Intel; H.264 before HEVC.
std::vector<EncoderOption> candidates(const std::vector<GpuAdapter> &adapters);

// Encodes a few small frames with the option; true when every one came out.
bool probe(const EncoderOption &option);

// The candidates that pass probe (an injected probe in tests).
std::vector<EncoderOption> available(const std::vector<GpuAdapter> &adapters,
                                     const std::function<bool(const EncoderOption &)> &probeFn = probe);

} // namespace EncoderCatalog
