#pragma once

#include "capture/audio/AudioEngine.h"

#include <QStandardItemModel>

// What the mixer panel needs from the application manager, for tests and
// screenshots: the real audio engine plus the few members that belong to
// other parts of the manager (UI language, camera links), and a four-row
// channel model with the roles the panel reads.
class MixerTestManager : public AudioEngine
{
    Q_OBJECT
    Q_PROPERTY(QString currentLanguage READ currentLanguage CONSTANT)
    // Shadow the engine's master levels so a picture can show chosen ones.
    Q_PROPERTY(float masterAudioLevel READ shownMasterLevel NOTIFY masterAudioLevelChanged)
    Q_PROPERTY(float masterAudioLevelRight READ shownMasterLevelRight NOTIFY masterAudioLevelChanged)

public:
    using AudioEngine::AudioEngine;
    QString currentLanguage() const { return QStringLiteral("EN"); }
    Q_INVOKABLE int getChannelCameraLink(int channelId) const { return m_links.value(channelId, 0); }
    Q_INVOKABLE void setChannelCameraLink(int channelId, int link) { m_links[channelId] = link; }

    void showMasterLevels(float left, float right)
    {
        m_shownLeft = left;
        m_shownRight = right;
        m_showChosen = true;
        emit masterAudioLevelChanged();
    }
    float shownMasterLevel() const { return m_showChosen ? m_shownLeft : masterAudioLevel(); }
    float shownMasterLevelRight() const { return m_showChosen ? m_shownRight : masterAudioLevelRight(); }

private:
    QMap<int, int> m_links;
    bool m_showChosen = false;
    float m_shownLeft = 0.0f;
    float m_shownRight = 0.0f;
};

class MixerTestChannels : public QStandardItemModel
{
public:
    enum Role { ChannelIdRole = Qt::UserRole + 1, ChannelNameRole, AudioLevelRole, AudioLevelRightRole };

    MixerTestChannels()
    {
        setItemRoleNames({{ChannelIdRole, "channelId"},
                          {ChannelNameRole, "channelName"},
                          {AudioLevelRole, "audioLevel"},
                          {AudioLevelRightRole, "audioLevelRight"}});
        for (int id = 1; id <= 4; ++id) {
            auto *row = new QStandardItem;
            row->setData(id, ChannelIdRole);
            row->setData(QStringLiteral("Channel %1").arg(id), ChannelNameRole);
            row->setData(0.0, AudioLevelRole);
            row->setData(0.0, AudioLevelRightRole);
            appendRow(row);
        }
    }

    void setLevels(int channelId, double left, double right)
    {
        QStandardItem *row = item(channelId - 1);
        row->setData(left, AudioLevelRole);
        row->setData(right, AudioLevelRightRole);
    }
};
