#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <vector>

class IRemoteBackend;
class QTcpSocket;

// The program preview as a motion-JPEG stream: every 50 ms while viewers
// are connected, the active channel's newest frame is scaled into 480 x 270,
// encoded once as JPEG and written to every viewer. A viewer whose socket
// still holds more than a few unsent frames skips frames until it catches
// up, so a slow phone never makes memory grow. GUI thread only.
class MjpegStream : public QObject
{
    Q_OBJECT
public:
    static constexpr int tickMs = 50;
    static constexpr int boxWidth = 480;
    static constexpr int boxHeight = 270;
    static constexpr int jpegQuality = 55;
    // Unsent bytes allowed per viewer, in frames of the current size.
    static constexpr int maxQueuedFrames = 3;

    explicit MjpegStream(QObject *parent = nullptr);
    ~MjpegStream() override;

    void setBackend(IRemoteBackend *backend) { m_backend = backend; }

    // Sends the stream head and lists the socket (once). The socket stays
    // owned by its parent; the stream deletes it when it leaves.
    void addViewer(QTcpSocket *socket);
    // Drops a socket that disconnected; true when it was a viewer.
    bool removeViewer(QTcpSocket *socket);
    // Closes every viewer and stops the timer.
    void closeAll();

    int viewerCount() const { return int(m_viewers.size()); }
    bool isViewer(QTcpSocket *socket) const;
    bool isTimerActive() const { return m_timer.isActive(); }
    QByteArray lastJpegFrame() const { return m_lastJpeg; }
    // Frames skipped for slow viewers since construction.
    quint64 skippedFrames() const { return m_skipped; }

    // One tick of the stream (the timer calls it).
    void tick();

    // Scales an RGBA frame into the preview box and encodes it; empty when
    // the frame is smaller than its declared size or encoding fails.
    static QByteArray encodePreview(const std::vector<uint8_t> &rgba, int width, int height);
    static QByteArray streamHead();
    static QByteArray part(const QByteArray &jpeg);

signals:
    void viewerCountChanged();

private:
    IRemoteBackend *m_backend = nullptr;
    QList<QPointer<QTcpSocket>> m_viewers;
    QTimer m_timer;
    QByteArray m_lastJpeg;
    std::vector<uint8_t> m_frame;
    quint64 m_skipped = 0;
};
