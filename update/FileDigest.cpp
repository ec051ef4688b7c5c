#include "update/FileDigest.h"

#include <QCryptographicHash>
#include <QFile>

namespace FileDigest {

QString sha256Hex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    if (file.error() != QFileDevice::NoError)
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

Result verify(const QString &path, const QString &expected, QString *actual)
{
    const QString digest = sha256Hex(path);
    if (actual)
        *actual = digest;
    if (digest.isEmpty())
        return Result::Unreadable;
    return digest == expected.trimmed().toLower() ? Result::Verified : Result::Mismatch;
}

} // namespace FileDigest
