#include "update/UpdateManager.h"

#include "platform/StandardLocations.h"
#include "update/FileDigest.h"
#include "update/FileDownload.h"
#include "update/SetupProgram.h"
#include "update/UpdateServer.h"
#include "update/VersionNumber.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QSettings>

#include <memory>

namespace {

constexpr char kCurrentVersion[] = "2.4.6b";

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / 1048576.0, 'f', 1);
}

} // namespace

UpdateManager::UpdateManager(QObject *parent)
    : QObject(parent)
{
    QSettings settings(QStringLiteral("Korvex"), QStringLiteral("Korvex"));
    settings.beginGroup(QStringLiteral("Updates"));
    m_serverUrl = settings.value(QStringLiteral("serverUrl"), UpdateServer::defaultManifestUrl().toString()).toString().trimmed();
    if (m_serverUrl.isEmpty())
        m_serverUrl = UpdateServer::defaultManifestUrl().toString();
    m_autoCheckOnStartup = settings.value(QStringLiteral("autoCheckOnStartup"), true).toBool();
}

UpdateManager::~UpdateManager()
{
    if (versionReply) {
        QNetworkReply *reply = versionReply;
        versionReply = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
    download.reset();
}

UpdateManager &UpdateManager::instance()
{
    // Destroyed with the application, not after it: the network manager's
    // thread closes its cached TLS connections as it ends, which needs the
    // application's TLS backend (after the application it warned and leaked).
    static std::unique_ptr<UpdateManager> manager;
    if (!manager) {
        manager = std::make_unique<UpdateManager>();
        qAddPostRoutine([] { manager.reset(); });
    }
    return *manager;
}

void UpdateManager::setSslConfiguration(const QSslConfiguration &configuration)
{
    m_sslConfiguration = configuration;
}

QString UpdateManager::currentVersion() const
{
    return QString::fromLatin1(kCurrentVersion);
}

void UpdateManager::setServerUrl(const QString &url)
{
    const QString trimmed = url.trimmed();
    if (trimmed.isEmpty() || trimmed == m_serverUrl)
        return;
    m_serverUrl = trimmed;
    QSettings settings(QStringLiteral("Korvex"), QStringLiteral("Korvex"));
    settings.setValue(QStringLiteral("Updates/serverUrl"), m_serverUrl);
    emit serverUrlChanged();
}

void UpdateManager::setAutoCheckOnStartup(bool enabled)
{
    if (enabled == m_autoCheckOnStartup)
        return;
    m_autoCheckOnStartup = enabled;
    QSettings settings(QStringLiteral("Korvex"), QStringLiteral("Korvex"));
    settings.setValue(QStringLiteral("Updates/autoCheckOnStartup"), m_autoCheckOnStartup);
    emit autoCheckOnStartupChanged();
}

void UpdateManager::setStatusMessage(const QString &text)
{
    if (text == m_statusMessage)
        return;
    m_statusMessage = text;
    emit statusMessageChanged();
}

void UpdateManager::setChecking(bool checking)
{
    m_isChecking = checking;
    emit isCheckingChanged();
}

QNetworkRequest UpdateManager::makeRequest(const QUrl &url) const
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korvex-Studio/") + currentVersion());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (m_sslConfiguration)
        request.setSslConfiguration(*m_sslConfiguration);
    return request;
}

void UpdateManager::checkForUpdates(bool silent)
{
    if (m_isChecking || m_isDownloading)
        return;
    silentCheck = silent;
    setChecking(true);
    setStatusMessage(QStringLiteral("Proveravam ažuriranja sa servera..."));

    const QUrl url(m_serverUrl);
    if (!url.isValid() || url.scheme().isEmpty()) {
        setChecking(false);
        const QString text = QStringLiteral("Neispravan URL servera za ažuriranje.");
        setStatusMessage(text);
        emit updateError(text);
        return;
    }

    QNetworkRequest request = makeRequest(url);
    request.setRawHeader("Accept", "application/vnd.github.v3+json");
    if (versionReply) {
        QNetworkReply *old = versionReply;
        versionReply = nullptr;
        disconnect(old, nullptr, this, nullptr);
        old->abort();
        old->deleteLater();
    }
    versionReply = networkManager.get(request);
    connect(versionReply, &QNetworkReply::finished, this, &UpdateManager::onVersionCheckReply);
}

