#include "LoopbackHttpsServer.h"
#include "SetupStandIn.h"

#include "installer/InstallerBackend.h"
#include "platform/StandardLocations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

QString sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

} // namespace

class TestInstallerBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void defaults();
    void browsePath_data();
    void browsePath();
    void setupArguments();
    void installation_data();
    void installation();
    void downloadWithoutLength();
    void secondStartIgnored();

private:
    QString setupPath() const
    {
        return StandardLocations::temporaryFolder() + QLatin1Char('/') + StandardLocations::installerSetupFileName();
    }
    QString argsFile() const { return StandardLocations::temporaryFolder() + QStringLiteral("/setup_args.txt"); }
    void configure(InstallerBackend &backend) const
    {
        backend.setServerBaseUrl(m_server.url(QStringLiteral("/")));
        backend.setSslConfiguration(m_server.sslConfiguration());
    }
    bool runToEnd(InstallerBackend &backend) const
    {
        backend.startInstallation();
        return QTest::qWaitFor([&] { return backend.state() >= InstallerBackend::Finish; }, 30000);
    }

    LoopbackHttpsServer m_server;
};

void TestInstallerBackend::initTestCase()
{
    QDir().mkpath(StandardLocations::temporaryFolder());
    QVERIFY2(m_server.start(), qPrintable(m_server.errorText()));
}

void TestInstallerBackend::init()
{
    QFile::remove(setupPath());
    QFile::remove(argsFile());
}

void TestInstallerBackend::defaults()
{
    InstallerBackend backend;
    QCOMPARE(backend.installPath(), QStringLiteral("/opt/Korvex Studio"));
    QCOMPARE(backend.state(), int(InstallerBackend::Welcome));
    QCOMPARE(backend.downloadProgress(), 0.0f);
    QCOMPARE(backend.statusText(), QString());

    QSignalSpy spy(&backend, &InstallerBackend::installPathChanged);
    backend.setInstallPath(QStringLiteral("/opt/Korvex Studio"));
    QCOMPARE(spy.count(), 0);
    backend.setInstallPath(QStringLiteral("/srv/korvex"));
    QCOMPARE(spy.count(), 1);
}

void TestInstallerBackend::browsePath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("notifications");
    QTest::newRow("cancelled keeps the default") << "" << "/opt/Korvex Studio" << 0;
    QTest::newRow("folder with spaces") << "/tmp/My Apps/Korvex" << "/tmp/My Apps/Korvex" << 1;
    QTest::newRow("same folder again") << "/opt/Korvex Studio" << "/opt/Korvex Studio" << 0;
}

void TestInstallerBackend::browsePath()
{
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    QFETCH(int, notifications);
    InstallerBackend backend;
    QString title;
    QString start;
    backend.setFolderChooser([&](const QString &t, const QString &s) {
        title = t;
        start = s;
        return chosen;
    });
    QSignalSpy spy(&backend, &InstallerBackend::installPathChanged);
    backend.browsePath();
    QCOMPARE(title, QStringLiteral("Select Installation Directory"));
    QCOMPARE(start, QStringLiteral("/opt/Korvex Studio"));
    QCOMPARE(backend.installPath(), expected);
    QCOMPARE(spy.count(), notifications);
}

void TestInstallerBackend::setupArguments()
{
    QCOMPARE(InstallerBackend::setupArguments(QStringLiteral("D:/Apps/Korvex")),
             (QStringList{"/VERYSILENT", "/SUPPRESSMSGBOXES", "/NORESTART", "/DIR=\"D:/Apps/Korvex\""}));
}

