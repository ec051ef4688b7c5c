#include "encoding/hardware/sysfs/PciIdNames.h"

#include <QFile>

namespace PciIdNames {

QString defaultDatabase()
{
    for (const char *path : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    }
    return {};
}

QString describe(const QString &databasePath, uint16_t vendorId, uint16_t deviceId)
{
    const QString fallback = QStringLiteral("PCI %1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(deviceId, 4, 16, QLatin1Char('0'));
    QFile file(databasePath);
    if (databasePath.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallback;
    const QByteArray vendorKey = QByteArray::number(vendorId, 16).rightJustified(4, '0');
    const QByteArray deviceKey = QByteArray::number(deviceId, 16).rightJustified(4, '0');
    QString vendor;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue;
        if (vendor.isEmpty()) {
            if (line.startsWith(vendorKey) && line.size() > 6 && line[4] == ' ')
                vendor = QString::fromUtf8(line.mid(6)).trimmed();
            continue;
        }
        if (line[0] != '\t')
            break; // the next vendor: the device is not listed
        if (line.size() > 1 && line[1] != '\t' && line.mid(1, 4) == deviceKey)
            return vendor + QLatin1Char(' ') + QString::fromUtf8(line.mid(7)).trimmed();
    }
    return vendor.isEmpty() ? fallback : vendor;
}

} // namespace PciIdNames
