#include "encoding/mp4/FragmentScan.h"

#include <algorithm>

namespace Mp4 {

namespace {

constexpr uint32_t kNonSyncSample = 0x00010000;

// tfhd flags
constexpr uint32_t kBaseDataOffset = 0x000001;
constexpr uint32_t kDescriptionIndex = 0x000002;
constexpr uint32_t kDefaultDuration = 0x000008;
constexpr uint32_t kDefaultSize = 0x000010;
constexpr uint32_t kDefaultFlags = 0x000020;
constexpr uint32_t kBaseIsMoof = 0x020000;

// trun flags
constexpr uint32_t kDataOffset = 0x000001;
constexpr uint32_t kFirstSampleFlags = 0x000004;
constexpr uint32_t kSampleDuration = 0x000100;
constexpr uint32_t kSampleSize = 0x000200;
constexpr uint32_t kSampleFlags = 0x000400;
constexpr uint32_t kSampleCompositionOffset = 0x000800;

// Reads big-endian fields from a payload, remembering when it ran short.
class FieldReader
{
public:
    explicit FieldReader(std::span<const uint8_t> data) : m_data(data) {}
    uint32_t u32()
    {
        if (m_data.size() - m_pos < 4) {
            m_short = true;
            return 0;
        }
        const uint32_t v = be32(&m_data[m_pos]);
        m_pos += 4;
        return v;
    }
    uint64_t u64()
    {
        const uint64_t high = u32();
        return high << 32 | u32();
    }
    size_t remaining() const { return m_data.size() - m_pos; }
    bool ranShort() const { return m_short; }

private:
    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    bool m_short = false;
};

bool insideMedia(const std::vector<MediaRange> &media, uint64_t begin, uint64_t end)
{
    auto it = std::upper_bound(media.begin(), media.end(), begin,
                               [](uint64_t offset, const MediaRange &r) { return offset < r.begin; });
    if (it == media.begin())
        return false;
    --it;
    return begin >= it->begin && end <= it->end;
}

struct FragmentHeader
{
    uint32_t trackId = 0;
    uint64_t base = 0;
    TrackDefaults sample;
};

bool readTrackFragmentHeader(const Box &tfhd, uint64_t implicitBase, const std::map<uint32_t, TrackDefaults> &defaults,
                             FragmentHeader &header, std::string &error)
{
    FieldReader r(tfhd.payload);
    const uint32_t flags = r.u32() & 0xffffff;
    header.trackId = r.u32();
    const auto known = defaults.find(header.trackId);
    if (known == defaults.end()) {
        error = "fragment of unknown track " + std::to_string(header.trackId);
        return false;
    }
    header.sample = known->second;
    header.base = implicitBase;
    if (flags & kBaseDataOffset)
        header.base = r.u64();
    if (flags & kDescriptionIndex)
        header.sample.descriptionIndex = r.u32();
    if (flags & kDefaultDuration)
        header.sample.duration = r.u32();
    if (flags & kDefaultSize)
        header.sample.size = r.u32();
    if (flags & kDefaultFlags)
        header.sample.flags = r.u32();
    if (r.ranShort()) {
        error = "short 'tfhd' box";
        return false;
    }
    return true;
}

// Adds one track run; `next` is where its data starts when the run names no
// offset, and becomes the end of its data.
bool addTrackRun(const Box &trun, const FragmentHeader &header, const std::vector<MediaRange> &media,
                 uint64_t &next, TrackSamples &track, std::string &error)
{
    FieldReader r(trun.payload);
    const uint32_t versionFlags = r.u32();
    const uint32_t flags = versionFlags & 0xffffff;
    const bool signedOffsets = (versionFlags >> 24) >= 1;
    const uint32_t count = r.u32();
    uint64_t offset = next;
    if (flags & kDataOffset)
        offset = header.base + uint64_t(int64_t(int32_t(r.u32())));
    uint32_t firstFlags = header.sample.flags;
    const bool hasFirstFlags = flags & kFirstSampleFlags;
    if (hasFirstFlags)
        firstFlags = r.u32();
    const size_t perSample = 4u * (!!(flags & kSampleDuration) + !!(flags & kSampleSize) + !!(flags & kSampleFlags)
                                   + !!(flags & kSampleCompositionOffset));
    if (r.ranShort() || (perSample > 0 && r.remaining() / perSample < count)) {
        error = "'trun' box shorter than its " + std::to_string(count) + " samples";
        return false;
    }
    if (count == 0)
        return true;
    const uint64_t start = offset;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t duration = (flags & kSampleDuration) ? r.u32() : header.sample.duration;
        const uint32_t size = (flags & kSampleSize) ? r.u32() : header.sample.size;
        uint32_t sampleFlags = (flags & kSampleFlags) ? r.u32() : header.sample.flags;
        if (i == 0 && hasFirstFlags)
            sampleFlags = firstFlags;
        int32_t composition = 0;
        if (flags & kSampleCompositionOffset) {
            const uint32_t raw = r.u32();
            if (!signedOffsets && raw > uint32_t(INT32_MAX)) {
                error = "composition offset out of range";
                return false;
            }
            composition = int32_t(raw);
        }
        track.sizes.push_back(size);
        track.durations.push_back(duration);
        track.compositionOffsets.push_back(composition);
        track.hasCompositionOffsets |= composition != 0;
        track.hasNegativeOffsets |= composition < 0;
        if (!(sampleFlags & kNonSyncSample))
            track.syncSamples.push_back(uint32_t(track.sizes.size()));
        track.decodeEnd += duration;
        offset += size;
    }
    if (!insideMedia(media, start, offset)) {
        error = "samples at bytes " + std::to_string(start) + "-" + std::to_string(offset)
            + " lie outside the media data";
        return false;
    }
    track.chunks.push_back({start, count, header.sample.descriptionIndex});
    next = offset;
    return true;
}

} // namespace

