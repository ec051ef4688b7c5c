#include "export/TakeManifest.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

QByteArray TakeManifest::toJson() const
{
    // QJsonObject keeps its keys sorted, which gives the alphabetical order.
    QJsonObject object;
    object.insert(QStringLiteral("recording_path"), recordingPath);
    object.insert(QStringLiteral("take_name"), takeName);
    object.insert(QStringLiteral("timestamp"), static_cast<qint64>(timestamp));
    object.insert(QStringLiteral("xml_davinci_path"), xmlDavinciPath);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool writeTakeManifest(const QString &folder, const TakeManifest &manifest)
{
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(folder + QLatin1Char('/') + takeManifestFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray json = manifest.toJson();
    if (file.write(json) != json.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
