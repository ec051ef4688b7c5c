#include "CameraTestBackend.h"

#include "capture/CameraCapture.h"
#include "capture/VideoStreamItem.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>

CameraTestBackend &CameraTestBackend::instance()
{
    static CameraTestBackend *backend = new CameraTestBackend;
    return *backend;
}

CameraTestBackend::CameraTestBackend()
{
    connect(&m_cameras, &CameraAssignments::channelVideoChanged, &m_model, &InputChannelsModel::setHasActiveVideo);
    QVariantList cameras;
    QVariantMap formats;
    for (const VideoDeviceInfo &d : CameraCapture::enumerateVideoDevices()) {
        const QString link = QString::fromStdWString(d.link);
        cameras.append(QVariantMap{{"name", QString::fromStdWString(d.name)}, {"link", link}});
        QVariantList list;
        for (const VideoFormatInfo &f : CameraCapture::enumerateVideoFormats(d.link))
            list.append(QVariantMap{{"width", f.width}, {"height", f.height},
                                    {"fps", double(float(f.fpsNumerator) / float(f.fpsDenominator))},
                                    {"formatName", QString::fromStdString(f.formatName)}});
        formats.insert(link, list);
    }
    m_cameras.setScanResults(cameras, formats);
}

void CameraTestBackend::prepareApplication()
{
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
    CameraTestBackend &backend = instance();
    qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &backend);
    qmlRegisterType<VideoStreamItem>("Korvex", 1, 0, "VideoStreamItem");
    VideoStreamItem::setSourceProvider(
        [](int id) -> std::shared_ptr<ISource> { return instance().cameras().cameraSourceForChannel(id); });
}

void CameraTestBackend::exposeTo(QQmlEngine &engine)
{
    engine.rootContext()->setContextProperty(QStringLiteral("ChannelsModel"), &instance().model());
    engine.addImportPath(QStringLiteral("qrc:/"));
}

void CameraTestBackend::setActiveSourceId(int id)
{
    if (id < 1 || id > 4 || id == m_activeSourceId)
        return;
    m_activeSourceId = id;
    emit activeSourceChanged();
}

QString CameraTestBackend::getSourceKeyName(int index) const
{
    const int key = m_keys.value(index, 0);
    return key ? QKeySequence(key).toString() : QString();
}

void CameraTestBackend::reset()
{
    for (int id = 1; id <= 4; ++id) {
        m_cameras.removeCameraFromChannel(id);
        m_model.setIsoEnabled(id, false);
        m_model.setStorageEnabled(id, false);
        m_model.setChannelName(id, QStringLiteral("Source %1").arg(id));
    }
    m_activeSourceId = 1;
    emit activeSourceChanged();
    m_keys.clear();
    setCameraCalls = 0;
}

int CameraTestBackend::frameWidthOnChannel(int id) const
{
    const auto source = m_cameras.cameraSourceForChannel(id);
    return source && source->isRunning() ? source->width() : 0;
}

void CameraTestBackend::makeStale(int channelId, const QString &link)
{
    m_cameras.setCameraForChannel(channelId, link, 640, 480, 30.0f, QStringLiteral("Default"));
    m_cameras.setCameraForChannel(channelId, QString(), 1920, 1080, 30.0f, QStringLiteral("Default"));
}
