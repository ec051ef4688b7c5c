#pragma once

#include "capture/VideoDeviceInfo.h"

#include <string>
#include <vector>

// The virtual test cameras: KORVEX_TEST_CAMERAS=N (1..4) lists N devices
// "Korvex Test Camera N" with links "korvex-test://N"; unset (or any other
// value) lists none.
namespace VirtualCameras {

constexpr const char *kLinkPrefix = "korvex-test://";

int count();
std::vector<VideoDeviceInfo> devices();
bool isVirtualLink(const std::string &link);
// Camera number of a listed virtual link, 0 for anything else.
int cameraNumber(const std::string &link);
// 3840x2160 at 30, 1920x1080, 1280x720 and 640x480 at 60 and 30, sorted;
// empty for a link that is not listed.
std::vector<VideoFormatInfo> formats(const std::string &link);

} // namespace VirtualCameras
