#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// Talks to the server under test over a real loopback TCP connection while
// the test thread's event loop keeps running (the server shares the thread).
namespace HttpTestClient {

// Writes each piece separately (with a pause between them), then waits for
// the server to close and returns everything it sent.
inline QByteArray exchange(quint16 port, const QList<QByteArray> &pieces, int pauseMs = 30, int waitMs = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, 3000))
        return "<no connection>";
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        socket.flush();
        QTest::qWait(pauseMs);
    }
    (void)QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, waitMs);
    return socket.readAll();
}

inline QByteArray exchange(quint16 port, const QByteArray &request)
{
    return exchange(port, QList<QByteArray>{request});
}

inline QByteArray body(const QByteArray &response)
{
    const qsizetype blank = response.indexOf("\r\n\r\n");
    return blank < 0 ? QByteArray() : response.mid(blank + 4);
}

inline QByteArray statusLine(const QByteArray &response)
{
    return response.left(response.indexOf("\r\n"));
}

// A port that was free a moment ago, with the next one free as well.
inline quint16 freePortPair()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::AnyIPv4, 0))
            continue;
        const quint16 port = probe.serverPort();
        if (port >= 65534)
            continue;
        QTcpServer next;
        if (next.listen(QHostAddress::AnyIPv4, port + 1))
            return port;
    }
    return 0;
}

} // namespace HttpTestClient
