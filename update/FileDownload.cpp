#include "update/FileDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

FileDownload::FileDownload(QObject *parent)
    : QObject(parent)
{
}

FileDownload::~FileDownload()
{
    cancel();
}

bool FileDownload::open(const QString &path)
{
    cancel();
    m_file.setFileName(path);
    if (QFile::exists(path))
        QFile::remove(path);
    m_written = 0;
    m_writeFailed = false;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void FileDownload::start(QNetworkAccessManager &network, const QNetworkRequest &request)
{
    releaseReply();
    QNetworkReply *reply = network.get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &FileDownload::onReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &FileDownload::progress);
    connect(reply, &QNetworkReply::finished, this, &FileDownload::onFinished);
}

void FileDownload::cancel()
{
    releaseReply();
    if (m_file.isOpen())
        m_file.close();
}

void FileDownload::releaseReply()
{
    if (!m_reply)
        return;
    // Qt emits finished from inside abort(): forget and disconnect the reply
    // first so a cancel never runs the failure path.
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

bool FileDownload::appendAvailable()
{
    if (!m_reply || !m_file.isOpen())
        return false;
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return true;
    if (m_file.write(data) != data.size()) {
        m_writeFailed = true;
        return false;
    }
    m_written += data.size();
    return true;
}

void FileDownload::onReadyRead()
{
    if (!appendAvailable() && m_writeFailed) {
        const QString text = m_file.errorString();
        releaseReply();
        m_file.close();
        emit finished(false, text);
    }
}

void FileDownload::onFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    appendAvailable();
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->deleteLater();

    QString errorText;
    if (reply->error() != QNetworkReply::NoError) {
        errorText = reply->errorString();
    } else if (m_writeFailed) {
        errorText = m_file.errorString();
    } else {
        // A connection closed before the announced length is a cut-short
        // transfer even when the transport did not flag it.
        bool known = false;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
        const bool identity = encoding.isEmpty() || encoding == "identity";
        if (known && identity && announced >= 0 && m_written != announced)
            errorText = QStringLiteral("nepotpun prenos (primljeno %1 od %2 bajtova)").arg(m_written).arg(announced);
    }
    if (m_file.isOpen()) {
        if (!m_file.flush() && errorText.isEmpty())
            errorText = m_file.errorString();
        m_file.close();
    }
    emit finished(errorText.isEmpty(), errorText);
}
