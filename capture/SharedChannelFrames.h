#pragma once

#include <QImage>
#include <memory>

class ISource;

// The newest frame of each channel as an image, fetched at most once per
// short interval however many views show the channel. The image wraps the
// source's own frame buffer (no copy) and keeps it from being overwritten for
// as long as the image or any copy of it lives. GUI thread only; the images
// may be let go on any thread.
namespace SharedChannelFrames {

// The channel's current picture: a null image when source is empty or not
// running; the previous picture when the frame is momentarily of the wrong size.
QImage frameFor(int channelId, const std::shared_ptr<ISource> &source, const QImage &previous);

} // namespace SharedChannelFrames
