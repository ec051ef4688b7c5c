#include "LoopbackHttpsServer.h"

#include "platform/StandardLocations.h"
#include "update/FileDigest.h"
#include "update/UpdateManager.h"
#include "update/VersionNumber.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray payload(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 131 + 7) & 0xff);
    return data;
}

QString sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

} // namespace

class TestUpdateManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void parseVersion_data();
    void parseVersion();
    void compareVersions_data();
    void compareVersions();

    void fileDigest_data();
    void fileDigest();
    void settingsAndServerUrl();
    void invalidServerUrl();

    void checkResult_data();
    void checkResult();
    void checkSendsHeaders();
    void incompleteManifest_data();
    void incompleteManifest();
    void unreadableManifest_data();
    void unreadableManifest();
    void failedCheckKeepsEarlierInfo();

    void downloadVerified_data();
    void downloadVerified();
    void downloadDigestMismatch();
    void downloadWithoutLength();
    void downloadFailures_data();
    void downloadFailures();
    void cancelMidDownload();
    void checkDuringDownloadIgnored();
    void progressTexts_data();
    void progressTexts();

    void installStartsSetup();
    void installFailures();

private:
    // Points the manager at manifest content served from the loopback server.
    void serveManifest(UpdateManager &manager, const QJsonObject &manifest);
    bool runCheck(UpdateManager &manager, bool silent);
    bool runDownload(UpdateManager &manager);
    QString setupPath() const
    {
        return StandardLocations::temporaryFolder() + QLatin1Char('/') + StandardLocations::updateSetupFileName();
    }

    LoopbackHttpsServer m_server;
    int m_manifestSerial = 0;
};

void TestUpdateManager::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
    QDir().mkpath(StandardLocations::temporaryFolder());
    QVERIFY2(m_server.start(), qPrintable(m_server.errorText()));
}

void TestUpdateManager::init()
{
    QSettings(QStringLiteral("Korvex"), QStringLiteral("Korvex")).clear();
    QFile::remove(setupPath());
    m_server.takeRequests();
}

void TestUpdateManager::serveManifest(UpdateManager &manager, const QJsonObject &manifest)
{
    const QString name = QStringLiteral("manifest_%1.json").arg(++m_manifestSerial);
    QVERIFY(m_server.writeFile(name, QJsonDocument(manifest).toJson()));
    manager.setSslConfiguration(m_server.sslConfiguration());
    manager.setServerUrl(m_server.url(QStringLiteral("/files/") + name).toString());
}

bool TestUpdateManager::runCheck(UpdateManager &manager, bool silent)
{
    QSignalSpy checking(&manager, &UpdateManager::isCheckingChanged);
    manager.checkForUpdates(silent);
    if (!manager.isChecking())
        return false;
    return QTest::qWaitFor([&] { return !manager.isChecking(); }, 20000);
}

bool TestUpdateManager::runDownload(UpdateManager &manager)
{
    manager.startDownload();
    if (!manager.isDownloading())
        return false;
    return QTest::qWaitFor([&] { return !manager.isDownloading(); }, 30000);
}

void TestUpdateManager::parseVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("letter suffix") << "2.4.6b" << QList<int>{2, 4, 6};
    QTest::newRow("v prefix padded") << "v2.5" << QList<int>{2, 5, 0};
    QTest::newRow("upper V, blanks") << "  V3.1.2 " << QList<int>{3, 1, 2};
    QTest::newRow("release candidate") << "2.4.6-rc2" << QList<int>{2, 4, 6, 2};
    QTest::newRow("single number") << "3" << QList<int>{3, 0, 0};
    QTest::newRow("too large piece dropped") << "1.99999999999.2" << QList<int>{1, 2, 0};
    QTest::newRow("no digits") << "beta" << QList<int>{0, 0, 0};
    QTest::newRow("only one v removed") << "vv1.2" << QList<int>{1, 2, 0};
}

void TestUpdateManager::parseVersion()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, numbers);
    QCOMPARE(VersionNumber::parseVersion(text), numbers);
}

void TestUpdateManager::compareVersions_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("newer");
    QTest::newRow("patch") << "2.4.7" << "2.4.6b" << true;
    QTest::newRow("letters equal") << "2.4.6c" << "2.4.6b" << false;
    QTest::newRow("older") << "2.4" << "2.4.6b" << false;
    QTest::newRow("major") << "3" << "2.4.6b" << true;
    QTest::newRow("longer list wins") << "2.4.6.1" << "2.4.6" << true;
    QTest::newRow("trailing zero equal") << "2.4.6.0" << "2.4.6" << false;
    QTest::newRow("numeric not textual") << "2.10.0" << "2.9.9" << true;
}

