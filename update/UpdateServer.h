#pragma once

#include <QString>
#include <QUrl>

// Where the program and the online installer look for releases. The host is
// the one place to change when the update server moves.
namespace UpdateServer {

inline constexpr char host[] = "updates.korvex.studio";

// The release manifest the update manager reads by default.
inline QUrl defaultManifestUrl()
{
    return QUrl(QStringLiteral("https://%1/repos/nolvane/Korvex/releases/latest").arg(QLatin1String(host)));
}

// The update server's base address; the installer asks it for "/version.json".
inline QUrl defaultBaseUrl()
{
    return QUrl(QStringLiteral("https://%1").arg(QLatin1String(host)));
}

// "/version.json" on the server at base (its path, if any, is replaced).
inline QUrl versionDocumentUrl(const QUrl &base)
{
    QUrl url = base;
    url.setPath(QStringLiteral("/version.json"));
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace UpdateServer
