// Qt Quick Test of the remote control overlay. RemoteServer is a stand-in
// with the server's QML surface (a real QR image of its address), so the
// test never takes the program's port; AppManager only carries the language.
#include "remote/QrCodeImage.h"

#include "WarningGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

class LanguageStandIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString currentLanguage MEMBER m_language NOTIFY currentLanguageChanged)
public:
    QString m_language = QStringLiteral("EN");
signals:
    void currentLanguageChanged();
};

class RemoteServerStandIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY serverStateChanged)
    Q_PROPERTY(QString serverUrl READ serverUrl NOTIFY serverUrlChanged)
    Q_PROPERTY(int port READ port NOTIFY portChanged)
    Q_PROPERTY(int clientCount MEMBER m_clients NOTIFY clientCountChanged)
    Q_PROPERTY(QString qrCodeDataUrl READ qrCodeDataUrl NOTIFY qrCodeDataUrlChanged)
    Q_PROPERTY(QStringList calls MEMBER m_calls NOTIFY callsChanged)
public:
    bool isRunning() const { return m_running; }
    QString serverUrl() const { return m_url; }
    int port() const { return m_port; }
    QString qrCodeDataUrl() const { return m_qr; }

    Q_INVOKABLE void startServer(int port = 8080)
    {
        note(QStringLiteral("startServer %1").arg(port));
        m_running = true;
        m_port = port;
        emit serverStateChanged();
        updateAddress();
    }
    Q_INVOKABLE void stopServer()
    {
        note(QStringLiteral("stopServer"));
        m_running = false;
        emit serverStateChanged();
    }
    Q_INVOKABLE void toggleServer()
    {
        note(QStringLiteral("toggleServer"));
        if (m_running) {
            m_running = false;
            emit serverStateChanged();
        } else {
            startServer(m_port);
        }
    }
    Q_INVOKABLE void refreshNetworkInfo()
    {
        note(QStringLiteral("refreshNetworkInfo"));
        updateAddress();
    }
    // Test helpers
    Q_INVOKABLE void reset()
    {
        m_running = false;
        m_url.clear();
        m_qr.clear();
        m_clients = 0;
        m_calls.clear();
        emit serverStateChanged();
        emit serverUrlChanged();
        emit qrCodeDataUrlChanged();
        emit clientCountChanged();
        emit callsChanged();
    }

signals:
    void serverStateChanged();
    void serverUrlChanged();
    void portChanged();
    void clientCountChanged();
    void qrCodeDataUrlChanged();
    void callsChanged();

private:
    void note(const QString &call)
    {
        m_calls << call;
        emit callsChanged();
    }
    void updateAddress()
    {
        m_url = QStringLiteral("http://192.168.1.20:%1/").arg(m_port);
        QImage image;
        QString error;
        if (QrCodeImage::render(m_url, image, error))
            m_qr = QrCodeImage::pngDataUrl(image);
        emit serverUrlChanged();
        emit qrCodeDataUrlChanged();
    }

    bool m_running = false;
    QString m_url;
    int m_port = 8080;
    int m_clients = 0;
    QString m_qr;
    QStringList m_calls;
};

class WarningsProbe : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QStringList warnings() const { return guard.warnings(); }
    Q_INVOKABLE void clear() { guard.clear(); }
    WarningGuard guard;
};

class DialogTestSetup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
        QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
        qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &language);
        qmlRegisterSingletonInstance("Korvex", 1, 0, "RemoteServer", &server);
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->rootContext()->setContextProperty(QStringLiteral("warningsProbe"), &probe);
        engine->rootContext()->setContextProperty(QStringLiteral("languageStandIn"), &language);
        const QString dir = qEnvironmentVariable("KORVEX_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QDir().mkpath(dir);
        engine->rootContext()->setContextProperty(QStringLiteral("screenshotDir"), dir);
    }

private:
    LanguageStandIn language;
    RemoteServerStandIn server;
    WarningsProbe probe;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_remote_dialog, DialogTestSetup)
#include "tst_remote_dialog.moc"
