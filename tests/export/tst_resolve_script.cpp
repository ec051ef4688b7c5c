#include "export/ResolveScriptInstaller.h"
#include "platform/StandardLocations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kShipped = "# Korvex import script\nprint('import the newest take')\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A program folder with its shipped script and Resolve's two script folders,
// all below one temporary folder. "blocked" folders sit below a plain file,
// so they can never be created (even for root).
struct ScriptFolders
{
    QTemporaryDir root;
    ResolveScriptLocations locations;

    ScriptFolders()
    {
        locations.sourceCandidates = {root.filePath(QStringLiteral("app/scripts/Korvex_AutoImport.py")),
                                      root.filePath(QStringLiteral("tree/scripts/Korvex_AutoImport.py"))};
        locations.systemFolder = root.filePath(QStringLiteral("opt/resolve/Fusion/Scripts/Utility"));
        locations.userFolder = root.filePath(QStringLiteral("home/.local/share/DaVinciResolve/Fusion/Scripts/Utility"));
        writeFile(root.filePath(QStringLiteral("blocker")), "a file, not a folder");
    }

    QString systemCopy() const { return locations.systemFolder + QStringLiteral("/Korvex_AutoImport.py"); }
    QString userCopy() const { return locations.userFolder + QStringLiteral("/Korvex_AutoImport.py"); }
    void blockSystemFolder() { locations.systemFolder = root.filePath(QStringLiteral("blocker/Utility")); }
    void blockUserFolder() { locations.userFolder = root.filePath(QStringLiteral("blocker/User")); }
    // The folder exists but the file cannot be replaced (a non-empty folder sits there).
    void jamSystemCopy() { writeFile(systemCopy() + QStringLiteral("/keep"), "x"); }
};

} // namespace

class ResolveScriptTest : public QObject
{
    Q_OBJECT

private slots:
    void standardLocationsAndTheShippedScript()
    {
        const ResolveScriptLocations standard = ResolveScriptLocations::standard();
        const QString appDir = StandardLocations::applicationDirectory();
        QCOMPARE(standard.sourceCandidates.value(0), appDir + QStringLiteral("/scripts/Korvex_AutoImport.py"));
        QCOMPARE(standard.sourceCandidates.value(1),
                 QDir::cleanPath(appDir + QStringLiteral("/../../../scripts/Korvex_AutoImport.py")));
        QCOMPARE(standard.systemFolder, StandardLocations::resolveSystemScriptFolder());
        QCOMPARE(standard.userFolder, StandardLocations::resolveUserScriptFolder());

        // The build puts the script beside the program, byte for byte.
        const QByteArray source = readFile(qEnvironmentVariable("KORVEX_SOURCE_DIR") + QStringLiteral("/scripts/Korvex_AutoImport.py"));
        QVERIFY(!source.isEmpty());
        QCOMPARE(readFile(standard.sourceCandidates.value(0)), source);
    }

    void install_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("installedIn"); // system, user or none

