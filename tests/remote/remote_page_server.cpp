// The remote control server with a stand-in recorder, for the browser tests:
// cameras on channels 1 and 2 deliver frames, a take starts and stops at
// once, one device with two formats is listed. Prints "PORT <n>" when it
// listens; quits after two minutes in case its driver disappears.
#include "FakeRemoteBackend.h"
#include "HttpTestClient.h"

#include "remote/RemoteControlServer.h"

#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    FakeRemoteBackend backend;
    backend.runCamera(1, 1920, 1080, QStringLiteral("Front"));
    backend.runCamera(2, 1280, 720, QStringLiteral("Stage left"));
    backend.active = 1;
    backend.fps = 29.97;
    backend.inventory = QByteArrayLiteral(
        R"({"audioDevices":["Default system input"],"videoDevices":[{"formats":[)"
        R"({"formatName":"YUY2","fps":30,"height":1080,"width":1920},)"
        R"({"formatName":"MJPEG","fps":30,"height":1080,"width":1920}],"link":"/dev/video4","name":"Virtual HD"}]})");

    RemoteControlServer server;
    server.setBackend(&backend);
    server.startServer(HttpTestClient::freePortPair());
    if (!server.isRunning())
        return 1;
    std::printf("PORT %d\n", server.port());
    std::fflush(stdout);
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    return app.exec();
}
