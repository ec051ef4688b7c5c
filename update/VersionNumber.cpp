#include "update/VersionNumber.h"

#include <QRegularExpression>

namespace VersionNumber {

QString normalizedVersion(const QString &text)
{
    QString version = text.trimmed();
    if (version.startsWith(QLatin1Char('v')) || version.startsWith(QLatin1Char('V')))
        version.remove(0, 1);
    return version;
}

QList<int> parseVersion(const QString &text)
{
    static const QRegularExpression nonDigits(QStringLiteral("\\D+"));
    QList<int> numbers;
    const QStringList pieces = normalizedVersion(text).split(nonDigits, Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        bool ok = false;
        const int value = piece.toInt(&ok);
        if (ok)
            numbers.append(value);
    }
    while (numbers.size() < 3)
        numbers.append(0);
    return numbers;
}

bool isNewerVersion(const QString &candidate, const QString &current)
{
    const QList<int> a = parseVersion(candidate);
    const QList<int> b = parseVersion(current);
    const qsizetype length = std::max(a.size(), b.size());
    for (qsizetype i = 0; i < length; ++i) {
        const int x = i < a.size() ? a[i] : 0;
        const int y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x > y;
    }
    return false;
}

} // namespace VersionNumber
