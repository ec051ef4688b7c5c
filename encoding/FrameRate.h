#pragma once

// An exact frame rate as numerator / denominator.
struct FrameRate
{
    int numerator = 30;
    int denominator = 1;
    friend bool operator==(const FrameRate &, const FrameRate &) = default;
};

// The ratio for an fps value: the NTSC rates (59.94, 29.97, 23.976) as
// N000/1001, common integer rates as N/1, anything else as round(fps*1000)/1000.
// The tolerance (0.01) is narrower than the gap between 29.97 and 30, so a
// 30.0 fps take is never written as 30000/1001.
FrameRate frameRateFor(double fps);

// Placement of a frame fitted into the encoded picture, keeping its aspect
// ratio and centring it between black bars.
struct FitRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const FitRect &, const FitRect &) = default;
};

// Fits srcWidth x srcHeight into dstWidth x dstHeight. With evenAligned the
// offsets and sizes are rounded down to even values (4:2:0 chroma).
FitRect fitFrame(int srcWidth, int srcHeight, int dstWidth, int dstHeight, bool evenAligned = false);
