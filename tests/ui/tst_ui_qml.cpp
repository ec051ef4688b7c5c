// Qt Quick Test of the interface's own logic, with the backend registered as
// the program registers it.

#include "UiBackend.h"

#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

class UiTestSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable() { UiBackend::prepareApplication(); }
    void qmlEngineAvailable(QQmlEngine *engine) { UiBackend::exposeTo(*engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_ui_qml, UiTestSetup)
#include "tst_ui_qml.moc"
