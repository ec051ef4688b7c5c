#include "capture/VideoStreamItem.h"

#include "capture/ISource.h"
#include "capture/SharedChannelFrames.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGRectangleNode>

namespace {

VideoStreamItem::SourceProvider &provider()
{
    static VideoStreamItem::SourceProvider p;
    return p;
}

} // namespace

void VideoStreamItem::setSourceProvider(SourceProvider p)
{
    provider() = std::move(p);
}

VideoStreamItem::VideoStreamItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
    connect(&m_timer, &QTimer::timeout, this, &VideoStreamItem::onTimeout);
    m_timer.start(33);
}

VideoStreamItem::~VideoStreamItem() = default;

void VideoStreamItem::setChannelIndex(int channelIndex)
{
    if (channelIndex == m_channelIndex)
        return;
    m_channelIndex = channelIndex;
    emit channelIndexChanged();
    update();
}

void VideoStreamItem::onTimeout()
{
    std::shared_ptr<ISource> source;
    if (provider() && m_channelIndex != 0)
        source = provider()(m_channelIndex);
    const QImage next = SharedChannelFrames::frameFor(m_channelIndex, source, m_image);
    if (next.isNull() && m_image.isNull())
        return;
    m_image = next;
    update();
}

QRectF VideoStreamItem::letterboxRect(const QSizeF &imageSize, const QSizeF &bounds)
{
    if (imageSize.isEmpty() || bounds.isEmpty())
        return QRectF();
    const QSizeF scaled = imageSize.scaled(bounds, Qt::KeepAspectRatio);
    return QRectF((bounds.width() - scaled.width()) * 0.5, (bounds.height() - scaled.height()) * 0.5,
                  scaled.width(), scaled.height());
}

// The item's node is the black field itself, a rectangle node, and the
// picture is its only child. The software renderer derives a new node's
// position and clip from its parent's recorded state, which it keeps for
// rectangle, transform and clip nodes but not for a plain QSGNode: a picture
// added later under a plain node was drawn at window coordinates, unclipped
// and over the tile's label. Each new frame gets a new picture node that owns
// its texture, so a texture is freed exactly once, with its node.
QSGNode *VideoStreamItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    auto *background = static_cast<QSGRectangleNode *>(oldNode);
    if (!background) {
        background = window()->createRectangleNode();
        background->setColor(Qt::black);
    }
    const QRectF bounds = boundingRect();
    background->setRect(bounds);

    auto *picture = static_cast<QSGImageNode *>(background->firstChild());
    const bool stale = picture && (m_image.isNull() || m_uploadedKey != m_image.cacheKey());
    if (stale) {
        background->removeChildNode(picture);
        delete picture;
        picture = nullptr;
        m_uploadedKey = 0;
    }
    if (m_image.isNull())
        return background;
    if (!picture) {
        picture = window()->createImageNode();
        picture->setOwnsTexture(true);
        picture->setFiltering(QSGTexture::Linear);
        // The node gets its texture before it joins the tree: renderers
        // look at a new node at once.
        // Marked as having alpha so that the software renderer keeps the
        // shared image as it is instead of converting a copy for every view
        // (frames are opaque; the zero frame before the first shows the black field).
        picture->setTexture(window()->createTextureFromImage(m_image, QQuickWindow::TextureHasAlphaChannel));
        picture->setRect(letterboxRect(m_image.size(), bounds.size()));
        background->appendChildNode(picture);
        m_uploadedKey = m_image.cacheKey();
    }
    picture->setRect(letterboxRect(m_image.size(), bounds.size()));
    return background;
}

void VideoStreamItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    // the letterbox follows a resize at once, not at the next poll
    if (newGeometry.size() != oldGeometry.size())
        update();
}
