#include "LoopbackHttpsServer.h"
#include "WarningGuard.h"

#include "platform/StandardLocations.h"
#include "update/UpdateManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The update overlay inside a window of the main window's size, bound to a
// real UpdateManager that talks to the loopback HTTPS server: the whole flow
// from the check to the install, driven by clicks. KORVEX_SCREENSHOT_DIR, when
// set, receives the idle, downloading and ready views as PNG files.
class TestUpdateDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void cancelFromDialog();
    void plainChangelogAndNoDate();
    // Last: it leaves a verified download ready to install.
    void fullFlow();

private:
    void serve(const QJsonObject &manifest);
    QQuickItem *item(const char *name) const { return m_window->findChild<QQuickItem *>(QLatin1String(name)); }
    QString text(const char *name) const { return item(name)->property("text").toString(); }
    bool shown(const char *name) const { return item(name)->isVisible(); }
    void click(const char *name);
    void save(const QString &name);

    LoopbackHttpsServer m_server;
    WarningGuard m_warnings;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QQuickWindow *m_window = nullptr;
    int m_serial = 0;
};

void TestUpdateDialog::initTestCase()
{
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
    QDir().mkpath(StandardLocations::temporaryFolder());
    QVERIFY2(m_server.start(), qPrintable(m_server.errorText()));
    UpdateManager::instance().setSslConfiguration(m_server.sslConfiguration());
    qmlRegisterSingletonInstance("Korvex", 1, 0, "UpdateManager", &UpdateManager::instance());

    // One engine for the whole run: a registered instance serves one engine only.
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/"));
    m_engine->loadData("import QtQuick\nimport Korvex 1.0\n"
                       "Window { width: 1100; height: 720; visible: true; color: \"#000000\"\n"
                       "  Rectangle { anchors.fill: parent; anchors.margins: 40; color: \"#07090B\"; border.color: \"#182027\" }\n"
                       "  UpdateDialog {} }\n",
                       QUrl(QStringLiteral("qrc:/tests/UpdateDialogHost.qml")));
    QVERIFY(!m_engine->rootObjects().isEmpty());
    m_window = qobject_cast<QQuickWindow *>(m_engine->rootObjects().first());
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestUpdateDialog::init()
{
    UpdateManager::instance().dismissUpdate();
    m_warnings.clear();
}

void TestUpdateDialog::cleanup()
{
    UpdateManager::instance().cancelDownload();
    UpdateManager::instance().dismissUpdate();
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

void TestUpdateDialog::cleanupTestCase()
{
    m_window = nullptr;
    m_engine.reset();
    QVERIFY2(m_warnings.warnings().isEmpty(), qPrintable(m_warnings.warnings().join('\n')));
}

void TestUpdateDialog::serve(const QJsonObject &manifest)
{
    const QString name = QStringLiteral("dialog_manifest_%1.json").arg(++m_serial);
    QVERIFY(m_server.writeFile(name, QJsonDocument(manifest).toJson()));
    UpdateManager &manager = UpdateManager::instance();
    manager.setServerUrl(m_server.url(QStringLiteral("/files/") + name).toString());
    manager.checkForUpdates(false);
    QTRY_VERIFY_WITH_TIMEOUT(!manager.isChecking(), 20000);
}

void TestUpdateDialog::click(const char *name)
{
    QQuickItem *target = item(name);
    QVERIFY(target);
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void TestUpdateDialog::save(const QString &name)
{
    const QImage image = m_window->grabWindow();
    QCOMPARE(image.size(), QSize(1100, 720));
    const QString folder = qEnvironmentVariable("KORVEX_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(image.save(folder + QLatin1Char('/') + name));
    }
}

void TestUpdateDialog::fullFlow()
{
    UpdateManager &manager = UpdateManager::instance();
    QVERIFY(!shown("updateDialog"));

    const QString marker = StandardLocations::temporaryFolder() + QStringLiteral("/dialog_setup_ran.txt");
    QFile::remove(marker);
    // A setup stand-in large enough for the download to be watched.
    const QByteArray setup = "#!/bin/sh\necho started > '" + marker.toUtf8() + "'\nexit 0\n"
        + QByteArray(3 * 1024 * 1024, '#') + "\n";
    QVERIFY(m_server.writeFile("dialog_setup.sh", setup));
    serve({{"version", "v2.5.0"}, {"releaseDate", "2026-12-01"},
           {"changelog_en", "- Four cameras recorded side by side\n- Faster HEVC encoder\n- Remote control shows the take time"},
           {"sha256", QString::fromLatin1(QCryptographicHash::hash(setup, QCryptographicHash::Sha256).toHex()).toUpper()},
           {"downloadUrl", m_server.url("/slow/dialog_setup.sh").toString()}});

    QVERIFY(shown("updateDialog"));
    QCOMPARE(item("updateCard")->height(), 620.0);
    QCOMPARE(text("releaseLine"), QStringLiteral("Korvex Studio 2.5.0 (2026-12-01)"));
    QCOMPARE(text("mainText"), QStringLiteral("PREUZMI I AŽURIRAJ SADA"));
    QCOMPARE(text("laterText"), QStringLiteral("KASNIJE"));
    QVERIFY(!shown("progressBlock"));
    // The backdrop swallows clicks: the overlay stays.
    QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QVERIFY(shown("updateDialog"));
    save(QStringLiteral("update_overlay_idle.png"));

    click("mainButton");
    QVERIFY(manager.isDownloading());
    QVERIFY(shown("progressBlock"));
    QCOMPARE(item("progressFill")->width(), 4.0); // 0 % still shows a sliver
    QCOMPARE(text("mainText"), QStringLiteral("PREUZIMA SE..."));
    QCOMPARE(text("laterText"), QStringLiteral("OTKAŽI"));
    QCOMPARE(text("progressTitle"), QStringLiteral("Preuzimanje u toku..."));
    click("mainButton"); // does nothing while downloading
    QVERIFY(manager.isDownloading());
    QTRY_VERIFY_WITH_TIMEOUT(manager.downloadProgress() > 0.35f, 30000);
    QVERIFY(text("progressText").contains(QStringLiteral("% (")));
    save(QStringLiteral("update_overlay_downloading.png"));

    QTRY_VERIFY_WITH_TIMEOUT(manager.updateReadyToInstall(), 60000);
    QCOMPARE(text("mainText"), QStringLiteral("INSTALIRAJ I RESTARTUJ"));
    QCOMPARE(text("progressTitle"), QStringLiteral("Preuzimanje završeno!"));
    QCOMPARE(text("progressText"), QStringLiteral("100%"));
    QVERIFY(!shown("laterButton"));
    QCOMPARE(item("progressFill")->width(), item("progressBar")->width());
    save(QStringLiteral("update_overlay_ready.png"));

    click("mainButton");
    const auto markerText = [&] {
        QFile file(marker);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    };
    QTRY_COMPARE_WITH_TIMEOUT(markerText(), QByteArray("started"), 10000);
}

void TestUpdateDialog::cancelFromDialog()
{
    UpdateManager &manager = UpdateManager::instance();
    QVERIFY(m_server.writeFile("dialog_big.bin", QByteArray(4 * 1024 * 1024, 'z')));
    serve({{"version", "2.6"}, {"downloadUrl", m_server.url("/slow/dialog_big.bin").toString()}});
    QVERIFY(shown("updateDialog"));
    click("mainButton");
    QVERIFY(manager.isDownloading());
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    click("laterButton");
    QVERIFY(!manager.isDownloading());
    QVERIFY(!shown("updateDialog"));
    QCOMPARE(manager.statusMessage(), QStringLiteral("Preuzimanje otkazano."));
    QTest::qWait(200);
    QCOMPARE(errors.count(), 0);

    // The close button on an idle overlay only puts the update aside.
    serve({{"version", "2.6"}, {"downloadUrl", m_server.url("/slow/dialog_big.bin").toString()}});
    QVERIFY(shown("updateDialog"));
    click("closeButton");
    QVERIFY(!shown("updateDialog"));
    QCOMPARE(manager.latestVersion(), QStringLiteral("2.6"));
}

void TestUpdateDialog::plainChangelogAndNoDate()
{
    serve({{"version", "2.7"}, {"changelog_en", "<b>not bold</b>"},
           {"downloadUrl", m_server.url("/files/none").toString()}});
    QCOMPARE(text("releaseLine"), QStringLiteral("Korvex Studio 2.7"));
    QCOMPARE(item("changelogText")->property("textFormat").toInt(), int(Qt::PlainText));
    QCOMPARE(text("changelogText"), QStringLiteral("<b>not bold</b>"));

    serve({{"version", "2.8"}, {"downloadUrl", m_server.url("/files/none").toString()}});
    QCOMPARE(text("changelogText"), QStringLiteral("Nema opisa za ovu verziju."));
}

QTEST_MAIN(TestUpdateDialog)
#include "tst_update_dialog.moc"
