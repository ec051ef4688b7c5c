#include "XmlTree.h"

#include "export/TimelineExporter.h"
#include "export/TimelineXmlWriter.h"
#include "platform/StandardLocations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void touch(const QString &path, const QByteArray &content = "media")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A finished take on disk: cameras 2 and 4, channel 1 audio bound to none and
// channel 3 audio bound to camera 2, in <root>/Interview/Take_03.
struct TakeOnDisk
{
    QTemporaryDir root;
    QString takeFolder;
    TimelineExportInput input;

    explicit TakeOnDisk(const QString &session = QStringLiteral("Interview"), const QString &take = QStringLiteral("Take_03"))
    {
        takeFolder = root.path() + QLatin1Char('/') + (session.trimmed().isEmpty() ? QStringLiteral("2024-01-01_10-00-00") : session.trimmed())
                     + QLatin1Char('/') + take;
        input.sessionName = session;
        input.recordingPath = root.path();
        input.masterWavPath = takeFolder + QStringLiteral("/Master_Audio_Output.wav");
        input.videoFilePaths = {{2, takeFolder + QStringLiteral("/Camera_02.mp4")}, {4, takeFolder + QStringLiteral("/Camera_04.mp4")}};
        input.audioFilePaths = {{1, takeFolder + QStringLiteral("/Channel_01_Audio.wav")},
                                {3, takeFolder + QStringLiteral("/Channel_03_Audio.wav")}};
        input.channelCameraLinks = {{1, 0}, {2, 1}, {3, 2}, {4, 4}};
        input.cuts = {{2, 0}, {4, 1500}, {2, 4000}};
        input.startTimecode = QStringLiteral("09:30:00:00");
        input.durationMs = 6000;
        touch(input.masterWavPath);
        for (const QString &path : input.videoFilePaths)
            touch(path);
        for (const QString &path : input.audioFilePaths)
            touch(path);
    }

    QStringList files() const { return QDir(takeFolder).entryList(QDir::Files, QDir::Name); }
};

QByteArray expectedManifest(const QString &recordingPath, const QString &session, qint64 timestamp, const QString &davinci)
{
    return QByteArray("{\"recording_path\":\"") + recordingPath.toUtf8() + "\",\"take_name\":\"" + session.toUtf8()
           + "\",\"timestamp\":" + QByteArray::number(timestamp) + ",\"xml_davinci_path\":\"" + davinci.toUtf8() + "\"}";
}

constexpr qint64 kNewYear2024 = 1704067200; // 2024-01-01 00:00:00 UTC

} // namespace

class TimelineExportTest : public QObject
{
    Q_OBJECT

private slots:
    void namesFromSessionAndTake_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("takeFolder");
        QTest::addColumn<QString>("premiere");
        QTest::addColumn<QString>("davinci");
        QTest::addColumn<QString>("sequence");

