import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Korvex 1.0
import "MonitorLogic.js" as Logic

// The program source shown large, with the LIVE / SYNC badges, the arming
// overlay, the display selector and the OUTPUT toggle of the program window.
Rectangle {
    id: panel

    property var outputWindow: null
    property bool isOutputActive: false
    property int channelIndex: AppManager.activeSourceId

    color: Colors.backgroundDark

    Connections {
        target: AppManager
        function onActiveSourceChanged() {
            panel.channelIndex = AppManager.activeSourceId
            if (panel.outputWindow && panel.outputWindow.visible)
                panel.outputWindow.channelIndex = AppManager.activeSourceId
        }
    }
    Connections {
        target: panel.outputWindow
        ignoreUnknownSignals: true
        function onVisibleChanged() { panel.isOutputActive = !!panel.outputWindow && panel.outputWindow.visible }
    }

    function toggleOutput() {
        if (!outputWindow) {
            var component = Qt.createComponent("PreviewOutput.qml")
            if (component.status !== Component.Ready) {
                console.log("PreviewOutput load error: " + component.errorString())
                return
            }
            outputWindow = component.createObject(panel, { channelIndex: panel.channelIndex,
                                                          displayIndex: displaySelector.currentIndex })
            if (!outputWindow) {
                console.log("PreviewOutput load error: " + component.errorString())
                return
            }
        }
        if (outputWindow.visible) {
            outputWindow.closeOutput()
            isOutputActive = false
        } else {
            outputWindow.channelIndex = panel.channelIndex
            outputWindow.openOutput(displaySelector.currentIndex)
            isOutputActive = true
        }
    }

    Rectangle {
        id: frame
        anchors.fill: parent
        anchors.margins: 4
        color: Colors.surfaceDark
        border.width: 1
        border.color: Colors.borderDark
        radius: 3

        VideoStreamItem {
            objectName: "previewVideo"
            anchors.fill: parent
            anchors.margins: 1
            channelIndex: panel.channelIndex
        }

        Row {
            anchors.left: parent.left
            anchors.bottom: parent.bottom
            anchors.margins: 12
            spacing: 8
            Rectangle {
                objectName: "liveBadge"
                visible: AppManager.isRecording
                width: 52; height: 22; radius: 4
                color: Colors.recRed
                Text { anchors.centerIn: parent; text: "LIVE"; color: "white"; font: Typography.captionBold }
            }
            Rectangle {
                objectName: "syncBadge"
                visible: AppManager.isArming
                width: 78; height: 22; radius: 4
                color: "#d97706"
                Text { anchors.centerIn: parent; text: "SYNC " + AppManager.countdownSeconds + "s"; color: "white"; font: Typography.captionBold }
            }
        }

        Row {
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.margins: 10
            spacing: 8

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "MAIN PREVIEW"
                color: Colors.textSecondary
                font: Typography.captionBold
            }

            ComboBox {
                id: displaySelector
                objectName: "displaySelector"
                visible: Qt.application.screens.length > 1
                width: 120; height: 26
                font: Typography.caption
                model: {
                    var labels = []
                    for (var i = 0; i < Qt.application.screens.length; ++i)
                        labels.push(Logic.displayLabel(i))
                    return labels
                }
                currentIndex: Qt.application.screens.length > 1 ? 1 : 0
                onActivated: if (panel.outputWindow) panel.outputWindow.displayIndex = currentIndex
                background: Rectangle {
                    color: Colors.surfaceDark
                    border.width: 1
                    border.color: Colors.accent
                    radius: 2
                }
                contentItem: Text {
                    leftPadding: 8
                    text: displaySelector.displayText
                    color: Colors.accent
                    font: displaySelector.font
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                }
            }

            Rectangle {
                objectName: "outputButton"
                height: 26; radius: 3
                width: panel.isOutputActive ? 110 : 90
                color: panel.isOutputActive ? Colors.recRed : Colors.accent
                opacity: outputArea.containsMouse ? 0.85 : 1.0
                Behavior on width { NumberAnimation { duration: 100 } }
                Behavior on color { ColorAnimation { duration: 150 } }
                Text {
                    objectName: "outputButtonText"
                    anchors.centerIn: parent
                    text: panel.isOutputActive ? "HIDE OUTPUT" : "OUTPUT"
                    color: panel.isOutputActive ? "white" : Colors.backgroundDark
                    font: Typography.captionBold
                }
                MouseArea {
                    id: outputArea
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: panel.toggleOutput()
                }
            }
        }

        // Arming overlay, above everything else in the frame.
        Rectangle {
            objectName: "armingOverlay"
            anchors.fill: parent
            visible: AppManager.isArming
            color: Qt.rgba(0, 0, 0, 0.75)
            z: 10

            Column {
                anchors.centerIn: parent
                spacing: 16
                Rectangle {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 100; height: 100; radius: 50
                    color: Qt.rgba(217 / 255, 119 / 255, 6 / 255, 0.25)
                    border.width: 3
                    border.color: "#f59e0b"
                    Text {
                        anchors.centerIn: parent
                        text: AppManager.countdownSeconds > 0 ? AppManager.countdownSeconds : "SYNC"
                        color: "#fbbf24"
                        font.family: "Segoe UI"
                        font.pixelSize: 46
                        font.bold: true
                    }
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "LOCKSTEP SYNC BRIDGE"
                    color: "white"
                    font: Typography.heading1
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Synchronizing hardware clocks & pre-warming video encoders..."
                    color: "#d1d5db"
                    font: Typography.body
                }
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 10
                    Repeater {
                        model: 3
                        Rectangle {
                            objectName: "stepBar" + index
                            width: 32; height: 6; radius: 3
                            color: Logic.stepBarLit(index, AppManager.countdownSeconds) ? "#f59e0b" : Qt.rgba(1, 1, 1, 0.2)
                        }
                    }
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Click REC ALL button to Cancel"
                    color: "#9ca3af"
                    font: Typography.caption
                }
            }
        }
    }
}
