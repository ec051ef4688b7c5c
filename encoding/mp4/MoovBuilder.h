#pragma once

#include "encoding/mp4/FragmentScan.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Mp4 {

// The complete movie box of a regular file: the sample-less movie box of a
// fragmented file (its payload) with every track's sample table filled from
// `tracks` (stts, ctts when there are composition offsets, stss unless every
// sample is a sync sample, stsc, stsz, stco or co64 when an offset needs 64
// bits), the real durations in mvhd, tkhd and mdhd (version 1 boxes where 32
// bits do not hold them) and no 'mvex'. Nothing, with `error` set, when a
// box it has to rewrite is malformed.
std::optional<std::vector<uint8_t>> buildCompleteMoov(std::span<const uint8_t> moovPayload,
                                                      const std::map<uint32_t, TrackSamples> &tracks,
                                                      std::string &error);

} // namespace Mp4
