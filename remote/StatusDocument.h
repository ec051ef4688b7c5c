#pragma once

#include <QByteArray>
#include <QJsonObject>

class IRemoteBackend;

namespace StatusDocument {

// The status document the phone polls: take state, active source and the
// four channel entries, keys sorted as the JSON object writes them.
QJsonObject build(const IRemoteBackend &backend);

// Whether channel 1..4 counts as live on the phone: its camera runs, else
// the channel model's flag.
bool isChannelActive(const IRemoteBackend &backend, int channel);

QByteArray compact(const QJsonObject &object);

} // namespace StatusDocument
