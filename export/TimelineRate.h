#pragma once

#include <QString>

#include <cstdint>

// The frame arithmetic of a timeline: the integer timebase an editor expects,
// whether the rate is one of the NTSC 1000/1001 rates, and how a time in
// milliseconds lands on a frame.
struct TimelineRate
{
    int timebase = 30;
    bool ntsc = false;
    double effectiveRate = 30.0;

    static TimelineRate fromFrameRate(double frameRate);

    QString ntscText() const;
    // "DF" only for 29.97 (NTSC with a timebase of 30); every other rate "NDF".
    QString displayFormat() const;
    // Frame of a time: t * effective rate / 1000, halves rounded away from zero.
    int64_t frameOf(int64_t timeMs) const;
    // Length of the sequence in frames; never below one second's worth.
    int64_t sequenceDuration(int64_t durationMs) const;
};
