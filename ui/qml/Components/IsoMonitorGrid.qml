import QtQuick
import QtQuick.Layouts
import Korvex 1.0
import "MonitorLogic.js" as Logic
import "../Controls/Bilingual.js" as Bilingual

// The monitoring grid: one tile per channel with video, arranged by how many
// there are, plus cards for adding a source.
Rectangle {
    id: grid

    property bool hideAddSourceBanner: false
    readonly property int activeCount: ChannelsModel.activeVideoCount
    readonly property var activeIds: ChannelsModel.activeChannelIds
    readonly property string arrangement: Logic.arrangement(activeCount)
    readonly property string language: AppManager.currentLanguage

    color: Colors.backgroundDark

    function tr(en, sr) { return Bilingual.pick(language, en, sr) }
    function openAdd() { sourceConfigDialog.openForChannel(ChannelsModel.firstInactiveChannelId, false) }

    // n = 0: the empty-state card.
    Rectangle {
        objectName: "emptyState"
        visible: grid.arrangement === "empty"
        anchors.centerIn: parent
        width: Math.min(480, grid.width - 40)
        height: 220
        color: Colors.surfaceDark
        border.width: 1
        border.color: Colors.borderDark
        radius: 6

        Column {
            anchors.centerIn: parent
            spacing: 14

            Rectangle {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 54; height: 54; radius: 27
                border.width: 1.5
                border.color: Colors.accent
                color: addButtonArea.containsMouse ? Colors.accent : Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                Behavior on color { ColorAnimation { duration: 150 } }
                Text {
                    anchors.centerIn: parent
                    text: "+"
                    font.pixelSize: 28
                    font.bold: true
                    color: addButtonArea.containsMouse ? "#000000" : Colors.accent
                }
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: grid.tr("NO ACTIVE VIDEO SOURCES", "NEMA AKTIVNIH VIDEO ULAZA")
                color: Colors.textPrimary
                font: Typography.heading3
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: grid.tr("Connect a camera or capture card to begin monitoring",
                              "Povežite kameru ili capture karticu za praćenje i režiju")
                color: Colors.textSecondary
                font: Typography.caption
            }
            Rectangle {
                objectName: "emptyAddButton"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 170; height: 38; radius: 4
                color: addButtonArea.containsMouse ? Qt.darker(Colors.accent, 1.15) : Colors.accent
                Row {
                    anchors.centerIn: parent
                    spacing: 8
                    Text { text: "+"; font.pixelSize: 16; font.bold: true; color: "#000000"; anchors.verticalCenter: parent.verticalCenter }
                    Text { text: grid.tr("ADD SOURCE", "DODAJ SOURCE"); font: Typography.captionBold; color: "#000000"; anchors.verticalCenter: parent.verticalCenter }
                }
                MouseArea {
                    id: addButtonArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: grid.openAdd()
                }
            }
        }
    }

    // n = 1: the tile and an add card side by side.
    RowLayout {
        objectName: "singleRow"
        visible: grid.arrangement === "single"
        anchors.fill: parent
        anchors.margins: 4
        spacing: 4
        SourceWindow {
            objectName: "singleTile"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredWidth: 1
            channelIndex: Logic.tileChannel(grid.activeIds, 1)
        }
        AddSourceCard {
            objectName: "singleAddCard"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredWidth: 1
        }
    }

    // n >= 2: two rows.
    ColumnLayout {
        objectName: "gridColumns"
        visible: grid.arrangement === "grid"
        anchors.fill: parent
        anchors.margins: 4
        spacing: 4

        RowLayout {
            objectName: "topRow"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredHeight: 1
            spacing: 4
            SourceWindow {
                objectName: "tile1"
                Layout.fillWidth: true; Layout.fillHeight: true; Layout.preferredWidth: 1
                channelIndex: Logic.tileChannel(grid.activeIds, 1)
            }
            SourceWindow {
                objectName: "tile2"
                Layout.fillWidth: true; Layout.fillHeight: true; Layout.preferredWidth: 1
                channelIndex: Logic.tileChannel(grid.activeIds, 2)
            }
        }

        RowLayout {
            objectName: "bottomRow"
            visible: grid.activeCount > 2 || (grid.activeCount === 2 && !grid.hideAddSourceBanner)
            Layout.fillWidth: true
            Layout.fillHeight: grid.activeCount > 2
            Layout.preferredHeight: grid.activeCount > 2 ? 1 : 70
            Layout.minimumHeight: grid.activeCount > 2 ? 0 : 70
            Layout.maximumHeight: grid.activeCount > 2 ? Number.POSITIVE_INFINITY : 70
            spacing: 4

            AddSourceCard {
                objectName: "addBanner"
                visible: grid.activeCount === 2
                isCompact: true
                isHorizontal: true
                Layout.fillWidth: true
                Layout.fillHeight: true
            }
            Item {
                visible: grid.activeCount === 3
                Layout.fillWidth: true; Layout.fillHeight: true; Layout.preferredWidth: 1
            }
            SourceWindow {
                objectName: "tile3"
                visible: grid.activeCount >= 3
                Layout.fillWidth: true; Layout.fillHeight: true
                Layout.preferredWidth: grid.activeCount === 3 ? 2 : 1
                channelIndex: Logic.tileChannel(grid.activeIds, 3)
            }
            AddSourceCard {
                objectName: "compactAddCard"
                visible: grid.activeCount === 3
                isCompact: true
                Layout.fillWidth: true; Layout.fillHeight: true; Layout.preferredWidth: 1
            }
            SourceWindow {
                objectName: "tile4"
                visible: grid.activeCount >= 4
                Layout.fillWidth: true; Layout.fillHeight: true; Layout.preferredWidth: 1
                channelIndex: Logic.tileChannel(grid.activeIds, 4)
            }
        }
    }

    component AddSourceCard: Rectangle {
        id: card
        property bool isCompact: false
        property bool isHorizontal: false
        readonly property bool hovered: cardArea.containsMouse || closeArea.containsMouse

        color: hovered ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.08) : Colors.surfaceDark
        border.width: hovered ? 2 : 1
        border.color: hovered ? Colors.accent : Colors.borderDark
        radius: 3
        Behavior on color { ColorAnimation { duration: 150 } }
        Behavior on border.color { ColorAnimation { duration: 150 } }

        MouseArea {
            id: cardArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: grid.openAdd()
        }

        GridLayout {
            anchors.centerIn: parent
            columns: card.isHorizontal ? 2 : 1
            rowSpacing: card.isCompact ? 6 : 10
            columnSpacing: 15

            Rectangle {
                Layout.alignment: Qt.AlignHCenter | Qt.AlignVCenter
                width: card.isCompact ? 34 : 44
                height: width
                radius: width / 2
                border.width: 1
                border.color: Colors.accent
                color: card.hovered ? Colors.accent : Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                Text {
                    anchors.centerIn: parent
                    text: "+"
                    font.pixelSize: card.isCompact ? 18 : 22
                    font.bold: true
                    color: card.hovered ? "#000000" : Colors.accent
                }
            }
            Column {
                Layout.alignment: card.isHorizontal ? Qt.AlignLeft | Qt.AlignVCenter : Qt.AlignHCenter
                spacing: 2
                Text {
                    anchors.horizontalCenter: card.isHorizontal ? undefined : parent.horizontalCenter
                    text: grid.tr("ADD SOURCE", "DODAJ SOURCE")
                    color: card.hovered ? Colors.accent : Colors.textPrimary
                    font: card.isCompact ? Typography.caption : Typography.captionBold
                }
                Text {
                    anchors.horizontalCenter: card.isHorizontal ? undefined : parent.horizontalCenter
                    text: grid.tr("Channel ", "Kanal ") + ChannelsModel.firstInactiveChannelId
                    color: Colors.textMuted
                    font: Typography.caption
                }
            }
        }

        Rectangle {
            objectName: "bannerClose"
            visible: card.isHorizontal
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.margins: 10
            width: 24; height: 24; radius: 12
            color: closeArea.containsMouse ? Colors.recRed : "transparent"
            Text {
                anchors.centerIn: parent
                text: "✕"
                font.pixelSize: 12
                font.bold: true
                color: closeArea.containsMouse ? "#FFFFFF" : Colors.textMuted
            }
            MouseArea {
                id: closeArea
                anchors.fill: parent
                hoverEnabled: true
                enabled: card.isHorizontal
                onClicked: grid.hideAddSourceBanner = true
            }
        }
    }
}
