#include "capture/Rgb24Conversion.h"

#include <QtTest>
#include <vector>

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

// A 2x2 RGB24 image stored bottom row first: stored row 0 red, stored row 1
// blue (B, G, R byte order), each row padded to `stride` bytes.
Bytes twoRowImage(int stride)
{
    Bytes data(std::size_t(stride) * 2, 0xEE);
    for (int j = 0; j < 2; ++j) {
        uint8_t *red = data.data() + 3 * j;
        red[0] = 0; red[1] = 0; red[2] = 255;
        uint8_t *blue = data.data() + stride + 3 * j;
        blue[0] = 255; blue[1] = 0; blue[2] = 0;
    }
    return data;
}

Bytes rgbaRows(const uint8_t first[3], const uint8_t second[3])
{
    Bytes out;
    for (const uint8_t *row : {first, second})
        for (int j = 0; j < 2; ++j)
            out.insert(out.end(), {row[0], row[1], row[2], 255});
    return out;
}

const uint8_t kRed[3] = {255, 0, 0};
const uint8_t kBlue[3] = {0, 0, 255};

} // namespace

class TestRgb24Conversion : public QObject
{
    Q_OBJECT

private slots:
    void orientationAndStride_data()
    {
        QTest::addColumn<int>("stride");
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<bool>("flipped");
        QTest::addColumn<Bytes>("expected");
        QTest::newRow("bottom-up reads blue row first") << 6 << false << false << rgbaRows(kBlue, kRed);
        QTest::newRow("bottom-up flipped") << 6 << false << true << rgbaRows(kRed, kBlue);
        QTest::newRow("top-down") << 6 << true << false << rgbaRows(kRed, kBlue);
        QTest::newRow("top-down flipped") << 6 << true << true << rgbaRows(kBlue, kRed);
        QTest::newRow("padded rows skip their tail") << 8 << false << false << rgbaRows(kBlue, kRed);
    }
    void orientationAndStride()
    {
        QFETCH(int, stride);
        QFETCH(bool, topDown);
        QFETCH(bool, flipped);
        QFETCH(Bytes, expected);
        const Bytes data = twoRowImage(stride);
        Bytes out(16, 0);
        QVERIFY(Rgb24Conversion::toRgba(data.data(), int(data.size()), 2, 2, topDown, flipped, out.data()));
        QCOMPARE(out, expected);
    }

    void unusableFramesLeaveTheOutputAlone_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("nullData");
        QTest::newRow("one byte short") << 11 << 2 << false;
        QTest::newRow("empty size") << 12 << 0 << false;
        QTest::newRow("no data") << 12 << 2 << true;
    }
    void unusableFramesLeaveTheOutputAlone()
    {
        QFETCH(int, length);
        QFETCH(int, width);
        QFETCH(bool, nullData);
        const Bytes data = twoRowImage(6);
        Bytes out(16, 7);
        QVERIFY(!Rgb24Conversion::toRgba(nullData ? nullptr : data.data(), length, width, 2, false, false, out.data()));
        QCOMPARE(out, Bytes(16, 7));
    }
};

QTEST_GUILESS_MAIN(TestRgb24Conversion)
#include "tst_rgb24_conversion.moc"
