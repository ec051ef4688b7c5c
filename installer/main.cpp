#include "installer/InstallerBackend.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QUrl>

int main(int argc, char *argv[])
{
    // Widgets, because browsePath shows the platform's folder chooser.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Korvex"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("korvex.studio"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvex Installer"));

    InstallerBackend backend;
    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("installerBackend"), &backend);
    engine.load(QUrl(QStringLiteral("qrc:/ui/installer_qml/InstallerMain.qml")));
    if (engine.rootObjects().isEmpty())
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(-1); }, Qt::QueuedConnection);
    return app.exec();
}
