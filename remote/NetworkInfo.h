#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// One network interface as the address choice sees it.
struct NetworkInterfaceEntry
{
    bool isUp = false;
    bool isRunning = false;
    bool isLoopback = false;
    QList<QHostAddress> addresses; // in the order the platform lists them
};

namespace NetworkInfo {

// The interfaces of this machine, in the platform's order.
QList<NetworkInterfaceEntry> systemInterfaces();

// The address a phone on the local network reaches this machine at: the
// first 192.168.x.x or 10.x.x.x address of an interface that is up, running
// and not loopback; else the first other non-loopback IPv4 address of such
// an interface; else "127.0.0.1".
QString findLocalIp(const QList<NetworkInterfaceEntry> &interfaces);

// "http://<ip>:<port>/"
QString serverUrl(const QString &ip, int port);

} // namespace NetworkInfo
