// Qt Quick Test of the main window with four virtual test cameras, over the
// program's own backend (application manager, channel model, registrations)
// and its start-up camera scan.

#include "app/ApplicationManager.h"
#include "export/CutEntry.h"
#include "tests/ui/UiBackend.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QVariantMap>
#include <QtQuickTest>

// What a test reads of the files a take left on disk, beyond what QML sees.
class TakeFiles : public QObject
{
    Q_OBJECT

public:
    // Points the recordings folder at a fresh temporary folder.
    Q_INVOKABLE QString useTemporaryRecordingFolder()
    {
        ApplicationManager::instance().setRecordingPath(m_root.path());
        return m_root.path();
    }

    // The last take: its folder, frames written per file, the cut list's
    // sources, every file's size, and per camera file the frames ffprobe
    // decodes and whether the DaVinci timeline names it.
    Q_INVOKABLE QVariantMap lastTake() const
    {
        RecordingSession &take = ApplicationManager::instance().take();
        QVariantMap result;
        const QString folder = take.takeFolder();
        result["folder"] = folder;
        result["framesWritten"] = qlonglong(take.framesWritten());
        QVariantList cuts;
        for (const CutEntry &cut : ApplicationManager::instance().cutList())
            cuts.append(cut.sourceId);
        result["cutSources"] = cuts;
        QVariantMap sizes, frames;
        QString timeline;
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
            sizes[file.fileName()] = file.size();
            if (file.suffix() == QLatin1String("mp4"))
                frames[file.fileName()] = decodedFrames(file.filePath());
            if (file.fileName().endsWith(QLatin1String("_DaVinci.xml"))) {
                QFile xml(file.filePath());
                if (xml.open(QIODevice::ReadOnly))
                    timeline = QString::fromUtf8(xml.readAll());
            }
        }
        result["sizes"] = sizes;
        result["frames"] = frames;
        result["davinci"] = timeline;
        return result;
    }

private:
    static int decodedFrames(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("ffprobe"), {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                            "stream=nb_read_frames", "-of", "csv=p=0", path});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed().section(QLatin1Char('\n'), 0, 0).toInt();
    }

    QTemporaryDir m_root;
};

class MainWindowCamerasSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        UiBackend::prepareApplication();
        ApplicationManager::instance().runInitialization();
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        UiBackend::exposeTo(*engine);
        engine->rootContext()->setContextProperty(QStringLiteral("TakeFiles"), &m_takeFiles);
    }

private:
    TakeFiles m_takeFiles;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_cameras_in_main_window, MainWindowCamerasSetup)
#include "tst_cameras_in_main_window.moc"
