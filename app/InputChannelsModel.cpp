#include "app/InputChannelsModel.h"

#include "platform/StandardLocations.h"

InputChannelsModel::InputChannelsModel(QObject *parent)
    : QAbstractListModel(parent)
{
    static const char *const formats[] = {"1080p60", "1080p60", "4K30", "1440p60"};
    const QString storagePath = StandardLocations::defaultRecordingPath();
    for (int i = 0; i < 4; ++i) {
        InputChannel row;
        row.channelId = i + 1;
        row.channelName = QStringLiteral("Source %1").arg(i + 1);
        row.format = QString::fromLatin1(formats[i]);
        row.status = QStringLiteral("OFFLINE");
        row.storagePath = storagePath;
        const int at = static_cast<int>(m_channels.size());
        beginInsertRows(QModelIndex(), at, at);
        m_channels.append(row);
        endInsertRows();
    }
}

InputChannelsModel::~InputChannelsModel() = default;

int InputChannelsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_channels.size());
}

QVariant InputChannelsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_channels.size())
        return QVariant();
    const InputChannel &c = m_channels.at(index.row());
    switch (role) {
    case ChannelIdRole: return c.channelId;
    case ChannelNameRole: return c.channelName;
    case FormatRole: return c.format;
    case StatusRole: return c.status;
    case IsRecordingRole: return c.isRecording;
    case AudioLevelRole: return c.audioLevel;
    case AudioLevelRightRole: return c.audioLevelRight;
    case IsoEnabledRole: return c.isoEnabled;
    case StorageEnabledRole: return c.storageEnabled;
    case StoragePathRole: return c.storagePath;
    case HasActiveVideoRole: return c.hasActiveVideo;
    case HasActiveAudioRole: return c.hasActiveAudio;
    default: return QVariant();
    }
}

bool InputChannelsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != ChannelNameRole || !index.isValid() || index.row() < 0 || index.row() >= m_channels.size())
        return false;
    m_channels[index.row()].channelName = value.toString();
    emit dataChanged(index, index, {ChannelNameRole});
    return true;
}

Qt::ItemFlags InputChannelsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QHash<int, QByteArray> InputChannelsModel::roleNames() const
{
    return {
        {ChannelIdRole, "channelId"},
        {ChannelNameRole, "channelName"},
        {FormatRole, "format"},
        {StatusRole, "status"},
        {IsRecordingRole, "isRecording"},
        {AudioLevelRole, "audioLevel"},
        {AudioLevelRightRole, "audioLevelRight"},
        {IsoEnabledRole, "isoEnabled"},
        {StorageEnabledRole, "storageEnabled"},
        {StoragePathRole, "storagePath"},
        {HasActiveVideoRole, "hasActiveVideo"},
        {HasActiveAudioRole, "hasActiveAudio"},
    };
}

int InputChannelsModel::activeVideoCount() const
{
    int count = 0;
    for (const InputChannel &c : m_channels)
        count += c.hasActiveVideo ? 1 : 0;
    return count;
}

int InputChannelsModel::firstInactiveChannelId() const
{
    for (const InputChannel &c : m_channels) {
        if (!c.hasActiveVideo)
            return c.channelId;
    }
    return -1;
}

QList<int> InputChannelsModel::activeChannelIds() const
{
    QList<int> ids;
    for (const InputChannel &c : m_channels) {
        if (c.hasActiveVideo)
            ids.append(c.channelId);
    }
    return ids;
}

int InputChannelsModel::rowOf(int id) const
{
    for (int row = 0; row < m_channels.size(); ++row) {
        if (m_channels.at(row).channelId == id)
            return row;
    }
    return -1;
}

const InputChannel *InputChannelsModel::channel(int id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : &m_channels.at(row);
}

void InputChannelsModel::notifyRow(int row, const QList<int> &roles)
{
    const QModelIndex at = index(row, 0);
    emit dataChanged(at, at, roles);
}

void InputChannelsModel::setIsoEnabled(int id, bool enabled)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].isoEnabled = enabled;
    notifyRow(row, {IsoEnabledRole});
}

void InputChannelsModel::setStorageEnabled(int id, bool enabled)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].storageEnabled = enabled;
    notifyRow(row, {StorageEnabledRole});
}

void InputChannelsModel::setStoragePath(int id, const QString &path)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].storagePath = path;
    notifyRow(row, {StoragePathRole});
}

void InputChannelsModel::setHasActiveVideo(int id, bool hasVideo)
{
    const int row = rowOf(id);
    if (row < 0 || m_channels.at(row).hasActiveVideo == hasVideo)
        return;
    m_channels[row].hasActiveVideo = hasVideo;
    notifyRow(row, {HasActiveVideoRole});
    emit activeVideoCountChanged();
}

void InputChannelsModel::setHasActiveAudio(int id, bool hasAudio)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].hasActiveAudio = hasAudio;
    notifyRow(row, {HasActiveAudioRole});
}

int InputChannelsModel::getActiveChannelIdAt(int activeIndex) const
{
    const QList<int> ids = activeChannelIds();
    if (activeIndex < 0 || activeIndex >= ids.size())
        return -1;
    return ids.at(activeIndex);
}

void InputChannelsModel::setChannelName(int id, const QString &name)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].channelName = name;
    notifyRow(row, {ChannelNameRole});
}

QString InputChannelsModel::getChannelName(int id) const
{
    const InputChannel *c = channel(id);
    return c ? c->channelName : QString();
}

bool InputChannelsModel::isIsoEnabled(int id) const
{
    const InputChannel *c = channel(id);
    return c && c->isoEnabled;
}

bool InputChannelsModel::isStorageEnabled(int id) const
{
    const InputChannel *c = channel(id);
    return c && c->storageEnabled;
}

bool InputChannelsModel::isChannelRecording(int id) const
{
    const InputChannel *c = channel(id);
    return c && c->isRecording;
}

bool InputChannelsModel::hasActiveVideo(int id) const
{
    const InputChannel *c = channel(id);
    return c && c->hasActiveVideo;
}

void InputChannelsModel::disableChannelVideo(int id)
{
    setHasActiveVideo(id, false);
}

void InputChannelsModel::setChannelRecording(int id, bool recording)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].isRecording = recording;
    notifyRow(row, {IsRecordingRole});
}

void InputChannelsModel::updateChannelAudioLevel(int id, float levelLeft, float levelRight)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    m_channels[row].audioLevel = levelLeft;
    m_channels[row].audioLevelRight = levelRight < 0.0f ? levelLeft : levelRight;
    notifyRow(row, {AudioLevelRole, AudioLevelRightRole});
}
