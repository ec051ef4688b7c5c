#include "TimelineFixtures.h"
#include "XmlTree.h"

#include "export/TimelineRate.h"
#include "export/TimelineXmlWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The worked example: cameras 1 and 2, channel 1 audio bound to camera 1,
// in a take folder whose session name has a blank.
TimelineDescription workedExample()
{
    const QString folder = QStringLiteral("/takes/My Interview/Take_01");
    TimelineDescription d;
    d.projectName = QStringLiteral("Interview");
    d.sequenceName = QStringLiteral("Interview Take_01");
    d.takeFolder = folder;
    d.frameRate = 30.0;
    d.width = 1920;
    d.height = 1080;
    d.durationMs = 15000;
    d.masterAudioPath = folder + QStringLiteral("/Master_Audio_Output.wav");
    d.startTimecode = QStringLiteral("10:15:30:00");
    d.videoSources = {{1, QStringLiteral("clip-cam-1"), folder + QStringLiteral("/Camera_01.mp4")},
                      {2, QStringLiteral("clip-cam-2"), folder + QStringLiteral("/Camera_02.mp4")}};
    d.audioSources = {{1, folder + QStringLiteral("/Channel_01_Audio.wav")}};
    d.audioCameraLinks = {{1, 1}};
    d.cuts = {{1, 0}, {2, 5500}, {1, 10000}};
    return d;
}

XmlDocument parsed(const TimelineDescription &d)
{
    return XmlDocument::parse(renderTimelineXml(d));
}

// "<track>|<id>|<start>-<end>|<name>" for every video clip, in document order.
QStringList videoClips(const XmlDocument &doc)
{
    QStringList out;
    const auto tracks = doc.videoTracks();
    for (int k = 0; k < tracks.size(); ++k) {
        for (const XmlNode *clip : tracks[k]->all(QStringLiteral("clipitem"))) {
            out.append(QStringLiteral("%1|%2|%3-%4|%5")
                           .arg(k + 1)
                           .arg(clip->attributes.value(QStringLiteral("id")), clip->value(QStringLiteral("start")),
                                clip->value(QStringLiteral("end")), clip->value(QStringLiteral("name"))));
        }
    }
    return out;
}

// "<owner clip id>:<linkclipref>/<mediatype>/<trackindex>/<clipindex>".
QStringList links(const XmlDocument &doc)
{
    QList<const XmlNode *> clips;
    doc.root->collect(QStringLiteral("clipitem"), clips);
    QStringList out;
    for (const XmlNode *clip : clips) {
        for (const XmlNode *link : clip->all(QStringLiteral("link"))) {
            out.append(QStringLiteral("%1:%2/%3/%4/%5")
                           .arg(clip->attributes.value(QStringLiteral("id")),
                                link->value(QStringLiteral("linkclipref")), link->value(QStringLiteral("mediatype")),
                                link->value(QStringLiteral("trackindex")), link->value(QStringLiteral("clipindex"))));
        }
    }
    return out;
}

} // namespace

class TimelineXmlTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleMatchesTheHandWrittenDocument()
    {
        const QByteArray golden = readFile(QFINDTESTDATA("data/worked_example.xml"));
        QVERIFY(!golden.isEmpty());
        const QByteArray rendered = renderTimelineXml(workedExample());
        if (rendered != golden) {
            const QList<QByteArray> a = rendered.split('\n'), b = golden.split('\n');
            for (int i = 0; i < qMin(a.size(), b.size()); ++i)
                QCOMPARE(QString::fromUtf8(a[i]), QString::fromUtf8(b[i]));
            QCOMPARE(a.size(), b.size());
        }

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Interview_Take_01_Premiere.xml"));
        QVERIFY(writeTimelineXml(path, workedExample()));
        QCOMPARE(readFile(path), golden);
    }

    void derivedValues_data()
    {
        QTest::addColumn<double>("frameRate");
        QTest::addColumn<int>("timebase");
        QTest::addColumn<QString>("ntsc");
        QTest::addColumn<QString>("displayFormat");
        QTest::addColumn<double>("effectiveRate");
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<qint64>("sequenceFrames");

        QTest::newRow("30") << 30.0 << 30 << "FALSE" << "NDF" << 30.0 << qint64(15000) << qint64(450);
        QTest::newRow("29.97") << 29.97 << 30 << "TRUE" << "DF" << 30000.0 / 1001.0 << qint64(10000) << qint64(300);
        QTest::newRow("59.94") << 59.94 << 60 << "TRUE" << "NDF" << 60000.0 / 1001.0 << qint64(10000) << qint64(599);
        QTest::newRow("23.976") << 23.976 << 24 << "TRUE" << "NDF" << 24000.0 / 1001.0 << qint64(10000) << qint64(240);
        QTest::newRow("25") << 25.0 << 25 << "FALSE" << "NDF" << 25.0 << qint64(10000) << qint64(250);
        QTest::newRow("29.90") << 29.90 << 30 << "FALSE" << "NDF" << 29.90 << qint64(10000) << qint64(299);
        QTest::newRow("0") << 0.0 << 30 << "FALSE" << "NDF" << 0.0 << qint64(10000) << qint64(30);
        QTest::newRow("half rounds up") << 24.5 << 25 << "FALSE" << "NDF" << 24.5 << qint64(1000) << qint64(25);
        QTest::newRow("below one") << 0.4 << 30 << "FALSE" << "NDF" << 0.4 << qint64(1000) << qint64(30);
        QTest::newRow("10 ms at 30") << 30.0 << 30 << "FALSE" << "NDF" << 30.0 << qint64(10) << qint64(30);
    }

    void derivedValues()
    {
        QFETCH(double, frameRate);
        QFETCH(int, timebase);
        QFETCH(QString, ntsc);
        QFETCH(QString, displayFormat);
        QFETCH(double, effectiveRate);
        QFETCH(qint64, durationMs);
        QFETCH(qint64, sequenceFrames);

        const TimelineRate rate = TimelineRate::fromFrameRate(frameRate);
        QCOMPARE(rate.timebase, timebase);
        QCOMPARE(rate.ntscText(), ntsc);
        QCOMPARE(rate.displayFormat(), displayFormat);
        QVERIFY2(qAbs(rate.effectiveRate - effectiveRate) < 1e-9, qPrintable(QString::number(rate.effectiveRate, 'g', 12)));
        QCOMPARE(rate.sequenceDuration(durationMs), sequenceFrames);

        // The same values land in every rate block and duration of the document.
        const XmlDocument doc = parsed(Fixtures::take(QStringLiteral("1 2"), QStringLiteral("1@0 2@100"), durationMs, frameRate));
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QList<const XmlNode *> rates, durations;
        doc.root->collect(QStringLiteral("rate"), rates);
        doc.root->collect(QStringLiteral("duration"), durations);
        QVERIFY(rates.size() > 5);
        for (const XmlNode *r : rates) {
            QCOMPARE(r->value(QStringLiteral("timebase")), QString::number(timebase));
            QCOMPARE(r->value(QStringLiteral("ntsc")), ntsc);
        }
        QVERIFY(durations.size() > 3);
        for (const XmlNode *duration : durations)
            QCOMPARE(duration->text, QString::number(sequenceFrames));
        QCOMPARE(doc.sequence()->at(QStringLiteral("timecode/displayformat"))->text, displayFormat);
        // A file's own timecode is always non-drop.
        QList<const XmlNode *> fileFormats;
        doc.sequence()->at(QStringLiteral("media/video"))->collect(QStringLiteral("displayformat"), fileFormats);
        for (const XmlNode *format : fileFormats)
            QCOMPARE(format->text, QStringLiteral("NDF"));
    }

    void videoTracksFollowTheCuts_data()
    {
        QTest::addColumn<QString>("cameras");
        QTest::addColumn<QString>("cuts");
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<double>("frameRate");
        QTest::addColumn<int>("trackCount");
        QTest::addColumn<QStringList>("clips");

        QTest::newRow("worked example") << "1 2" << "1@0 2@5500 1@10000" << qint64(15000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-450|Camera_01.mp4", "2|clipitem-v2-0|165-300|Cut 2 - Camera_02.mp4"};
        QTest::newRow("single cut to camera 2") << "1 2" << "2@0" << qint64(15000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-450|Camera_01.mp4", "2|clipitem-v2-0|0-450|Cut 1 - Camera_02.mp4"};
        QTest::newRow("two consecutive cuts to one camera") << "1 2" << "1@0 2@1000 2@2000 1@3000" << qint64(4000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-120|Camera_01.mp4", "2|clipitem-v2-0|30-60|Cut 2 - Camera_02.mp4",
                           "2|clipitem-v2-1|60-90|Cut 3 - Camera_02.mp4"};
        QTest::newRow("zero-frame cut uses no number") << "1 2 3" << "1@0 2@1000 3@1010 2@2000 1@3000" << qint64(4000) << 30.0 << 3
            << QStringList{"1|clipitem-v1-base|0-120|Camera_01.mp4", "2|clipitem-v2-0|60-90|Cut 4 - Camera_02.mp4",
                           "3|clipitem-v3-0|30-60|Cut 3 - Camera_03.mp4"};
        QTest::newRow("10 ms take") << "1 2" << "1@0 2@5" << qint64(10) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-30|Camera_01.mp4"};
        QTest::newRow("frame rate 0") << "1 2" << "1@0 2@5000" << qint64(10000) << 0.0 << 2
            << QStringList{"1|clipitem-v1-base|0-30|Camera_01.mp4"};
        QTest::newRow("29.97") << "1 2" << "1@0 2@5000" << qint64(10000) << 29.97 << 2
            << QStringList{"1|clipitem-v1-base|0-300|Camera_01.mp4", "2|clipitem-v2-0|150-300|Cut 2 - Camera_02.mp4"};
        QTest::newRow("cameras sorted by channel") << "3 1" << "1@0 3@1000" << qint64(2000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-60|Camera_01.mp4", "2|clipitem-v2-0|30-60|Cut 2 - Camera_03.mp4"};
        QTest::newRow("camera never active") << "1 2 4" << "1@0 2@1000" << qint64(2000) << 30.0 << 3
            << QStringList{"1|clipitem-v1-base|0-60|Camera_01.mp4", "2|clipitem-v2-0|30-60|Cut 2 - Camera_02.mp4"};
        QTest::newRow("cut to a camera without file") << "1 2" << "1@0 3@1000 1@2000" << qint64(3000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-90|Camera_01.mp4"};
        QTest::newRow("no video, no cuts") << "" << "" << qint64(1000) << 30.0 << 1
            << QStringList{"1|clipitem-v1-base|0-30|Camera_CH1.mp4"};
        QTest::newRow("no video, cameras from the cuts") << "" << "3@0 2@1000" << qint64(2000) << 30.0 << 2
            << QStringList{"1|clipitem-v1-base|0-60|Camera_CH2.mp4", "2|clipitem-v2-0|0-30|Cut 1 - Camera_CH3.mp4"};
    }

    void videoTracksFollowTheCuts()
    {
        QFETCH(QString, cameras);
        QFETCH(QString, cuts);
        QFETCH(qint64, durationMs);
        QFETCH(double, frameRate);
        QFETCH(int, trackCount);
        QFETCH(QStringList, clips);

        const XmlDocument doc = parsed(Fixtures::take(cameras, cuts, durationMs, frameRate));
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.videoTracks().size(), trackCount);
        QCOMPARE(videoClips(doc), clips);
        const auto tracks = doc.videoTracks();
        for (int k = 0; k < tracks.size(); ++k) {
            QCOMPARE(tracks[k]->attributes.value(QStringLiteral("MZ.TrackTargeted")), k == 0 ? QStringLiteral("1") : QStringLiteral("0"));
            for (const XmlNode *clip : tracks[k]->all(QStringLiteral("clipitem"))) {
                QCOMPARE(clip->value(QStringLiteral("in")), clip->value(QStringLiteral("start")));
                QCOMPARE(clip->value(QStringLiteral("out")), clip->value(QStringLiteral("end")));
            }
        }
    }

    void fileElementOnFirstUseThenReferences()
    {
        const XmlDocument doc = parsed(Fixtures::take(QStringLiteral("1 2"), QStringLiteral("1@0 2@1000 2@2000 1@3000"), 4000));
        const auto tracks = doc.videoTracks();
        const XmlNode *base = tracks[0]->child(QStringLiteral("clipitem"));
        QCOMPARE(base->value(QStringLiteral("masterclipid")), QStringLiteral("masterclip-clip-cam-1"));
        QCOMPARE(base->child(QStringLiteral("file"))->attributes.value(QStringLiteral("id")), QStringLiteral("file-clip-cam-1"));
        QCOMPARE(base->child(QStringLiteral("file"))->value(QStringLiteral("pathurl")),
                 QStringLiteral("file://localhost/takes/T/Take_01/Camera_01.mp4"));

        const auto cutClips = tracks[1]->all(QStringLiteral("clipitem"));
        QCOMPARE(cutClips.size(), 2);
        const XmlNode *first = cutClips[0]->child(QStringLiteral("file"));
        const XmlNode *second = cutClips[1]->child(QStringLiteral("file"));
        QCOMPARE(first->attributes.value(QStringLiteral("id")), QStringLiteral("file-clip-cam-2"));
        QCOMPARE(first->value(QStringLiteral("name")), QStringLiteral("Camera_02.mp4"));
        QVERIFY(first->child(QStringLiteral("media")));
        QCOMPARE(second->attributes.value(QStringLiteral("id")), QStringLiteral("file-clip-cam-2"));
        QVERIFY(second->children.isEmpty());
        QVERIFY(renderTimelineXml(Fixtures::take(QStringLiteral("1 2"), QStringLiteral("1@0 2@1000 2@2000 1@3000"), 4000))
                    .contains("\t\t\t\t\t\t\t\t<file id=\"file-clip-cam-2\"/>\n"));
    }

    void fallbackEntriesAreNamedForTheirChannel()
    {
        const XmlDocument doc = parsed(Fixtures::take(QString(), QStringLiteral("2@0 3@1000"), 2000));
        const auto tracks = doc.videoTracks();
        QCOMPARE(tracks.size(), 2);
        const XmlNode *base = tracks[0]->child(QStringLiteral("clipitem"));
        QCOMPARE(base->value(QStringLiteral("masterclipid")), QStringLiteral("masterclip-Camera_CH2"));
        QCOMPARE(base->child(QStringLiteral("file"))->attributes.value(QStringLiteral("id")), QStringLiteral("file-Camera_CH2"));
        QCOMPARE(base->child(QStringLiteral("file"))->value(QStringLiteral("pathurl")),
                 QStringLiteral("file://localhost/takes/T/Take_01/Camera_CH2.mp4"));
        const XmlNode *cut = tracks[1]->child(QStringLiteral("clipitem"));
        QCOMPARE(cut->child(QStringLiteral("file"))->value(QStringLiteral("pathurl")),
                 QStringLiteral("file://localhost/takes/T/Take_01/Camera_CH3.mp4"));

        const XmlDocument none = parsed(Fixtures::take(QString(), QString(), 1000));
        const XmlNode *only = none.videoTracks().at(0)->child(QStringLiteral("clipitem"));
        QCOMPARE(only->value(QStringLiteral("masterclipid")), QStringLiteral("masterclip-Camera_CH1"));
        QCOMPARE(only->child(QStringLiteral("file"))->value(QStringLiteral("pathurl")),
                 QStringLiteral("file://localhost/takes/T/Take_01/Camera_CH1.mp4"));
    }

    void audioLinks_data()
    {
        QTest::addColumn<QString>("cameras");
        QTest::addColumn<QString>("audio");
        QTest::addColumn<QString>("bindings");
        QTest::addColumn<QStringList>("expected");

        const QString base = QStringLiteral("clipitem-v1-base");
        QTest::newRow("worked example") << "1 2" << "1" << "1:1"
            << QStringList{base + ":clipitem-v1-base/video/1/1", base + ":channel-audio-1/audio/2/1",
                           "channel-audio-1:clipitem-v1-base/video/1/1", "channel-audio-1:channel-audio-1/audio/2/1"};
        QTest::newRow("no audio") << "1 2" << "" << "" << QStringList{};
        QTest::newRow("audio 3 bound to camera 2") << "1 2" << "3" << "3:2" << QStringList{};
        QTest::newRow("bound to a camera not recorded") << "1 2" << "1" << "1:4" << QStringList{};
        QTest::newRow("unbound channel") << "1 2" << "1 2" << "2:1"
            << QStringList{base + ":clipitem-v1-base/video/1/1", base + ":channel-audio-2/audio/3/1",
                           "channel-audio-2:clipitem-v1-base/video/1/1", "channel-audio-2:channel-audio-2/audio/3/1"};
        QTest::newRow("two bound to camera 1, last wins on video") << "1 2" << "1 2" << "1:1 2:1"
            << QStringList{base + ":clipitem-v1-base/video/1/1", base + ":channel-audio-2/audio/3/1",
                           "channel-audio-1:clipitem-v1-base/video/1/1", "channel-audio-1:channel-audio-1/audio/2/1",
                           "channel-audio-2:clipitem-v1-base/video/1/1", "channel-audio-2:channel-audio-2/audio/3/1"};
        QTest::newRow("cameras 2 and 4, audio bound to 2") << "2 4" << "1" << "1:2"
            << QStringList{base + ":clipitem-v1-base/video/1/1", base + ":channel-audio-1/audio/2/1",
                           "channel-audio-1:clipitem-v1-base/video/1/1", "channel-audio-1:channel-audio-1/audio/2/1"};
    }

    void audioLinks()
    {
        QFETCH(QString, cameras);
        QFETCH(QString, audio);
        QFETCH(QString, bindings);
        QFETCH(QStringList, expected);

        TimelineDescription d = Fixtures::take(cameras, QStringLiteral("1@0 2@1000"), 3000);
        Fixtures::addAudio(d, audio, bindings);
        const XmlDocument doc = parsed(d);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(links(doc), expected);

        const auto tracks = doc.audioTracks();
        QCOMPARE(tracks.size(), 1 + d.audioSources.size());
        QCOMPARE(tracks[0]->child(QStringLiteral("clipitem"))->attributes.value(QStringLiteral("id")), QStringLiteral("master-audio-1"));
        for (int i = 0; i < d.audioSources.size(); ++i) {
            const XmlNode *clip = tracks[i + 1]->child(QStringLiteral("clipitem"));
            QCOMPARE(clip->attributes.value(QStringLiteral("id")), QStringLiteral("channel-audio-%1").arg(i + 1));
            QCOMPARE(clip->child(QStringLiteral("file"))->attributes.value(QStringLiteral("id")),
                     QStringLiteral("file-channel-audio-%1").arg(i + 1));
            QCOMPARE(clip->value(QStringLiteral("name")),
                     QStringLiteral("Channel_%1_Audio.wav").arg(d.audioSources[i].channelId, 2, 10, QLatin1Char('0')));
        }
    }

    void audioNamesWithoutPaths()
    {
        TimelineDescription d = Fixtures::take(QStringLiteral("1"), QStringLiteral("1@0"), 1000);
        d.masterAudioPath.clear();
        d.audioSources = {{3, QString()}};
        const XmlDocument doc = parsed(d);
        const auto tracks = doc.audioTracks();
        const XmlNode *master = tracks[0]->child(QStringLiteral("clipitem"));
        QCOMPARE(master->value(QStringLiteral("name")), QStringLiteral("MASTER_AUDIO.wav"));
        QCOMPARE(master->child(QStringLiteral("file"))->value(QStringLiteral("name")), QStringLiteral("MASTER_AUDIO.wav"));
        QCOMPARE(master->child(QStringLiteral("file"))->value(QStringLiteral("pathurl")), QStringLiteral("file://localhost/"));
        QCOMPARE(tracks[1]->child(QStringLiteral("clipitem"))->value(QStringLiteral("name")), QStringLiteral("CH3_AUDIO.wav"));
    }

    void namesAndPathsAreEscaped()
    {
        TimelineDescription d = Fixtures::take(QStringLiteral("1"), QStringLiteral("1@0"), 1000);
        d.projectName = QStringLiteral("Tom & Jerry <Live> \"Q\"");
        d.sequenceName = QStringLiteral("Tom & Jerry Take_01");
        d.videoSources[0].clipName = QStringLiteral("cam & one");
        d.videoSources[0].filePath = QStringLiteral("/takes/R&D Day/Take_01/Camera_01.mp4");
        const QByteArray text = renderTimelineXml(d);
        QVERIFY(text.contains("\t\t<name>Tom &amp; Jerry &lt;Live&gt; &quot;Q&quot;</name>\n"));
        QVERIFY(text.contains("\t\t\t\t<name>Tom &amp; Jerry Take_01</name>\n"));
        QVERIFY(text.contains("<masterclipid>masterclip-cam_&amp;_one</masterclipid>"));
        QVERIFY(text.contains("<file id=\"file-cam_&amp;_one\">"));
        QVERIFY(text.contains("<pathurl>file://localhost/takes/R&amp;D%20Day/Take_01/Camera_01.mp4</pathurl>"));

        const XmlDocument doc = XmlDocument::parse(text);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.root->at(QStringLiteral("project/name"))->text, d.projectName);
        QCOMPARE(doc.sequence()->value(QStringLiteral("name")), d.sequenceName);
    }

    void documentShape()
    {
        const QByteArray text = renderTimelineXml(workedExample());
        QVERIFY(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE xmeml>\n<xmeml version=\"4\">\n"));
        QVERIFY(!text.startsWith("\xEF\xBB\xBF"));
        QVERIFY(text.endsWith("</xmeml>\n"));
        QVERIFY(!text.contains('\r'));
        const XmlDocument doc = XmlDocument::parse(text);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.doctypeName, QStringLiteral("xmeml"));
        QCOMPARE(doc.root->attributes.value(QStringLiteral("version")), QStringLiteral("4"));
        QCOMPARE(doc.sequence()->value(QStringLiteral("uuid")), QStringLiteral("1b0182ac-ed5c-4726-827d-374d3563326b"));
        QCOMPARE(doc.sequence()->at(QStringLiteral("timecode/string"))->text, QStringLiteral("10:15:30:00"));
    }

    void identifiersAndEscaping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("plain") << "clip-cam-1" << "clip-cam-1" << "clip-cam-1";
        QTest::newRow("blanks") << "my clip 2" << "my clip 2" << "my_clip_2";
        QTest::newRow("entities") << "a&b<c>\"d\"" << "a&amp;b&lt;c&gt;&quot;d&quot;" << "a&amp;b&lt;c&gt;&quot;d&quot;";
        QTest::newRow("apostrophe stays") << "Ana's" << "Ana's" << "Ana's";
        QTest::newRow("empty") << "" << "" << "";
    }

    void identifiersAndEscaping()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QFETCH(QString, identifier);
        QCOMPARE(TimelineXml::escaped(text), escaped);
        QCOMPARE(TimelineXml::identifier(text), identifier);
    }

    void pathUrls_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        QTest::newRow("linux absolute") << "/home/ana/Videos/Korvex/S/Take_01/Camera_01.mp4"
                                        << "file://localhost/home/ana/Videos/Korvex/S/Take_01/Camera_01.mp4";
        QTest::newRow("blank") << "/v/My Session/a.wav" << "file://localhost/v/My%20Session/a.wav";
        QTest::newRow("percent, hash, question") << "/v/100%/#1?.wav" << "file://localhost/v/100%25/%231%3F.wav";
        QTest::newRow("non-ASCII as UTF-8") << QString::fromUtf8("/v/Šuma/č.wav") << "file://localhost/v/%C5%A0uma/%C4%8D.wav";
        QTest::newRow("ampersand and colon stay") << "/v/R&D:1/a.wav" << "file://localhost/v/R&D:1/a.wav";
        QTest::newRow("cleaned") << "/v/x/../y//a.wav" << "file://localhost/v/y/a.wav";
        QTest::newRow("relative made absolute") << "rel/a.wav"
                                                << "file://localhost" + QDir::currentPath() + "/rel/a.wav";
        QTest::newRow("empty") << "" << "file://localhost/";
    }

    void pathUrls()
    {
        QFETCH(QString, path);
        QFETCH(QString, url);
        const QString actual = TimelineXml::pathUrl(path);
        QCOMPARE(actual, url);
        const QUrl parsedUrl(actual, QUrl::StrictMode);
        QVERIFY2(parsedUrl.isValid(), qPrintable(parsedUrl.errorString()));
        QCOMPARE(parsedUrl.host(), QStringLiteral("localhost"));
    }

    void writeFailures()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone/x.xml"));
        QVERIFY(!writeTimelineXml(missing, workedExample()));
        QVERIFY(!QFile::exists(missing));

        // A full disk must not pass for a written timeline.
        if (QFile::exists(QStringLiteral("/dev/full")))
            QVERIFY(!writeTimelineXml(QStringLiteral("/dev/full"), workedExample()));

        // An older, longer file is replaced, not overwritten in place.
        const QString path = dir.filePath(QStringLiteral("x.xml"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(200000, 'x'));
        }
        QVERIFY(writeTimelineXml(path, workedExample()));
        QCOMPARE(readFile(path), renderTimelineXml(workedExample()));
    }
};

QTEST_GUILESS_MAIN(TimelineXmlTest)
#include "tst_timeline_xml.moc"
