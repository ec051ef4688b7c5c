#pragma once

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>


#include <QNetworkReply>

// Streams one GET straight into a file, so a setup program is never held in
// memory whole. Shared by the update manager and the online installer.
// GUI thread only: everything runs from the reply's signals. Owns its reply
// (deleted later) and its file.
// A download succeeds only when the reply reports no error, every byte the
// server announced arrived and the file was written and closed; anything else
// ends in finished(false, text).
class FileDownload : public QObject
{
    Q_OBJECT
public:
    explicit FileDownload(QObject *parent = nullptr);
    ~FileDownload() override;

    // Removes a file at path and creates it empty for writing; false (with
    // errorString()) when it cannot be created.
    bool open(const QString &path);
    // Sends the GET; the file must be open.
    void start(QNetworkAccessManager &network, const QNetworkRequest &request);
    // Stops a running download without emitting finished: the reply is
    // disconnected before it is aborted. The partial file stays on disk.
    void cancel();

    bool isRunning() const { return m_reply != nullptr; }
    QString path() const { return m_file.fileName(); }
    QString errorString() const { return m_file.errorString(); }

signals:
    void progress(qint64 bytesReceived, qint64 bytesTotal);
    void finished(bool ok, const QString &errorText);

private:
    void onReadyRead();
    void onFinished();
    bool appendAvailable();
    void releaseReply();

    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    qint64 m_written = 0;
    bool m_writeFailed = false;
};
