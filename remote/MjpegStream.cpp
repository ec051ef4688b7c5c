#include "remote/MjpegStream.h"

#include "remote/IRemoteBackend.h"

#include <QBuffer>
#include <QImage>
#include <QTcpSocket>

MjpegStream::MjpegStream(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &MjpegStream::tick);
}

MjpegStream::~MjpegStream()
{
    closeAll();
}

QByteArray MjpegStream::streamHead()
{
    return QByteArrayLiteral("HTTP/1.1 200 OK\r\n"
                             "Content-Type: multipart/x-mixed-replace; boundary=--frame\r\n"
                             "Cache-Control: no-cache, no-store, must-revalidate\r\n"
                             "Pragma: no-cache\r\n"
                             "Access-Control-Allow-Origin: *\r\n"
                             "Connection: close\r\n"
                             "\r\n");
}

QByteArray MjpegStream::part(const QByteArray &jpeg)
{
    QByteArray out;
    out.reserve(jpeg.size() + 80);
    out += "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: ";
    out += QByteArray::number(jpeg.size());
    out += "\r\n\r\n";
    out += jpeg;
    out += "\r\n";
    return out;
}

QByteArray MjpegStream::encodePreview(const std::vector<uint8_t> &rgba, int width, int height)
{
    if (width < 1 || height < 1 || rgba.size() < size_t(width) * size_t(height) * 4)
        return {};
    const QImage frame(rgba.data(), width, height, width * 4, QImage::Format_RGBA8888);
    const QImage scaled = frame.scaled(boxWidth, boxHeight, Qt::KeepAspectRatio, Qt::FastTransformation);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!scaled.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", jpegQuality))
        return {};
    return jpeg;
}

bool MjpegStream::isViewer(QTcpSocket *socket) const
{
    for (const auto &viewer : m_viewers) {
        if (viewer == socket)
            return true;
    }
    return false;
}

void MjpegStream::addViewer(QTcpSocket *socket)
{
    socket->write(streamHead());
    socket->flush();
    if (!isViewer(socket)) {
        m_viewers.append(socket);
        emit viewerCountChanged();
    }
    if (!m_timer.isActive())
        m_timer.start(tickMs);
}

bool MjpegStream::removeViewer(QTcpSocket *socket)
{
    const qsizetype before = m_viewers.size();
    m_viewers.removeIf([socket](const QPointer<QTcpSocket> &v) { return v == socket || v.isNull(); });
    const bool removed = m_viewers.size() != before;
    if (removed)
        emit viewerCountChanged();
    if (m_viewers.isEmpty())
        m_timer.stop();
    return removed;
}

void MjpegStream::closeAll()
{
    m_timer.stop();
    const auto viewers = m_viewers;
    m_viewers.clear();
    for (const auto &socket : viewers) {
        if (!socket)
            continue;
        socket->disconnect(); // its server must not see this close as a disconnect
        socket->close();
        socket->deleteLater();
    }
    if (!viewers.isEmpty())
        emit viewerCountChanged();
}

void MjpegStream::tick()
{
    if (m_viewers.isEmpty()) {
        m_timer.stop();
        return;
    }
    if (m_backend) {
        int width = 0;
        int height = 0;
        if (m_backend->latestFrame(m_backend->activeSourceId(), m_frame, width, height)) {
            const QByteArray jpeg = encodePreview(m_frame, width, height);
            if (!jpeg.isEmpty())
                m_lastJpeg = jpeg;
        }
    }
    if (m_lastJpeg.isEmpty())
        return;

    const QByteArray framePart = part(m_lastJpeg);
    const qint64 queueLimit = qint64(framePart.size()) * maxQueuedFrames;
    QList<QTcpSocket *> gone;
    for (const auto &viewer : m_viewers) {
        QTcpSocket *socket = viewer.data();
        if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
            gone.append(socket);
            continue;
        }
        if (socket->bytesToWrite() > queueLimit) {
            ++m_skipped; // still sending older frames: this one is skipped
            continue;
        }
        if (socket->write(framePart) != framePart.size()) {
            gone.append(socket);
            continue;
        }
        socket->flush();
    }
    if (gone.isEmpty())
        return;
    m_viewers.removeIf([&gone](const QPointer<QTcpSocket> &v) { return v.isNull() || gone.contains(v.data()); });
    for (QTcpSocket *socket : gone) {
        if (socket)
            socket->deleteLater();
    }
    emit viewerCountChanged();
    if (m_viewers.isEmpty())
        m_timer.stop();
}
