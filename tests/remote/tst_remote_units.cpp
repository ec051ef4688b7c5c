// The remote control's parts that need no server: request assembly, the
// address choice, the QR image (read back by zbarimg) and the preview JPEG.
#include "remote/HttpRequestAssembler.h"
#include "remote/MjpegStream.h"
#include "remote/NetworkInfo.h"
#include "remote/QrCodeImage.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using State = HttpRequestAssembler::State;
Q_DECLARE_METATYPE(HttpRequestAssembler::State)

namespace {

NetworkInterfaceEntry iface(QStringList addresses, bool up = true, bool running = true, bool loopback = false)
{
    NetworkInterfaceEntry entry;
    entry.isUp = up;
    entry.isRunning = running;
    entry.isLoopback = loopback;
    for (const QString &a : addresses)
        entry.addresses.append(QHostAddress(a));
    return entry;
}

QString decodeQr(const QImage &image)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("qr.png");
    if (!image.save(file))
        return "<not saved>";
    QProcess zbar;
    zbar.start("zbarimg", {"--raw", "-q", file});
    if (!zbar.waitForFinished(10000))
        return "<zbarimg did not finish>";
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

} // namespace

class TestRemoteUnits : public QObject
{
    Q_OBJECT

private slots:
    void assembler_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        const QByteArray json = "{\"channelId\":2}";
        QTest::newRow("one piece, no body") << QList<QByteArray>{"GET /api/status?x=1 HTTP/1.1\r\nHost: a\r\n\r\n"}
                                            << State::Complete << "/api/status" << QByteArray();
        QTest::newRow("head split") << QList<QByteArray>{"GET /api/st", "atus HTTP/1.1\r\n", "\r", "\n"}
                                    << State::Complete << "/api/status" << QByteArray();
        QTest::newRow("head without end") << QList<QByteArray>{"GET /api/status HTTP/1.1\r\n"}
                                          << State::NeedMore << "/api/status" << QByteArray();
        QTest::newRow("body after head") << QList<QByteArray>{"POST /a HTTP/1.1\r\nContent-Length: 15\r\n\r\n", json}
                                         << State::Complete << "/a" << json;
        QTest::newRow("body still missing") << QList<QByteArray>{"POST /a HTTP/1.1\r\nContent-Length: 15\r\n\r\n{\"chan"}
                                            << State::NeedMore << "/a" << QByteArray();
        // Multi-byte header text must not shift the body: it is found by byte offset.
        QTest::newRow("non-ASCII header") << QList<QByteArray>{"POST /a HTTP/1.1\r\nX-Name: \xc5\xa0\xc4\x90\xc4\x8c\xe2\x82\xac\r\nContent-Length: 15\r\n\r\n" + json}
                                          << State::Complete << "/a" << json;
        QTest::newRow("extra bytes ignored") << QList<QByteArray>{"POST /a HTTP/1.1\r\ncontent-length: 2\r\n\r\n{}GET /b"}
                                             << State::Complete << "/a" << QByteArray("{}");
        QTest::newRow("percent-decoded path") << QList<QByteArray>{"GET /api/%73tatus HTTP/1.1\r\n\r\n"}
                                              << State::Complete << "/api/status" << QByteArray();
        QTest::newRow("head too large") << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(16 * 1024, 'x')}
                                        << State::HeadTooLarge << "" << QByteArray();
        QTest::newRow("head too large at its end") << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(16 * 1024, 'x') + "\r\n\r\n"}
                                                   << State::HeadTooLarge << "" << QByteArray();
        QTest::newRow("body too large") << QList<QByteArray>{"POST /a HTTP/1.1\r\nContent-Length: 1048577\r\n\r\n"}
                                        << State::BodyTooLarge << "/a" << QByteArray();
        QTest::newRow("negative length") << QList<QByteArray>{"POST /a HTTP/1.1\r\nContent-Length: -1\r\n\r\n"}
                                         << State::BadRequest << "/a" << QByteArray();
        QTest::newRow("chunked") << QList<QByteArray>{"POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"}
                                 << State::BadRequest << "/a" << QByteArray();
    }

    void assembler()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(State, state);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        HttpRequestAssembler assembler;
        State last = State::NeedMore;
        for (const QByteArray &piece : pieces)
            last = assembler.append(piece);
        QCOMPARE(last, state);
        if (state == State::Complete) {
            QCOMPARE(assembler.request().path, path);
            QCOMPARE(assembler.request().body, body);
            QVERIFY(assembler.request().validRequestLine);
        }
    }

    void requestLine_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("id");
        QTest::newRow("method alone") << QByteArray("GET") << false << "" << "";
        QTest::newRow("query") << QByteArray("OPTIONS /api/switch?id=3 HTTP/1.1") << true << "OPTIONS" << "3";
        QTest::newRow("two blanks give an empty target") << QByteArray("GET  /x HTTP/1.1") << true << "GET" << "";
        QTest::newRow("any word") << QByteArray("BREW /api/switch?id=%32") << true << "BREW" << "2";
    }

    void requestLine()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, valid);
        QFETCH(QString, method);
        QFETCH(QString, id);
        HttpRequest request;
        HttpRequestAssembler::parseHead(head + "\r\nHost: x\r\nOrigin:  http://y ", request);
        QCOMPARE(request.validRequestLine, valid);
        QCOMPARE(request.method, method);
        QCOMPARE(request.query.queryItemValue("id", QUrl::FullyDecoded), id);
        QCOMPARE(request.header("host"), QByteArray("x"));
        QCOMPARE(request.header("ORIGIN"), QByteArray("http://y"));
        QVERIFY(request.header("Content-Length").isNull());
    }

    void findLocalIp_data()
    {
        QTest::addColumn<QList<NetworkInterfaceEntry>>("interfaces");
        QTest::addColumn<QString>("ip");
        const auto lo = iface({"127.0.0.1", "::1"}, true, true, true);
        QTest::newRow("192.168 wins over earlier 172.20")
            << QList<NetworkInterfaceEntry>{lo, iface({"172.20.0.5"}), iface({"fe80::1", "192.168.1.20"})} << "192.168.1.20";
        QTest::newRow("10.x wins too") << QList<NetworkInterfaceEntry>{iface({"8.8.4.4"}), iface({"10.1.2.3"})} << "10.1.2.3";
        QTest::newRow("first other address kept")
            << QList<NetworkInterfaceEntry>{iface({"172.20.0.5"}), iface({"203.0.113.9"})} << "172.20.0.5";
        QTest::newRow("loopback only") << QList<NetworkInterfaceEntry>{lo} << "127.0.0.1";
        QTest::newRow("up but not running is skipped")
            << QList<NetworkInterfaceEntry>{iface({"192.168.1.20"}, true, false), iface({"172.20.0.5"})} << "172.20.0.5";
        QTest::newRow("down is skipped") << QList<NetworkInterfaceEntry>{iface({"10.0.0.2"}, false, false)} << "127.0.0.1";
        QTest::newRow("IPv6 only") << QList<NetworkInterfaceEntry>{iface({"2001:db8::5"})} << "127.0.0.1";
        QTest::newRow("nothing") << QList<NetworkInterfaceEntry>{} << "127.0.0.1";
    }

    void findLocalIp()
    {
        QFETCH(QList<NetworkInterfaceEntry>, interfaces);
        QFETCH(QString, ip);
        QCOMPARE(NetworkInfo::findLocalIp(interfaces), ip);
    }

    void qrCodeScansBack_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("side");
        QTest::newRow("version 2, 25 modules") << "http://192.168.1.20:8080/" << 232;
        QTest::newRow("loopback") << "http://127.0.0.1:8081/" << 232;
        QTest::newRow("long address") << "http://172.20.100.200:65000/" + QString(40, 'a') << 0;
    }

    void qrCodeScansBack()
    {
        if (QStandardPaths::findExecutable("zbarimg").isEmpty())
            QFAIL("zbarimg (zbar-tools) is not installed");
        QFETCH(QString, url);
        QFETCH(int, side);
        QImage image;
        QString error;
        QVERIFY(QrCodeImage::render(url, image, error));
        QCOMPARE(image.width(), image.height());
        QCOMPARE((image.width() - 32) % 8, 0);
        if (side)
            QCOMPARE(image.width(), side);
        // White margin, only pure black and white, modules on the 8 px grid.
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y) & 0xffffff;
                QVERIFY(p == 0xffffff || p == 0);
                if (x < 16 || y < 16 || x >= image.width() - 16 || y >= image.height() - 16)
                    QCOMPARE(p, QRgb(0xffffff));
                else
                    QCOMPARE(p, image.pixel(16 + (x - 16) / 8 * 8, 16 + (y - 16) / 8 * 8) & 0xffffff);
            }
        }
        QCOMPARE(decodeQr(image), url);

        const QString dataUrl = QrCodeImage::pngDataUrl(image);
        QVERIFY(dataUrl.startsWith("data:image/png;base64,"));
        const QImage back = QImage::fromData(QByteArray::fromBase64(dataUrl.mid(22).toLatin1()), "PNG");
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), image);
    }

    void qrCodeTooLong()
    {
        QImage image;
        QString error;
        QVERIFY(!QrCodeImage::render(QString(8000, 'x'), image, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(image.isNull());
    }

    void previewSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("scaled");
        QTest::newRow("1080p") << 1920 << 1080 << QSize(480, 270);
        QTest::newRow("VGA") << 640 << 480 << QSize(360, 270);
        QTest::newRow("portrait") << 1080 << 1920 << QSize(151, 270);
        QTest::newRow("small is scaled up") << 4 << 2 << QSize(480, 240);
    }

    void previewSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, scaled);
        std::vector<uint8_t> frame(size_t(width) * height * 4, 255);
        const QByteArray jpeg = MjpegStream::encodePreview(frame, width, height);
        QVERIFY(jpeg.startsWith("\xff\xd8"));
        QCOMPARE(QImage::fromData(jpeg, "JPEG").size(), scaled);
        frame.resize(frame.size() - 1); // smaller than declared
        QVERIFY(MjpegStream::encodePreview(frame, width, height).isEmpty());
        QVERIFY(MjpegStream::encodePreview(frame, 0, height).isEmpty());
    }

    void previewPart()
    {
        QCOMPARE(MjpegStream::part("JPEG"), QByteArray("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: 4\r\n\r\nJPEG\r\n"));
    }
};

QTEST_MAIN(TestRemoteUnits)
#include "tst_remote_units.moc"
