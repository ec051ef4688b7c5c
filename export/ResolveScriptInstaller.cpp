#include "export/ResolveScriptInstaller.h"

#include "platform/StandardLocations.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

ResolveScriptLocations ResolveScriptLocations::standard()
{
    const QString appDir = StandardLocations::applicationDirectory();
    const QString relative = QStringLiteral("/scripts/") + ResolveScriptInstaller::scriptFileName();
    ResolveScriptLocations locations;
    locations.sourceCandidates = {appDir + relative, QDir::cleanPath(appDir + QStringLiteral("/../../..") + relative)};
    locations.systemFolder = StandardLocations::resolveSystemScriptFolder();
    locations.userFolder = StandardLocations::resolveUserScriptFolder();
    return locations;
}

ResolveScriptInstaller::ResolveScriptInstaller(QObject *parent)
    : ResolveScriptInstaller(ResolveScriptLocations::standard(), parent)
{
}

ResolveScriptInstaller::ResolveScriptInstaller(ResolveScriptLocations locations, QObject *parent)
    : QObject(parent)
    , m_locations(std::move(locations))
{
}

QString ResolveScriptInstaller::sourcePath() const
{
    for (const QString &candidate : m_locations.sourceCandidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

bool ResolveScriptInstaller::copyInto(const QString &folder, const QString &source, QString &target)
{
    target = folder + QLatin1Char('/') + scriptFileName();
    if (!QDir().mkpath(folder))
        return false;
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return false;
    return QFile::copy(source, target);
}

bool ResolveScriptInstaller::install()
{
    const QString source = sourcePath();
    if (source.isEmpty()) {
        qWarning() << "[ApplicationManager] Could not find DaVinci integration script to install.";
        return false;
    }

    QString target;
    bool copied = copyInto(m_locations.systemFolder, source, target);
    if (!copied && !m_locations.userFolder.isEmpty()) {
        // No right to write the machine-wide folder: install for this user.
        copied = copyInto(m_locations.userFolder, source, target);
    }
    if (!copied) {
        qWarning() << "[ApplicationManager] Failed to copy DaVinci integration script to" << target;
        return false;
    }
    m_installedPath = target;
    qDebug() << "[ApplicationManager] Successfully installed DaVinci integration script to" << target;
    return true;
}

QString ResolveScriptInstaller::existingInstalledCopy() const
{
    for (const QString &folder : {m_locations.systemFolder, m_locations.userFolder}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = folder + QLatin1Char('/') + scriptFileName();
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QString();
}

bool ResolveScriptInstaller::installAndAnnounce()
{
    const bool installed = install();
    if (installed)
        emit daVinciScriptInstalled(true);
    return installed;
}

bool ResolveScriptInstaller::verifyAndInstall()
{
    const QString source = sourcePath();
    if (source.isEmpty())
        return false;

    const QString installed = existingInstalledCopy();
    if (installed.isEmpty())
        return installAndAnnounce();

    QFile shipped(source);
    QFile copy(installed);
    if (!shipped.open(QIODevice::ReadOnly) || !copy.open(QIODevice::ReadOnly))
        return true; // cannot compare: leave the installation alone
    const bool identical = shipped.readAll() == copy.readAll();
    shipped.close();
    copy.close();
    if (identical)
        return true;
    return installAndAnnounce();
}
