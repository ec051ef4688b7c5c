#include "encoding/hardware/sysfs/SysfsGpuDetector.h"

#include "encoding/hardware/sysfs/PciIdNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

uint16_t readHexId(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const uint value = QString::fromLatin1(f.readAll()).trimmed().toUInt(&ok, 16);
    return ok ? uint16_t(value) : 0;
}

} // namespace

SysfsGpuDetector::SysfsGpuDetector(QString drmClassFolder, QString pciIdDatabase, QString deviceFolder)
    : m_drm(std::move(drmClassFolder)),
      m_pciIds(pciIdDatabase.isEmpty() ? PciIdNames::defaultDatabase() : std::move(pciIdDatabase)),
      m_dev(std::move(deviceFolder))
{
}

std::vector<GpuAdapter> SysfsGpuDetector::adapters() const
{
    std::vector<GpuAdapter> result;
    const QDir drm(m_drm);
    if (!drm.exists())
        return result;
    static const QRegularExpression cardName(QStringLiteral("^card\\d+$"));
    static const QRegularExpression renderName(QStringLiteral("^renderD\\d+$"));
    const QStringList entries = drm.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (!cardName.match(entry).hasMatch())
            continue;
        const QString device = drm.filePath(entry + QStringLiteral("/device"));
        GpuAdapter a;
        a.vendorId = readHexId(device + QStringLiteral("/vendor"));
        a.deviceId = readHexId(device + QStringLiteral("/device"));
        if (a.vendorId == 0)
            continue; // not a PCI device
        a.description = PciIdNames::describe(m_pciIds, a.vendorId, a.deviceId);
        a.driver = QFileInfo(device + QStringLiteral("/driver")).symLinkTarget().section(QLatin1Char('/'), -1);
        const QString canonical = QFileInfo(device).canonicalFilePath();
        for (const QString &other : entries) {
            if (renderName.match(other).hasMatch()
                && QFileInfo(drm.filePath(other + QStringLiteral("/device"))).canonicalFilePath() == canonical) {
                a.renderNode = m_dev + QLatin1Char('/') + other;
                break;
            }
        }
        result.push_back(a);
    }
    return result;
}
