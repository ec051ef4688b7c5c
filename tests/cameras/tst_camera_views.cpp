// Qt Quick Test of the monitoring grid, the preview panel and the source
// dialog, over the virtual test cameras and the real channel model.

#include "CameraTestBackend.h"

#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

class CameraViewsSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable() { CameraTestBackend::prepareApplication(); }
    void qmlEngineAvailable(QQmlEngine *engine) { CameraTestBackend::exposeTo(*engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_camera_views, CameraViewsSetup)
#include "tst_camera_views.moc"