bool readTrackDefaults(const std::vector<Box> &moovChildren, std::map<uint32_t, TrackDefaults> &defaults,
                       std::string &error)
{
    const auto mvex = findChild(moovChildren, fourcc("mvex"));
    if (!mvex) {
        error = "the movie box has no 'mvex': the file is not fragmented";
        return false;
    }
    const auto children = childBoxes(mvex->payload);
    if (!children) {
        error = "malformed 'mvex' box";
        return false;
    }
    for (const Box &b : *children) {
        if (b.type != fourcc("trex"))
            continue;
        FieldReader r(b.payload);
        r.u32();
        const uint32_t trackId = r.u32();
        TrackDefaults d;
        d.descriptionIndex = r.u32();
        d.duration = r.u32();
        d.size = r.u32();
        d.flags = r.u32();
        if (r.ranShort()) {
            error = "short 'trex' box";
            return false;
        }
        defaults[trackId] = d;
    }
    return true;
}

bool addFragment(std::span<const uint8_t> moofPayload, uint64_t moofOffset,
                 const std::map<uint32_t, TrackDefaults> &defaults, const std::vector<MediaRange> &media,
                 std::map<uint32_t, TrackSamples> &tracks, std::string &error)
{
    const auto children = childBoxes(moofPayload);
    if (!children) {
        error = "malformed 'moof' box at byte " + std::to_string(moofOffset);
        return false;
    }
    uint64_t previousTrafEnd = moofOffset;
    for (const Box &traf : *children) {
        if (traf.type != fourcc("traf"))
            continue;
        const auto parts = childBoxes(traf.payload);
        const auto tfhd = parts ? findChild(*parts, fourcc("tfhd")) : std::nullopt;
        if (!tfhd) {
            error = "track fragment without 'tfhd' at byte " + std::to_string(moofOffset);
            return false;
        }
        // Without an explicit base the first track fragment counts from the
        // moof, each further one from where the previous one's data ended.
        FragmentHeader header;
        if (!readTrackFragmentHeader(*tfhd, previousTrafEnd, defaults, header, error))
            return false;
        if (be32(tfhd->payload.data()) & kBaseIsMoof)
            header.base = moofOffset;
        TrackSamples &track = tracks[header.trackId];
        if (const auto tfdt = findChild(*parts, fourcc("tfdt"))) {
            FieldReader r(tfdt->payload);
            const bool wide = (r.u32() >> 24) >= 1;
            const uint64_t decodeTime = wide ? r.u64() : r.u32();
            if (r.ranShort()) {
                error = "short 'tfdt' box";
                return false;
            }
            // A gap lengthens the sample before it so every later sample keeps
            // its time; an overlap or a late first sample cannot be expressed.
            if (decodeTime > track.decodeEnd && !track.durations.empty()
                && decodeTime - track.decodeEnd <= UINT32_MAX - track.durations.back()) {
                track.durations.back() += uint32_t(decodeTime - track.decodeEnd);
                track.decodeEnd = decodeTime;
            } else if (decodeTime != track.decodeEnd) {
                error = "fragment decode time " + std::to_string(decodeTime) + " does not follow "
                    + std::to_string(track.decodeEnd) + " of track " + std::to_string(header.trackId);
                return false;
            }
        }
        uint64_t next = header.base;
        for (const Box &run : *parts) {
            if (run.type == fourcc("trun") && !addTrackRun(run, header, media, next, track, error))
                return false;
        }
        previousTrafEnd = next;
    }
    return true;
}

} // namespace Mp4
