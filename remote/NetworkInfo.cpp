#include "remote/NetworkInfo.h"

#include <QNetworkInterface>

namespace NetworkInfo {

QList<NetworkInterfaceEntry> systemInterfaces()
{
    QList<NetworkInterfaceEntry> result;
    const auto all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : all) {
        NetworkInterfaceEntry entry;
        const auto flags = iface.flags();
        entry.isUp = flags.testFlag(QNetworkInterface::IsUp);
        entry.isRunning = flags.testFlag(QNetworkInterface::IsRunning);
        entry.isLoopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry &address : iface.addressEntries())
            entry.addresses.append(address.ip());
        result.append(entry);
    }
    return result;
}

QString findLocalIp(const QList<NetworkInterfaceEntry> &interfaces)
{
    const QString loopback = QStringLiteral("127.0.0.1");
    QString fallback = loopback;
    for (const NetworkInterfaceEntry &iface : interfaces) {
        if (!iface.isUp || !iface.isRunning || iface.isLoopback)
            continue;
        for (const QHostAddress &address : iface.addresses) {
            if (address.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const QString text = address.toString();
            if (text.startsWith(QLatin1String("192.168.")) || text.startsWith(QLatin1String("10.")))
                return text;
            if (!address.isLoopback() && fallback == loopback)
                fallback = text;
        }
    }
    return fallback;
}

QString serverUrl(const QString &ip, int port)
{
    return QStringLiteral("http://%1:%2/").arg(ip).arg(port);
}

} // namespace NetworkInfo
