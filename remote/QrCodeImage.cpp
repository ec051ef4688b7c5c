#include "remote/QrCodeImage.h"

#include <QBuffer>
#include <QPainter>

#include <qrcodegen.hpp>

#include <exception>

namespace QrCodeImage {

bool render(const QString &text, QImage &image, QString &error)
{
    const QByteArray utf8 = text.toUtf8();
    try {
        const auto qr = qrcodegen::QrCode::encodeText(utf8.constData(), qrcodegen::QrCode::Ecc::MEDIUM);
        const int n = qr.getSize();
        QImage out(8 * n + 32, 8 * n + 32, QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter painter(&out);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                if (qr.getModule(x, y))
                    painter.drawRect(8 * x + 16, 8 * y + 16, 8, 8);
            }
        }
        painter.end();
        image = out;
        return true;
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
}

QString pngDataUrl(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

} // namespace QrCodeImage
