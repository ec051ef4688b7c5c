#include "export/TimelineXmlWriter.h"

#include "export/TimelineRate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <charconv>

namespace TimelineXml {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

QString identifier(const QString &clipName)
{
    QString id = escaped(clipName);
    id.replace(QLatin1Char(' '), QLatin1Char('_'));
    return id;
}

namespace {

// Bytes that may stand in a URL path as they are; everything else (blanks,
// "%", "#", "?", quotes, brackets, controls, non-ASCII) is percent-encoded.
bool isUrlPathByte(unsigned char b)
{
    if (b >= 'a' && b <= 'z')
        return true;
    if (b >= 'A' && b <= 'Z')
        return true;
    if (b >= '0' && b <= '9')
        return true;
    switch (b) {
    case '/': case ':': case '-': case '.': case '_': case '~':
    case '!': case '$': case '&': case '\'': case '(': case ')':
    case '*': case '+': case ',': case ';': case '=': case '@':
        return true;
    default:
        return false;
    }
}

} // namespace

QString pathUrl(const QString &path)
{
    QString absolute;
    if (!path.isEmpty())
        absolute = QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath());

    static const char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    const QByteArray utf8 = absolute.toUtf8();
    encoded.reserve(utf8.size() + 16);
    for (char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (isUrlPathByte(b)) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += hex[b >> 4];
            encoded += hex[b & 0xF];
        }
    }
    // A POSIX absolute path brings its own leading slash; a drive path
    // (C:/...) gets one, so both read file://localhost/...
    const QString url = QString::fromLatin1(encoded);
    if (url.startsWith(QLatin1Char('/')))
        return QStringLiteral("file://localhost") + url;
    return QStringLiteral("file://localhost/") + url;
}

} // namespace TimelineXml

namespace {

using TimelineXml::escaped;
using TimelineXml::identifier;

QByteArray escapedUtf8(const QString &text)
{
    return escaped(text).toUtf8();
}

// Line-by-line builder: one element per line, one tab per nesting level.
// Texts arrive escaped and UTF-8 encoded.
class XmlLines
{
public:
    explicit XmlLines(QByteArray &out) : m_out(out) {}

    void raw(const char *line)
    {
        m_out += line;
        m_out += '\n';
    }
    void open(int level, const char *tag, const QByteArray &attributes = QByteArray())
    {
        indent(level);
        m_out += '<';
        m_out += tag;
        if (!attributes.isEmpty()) {
            m_out += ' ';
            m_out += attributes;
        }
        m_out += ">\n";
    }
    void close(int level, const char *tag)
    {
        indent(level);
        m_out += "</";
        m_out += tag;
        m_out += ">\n";
    }
    template<typename Text>
    void text(int level, const char *tag, const Text &escapedText)
    {
        indent(level);
        m_out += '<';
        m_out += tag;
        m_out += '>';
        m_out += escapedText;
        m_out += "</";
        m_out += tag;
        m_out += ">\n";
    }
    void number(int level, const char *tag, int64_t value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        text(level, tag, QByteArrayView(digits, end - digits));
    }
    void selfClosing(int level, const char *tag, const QByteArray &attributes)
    {
        indent(level);
        m_out += '<';
        m_out += tag;
        m_out += ' ';
        m_out += attributes;
        m_out += "/>\n";
    }

private:
    void indent(int level) { m_out.append(level, '\t'); }

