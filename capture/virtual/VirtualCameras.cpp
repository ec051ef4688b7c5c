#include "capture/virtual/VirtualCameras.h"

#include "capture/FormatList.h"

#include <QString>
#include <cstdlib>

namespace VirtualCameras {

int count()
{
    const char *value = std::getenv("KORVEX_TEST_CAMERAS");
    if (!value)
        return 0;
    bool ok = false;
    const int n = QString::fromLatin1(value).trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 4 ? n : 0;
}

std::vector<VideoDeviceInfo> devices()
{
    std::vector<VideoDeviceInfo> list;
    for (int i = 1; i <= count(); ++i)
        list.push_back({QStringLiteral("Korvex Test Camera %1").arg(i).toStdWString(),
                        QStringLiteral("%1%2").arg(QLatin1String(kLinkPrefix)).arg(i).toStdWString()});
    return list;
}

bool isVirtualLink(const std::string &link)
{
    return link.rfind(kLinkPrefix, 0) == 0;
}

int cameraNumber(const std::string &link)
{
    if (!isVirtualLink(link))
        return 0;
    const std::string rest = link.substr(std::string(kLinkPrefix).size());
    if (rest.size() != 1 || rest[0] < '1' || rest[0] > '4')
        return 0;
    const int n = rest[0] - '0';
    return n <= count() ? n : 0;
}

std::vector<VideoFormatInfo> formats(const std::string &link)
{
    if (cameraNumber(link) == 0)
        return {};
    struct Mode { int w, h, fps; };
    const Mode modes[] = {{1920, 1080, 30}, {1920, 1080, 60}, {1280, 720, 30}, {1280, 720, 60},
                          {640, 480, 30},   {640, 480, 60},   {3840, 2160, 30}};
    std::vector<VideoFormatInfo> raw;
    for (const Mode &m : modes) {
        VideoFormatInfo f;
        f.capabilityIndex = int(raw.size());
        f.width = m.w;
        f.height = m.h;
        f.fpsNumerator = m.fps;
        f.fpsDenominator = 1;
        f.formatName = "RGB24";
        raw.push_back(f);
    }
    return FormatList::normalized(std::move(raw));
}

} // namespace VirtualCameras
