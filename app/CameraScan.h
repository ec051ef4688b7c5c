#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <vector>

// One format a camera offers, as the device layer reports it.
struct CameraScanFormat
{
    int width = 0;
    int height = 0;
    int fpsNumerator = 30;
    int fpsDenominator = 1;
    QString formatName;
};

// One camera with its formats, in the device layer's order.
struct CameraScanDevice
{
    QString name;
    QString link;
    std::vector<CameraScanFormat> formats;
};

// Lists the cameras; runs on the initialization worker thread, so it must not
// touch GUI-thread objects.
using CameraLister = std::function<std::vector<CameraScanDevice>()>;

// What the splash scan hands back to the GUI thread: the camera list as
// {"name", "link"} maps and, per link, the format maps
// {"width", "height", "fps", "formatName"}.
struct CameraScanResult
{
    QVariantList cameras;
    QVariantMap formats;
};

// Builds the result from the devices. "fps" is numerator / denominator, or 30
// when the denominator is below 1; a second device with the same link
// replaces the first one's formats.
CameraScanResult buildCameraScan(const std::vector<CameraScanDevice> &devices);