    QByteArray &m_out;
};

QByteArray attr(const char *name, const QString &value)
{
    return QByteArray(name) + "=\"" + value.toUtf8() + '"';
}

QString displayFileName(const TimelineVideoSource &source)
{
    const QString name = QFileInfo(source.filePath).fileName();
    return name.isEmpty() ? source.clipName + QStringLiteral(".mp4") : name;
}

QString fallbackClipName(int channelId)
{
    return QStringLiteral("Camera_CH%1").arg(channelId);
}

// The cameras in track order. A take without video files still gets one entry
// per camera its cut list names, pointing where that camera's file would be.
QList<TimelineVideoSource> videoTrackList(const TimelineDescription &d)
{
    QList<TimelineVideoSource> list = d.videoSources;
    if (list.isEmpty()) {
        QSet<int> seen;
        for (const CutEntry &cut : d.cuts) {
            if (seen.contains(cut.sourceId))
                continue;
            seen.insert(cut.sourceId);
            const QString clipName = fallbackClipName(cut.sourceId);
            list.append({cut.sourceId, clipName, d.takeFolder + QLatin1Char('/') + clipName + QStringLiteral(".mp4")});
        }
    }
    if (list.isEmpty()) {
        const QString clipName = fallbackClipName(1);
        list.append({1, clipName, d.takeFolder + QLatin1Char('/') + clipName + QStringLiteral(".mp4")});
    }
    std::stable_sort(list.begin(), list.end(), [](const TimelineVideoSource &a, const TimelineVideoSource &b) {
        return a.channelId < b.channelId;
    });
    return list;
}

// A camera's texts, escaped and encoded once per document rather than once
// per clip: a long take has thousands of cut clips.
struct VideoTrackEntry
{
    int channelId = 1;
    QString clipName;
    QByteArray masterClipId;
    QByteArray fileIdAttribute;
    QByteArray displayName;
    QString filePath;
};

class DocumentWriter
{
public:
    DocumentWriter(const TimelineDescription &d, QByteArray &out)
        : m_d(d)
        , m_x(out)
        , m_rate(TimelineRate::fromFrameRate(d.frameRate))
        , m_duration(m_rate.sequenceDuration(d.durationMs))
        , m_durationText(QByteArray::number(static_cast<qint64>(m_duration)))
        , m_timebaseText(QByteArray::number(m_rate.timebase))
        , m_ntscText(m_rate.ntscText().toLatin1())
    {
        for (const TimelineVideoSource &source : videoTrackList(d)) {
            const QString ident = identifier(source.clipName);
            m_videoList.append({source.channelId, source.clipName, "masterclip-" + ident.toUtf8(),
                                attr("id", QStringLiteral("file-") + ident), escapedUtf8(displayFileName(source)),
                                source.filePath});
        }
        for (int i = 0; i < d.audioSources.size(); ++i) {
            const auto link = d.audioCameraLinks.constFind(d.audioSources[i].channelId);
            if (link != d.audioCameraLinks.constEnd())
                m_audioOfCamera.insert(link.value(), i); // the last one bound to a camera wins
        }
    }

    void write()
    {
        m_x.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        m_x.raw("<!DOCTYPE xmeml>");
        m_x.open(0, "xmeml", "version=\"4\"");
        m_x.open(1, "project");
        m_x.text(2, "name", escapedUtf8(m_d.projectName));
        m_x.open(2, "children");
        m_x.open(3, "sequence",
                 "id=\"sequence-1\" TL.SQAudioVisibleBase=\"0\" TL.SQVideoVisibleBase=\"0\" "
                 "TL.SQVisibleBaseTime=\"0\" TL.SQAVDividerPosition=\"0.5\" TL.SQHideShyTracks=\"0\" "
                 "TL.SQHeaderWidth=\"204\" MZ.Sequence.VideoTimeDisplayFormat=\"101\" explodedTracks=\"true\"");
        m_x.text(4, "uuid", "1b0182ac-ed5c-4726-827d-374d3563326b");
        m_x.text(4, "duration", m_durationText);
        rate(4);
        m_x.text(4, "name", escapedUtf8(m_d.sequenceName));
        m_x.open(4, "media");
        video();
        audio();
        m_x.close(4, "media");
        m_x.open(4, "timecode");
        rate(5);
        m_x.text(5, "string", escapedUtf8(m_d.startTimecode));
        m_x.text(5, "frame", "0");
        m_x.text(5, "displayformat", m_rate.displayFormat().toLatin1());
        m_x.close(4, "timecode");
        m_x.close(3, "sequence");
        m_x.close(2, "children");
        m_x.close(1, "project");
        m_x.close(0, "xmeml");
    }

private:
    void rate(int level)
    {
        m_x.open(level, "rate");
        m_x.text(level + 1, "timebase", m_timebaseText);
        m_x.text(level + 1, "ntsc", m_ntscText);
        m_x.close(level, "rate");
    }

    // The picture's rate, size and pixel shape, shared by the sequence
    // format and every file's media description.
    void videoFrameFields(int level)
    {
        rate(level);
        m_x.number(level, "width", m_d.width);
        m_x.number(level, "height", m_d.height);
        m_x.text(level, "anamorphic", "FALSE");
        m_x.text(level, "pixelaspectratio", "square");
        m_x.text(level, "fielddominance", "none");
    }

    void video()
    {
        m_x.open(5, "video");
        m_x.open(6, "format");
        m_x.open(7, "samplecharacteristics");
        videoFrameFields(8);
        m_x.text(8, "colordepth", "24");
        m_x.close(7, "samplecharacteristics");
        m_x.close(6, "format");
        for (int k = 1; k <= m_videoList.size(); ++k)
            videoTrack(k, m_videoList[k - 1]);
        m_x.close(5, "video");
    }

