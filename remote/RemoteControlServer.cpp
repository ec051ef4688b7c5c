#include "remote/RemoteControlServer.h"

#include "remote/ControlPage.h"
#include "remote/IRemoteBackend.h"
#include "remote/NetworkInfo.h"
#include "remote/QrCodeImage.h"
#include "remote/StatusDocument.h"

#include <QDebug>
#include <QHostAddress>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

// Answers for a server that has not been linked to the recorder yet: no
// cameras, no take, nothing changes.
class UnlinkedBackend final : public IRemoteBackend
{
public:
    int activeSourceId() const override { return 0; }
    void setActiveSourceId(int) override {}
    int countdownSeconds() const override { return 0; }
    double currentFps() const override { return 0; }
    bool isArming() const override { return false; }
    bool isRecording() const override { return false; }
    double masterVolume() const override { return 0; }
    double selectedGlobalFps() const override { return 0; }
    QString sessionName() const override { return {}; }
    QString timecode() const override { return {}; }
    void startRecording() override {}
    void stopRecording() override {}
    bool isCameraRunning(int) const override { return false; }
    QString cameraLink(int) const override { return {}; }
    QString cameraName(int) const override { return {}; }
    QString cameraColorRange(int) const override { return {}; }
    float cameraFramerate(int) const override { return 0; }
    int cameraWidth(int) const override { return 0; }
    int cameraHeight(int) const override { return 0; }
    void setCameraForChannel(int, const QString &, int, int, float, const QString &) override {}
    void removeCameraFromChannel(int) override {}
    bool latestFrame(int, std::vector<uint8_t> &, int &, int &) override { return false; }
    QByteArray deviceInventoryJson() override { return QByteArrayLiteral("{\"audioDevices\":[],\"videoDevices\":[]}"); }
    bool hasChannelModel() const override { return false; }
    QString channelName(int) const override { return {}; }
    bool hasActiveVideo(int) const override { return false; }
    void setChannelName(int, const QString &) override {}
};

QJsonObject bodyObject(const HttpRequest &request)
{
    const QJsonDocument doc = QJsonDocument::fromJson(request.body);
    return doc.isObject() ? doc.object() : QJsonObject();
}

int decimal(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

// "host[:port]" split into a lower-case host and a port (default when absent).
bool splitAuthority(const QByteArray &authority, QString &host, int &port, int defaultPort)
{
    const QString text = QString::fromLatin1(authority).trimmed().toLower();
    if (text.isEmpty())
        return false;
    port = defaultPort;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (rest.isEmpty())
            return true;
        if (!rest.startsWith(QLatin1Char(':')))
            return false;
        bool ok = false;
        port = rest.mid(1).toInt(&ok);
        return ok;
    }
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        host = text;
        return true;
    }
    host = text.left(colon);
    bool ok = false;
    port = text.mid(colon + 1).toInt(&ok);
    return ok && !host.isEmpty();
}

} // namespace

RemoteControlServer::RemoteControlServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_stream, &MjpegStream::viewerCountChanged, this, &RemoteControlServer::clientCountChanged);
}

RemoteControlServer::~RemoteControlServer()
{
    stopServer();
}

RemoteControlServer &RemoteControlServer::instance()
{
    static RemoteControlServer server;
    return server;
}

void RemoteControlServer::setBackend(IRemoteBackend *backend)
{
    m_backend = backend;
    m_stream.setBackend(backend);
}

IRemoteBackend &RemoteControlServer::backend()
{
    static UnlinkedBackend unlinked;
    return m_backend ? *m_backend : unlinked;
}

void RemoteControlServer::startServer(int port)
{
    if (m_isRunning)
        stopServer();

    auto *server = new QTcpServer(this);
    connect(server, &QTcpServer::newConnection, this, &RemoteControlServer::onNewConnection);
    int bound = port;
    if (!server->listen(QHostAddress::AnyIPv4, quint16(port))) {
        qWarning() << "[RemoteControlServer] Port" << port << "busy, trying" << port + 1;
        bound = port + 1;
        if (!server->listen(QHostAddress::AnyIPv4, quint16(bound))) {
            qCritical() << "[RemoteControlServer] Failed to listen on any port:" << server->errorString();
            delete server;
            m_tcpServer = nullptr;
            return;
        }
    }
    m_tcpServer = server;
    m_port = server->serverPort();
    m_isRunning = true;
    updateNetworkInfo();
    generateQrCode();
    emit serverStateChanged();
    emit serverUrlChanged();
    emit localIpChanged();
    emit portChanged();
    emit clientCountChanged();
    qDebug() << "[RemoteControlServer] Online at:" << m_serverUrl;
}

