#pragma once

#include <QImage>
#include <QString>

namespace QrCodeImage {

// The QR symbol of text (UTF-8, error correction M) drawn with 8 x 8 pixel
// black modules on white and a 16 pixel margin: (8n + 32) pixels square for
// n modules. False with error set when the text does not fit any version.
bool render(const QString &text, QImage &image, QString &error);

// "data:image/png;base64,..." of a PNG of image; empty when it cannot be encoded.
QString pngDataUrl(const QImage &image);

} // namespace QrCodeImage
