// Qt Quick Test of the main window with four virtual test cameras, over the
// program's own backend (application manager, channel model, registrations)
// and its start-up camera scan.

#include "app/ApplicationManager.h"
#include "tests/ui/UiBackend.h"

#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

class MainWindowCamerasSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        UiBackend::prepareApplication();
        ApplicationManager::instance().runInitialization();
    }
    void qmlEngineAvailable(QQmlEngine *engine) { UiBackend::exposeTo(*engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_cameras_in_main_window, MainWindowCamerasSetup)
#include "tst_cameras_in_main_window.moc"