void RemoteControlServer::stopServer()
{
    m_stream.closeAll();
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it)
        it.key()->disconnect(this);
    m_connections.clear();
    if (m_tcpServer) {
        m_tcpServer->close();
        m_tcpServer->deleteLater(); // open request sockets are its children
        m_tcpServer = nullptr;
    }
    m_isRunning = false;
    emit serverStateChanged();
    emit clientCountChanged();
    qDebug() << "[RemoteControlServer] Stopped.";
}

void RemoteControlServer::toggleServer()
{
    if (m_isRunning)
        stopServer();
    else
        startServer(m_port > 0 ? m_port : 8080);
}

void RemoteControlServer::updateNetworkInfo()
{
    m_localIp = NetworkInfo::findLocalIp(NetworkInfo::systemInterfaces());
    m_serverUrl = NetworkInfo::serverUrl(m_localIp, m_port);
}

void RemoteControlServer::refreshNetworkInfo()
{
    updateNetworkInfo();
    generateQrCode();
    emit localIpChanged();
    emit serverUrlChanged();
}

void RemoteControlServer::generateQrCode()
{
    if (m_serverUrl.isEmpty()) {
        m_qrCodeDataUrl.clear();
        emit qrCodeDataUrlChanged();
        return;
    }
    QImage image;
    QString error;
    if (!QrCodeImage::render(m_serverUrl, image, error)) {
        qWarning() << "[RemoteControlServer] QR code generation error:" << error;
        return;
    }
    const QString dataUrl = QrCodeImage::pngDataUrl(image);
    if (dataUrl.isEmpty()) {
        qWarning() << "[RemoteControlServer] QR code generation error:" << "PNG encoding failed";
        return;
    }
    m_qrCodeDataUrl = dataUrl;
    emit qrCodeDataUrlChanged();
}

void RemoteControlServer::onNewConnection()
{
    if (!m_tcpServer)
        return;
    while (m_tcpServer->hasPendingConnections()) {
        QTcpSocket *socket = m_tcpServer->nextPendingConnection();
        if (!socket)
            break;
        if (m_connections.size() >= maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto connection = std::make_shared<Connection>();
        connection->idleTimer = new QTimer(socket);
        connection->idleTimer->setSingleShot(true);
        connect(connection->idleTimer, &QTimer::timeout, socket, &QTcpSocket::abort);
        connection->idleTimer->start(idleTimeoutMs);
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, &RemoteControlServer::onSocketReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &RemoteControlServer::onSocketDisconnected);
    }
}

void RemoteControlServer::onSocketReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    const QByteArray bytes = socket->readAll();
    const auto found = m_connections.constFind(socket);
    if (found == m_connections.constEnd())
        return; // a stream viewer: what it sends is ignored
    const std::shared_ptr<Connection> connection = found.value();
    if (connection->assembler.state() != HttpRequestAssembler::State::NeedMore)
        return; // one request per connection
    switch (connection->assembler.append(bytes)) {
    case HttpRequestAssembler::State::NeedMore:
        return;
    case HttpRequestAssembler::State::HeadTooLarge:
    case HttpRequestAssembler::State::BodyTooLarge:
        sendError(socket, QByteArrayLiteral("413 Payload Too Large"));
        return;
    case HttpRequestAssembler::State::BadRequest:
        sendError(socket, QByteArrayLiteral("400 Bad Request"));
        return;
    case HttpRequestAssembler::State::Complete:
        handleRequest(socket, connection->assembler.request());
        return;
    }
}

void RemoteControlServer::forgetConnection(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    if (found.value()->idleTimer)
        found.value()->idleTimer->stop();
    m_connections.erase(found);
}

void RemoteControlServer::onSocketDisconnected()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    forgetConnection(socket);
    m_stream.removeViewer(socket);
    socket->deleteLater();
}

