#pragma once

#include "app/CameraScan.h"

// The device lister for the start-up scan: every camera CameraCapture lists
// (V4L2 devices, then the virtual test cameras) with its sorted formats.
// Safe on the initialization worker thread (touches no shared state).
std::vector<CameraScanDevice> listCamerasForScan();