    void videoTrack(int k, const VideoTrackEntry &entry)
    {
        m_x.open(6, "track",
                 QByteArray("TL.SQTrackShy=\"0\" TL.SQTrackExpandedHeight=\"41\" TL.SQTrackExpanded=\"0\" "
                            "MZ.TrackTargeted=\"") + (k == 1 ? "1" : "0") + '"');
        if (k == 1) {
            const auto audio = m_audioOfCamera.constFind(entry.channelId);
            const int linkedAudio = audio == m_audioOfCamera.constEnd() ? -1 : audio.value();
            videoClip("clipitem-v1-base", entry, entry.displayName, 0, m_duration, linkedAudio);
        } else {
            const QByteArray idPrefix = "clipitem-v" + QByteArray::number(k) + '-';
            int j = 0;
            for (int p = 0; p < m_d.cuts.size(); ++p) {
                if (m_d.cuts[p].sourceId != entry.channelId)
                    continue;
                const int64_t start = m_rate.frameOf(m_d.cuts[p].offsetMs);
                const int64_t endMs = p + 1 < m_d.cuts.size() ? m_d.cuts[p + 1].offsetMs : m_d.durationMs;
                const int64_t end = m_rate.frameOf(endMs);
                if (end <= start)
                    continue; // shorter than a frame: no clip, no number used
                videoClip(idPrefix + QByteArray::number(j), entry,
                          "Cut " + QByteArray::number(p + 1) + " - " + entry.displayName, start, end, -1);
                ++j;
            }
        }
        m_x.text(7, "enabled", "TRUE");
        m_x.text(7, "locked", "FALSE");
        m_x.close(6, "track");
    }

    // linkedAudio: position in audioSources of the audio bound to this camera,
    // or -1 for none (cut clips never carry links).
    void videoClip(const QByteArray &id, const VideoTrackEntry &entry, const QByteArray &name,
                   int64_t start, int64_t end, int linkedAudio)
    {
        m_x.open(7, "clipitem", "id=\"" + id + '"');
        m_x.text(8, "masterclipid", entry.masterClipId);
        m_x.text(8, "name", name);
        m_x.text(8, "enabled", "TRUE");
        m_x.text(8, "duration", m_durationText);
        rate(8);
        m_x.number(8, "start", start);
        m_x.number(8, "end", end);
        m_x.number(8, "in", start);
        m_x.number(8, "out", end);
        m_x.text(8, "alphatype", "none");
        m_x.text(8, "pixelaspectratio", "square");
        m_x.text(8, "anamorphic", "FALSE");
        videoFile(entry);
        m_x.open(8, "logginginfo");
        m_x.text(9, "description", "");
        m_x.text(9, "scene", "");
        m_x.text(9, "shottake", "");
        m_x.text(9, "lognote", "");
        m_x.close(8, "logginginfo");
        if (linkedAudio >= 0) {
            baseVideoLink();
            audioLink(linkedAudio);
        }
        m_x.close(7, "clipitem");
    }

    // The full file element the first time a clip name appears, a reference after.
    void videoFile(const VideoTrackEntry &entry)
    {
        if (m_writtenFiles.contains(entry.clipName)) {
            m_x.selfClosing(8, "file", entry.fileIdAttribute);
            return;
        }
        m_writtenFiles.insert(entry.clipName);
        m_x.open(8, "file", entry.fileIdAttribute);
        m_x.text(9, "name", entry.displayName);
        m_x.text(9, "pathurl", escapedUtf8(TimelineXml::pathUrl(entry.filePath)));
        rate(9);
        m_x.text(9, "duration", m_durationText);
        m_x.open(9, "timecode");
        rate(10);
        m_x.text(10, "string", "00:00:00:00");
        m_x.text(10, "frame", "0");
        m_x.text(10, "displayformat", "NDF");
        m_x.close(9, "timecode");
        m_x.open(9, "media");
        m_x.open(10, "video");
        m_x.open(11, "samplecharacteristics");
        videoFrameFields(12);
        m_x.close(11, "samplecharacteristics");
        m_x.close(10, "video");
        m_x.close(9, "media");
        m_x.close(8, "file");
    }

    void link(const QByteArray &clipRef, const char *mediaType, int trackIndex)
    {
        m_x.open(8, "link");
        m_x.text(9, "linkclipref", clipRef);
        m_x.text(9, "mediatype", mediaType);
        m_x.number(9, "trackindex", trackIndex);
        m_x.text(9, "clipindex", "1");
        m_x.close(8, "link");
    }
    void baseVideoLink() { link("clipitem-v1-base", "video", 1); }
    void audioLink(int position) { link("channel-audio-" + QByteArray::number(position + 1), "audio", position + 2); }

