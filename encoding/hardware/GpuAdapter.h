#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One graphics adapter as the platform reports it.
struct GpuAdapter
{
    uint16_t vendorId = 0;
    uint16_t deviceId = 0;
    QString description; // "NVIDIA Corporation GA102 [GeForce RTX 3090]"
    QString driver;      // kernel driver, "" when unknown
    QString renderNode;  // "/dev/dri/renderD128", "" when there is none
};

// Lists the graphics adapters of the machine; an empty list when there are
// none or the platform cannot tell.
class IGpuDetector
{
public:
    virtual ~IGpuDetector() = default;
    virtual std::vector<GpuAdapter> adapters() const = 0;
};

namespace PciVendor {
constexpr uint16_t Nvidia = 0x10de;
constexpr uint16_t Amd = 0x1002;
constexpr uint16_t Intel = 0x8086;
} // namespace PciVendor
