#pragma once

#include <QString>
#include <QStringList>

// Collects every warning and critical message Qt emits while it is alive, so a
// test can fail on QML warnings at load time ("a warning is a bug").
// GUI thread and other threads alike: messages are appended under a mutex.
class WarningGuard
{
public:
    WarningGuard();
    ~WarningGuard();
    WarningGuard(const WarningGuard &) = delete;
    WarningGuard &operator=(const WarningGuard &) = delete;

    QStringList warnings() const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);
};
