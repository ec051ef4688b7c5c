#include "app/Diagnostics.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

namespace {

// Readings scripted by the test: each sample() returns the next one.
class ScriptedStatistics final : public IProcessStatistics
{
public:
    ScriptedStatistics(QList<ProcessSample> samples, int processors)
        : m_samples(std::move(samples)), m_processors(processors) {}
    bool sample(ProcessSample &out) override
    {
        if (m_samples.isEmpty())
            return false;
        out = m_samples.takeFirst();
        return true;
    }
    int processorCount() override { return m_processors; }

private:
    QList<ProcessSample> m_samples;
    int m_processors;
};

void writeLines(const QString &path, int count)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    for (int i = 1; i <= count; ++i)
        file.write(QStringLiteral("line %1\n").arg(i).toUtf8());
}

constexpr qint64 kSecond = 1000000000LL;

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void recentLogs_data();
    void recentLogs();
    void recentLogsMissingFile();
    void clearEmptiesTheLog();
    void manualPaths_data();
    void manualPaths();
    void manualContent();
    void perfLogPath();
    void metricsFromReadings_data();
    void metricsFromReadings();
    void failedReadingKeepsTexts();
    void measuredFigures();
};

void TestDiagnostics::recentLogs_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("120") << 120 << 71 << 50;
    QTest::newRow("10") << 10 << 1 << 10;
    QTest::newRow("50") << 50 << 1 << 50;
    QTest::newRow("51") << 51 << 2 << 50;
    QTest::newRow("empty") << 0 << 0 << 0;
}

void TestDiagnostics::recentLogs()
{
    QFETCH(int, lines);
    QFETCH(int, first);
    QFETCH(int, count);
    QTemporaryDir dir;
    Diagnostics diagnostics(dir.path(), nullptr);
    writeLines(dir.path() + "/qt_log.txt", lines);
    const QStringList logs = diagnostics.recentLogs();
    QCOMPARE(logs.size(), count);
    for (int i = 0; i < logs.size(); ++i)
        QCOMPARE(logs.at(i), QStringLiteral("line %1").arg(first + i));
}

void TestDiagnostics::recentLogsMissingFile()
{
    QTemporaryDir dir;
    Diagnostics diagnostics(dir.path(), nullptr);
    QCOMPARE(diagnostics.logFilePath(), dir.path() + "/qt_log.txt");
    QVERIFY(diagnostics.recentLogs().isEmpty());
}

void TestDiagnostics::clearEmptiesTheLog()
{
    QTemporaryDir dir;
    Diagnostics diagnostics(dir.path(), nullptr);
    writeLines(diagnostics.logFilePath(), 5);
    diagnostics.clearLog();
    QVERIFY(QFile::exists(diagnostics.logFilePath()));
    QCOMPARE(QFileInfo(diagnostics.logFilePath()).size(), 0);
    QVERIFY(diagnostics.recentLogs().isEmpty());
    writeLines(diagnostics.logFilePath(), 1);
    QCOMPARE(diagnostics.recentLogs(), QStringList{"line 1"});

    Diagnostics nowhere(dir.path() + "/missing/folder", nullptr);
    nowhere.clearLog();
    QVERIFY(!QFile::exists(nowhere.logFilePath()));
}

void TestDiagnostics::manualPaths_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("name");
    QTest::newRow("sr") << "sr" << "GETTING_STARTED_SR.md";
    QTest::newRow("Sr") << "Sr" << "GETTING_STARTED_SR.md";
    QTest::newRow("SR") << "SR" << "GETTING_STARTED_SR.md";
    QTest::newRow("en") << "en" << "GETTING_STARTED_EN.md";
    QTest::newRow("de") << "de" << "GETTING_STARTED_EN.md";
    QTest::newRow("none") << QString() << "GETTING_STARTED_EN.md";
}

void TestDiagnostics::manualPaths()
{
    QFETCH(QString, lang);
    QFETCH(QString, name);
    Diagnostics diagnostics(QStringLiteral("/opt/korvex"), nullptr);
    QCOMPARE(diagnostics.manualFilePath(lang), QStringLiteral("/opt/korvex/") + name);
}

void TestDiagnostics::manualContent()
{
    QTemporaryDir dir;
    Diagnostics diagnostics(dir.path(), nullptr);
    QCOMPARE(diagnostics.manualContent("en"), QString());
    QFile sr(dir.path() + "/GETTING_STARTED_SR.md");
    QVERIFY(sr.open(QIODevice::WriteOnly));
    sr.write(QStringLiteral("# Početak rada\nKamere ćemo dodati.\n").toUtf8());
    sr.close();
    QCOMPARE(diagnostics.manualContent("sr"), QStringLiteral("# Početak rada\nKamere ćemo dodati.\n"));
    QCOMPARE(diagnostics.manualContent(QString()), QString());
}

