#include "capture/SharedChannelFrames.h"

#include "capture/ISource.h"

#include <QElapsedTimer>
#include <cstring>
#include <map>
#include <vector>

namespace SharedChannelFrames {

namespace {

// Views poll every 33 ms on their own timers; polls closer together than
// this share one fetch.
constexpr qint64 kShareWindowNs = 25'000'000;

struct Entry
{
    const ISource *source = nullptr;
    qint64 fetchedAt = -1;
    QImage image;
};

QElapsedTimer &clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

} // namespace

QImage frameFor(int channelId, const std::shared_ptr<ISource> &source, const QImage &previous)
{
    static std::map<int, Entry> entries;
    static std::vector<uint8_t> scratch;
    if (!source || !source->isRunning()) {
        entries.erase(channelId);
        return QImage();
    }
    Entry &entry = entries[channelId];
    if (entry.source == source.get() && entry.fetchedAt >= 0
        && clock().nsecsElapsed() - entry.fetchedAt < kShareWindowNs)
        return entry.image.isNull() ? previous : entry.image;

    source->getLatestFrame(scratch);
    const int w = source->width();
    const int h = source->height();
    entry.source = source.get();
    if (w < 1 || h < 1 || scratch.size() < std::size_t(w) * std::size_t(h) * 4) {
        entry.image = QImage();
        entry.fetchedAt = clock().nsecsElapsed();
        return previous;
    }
    QImage image(w, h, QImage::Format_RGBA8888);
    std::memcpy(image.bits(), scratch.data(), std::size_t(w) * std::size_t(h) * 4);
    entry.image = image;
    // The window opens once the picture is ready: a fetch that is slow (a
    // large frame, a busy machine) must not leave the other views of this
    // tick outside it, each copying the frame again.
    entry.fetchedAt = clock().nsecsElapsed();
    return image;
}

} // namespace SharedChannelFrames
