#include "encoding/mp4/MoovBuilder.h"

#include <algorithm>

namespace Mp4 {

namespace {

// mvhd, tkhd and mdhd share their start: version and flags, creation and
// modification times (32 or 64 bits), `fixedBytes` of other fields (time
// scale, or track id and a reserved word), then the duration.
struct TimedBox
{
    uint8_t version = 0;
    uint32_t flags = 0;
    uint64_t created = 0;
    uint64_t modified = 0;
    std::span<const uint8_t> fixed;
    uint64_t duration = 0;
    std::span<const uint8_t> rest;
};

std::optional<TimedBox> readTimedBox(std::span<const uint8_t> payload, size_t fixedBytes)
{
    if (payload.size() < 4)
        return std::nullopt;
    TimedBox b;
    b.version = payload[0];
    b.flags = be32(payload.data()) & 0xffffff;
    const size_t wide = b.version == 1 ? 8 : 4;
    const size_t head = 4 + 2 * wide + fixedBytes + wide;
    if (b.version > 1 || payload.size() < head)
        return std::nullopt;
    const uint8_t *p = payload.data() + 4;
    b.created = wide == 8 ? be64(p) : be32(p);
    b.modified = wide == 8 ? be64(p + wide) : be32(p + wide);
    b.fixed = payload.subspan(4 + 2 * wide, fixedBytes);
    const uint8_t *d = p + 2 * wide + fixedBytes;
    b.duration = wide == 8 ? be64(d) : be32(d);
    b.rest = payload.subspan(head);
    return b;
}

void writeTimedBox(BoxWriter &w, uint32_t type, const TimedBox &b, uint64_t duration)
{
    const bool wide = b.version == 1 || duration > UINT32_MAX || b.created > UINT32_MAX || b.modified > UINT32_MAX;
    w.openFull(type, wide ? 1 : 0, b.flags);
    if (wide) {
        w.u64(b.created);
        w.u64(b.modified);
    } else {
        w.u32(uint32_t(b.created));
        w.u32(uint32_t(b.modified));
    }
    w.bytes(b.fixed);
    if (wide)
        w.u64(duration);
    else
        w.u32(uint32_t(duration));
    w.bytes(b.rest);
    w.close();
}

uint64_t rescale(uint64_t value, uint32_t from, uint32_t to)
{
    if (from == 0)
        return 0;
    return uint64_t((unsigned __int128)value * to / from);
}

void writeTimeToSample(BoxWriter &w, const TrackSamples &t)
{
    std::vector<std::pair<uint32_t, uint32_t>> runs; // count, duration
    for (uint32_t d : t.durations) {
        if (!runs.empty() && runs.back().second == d)
            ++runs.back().first;
        else
            runs.emplace_back(1, d);
    }
    w.openFull(fourcc("stts"), 0, 0);
    w.u32(uint32_t(runs.size()));
    for (const auto &[count, duration] : runs) {
        w.u32(count);
        w.u32(duration);
    }
    w.close();
}

void writeCompositionOffsets(BoxWriter &w, const TrackSamples &t)
{
    if (!t.hasCompositionOffsets)
        return;
    std::vector<std::pair<uint32_t, int32_t>> runs;
    for (int32_t c : t.compositionOffsets) {
        if (!runs.empty() && runs.back().second == c)
            ++runs.back().first;
        else
            runs.emplace_back(1, c);
    }
    w.openFull(fourcc("ctts"), t.hasNegativeOffsets ? 1 : 0, 0);
    w.u32(uint32_t(runs.size()));
    for (const auto &[count, offset] : runs) {
        w.u32(count);
        w.u32(uint32_t(offset));
    }
    w.close();
}

void writeSyncSamples(BoxWriter &w, const TrackSamples &t)
{
    if (t.syncSamples.size() == t.sizes.size())
        return; // every sample is a sync sample
    w.openFull(fourcc("stss"), 0, 0);
    w.u32(uint32_t(t.syncSamples.size()));
    for (uint32_t n : t.syncSamples)
        w.u32(n);
    w.close();
}

void writeSampleToChunk(BoxWriter &w, const TrackSamples &t)
{
    struct Entry
    {
        uint32_t firstChunk, samplesPerChunk, descriptionIndex;
    };
    std::vector<Entry> entries;
    for (size_t i = 0; i < t.chunks.size(); ++i) {
        const Chunk &c = t.chunks[i];
        if (entries.empty() || entries.back().samplesPerChunk != c.sampleCount
            || entries.back().descriptionIndex != c.descriptionIndex)
            entries.push_back({uint32_t(i + 1), c.sampleCount, c.descriptionIndex});
    }
    w.openFull(fourcc("stsc"), 0, 0);
    w.u32(uint32_t(entries.size()));
    for (const Entry &e : entries) {
        w.u32(e.firstChunk);
        w.u32(e.samplesPerChunk);
        w.u32(e.descriptionIndex);
    }
    w.close();
}

void writeSampleSizes(BoxWriter &w, const TrackSamples &t)
{
    const bool uniform = !t.sizes.empty()
        && std::all_of(t.sizes.begin(), t.sizes.end(), [&](uint32_t s) { return s == t.sizes.front(); });
    w.openFull(fourcc("stsz"), 0, 0);
    w.u32(uniform ? t.sizes.front() : 0);
    w.u32(uint32_t(t.sizes.size()));
    if (!uniform) {
        for (uint32_t s : t.sizes)
            w.u32(s);
    }
    w.close();
}

void writeChunkOffsets(BoxWriter &w, const TrackSamples &t)
{
    const bool wide = std::any_of(t.chunks.begin(), t.chunks.end(), [](const Chunk &c) { return c.offset > UINT32_MAX; });
    w.openFull(fourcc(wide ? "co64" : "stco"), 0, 0);
    w.u32(uint32_t(t.chunks.size()));
    for (const Chunk &c : t.chunks) {
        if (wide)
            w.u64(c.offset);
        else
            w.u32(uint32_t(c.offset));
    }
    w.close();
}

bool isSampleTableIndex(uint32_t type)
{
    for (uint32_t t : {fourcc("stts"), fourcc("ctts"), fourcc("stss"), fourcc("stsc"), fourcc("stsz"), fourcc("stz2"),
                       fourcc("stco"), fourcc("co64"), fourcc("sdtp"), fourcc("stps")}) {
        if (type == t)
            return true;
    }
    return false;
}

bool writeSampleTable(BoxWriter &w, const Box &stbl, const TrackSamples &t, std::string &error)
{
    const auto children = childBoxes(stbl.payload);
    if (!children || !findChild(*children, fourcc("stsd"))) {
        error = "malformed 'stbl' box";
        return false;
    }
    w.open(fourcc("stbl"));
    w.bytes(findChild(*children, fourcc("stsd"))->whole);
    writeTimeToSample(w, t);
    writeCompositionOffsets(w, t);
    writeSyncSamples(w, t);
    writeSampleToChunk(w, t);
    writeSampleSizes(w, t);
    writeChunkOffsets(w, t);
    for (const Box &b : *children) {
        if (b.type != fourcc("stsd") && !isSampleTableIndex(b.type))
            w.bytes(b.whole);
    }
    w.close();
    return true;
}

// Copies a container box, replacing the children `rewrite` handles (it
// returns false to fail, or leaves the child to be copied by returning
// true without writing, signalled through `handled`).
template<typename Rewrite>
bool rewriteContainer(BoxWriter &w, const Box &box, Rewrite rewrite, std::string &error)
{
    const auto children = childBoxes(box.payload);
    if (!children) {
        error = "malformed '" + fourccText(box.type) + "' box";
        return false;
    }
    w.open(box.type);
    for (const Box &child : *children) {
        bool handled = false;
        if (!rewrite(child, handled))
            return false;
        if (!handled)
            w.bytes(child.whole);
    }
    w.close();
    return true;
}

struct TrackInfo
{
    uint32_t trackId = 0;
    uint32_t mediaTimescale = 0;
};

std::optional<TrackInfo> readTrackInfo(const Box &trak)
{
    const auto children = childBoxes(trak.payload);
    if (!children)
        return std::nullopt;
    const auto tkhd = findChild(*children, fourcc("tkhd"));
    const auto mdia = findChild(*children, fourcc("mdia"));
    if (!tkhd || !mdia)
        return std::nullopt;
    const auto header = readTimedBox(tkhd->payload, 8);
    const auto mdiaChildren = childBoxes(mdia->payload);
    const auto mdhd = mdiaChildren ? findChild(*mdiaChildren, fourcc("mdhd")) : std::nullopt;
    const auto media = mdhd ? readTimedBox(mdhd->payload, 4) : std::nullopt;
    if (!header || !media)
        return std::nullopt;
    return TrackInfo{be32(header->fixed.data()), be32(media->fixed.data())};
}

} // namespace

std::optional<std::vector<uint8_t>> buildCompleteMoov(std::span<const uint8_t> moovPayload,
                                                      const std::map<uint32_t, TrackSamples> &tracks,
                                                      std::string &error)
{
    const auto children = childBoxes(moovPayload);
    const auto mvhdBox = children ? findChild(*children, fourcc("mvhd")) : std::nullopt;
    const auto mvhd = mvhdBox ? readTimedBox(mvhdBox->payload, 4) : std::nullopt;
    if (!mvhd) {
        error = "malformed movie box";
        return std::nullopt;
    }
    const uint32_t movieTimescale = be32(mvhd->fixed.data());
    const TrackSamples none;
    uint64_t movieDuration = 0;
    BoxWriter w;
    w.open(fourcc("moov"));
    // The movie header needs the longest track, so the tracks are built first.
    BoxWriter trakBytes;
    for (const Box &child : *children) {
        if (child.type != fourcc("trak"))
            continue;
        const auto info = readTrackInfo(child);
        if (!info) {
            error = "malformed track box";
            return std::nullopt;
        }
        const auto found = tracks.find(info->trackId);
        const TrackSamples &samples = found == tracks.end() ? none : found->second;
        const uint64_t trackDuration = rescale(samples.decodeEnd, info->mediaTimescale, movieTimescale);
        movieDuration = std::max(movieDuration, trackDuration);
        auto rewriteTrak = [&](const Box &b, bool &handled) {
            if (b.type == fourcc("tkhd")) {
                writeTimedBox(trakBytes, b.type, *readTimedBox(b.payload, 8), trackDuration);
                handled = true;
            } else if (b.type == fourcc("mdia")) {
                handled = true;
                return rewriteContainer(trakBytes, b, [&](const Box &m, bool &mHandled) {
                    if (m.type == fourcc("mdhd")) {
                        writeTimedBox(trakBytes, m.type, *readTimedBox(m.payload, 4), samples.decodeEnd);
                        mHandled = true;
                    } else if (m.type == fourcc("minf")) {
                        mHandled = true;
                        return rewriteContainer(trakBytes, m, [&](const Box &s, bool &sHandled) {
                            if (s.type != fourcc("stbl"))
                                return true;
                            sHandled = true;
                            return writeSampleTable(trakBytes, s, samples, error);
                        }, error);
                    }
                    return true;
                }, error);
            }
            return true;
        };
        if (!rewriteContainer(trakBytes, child, rewriteTrak, error))
            return std::nullopt;
    }
    bool tracksWritten = false;
    for (const Box &child : *children) {
        if (child.type == fourcc("mvhd")) {
            writeTimedBox(w, child.type, *mvhd, movieDuration);
        } else if (child.type == fourcc("trak")) {
            if (!tracksWritten)
                w.bytes(trakBytes.data());
            tracksWritten = true;
        } else if (child.type != fourcc("mvex")) {
            w.bytes(child.whole);
        }
    }
    w.close();
    return w.take();
}

} // namespace Mp4
