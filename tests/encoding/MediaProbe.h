#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Reads recorded files back with the ffprobe and ffmpeg programs.
namespace MediaProbe {

inline QString run(const QString &program, const QStringList &args, QByteArray *binaryOut = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return QStringLiteral("<timeout>");
    const QByteArray out = p.readAllStandardOutput();
    if (binaryOut)
        *binaryOut = out;
    return QString::fromUtf8(out).trimmed();
}

// The first line of a listing: ffprobe shows the streams of an MPEG-TS
// file twice, once in its program and once on their own.
inline QString firstLine(const QString &text)
{
    return text.section('\n', 0, 0).trimmed();
}

// "codec,width,height,r_frame_rate,nb_read_frames" of the first video stream.
inline QString videoSummary(const QString &file)
{
    return firstLine(run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                           "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of", "csv=p=0", file}));
}

inline int frameCount(const QString &file)
{
    const QString out = firstLine(run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0",
                                                  "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", file}));
    bool ok = false;
    const int n = out.toInt(&ok);
    return ok ? n : -1;
}

// "range,space,primaries,transfer".
inline QString colorTags(const QString &file)
{
    return run("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                           "stream=color_range,color_space,color_primaries,color_transfer", "-of", "csv=p=0", file});
}

// Presentation times (seconds) of the decoded frames.
inline QStringList frameTimes(const QString &file)
{
    return run("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries", "frame=best_effort_timestamp_time",
                           "-of", "default=nw=1:nk=1", file})
        .split('\n', Qt::SkipEmptyParts);
}

// The first decoded frame as packed RGB24, converted by ffmpeg with the
// file's own colour tags.
inline std::vector<uint8_t> firstFrameRgb(const QString &file, int index = 0)
{
    QByteArray out;
    run("ffmpeg", {"-v", "error", "-i", file, "-vf", QString("select=eq(n\\,%1)").arg(index), "-frames:v", "1",
                   "-f", "rawvideo", "-pix_fmt", "rgb24", "-"},
        &out);
    return std::vector<uint8_t>(out.begin(), out.end());
}

} // namespace MediaProbe