        QTest::newRow("Interview Take_03") << "Interview" << "/r/Interview/Take_03"
            << "/r/Interview/Take_03/Interview_Take_03_Premiere.xml" << "/r/Interview/Take_03/Interview_Take_03_DaVinci.xml"
            << "Interview Take_03";
        QTest::newRow("empty session, dated folder") << "" << "/r/2024-05-01_10-00-00/Take_01"
            << "/r/2024-05-01_10-00-00/Take_01/Session_Take_01_Premiere.xml"
            << "/r/2024-05-01_10-00-00/Take_01/Session_Take_01_DaVinci.xml" << "Session Take_01";
        QTest::newRow("blank session") << " \t " << "/r/x/Take_02"
            << "/r/x/Take_02/Session_Take_02_Premiere.xml" << "/r/x/Take_02/Session_Take_02_DaVinci.xml" << "Session Take_02";
        QTest::newRow("trimmed") << "  My Show " << "/r/My Show/Take_10"
            << "/r/My Show/Take_10/My Show_Take_10_Premiere.xml" << "/r/My Show/Take_10/My Show_Take_10_DaVinci.xml"
            << "My Show Take_10";
    }

    void namesFromSessionAndTake()
    {
        QFETCH(QString, session);
        QFETCH(QString, takeFolder);
        QFETCH(QString, premiere);
        QFETCH(QString, davinci);
        QFETCH(QString, sequence);

        TimelineExportInput input;
        input.sessionName = session;
        input.masterWavPath = takeFolder + QStringLiteral("/Master_Audio_Output.wav");
        const TimelineExportNames names = TimelineExporter::names(input);
        QCOMPARE(names.takeFolder, takeFolder);
        QCOMPARE(names.premierePath, premiere);
        QCOMPARE(names.davinciPath, davinci);
        const TimelineDescription d = TimelineExporter::describe(input);
        QCOMPARE(d.projectName, names.session);
        QCOMPARE(d.sequenceName, sequence);
        QCOMPARE(d.takeFolder, takeFolder);
    }

    void takeFolderWithoutMasterFile()
    {
        // No master file: the folder of the first camera, never the working directory.
        TimelineExportInput input;
        input.videoFilePaths = {{3, QStringLiteral("/r/S/Take_04/Camera_03.mp4")}};
        QCOMPARE(TimelineExporter::names(input).premierePath, QStringLiteral("/r/S/Take_04/Session_Take_04_Premiere.xml"));
        input.takeFolder = QStringLiteral("/r/S/Take_05");
        QCOMPARE(TimelineExporter::names(input).davinciPath, QStringLiteral("/r/S/Take_05/Session_Take_05_DaVinci.xml"));
    }

    void descriptionFromTheTake()
    {
        TakeOnDisk take;
        const TimelineDescription d = TimelineExporter::describe(take.input);
        QCOMPARE(d.frameRate, 30.0);
        QCOMPARE(d.width, 1920);
        QCOMPARE(d.height, 1080);
        QCOMPARE(d.durationMs, qint64(6000));
        QCOMPARE(d.startTimecode, QStringLiteral("09:30:00:00"));
        QCOMPARE(d.masterAudioPath, take.input.masterWavPath);
        QCOMPARE(d.videoSources.size(), 2);
        QCOMPARE(d.videoSources[0].channelId, 2);
        QCOMPARE(d.videoSources[0].clipName, QStringLiteral("clip-cam-2"));
        QCOMPARE(d.videoSources[0].filePath, take.input.videoFilePaths.value(2));
        QCOMPARE(d.videoSources[1].clipName, QStringLiteral("clip-cam-4"));
        QCOMPARE(d.audioSources.size(), 2);
        QCOMPARE(d.audioSources[0].channelId, 1);
        QCOMPARE(d.audioSources[1].channelId, 3);
        // Binding 0 and bindings of channels without their own audio file stay out.
        QCOMPARE(d.audioCameraLinks, (QMap<int, int>{{3, 2}}));
        QCOMPARE(d.cuts, take.input.cuts);

        // Channels outside 1..4 are not part of a take.
        TimelineExportInput odd = take.input;
        odd.videoFilePaths.insert(7, QStringLiteral("/x/Camera_07.mp4"));
        odd.audioFilePaths.insert(0, QStringLiteral("/x/Channel_00_Audio.wav"));
        QCOMPARE(TimelineExporter::describe(odd).videoSources.size(), 2);
        QCOMPARE(TimelineExporter::describe(odd).audioSources.size(), 2);
    }

    void exportWritesBothTimelinesAndTheManifest()
    {
        TakeOnDisk take;
        const QStringList before = take.files();
        const QString manifestFolder = take.root.filePath(QStringLiteral("appdata/Korvex/Korvex"));
        TimelineExporter exporter(manifestFolder);
        exporter.setClock([] { return kNewYear2024; });

        const QString premiere = take.takeFolder + QStringLiteral("/Interview_Take_03_Premiere.xml");
        const QString davinci = take.takeFolder + QStringLiteral("/Interview_Take_03_DaVinci.xml");
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("[ApplicationManager] Successfully exported Premiere XML to: \"%1\"").arg(premiere)));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("[ApplicationManager] Successfully exported DaVinci Resolve XML to: \"%1\"").arg(davinci)));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));

        const TimelineExportResult result = exporter.exportTake(take.input);
        QVERIFY(result.hadRecordedFiles);
        QVERIFY(result.premiereWritten);
        QVERIFY(result.davinciWritten);
        QVERIFY(result.manifestWritten);
        QCOMPARE(result.premierePath, premiere);
        QCOMPARE(result.davinciPath, davinci);

        // Both timelines, nothing else, in the take folder; one document twice.
        QStringList expectedFiles = before;
        expectedFiles << QStringLiteral("Interview_Take_03_DaVinci.xml") << QStringLiteral("Interview_Take_03_Premiere.xml");
        expectedFiles.sort();
        QCOMPARE(take.files(), expectedFiles);
        const QByteArray document = readFile(premiere);
        QCOMPARE(readFile(davinci), document);
        QCOMPARE(document, renderTimelineXml(TimelineExporter::describe(take.input)));

        const XmlDocument doc = XmlDocument::parse(document);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.root->at(QStringLiteral("project/name"))->text, QStringLiteral("Interview"));
        QCOMPARE(doc.sequence()->value(QStringLiteral("name")), QStringLiteral("Interview Take_03"));
        const auto tracks = doc.videoTracks();
        QCOMPARE(tracks.size(), 2);
        QCOMPARE(tracks[0]->at(QStringLiteral("clipitem/masterclipid"))->text, QStringLiteral("masterclip-clip-cam-2"));
        QCOMPARE(tracks[1]->at(QStringLiteral("clipitem/start"))->text, QStringLiteral("45"));
        QCOMPARE(tracks[1]->at(QStringLiteral("clipitem/end"))->text, QStringLiteral("120"));
        QCOMPARE(doc.audioTracks().size(), 3);

        // Only the manifest in the data folder: compact, keys sorted.
        QCOMPARE(QDir(manifestFolder).entryList(QDir::Files), QStringList{QStringLiteral("latest_take.json")});
        QCOMPARE(readFile(manifestFolder + QStringLiteral("/latest_take.json")),
                 expectedManifest(take.root.path(), QStringLiteral("Interview"), kNewYear2024, davinci));
    }

    void manifestInThePerUserDataFolder()
    {
        TakeOnDisk take(QString(), QStringLiteral("Take_01"));
        const QString folder = StandardLocations::applicationDataFolder();
        QVERIFY(folder.endsWith(QStringLiteral("/Korvex/Korvex")));
        QDir(folder).removeRecursively();
        TimelineExporter exporter;
        QCOMPARE(exporter.manifestFolder(), folder);

        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const TimelineExportResult result = exporter.exportTake(take.input);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        QVERIFY(result.manifestWritten);
        QVERIFY(take.files().contains(QStringLiteral("Session_Take_01_Premiere.xml")));
        QVERIFY(take.files().contains(QStringLiteral("Session_Take_01_DaVinci.xml")));

        const QJsonObject manifest = QJsonDocument::fromJson(readFile(folder + QStringLiteral("/latest_take.json"))).object();
        QCOMPARE(manifest.keys(), (QStringList{"recording_path", "take_name", "timestamp", "xml_davinci_path"}));
        QCOMPARE(manifest.value(QStringLiteral("take_name")).toString(), QStringLiteral("Session"));
        QCOMPARE(manifest.value(QStringLiteral("recording_path")).toString(), take.root.path());
        QCOMPARE(manifest.value(QStringLiteral("xml_davinci_path")).toString(), result.davinciPath);
        QVERIFY(manifest.value(QStringLiteral("timestamp")).isDouble());
        const qint64 timestamp = manifest.value(QStringLiteral("timestamp")).toInteger();
        QVERIFY(timestamp >= before && timestamp <= after);
    }

    void nothingRecorded()
    {
        QTemporaryDir dir;
        TimelineExportInput input;
        input.recordingPath = dir.path();
        input.audioFilePaths = {{1, dir.filePath(QStringLiteral("Channel_01_Audio.wav"))}};
        input.cuts = {{1, 0}};
        TimelineExporter exporter(dir.filePath(QStringLiteral("data")));
        QTest::ignoreMessage(QtDebugMsg, "[ApplicationManager] No recorded files to export to XML.");
        const TimelineExportResult result = exporter.exportTake(input);
        QVERIFY(!result.hadRecordedFiles);
        QVERIFY(!result.premiereWritten && !result.davinciWritten && !result.manifestWritten);
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void davinciFailsWhilePremiereSucceeds()
    {
        TakeOnDisk take;
        const QString manifestFolder = take.root.filePath(QStringLiteral("data"));
        touch(manifestFolder + QStringLiteral("/latest_take.json"), "previous take");
        const QString davinci = take.takeFolder + QStringLiteral("/Interview_Take_03_DaVinci.xml");
        QVERIFY(QDir().mkpath(davinci)); // a folder in the way: the file cannot be opened

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^\\[ApplicationManager\\] Successfully exported Premiere XML to: \".*_Premiere.xml\"$")));
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("[ApplicationManager] Failed to export DaVinci Resolve XML to: \"%1\"").arg(davinci)));
        const TimelineExportResult result = TimelineExporter(manifestFolder).exportTake(take.input);
        QVERIFY(result.premiereWritten);
        QVERIFY(!result.davinciWritten);
        QVERIFY(!result.manifestWritten);
        QCOMPARE(readFile(manifestFolder + QStringLiteral("/latest_take.json")), QByteArray("previous take"));
    }

    void takeFolderGone()
    {
        TakeOnDisk take;
        QDir(take.takeFolder).removeRecursively();
        const QString manifestFolder = take.root.filePath(QStringLiteral("data"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[ApplicationManager\\] Failed to export Premiere XML to: ")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[ApplicationManager\\] Failed to export DaVinci Resolve XML to: ")));
        const TimelineExportResult result = TimelineExporter(manifestFolder).exportTake(take.input);
        QVERIFY(result.hadRecordedFiles);
        QVERIFY(!result.premiereWritten && !result.davinciWritten && !result.manifestWritten);
        QVERIFY(!QFileInfo::exists(manifestFolder));
        QVERIFY(!QFileInfo::exists(take.takeFolder));
    }

    void manifestFolderCannotBeCreated()
    {
        TakeOnDisk take;
        const QString blocker = take.root.filePath(QStringLiteral("blocker"));
        touch(blocker);
        const TimelineExportResult result = TimelineExporter(blocker + QStringLiteral("/Korvex/Korvex")).exportTake(take.input);
        QVERIFY(result.premiereWritten && result.davinciWritten);
        QVERIFY(!result.manifestWritten);
        QVERIFY(QFileInfo::exists(result.davinciPath));
    }

    void reExportOverwrites()
    {
        // The manager's generateTimeline() runs the same export again with 10000 ms.
        TakeOnDisk take;
        TimelineExporter exporter(take.root.filePath(QStringLiteral("data")));
        exporter.setClock([] { return kNewYear2024; });
        QVERIFY(exporter.exportTake(take.input).davinciWritten);
        take.input.durationMs = 10000;
        exporter.setClock([] { return kNewYear2024 + 60; });
        const TimelineExportResult again = exporter.exportTake(take.input);
        QVERIFY(again.premiereWritten && again.davinciWritten && again.manifestWritten);
        const XmlDocument doc = XmlDocument::parse(readFile(again.premierePath));
        QCOMPARE(doc.sequence()->value(QStringLiteral("duration")), QStringLiteral("300"));
        QVERIFY(readFile(take.root.filePath(QStringLiteral("data/latest_take.json"))).contains("\"timestamp\":1704067260,"));
    }
};

QTEST_GUILESS_MAIN(TimelineExportTest)
#include "tst_timeline_export.moc"
