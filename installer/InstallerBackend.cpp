#include "installer/InstallerBackend.h"

#include "platform/StandardLocations.h"
#include "update/FileDigest.h"
#include "update/FileDownload.h"
#include "update/SetupProgram.h"
#include "update/UpdateServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>

namespace {

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / 1048576.0, 'f', 1);
}

QString platformFolderDialog(const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(nullptr, title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

} // namespace

InstallerBackend::InstallerBackend(QObject *parent)
    : QObject(parent)
    , m_serverBaseUrl(UpdateServer::defaultBaseUrl())
    , m_folderChooser(platformFolderDialog)
    , m_installPath(StandardLocations::defaultInstallFolder())
{
}

InstallerBackend::~InstallerBackend()
{
    if (m_versionReply) {
        QNetworkReply *reply = m_versionReply;
        m_versionReply = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
    m_download.reset();
    if (m_setupProcess)
        disconnect(m_setupProcess, nullptr, this, nullptr);
}

QStringList InstallerBackend::setupArguments(const QString &installPath)
{
    return {QStringLiteral("/VERYSILENT"), QStringLiteral("/SUPPRESSMSGBOXES"), QStringLiteral("/NORESTART"),
            QStringLiteral("/DIR=\"") + installPath + QLatin1Char('"')};
}

void InstallerBackend::setInstallPath(const QString &path)
{
    if (path == m_installPath)
        return;
    m_installPath = path;
    emit installPathChanged();
}

void InstallerBackend::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void InstallerBackend::setStatusText(const QString &text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    emit statusTextChanged();
}

void InstallerBackend::fail(const QString &text)
{
    setStatusText(text);
    setState(Error);
}

QNetworkRequest InstallerBackend::makeRequest(const QUrl &url) const
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (m_sslConfiguration)
        request.setSslConfiguration(*m_sslConfiguration);
    return request;
}

void InstallerBackend::browsePath()
{
    if (!m_folderChooser)
        return;
    const QString chosen = m_folderChooser(QStringLiteral("Select Installation Directory"), m_installPath);
    if (!chosen.isEmpty())
        setInstallPath(chosen);
}

void InstallerBackend::startInstallation()
{
    // One installation per run: a second click while it runs changes nothing.
    if (m_state != Welcome)
        return;
    setState(DL);
    setStatusText(QStringLiteral("Povezivanje sa serverom..."));

    QNetworkRequest request = makeRequest(UpdateServer::versionDocumentUrl(m_serverBaseUrl));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    m_versionReply = m_network.get(request);
    connect(m_versionReply, &QNetworkReply::finished, this, &InstallerBackend::onVersionReply);
}

void InstallerBackend::onVersionReply()
{
    QNetworkReply *reply = m_versionReply;
    if (!reply)
        return;
    m_versionReply = nullptr;
    reply->deleteLater();

    if (reply->error() != QNetworkReply::NoError) {
        fail(QStringLiteral("Greška: Nije moguće preuzeti version.json"));
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
    if (!document.isObject()) {
        fail(QStringLiteral("Greška: Neispravan format verzije"));
        return;
    }
    const QJsonObject version = document.object();
    const QString url = version.value(QStringLiteral("downloadUrl")).toString();
    m_expectedSha256 = version.value(QStringLiteral("sha256")).toString();
    if (url.isEmpty()) {
        fail(QStringLiteral("Greška: URL za preuzimanje nije pronađen"));
        return;
    }
    startDownload(QUrl(url));
}

void InstallerBackend::startDownload(const QUrl &url)
{
    setStatusText(QStringLiteral("Preuzimanje instalacije..."));
    m_downloadProgress = 0.0f;
    emit downloadProgressChanged();

    const QString folder = StandardLocations::temporaryFolder();
    QDir().mkpath(folder);
    m_downloadedFilePath = folder + QLatin1Char('/') + StandardLocations::installerSetupFileName();
    auto download = std::make_unique<FileDownload>();
    if (!download->open(m_downloadedFilePath)) {
        fail(QStringLiteral("Greška: Nije moguće sačuvati fajl u Temp folder"));
        return;
    }
    m_download = std::move(download);
    connect(m_download.get(), &FileDownload::progress, this, &InstallerBackend::onDownloadProgress);
    connect(m_download.get(), &FileDownload::finished, this, &InstallerBackend::onDownloadFinished);
    m_download->start(m_network, makeRequest(url));
}

void InstallerBackend::onDownloadProgress(qint64 received, qint64 total)
{
    if (total <= 0)
        return;
    m_downloadProgress = float(received) / float(total);
    emit downloadProgressChanged();
    setStatusText(QStringLiteral("Preuzeto: %1 MB / %2 MB").arg(megabytes(received), megabytes(total)));
}

void InstallerBackend::onDownloadFinished(bool ok, const QString &errorText)
{
    if (!m_download)
        return;
    m_download.release()->deleteLater();
    if (!ok) {
        // A failed or cut-short download is never run; nothing of it is kept.
        QFile::remove(m_downloadedFilePath);
        fail(QStringLiteral("Greška: Preuzimanje instalacije nije uspelo (%1)").arg(errorText));
        return;
    }
    verifyAndRun();
}

void InstallerBackend::verifyAndRun()
{
    setStatusText(QStringLiteral("Provera fajla..."));
    QString actual;
    const FileDigest::Result result = FileDigest::verify(m_downloadedFilePath, m_expectedSha256, &actual);
    if (result == FileDigest::Result::Unreadable) {
        fail(QStringLiteral("Greška: Preuzeti fajl nije moguće pročitati"));
        return;
    }
    if (!m_expectedSha256.isEmpty() && result == FileDigest::Result::Mismatch) {
        fail(QStringLiteral("Greška: Fajl je oštećen (SHA256 ne odgovara)"));
        return;
    }
    runSetup();
}

void InstallerBackend::runSetup()
{
    setState(Install);
    setStatusText(QStringLiteral("Instaliranje programa, molimo sačekajte..."));
    SetupProgram::makeExecutable(m_downloadedFilePath);

    auto *process = new QProcess(this);
    m_setupProcess = process;
    // The setup's own output goes to ours, so a talkative setup never blocks
    // on a full pipe that nobody reads.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this, &InstallerBackend::onSetupFinished);
    connect(process, &QProcess::errorOccurred, this, &InstallerBackend::onSetupError);
    const QString program = QDir::toNativeSeparators(m_downloadedFilePath);
#ifdef Q_OS_WIN
    // Built natively so the quotes of /DIR="..." reach the setup unescaped.
    process->setProgram(program);
    process->setNativeArguments(setupArguments(m_installPath).join(QLatin1Char(' ')));
    process->start(QIODevice::ReadWrite);
#else
    process->start(program, setupArguments(m_installPath), QIODevice::ReadWrite);
#endif
}

void InstallerBackend::onSetupError(QProcess::ProcessError error)
{
    // Only a setup that never started is handled here; the others also end in
    // finished, which reports them.
    if (error != QProcess::FailedToStart || !m_setupProcess)
        return;
    QProcess *process = m_setupProcess;
    m_setupProcess = nullptr;
    disconnect(process, nullptr, this, nullptr);
    process->deleteLater();
    fail(QStringLiteral("Greška: Nije moguće pokrenuti instalacioni program"));
    QFile::remove(m_downloadedFilePath);
}

void InstallerBackend::onSetupFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    QProcess *process = m_setupProcess;
    if (!process)
        return;
    m_setupProcess = nullptr;
    disconnect(process, nullptr, this, nullptr);
    process->deleteLater();
    if (exitCode != 0 || exitStatus != QProcess::NormalExit) {
        setState(Error);
        setStatusText(QStringLiteral("Došlo je do greške prilikom instalacije."));
    } else {
        setState(Finish);
        setStatusText(QStringLiteral("Instalacija je uspešno završena!"));
    }
    QFile::remove(m_downloadedFilePath);
}

void InstallerBackend::quit()
{
    QCoreApplication::quit();
}
