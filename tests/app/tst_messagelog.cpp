#include "app/MessageLog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <unistd.h>

namespace {

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// Sends standard error to a file while alive, so a test can read what the
// handler echoed there.
class StderrCapture
{
public:
    explicit StderrCapture(const QString &path)
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        FILE *f = std::fopen(path.toLocal8Bit().constData(), "w");
        dup2(fileno(f), STDERR_FILENO);
        std::fclose(f);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }

private:
    int m_saved = -1;
};

} // namespace

class TestMessageLog : public QObject
{
    Q_OBJECT

private slots:
    void logFileBesideTheProgram();
    void linesAreBareText_data();
    void linesAreBareText();
    void handlerWritesEveryType();
    void unwritableFolder_data();
    void unwritableFolder();
};

void TestMessageLog::logFileBesideTheProgram()
{
    QCOMPARE(MessageLog::logFilePath(), QCoreApplication::applicationDirPath() + "/qt_log.txt");
}

void TestMessageLog::linesAreBareText_data()
{
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("one") << QStringList{"[Korvex] Engine initialized successfully."};
    QTest::newRow("several") << QStringList{"first", "second line", "[ApplicationManager] x \"y\""};
    QTest::newRow("unicode") << QStringList{"[Korvex] Uređaj \"Kamera ž\""};
}

void TestMessageLog::linesAreBareText()
{
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    const QString path = dir.path() + "/qt_log.txt";
    QVERIFY(QFile(path).open(QIODevice::WriteOnly)); // an existing log is appended to
    for (const QString &m : messages)
        QVERIFY(MessageLog::appendLine(path, m));
    QCOMPARE(readLines(path), messages + QStringList{QString()});
}

// Installed as the process handler: debug-stream messages land as their bare
// text (values quoted, one blank between items) whatever their type, in the
// file and on standard error.
void TestMessageLog::handlerWritesEveryType()
{
    const QString path = MessageLog::logFilePath();
    QFile::remove(path);
    QTemporaryDir dir;
    const QString errPath = dir.path() + "/stderr.txt";
    {
        StderrCapture capture(errPath);
        MessageLog::install();
        qDebug() << "[Korvex] Take folder:" << QStringLiteral("/media/Session_1/Take_01");
        qWarning() << "[AudioCapture] Failed to open" << 3;
        qCritical() << "QQmlApplicationEngine failed to create root object for:" << QUrl("qrc:/x.qml");
        qInstallMessageHandler(nullptr);
    }
    const QStringList expected{
        "[Korvex] Take folder: \"/media/Session_1/Take_01\"",
        "[AudioCapture] Failed to open 3",
        "QQmlApplicationEngine failed to create root object for: QUrl(\"qrc:/x.qml\")",
        QString(),
    };
    QCOMPARE(readLines(path), expected);
    QCOMPARE(readLines(errPath), expected);
    QFile::remove(path);
}

void TestMessageLog::unwritableFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder is a file") << "file";
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("system folder") << "proc";
}

void TestMessageLog::unwritableFolder()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path;
    if (kind == QLatin1String("file")) {
        QFile blocker(dir.path() + "/blocker");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        path = blocker.fileName() + "/qt_log.txt";
    } else if (kind == QLatin1String("missing")) {
        path = dir.path() + "/no/such/folder/qt_log.txt";
    } else {
        path = QStringLiteral("/proc/qt_log.txt");
    }
    const QString errPath = dir.path() + "/stderr.txt";
    bool written = true;
    {
        StderrCapture capture(errPath);
        written = MessageLog::appendLine(path, QStringLiteral("still reported"));
        MessageLog::writeToStandardError(QStringLiteral("still reported"));
    }
    QVERIFY(!written);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readLines(errPath), (QStringList{"still reported", QString()}));
}

QTEST_GUILESS_MAIN(TestMessageLog)
#include "tst_messagelog.moc"