    void audio()
    {
        m_x.open(5, "audio");
        m_x.text(6, "numOutputChannels", "2");
        m_x.open(6, "format");
        m_x.open(7, "samplecharacteristics");
        m_x.text(8, "depth", "16");
        m_x.text(8, "samplerate", "48000");
        m_x.close(7, "samplecharacteristics");
        m_x.close(6, "format");
        m_x.open(6, "outputs");
        for (const char *index : {"1", "2"}) {
            m_x.open(7, "group");
            m_x.text(8, "index", index);
            m_x.text(8, "numchannels", "1");
            m_x.text(8, "downmix", "0");
            m_x.open(8, "channel");
            m_x.text(9, "index", index);
            m_x.close(8, "channel");
            m_x.close(7, "group");
        }
        m_x.close(6, "outputs");

        QString masterName = QFileInfo(m_d.masterAudioPath).fileName();
        if (masterName.isEmpty())
            masterName = QStringLiteral("MASTER_AUDIO.wav");
        audioTrack("master-audio-1", "file-master-audio", masterName, m_d.masterAudioPath, -1);

        const int firstCamera = m_videoList.first().channelId;
        for (int i = 0; i < m_d.audioSources.size(); ++i) {
            const TimelineAudioSource &source = m_d.audioSources[i];
            QString name = QFileInfo(source.filePath).fileName();
            if (name.isEmpty())
                name = QStringLiteral("CH%1_AUDIO.wav").arg(source.channelId);
            // Only audio of the camera on track 1 is linked; the base clip is
            // the only video clip that spans the whole take.
            const auto binding = m_d.audioCameraLinks.constFind(source.channelId);
            const bool onTrackOneCamera = binding != m_d.audioCameraLinks.constEnd() && binding.value() == firstCamera;
            const QByteArray number = QByteArray::number(i + 1);
            audioTrack("channel-audio-" + number, "file-channel-audio-" + number, name, source.filePath,
                       onTrackOneCamera ? i : -1);
        }
        m_x.close(5, "audio");
    }

    void audioTrack(const QByteArray &clipId, const QByteArray &fileId, const QString &name, const QString &path,
                    int linkPosition)
    {
        m_x.open(6, "track",
                 "TL.SQTrackAudioKeyframeStyle=\"0\" TL.SQTrackShy=\"0\" TL.SQTrackExpandedHeight=\"41\" "
                 "TL.SQTrackExpanded=\"0\" MZ.TrackTargeted=\"1\" premiereTrackType=\"Stereo\"");
        m_x.open(7, "clipitem", "id=\"" + clipId + '"');
        const QByteArray escapedName = escapedUtf8(name);
        m_x.text(8, "name", escapedName);
        rate(8);
        m_x.open(8, "file", "id=\"" + fileId + '"');
        m_x.text(9, "name", escapedName);
        m_x.text(9, "pathurl", escapedUtf8(TimelineXml::pathUrl(path)));
        rate(9);
        m_x.text(9, "duration", m_durationText);
        m_x.close(8, "file");
        m_x.text(8, "in", "0");
        m_x.text(8, "out", m_durationText);
        m_x.text(8, "start", "0");
        m_x.text(8, "end", m_durationText);
        if (linkPosition >= 0) {
            baseVideoLink();
            audioLink(linkPosition);
        }
        m_x.close(7, "clipitem");
        m_x.text(7, "enabled", "TRUE");
        m_x.text(7, "locked", "FALSE");
        m_x.text(7, "outputchannelindex", "1");
        m_x.close(6, "track");
    }

    const TimelineDescription &m_d;
    XmlLines m_x;
    const TimelineRate m_rate;
    const int64_t m_duration;
    const QByteArray m_durationText;
    const QByteArray m_timebaseText;
    const QByteArray m_ntscText;
    QList<VideoTrackEntry> m_videoList;
    QHash<int, int> m_audioOfCamera; // camera channel id -> position in audioSources
    QSet<QString> m_writtenFiles;    // clip names whose full file element is written
};

} // namespace

QByteArray renderTimelineXml(const TimelineDescription &description)
{
    QByteArray out;
    out.reserve(64 * 1024 + description.cuts.size() * 1200);
    DocumentWriter(description, out).write();
    return out;
}

bool writeTimelineXml(const QString &filePath, const TimelineDescription &description)
{
    return writeTimelineDocument(filePath, renderTimelineXml(description));
}

bool writeTimelineDocument(const QString &filePath, const QByteArray &document)
{
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    const bool written = file.write(document) == document.size();
    const bool flushed = file.flush();
    file.close();
    return written && flushed && file.error() == QFileDevice::NoError;
}
