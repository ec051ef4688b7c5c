// Qt Quick Test of the help window, the performance monitor and the two
// manuals. AppManager is a stand-in with the manager's surface, so each test
// sets the manual text, the log tail and the take state it needs.
#include "HelpBackendStandIn.h"

#include "WarningGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

class HelpTestProbe : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE QStringList warnings() const { return guard.warnings(); }
    Q_INVOKABLE void clear() { guard.clear(); }
    // a manual as installed beside the program, read from the source tree
    Q_INVOKABLE QString sourceManual(const QString &name) const
    {
        QFile file(qEnvironmentVariable("KORVEX_SOURCE_DIR") + QStringLiteral("/docs/manual/") + name);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll());
    }
    WarningGuard guard;
};

class HelpTestSetup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
        QCoreApplication::setApplicationName(QStringLiteral("Korvex"));
        qmlRegisterSingletonInstance("Korvex", 1, 0, "AppManager", &backend);
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->rootContext()->setContextProperty(QStringLiteral("helpProbe"), &probe);
    }

private:
    HelpBackendStandIn backend;
    HelpTestProbe probe;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_help_windows, HelpTestSetup)
#include "tst_help_windows.moc"