void UpdateManager::onVersionCheckReply()
{
    QNetworkReply *reply = versionReply;
    if (!reply)
        return;
    versionReply = nullptr;
    reply->deleteLater();
    setChecking(false);

    if (reply->error() != QNetworkReply::NoError) {
        const QString error = reply->errorString();
        qWarning() << "[UpdateManager] Network error during version check:" << error;
        setStatusMessage(QStringLiteral("Greška pri proveri: ") + error);
        if (!silentCheck)
            emit updateError(QStringLiteral("Nije moguće kontaktirati update server: ") + error);
        return;
    }

    const QByteArray body = reply->readAll();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        const QString reason = parseError.error != QJsonParseError::NoError
            ? parseError.errorString() : QStringLiteral("not a JSON object");
        qWarning() << "[UpdateManager] JSON parse error:" << reason;
        setStatusMessage(QStringLiteral("Neispravan format verzije na serveru."));
        if (!silentCheck)
            emit updateError(QStringLiteral("Neispravan format manifest fajla na serveru."));
        return;
    }

    const QJsonObject manifest = document.object();
    const QString version = VersionNumber::normalizedVersion(manifest.value(QStringLiteral("version")).toString());
    const QString url = manifest.value(QStringLiteral("downloadUrl")).toString().trimmed();
    if (version.isEmpty() || url.isEmpty()) {
        setStatusMessage(QStringLiteral("Manifest fajl ne sadrži verziju ili download link."));
        if (!silentCheck)
            emit updateError(QStringLiteral("Manifest fajl ne sadrži potrebne podatke za ažuriranje."));
        return;
    }

    m_latestVersion = version;
    m_releaseDate = manifest.value(QStringLiteral("releaseDate")).toString().trimmed();
    m_changelog = manifest.value(QStringLiteral("changelog_en")).toString();
    if (m_changelog.isEmpty())
        m_changelog = manifest.value(QStringLiteral("changelog")).toString();
    m_downloadUrl = url;
    m_expectedSha256 = manifest.value(QStringLiteral("sha256")).toString().trimmed();
    m_isMandatory = manifest.value(QStringLiteral("mandatory")).toBool(false);
    emit updateInfoChanged();

    if (VersionNumber::isNewerVersion(m_latestVersion, currentVersion())) {
        m_updateAvailable = true;
        emit updateAvailableChanged();
        setStatusMessage(QStringLiteral("Dostupna je nova verzija: v") + m_latestVersion);
        emit updateCheckFinished(true, m_latestVersion, m_changelog);
    } else {
        m_updateAvailable = false;
        emit updateAvailableChanged();
        setStatusMessage(QStringLiteral("Program je ažuriran (v") + currentVersion() + QStringLiteral(")"));
        emit updateCheckFinished(false, currentVersion(), QString());
    }
}

void UpdateManager::startDownload()
{
    if (m_isDownloading || m_downloadUrl.isEmpty())
        return;

    const QString folder = StandardLocations::temporaryFolder();
    QDir().mkpath(folder);
    m_downloadedFilePath = folder + QLatin1Char('/') + StandardLocations::updateSetupFileName();
    auto next = std::make_unique<FileDownload>();
    if (!next->open(m_downloadedFilePath)) {
        qWarning() << "[UpdateManager] Cannot create" << m_downloadedFilePath << next->errorString();
        setStatusMessage(QStringLiteral("Greška: Nije moguće kreirati privremeni fajl za instalaciju."));
        emit updateError(QStringLiteral("Nije moguće kreirati privremeni instalacioni fajl."));
        return;
    }
    download = std::move(next);

    m_isDownloading = true;
    m_downloadProgress = 0.0f;
    m_downloadProgressText = QStringLiteral("0%");
    m_updateReadyToInstall = false;
    emit isDownloadingChanged();
    emit downloadProgressChanged();
    emit updateReadyToInstallChanged();
    setStatusMessage(QStringLiteral("Preuzimanje ažuriranja..."));

    connect(download.get(), &FileDownload::progress, this, &UpdateManager::onDownloadProgress);
    connect(download.get(), &FileDownload::finished, this, &UpdateManager::onDownloadFinished);
    download->start(networkManager, makeRequest(QUrl(m_downloadUrl)));
}

