#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

#include <QNetworkReply>
#include <QProcess>

class FileDownload;

// The online installer's backend (context property "installerBackend"): asks
// the update server where the full setup program is, downloads it into the
// temporary folder, verifies its SHA-256 digest and runs it silently into
// installPath. GUI thread only: the replies and the setup process report
// through their signals. Owns its download, reply and setup process.
class InstallerBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString installPath READ installPath WRITE setInstallPath NOTIFY installPathChanged)
    Q_PROPERTY(int state READ state NOTIFY stateChanged)
    Q_PROPERTY(float downloadProgress READ downloadProgress NOTIFY downloadProgressChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)

public:
    enum State { Welcome = 0, DL = 1, Install = 2, Finish = 3, Error = 4 };
    Q_ENUM(State)

    // Shows a folder chooser (title, start folder) and returns the chosen
    // folder, or an empty string when the user cancelled.
    using FolderChooser = std::function<QString(const QString &title, const QString &startFolder)>;

    explicit InstallerBackend(QObject *parent = nullptr);
    ~InstallerBackend() override;

    // The server that answers "/version.json"; the product's server by default.
    void setServerBaseUrl(const QUrl &url) { m_serverBaseUrl = url; }
    // Extra trust for that server (a test's own authority); production keeps
    // Qt's default configuration.
    void setSslConfiguration(const QSslConfiguration &configuration) { m_sslConfiguration = configuration; }
    // Replaces the platform's folder dialog (tests).
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }

    // The four silent-install arguments of the setup program, each exactly as
    // the program receives it: the last is /DIR="<installPath>".
    static QStringList setupArguments(const QString &installPath);

    QString installPath() const { return m_installPath; }
    void setInstallPath(const QString &path);
    int state() const { return m_state; }
    float downloadProgress() const { return m_downloadProgress; }
    QString statusText() const { return m_statusText; }
    QString downloadedFilePath() const { return m_downloadedFilePath; }

    Q_INVOKABLE void browsePath();
    Q_INVOKABLE void startInstallation();
    Q_INVOKABLE void quit();

signals:
    void installPathChanged();
    void stateChanged();
    void downloadProgressChanged();
    void statusTextChanged();

private:
    void onVersionReply();
    void startDownload(const QUrl &url);
    void onDownloadProgress(qint64 received, qint64 total);
    void onDownloadFinished(bool ok, const QString &errorText);
    void verifyAndRun();
    void runSetup();
    void onSetupFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onSetupError(QProcess::ProcessError error);
    void setState(int state);
    void setStatusText(const QString &text);
    void fail(const QString &text);
    QNetworkRequest makeRequest(const QUrl &url) const;

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_versionReply;
    std::unique_ptr<FileDownload> m_download;
    QPointer<QProcess> m_setupProcess;
    QString m_downloadedFilePath;
    QString m_expectedSha256;
    QUrl m_serverBaseUrl;
    std::optional<QSslConfiguration> m_sslConfiguration;
    FolderChooser m_folderChooser;

    QString m_installPath;
    int m_state = Welcome;
    float m_downloadProgress = 0.0f;
    QString m_statusText;
};