        QTest::newRow("system folder created") << "" << true << "system";
        QTest::newRow("older copy replaced") << "old-system-copy" << true << "system";
        QTest::newRow("second-choice source") << "source-in-tree" << true << "system";
        QTest::newRow("system folder cannot be created") << "block-system" << true << "user";
        QTest::newRow("system copy cannot be written") << "jam-system" << true << "user";
        QTest::newRow("nowhere to write") << "block-system block-user" << false << "none";
        QTest::newRow("no script shipped") << "no-source" << false << "none";
    }

    void install()
    {
        QFETCH(QString, setup);
        QFETCH(bool, ok);
        QFETCH(QString, installedIn);

        ScriptFolders f;
        const QStringList steps = setup.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (steps.contains(QStringLiteral("source-in-tree")))
            QVERIFY(writeFile(f.locations.sourceCandidates[1], kShipped));
        else if (!steps.contains(QStringLiteral("no-source")))
            QVERIFY(writeFile(f.locations.sourceCandidates[0], kShipped));
        if (steps.contains(QStringLiteral("old-system-copy")))
            QVERIFY(writeFile(f.systemCopy(), "an older script, longer than the new one ......................."));
        if (steps.contains(QStringLiteral("block-system")))
            f.blockSystemFolder();
        if (steps.contains(QStringLiteral("block-user")))
            f.blockUserFolder();
        if (steps.contains(QStringLiteral("jam-system")))
            f.jamSystemCopy();

        const QString target = installedIn == QStringLiteral("user") ? f.userCopy() : f.systemCopy();
        if (ok) {
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("[ApplicationManager] Successfully installed DaVinci integration script to \"%1\"").arg(target)));
        } else if (steps.contains(QStringLiteral("no-source"))) {
            QTest::ignoreMessage(QtWarningMsg, "[ApplicationManager] Could not find DaVinci integration script to install.");
        } else {
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("[ApplicationManager] Failed to copy DaVinci integration script to \"%1\"").arg(f.userCopy())));
        }

        ResolveScriptInstaller installer(f.locations);
        QSignalSpy announced(&installer, &ResolveScriptInstaller::daVinciScriptInstalled);
        QCOMPARE(installer.install(), ok);
        QCOMPARE(announced.count(), 0); // a manual installation is never announced
        if (ok) {
            QCOMPARE(installer.installedPath(), target);
            QCOMPARE(readFile(target), kShipped);
        } else {
            QVERIFY(installer.installedPath().isEmpty());
            QVERIFY(!QFileInfo(f.systemCopy()).isFile());
            QVERIFY(!QFileInfo(f.userCopy()).isFile());
        }
        if (installedIn == QStringLiteral("system"))
            QVERIFY(!QFileInfo::exists(f.userCopy()));
    }

    void verifyAndRepair_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("announcements");
        QTest::addColumn<QString>("repairedIn"); // where the shipped bytes must be afterwards

        QTest::newRow("missing") << "" << true << 1 << "system";
        QTest::newRow("identical") << "system=same" << true << 0 << "system";
        QTest::newRow("one byte different") << "system=onebyte" << true << 1 << "system";
        QTest::newRow("shorter copy") << "system=short" << true << 1 << "system";
        QTest::newRow("identical per-user copy") << "block-system user=same" << true << 0 << "user";
        QTest::newRow("different per-user copy") << "block-system user=onebyte" << true << 1 << "user";
        QTest::newRow("missing, nowhere to write") << "block-system block-user" << false << 0 << "none";
    }

    void verifyAndRepair()
    {
        QFETCH(QString, setup);
        QFETCH(bool, ok);
        QFETCH(int, announcements);
        QFETCH(QString, repairedIn);

        ScriptFolders f;
        QVERIFY(writeFile(f.locations.sourceCandidates[0], kShipped));
        QByteArray oneByte = kShipped;
        oneByte[5] = 'X';
        const QStringList steps = setup.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &step : steps) {
            if (step == QStringLiteral("block-system")) {
                f.blockSystemFolder();
                continue;
            }
            if (step == QStringLiteral("block-user")) {
                f.blockUserFolder();
                continue;
            }
            const QStringList parts = step.split(QLatin1Char('='));
            const QString path = parts[0] == QStringLiteral("system") ? f.systemCopy() : f.userCopy();
            const QByteArray content = parts[1] == QStringLiteral("same") ? kShipped
                                       : parts[1] == QStringLiteral("short") ? kShipped.left(kShipped.size() - 1)
                                                                               : oneByte;
            QVERIFY(writeFile(path, content));
        }
        const QString repaired = repairedIn == QStringLiteral("user") ? f.userCopy() : f.systemCopy();
        const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
        if (QFileInfo::exists(repaired)) {
            QFile file(repaired);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        }

        if (announcements == 0 && ok) // nothing to do means nothing said
            QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        if (!ok)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[ApplicationManager\\] Failed to copy DaVinci integration script to ")));

        ResolveScriptInstaller installer(f.locations);
        QSignalSpy announced(&installer, &ResolveScriptInstaller::daVinciScriptInstalled);
        QCOMPARE(installer.verifyAndInstall(), ok);
        QCOMPARE(announced.count(), announcements);
        for (const QList<QVariant> &arguments : announced)
            QCOMPARE(arguments.value(0).toBool(), true);
        if (repairedIn != QStringLiteral("none"))
            QCOMPARE(readFile(repaired), kShipped);
        if (announcements == 0 && ok)
            QCOMPARE(QFileInfo(repaired).lastModified().toUTC().toSecsSinceEpoch(), old.toSecsSinceEpoch());

        // The next start finds the copy where it was put and says nothing.
        if (ok) {
            ResolveScriptInstaller nextStart(f.locations);
            QSignalSpy again(&nextStart, &ResolveScriptInstaller::daVinciScriptInstalled);
            QVERIFY(nextStart.verifyAndInstall());
            QCOMPARE(again.count(), 0);
        }
    }

    void verifyWithoutShippedScript()
    {
        ScriptFolders f;
        QVERIFY(writeFile(f.systemCopy(), "installed long ago"));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        ResolveScriptInstaller installer(f.locations);
        QSignalSpy announced(&installer, &ResolveScriptInstaller::daVinciScriptInstalled);
        QVERIFY(!installer.verifyAndInstall());
        QCOMPARE(announced.count(), 0);
        QCOMPARE(readFile(f.systemCopy()), QByteArray("installed long ago"));
    }
};

QTEST_GUILESS_MAIN(ResolveScriptTest)
#include "tst_resolve_script.moc"