void TestUpdateManager::compareVersions()
{
    QFETCH(QString, candidate);
    QFETCH(QString, current);
    QFETCH(bool, newer);
    QCOMPARE(VersionNumber::isNewerVersion(candidate, current), newer);
}

void TestUpdateManager::fileDigest_data()
{
    QTest::addColumn<QString>("target"); // file, missing, folder
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("result");
    const QString digest = sha256("setup bytes");
    QTest::newRow("match") << "file" << digest << int(FileDigest::Result::Verified);
    QTest::newRow("upper case with blanks") << "file" << (" " + digest.toUpper() + " ") << int(FileDigest::Result::Verified);
    QTest::newRow("mismatch") << "file" << sha256("other") << int(FileDigest::Result::Mismatch);
    QTest::newRow("missing file is not verified") << "missing" << digest << int(FileDigest::Result::Unreadable);
    QTest::newRow("unreadable (a folder) is not verified") << "folder" << digest << int(FileDigest::Result::Unreadable);
}

void TestUpdateManager::fileDigest()
{
    QFETCH(QString, target);
    QFETCH(QString, expected);
    QFETCH(int, result);
    QTemporaryDir dir;
    QString path = dir.filePath("setup");
    if (target == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("setup bytes");
    } else if (target == "folder") {
        QVERIFY(QDir().mkpath(path));
    }
    QString actual;
    QCOMPARE(int(FileDigest::verify(path, expected, &actual)), result);
    QCOMPARE(actual.isEmpty(), result == int(FileDigest::Result::Unreadable));
}

void TestUpdateManager::settingsAndServerUrl()
{
    {
        UpdateManager manager;
        QCOMPARE(manager.currentVersion(), QStringLiteral("2.4.6b"));
        QCOMPARE(manager.serverUrl(), QStringLiteral("https://updates.korvex.studio/repos/nolvane/Korvex/releases/latest"));
        QCOMPARE(manager.autoCheckOnStartup(), true);
        QCOMPARE(manager.statusMessage(), QStringLiteral("Up to date"));
        QCOMPARE(manager.downloadProgressText(), QStringLiteral("0%"));

        QSignalSpy urlSpy(&manager, &UpdateManager::serverUrlChanged);
        manager.setServerUrl(QStringLiteral("   "));
        manager.setServerUrl(manager.serverUrl());
        QCOMPARE(urlSpy.count(), 0);
        manager.setServerUrl(QStringLiteral("  https://example.test/manifest.json  "));
        QCOMPARE(urlSpy.count(), 1);
        QCOMPARE(manager.serverUrl(), QStringLiteral("https://example.test/manifest.json"));

        QSignalSpy autoSpy(&manager, &UpdateManager::autoCheckOnStartupChanged);
        manager.setAutoCheckOnStartup(true);
        QCOMPARE(autoSpy.count(), 0);
        manager.setAutoCheckOnStartup(false);
        QCOMPARE(autoSpy.count(), 1);
    }
    QSettings settings(QStringLiteral("Korvex"), QStringLiteral("Korvex"));
    QCOMPARE(settings.value(QStringLiteral("Updates/serverUrl")).toString(), QStringLiteral("https://example.test/manifest.json"));
    QCOMPARE(settings.value(QStringLiteral("Updates/autoCheckOnStartup")).toBool(), false);
    UpdateManager reloaded;
    QCOMPARE(reloaded.serverUrl(), QStringLiteral("https://example.test/manifest.json"));
    QCOMPARE(reloaded.autoCheckOnStartup(), false);
}

void TestUpdateManager::invalidServerUrl()
{
    UpdateManager manager;
    manager.setServerUrl(QStringLiteral("no scheme here"));
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QSignalSpy checking(&manager, &UpdateManager::isCheckingChanged);
    manager.checkForUpdates(true);
    QCOMPARE(manager.isChecking(), false);
    QCOMPARE(checking.count(), 2);
    QCOMPARE(manager.statusMessage(), QStringLiteral("Neispravan URL servera za ažuriranje."));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Neispravan URL servera za ažuriranje."));
}

