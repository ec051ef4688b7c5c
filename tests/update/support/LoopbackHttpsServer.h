#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QSslConfiguration>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// A real HTTPS server on 127.0.0.1 for the update and installer tests: a
// throw-away certificate made by openssl, Python's http.server wrapped in TLS
// serving the files of a temporary folder (see https_server.py for the modes).
// Tests trust it through sslConfiguration(); nothing global is changed.
class LoopbackHttpsServer
{
public:
    LoopbackHttpsServer() = default;
    ~LoopbackHttpsServer();
    LoopbackHttpsServer(const LoopbackHttpsServer &) = delete;
    LoopbackHttpsServer &operator=(const LoopbackHttpsServer &) = delete;

    // Makes the certificate and starts the server; false with errorText().
    bool start();
    void stop();
    QString errorText() const { return m_error; }

    quint16 port() const { return m_port; }
    // https://127.0.0.1:<port><path>
    QUrl url(const QString &path) const;
    QString baseUrl() const;

    bool writeFile(const QString &name, const QByteArray &content) const;
    QString rootDir() const { return m_root.path(); }

    // The default configuration with the test certificate added as an authority.
    QSslConfiguration sslConfiguration() const { return m_ssl; }

    // Requests received so far ({"path", "user_agent", "accept"}); clears them.
    QList<QJsonObject> takeRequests() const;

private:
    QTemporaryDir m_root;
    QTemporaryDir m_certDir;
    QProcess m_process;
    quint16 m_port = 0;
    QSslConfiguration m_ssl;
    QString m_error;
};
