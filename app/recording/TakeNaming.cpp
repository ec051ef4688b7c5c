#include "app/recording/TakeNaming.h"

#include <QDir>

namespace TakeNaming {

QString sessionName(const QString &typed, const QDateTime &now)
{
    QString name = typed.trimmed();
    if (name.isEmpty() || name == QLatin1String("SESSION_001_ACTIVE"))
        return QStringLiteral("Session_") + now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
    bool onlyDots = true;
    for (QChar &c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c))
            c = QLatin1Char('_');
        if (c != QLatin1Char('.'))
            onlyDots = false;
    }
    if (onlyDots)
        name.fill(QLatin1Char('_'));
    return name;
}

int nextTakeNumber(const QString &sessionFolder)
{
    const QStringList names = QDir(sessionFolder).entryList({QStringLiteral("Take_*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    int highest = 0;
    for (const QString &name : names) {
        bool ok = false;
        const int n = name.mid(5).toInt(&ok, 10);
        if (ok && n > highest)
            highest = n;
    }
    return highest + 1;
}

QString takeFolderName(int number)
{
    return QStringLiteral("Take_%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString cameraFileName(int channelId, const QString &extension)
{
    return QStringLiteral("Camera_%1.%2").arg(channelId, 2, 10, QLatin1Char('0')).arg(extension);
}

QString channelAudioFileName(int channelId)
{
    return QStringLiteral("Channel_%1_Audio.wav").arg(channelId, 2, 10, QLatin1Char('0'));
}

QString timecode(int64_t ms)
{
    if (ms < 0)
        ms = 0;
    const auto two = [](int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(ms / 3600000) + ':' + two((ms % 3600000) / 60000) + ':' + two((ms % 60000) / 1000) + ':'
        + two(((ms % 1000) * 30) / 1000);
}

} // namespace TakeNaming
