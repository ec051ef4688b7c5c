import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Korvex 1.0
import "WindowLoader.js" as WindowLoader
import "StatusFormat.js" as StatusFormat

// The status bar: process load, frame rate, disk write speed, dropped frames
// and the button that opens the performance monitor.
Rectangle {
    id: root

    // the last performance monitor created; a new one replaces a closed one
    property var monitorWindow: null

    color: Colors.panelDark
    border.width: 1
    border.color: Colors.borderDark

    function openMonitorWindow() {
        if (monitorWindow && monitorWindow.visible) {
            monitorWindow.requestActivate()
            return
        }
        var win = WindowLoader.create(Qt.createComponent("PerformanceMonitorWindow.qml"),
                                      root.Window.window, "Failed to load PerformanceMonitorWindow: ")
        if (!win)
            return
        monitorWindow = win
        win.show()
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 12
        spacing: 16

        Row {
            spacing: 6
            Layout.alignment: Qt.AlignVCenter
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "⚡"
                font.family: "Segoe UI Emoji"
                font.pixelSize: 11
            }
            Text {
                objectName: "loadText"
                anchors.verticalCenter: parent.verticalCenter
                text: AppManager.cpuUsage + "  |  " + AppManager.ramUsage
                color: Colors.textSecondary
                font: Typography.caption
            }
        }

        Item { Layout.fillWidth: true }

        Row {
            spacing: 6
            Layout.alignment: Qt.AlignVCenter
            Rectangle {
                objectName: "fpsDot"
                anchors.verticalCenter: parent.verticalCenter
                width: 6; height: 6; radius: 3
                color: StatusFormat.fpsDotColor(AppManager.currentFps, Colors.liveGreen, Colors.accent, "#ef4444")
            }
            Text {
                objectName: "fpsText"
                anchors.verticalCenter: parent.verticalCenter
                text: StatusFormat.fpsText(AppManager.currentFps, AppManager.selectedGlobalFps)
                color: Colors.textPrimary
                font: Typography.captionBold
            }
        }

        Item { Layout.fillWidth: true }

        Row {
            spacing: 6
            Layout.alignment: Qt.AlignVCenter
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "💾"
                font.family: "Segoe UI Emoji"
                font.pixelSize: 11
            }
            Text {
                objectName: "writeText"
                anchors.verticalCenter: parent.verticalCenter
                text: StatusFormat.writeText(AppManager.diskWriteSpeedMBs)
                color: AppManager.diskWriteSpeedMBs > 0 ? Colors.accent : Colors.textSecondary
                font: Typography.captionBold
            }
        }

        Item { Layout.fillWidth: true }

        Row {
            spacing: 6
            Layout.alignment: Qt.AlignVCenter
            readonly property bool clean: AppManager.droppedFrames === 0
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: parent.clean ? "✓" : "⚠"
                color: parent.clean ? Colors.liveGreen : "#ef4444"
                font.pixelSize: 11
                font.bold: true
            }
            Text {
                objectName: "droppedText"
                anchors.verticalCenter: parent.verticalCenter
                text: "Dropped: " + AppManager.droppedFrames
                color: parent.clean ? Colors.textSecondary : "#ef4444"
                font: Typography.caption
            }
        }

        Item { Layout.fillWidth: true }

        DarkButton {
            objectName: "monitorButton"
            Layout.alignment: Qt.AlignVCenter
            Layout.preferredWidth: 100
            Layout.preferredHeight: 24
            onClicked: root.openMonitorWindow()
            Row {
                anchors.centerIn: parent
                spacing: 6
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "📊"
                    font.family: "Segoe UI Emoji"
                    font.pixelSize: 11
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "MONITOR"
                    color: Colors.textPrimary
                    font: Typography.smallBold
                }
            }
        }
    }
}
