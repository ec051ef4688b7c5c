#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

// One row of the channel model: display state of an input channel.
struct InputChannel
{
    int channelId = 0;
    QString channelName;
    QString format;
    QString status;
    bool isRecording = false;
    float audioLevel = 0.0f;
    float audioLevelRight = 0.0f;
    bool isoEnabled = false;
    bool storageEnabled = false;
    QString storagePath;
    bool hasActiveVideo = false;
    bool hasActiveAudio = false;
};

// The four fixed input channels (ids 1..4, in that row order for the whole
// run), seen by QML as ChannelsModel. Rows are never added, removed or moved
// after construction. Setters that target a channel id act on the first row
// with that id and ignore unknown ids silently. GUI thread only.
class InputChannelsModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int activeVideoCount READ activeVideoCount NOTIFY activeVideoCountChanged)
    Q_PROPERTY(int firstInactiveChannelId READ firstInactiveChannelId NOTIFY activeVideoCountChanged)
    Q_PROPERTY(QList<int> activeChannelIds READ activeChannelIds NOTIFY activeVideoCountChanged)

public:
    enum Role {
        ChannelIdRole = Qt::UserRole + 1,
        ChannelNameRole,
        FormatRole,
        StatusRole,
        IsRecordingRole,
        AudioLevelRole,
        AudioLevelRightRole,
        IsoEnabledRole,
        StorageEnabledRole,
        StoragePathRole,
        HasActiveVideoRole,
        HasActiveAudioRole,
    };

    explicit InputChannelsModel(QObject *parent = nullptr);
    ~InputChannelsModel() override;

    // QAbstractListModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QHash<int, QByteArray> roleNames() const override;

    int activeVideoCount() const;
    int firstInactiveChannelId() const;
    QList<int> activeChannelIds() const;

    Q_INVOKABLE void setIsoEnabled(int id, bool enabled);
    Q_INVOKABLE void setStorageEnabled(int id, bool enabled);
    Q_INVOKABLE void setStoragePath(int id, const QString &path);
    Q_INVOKABLE void setHasActiveVideo(int id, bool hasVideo);
    Q_INVOKABLE void setHasActiveAudio(int id, bool hasAudio);
    Q_INVOKABLE int getActiveChannelIdAt(int activeIndex) const;
    Q_INVOKABLE void setChannelName(int id, const QString &name);
    Q_INVOKABLE QString getChannelName(int id) const;
    Q_INVOKABLE bool isIsoEnabled(int id) const;
    Q_INVOKABLE bool isStorageEnabled(int id) const;
    Q_INVOKABLE bool isChannelRecording(int id) const;
    Q_INVOKABLE bool hasActiveVideo(int id) const;
    Q_INVOKABLE void disableChannelVideo(int id);

    // Backend operations, not for QML.
    void setChannelRecording(int id, bool recording);
    // A negative right level means a mono source: both sides get the left one.
    void updateChannelAudioLevel(int id, float levelLeft, float levelRight);

signals:
    void activeVideoCountChanged();

private:
    int rowOf(int id) const;
    const InputChannel *channel(int id) const;
    void notifyRow(int row, const QList<int> &roles);

    QList<InputChannel> m_channels;
};
