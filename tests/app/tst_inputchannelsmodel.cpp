#include "app/InputChannelsModel.h"
#include "platform/StandardLocations.h"

#include <QSignalSpy>
#include <QTest>

class TestInputChannelsModel : public QObject
{
    Q_OBJECT

private slots:
    void initialRows();
    void roleNames();
    void rowCountAndDataOutsideRows();
    void activeVideoBookkeeping();
    void hasActiveVideoNotifiesOnlyOnChange();
    void settersAlwaysNotify_data();
    void settersAlwaysNotify();
    void unknownIdsChangeNothing_data();
    void unknownIdsChangeNothing();
    void audioLevels_data();
    void audioLevels();
    void setDataOnlyRenames();
    void flags();
};

void TestInputChannelsModel::initialRows()
{
    InputChannelsModel model;
    QCOMPARE(model.rowCount(), 4);
    const QStringList formats{"1080p60", "1080p60", "4K30", "1440p60"};
    for (int row = 0; row < 4; ++row) {
        const QModelIndex i = model.index(row);
        QCOMPARE(i.data(InputChannelsModel::ChannelIdRole).toInt(), row + 1);
        QCOMPARE(i.data(InputChannelsModel::ChannelNameRole).toString(), QStringLiteral("Source %1").arg(row + 1));
        QCOMPARE(i.data(InputChannelsModel::FormatRole).toString(), formats.at(row));
        QCOMPARE(i.data(InputChannelsModel::StatusRole).toString(), QStringLiteral("OFFLINE"));
        QCOMPARE(i.data(InputChannelsModel::IsRecordingRole).toBool(), false);
        QCOMPARE(i.data(InputChannelsModel::AudioLevelRole).typeId(), QMetaType::Float);
        QCOMPARE(i.data(InputChannelsModel::AudioLevelRole).toFloat(), 0.0f);
        QCOMPARE(i.data(InputChannelsModel::AudioLevelRightRole).toFloat(), 0.0f);
        QCOMPARE(i.data(InputChannelsModel::HasActiveVideoRole).typeId(), QMetaType::Bool);
        QCOMPARE(i.data(InputChannelsModel::StoragePathRole).toString(), StandardLocations::defaultRecordingPath());
        QVERIFY(!i.data(InputChannelsModel::StoragePathRole).toString().startsWith(QLatin1String("C:")));
    }
    QCOMPARE(model.activeVideoCount(), 0);
    QCOMPARE(model.firstInactiveChannelId(), 1);
    QVERIFY(model.activeChannelIds().isEmpty());
}

void TestInputChannelsModel::roleNames()
{
    InputChannelsModel model;
    const QHash<int, QByteArray> names = model.roleNames();
    const QList<QByteArray> expected{"channelId", "channelName", "format", "status", "isRecording", "audioLevel",
                                     "audioLevelRight", "isoEnabled", "storageEnabled", "storagePath",
                                     "hasActiveVideo", "hasActiveAudio"};
    QCOMPARE(names.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(names.value(257 + i), expected.at(i));
}

void TestInputChannelsModel::rowCountAndDataOutsideRows()
{
    InputChannelsModel model;
    QCOMPARE(model.rowCount(model.index(0)), 0);
    QVERIFY(!model.index(0).data(Qt::DisplayRole).isValid());
    QVERIFY(!model.index(0).data(256).isValid());
    QVERIFY(!model.index(0).data(269).isValid());
    QVERIFY(!model.data(QModelIndex(), InputChannelsModel::ChannelIdRole).isValid());
    QVERIFY(!model.index(4).isValid());
}

void TestInputChannelsModel::activeVideoBookkeeping()
{
    InputChannelsModel model;
    model.setHasActiveVideo(3, true);
    model.setHasActiveVideo(1, true);
    QCOMPARE(model.activeChannelIds(), (QList<int>{1, 3}));
    QCOMPARE(model.activeVideoCount(), 2);
    QCOMPARE(model.firstInactiveChannelId(), 2);
    QCOMPARE(model.getActiveChannelIdAt(0), 1);
    QCOMPARE(model.getActiveChannelIdAt(1), 3);
    QCOMPARE(model.getActiveChannelIdAt(2), -1);
    QCOMPARE(model.getActiveChannelIdAt(-1), -1);
    QVERIFY(model.hasActiveVideo(3));
    QVERIFY(!model.hasActiveVideo(2));

    model.setHasActiveVideo(2, true);
    model.setHasActiveVideo(4, true);
    QCOMPARE(model.firstInactiveChannelId(), -1);

    model.disableChannelVideo(3);
    QCOMPARE(model.activeChannelIds(), (QList<int>{1, 2, 4}));
    QCOMPARE(model.firstInactiveChannelId(), 3);
}

void TestInputChannelsModel::hasActiveVideoNotifiesOnlyOnChange()
{
    InputChannelsModel model;
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy count(&model, &InputChannelsModel::activeVideoCountChanged);
    QList<int> order;
    connect(&model, &QAbstractItemModel::dataChanged, this, [&order] { order.append(1); });
    connect(&model, &InputChannelsModel::activeVideoCountChanged, this, [&order] { order.append(2); });

    model.setHasActiveVideo(2, true);
    model.setHasActiveVideo(2, true);
    QCOMPARE(data.count(), 1);
    QCOMPARE(count.count(), 1);
    QCOMPARE(order, (QList<int>{1, 2}));
    QCOMPARE(data.at(0).at(0).toModelIndex().row(), 1);
    QCOMPARE(data.at(0).at(2).value<QList<int>>(), (QList<int>{InputChannelsModel::HasActiveVideoRole}));

    model.disableChannelVideo(2);
    model.disableChannelVideo(2);
    QCOMPARE(count.count(), 2);
}

void TestInputChannelsModel::settersAlwaysNotify_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("iso") << "iso" << int(InputChannelsModel::IsoEnabledRole) << QVariant(true);
    QTest::newRow("storage") << "storage" << int(InputChannelsModel::StorageEnabledRole) << QVariant(true);
    QTest::newRow("path") << "path" << int(InputChannelsModel::StoragePathRole) << QVariant(QStringLiteral("/media/take"));
    QTest::newRow("audio") << "audio" << int(InputChannelsModel::HasActiveAudioRole) << QVariant(true);
    QTest::newRow("name") << "name" << int(InputChannelsModel::ChannelNameRole) << QVariant(QStringLiteral("Wide"));
    QTest::newRow("recording") << "recording" << int(InputChannelsModel::IsRecordingRole) << QVariant(true);
}

