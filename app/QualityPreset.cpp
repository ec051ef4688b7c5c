#include "app/QualityPreset.h"

#include <array>

std::optional<QualityPreset> qualityPresetFor(int qualityIndex)
{
    static constexpr std::array<int, 4> targets = {4000, 8000, 16000, 30000};
    if (qualityIndex == kLosslessQualityIndex)
        return QualityPreset{0, 0, true};
    if (qualityIndex < 0 || qualityIndex >= static_cast<int>(targets.size()))
        return std::nullopt;
    const int target = targets[static_cast<size_t>(qualityIndex)];
    return QualityPreset{target, target * 3 / 2, false};
}
