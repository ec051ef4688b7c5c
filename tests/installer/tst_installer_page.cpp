#include "LoopbackHttpsServer.h"
#include "SetupStandIn.h"
#include "WarningGuard.h"

#include "installer/InstallerBackend.h"
#include "platform/StandardLocations.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

// The installer page as the program loads it, driven by a real backend
// against the loopback server. KORVEX_SCREENSHOT_DIR, when set, receives the
// three views as PNG files.
class TestInstallerPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void welcomeView();
    void progressAndErrorViews();
    void finishView();

private:
    QQuickWindow *load(InstallerBackend &backend);
    QQuickItem *item(const char *name) const;
    void click(QQuickItem *target);
    void save(const QString &name);
    bool viewShown(const char *name) const { return item(name) && item(name)->isVisible(); }

    LoopbackHttpsServer m_server;
    // Declared before the engine: the page never outlives its backend.
    std::unique_ptr<InstallerBackend> m_backend;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QQuickWindow *m_window = nullptr;
    WarningGuard m_warnings;
};

void TestInstallerPage::initTestCase()
{
    QDir().mkpath(StandardLocations::temporaryFolder());
    QVERIFY2(m_server.start(), qPrintable(m_server.errorText()));
}

void TestInstallerPage::init()
{
    m_backend = std::make_unique<InstallerBackend>();
    m_warnings.clear();
}

void TestInstallerPage::cleanup()
{
    m_window = nullptr;
    m_engine.reset();
    m_backend.reset();
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

QQuickWindow *TestInstallerPage::load(InstallerBackend &backend)
{
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->rootContext()->setContextProperty(QStringLiteral("installerBackend"), &backend);
    m_engine->load(QUrl(QStringLiteral("qrc:/ui/installer_qml/InstallerMain.qml")));
    if (m_engine->rootObjects().isEmpty())
        return nullptr;
    m_window = qobject_cast<QQuickWindow *>(m_engine->rootObjects().first());
    if (m_window && !QTest::qWaitForWindowExposed(m_window))
        return nullptr;
    return m_window;
}

QQuickItem *TestInstallerPage::item(const char *name) const
{
    return m_window ? m_window->findChild<QQuickItem *>(QLatin1String(name)) : nullptr;
}

void TestInstallerPage::click(QQuickItem *target)
{
    QVERIFY(target);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void TestInstallerPage::save(const QString &name)
{
    const QString folder = qEnvironmentVariable("KORVEX_SCREENSHOT_DIR");
    const QImage image = m_window->grabWindow();
    QCOMPARE(image.size(), QSize(800, 500));
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(image.save(folder + QLatin1Char('/') + name));
    }
}

void TestInstallerPage::welcomeView()
{
    InstallerBackend &backend = *m_backend;
    QString start;
    backend.setFolderChooser([&](const QString &, const QString &s) {
        start = s;
        return QStringLiteral("/tmp/Korvex Apps");
    });
    QVERIFY(load(backend));
    QCOMPARE(m_window->title(), QStringLiteral("Korvex Studio Installer"));
    QCOMPARE(m_window->size(), QSize(800, 500));
    QVERIFY(m_window->flags() & Qt::FramelessWindowHint);
    QVERIFY(viewShown("welcomeView"));
    QVERIFY(!viewShown("progressView"));
    QVERIFY(!viewShown("finishView"));
    QCOMPARE(item("pathField")->property("text").toString(), QStringLiteral("/opt/Korvex Studio"));
    save(QStringLiteral("installer_welcome.png"));

    click(item("browseButton"));
    QCOMPARE(start, QStringLiteral("/opt/Korvex Studio"));
    QCOMPARE(item("pathField")->property("text").toString(), QStringLiteral("/tmp/Korvex Apps"));
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

void TestInstallerPage::progressAndErrorViews()
{
    const QByteArray setup = QByteArray(3 * 1024 * 1024, 'x');
    QVERIFY(m_server.writeFile("page_setup.bin", setup));
    QVERIFY(m_server.writeFile("version.json", QJsonDocument(QJsonObject{
        {"downloadUrl", m_server.url("/slow/page_setup.bin").toString()},
        {"sha256", QString(64, QLatin1Char('0'))}}).toJson()));
    InstallerBackend &backend = *m_backend;
    backend.setServerBaseUrl(m_server.url(QStringLiteral("/")));
    backend.setSslConfiguration(m_server.sslConfiguration());
    QVERIFY(load(backend));
    click(item("installButton"));
    QCOMPARE(backend.state(), int(InstallerBackend::DL));
    QTRY_VERIFY_WITH_TIMEOUT(backend.downloadProgress() > 0.3f, 30000);
    QVERIFY(viewShown("progressView"));
    QVERIFY(!viewShown("welcomeView"));
    QVERIFY(viewShown("progressBar"));
    QCOMPARE(item("progressHeading")->property("text").toString(), QStringLiteral("Please wait..."));
    QVERIFY(item("progressStatus")->property("text").toString().startsWith(QStringLiteral("Preuzeto: ")));
    const qreal fill = item("progressFill")->width() / item("progressBar")->width();
    QVERIFY(qAbs(fill - backend.downloadProgress()) < 0.05);
    save(QStringLiteral("installer_progress.png"));

    // The digest does not match: the same view turns into the error view.
    QTRY_COMPARE_WITH_TIMEOUT(backend.state(), int(InstallerBackend::Error), 60000);
    QVERIFY(viewShown("progressView"));
    QVERIFY(!viewShown("progressBar"));
    QCOMPARE(item("progressHeading")->property("text").toString(), QStringLiteral("Error"));
    QCOMPARE(item("progressStatus")->property("text").toString(), QStringLiteral("Greška: Fajl je oštećen (SHA256 ne odgovara)"));
    save(QStringLiteral("installer_error.png"));
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

void TestInstallerPage::finishView()
{
    const QString args = StandardLocations::temporaryFolder() + QStringLiteral("/page_args.txt");
    const QByteArray setup = setupStandInScript(args, 0);
    QVERIFY(m_server.writeFile("page_setup.sh", setup));
    QVERIFY(m_server.writeFile("version.json", QJsonDocument(QJsonObject{
        {"downloadUrl", m_server.url("/files/page_setup.sh").toString()},
        {"sha256", QString::fromLatin1(QCryptographicHash::hash(setup, QCryptographicHash::Sha256).toHex())}}).toJson()));
    InstallerBackend &backend = *m_backend;
    backend.setServerBaseUrl(m_server.url(QStringLiteral("/")));
    backend.setSslConfiguration(m_server.sslConfiguration());
    QVERIFY(load(backend));
    click(item("installButton"));
    QTRY_COMPARE_WITH_TIMEOUT(backend.state(), int(InstallerBackend::Finish), 30000);
    QVERIFY(viewShown("finishView"));
    QVERIFY(!viewShown("progressView"));
    QCOMPARE(recordedArguments(args).value(3), QStringLiteral("/DIR=\"/opt/Korvex Studio\""));
    save(QStringLiteral("installer_finish.png"));
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

QTEST_MAIN(TestInstallerPage)
#include "tst_installer_page.moc"
