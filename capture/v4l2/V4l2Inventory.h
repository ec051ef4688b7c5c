#pragma once

#include "capture/VideoDeviceInfo.h"
#include "capture/v4l2/V4l2Api.h"

#include <cstdint>
#include <string>
#include <vector>

// Device and format listing of V4L2 capture devices. Only nodes that offer
// single-planar video capture with streaming I/O are listed.
namespace V4l2Inventory {

// Every capture node in /dev/videoN order: name = the driver's card name,
// link = its /dev/v4l/by-id/ path when it has one, else the node itself.
std::vector<VideoDeviceInfo> listDevices(V4l2Api &api);

// The raw enumeration of formats x frame sizes x frame intervals, in the
// device's order, capabilityIndex = position in this list. Stepwise and
// continuous sizes or intervals are expanded through the common-mode tables.
// Empty when the link does not open as a capture device.
std::vector<VideoFormatInfo> rawFormats(V4l2Api &api, const std::string &link);

// rawFormats, de-duplicated and sorted (FormatList::normalized).
std::vector<VideoFormatInfo> listFormats(V4l2Api &api, const std::string &link);

// "RGB24", "YUY2", "MJPEG" or "Unknown" for a V4L2 fourcc.
std::string formatName(uint32_t fourcc);

// True for a node that offers single-planar capture with streaming I/O.
bool isCaptureDevice(V4l2Api &api, int fd, std::string *card = nullptr);

} // namespace V4l2Inventory
