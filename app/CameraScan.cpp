#include "app/CameraScan.h"

CameraScanResult buildCameraScan(const std::vector<CameraScanDevice> &devices)
{
    CameraScanResult result;
    for (const CameraScanDevice &device : devices) {
        result.cameras.append(QVariantMap{{QStringLiteral("name"), device.name},
                                          {QStringLiteral("link"), device.link}});
        QVariantList formats;
        for (const CameraScanFormat &format : device.formats) {
            const double fps = format.fpsDenominator < 1
                ? 30.0
                : static_cast<double>(format.fpsNumerator) / format.fpsDenominator;
            formats.append(QVariantMap{{QStringLiteral("width"), format.width},
                                       {QStringLiteral("height"), format.height},
                                       {QStringLiteral("fps"), fps},
                                       {QStringLiteral("formatName"), format.formatName}});
        }
        result.formats.insert(device.link, formats);
    }
    return result;
}