void TestUpdateManager::checkResult_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("changelogEn");
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("changelog");
    QTest::newRow("v prefix newer") << " v2.4.7 " << "Faster encoder" << true << "2.4.7"
                                    << "Dostupna je nova verzija: v2.4.7" << "Faster encoder";
    QTest::newRow("letter only is equal") << "2.4.6c" << "Text" << false << "2.4.6c"
                                          << "Program je ažuriran (v2.4.6b)" << "Text";
    QTest::newRow("older") << "2.4" << "Old" << false << "2.4" << "Program je ažuriran (v2.4.6b)" << "Old";
    QTest::newRow("major only") << "3" << "Big" << true << "3" << "Dostupna je nova verzija: v3" << "Big";
    QTest::newRow("empty changelog_en uses changelog") << "2.5.0" << "" << true << "2.5.0"
                                                       << "Dostupna je nova verzija: v2.5.0" << "Srpski opis";
}

void TestUpdateManager::checkResult()
{
    QFETCH(QString, version);
    QFETCH(QString, changelogEn);
    QFETCH(bool, available);
    QFETCH(QString, latest);
    QFETCH(QString, status);
    QFETCH(QString, changelog);

    UpdateManager manager;
    serveManifest(manager, {{"version", version}, {"releaseDate", " 2026-12-01 "}, {"changelog_en", changelogEn},
                            {"changelog", "Srpski opis"}, {"sha256", " ABC "}, {"mandatory", true},
                            {"downloadUrl", " https://example.test/setup "}});
    QSignalSpy finished(&manager, &UpdateManager::updateCheckFinished);
    QSignalSpy info(&manager, &UpdateManager::updateInfoChanged);
    QSignalSpy availableSpy(&manager, &UpdateManager::updateAvailableChanged);
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runCheck(manager, false));

    QCOMPARE(errors.count(), 0);
    QCOMPARE(info.count(), 1);
    QCOMPARE(availableSpy.count(), 1);
    QCOMPARE(manager.updateAvailable(), available);
    QCOMPARE(manager.latestVersion(), latest);
    QCOMPARE(manager.releaseDate(), QStringLiteral("2026-12-01"));
    QCOMPARE(manager.changelog(), changelog);
    QCOMPARE(manager.downloadUrl(), QStringLiteral("https://example.test/setup"));
    QCOMPARE(manager.expectedSha256(), QStringLiteral("ABC"));
    QCOMPARE(manager.isMandatory(), true);
    QCOMPARE(manager.statusMessage(), status);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), available);
    QCOMPARE(finished.at(0).at(1).toString(), available ? latest : QStringLiteral("2.4.6b"));
    QCOMPARE(finished.at(0).at(2).toString(), available ? changelog : QString());

    manager.dismissUpdate();
    QCOMPARE(manager.updateAvailable(), false);
    QCOMPARE(availableSpy.count(), 2);
    QCOMPARE(manager.latestVersion(), latest);
}

void TestUpdateManager::checkSendsHeaders()
{
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.4.7"}, {"downloadUrl", m_server.url("/files/none").toString()}});
    m_server.takeRequests();
    QVERIFY(runCheck(manager, true));
    const QList<QJsonObject> requests = m_server.takeRequests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].value("user_agent").toString(), QStringLiteral("Korvex-Studio/2.4.6b"));
    QCOMPARE(requests[0].value("accept").toString(), QStringLiteral("application/vnd.github.v3+json"));
}

void TestUpdateManager::incompleteManifest_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("silent") << true;
    QTest::newRow("not silent") << false;
}

void TestUpdateManager::incompleteManifest()
{
    QFETCH(bool, silent);
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.9"}, {"changelog_en", "no link"}});
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QSignalSpy info(&manager, &UpdateManager::updateInfoChanged);
    QSignalSpy finished(&manager, &UpdateManager::updateCheckFinished);
    QVERIFY(runCheck(manager, silent));
    QCOMPARE(manager.statusMessage(), QStringLiteral("Manifest fajl ne sadrži verziju ili download link."));
    QCOMPARE(info.count(), 0);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(manager.updateAvailable(), false);
    QCOMPARE(manager.latestVersion(), QString());
    QCOMPARE(errors.count(), silent ? 0 : 1);
    if (!silent)
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Manifest fajl ne sadrži potrebne podatke za ažuriranje."));
}

void TestUpdateManager::unreadableManifest_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("error");
    const QString format = QStringLiteral("Neispravan format verzije na serveru.");
    QTest::newRow("invalid JSON") << "/files/broken.json" << QByteArray("{\"version\": ") << false << format
                                  << "Neispravan format manifest fajla na serveru.";
    QTest::newRow("array, silent") << "/files/array.json" << QByteArray("[1,2]") << true << format << "";
    QTest::newRow("missing on server") << "/files/absent.json" << QByteArray() << false
                                       << "Greška pri proveri: " << "Nije moguće kontaktirati update server: ";
}

