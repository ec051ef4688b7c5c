// What stopping a one-hour 16 Mbit/s camera file costs, both ways: writing
// the fragment index (mfra) that leaves the file fragmented, and turning the
// fragmented file into a regular MP4 in place. The file is fabricated with
// the box layout LibavEncoder writes (the real movie box of a short 1080p
// take, then one moof/mdat fragment per two-second GOP of 60 frames) and
// sparse media payloads, so no 7 GB are written. Also times how long ffprobe
// takes to open the file each way. One JSON object per line on stdout.

#include "encoding/libav/LibavEncoder.h"
#include "encoding/mp4/Mp4Box.h"
#include "encoding/mp4/Mp4Finalizer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFps = 30;
constexpr int kGopFrames = 60;
constexpr int kSeconds = 3600;
constexpr int64_t kBitrate = 16'000'000;
constexpr uint32_t kTimescale = 15360; // what the muxer picks for 30 fps
constexpr uint32_t kFrameDuration = kTimescale / kFps;

using Mp4::fourcc;

// The ftyp and sample-less moov of a real two-frame fragmented 1080p file.
QByteArray realHeader(const QString &dir)
{
    const QString path = dir + QStringLiteral("/header.mp4");
    EncoderSettings s;
    s.outputPath = path.toStdWString();
    LibavEncoder encoder;
    encoder.setFinalizeAtStop(false);
    if (!encoder.open(s))
        return {};
    for (int i = 0; i < 2; ++i)
        encoder.pushFrame(VideoFrame::fromPixels(std::vector<uint8_t>(size_t(1920) * 1080 * 4, 128), 1920, 1080, i));
    encoder.stop();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    qsizetype end = 0;
    while (end + 8 <= all.size()) {
        const qsizetype size = qsizetype(Mp4::be32(reinterpret_cast<const uint8_t *>(all.constData() + end)));
        if (all.mid(end + 4, 4) == "moof" || size < 8)
            break;
        end += size;
    }
    return all.left(end);
}

// One GOP as LibavEncoder's muxer writes it: tfhd with defaults, tfdt, and a
// trun with sizes and composition offsets (an I frame, then P and B frames).
std::vector<uint8_t> fragmentHeader(int sequence, uint64_t decodeTime, const std::vector<uint32_t> &sizes)
{
    Mp4::BoxWriter w;
    w.open(fourcc("moof"));
    w.openFull(fourcc("mfhd"), 0, 0);
    w.u32(uint32_t(sequence));
    w.close();
    w.open(fourcc("traf"));
    w.openFull(fourcc("tfhd"), 0, 0x020038);
    w.u32(1);
    w.u32(kFrameDuration);
    w.u32(sizes[1]);
    w.u32(0x01010000);
    w.close();
    w.openFull(fourcc("tfdt"), 1, 0);
    w.u64(decodeTime);
    w.close();
    w.openFull(fourcc("trun"), 0, 0xa05);
    w.u32(uint32_t(sizes.size()));
    const size_t dataOffsetAt = w.data().size();
    w.u32(0);
    w.u32(0x02000000);
    for (size_t i = 0; i < sizes.size(); ++i) {
        w.u32(sizes[i]);
        w.u32(i % 3 == 0 ? 2 * kFrameDuration : (i % 3 == 1 ? 0 : kFrameDuration));
    }
    w.close();
    w.close();
    w.close();
    std::vector<uint8_t> bytes = w.take();
    const uint32_t dataOffset = uint32_t(bytes.size() + 8); // the mdat header follows
    for (int i = 0; i < 4; ++i)
        bytes[dataOffsetAt + size_t(i)] = uint8_t(dataOffset >> (24 - 8 * i));
    return bytes;
}

std::vector<uint8_t> fragmentIndex(const std::vector<std::pair<uint64_t, uint64_t>> &entries)
{
    Mp4::BoxWriter w;
    w.open(fourcc("mfra"));
    w.openFull(fourcc("tfra"), 1, 0);
    w.u32(1);
    w.u32(0);
    w.u32(uint32_t(entries.size()));
    for (const auto &[time, offset] : entries) {
        w.u64(time);
        w.u64(offset);
        w.u8(1);
        w.u8(1);
        w.u8(1);
    }
    w.close();
    w.openFull(fourcc("mfro"), 0, 0);
    w.u32(uint32_t(w.data().size() + 4));
    w.close();
    w.close();
    return w.take();
}