void TestDiagnostics::perfLogPath()
{
    QTemporaryDir dir;
    Diagnostics diagnostics(dir.path(), nullptr);
    QCOMPARE(diagnostics.perfLogFilePath(), dir.path() + "/perf_log.csv");
    QVERIFY(!QFile::exists(diagnostics.perfLogFilePath()));
}

void TestDiagnostics::metricsFromReadings_data()
{
    QTest::addColumn<qint64>("cpuNs");
    QTest::addColumn<qint64>("wallNs");
    QTest::addColumn<int>("processors");
    QTest::addColumn<qint64>("residentBytes");
    QTest::addColumn<QString>("cpuText");
    QTest::addColumn<QString>("ramText");
    // 2 s interval; CPU time as a share of all processors.
    QTest::newRow("idle") << qint64(0) << 2 * kSecond << 2 << qint64(0) << "CPU: 0%" << "RAM: 0.0 MB";
    QTest::newRow("one core of two") << 2 * kSecond << 2 * kSecond << 2 << qint64(257212416) << "CPU: 50%" << "RAM: 245.3 MB";
    QTest::newRow("quarter of one") << kSecond / 2 << 2 * kSecond << 1 << qint64(1048576) << "CPU: 25%" << "RAM: 1.0 MB";
    QTest::newRow("rounded") << qint64(2 * kSecond * 0.126) << 2 * kSecond << 1 << qint64(1572864) << "CPU: 13%" << "RAM: 1.5 MB";
    QTest::newRow("clamped") << 9 * kSecond << 2 * kSecond << 4 << qint64(104857600) << "CPU: 100%" << "RAM: 100.0 MB";
    QTest::newRow("memory unknown") << kSecond << 2 * kSecond << 1 << qint64(-1) << "CPU: 50%" << "RAM: 0 MB";
}

void TestDiagnostics::metricsFromReadings()
{
    QFETCH(qint64, cpuNs);
    QFETCH(qint64, wallNs);
    QFETCH(int, processors);
    QFETCH(qint64, residentBytes);
    QFETCH(QString, cpuText);
    QFETCH(QString, ramText);
    const qint64 baseCpu = 5 * kSecond, baseWall = 100 * kSecond;
    QList<ProcessSample> samples{{baseCpu, baseWall, 1}, {baseCpu + cpuNs, baseWall + wallNs, residentBytes}};
    Diagnostics diagnostics(QStringLiteral("/tmp"), std::make_unique<ScriptedStatistics>(samples, processors));
    QString cpu = QStringLiteral("CPU: 0%"), ram = QStringLiteral("RAM: 0 MB");
    diagnostics.sampleMetrics(cpu, ram);
    QCOMPARE(cpu, cpuText);
    QCOMPARE(ram, ramText);
}

void TestDiagnostics::failedReadingKeepsTexts()
{
    QList<ProcessSample> samples{{0, kSecond, 1}};
    Diagnostics diagnostics(QStringLiteral("/tmp"), std::make_unique<ScriptedStatistics>(samples, 1));
    QString cpu = QStringLiteral("CPU: 7%"), ram = QStringLiteral("RAM: 12.5 MB");
    diagnostics.sampleMetrics(cpu, ram);
    QCOMPARE(cpu, QStringLiteral("CPU: 7%"));
    QCOMPARE(ram, QStringLiteral("RAM: 12.5 MB"));

    Diagnostics without(QStringLiteral("/tmp"), nullptr);
    without.sampleMetrics(cpu, ram);
    QCOMPARE(cpu, QStringLiteral("CPU: 7%"));
}

// The platform layer really measures: a busy interval shows CPU time, and the
// resident memory is that of a running Qt process.
void TestDiagnostics::measuredFigures()
{
    auto statistics = createProcessStatistics();
    QVERIFY(statistics);
    QVERIFY(statistics->processorCount() >= 1);
    Diagnostics diagnostics(QStringLiteral("/tmp"), std::move(statistics));
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    volatile double sink = 0;
    while (std::chrono::steady_clock::now() < until)
        sink = sink + 1.0;
    QString cpu = QStringLiteral("CPU: 0%"), ram = QStringLiteral("RAM: 0 MB");
    diagnostics.sampleMetrics(cpu, ram);

    static const QRegularExpression cpuPattern(QStringLiteral("^CPU: (\\d+)%$"));
    const QRegularExpressionMatch cpuMatch = cpuPattern.match(cpu);
    QVERIFY2(cpuMatch.hasMatch(), qPrintable(cpu));
    QVERIFY2(cpuMatch.captured(1).toInt() >= 1, qPrintable(cpu));
    QVERIFY2(cpuMatch.captured(1).toInt() <= 100, qPrintable(cpu));

    static const QRegularExpression ramPattern(QStringLiteral("^RAM: (\\d+\\.\\d) MB$"));
    const QRegularExpressionMatch ramMatch = ramPattern.match(ram);
    QVERIFY2(ramMatch.hasMatch(), qPrintable(ram));
    QVERIFY2(ramMatch.captured(1).toDouble() > 1.0, qPrintable(ram));
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
