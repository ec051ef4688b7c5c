#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>

#include <memory>
#include <optional>

class FileDownload;
#include <QNetworkReply>
class QNetworkRequest;

// Checks the release manifest for a newer version, downloads the setup
// program into the temporary folder, verifies its SHA-256 digest and starts it.
// Exposed to QML as the singleton UpdateManager. GUI thread only: every reply
// reports through its signals; at most one version reply and one download
// exist at a time. Settings: group "Updates" of the Korvex/Korvex store.
class UpdateManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(QString serverUrl READ serverUrl WRITE setServerUrl NOTIFY serverUrlChanged)
    Q_PROPERTY(bool autoCheckOnStartup READ autoCheckOnStartup WRITE setAutoCheckOnStartup NOTIFY autoCheckOnStartupChanged)
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateAvailableChanged)
    Q_PROPERTY(QString latestVersion READ latestVersion NOTIFY updateInfoChanged)
    Q_PROPERTY(QString releaseDate READ releaseDate NOTIFY updateInfoChanged)
    Q_PROPERTY(QString changelog READ changelog NOTIFY updateInfoChanged)
    Q_PROPERTY(QString downloadUrl READ downloadUrl NOTIFY updateInfoChanged)
    Q_PROPERTY(QString expectedSha256 READ expectedSha256 NOTIFY updateInfoChanged)
    Q_PROPERTY(bool isMandatory READ isMandatory NOTIFY updateInfoChanged)
    Q_PROPERTY(bool isDownloading READ isDownloading NOTIFY isDownloadingChanged)
    Q_PROPERTY(float downloadProgress READ downloadProgress NOTIFY downloadProgressChanged)
    Q_PROPERTY(QString downloadProgressText READ downloadProgressText NOTIFY downloadProgressChanged)
    Q_PROPERTY(bool updateReadyToInstall READ updateReadyToInstall NOTIFY updateReadyToInstallChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)

public:
    explicit UpdateManager(QObject *parent = nullptr);
    ~UpdateManager() override;

    // The process-wide instance that QML sees.
    static UpdateManager &instance();

    // Extra trust for the update server (a test's own certificate authority);
    // production keeps Qt's default configuration and its checks.
    void setSslConfiguration(const QSslConfiguration &configuration);

    QString currentVersion() const;
    QString serverUrl() const { return m_serverUrl; }
    void setServerUrl(const QString &url);
    bool autoCheckOnStartup() const { return m_autoCheckOnStartup; }
    void setAutoCheckOnStartup(bool enabled);
    bool isChecking() const { return m_isChecking; }
    bool updateAvailable() const { return m_updateAvailable; }
    QString latestVersion() const { return m_latestVersion; }
    QString releaseDate() const { return m_releaseDate; }
    QString changelog() const { return m_changelog; }
    QString downloadUrl() const { return m_downloadUrl; }
    QString expectedSha256() const { return m_expectedSha256; }
    bool isMandatory() const { return m_isMandatory; }
    bool isDownloading() const { return m_isDownloading; }
    float downloadProgress() const { return m_downloadProgress; }
    QString downloadProgressText() const { return m_downloadProgressText; }
    bool updateReadyToInstall() const { return m_updateReadyToInstall; }
    QString statusMessage() const { return m_statusMessage; }
    QString downloadedFilePath() const { return m_downloadedFilePath; }

    Q_INVOKABLE void checkForUpdates(bool silent = false);
    Q_INVOKABLE void startDownload();
    Q_INVOKABLE void cancelDownload();
    Q_INVOKABLE void installAndRestart();
    Q_INVOKABLE void dismissUpdate();

signals:
    void serverUrlChanged();
    void autoCheckOnStartupChanged();
    void isCheckingChanged();
    void updateAvailableChanged();
    void updateInfoChanged();
    void isDownloadingChanged();
    void downloadProgressChanged();
    void updateReadyToInstallChanged();
    void statusMessageChanged();
    void updateCheckFinished(bool updateFound, const QString &version, const QString &changelog);
    void updateError(const QString &errorMessage);

private slots:
    void onVersionCheckReply();
    void onDownloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    void onDownloadFinished(bool ok, const QString &errorText);

private:
    QNetworkRequest makeRequest(const QUrl &url) const;
    void setStatusMessage(const QString &text);
    void cleanUpDownload();
    void setChecking(bool checking);

    bool silentCheck = false;
    QNetworkAccessManager networkManager;
    QPointer<QNetworkReply> versionReply;
    std::unique_ptr<FileDownload> download;
    QString m_downloadedFilePath;
    std::optional<QSslConfiguration> m_sslConfiguration;

    QString m_serverUrl;
    bool m_autoCheckOnStartup = true;
    bool m_isChecking = false;
    bool m_updateAvailable = false;
    QString m_latestVersion;
    QString m_releaseDate;
    QString m_changelog;
    QString m_downloadUrl;
    QString m_expectedSha256;
    bool m_isMandatory = false;
    bool m_isDownloading = false;
    float m_downloadProgress = 0.0f;
    QString m_downloadProgressText = QStringLiteral("0%");
    bool m_updateReadyToInstall = false;
    QString m_statusMessage = QStringLiteral("Up to date");
};
