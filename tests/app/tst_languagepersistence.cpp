#include "app/ApplicationManager.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <cstring>

// The language survives a restart: each "start" is a child run of this binary
// that constructs the manager and prints what it read from the settings store.
class TestLanguagePersistence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingKeyReadsEnglish();
    void writtenLanguageSurvivesRestart_data();
    void writtenLanguageSurvivesRestart();
    void equalWriteTouchesNothing();

private:
    static QString startAndRead(const QStringList &extra = {});
};

QString TestLanguagePersistence::startAndRead(const QStringList &extra)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--start")} + extra);
    if (!child.waitForFinished(30000))
        return QStringLiteral("<timeout>");
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    return QString::fromUtf8(lines.value(lines.size() - 1));
}

void TestLanguagePersistence::init()
{
    QSettings settings(QStringLiteral("Korvex"), QStringLiteral("Korvex"));
    settings.clear();
    settings.sync();
}

void TestLanguagePersistence::missingKeyReadsEnglish()
{
    QCOMPARE(startAndRead(), QStringLiteral("EN"));
}

void TestLanguagePersistence::writtenLanguageSurvivesRestart_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("SR") << "SR";
    QTest::newRow("any string is kept") << "de-AT";
}

void TestLanguagePersistence::writtenLanguageSurvivesRestart()
{
    QFETCH(QString, language);
    QCOMPARE(startAndRead({QStringLiteral("--set"), language}), QStringLiteral("EN"));
    QCOMPARE(QSettings(QStringLiteral("Korvex"), QStringLiteral("Korvex")).value("UI/Language").toString(), language);
    QCOMPARE(startAndRead(), language);
}

void TestLanguagePersistence::equalWriteTouchesNothing()
{
    QCOMPARE(startAndRead({QStringLiteral("--set"), QStringLiteral("EN")}), QStringLiteral("EN"));
    QVERIFY(!QSettings(QStringLiteral("Korvex"), QStringLiteral("Korvex")).contains("UI/Language"));
}

// Child mode: print the language read at construction, then optionally write
// a new one and report how many change signals it gave ("--set X").
static int runChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ApplicationManager &manager = ApplicationManager::instance();
    const QString read = manager.currentLanguage();
    if (argc >= 4 && std::strcmp(argv[2], "--set") == 0) {
        QSignalSpy spy(&manager, &ApplicationManager::currentLanguageChanged);
        const QString wanted = QString::fromLocal8Bit(argv[3]);
        manager.setCurrentLanguage(wanted);
        const int expected = wanted == read ? 0 : 1;
        if (spy.count() != expected || manager.currentLanguage() != wanted)
            return 2;
    }
    std::printf("%s\n", read.toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--start") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestLanguagePersistence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_languagepersistence.moc"