void TestUpdateManager::unreadableManifest()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(bool, silent);
    QFETCH(QString, status);
    QFETCH(QString, error);
    if (!body.isEmpty())
        QVERIFY(m_server.writeFile(path.section('/', -1), body));
    UpdateManager manager;
    manager.setSslConfiguration(m_server.sslConfiguration());
    manager.setServerUrl(m_server.url(path).toString());
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runCheck(manager, silent));
    QVERIFY2(manager.statusMessage().startsWith(status), qPrintable(manager.statusMessage()));
    QCOMPARE(errors.count(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QVERIFY(errors.at(0).at(0).toString().startsWith(error));
}

void TestUpdateManager::failedCheckKeepsEarlierInfo()
{
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", "https://example.test/a"}});
    QVERIFY(runCheck(manager, true));
    QCOMPARE(manager.latestVersion(), QStringLiteral("2.5"));

    // Nothing listens on this port: the server is unreachable.
    manager.setServerUrl(QStringLiteral("https://127.0.0.1:1/manifest.json"));
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runCheck(manager, true));
    QVERIFY2(manager.statusMessage().startsWith(QStringLiteral("Greška pri proveri: ")), qPrintable(manager.statusMessage()));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(manager.latestVersion(), QStringLiteral("2.5"));
    QCOMPARE(manager.downloadUrl(), QStringLiteral("https://example.test/a"));

    QVERIFY(runCheck(manager, false));
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.at(0).at(0).toString().startsWith(QStringLiteral("Nije moguće kontaktirati update server: ")));
}

void TestUpdateManager::downloadVerified_data()
{
    QTest::addColumn<QString>("digestCase");
    QTest::newRow("lower-case digest") << "lower";
    QTest::newRow("upper-case digest") << "upper";
    QTest::newRow("no digest") << "empty";
}

void TestUpdateManager::downloadVerified()
{
    QFETCH(QString, digestCase);
    const QByteArray data = payload(300 * 1024);
    QVERIFY(m_server.writeFile("setup_ok.bin", data));
    QString digest = sha256(data);
    if (digestCase == "upper")
        digest = digest.toUpper();
    else if (digestCase == "empty")
        digest.clear();

    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"sha256", digest},
                            {"downloadUrl", m_server.url("/files/setup_ok.bin").toString()}});
    QVERIFY(runCheck(manager, false));
    m_server.takeRequests();

    QSignalSpy ready(&manager, &UpdateManager::updateReadyToInstallChanged);
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runDownload(manager));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(manager.updateReadyToInstall(), true);
    QCOMPARE(ready.count(), 2); // cleared at start, set at the end
    QCOMPARE(manager.downloadProgress(), 1.0f);
    QCOMPARE(manager.downloadProgressText(), QStringLiteral("100%"));
    QCOMPARE(manager.statusMessage(), QStringLiteral("Preuzimanje završeno! Spreman za instalaciju."));
    QCOMPARE(manager.downloadedFilePath(), setupPath());
    QFile file(setupPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), data);

    const QList<QJsonObject> requests = m_server.takeRequests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].value("user_agent").toString(), QStringLiteral("Korvex-Studio/2.4.6b"));
    QVERIFY(requests[0].value("accept").toString() != QStringLiteral("application/vnd.github.v3+json"));
}

void TestUpdateManager::downloadDigestMismatch()
{
    QVERIFY(m_server.writeFile("setup_bad.bin", payload(100 * 1024)));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"sha256", sha256("something else")},
                            {"downloadUrl", m_server.url("/files/setup_bad.bin").toString()}});
    QVERIFY(runCheck(manager, true));
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runDownload(manager));
    QCOMPARE(manager.updateReadyToInstall(), false);
    QCOMPARE(manager.downloadProgress(), 0.0f);
    QVERIFY(!QFile::exists(setupPath()));
    QCOMPARE(manager.statusMessage(), QStringLiteral("Greška: SHA-256 kontrolna suma se ne poklapa!"));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(),
             QStringLiteral("Integritet instalacionog fajla je narušen (SHA-256 se ne poklapa sa serverom). Preuzimanje je obustavljeno radi bezbednosti."));

    errors.clear();
    manager.installAndRestart();
    QCOMPARE(manager.statusMessage(), QStringLiteral("Instalacioni fajl nije pronađen."));
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Instalacioni fajl nije pronađen na računaru."));
}

