#pragma once

#include <optional>

// The bit rates a "Quality Preset" entry of the settings window stands for:
// 0 Low, 1 Medium, 2 High, 3 Ultra set a target and a peak (1.5 x target);
// 4 Lossless asks for constant quantizer 0, which libx264 encodes losslessly.
struct QualityPreset
{
    int targetBitrateKbps = 0;
    int maxBitrateKbps = 0;
    bool lossless = false;
};

inline constexpr int kLosslessQualityIndex = 4;

// The preset of a quality index; none for an index outside the list.
std::optional<QualityPreset> qualityPresetFor(int qualityIndex);
