#include "encoding/FrameRate.h"

#include <QTest>

class FrameMathTest : public QObject
{
    Q_OBJECT
private slots:
    void frameRate_data()
    {
        QTest::addColumn<double>("fps");
        QTest::addColumn<int>("num");
        QTest::addColumn<int>("den");
        QTest::newRow("29.97") << 29.97 << 30000 << 1001;
        QTest::newRow("30") << 30.0 << 30 << 1;
        QTest::newRow("30 within tolerance") << 30.005 << 30 << 1;
        QTest::newRow("23.976") << 23.976 << 24000 << 1001;
        QTest::newRow("24") << 24.0 << 24 << 1;
        QTest::newRow("59.94") << 59.94 << 60000 << 1001;
        QTest::newRow("60") << 60.0 << 60 << 1;
        QTest::newRow("25") << 25.0 << 25 << 1;
        QTest::newRow("120") << 120.0 << 120 << 1;
        QTest::newRow("33.3333") << 33.3333 << 33333 << 1000;
        QTest::newRow("29.98 is not NTSC") << 29.98 << 29980 << 1000;
    }
    void frameRate()
    {
        QFETCH(double, fps);
        QFETCH(int, num);
        QFETCH(int, den);
        QCOMPARE(frameRateFor(fps), (FrameRate{num, den}));
    }

    void fit_data()
    {
        QTest::addColumn<QSize>("src");
        QTest::addColumn<QSize>("dst");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("720p fills 1080p") << QSize(1280, 720) << QSize(1920, 1080) << QRect(0, 0, 1920, 1080);
        QTest::newRow("4:3 pillarbox") << QSize(640, 480) << QSize(1920, 1080) << QRect(240, 0, 1440, 1080);
        QTest::newRow("tall letterbox") << QSize(1080, 1920) << QSize(1920, 1080) << QRect(656, 0, 607, 1080);
        QTest::newRow("same size") << QSize(1920, 1080) << QSize(1920, 1080) << QRect(0, 0, 1920, 1080);
        QTest::newRow("empty source") << QSize(0, 0) << QSize(1920, 1080) << QRect(0, 0, 0, 0);
    }
    void fit()
    {
        QFETCH(QSize, src);
        QFETCH(QSize, dst);
        QFETCH(QRect, expected);
        const FitRect r = fitFrame(src.width(), src.height(), dst.width(), dst.height());
        QCOMPARE(QRect(r.x, r.y, r.width, r.height), expected);
    }

    void fitEvenAligned()
    {
        const FitRect r = fitFrame(1080, 1920, 1920, 1080, true);
        QCOMPARE(r.width % 2, 0);
        QCOMPARE(r.x % 2, 0);
        QCOMPARE(r.height, 1080);
    }
};

QTEST_GUILESS_MAIN(FrameMathTest)
#include "tst_frame_math.moc"
