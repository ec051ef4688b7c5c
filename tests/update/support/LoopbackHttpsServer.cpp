#include "LoopbackHttpsServer.h"

#include <QFile>
#include <QJsonDocument>
#include <QSslCertificate>

LoopbackHttpsServer::~LoopbackHttpsServer()
{
    stop();
}

bool LoopbackHttpsServer::start()
{
    if (!m_root.isValid() || !m_certDir.isValid()) {
        m_error = QStringLiteral("cannot create temporary folders");
        return false;
    }
    const QString cert = m_certDir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_certDir.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert, QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        m_error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(cert);
    if (certificates.isEmpty()) {
        m_error = QStringLiteral("cannot read the test certificate");
        return false;
    }
    m_ssl = QSslConfiguration::defaultConfiguration();
    m_ssl.addCaCertificates(certificates);

    const QString script = qEnvironmentVariable("KORVEX_SOURCE_DIR") + QStringLiteral("/tests/update/support/https_server.py");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("python3"), {script, QStringLiteral("--root"), m_root.path(),
                                                QStringLiteral("--cert"), cert, QStringLiteral("--key"), key});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(10000)) {
            m_error = QStringLiteral("server printed no port: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
            return false;
        }
    }
    m_port = quint16(m_process.readLine().trimmed().toUInt());
    if (m_port == 0) {
        m_error = QStringLiteral("server printed no port");
        return false;
    }
    return true;
}

void LoopbackHttpsServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QUrl LoopbackHttpsServer::url(const QString &path) const
{
    return QUrl(baseUrl() + path);
}

QString LoopbackHttpsServer::baseUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(m_port);
}

bool LoopbackHttpsServer::writeFile(const QString &name, const QByteArray &content) const
{
    QFile file(m_root.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

QList<QJsonObject> LoopbackHttpsServer::takeRequests() const
{
    QList<QJsonObject> requests;
    QFile log(m_root.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return requests;
    const QList<QByteArray> lines = log.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (!line.trimmed().isEmpty())
            requests.append(QJsonDocument::fromJson(line).object());
    }
    log.close();
    log.remove();
    return requests;
}
