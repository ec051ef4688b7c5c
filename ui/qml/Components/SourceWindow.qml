import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvex 1.0
import "MonitorLogic.js" as Logic

// One channel tile of the monitoring grid: live picture, program marks,
// channel label with hotkey, settings and disable buttons, ISO / STORE boxes.
Rectangle {
    id: tile

    property int channelIndex: 1
    // Bumped whenever the channel model reports a change, so that the values
    // read through its query functions stay current.
    property int modelRevision: 0
    readonly property string channelName: modelRevision, ChannelsModel.getChannelName(channelIndex)
    readonly property bool isRecording: modelRevision, ChannelsModel.isChannelRecording(channelIndex)
    readonly property bool isActiveOutput: AppManager.activeSourceId === channelIndex
    readonly property bool isoEnabled: modelRevision, ChannelsModel.isIsoEnabled(channelIndex)
    readonly property bool storageEnabled: modelRevision, ChannelsModel.isStorageEnabled(channelIndex)
    readonly property string hotkeyName: modelRevision, AppManager.getSourceKeyName(channelIndex - 1)
    readonly property string statusWord: Logic.statusWord(isActiveOutput, storageEnabled)

    color: Colors.surfaceDark
    radius: 3
    clip: true
    border.width: (isActiveOutput || isRecording) ? (isActiveOutput ? pulse.width : 2) : 1
    border.color: (isActiveOutput || isRecording) ? Colors.recRed : Colors.borderDark

    Connections {
        target: ChannelsModel
        function onDataChanged() { tile.modelRevision++ }
        function onActiveVideoCountChanged() { tile.modelRevision++ }
    }

    QtObject {
        id: pulse
        property real width: 2
    }
    SequentialAnimation {
        running: tile.isActiveOutput
        loops: Animation.Infinite
        NumberAnimation { target: pulse; property: "width"; from: 2; to: 3; duration: 600; easing.type: Easing.InOutSine }
        NumberAnimation { target: pulse; property: "width"; from: 3; to: 2; duration: 600; easing.type: Easing.InOutSine }
        onRunningChanged: if (!running) pulse.width = 2
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Item {
            id: pictureArea
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true

            VideoStreamItem {
                objectName: "tileVideo"
                anchors.fill: parent
                anchors.margins: 2
                channelIndex: tile.channelIndex
            }

            Rectangle {
                anchors.fill: parent
                visible: tile.isActiveOutput
                color: Colors.recRed
                opacity: 0.06
            }

            Rectangle {
                objectName: "programBadge"
                visible: tile.isActiveOutput
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 8
                height: 22
                width: programText.implicitWidth + 20
                radius: 3
                color: Qt.rgba(Colors.recRed.r, Colors.recRed.g, Colors.recRed.b, 0.92)
                Text {
                    id: programText
                    anchors.centerIn: parent
                    text: "PROGRAM OUT"
                    color: "white"
                    font: Typography.captionBold
                }
            }

            MouseArea {
                objectName: "pictureClick"
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: AppManager.activeSourceId = tile.channelIndex
            }

            Rectangle {
                objectName: "channelLabel"
                anchors.left: parent.left
                anchors.top: parent.top
                anchors.margins: 8
                height: 24
                width: labelRow.implicitWidth + 16
                radius: 3
                border.width: 1
                color: tile.isActiveOutput ? Colors.recRed : Colors.panelDark
                border.color: tile.isActiveOutput ? Colors.recRed : Colors.borderDark
                Behavior on color { ColorAnimation { duration: 150 } }

                Row {
                    id: labelRow
                    anchors.centerIn: parent
                    spacing: 6
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: tile.channelName
                        color: Colors.textPrimary
                        font: Typography.captionBold
                    }
                    Rectangle {
                        visible: tile.hotkeyName !== ""
                        anchors.verticalCenter: parent.verticalCenter
                        height: 16
                        width: hotkeyText.implicitWidth + 6
                        radius: 2
                        border.width: 1
                        color: tile.isActiveOutput ? "#ffffff" : Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.2)
                        border.color: tile.isActiveOutput ? "#ffffff" : Colors.accent
                        Text {
                            id: hotkeyText
                            anchors.centerIn: parent
                            text: tile.hotkeyName
                            color: tile.isActiveOutput ? Colors.recRed : Colors.accent
                            font.pixelSize: 9
                            font.bold: true
                            font.family: "Consolas, Segoe UI"
                        }
                    }
                }
            }

            Row {
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 8
                spacing: 6

                Rectangle {
                    objectName: "settingsButton"
                    width: 26; height: 24; radius: 3; border.width: 1
                    color: settingsArea.containsMouse ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.25) : Colors.panelDark
                    border.color: settingsArea.containsMouse ? Colors.accent : Colors.borderDark
                    Text {
                        anchors.centerIn: parent
                        text: "⚙"
                        font.pixelSize: 13
                        color: settingsArea.containsMouse ? Colors.accent : Colors.textSecondary
                    }
                    MouseArea {
                        id: settingsArea
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: sourceConfigDialog.openForChannel(tile.channelIndex, true)
                    }
                }
                Rectangle {
                    objectName: "disableButton"
                    width: 26; height: 24; radius: 3; border.width: 1
                    color: disableArea.containsMouse ? Qt.rgba(Colors.recRed.r, Colors.recRed.g, Colors.recRed.b, 0.25) : Colors.panelDark
                    border.color: disableArea.containsMouse ? Colors.recRed : Colors.borderDark
                    Text {
                        anchors.centerIn: parent
                        text: "✕"
                        font.pixelSize: 11
                        font.bold: true
                        color: disableArea.containsMouse ? Colors.recRed : Colors.textSecondary
                    }
                    MouseArea {
                        id: disableArea
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: tile.disableSource()
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 30
            Layout.leftMargin: 8
            Layout.rightMargin: 8
            spacing: 8

            TileCheckBox {
                objectName: "isoBox"
                text: "ISO"
                checkedColor: Colors.accent
                checked: tile.isoEnabled
                onToggled: ChannelsModel.setIsoEnabled(tile.channelIndex, checked)
            }
            TileCheckBox {
                objectName: "storeBox"
                text: "STORE"
                checkedColor: Colors.liveGreen
                checked: tile.storageEnabled
                onToggled: ChannelsModel.setStorageEnabled(tile.channelIndex, checked)
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "statusWord"
                text: tile.statusWord
                font: Typography.caption
                color: tile.statusWord === "PROGRAM" ? Colors.recRed
                     : tile.statusWord === "READY" ? Colors.liveGreen : Colors.textMuted
            }
        }
    }

    component TileCheckBox: CheckBox {
        id: box
        property color checkedColor: Colors.accent
        padding: 0
        spacing: 6
        indicator: Rectangle {
            implicitWidth: 16
            implicitHeight: 16
            x: box.leftPadding
            y: (box.height - height) / 2
            radius: 3
            color: box.checked ? box.checkedColor : Colors.panelDark
            border.width: 1
            border.color: box.checked ? box.checkedColor : Colors.borderDark
            Rectangle {
                visible: box.checked
                anchors.centerIn: parent
                width: 6; height: 6; radius: 1
                color: "white"
            }
        }
        contentItem: Text {
            leftPadding: box.indicator.width + box.spacing
            verticalAlignment: Text.AlignVCenter
            text: box.text
            font: Typography.captionBold
            color: box.checked ? Colors.textPrimary : Colors.textMuted
        }
    }

    // The tile's "✕": takes the camera off the channel and moves the program
    // to another channel with video when this one had it.
    function disableSource() {
        var ch = tile.channelIndex
        var wasProgram = AppManager.activeSourceId === ch
        AppManager.removeCameraFromChannel(ch)
        ChannelsModel.setHasActiveVideo(ch, false)
        if (wasProgram)
            AppManager.activeSourceId = Logic.nextProgramSource(ch, function (id) { return ChannelsModel.hasActiveVideo(id) })
    }
}
