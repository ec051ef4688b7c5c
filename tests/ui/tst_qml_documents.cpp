// Loads every QML document compiled into the module, with the backend
// registered as the program registers it, and fails on any warning or error.
// Documents added to the module later are picked up by the resource walk.

#include "UiBackend.h"
#include "WarningGuard.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <memory>

namespace {

const QString moduleRoot = QStringLiteral(":/Korvex/ui/qml");

// Type names the module's qmldir declares as singletons, by document path.
QHash<QString, QString> singletonsByPath()
{
    QHash<QString, QString> result;
    QFile qmldir(QStringLiteral(":/Korvex/qmldir"));
    if (!qmldir.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    const QRegularExpression line(QStringLiteral("^singleton\\s+(\\w+)\\s+\\S+\\s+(\\S+)$"));
    while (!qmldir.atEnd()) {
        const auto match = line.match(QString::fromUtf8(qmldir.readLine()).trimmed());
        if (match.hasMatch())
            result.insert(match.captured(2), match.captured(1));
    }
    return result;
}

} // namespace

class QmlDocumentsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void moduleHasTheShellDocuments();
    void documentLoadsCleanly_data();
    void documentLoadsCleanly();

private:
    QStringList m_documents;
};

void QmlDocumentsTest::initTestCase()
{
    UiBackend::prepareApplication();
    QDirIterator it(moduleRoot, { QStringLiteral("*.qml") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        m_documents.append(it.next().mid(moduleRoot.size() + 1));
    m_documents.sort();
}

void QmlDocumentsTest::moduleHasTheShellDocuments()
{
    // the walk itself must see the module, or the table below is empty
    const QStringList expected = {
        QStringLiteral("Main.qml"), QStringLiteral("SplashWindow.qml"),
        QStringLiteral("Theme/Colors.qml"), QStringLiteral("Theme/Typography.qml"),
        QStringLiteral("Controls/DarkButton.qml"), QStringLiteral("Controls/DarkComboBox.qml"),
        QStringLiteral("Components/TopHeaderBar.qml"), QStringLiteral("Components/BottomStatusBar.qml"),
        QStringLiteral("Components/TransportControls.qml"),
    };
    for (const QString &doc : expected)
        QVERIFY2(m_documents.contains(doc), qPrintable(doc));
    QVERIFY(singletonsByPath().contains(QStringLiteral("ui/qml/Theme/Colors.qml")));
}

void QmlDocumentsTest::documentLoadsCleanly_data()
{
    QTest::addColumn<QString>("document");
    for (const QString &doc : std::as_const(m_documents))
        QTest::newRow(qPrintable(doc)) << doc;
}

void QmlDocumentsTest::documentLoadsCleanly()
{
    QFETCH(QString, document);
    const QHash<QString, QString> singletons = singletonsByPath();
    const QString modulePath = QStringLiteral("ui/qml/") + document;

    WarningGuard guard;
    QQmlEngine engine;
    UiBackend::exposeTo(engine);

    QQmlComponent component(&engine);
    if (singletons.contains(modulePath)) {
        // a singleton is reached through the module, as every document reaches it
        const QByteArray source = "import QtQml\nimport Korvex 1.0\nQtObject { property var instance: "
                + singletons.value(modulePath).toUtf8() + " }\n";
        component.setData(source, QUrl(QStringLiteral("qrc:/tests/SingletonProbe.qml")));
    } else {
        component.loadUrl(QUrl(QStringLiteral("qrc:/Korvex/ui/qml/") + document));
    }
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));

    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    if (singletons.contains(modulePath))
        QVERIFY(!object->property("instance").isNull());

    // let deferred bindings, loaders and the first frame run
    // windows opened on demand start hidden; the others must reach the screen
    if (auto *window = qobject_cast<QQuickWindow *>(object.get()); window && window->isVisible())
        QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::qWait(100);

    object.reset();
    QTest::qWait(10);
    QVERIFY2(guard.warnings().isEmpty(), qPrintable(guard.warnings().join(QLatin1Char('\n'))));
}

QTEST_MAIN(QmlDocumentsTest)
#include "tst_qml_documents.moc"