void TestUpdateManager::downloadWithoutLength()
{
    const QByteArray data = payload(3355443); // 3.2 MB
    QVERIFY(m_server.writeFile("setup_nolength.bin", data));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"sha256", sha256(data)},
                            {"downloadUrl", m_server.url("/nolength/setup_nolength.bin").toString()}});
    QVERIFY(runCheck(manager, true));

    QList<float> bars;
    QStringList texts;
    connect(&manager, &UpdateManager::downloadProgressChanged, this, [&] {
        bars.append(manager.downloadProgress());
        texts.append(manager.downloadProgressText());
    });
    QVERIFY(runDownload(manager));
    QVERIFY(manager.updateReadyToInstall());
    // The bar stays at 0 while the total is unknown and only reaches 1 when
    // the transfer has ended (Qt reports the total with the last bytes).
    QVERIFY(bars.size() >= 3);
    QCOMPARE(bars.first(), 0.0f);
    QCOMPARE(bars.last(), 1.0f);
    const qsizetype firstFull = bars.indexOf(1.0f);
    QVERIFY(firstFull >= 2);
    for (qsizetype i = 0; i < bars.size(); ++i)
        QCOMPARE(bars[i], i < firstFull ? 0.0f : 1.0f);
    // While the total is unknown the line reads like "2.5 MB".
    static const QRegularExpression megabytesOnly(QStringLiteral("^\\d+\\.\\d MB$"));
    QVERIFY2(texts.indexOf(megabytesOnly) >= 0, qPrintable(texts.join(" | ")));
    for (const QString &text : std::as_const(texts))
        QVERIFY2(!text.contains('%') || text == QStringLiteral("0%") || text.startsWith(QStringLiteral("100%")), qPrintable(text));
}

void TestUpdateManager::downloadFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("truncated transfer") << "/truncated/setup_cut.bin";
    QTest::newRow("redirect to plain HTTP") << "/redirect-http/setup_cut.bin";
    QTest::newRow("not found") << "/files/no_such_setup.bin";
}

void TestUpdateManager::downloadFailures()
{
    QFETCH(QString, path);
    QVERIFY(m_server.writeFile("setup_cut.bin", payload(400 * 1024)));
    UpdateManager manager;
    // No digest: only the transfer itself can tell that the file is incomplete.
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", m_server.url(path).toString()}});
    QVERIFY(runCheck(manager, true));
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QVERIFY(runDownload(manager));
    QCOMPARE(manager.updateReadyToInstall(), false);
    QCOMPARE(manager.downloadProgress(), 0.0f);
    QVERIFY2(manager.statusMessage().startsWith(QStringLiteral("Preuzimanje neuspešno: ")), qPrintable(manager.statusMessage()));
    QVERIFY(manager.statusMessage().size() > QStringLiteral("Preuzimanje neuspešno: ").size());
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.at(0).at(0).toString().startsWith(QStringLiteral("Preuzimanje instalacionog paketa nije uspelo: ")));

    manager.installAndRestart();
    QCOMPARE(manager.statusMessage(), QStringLiteral("Instalacioni fajl nije pronađen."));
}

void TestUpdateManager::cancelMidDownload()
{
    QVERIFY(m_server.writeFile("setup_slow.bin", payload(2 * 1024 * 1024)));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", m_server.url("/slow/setup_slow.bin").toString()}});
    QVERIFY(runCheck(manager, true));
    manager.startDownload();
    QVERIFY(manager.isDownloading());
    QTRY_VERIFY_WITH_TIMEOUT(manager.downloadProgress() > 0.0f, 20000);

    QSignalSpy errors(&manager, &UpdateManager::updateError);
    QSignalSpy downloading(&manager, &UpdateManager::isDownloadingChanged);
    manager.cancelDownload();
    QCOMPARE(manager.isDownloading(), false);
    QCOMPARE(downloading.count(), 1);
    QCOMPARE(manager.downloadProgress(), 0.0f);
    QCOMPARE(manager.statusMessage(), QStringLiteral("Preuzimanje otkazano."));
    QTest::qWait(300);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(manager.statusMessage(), QStringLiteral("Preuzimanje otkazano."));
    QCOMPARE(manager.updateReadyToInstall(), false);

    // A new download after a cancel starts afresh and completes.
    QVERIFY(m_server.writeFile("setup_ok2.bin", payload(64 * 1024)));
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", m_server.url("/files/setup_ok2.bin").toString()}});
    QVERIFY(runCheck(manager, true));
    QVERIFY(runDownload(manager));
    QVERIFY(manager.updateReadyToInstall());
}

