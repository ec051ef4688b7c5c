import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import QtQuick.Window as WindowTypes
import Korvex 1.0
import "../Controls/Bilingual.js" as Bilingual
import "WindowLoader.js" as WindowLoader

// The main window's title bar: name, take state, transport and the window
// buttons. Pressing the bare bar moves the frameless window.
// The add-source and remote buttons reach the main window's overlays through
// its ids `sourceConfigDialog` and `remoteControlDialog`.
Rectangle {
    id: root

    // created on first use and kept, so a closed window reopens with its state
    property var controlWindow: null
    property var helpWindow: null

    color: Colors.panelDark
    border.width: 1
    border.color: Colors.borderDark

    readonly property bool remoteRunning: RemoteServer.isRunning
    readonly property string remoteToolTip: Bilingual.pick(AppManager.currentLanguage,
                                                           "Remote Control (Phone Web App & QR)",
                                                           "Daljinska Kontrola (Telefon Web App & QR)")

    function openSettingsWindow() {
        if (WindowLoader.showExisting(controlWindow))
            return
        controlWindow = null
        controlWindow = WindowLoader.create(Qt.createComponent("SettingsDialog.qml"), null,
                                            "Error loading settings dialog: ")
        if (controlWindow)
            controlWindow.show()
    }

    function openHelpWindow() {
        if (WindowLoader.showExisting(helpWindow))
            return
        helpWindow = null
        helpWindow = WindowLoader.create(Qt.createComponent("HelpWindow.qml"), null,
                                         "Error loading help window: ")
        if (helpWindow)
            helpWindow.show()
    }

    Shortcut {
        sequence: "F1"
        onActivated: root.openHelpWindow()
    }

    // below every control: a press on the bare bar moves the window
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton
        onPressed: if (root.Window.window) root.Window.window.startSystemMove()
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        spacing: 0

        Text {
            text: "KORVEX"
            color: Colors.accent
            font: Typography.heading2
        }
        Rectangle {
            Layout.leftMargin: 4
            Layout.alignment: Qt.AlignVCenter
            width: 8; height: 8; radius: 4
            color: Colors.liveGreen
        }
        Text {
            Layout.leftMargin: 4
            text: "2.4.6b"
            color: Colors.textSecondary
            font: Typography.caption
        }
        Rectangle {
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.alignment: Qt.AlignVCenter
            width: 1; height: 16
            color: Colors.borderDark
        }
        Text {
            objectName: "stateText"
            font: Typography.bodyBold
            text: AppManager.isRecording ? "RECORDING"
                : AppManager.isArming ? "ARMED"
                : AppManager.activeSessionName
            color: AppManager.isRecording ? Colors.recordingRed
                 : AppManager.isArming ? Colors.accent
                 : Colors.textMuted
        }

        Item { Layout.fillWidth: true }

        TransportControls {
            Layout.alignment: Qt.AlignVCenter
        }

        Row {
            Layout.alignment: Qt.AlignVCenter
            Layout.leftMargin: 12
            spacing: 0

            DarkButton {
                objectName: "addSourceButton"
                width: 96; height: 32
                visible: ChannelsModel.activeVideoCount < 4
                onClicked: sourceConfigDialog.openForChannel(ChannelsModel.firstInactiveChannelId, false)
                Row {
                    anchors.centerIn: parent
                    spacing: 4
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "+"
                        color: Colors.accent
                        font.bold: true
                        font.pixelSize: 14
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "SOURCE"
                        color: Colors.textPrimary
                        font: Typography.captionBold
                    }
                }
            }

            DarkButton {
                id: helpButton
                objectName: "helpButton"
                width: 36; height: 32
                onClicked: root.openHelpWindow()
                Rectangle {
                    anchors.centerIn: parent
                    width: 24; height: 24; radius: 3
                    color: helpButton.hovered ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15) : "transparent"
                    border.width: 1
                    border.color: helpButton.hovered ? Colors.accent : Colors.borderDark
                    Text {
                        anchors.centerIn: parent
                        text: "?"
                        font.pixelSize: 13
                        font.bold: true
                        color: helpButton.hovered ? Colors.accent : Colors.textPrimary
                    }
                }
                HoverHandler { cursorShape: Qt.PointingHandCursor }
            }

            DarkButton {
                id: remoteButton
                objectName: "remoteButton"
                width: 38; height: 32
                onClicked: remoteControlDialog.openDialog()
                ToolTip.visible: remoteButton.hovered
                ToolTip.delay: 400
                ToolTip.text: root.remoteToolTip
                Rectangle {
                    id: remoteBox
                    anchors.centerIn: parent
                    width: 26; height: 26; radius: 3
                    color: remoteButton.hovered ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15) : "transparent"
                    border.width: 1
                    border.color: root.remoteRunning ? Colors.liveGreen
                                : remoteButton.hovered ? Colors.accent
                                : Colors.borderDark
                    Text {
                        anchors.centerIn: parent
                        text: "📱"
                        font.family: "Segoe UI Emoji"
                        font.pixelSize: 14
                    }
                    Rectangle {
                        objectName: "remoteRunningDot"
                        visible: root.remoteRunning
                        anchors.top: parent.top
                        anchors.right: parent.right
                        anchors.margins: 2
                        width: 6; height: 6; radius: 3
                        color: Colors.liveGreen
                    }
                }
            }

            DarkButton {
                objectName: "settingsButton"
                width: 40; height: 32
                onClicked: root.openSettingsWindow()
                Text {
                    anchors.centerIn: parent
                    text: "⚙"
                    font.pixelSize: 18
                    color: Colors.textSecondary
                }
            }

            DarkButton {
                objectName: "minimizeButton"
                width: 40; height: 32
                onClicked: root.Window.window.showMinimized()
                Text {
                    anchors.centerIn: parent
                    text: "—"
                    color: Colors.textSecondary
                }
            }

            DarkButton {
                objectName: "maximizeButton"
                width: 40; height: 32
                onClicked: {
                    var win = root.Window.window
                    if (win.visibility === WindowTypes.Window.Maximized)
                        win.showNormal()
                    else
                        win.showMaximized()
                }
                Text {
                    anchors.centerIn: parent
                    text: "☐"
                    font.pixelSize: 16
                    color: Colors.textSecondary
                }
            }

            DarkButton {
                objectName: "closeButton"
                width: 40; height: 32
                onClicked: root.Window.window.close()
                Text {
                    anchors.centerIn: parent
                    text: "✕"
                    font.pixelSize: 14
                    color: Colors.recRed
                }
            }
        }
    }
}
