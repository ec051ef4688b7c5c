// Qt Quick Test of the settings window with the real application manager and
// update manager, registered as the program registers them.

#include "UiBackend.h"
#include "WarningGuard.h"

#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

class SettingsTestProbe : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QStringList warnings() const { return guard.warnings(); }
    Q_INVOKABLE void clear() { guard.clear(); }
    WarningGuard guard;
};

class SettingsTestSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable() { UiBackend::prepareApplication(); }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        UiBackend::exposeTo(*engine);
        engine->rootContext()->setContextProperty(QStringLiteral("settingsProbe"), &probe);
    }

private:
    SettingsTestProbe probe;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_settings_dialog, SettingsTestSetup)
#include "tst_settings_dialog.moc"
