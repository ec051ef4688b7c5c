#include "app/recording/TakeEncoderSettings.h"

EncoderSettings takeEncoderSettings(const RecordingQuality &quality, const QString &outputPath, int sourceWidth,
                                    int sourceHeight, const std::string &speedPreset)
{
    EncoderSettings s;
    s.outputPath = outputPath.toStdWString();
    s.width = sourceWidth > 0 ? sourceWidth : 1920;
    s.height = sourceHeight > 0 ? sourceHeight : 1080;
    s.fps = 30.0;
    s.targetBitrateKbps = quality.targetBitrateKbps;
    s.maxBitrateKbps = quality.maxBitrateKbps;
    s.rateControl = quality.rateControlMode == QLatin1String("VBR") ? 1
        : quality.rateControlMode == QLatin1String("CQP")          ? 2
                                                                    : 0;
    s.cqpLevel = quality.cqpLevel;
    s.keyframeIntervalSec = quality.keyframeInterval;
    s.bFrames = quality.bFrames;
    s.colorSpace = quality.colorSpace.toStdWString();
    s.colorRange = quality.colorRange.toStdWString();
    s.useHevc = quality.useHevc;
    s.encoderName = quality.encoderName;
    s.hardwareDevice = quality.hardwareDevice;
    s.speedPreset = speedPreset;
    s.container = quality.container;
    return s;
}
