// The frame store between a camera's capture thread and its readers: copies
// and shared frames show the newest complete frame, a shared frame never
// changes while it is held, and buffers are reused once readers let go.

#include "capture/FrameStore.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <thread>

namespace {

// Writes a frame whose every byte is value.
void writeFilled(FrameStore &store, uint8_t value)
{
    store.write([&](uint8_t *rgba) {
        std::memset(rgba, value, std::size_t(store.width()) * std::size_t(store.height()) * 4);
        return true;
    });
}

bool allBytesAre(const SharedFrame &frame, uint8_t value)
{
    return std::all_of(frame.pixels.begin(), frame.pixels.end(), [&](uint8_t b) { return b == value; });
}

} // namespace

class TestFrameStore : public QObject
{
    Q_OBJECT

private slots:
    void aZeroFrameIsSharedBeforeTheFirstOne()
    {
        FrameStore store;
        QVERIFY(!store.share());
        store.reset(8, 4);
        const auto frame = store.share();
        QVERIFY(frame);
        QCOMPARE(frame->width, 8);
        QCOMPARE(frame->height, 4);
        QCOMPARE(frame->pixels, std::vector<uint8_t>(8 * 4 * 4, 0));
        QVERIFY(frame->serial != 0);
    }

    void readersSeeTheNewestFrameAndItsNumber()
    {
        FrameStore store;
        store.reset(8, 4);
        const auto zero = store.share();
        writeFilled(store, 7);
        QVERIFY(store.hasNewFrame());
        const auto first = store.share();
        QVERIFY(allBytesAre(*first, 7));
        QVERIFY(first->serial != zero->serial);
        // the same frame asked again has the same number
        QCOMPARE(store.share()->serial, first->serial);
        std::vector<uint8_t> copy;
        store.read(copy);
        QCOMPARE(copy, first->pixels);
        QVERIFY(!store.hasNewFrame());
        // a fill that fails leaves the previous frame the newest
        store.write([](uint8_t *rgba) {
            rgba[0] = 99;
            return false;
        });
        QCOMPARE(store.share()->serial, first->serial);
        QVERIFY(allBytesAre(*store.share(), 7));
        store.read(copy);
        QCOMPARE(copy[0], uint8_t(7));
    }

    void aHeldFrameNeverChanges()
    {
        FrameStore store;
        store.reset(8, 4);
        writeFilled(store, 1);
        const auto held = store.share();
        for (uint8_t value = 2; value < 20; ++value)
            writeFilled(store, value);
        QVERIFY(allBytesAre(*held, 1));
        QVERIFY(allBytesAre(*store.share(), 19));
    }

    void buffersAreReusedOnceReadersLetGo()
    {
        FrameStore store;
        store.reset(8, 4);
        std::set<const uint8_t *> buffers;
        for (uint8_t value = 1; value < 50; ++value) {
            writeFilled(store, value);
            // a view holds the newest frame until the next one replaces it
            const auto shown = store.share();
            buffers.insert(shown->pixels.data());
            QVERIFY(allBytesAre(*shown, value));
        }
        QVERIFY2(buffers.size() <= 3, qPrintable(QString::number(buffers.size())));
    }

    void framesHeldForeverDoNotStopDelivery()
    {
        // e.g. the textures of windows that are hidden and no longer redraw
        FrameStore store;
        store.reset(8, 4);
        std::vector<std::shared_ptr<const SharedFrame>> held;
        for (uint8_t value = 1; value < 12; ++value) {
            writeFilled(store, value);
            held.push_back(store.share());
            QVERIFY(allBytesAre(*held.back(), value));
        }
        for (std::size_t i = 0; i < held.size(); ++i)
            QVERIFY(allBytesAre(*held[i], uint8_t(i + 1)));
    }

    void aFrameOutlivesItsStore()
    {
        std::shared_ptr<const SharedFrame> frame;
        {
            FrameStore store;
            store.reset(8, 4);
            writeFilled(store, 5);
            frame = store.share();
        }
        QVERIFY(allBytesAre(*frame, 5));
    }

    void aReopenedStoreNumbersOnward()
    {
        FrameStore store;
        store.reset(8, 4);
        writeFilled(store, 3);
        const std::uint64_t before = store.share()->serial;
        store.reset(4, 2);
        const auto zero = store.share();
        QVERIFY(zero->serial > before);
        QCOMPARE(zero->pixels, std::vector<uint8_t>(4 * 2 * 4, 0));
    }

    void sharedFramesAreNeverTornWhileACameraWrites()
    {
        FrameStore store;
        store.reset(64, 32);
        std::atomic<bool> stop{false};
        std::thread camera([&] {
            for (uint8_t value = 1; !stop.load(); ++value)
                writeFilled(store, value);
        });
        int torn = 0;
        std::vector<std::shared_ptr<const SharedFrame>> recent;
        for (int i = 0; i < 2000; ++i) {
            recent.push_back(store.share());
            if (recent.size() > 3)
                recent.erase(recent.begin());
            for (const auto &frame : recent)
                torn += allBytesAre(*frame, frame->pixels[0]) ? 0 : 1;
        }
        stop = true;
        camera.join();
        QCOMPARE(torn, 0);
    }
};

QTEST_GUILESS_MAIN(TestFrameStore)
#include "tst_frame_store.moc"
