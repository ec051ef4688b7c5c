#include "encoding/mp4/Mp4Finalizer.h"

#include "encoding/mp4/FragmentScan.h"
#include "encoding/mp4/MoovBuilder.h"
#include "encoding/mp4/Mp4Box.h"
#include "encoding/mp4/Mp4File.h"

#include <array>
#include <cstring>

namespace Mp4 {

namespace {

// Counts the writes so a test can stop the finalizing half-way.
class WriteBudget
{
public:
    explicit WriteBudget(int limit) : m_limit(limit) {}
    bool spend()
    {
        if (m_limit < 0)
            return true;
        return m_limit-- > 0;
    }

private:
    int m_limit;
};

bool retype(Mp4File &file, const TopBox &box, uint32_t type)
{
    const uint8_t bytes[4] = {uint8_t(type >> 24), uint8_t(type >> 16), uint8_t(type >> 8), uint8_t(type)};
    return file.write(box.offset + 4, bytes, 4);
}

// The header of an 'mdat' box from `begin` to `end` (16 bytes when the size
// needs 64 bits, else 8).
std::array<uint8_t, 16> spanningMediaHeader(uint64_t begin, uint64_t end)
{
    const uint64_t size = end - begin;
    BoxWriter w;
    if (size > UINT32_MAX) {
        w.u32(1);
        w.u32(fourcc("mdat"));
        w.u64(size);
    } else {
        w.u32(uint32_t(size));
        w.u32(fourcc("mdat"));
        w.u64(0);
    }
    std::array<uint8_t, 16> header{};
    std::copy(w.data().begin(), w.data().end(), header.begin());
    return header;
}

// Boxes a file may hold between its movie box and its end that the spanning
// 'mdat' can swallow without losing anything a reader needs.
bool isFragmentPart(uint32_t type)
{
    for (uint32_t t : {fourcc("moof"), fourcc("mdat"), fourcc("free"), fourcc("skip"), fourcc("sidx"), fourcc("styp"),
                       fourcc("prft"), fourcc("mfra")}) {
        if (type == t)
            return true;
    }
    return false;
}

} // namespace

FinalizeResult finalizeFragmentedFile(const std::string &path, int stopAfterWrites)
{
    FinalizeResult result;
    Mp4File file(path);
    if (!file.isOpen()) {
        result.error = "cannot open " + path + ": " + std::strerror(errno);
        return result;
    }
    std::vector<TopBox> boxes;
    if (!readTopLevel(file, boxes, result.error))
        return result;

    // Everything is read and checked before the first write.
    const TopBox *moov = nullptr;
    std::vector<MediaRange> media;
    std::vector<const TopBox *> fragments;
    const TopBox *index = nullptr;
    for (const TopBox &b : boxes) {
        if (b.type == fourcc("moov")) {
            if (moov) {
                result.error = "more than one movie box";
                return result;
            }
            moov = &b;
        } else if (b.type == fourcc("mdat")) {
            media.push_back({b.payloadOffset(), b.end()});
        } else if (b.type == fourcc("moof")) {
            fragments.push_back(&b);
        } else if (b.type == fourcc("mfra")) {
            index = &b;
        }
    }
    if (!moov) {
        result.error = "no movie box";
        return result;
    }
    for (const TopBox &b : boxes) {
        if (b.offset > moov->offset && !isFragmentPart(b.type)) {
            result.error = "unexpected '" + fourccText(b.type) + "' box after the movie box";
            return result;
        }
    }
    if (index && index != &boxes.back()) {
        result.error = "the 'mfra' index is not the last box";
        return result;
    }
    std::vector<uint8_t> moovBytes;
    if (!file.read(moov->payloadOffset(), size_t(moov->size - moov->headerSize), moovBytes)) {
        result.error = "cannot read the movie box";
        return result;
    }
    const auto moovChildren = childBoxes(moovBytes);
    std::map<uint32_t, TrackDefaults> defaults;
    if (!moovChildren) {
        result.error = "malformed movie box";
        return result;
    }
    if (!readTrackDefaults(*moovChildren, defaults, result.error))
        return result;

    std::map<uint32_t, TrackSamples> tracks;
    std::vector<uint8_t> moofBytes;
    for (const TopBox *f : fragments) {
        if (!file.read(f->payloadOffset(), size_t(f->size - f->headerSize), moofBytes)) {
            result.error = "cannot read the fragment at byte " + std::to_string(f->offset);
            return result;
        }
        if (!addFragment(moofBytes, f->offset, defaults, media, tracks, result.error))
            return result;
    }
    auto complete = buildCompleteMoov(moovBytes, tracks, result.error);
    if (!complete)
        return result;
    for (const auto &[id, t] : tracks)
        result.samples += int64_t(t.sizes.size());
    result.fragments = int(fragments.size());

    // The new movie box goes where the index was (or at the end), first
    // under the type 'free', so a cut-off write is a harmless trailing box.
    const uint64_t tail = index ? index->offset : file.size();
    const TopBox completeBox{fourcc("moov"), tail, complete->size(), 8};
    std::memcpy(complete->data() + 4, "free", 4);
    WriteBudget budget(stopAfterWrites);
    const auto interrupted = [&] {
        result.error = "stopped after " + std::to_string(stopAfterWrites) + " writes";
        return result;
    };
    const auto failed = [&](const char *what) {
        result.error = std::string(what) + ": " + std::strerror(errno);
        return result;
    };
    if (index) {
        if (!budget.spend())
            return interrupted();
        if (!file.truncate(tail))
            return failed("cannot drop the fragment index");
    }
    if (!budget.spend())
        return interrupted();
    if (!file.write(tail, complete->data(), complete->size()) || !file.sync())
        return failed("cannot append the movie box");

    // Two movie boxes: readers take the first, the fragmented one.
    if (!budget.spend())
        return interrupted();
    if (!retype(file, completeBox, fourcc("moov")))
        return failed("cannot enable the movie box");
    // One header write makes the file regular: the fragmented movie box
    // becomes the start of one 'mdat' that spans every fragment up to the
    // complete movie box, so no fragment header is left at the top level.
    if (!budget.spend())
        return interrupted();
    const auto header = spanningMediaHeader(moov->offset, tail);
    if (!file.write(moov->offset, header.data(), tail - moov->offset > UINT32_MAX ? 16 : 8) || !file.sync())
        return failed("cannot retire the fragmented movie box");
    result.ok = true;
    return result;
}

} // namespace Mp4
