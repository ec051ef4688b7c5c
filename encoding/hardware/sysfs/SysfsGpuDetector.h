#pragma once

#include "encoding/hardware/GpuAdapter.h"

// Graphics adapters from the kernel's DRM class folder: every "cardN" entry
// with a PCI device gives one adapter, named from the PCI ID database, with
// its driver and the render node of the same device. A missing folder gives
// no adapters. The roots can be pointed at a test tree.
class SysfsGpuDetector final : public IGpuDetector
{
public:
    explicit SysfsGpuDetector(QString drmClassFolder = QStringLiteral("/sys/class/drm"),
                              QString pciIdDatabase = QString(), QString deviceFolder = QStringLiteral("/dev/dri"));
    std::vector<GpuAdapter> adapters() const override;

private:
    QString m_drm;
    QString m_pciIds;
    QString m_dev;
};
