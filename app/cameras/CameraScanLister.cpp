#include "app/cameras/CameraScanLister.h"

#include "capture/CameraCapture.h"

std::vector<CameraScanDevice> listCamerasForScan()
{
    std::vector<CameraScanDevice> devices;
    for (const VideoDeviceInfo &info : CameraCapture::enumerateVideoDevices()) {
        CameraScanDevice device;
        device.name = QString::fromStdWString(info.name);
        device.link = QString::fromStdWString(info.link);
        for (const VideoFormatInfo &f : CameraCapture::enumerateVideoFormats(info.link))
            device.formats.push_back({f.width, f.height, f.fpsNumerator, f.fpsDenominator,
                                      QString::fromStdString(f.formatName)});
        devices.push_back(std::move(device));
    }
    return devices;
}
