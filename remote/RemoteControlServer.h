#pragma once

#include "remote/HttpRequestAssembler.h"
#include "remote/MjpegStream.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class IRemoteBackend;
class QTcpServer;
class QTcpSocket;
class QTimer;

// The remote control's HTTP server: the control page, the JSON API and the
// MJPEG preview, on all IPv4 interfaces. One request per connection; every
// answer closes the connection except the preview stream. Requests are
// collected until their head and declared body have arrived (head at most
// 16 KiB, body at most 1 MiB, else 413); a connection that sends no complete
// request within 10 s is closed; at most 64 ordinary connections and 16
// stream viewers. Commands from a page of another origin, and requests
// naming a host other than an IP address, localhost or this machine, get 403.
//
// Threads: everything runs on the GUI thread's event loop (socket signals,
// the stream timer, the backend calls); no locks.
class RemoteControlServer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY serverStateChanged)
    Q_PROPERTY(QString serverUrl READ serverUrl NOTIFY serverUrlChanged)
    Q_PROPERTY(QString localIp READ localIp NOTIFY localIpChanged)
    Q_PROPERTY(int port READ port NOTIFY portChanged)
    Q_PROPERTY(int clientCount READ clientCount NOTIFY clientCountChanged)
    Q_PROPERTY(QString qrCodeDataUrl READ qrCodeDataUrl NOTIFY qrCodeDataUrlChanged)

public:
    static constexpr int maxConnections = 64;
    static constexpr int maxStreamViewers = 16;
    static constexpr int idleTimeoutMs = 10000;

    explicit RemoteControlServer(QObject *parent = nullptr);
    ~RemoteControlServer() override;

    // The process-wide server QML sees as RemoteServer.
    static RemoteControlServer &instance();

    // Not owned; must outlive the server or be reset to null first.
    void setBackend(IRemoteBackend *backend);

    bool isRunning() const { return m_isRunning; }
    QString serverUrl() const { return m_serverUrl; }
    QString localIp() const { return m_localIp; }
    int port() const { return m_port; }
    int clientCount() const { return m_stream.viewerCount(); }
    QString qrCodeDataUrl() const { return m_qrCodeDataUrl; }
    int openConnectionCount() const { return int(m_connections.size()); }
    const MjpegStream &stream() const { return m_stream; }

    Q_INVOKABLE void startServer(int port = 8080);
    Q_INVOKABLE void stopServer();
    Q_INVOKABLE void toggleServer();
    Q_INVOKABLE void refreshNetworkInfo();

    // Whether a Host header names this machine (an IP address, localhost or
    // the host name); an absent header is allowed.
    static bool isAllowedHost(const QByteArray &host);
    // Whether an Origin header, when present, names the same host and port
    // as the Host header.
    static bool isSameOrigin(const QByteArray &origin, const QByteArray &host);

signals:
    void serverStateChanged();
    void serverUrlChanged();
    void localIpChanged();
    void portChanged();
    void clientCountChanged();
    void qrCodeDataUrlChanged();

public slots:
    void onNewConnection();
    void onSocketReadyRead();
    void onSocketDisconnected();
    void onStreamTimerTimeout();

private:
    struct Connection
    {
        HttpRequestAssembler assembler;
        QTimer *idleTimer = nullptr; // child of the socket
    };

    void handleRequest(QTcpSocket *socket, const HttpRequest &request);
    void joinStream(QTcpSocket *socket);
    void handleAddSource(QTcpSocket *socket, const HttpRequest &request);
    void handleRemoveSource(QTcpSocket *socket, const HttpRequest &request);
    void handleSwitch(QTcpSocket *socket, const HttpRequest &request);
    void handleRecord(QTcpSocket *socket);
    void sendStatus(QTcpSocket *socket);
    void sendJsonResponse(QTcpSocket *socket, int status, const QByteArray &body);
    void sendPage(QTcpSocket *socket);
    void sendError(QTcpSocket *socket, const QByteArray &statusLine);
    void finish(QTcpSocket *socket, const QByteArray &response);
    void forgetConnection(QTcpSocket *socket);
    void updateNetworkInfo();
    void generateQrCode();
    IRemoteBackend &backend();

    QPointer<QTcpServer> m_tcpServer;
    MjpegStream m_stream;
    QHash<QTcpSocket *, std::shared_ptr<Connection>> m_connections;
    IRemoteBackend *m_backend = nullptr;
    bool m_isRunning = false;
    QString m_serverUrl;
    QString m_localIp;
    int m_port = 8080;
    QString m_qrCodeDataUrl;
};
