#include "app/MessageLog.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace MessageLog {

QString logFilePath()
{
    if (QCoreApplication::instance()) {
        const QString folder = QCoreApplication::applicationDirPath();
        if (!folder.isEmpty())
            return folder + QStringLiteral("/qt_log.txt");
    }
    return QStringLiteral("qt_log.txt");
}

bool appendLine(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    file.write(text.toUtf8());
    file.write("\n");
    file.flush();
    file.close();
    return true;
}

void writeToStandardError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void handleMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    appendLine(logFilePath(), text);
    writeToStandardError(text);
}

void install()
{
    qInstallMessageHandler(&handleMessage);
}

} // namespace MessageLog