void TestUpdateManager::checkDuringDownloadIgnored()
{
    QVERIFY(m_server.writeFile("setup_slow2.bin", payload(1024 * 1024)));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", m_server.url("/slow/setup_slow2.bin").toString()}});
    QVERIFY(runCheck(manager, true));
    manager.startDownload();
    QVERIFY(manager.isDownloading());
    QSignalSpy checking(&manager, &UpdateManager::isCheckingChanged);
    const QString status = manager.statusMessage();
    manager.checkForUpdates(false);
    manager.startDownload();
    QCOMPARE(checking.count(), 0);
    QCOMPARE(manager.isChecking(), false);
    QCOMPARE(manager.statusMessage(), status);
    manager.cancelDownload();
}

void TestUpdateManager::progressTexts_data()
{
    QTest::addColumn<qlonglong>("received");
    QTest::addColumn<qlonglong>("total");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("bar");
    QTest::newRow("integer percent") << 12582912LL << 52428800LL << "24% (12.0 / 50.0 MB)" << 0.24f;
    QTest::newRow("start") << 0LL << 52428800LL << "0% (0.0 / 50.0 MB)" << 0.0f;
    QTest::newRow("complete") << 52428800LL << 52428800LL << "100% (50.0 / 50.0 MB)" << 1.0f;
    QTest::newRow("unknown total") << 3355443LL << -1LL << "3.2 MB" << 0.5f;
    QTest::newRow("zero total") << 1048576LL << 0LL << "1.0 MB" << 0.5f;
}

void TestUpdateManager::progressTexts()
{
    QFETCH(qlonglong, received);
    QFETCH(qlonglong, total);
    QFETCH(QString, text);
    QFETCH(float, bar);
    UpdateManager manager;
    // Seed a bar value the unknown-total cases must leave alone.
    QVERIFY(QMetaObject::invokeMethod(&manager, "onDownloadProgress", Q_ARG(qlonglong, 1), Q_ARG(qlonglong, 2)));
    QSignalSpy spy(&manager, &UpdateManager::downloadProgressChanged);
    QVERIFY(QMetaObject::invokeMethod(&manager, "onDownloadProgress", Q_ARG(qlonglong, received), Q_ARG(qlonglong, total)));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(manager.downloadProgressText(), text);
    QCOMPARE(manager.downloadProgress(), bar);
}

void TestUpdateManager::installStartsSetup()
{
    const QString marker = StandardLocations::temporaryFolder() + QStringLiteral("/setup_ran.txt");
    QFile::remove(marker);
    const QByteArray script = "#!/bin/sh\necho \"started $#\" > '" + marker.toUtf8() + "'\n";
    QVERIFY(m_server.writeFile("setup_script.sh", script));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"sha256", sha256(script)},
                            {"downloadUrl", m_server.url("/files/setup_script.sh").toString()}});
    QVERIFY(runCheck(manager, true));
    QVERIFY(runDownload(manager));
    QVERIFY(manager.updateReadyToInstall());
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    manager.installAndRestart();
    QCOMPARE(errors.count(), 0);
    const auto markerText = [&] {
        QFile file(marker);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    };
    QTRY_COMPARE_WITH_TIMEOUT(markerText(), QByteArray("started 0"), 10000);
}

void TestUpdateManager::installFailures()
{
    // Not an executable format: the start fails and the user is told so.
    const QByteArray junk = payload(4096);
    QVERIFY(m_server.writeFile("setup_junk.bin", junk));
    UpdateManager manager;
    serveManifest(manager, {{"version", "2.5"}, {"downloadUrl", m_server.url("/files/setup_junk.bin").toString()}});
    QVERIFY(runCheck(manager, true));
    QVERIFY(runDownload(manager));
    QSignalSpy errors(&manager, &UpdateManager::updateError);
    manager.installAndRestart();
    QCOMPARE(manager.statusMessage(), QStringLiteral("Neuspešno pokretanje instalera."));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Nije moguće pokrenuti instalacioni program."));

    // Ready, but the file was removed from the temporary folder meanwhile.
    QVERIFY(QFile::remove(setupPath()));
    manager.installAndRestart();
    QCOMPARE(manager.statusMessage(), QStringLiteral("Instalacioni fajl nije pronađen."));
    QCOMPARE(errors.count(), 2);
}

QTEST_GUILESS_MAIN(TestUpdateManager)
#include "tst_update_manager.moc"
