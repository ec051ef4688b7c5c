#pragma once

#include "encoding/mp4/Mp4Box.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace Mp4 {

// Where one run of a track's samples lies in the file.
struct Chunk
{
    uint64_t offset = 0;
    uint32_t sampleCount = 0;
    uint32_t descriptionIndex = 1;
};

// Everything a regular sample table needs about one track, gathered from
// its fragments in file order.
struct TrackSamples
{
    std::vector<uint32_t> sizes;
    std::vector<uint32_t> durations;
    std::vector<int32_t> compositionOffsets;
    std::vector<uint32_t> syncSamples; // 1-based sample numbers
    std::vector<Chunk> chunks;
    uint64_t decodeEnd = 0; // sum of the durations, in the media time scale
    bool hasCompositionOffsets = false;
    bool hasNegativeOffsets = false;
};

// The per-track sample defaults of the movie's 'trex' boxes.
struct TrackDefaults
{
    uint32_t descriptionIndex = 1;
    uint32_t duration = 0;
    uint32_t size = 0;
    uint32_t flags = 0;
};

// Payload byte ranges of the file's 'mdat' boxes, in file order.
struct MediaRange
{
    uint64_t begin = 0;
    uint64_t end = 0;
};

// Reads the 'trex' boxes of the sample-less movie box (its children).
bool readTrackDefaults(const std::vector<Box> &moovChildren, std::map<uint32_t, TrackDefaults> &defaults,
                       std::string &error);

// Appends the samples of one 'moof' box (its payload; moofOffset is where the
// box starts in the file) to `tracks`. Every sample must lie inside one of
// `media`; false with `error` set when the fragment is malformed, names an
// unknown track or points outside the media data.
bool addFragment(std::span<const uint8_t> moofPayload, uint64_t moofOffset,
                 const std::map<uint32_t, TrackDefaults> &defaults, const std::vector<MediaRange> &media,
                 std::map<uint32_t, TrackSamples> &tracks, std::string &error);

} // namespace Mp4
