#include "CameraTestBackend.h"

#include "capture/VideoStreamItem.h"

#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

class TestVideoStreamItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CameraTestBackend::prepareApplication(); }
    void cleanup() { CameraTestBackend::instance().reset(); }

    void letterbox_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QSizeF>("bounds");
        QTest::addColumn<QRectF>("drawn");
        QTest::newRow("1080p in a square") << QSizeF(1920, 1080) << QSizeF(400, 400) << QRectF(0, 87.5, 400, 225);
        QTest::newRow("4:3 in 1080p") << QSizeF(640, 480) << QSizeF(1920, 1080) << QRectF(240, 0, 1440, 1080);
        QTest::newRow("same aspect") << QSizeF(1280, 720) << QSizeF(640, 360) << QRectF(0, 0, 640, 360);
        QTest::newRow("empty item") << QSizeF(1280, 720) << QSizeF(0, 0) << QRectF();
    }
    void letterbox()
    {
        QFETCH(QSizeF, image);
        QFETCH(QSizeF, bounds);
        QFETCH(QRectF, drawn);
        QCOMPARE(VideoStreamItem::letterboxRect(image, bounds), drawn);
    }

    void settingTheSameChannelEmitsNothing()
    {
        VideoStreamItem item;
        QSignalSpy spy(&item, &VideoStreamItem::channelIndexChanged);
        item.setChannelIndex(2);
        item.setChannelIndex(2);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(item.channelIndex(), 2);
    }

    void aChannelWithoutCameraStaysBlack_data()
    {
        QTest::addColumn<int>("channel");
        QTest::newRow("channel 0") << 0;
        QTest::newRow("channel without camera") << 3;
    }
    void aChannelWithoutCameraStaysBlack()
    {
        QFETCH(int, channel);
        VideoStreamItem item;
        item.setChannelIndex(channel);
        item.onTimeout();
        QVERIFY(item.image().isNull());
    }

    void showsTheCameraAndTurnsBlackWithinOneTickOfRemoval()
    {
        CameraAssignments &cameras = CameraTestBackend::instance().cameras();
        cameras.setCameraForChannel(2, QStringLiteral("korvex-test://1"), 640, 480, 30.0f, QStringLiteral("Default"));
        VideoStreamItem item;
        item.setChannelIndex(2);
        item.onTimeout();
        QCOMPARE(item.image().size(), QSize(640, 480));
        cameras.removeCameraFromChannel(2);
        item.onTimeout();
        QVERIFY(item.image().isNull());
    }

    void viewsOfOneChannelShareOneFrame()
    {
        CameraTestBackend::instance().cameras().setCameraForChannel(1, QStringLiteral("korvex-test://2"), 1280, 720,
                                                                    30.0f, QStringLiteral("Default"));
        VideoStreamItem tile, preview;
        tile.setChannelIndex(1);
        preview.setChannelIndex(1);
        // A frame may land between the two polls, and then the second view
        // rightly shows the newer one; a few tries give a pair of polls with
        // no frame between them. Views that each copied the frame would never
        // share an image.
        bool shared = false;
        for (int attempt = 0; attempt < 10 && !shared; ++attempt) {
            tile.onTimeout();
            preview.onTimeout();
            QVERIFY(!tile.image().isNull());
            shared = preview.image().cacheKey() == tile.image().cacheKey();
        }
        QVERIFY(shared);
    }

    void drawsLetterboxedOnBlack()
    {
        CameraTestBackend::instance().cameras().setCameraForChannel(1, QStringLiteral("korvex-test://3"), 1920, 1080,
                                                                    30.0f, QStringLiteral("Default"));
        QQuickWindow window;
        window.resize(400, 400);
        window.setColor(Qt::magenta);
        VideoStreamItem item(window.contentItem());
        item.setSize(QSizeF(400, 400));
        item.setChannelIndex(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!item.image().isNull());
        QTest::qWait(80);
        const QImage shot = window.grabWindow();
        QCOMPARE(shot.size(), QSize(400, 400));
        // Bars above and below the picture are black; the picture fills 87.5..312.5.
        for (int y : {2, 80, 320, 397})
            QCOMPARE(shot.pixelColor(200, y), QColor(Qt::black));
        // The marks strip (white/black cells) starts the picture; below it the colour bars.
        const QColor inside = shot.pixelColor(30, 250);
        QVERIFY2(inside != QColor(Qt::black) && inside != QColor(Qt::magenta), qPrintable(inside.name()));
    }
};

QTEST_MAIN(TestVideoStreamItem)
#include "tst_video_stream_item.moc"
