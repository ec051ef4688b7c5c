#include "capture/SharedChannelFrames.h"

#include "capture/ISource.h"

#include <QElapsedTimer>
#include <map>

namespace SharedChannelFrames {

namespace {

// Views poll every 33 ms on their own timers; polls closer together than
// this share one fetch.
constexpr qint64 kShareWindowNs = 25'000'000;

struct Entry
{
    // weak: a new source at the address of a destroyed one is not mistaken for it
    std::weak_ptr<ISource> source;
    qint64 fetchedAt = -1;
    std::uint64_t serial = 0;
    QImage image;
};

QElapsedTimer &clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

void releaseFrame(void *frame)
{
    delete static_cast<std::shared_ptr<const SharedFrame> *>(frame);
}

// An image over the frame's own pixels; the frame stays held until the last
// copy of the image goes.
QImage wrap(const std::shared_ptr<const SharedFrame> &frame)
{
    return QImage(frame->pixels.data(), frame->width, frame->height, qsizetype(frame->width) * 4,
                  QImage::Format_RGBA8888, releaseFrame, new std::shared_ptr<const SharedFrame>(frame));
}

} // namespace

QImage frameFor(int channelId, const std::shared_ptr<ISource> &source, const QImage &previous)
{
    static std::map<int, Entry> entries;
    if (!source || !source->isRunning()) {
        entries.erase(channelId);
        return QImage();
    }
    Entry &entry = entries[channelId];
    if (entry.source.lock() != source) {
        entry = Entry();
        entry.source = source;
    }
    if (entry.fetchedAt >= 0 && clock().nsecsElapsed() - entry.fetchedAt < kShareWindowNs)
        return entry.image.isNull() ? previous : entry.image;

    const std::shared_ptr<const SharedFrame> frame = source->shareLatestFrame();
    // The window opens once the picture is at hand, so a slow fetch (a busy
    // machine) does not leave this tick's other views outside it.
    entry.fetchedAt = clock().nsecsElapsed();
    if (!frame || frame->width < 1 || frame->height < 1
        || frame->pixels.size() < std::size_t(frame->width) * std::size_t(frame->height) * 4) {
        entry.image = QImage();
        entry.serial = 0;
        return previous;
    }
    // The same frame as last time: nothing to do (unnumbered frames are always new).
    if (frame->serial != 0 && frame->serial == entry.serial && !entry.image.isNull())
        return entry.image;
    entry.serial = frame->serial;
    entry.image = wrap(frame);
    return entry.image;
}

} // namespace SharedChannelFrames
