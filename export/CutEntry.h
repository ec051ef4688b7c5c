#pragma once

#include <cstdint>

// One switch of the program source during a take: the channel that became
// active and when, in milliseconds since the take's monotonic start. The first
// entry of a take is {active source at start, 0}.
struct CutEntry
{
    int sourceId = 1;
    int64_t offsetMs = 0;

    friend bool operator==(const CutEntry &, const CutEntry &) = default;
};
