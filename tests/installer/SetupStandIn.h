#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// A stand-in for the full setup program: a shell script that writes each of
// its arguments on its own line into argsFile and exits with exitCode.
inline QByteArray setupStandInScript(const QString &argsFile, int exitCode)
{
    return "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + argsFile.toUtf8()
        + "'\nexit " + QByteArray::number(exitCode) + "\n";
}

// The arguments the stand-in recorded, or an empty list when it never ran.
inline QStringList recordedArguments(const QString &argsFile)
{
    QFile file(argsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
