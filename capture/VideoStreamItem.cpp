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

// Scene graph nodes of one item: the black field and the picture over it.
// The texture is the node's own and is deleted with it or when replaced.
class VideoNode : public QSGNode
{
public:
    ~VideoNode() override { delete texture; }
    QSGRectangleNode *background = nullptr;
    QSGImageNode *picture = nullptr;
    QSGTexture *texture = nullptr;
};

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

QSGNode *VideoStreamItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    auto *node = static_cast<VideoNode *>(oldNode);
    if (!node) {
        node = new VideoNode;
        node->background = window()->createRectangleNode();
        node->background->setColor(Qt::black);
        node->appendChildNode(node->background);
    }
    const QRectF bounds = boundingRect();
    node->background->setRect(bounds);

    if (m_image.isNull()) {
        if (node->picture) {
            node->removeChildNode(node->picture);
            delete node->picture;
            node->picture = nullptr;
            delete node->texture;
            node->texture = nullptr;
            m_uploadedKey = 0;
        }
        return node;
    }
    if (!node->picture || m_uploadedKey != m_image.cacheKey()) {
        QSGTexture *texture = window()->createTextureFromImage(m_image);
        if (!node->picture) {
            // The node gets its texture before it joins the tree: renderers
            // look at a new node at once.
            node->picture = window()->createImageNode();
            node->picture->setFiltering(QSGTexture::Linear);
            node->picture->setTexture(texture);
            node->picture->setRect(letterboxRect(m_image.size(), bounds.size()));
            node->appendChildNode(node->picture);
        } else {
            node->picture->setTexture(texture);
        }
        delete node->texture;
        node->texture = texture;
        m_uploadedKey = m_image.cacheKey();
    }
    node->picture->setRect(letterboxRect(m_image.size(), bounds.size()));
    return node;
}