bool writeAt(int fd, uint64_t offset, const void *data, size_t size)
{
    return ::pwrite(fd, data, size, off_t(offset)) == ssize_t(size);
}

struct Layout
{
    uint64_t end = 0;
    std::vector<std::pair<uint64_t, uint64_t>> index;
};

// Writes ftyp+moov and every fragment header; the media payloads stay holes.
Layout writeFragments(int fd, const QByteArray &header)
{
    Layout l;
    writeAt(fd, 0, header.constData(), size_t(header.size()));
    l.end = uint64_t(header.size());
    const uint32_t gopBytes = uint32_t(kBitrate / 8 * kGopFrames / kFps);
    for (int gop = 0; gop < kSeconds * kFps / kGopFrames; ++gop) {
        std::vector<uint32_t> sizes(kGopFrames, gopBytes / (kGopFrames + 9));
        sizes[0] = gopBytes - sizes[1] * (kGopFrames - 1);
        const uint64_t decodeTime = uint64_t(gop) * kGopFrames * kFrameDuration;
        l.index.emplace_back(decodeTime, l.end);
        const std::vector<uint8_t> moof = fragmentHeader(gop + 1, decodeTime, sizes);
        writeAt(fd, l.end, moof.data(), moof.size());
        l.end += moof.size();
        uint64_t payload = 0;
        for (uint32_t s : sizes)
            payload += s;
        Mp4::BoxWriter mdat;
        mdat.u32(uint32_t(payload + 8));
        mdat.u32(fourcc("mdat"));
        writeAt(fd, l.end, mdat.data().data(), 8);
        l.end += 8 + payload;
    }
    return l;
}

double openSeconds(const QString &path)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path});
    p.waitForFinished(600000);
    return double(t.nsecsElapsed()) / 1e9;
}

void print(const QJsonObject &o)
{
    std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray header = realHeader(dir.path());
    if (header.isEmpty()) {
        std::fprintf(stderr, "cannot record the header file\n");
        return 1;
    }
    const QString path = dir.path() + QStringLiteral("/hour.mp4");
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    const Layout layout = writeFragments(fd, header);

    // Fragmented file: stop writes the index and syncs.
    QElapsedTimer t;
    t.start();
    const std::vector<uint8_t> mfra = fragmentIndex(layout.index);
    writeAt(fd, layout.end, mfra.data(), mfra.size());
    ::fdatasync(fd);
    const double indexMs = double(t.nsecsElapsed()) / 1e6;
    ::close(fd);
    const double fragmentedOpen = openSeconds(path);
    print({{"bench", "mp4_stop"}, {"way", "fragmented+mfra"}, {"duration_s", kSeconds},
           {"bitrate_mbps", int(kBitrate / 1000000)}, {"fragments", int(layout.index.size())},
           {"file_bytes", qint64(layout.end + mfra.size())}, {"stop_ms", indexMs},
           {"ffprobe_open_s", fragmentedOpen}});

    t.restart();
    const Mp4::FinalizeResult r = Mp4::finalizeFragmentedFile(native.toStdString());
    const double finalizeMs = double(t.nsecsElapsed()) / 1e6;
    if (!r.ok) {
        std::fprintf(stderr, "finalize failed: %s\n", r.error.c_str());
        return 1;
    }
    const double regularOpen = openSeconds(path);
    print({{"bench", "mp4_stop"}, {"way", "hybrid finalize"}, {"duration_s", kSeconds},
           {"bitrate_mbps", int(kBitrate / 1000000)}, {"fragments", r.fragments}, {"samples", qint64(r.samples)},
           {"file_bytes", qint64(QFile(path).size())}, {"stop_ms", indexMs + finalizeMs},
           {"finalize_ms", finalizeMs}, {"ffprobe_open_s", regularOpen}});
    return 0;
}