void UpdateManager::onDownloadProgress(qlonglong bytesReceived, qlonglong bytesTotal)
{
    if (bytesTotal > 0) {
        m_downloadProgress = float(bytesReceived) / float(bytesTotal);
        // Whole percent from integers: 12582912 of 52428800 is 24%, not 23%.
        const qlonglong percent = bytesReceived * 100 / bytesTotal;
        m_downloadProgressText = QStringLiteral("%1% (%2 / %3 MB)")
            .arg(percent).arg(megabytes(bytesReceived), megabytes(bytesTotal));
    } else {
        m_downloadProgressText = QStringLiteral("%1 MB").arg(megabytes(bytesReceived));
    }
    emit downloadProgressChanged();
}

void UpdateManager::onDownloadFinished(bool ok, const QString &errorText)
{
    if (!download)
        return;
    m_isDownloading = false;
    emit isDownloadingChanged();

    if (!ok) {
        qWarning() << "[UpdateManager] Download failed:" << errorText;
        cleanUpDownload();
        setStatusMessage(QStringLiteral("Preuzimanje neuspešno: ") + errorText);
        emit updateError(QStringLiteral("Preuzimanje instalacionog paketa nije uspelo: ") + errorText);
        return;
    }
    download.release()->deleteLater();

    if (!m_expectedSha256.isEmpty()) {
        QString actual;
        switch (FileDigest::verify(m_downloadedFilePath, m_expectedSha256, &actual)) {
        case FileDigest::Result::Verified:
            qDebug() << "[UpdateManager] SHA-256 verification passed:" << actual;
            break;
        case FileDigest::Result::Mismatch:
            qWarning() << "[UpdateManager] SHA-256 mismatch! Expected:" << m_expectedSha256.toLower()
                       << "Actual:" << actual;
            QFile::remove(m_downloadedFilePath);
            cleanUpDownload();
            setStatusMessage(QStringLiteral("Greška: SHA-256 kontrolna suma se ne poklapa!"));
            emit updateError(QStringLiteral("Integritet instalacionog fajla je narušen (SHA-256 se ne poklapa sa serverom). Preuzimanje je obustavljeno radi bezbednosti."));
            return;
        case FileDigest::Result::Unreadable:
            // A file we cannot read cannot be vouched for: never offer it.
            qWarning() << "[UpdateManager] Cannot read the downloaded file for verification:" << m_downloadedFilePath;
            QFile::remove(m_downloadedFilePath);
            cleanUpDownload();
            setStatusMessage(QStringLiteral("Greška: Preuzeti fajl nije moguće proveriti."));
            emit updateError(QStringLiteral("Preuzeti instalacioni fajl nije moguće pročitati radi SHA-256 provere."));
            return;
        }
    }

    m_downloadProgress = 1.0f;
    m_downloadProgressText = QStringLiteral("100%");
    m_updateReadyToInstall = true;
    emit downloadProgressChanged();
    emit updateReadyToInstallChanged();
    setStatusMessage(QStringLiteral("Preuzimanje završeno! Spreman za instalaciju."));
}

void UpdateManager::cleanUpDownload()
{
    if (download) {
        download->cancel();
        download.release()->deleteLater();
    }
    if (m_isDownloading) {
        m_isDownloading = false;
        emit isDownloadingChanged();
    }
    m_downloadProgress = 0.0f;
    emit downloadProgressChanged();
}

void UpdateManager::cancelDownload()
{
    cleanUpDownload();
    setStatusMessage(QStringLiteral("Preuzimanje otkazano."));
}

void UpdateManager::installAndRestart()
{
    if (!m_updateReadyToInstall || !QFile::exists(m_downloadedFilePath)) {
        setStatusMessage(QStringLiteral("Instalacioni fajl nije pronađen."));
        emit updateError(QStringLiteral("Instalacioni fajl nije pronađen na računaru."));
        return;
    }
    const QString program = QDir::toNativeSeparators(m_downloadedFilePath);
    qDebug() << "[UpdateManager] Launching installer:" << program;
    SetupProgram::makeExecutable(m_downloadedFilePath);
    if (QProcess::startDetached(program, QStringList(), QString())) {
        QCoreApplication::quit();
        return;
    }
    setStatusMessage(QStringLiteral("Neuspešno pokretanje instalera."));
    emit updateError(QStringLiteral("Nije moguće pokrenuti instalacioni program."));
}

void UpdateManager::dismissUpdate()
{
    m_updateAvailable = false;
    emit updateAvailableChanged();
}
