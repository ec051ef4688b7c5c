#include "WarningGuard.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex g_mutex;
QStringList g_warnings;
QtMessageHandler g_previous = nullptr;
}

WarningGuard::WarningGuard()
{
    QMutexLocker lock(&g_mutex);
    g_warnings.clear();
    g_previous = qInstallMessageHandler(&WarningGuard::handler);
}

WarningGuard::~WarningGuard()
{
    qInstallMessageHandler(g_previous);
}

QStringList WarningGuard::warnings() const
{
    QMutexLocker lock(&g_mutex);
    return g_warnings;
}

void WarningGuard::clear()
{
    QMutexLocker lock(&g_mutex);
    g_warnings.clear();
}

void WarningGuard::handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        QMutexLocker lock(&g_mutex);
        g_warnings.append(text);
    }
    if (g_previous)
        g_previous(type, context, text);
}
