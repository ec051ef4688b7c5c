#include "platform/StandardLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace StandardLocations {

QString defaultRecordingPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Videos/Korvex");
#else
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty())
        videos = QDir::homePath() + QStringLiteral("/Videos");
    return QDir::cleanPath(videos) + QStringLiteral("/Korvex");
#endif
}

QString applicationDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString applicationDataFolder()
{
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) + QStringLiteral("/Korvex/Korvex");
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base) + QStringLiteral("/Korvex/Korvex");
#endif
}

QString resolveSystemScriptFolder()
{
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("PROGRAMDATA");
    if (base.isEmpty())
        base = QStringLiteral("C:/ProgramData");
    return QDir::fromNativeSeparators(base) + QStringLiteral("/Blackmagic Design/DaVinci Resolve/Fusion/Scripts/Utility");
#else
    return QStringLiteral("/opt/resolve/Fusion/Scripts/Utility");
#endif
}

QString resolveUserScriptFolder()
{
#ifdef Q_OS_WIN
    QString base = qEnvironmentVariable("APPDATA");
    if (base.isEmpty())
        base = QStringLiteral("C:/Users/Public/AppData/Roaming");
    return QDir::fromNativeSeparators(base) + QStringLiteral("/Blackmagic Design/DaVinci Resolve/Fusion/Scripts/Utility");
#else
    return QDir::homePath() + QStringLiteral("/.local/share/DaVinciResolve/Fusion/Scripts/Utility");
#endif
}

QString temporaryFolder()
{
    return QDir::tempPath();
}

QString updateSetupFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Korvex_Setup_Update.exe");
#else
    return QStringLiteral("Korvex_Setup_Update");
#endif
}

QString installerSetupFileName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Korvex_OnlineSetup.exe");
#else
    return QStringLiteral("Korvex_OnlineSetup");
#endif
}

QString defaultInstallFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Program Files/Korvex Studio");
#else
    return QStringLiteral("/opt/Korvex Studio");
#endif
}

} // namespace StandardLocations
