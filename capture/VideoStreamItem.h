#pragma once

#include <QImage>
#include <QQuickItem>
#include <QRectF>
#include <QTimer>

#include <functional>
#include <memory>

class ISource;

// Shows one channel's live camera picture letterboxed on black. Polls its
// channel every 33 ms through the process-wide source provider (in the program:
// the application manager's cameraSourceForChannel). Frames are shared: all
// items showing one channel in one tick use the same decoded image, and the
// scene graph scales it, so a view costs no per-pixel work on the GUI thread.
// Threads: GUI thread only (updatePaintNode runs while the GUI thread waits).
class VideoStreamItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(int channelIndex READ channelIndex WRITE setChannelIndex NOTIFY channelIndexChanged)

public:
    using SourceProvider = std::function<std::shared_ptr<ISource>(int channelId)>;
    // Set once by the shell before any item polls; without one every item stays black.
    static void setSourceProvider(SourceProvider provider);

    explicit VideoStreamItem(QQuickItem *parent = nullptr);
    ~VideoStreamItem() override;

    int channelIndex() const { return m_channelIndex; }
    void setChannelIndex(int channelIndex);

    // The picture shown now (null while black).
    QImage image() const { return m_image; }
    // Where an image of imageSize is drawn inside bounds: scaled to fit,
    // aspect kept, centred.
    static QRectF letterboxRect(const QSizeF &imageSize, const QSizeF &bounds);

signals:
    void channelIndexChanged();

public slots:
    void onTimeout();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    int m_channelIndex = 0;
    QTimer m_timer;
    QImage m_image;
    qint64 m_uploadedKey = 0;
};
