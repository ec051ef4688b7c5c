#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QUrl>

#include <SDL.h>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.load(QUrl(QStringLiteral("qrc:/Korvex/ui/qml/SplashWindow.qml")));
    const int code = app.exec();
    SDL_Quit();
    return code;
}