void TestInstallerBackend::installation_data()
{
    QTest::addColumn<QString>("digestCase");   // lower, upper, none, wrong
    QTest::addColumn<QString>("documentCase"); // ok, noUrl, invalid, absent
    QTest::addColumn<QString>("downloadPath"); // where the setup is fetched from
    QTest::addColumn<int>("exitCode");         // -1: not a runnable program
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("setupRan");
    QTest::addColumn<bool>("fileKept");

    const int finish = InstallerBackend::Finish;
    const int error = InstallerBackend::Error;
    const QString done = QStringLiteral("Instalacija je uspešno završena!");
    const QString failed = QStringLiteral("Došlo je do greške prilikom instalacije.");
    QTest::newRow("verified, exit 0") << "lower" << "ok" << "/files/setup.sh" << 0 << finish << done << true << false;
    QTest::newRow("upper-case digest") << "upper" << "ok" << "/files/setup.sh" << 0 << finish << done << true << false;
    QTest::newRow("no digest runs it") << "none" << "ok" << "/files/setup.sh" << 0 << finish << done << true << false;
    QTest::newRow("setup exits 2") << "lower" << "ok" << "/files/setup.sh" << 2 << error << failed << true << false;
    QTest::newRow("wrong digest") << "wrong" << "ok" << "/files/setup.sh" << 0 << error
                                  << "Greška: Fajl je oštećen (SHA256 ne odgovara)" << false << true;
    QTest::newRow("no downloadUrl") << "lower" << "noUrl" << "" << 0 << error
                                    << "Greška: URL za preuzimanje nije pronađen" << false << false;
    QTest::newRow("invalid document") << "lower" << "invalid" << "" << 0 << error
                                      << "Greška: Neispravan format verzije" << false << false;
    QTest::newRow("document missing") << "lower" << "absent" << "" << 0 << error
                                      << "Greška: Nije moguće preuzeti version.json" << false << false;
    QTest::newRow("truncated, no digest") << "none" << "ok" << "/truncated/setup.sh" << 0 << error
                                          << "Greška: Preuzimanje instalacije nije uspelo" << false << false;
    QTest::newRow("redirect to plain HTTP") << "none" << "ok" << "/redirect-http/setup.sh" << 0 << error
                                            << "Greška: Preuzimanje instalacije nije uspelo" << false << false;
    QTest::newRow("setup cannot start") << "none" << "ok" << "/files/setup.sh" << -1 << error
                                        << "Greška: Nije moguće pokrenuti instalacioni program" << false << false;
}

void TestInstallerBackend::installation()
{
    QFETCH(QString, digestCase);
    QFETCH(QString, documentCase);
    QFETCH(QString, downloadPath);
    QFETCH(int, exitCode);
    QFETCH(int, state);
    QFETCH(QString, status);
    QFETCH(bool, setupRan);
    QFETCH(bool, fileKept);

    QByteArray setup = exitCode >= 0 ? setupStandInScript(argsFile(), exitCode) : QByteArray(5000, '\x7f');
    // Pad the script so the truncated transfer cuts it well inside its body.
    if (exitCode >= 0)
        setup += QByteArray(200000, '#') + "\n";
    QVERIFY(m_server.writeFile("setup.sh", setup));
    QString digest = sha256(setup);
    if (digestCase == "upper")
        digest = digest.toUpper();
    else if (digestCase == "none")
        digest.clear();
    else if (digestCase == "wrong")
        digest = sha256("another file");

    QJsonObject document{{"sha256", digest}, {"version", "2.5.0"}};
    if (documentCase != "noUrl")
        document.insert("downloadUrl", m_server.url(downloadPath.isEmpty() ? "/files/setup.sh" : downloadPath).toString());
    QFile::remove(m_server.rootDir() + "/version.json");
    if (documentCase == "invalid")
        QVERIFY(m_server.writeFile("version.json", "[\"not an object\"]"));
    else if (documentCase != "absent")
        QVERIFY(m_server.writeFile("version.json", QJsonDocument(document).toJson()));

    InstallerBackend backend;
    configure(backend);
    backend.setInstallPath(QStringLiteral("/tmp/My Apps/Korvex Studio"));
    QList<int> states;
    connect(&backend, &InstallerBackend::stateChanged, this, [&] { states.append(backend.state()); });
    QVERIFY(runToEnd(backend));
    QCOMPARE(backend.state(), state);
    QVERIFY2(backend.statusText().startsWith(status), qPrintable(backend.statusText()));
    QCOMPARE(states.first(), int(InstallerBackend::DL));
    QCOMPARE(states.contains(InstallerBackend::Install), setupRan || exitCode < 0);
    QCOMPARE(QFile::exists(setupPath()), fileKept);

    const QStringList arguments = recordedArguments(argsFile());
    if (setupRan)
        QCOMPARE(arguments, (QStringList{"/VERYSILENT", "/SUPPRESSMSGBOXES", "/NORESTART",
                                         "/DIR=\"/tmp/My Apps/Korvex Studio\""}));
    else
        QVERIFY(arguments.isEmpty());

    // Final states stay final.
    backend.startInstallation();
    QCOMPARE(backend.state(), state);
}