void RemoteControlServer::onStreamTimerTimeout()
{
    m_stream.tick();
}

bool RemoteControlServer::isAllowedHost(const QByteArray &hostHeader)
{
    if (hostHeader.isNull())
        return true;
    QString host;
    int port = 0;
    if (!splitAuthority(hostHeader, host, port, 80))
        return false;
    if (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (!QHostAddress(host).isNull())
        return true;
    if (host == QLatin1String("localhost") || host.endsWith(QLatin1String(".localhost")))
        return true;
    const QString machine = QHostInfo::localHostName().toLower();
    if (machine.isEmpty())
        return false;
    const QString domain = QHostInfo::localDomainName().toLower();
    return host == machine || host == machine + QLatin1String(".local")
        || (!domain.isEmpty() && host == machine + QLatin1Char('.') + domain);
}

bool RemoteControlServer::isSameOrigin(const QByteArray &origin, const QByteArray &hostHeader)
{
    if (origin.isNull())
        return true;
    const QUrl url(QString::fromLatin1(origin.trimmed()));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false; // "null" and other opaque origins
    QString host;
    int port = 0;
    if (!splitAuthority(hostHeader, host, port, 80))
        return false;
    const int originPort = url.port(scheme == QLatin1String("https") ? 443 : 80);
    return url.host().toLower() == host && originPort == port;
}

void RemoteControlServer::handleRequest(QTcpSocket *socket, const HttpRequest &request)
{
    if (!request.validRequestLine)
        return; // no answer; the idle timeout closes the connection
    if (!isAllowedHost(request.header("Host"))) {
        sendError(socket, QByteArrayLiteral("403 Forbidden"));
        return;
    }
    const QString &path = request.path;
    const bool isCommand = path == QLatin1String("/api/add_source") || path == QLatin1String("/api/remove_source")
        || path == QLatin1String("/api/switch") || path == QLatin1String("/api/record");
    if (isCommand && !isSameOrigin(request.header("Origin"), request.header("Host"))) {
        sendError(socket, QByteArrayLiteral("403 Forbidden"));
        return;
    }

    if (path == QLatin1String("/") || path == QLatin1String("/index.html"))
        sendPage(socket);
    else if (path == QLatin1String("/api/status") || path == QLatin1String("/api/sources"))
        sendStatus(socket);
    else if (path == QLatin1String("/api/devices") || path == QLatin1String("/devices_info.json"))
        sendJsonResponse(socket, 200, backend().deviceInventoryJson());
    else if (path == QLatin1String("/api/add_source"))
        handleAddSource(socket, request);
    else if (path == QLatin1String("/api/remove_source"))
        handleRemoveSource(socket, request);
    else if (path == QLatin1String("/api/switch"))
        handleSwitch(socket, request);
    else if (path == QLatin1String("/api/record"))
        handleRecord(socket);
    else if (path == QLatin1String("/stream.mjpg") || path == QLatin1String("/preview.mjpg"))
        joinStream(socket);
    else
        sendError(socket, QByteArrayLiteral("404 Not Found"));
}

void RemoteControlServer::joinStream(QTcpSocket *socket)
{
    forgetConnection(socket);
    if (!m_stream.isViewer(socket) && m_stream.viewerCount() >= maxStreamViewers) {
        socket->abort();
        return;
    }
    m_stream.addViewer(socket);
}

void RemoteControlServer::handleAddSource(QTcpSocket *socket, const HttpRequest &request)
{
    const QJsonObject body = bodyObject(request);
    int channelId = body.value(QStringLiteral("channelId")).toInt(1);
    QString deviceLink = body.value(QStringLiteral("deviceLink")).toString();
    const int width = body.value(QStringLiteral("width")).toInt(1920);
    const int height = body.value(QStringLiteral("height")).toInt(1080);
    const float framerate = float(body.value(QStringLiteral("framerate")).toDouble(30.0));
    const QString colorRange = body.value(QStringLiteral("colorRange")).toString(QStringLiteral("Default"));
    const QString channelName = body.value(QStringLiteral("channelName")).toString();

    if (request.query.hasQueryItem(QStringLiteral("channelId")))
        channelId = decimal(request.query.queryItemValue(QStringLiteral("channelId"), QUrl::FullyDecoded));
    if (request.query.hasQueryItem(QStringLiteral("deviceLink")))
        deviceLink = request.query.queryItemValue(QStringLiteral("deviceLink"), QUrl::FullyDecoded);

    IRemoteBackend &b = backend();
    if (channelId >= 1 && channelId <= 4) {
        b.setCameraForChannel(channelId, deviceLink, width, height, framerate, colorRange);
        if (!channelName.isEmpty() && b.hasChannelModel())
            b.setChannelName(channelId, channelName);
        if (b.activeSourceId() <= 0)
            b.setActiveSourceId(channelId);
    }
    QJsonObject reply;
    reply.insert(QStringLiteral("channelId"), channelId);
    reply.insert(QStringLiteral("status"), QStringLiteral("ok"));
    sendJsonResponse(socket, 200, StatusDocument::compact(reply));
}

void RemoteControlServer::handleRemoveSource(QTcpSocket *socket, const HttpRequest &request)
{
    int channelId = decimal(request.query.queryItemValue(QStringLiteral("channelId"), QUrl::FullyDecoded));
    if (channelId < 1) {
        const QJsonDocument doc = QJsonDocument::fromJson(request.body);
        if (doc.isObject())
            channelId = doc.object().value(QStringLiteral("channelId")).toInt(0);
    }
    if (channelId >= 1 && channelId <= 4)
        backend().removeCameraFromChannel(channelId);
    QJsonObject reply;
    reply.insert(QStringLiteral("status"), QStringLiteral("ok"));
    sendJsonResponse(socket, 200, StatusDocument::compact(reply));
}

void RemoteControlServer::handleSwitch(QTcpSocket *socket, const HttpRequest &request)
{
    QString target = request.query.queryItemValue(QStringLiteral("id"), QUrl::FullyDecoded);
    if (target.isEmpty())
        target = QString::number(bodyObject(request).value(QStringLiteral("id")).toInt(1));
    const int id = decimal(target);
    if (id >= 1 && id <= 4) {
        backend().setActiveSourceId(id);
        qDebug() << "[RemoteControlServer] Switched active source to:" << id;
    }
    sendStatus(socket);
}

void RemoteControlServer::handleRecord(QTcpSocket *socket)
{
    IRemoteBackend &b = backend();
    if (b.isRecording())
        b.stopRecording();
    else
        b.startRecording();
    sendStatus(socket);
}

void RemoteControlServer::sendStatus(QTcpSocket *socket)
{
    sendJsonResponse(socket, 200, StatusDocument::compact(StatusDocument::build(backend())));
}

void RemoteControlServer::sendJsonResponse(QTcpSocket *socket, int status, const QByteArray &body)
{
    QByteArray response = QStringLiteral("HTTP/1.1 %1 OK\r\n").arg(status).toLatin1();
    response += "Content-Type: application/json; charset=utf-8\r\n"
                "Access-Control-Allow-Origin: *\r\n"
                "Access-Control-Allow-Methods: GET, POST, OPTIONS\r\n"
                "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
                "Connection: close\r\n\r\n";
    response += body;
    finish(socket, response);
}

void RemoteControlServer::sendPage(QTcpSocket *socket)
{
    const QByteArray &page = ControlPage::html();
    QByteArray response = "HTTP/1.1 200 OK\r\n"
                          "Content-Type: text/html; charset=utf-8\r\n"
                          "Access-Control-Allow-Origin: *\r\n"
                          "Content-Length: " + QByteArray::number(page.size()) + "\r\n"
                          "Connection: close\r\n\r\n";
    response += page;
    finish(socket, response);
}

void RemoteControlServer::sendError(QTcpSocket *socket, const QByteArray &statusLine)
{
    QByteArray response = "HTTP/1.1 " + statusLine + "\r\n"
                          "Content-Type: text/plain\r\n"
                          "Content-Length: " + QByteArray::number(statusLine.size()) + "\r\n"
                          "Connection: close\r\n\r\n";
    response += statusLine;
    finish(socket, response);
}

void RemoteControlServer::finish(QTcpSocket *socket, const QByteArray &response)
{
    socket->write(response);
    socket->flush();
    socket->disconnectFromHost();
}
