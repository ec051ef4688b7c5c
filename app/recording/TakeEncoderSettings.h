#pragma once

#include "app/recording/TakeCollaborators.h"
#include "encoding/IEncoder.h"

// The encoder settings of one camera of a take: the camera's size (the
// 1920x1080 sequence size when it reports none), the 30 fps sequence rate and
// the recording properties ("CBR" 0, "VBR" 1, "CQP" 2, any other text 0).
EncoderSettings takeEncoderSettings(const RecordingQuality &quality, const QString &outputPath, int sourceWidth,
                                    int sourceHeight, const std::string &speedPreset);