void TestInstallerBackend::downloadWithoutLength()
{
    const QByteArray setup = setupStandInScript(argsFile(), 0) + QByteArray(1500000, '#') + "\n";
    QVERIFY(m_server.writeFile("setup_nolength.sh", setup));
    QVERIFY(m_server.writeFile("version.json", QJsonDocument(QJsonObject{
        {"downloadUrl", m_server.url("/nolength/setup_nolength.sh").toString()}, {"sha256", sha256(setup)}}).toJson()));

    InstallerBackend backend;
    configure(backend);
    QStringList texts;
    QList<float> bars;
    connect(&backend, &InstallerBackend::statusTextChanged, this, [&] {
        if (backend.state() == InstallerBackend::DL)
            texts.append(backend.statusText());
    });
    connect(&backend, &InstallerBackend::downloadProgressChanged, this, [&] { bars.append(backend.downloadProgress()); });
    QVERIFY(runToEnd(backend));
    QCOMPARE(backend.state(), int(InstallerBackend::Finish));
    // Only the very end (Qt reports the total with the last bytes) may move
    // the bar; until then it stays at 0 and the status keeps its text.
    QVERIFY(!bars.isEmpty());
    QCOMPARE(bars.first(), 0.0f);
    const qsizetype moved = bars.indexOf(1.0f);
    for (qsizetype i = 0; i < (moved < 0 ? bars.size() : moved); ++i)
        QCOMPARE(bars[i], 0.0f);
    QCOMPARE(texts.at(0), QStringLiteral("Povezivanje sa serverom..."));
    QCOMPARE(texts.at(1), QStringLiteral("Preuzimanje instalacije..."));
    for (qsizetype i = 2; i < texts.size(); ++i)
        QVERIFY2(texts[i] == QStringLiteral("Preuzeto: 1.4 MB / 1.4 MB") || texts[i] == QStringLiteral("Provera fajla..."),
                 qPrintable(texts.join(" | ")));
}

void TestInstallerBackend::secondStartIgnored()
{
    const QByteArray setup = setupStandInScript(argsFile(), 0) + QByteArray(600000, '#') + "\n";
    QVERIFY(m_server.writeFile("setup_slow.sh", setup));
    QVERIFY(m_server.writeFile("version.json", QJsonDocument(QJsonObject{
        {"downloadUrl", m_server.url("/slow/setup_slow.sh").toString()}, {"sha256", sha256(setup)}}).toJson()));
    InstallerBackend backend;
    configure(backend);
    QStringList texts;
    connect(&backend, &InstallerBackend::statusTextChanged, this, [&] { texts.append(backend.statusText()); });
    backend.startInstallation();
    backend.startInstallation();
    QTRY_VERIFY_WITH_TIMEOUT(backend.state() == InstallerBackend::DL && backend.downloadProgress() > 0.0f, 20000);
    backend.startInstallation();
    QTRY_COMPARE_WITH_TIMEOUT(backend.state(), int(InstallerBackend::Finish), 30000);
    QCOMPARE(texts.count(QStringLiteral("Povezivanje sa serverom...")), 1);
    // Progress with a known total reads like "Preuzeto: 0.3 MB / 0.6 MB".
    static const QRegularExpression progress(QStringLiteral("^Preuzeto: \\d+\\.\\d MB / 0\\.6 MB$"));
    QVERIFY2(texts.indexOf(progress) >= 0, qPrintable(texts.join(" | ")));
}

QTEST_GUILESS_MAIN(TestInstallerBackend)
#include "tst_installer_backend.moc"