static void applySetter(InputChannelsModel &model, const QString &setter, int id)
{
    if (setter == QLatin1String("iso"))
        model.setIsoEnabled(id, true);
    else if (setter == QLatin1String("storage"))
        model.setStorageEnabled(id, true);
    else if (setter == QLatin1String("path"))
        model.setStoragePath(id, QStringLiteral("/media/take"));
    else if (setter == QLatin1String("audio"))
        model.setHasActiveAudio(id, true);
    else if (setter == QLatin1String("name"))
        model.setChannelName(id, QStringLiteral("Wide"));
    else if (setter == QLatin1String("recording"))
        model.setChannelRecording(id, true);
    else if (setter == QLatin1String("video"))
        model.setHasActiveVideo(id, true);
    else if (setter == QLatin1String("level"))
        model.updateChannelAudioLevel(id, 0.5f, 0.25f);
}

void TestInputChannelsModel::settersAlwaysNotify()
{
    QFETCH(QString, setter);
    QFETCH(int, role);
    QFETCH(QVariant, expected);
    InputChannelsModel model;
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    applySetter(model, setter, 3);
    applySetter(model, setter, 3);
    QCOMPARE(data.count(), 2);
    for (const QList<QVariant> &args : data) {
        QCOMPARE(args.at(0).toModelIndex(), model.index(2));
        QCOMPARE(args.at(1).toModelIndex(), model.index(2));
        QCOMPARE(args.at(2).value<QList<int>>(), QList<int>{role});
    }
    QCOMPARE(model.index(2).data(role), expected);
    QVERIFY(model.index(1).data(role) != expected);
}

void TestInputChannelsModel::unknownIdsChangeNothing_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<int>("id");
    for (const char *setter : {"iso", "storage", "path", "audio", "name", "recording", "video", "level"}) {
        QTest::addRow("%s id 0", setter) << setter << 0;
        QTest::addRow("%s id 5", setter) << setter << 5;
    }
}

void TestInputChannelsModel::unknownIdsChangeNothing()
{
    QFETCH(QString, setter);
    QFETCH(int, id);
    InputChannelsModel model;
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy count(&model, &InputChannelsModel::activeVideoCountChanged);
    applySetter(model, setter, id);
    QCOMPARE(data.count(), 0);
    QCOMPARE(count.count(), 0);
    QCOMPARE(model.getChannelName(id), QString());
    QVERIFY(!model.isIsoEnabled(id));
    QVERIFY(!model.isStorageEnabled(id));
    QVERIFY(!model.isChannelRecording(id));
    QVERIFY(!model.hasActiveVideo(id));
    QCOMPARE(model.getChannelName(1), QStringLiteral("Source 1"));
}

void TestInputChannelsModel::audioLevels_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("right");
    QTest::addColumn<float>("expectedRight");
    QTest::newRow("stereo") << 0.5f << 0.25f << 0.25f;
    QTest::newRow("mono") << 0.5f << -1.0f << 0.5f;
    QTest::newRow("silent right") << 0.7f << 0.0f << 0.0f;
}

void TestInputChannelsModel::audioLevels()
{
    QFETCH(float, left);
    QFETCH(float, right);
    QFETCH(float, expectedRight);
    InputChannelsModel model;
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    model.updateChannelAudioLevel(2, left, right);
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.at(0).at(2).value<QList<int>>(),
             (QList<int>{InputChannelsModel::AudioLevelRole, InputChannelsModel::AudioLevelRightRole}));
    QCOMPARE(model.index(1).data(InputChannelsModel::AudioLevelRole).toFloat(), left);
    QCOMPARE(model.index(1).data(InputChannelsModel::AudioLevelRightRole).toFloat(), expectedRight);
}

void TestInputChannelsModel::setDataOnlyRenames()
{
    InputChannelsModel model;
    QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model.setData(model.index(0), QStringLiteral("4K"), InputChannelsModel::FormatRole));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("x"), InputChannelsModel::ChannelNameRole));
    QCOMPARE(data.count(), 0);
    QCOMPARE(model.index(0).data(InputChannelsModel::FormatRole).toString(), QStringLiteral("1080p60"));

    QVERIFY(model.setData(model.index(1), 42, InputChannelsModel::ChannelNameRole));
    QCOMPARE(model.getChannelName(2), QStringLiteral("42"));
    QCOMPARE(data.count(), 1);
    QCOMPARE(data.at(0).at(2).value<QList<int>>(), QList<int>{InputChannelsModel::ChannelNameRole});
}

void TestInputChannelsModel::flags()
{
    InputChannelsModel model;
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    const Qt::ItemFlags f = model.flags(model.index(0));
    QVERIFY(f.testFlag(Qt::ItemIsEditable));
    QVERIFY(f.testFlag(Qt::ItemIsEnabled));
    QVERIFY(f.testFlag(Qt::ItemIsSelectable));
}

QTEST_GUILESS_MAIN(TestInputChannelsModel)
#include "tst_inputchannelsmodel.moc"
