// The operator's main window: a frameless window that draws its own header,
// status bar and resize borders.
//
// The views inside it: the camera grid (IsoMonitorGrid), the program preview
// (MainPreviewPanel), the audio mixer (AudioMixerPanel, whose contentWidth
// limits how wide the splitter lets it grow) and the overlays. Components
// reach the overlays through their ids: sourceConfigDialog.openForChannel(id,
// editMode), remoteControlDialog.openDialog(); the update overlay shows
// itself when an update is available.
import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Qt.labs.settings 1.0
import Korvex 1.0
import "MixerSplitter.js" as Splitter

Window {
    id: mainWindow

    width: 1280
    height: 720
    minimumWidth: 1024
    minimumHeight: 640
    visible: true
    title: "Korvex Studio 2.4.6b"
    color: Colors.backgroundDark
    flags: Qt.Window | Qt.FramelessWindowHint

    // resize borders exist only while the window is neither maximized nor fullscreen
    readonly property bool restored: visibility !== Window.Maximized && visibility !== Window.FullScreen

    // A resize border: a press starts the system resize from its edges.
    component ResizeArea: MouseArea {
        property int edges: 0
        onPressed: mainWindow.startSystemResize(edges)
    }

    Settings {
        id: layoutSettings
        category: "Layout"
        property real audioMixerWidth: Splitter.defaultMixerWidth
    }

    // the stored recording choices reach the backend before the first take;
    // the encoder once the start-up probe has listed what works here
    RecordingConfigStore {
        id: storedRecordingConfig
        Component.onCompleted: encoderListWatch.enabled = !pushToBackend()
    }

    Connections {
        id: encoderListWatch
        target: AppManager
        enabled: false
        function onEncoderCapabilitiesChanged() {
            if (storedRecordingConfig.pushEncoder())
                enabled = false
        }
    }

    Connections {
        target: AppManager
        function onDaVinciScriptInstalled(isAutoRepair) {
            if (isAutoRepair)
                resolveToast.show()
        }
    }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        focus: true
        clip: true

        ColumnLayout {
            anchors.fill: parent
            spacing: 0

            TopHeaderBar {
                id: topHeaderBar
                objectName: "topHeaderBar"
                Layout.fillWidth: true
                Layout.preferredHeight: 60
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 0

                ColumnLayout {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.margins: 10
                    spacing: 10

                    Item {
                        id: isoMonitorGridSlot
                        objectName: "isoMonitorGridSlot"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        Layout.preferredHeight: 1
                        Layout.minimumHeight: 160

                        IsoMonitorGrid { id: isoMonitorGrid; objectName: "isoMonitorGrid"; anchors.fill: parent }
                    }

                    RowLayout {
                        id: bottomRow
                        objectName: "bottomRow"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        Layout.preferredHeight: 1
                        Layout.minimumHeight: 200
                        spacing: 4

                        // the widest the mixer may be in this window
                        readonly property real mixerMaxWidth: Splitter.maximumWidth(width, audioMixerPanel.contentWidth)
                        // -1 until the operator drags or double-clicks the splitter
                        property real chosenMixerWidth: -1
                        readonly property real mixerPreferredWidth: chosenMixerWidth < 0
                            ? Splitter.initialWidth(layoutSettings.audioMixerWidth, mixerMaxWidth)
                            : chosenMixerWidth

                        function chooseMixerWidth(w) {
                            chosenMixerWidth = w
                            layoutSettings.audioMixerWidth = w
                        }

                        Item {
                            id: mainPreviewSlot
                            objectName: "mainPreviewSlot"
                            Layout.fillWidth: true
                            Layout.fillHeight: true
                            Layout.minimumWidth: 260

                            MainPreviewPanel { id: mainPreviewPanel; objectName: "mainPreviewPanel"; anchors.fill: parent }
                        }

                        Item {
                            id: mixerSplitter
                            objectName: "mixerSplitter"
                            Layout.fillHeight: true
                            Layout.preferredWidth: 8

                            readonly property bool active: splitterMouse.containsMouse || splitterMouse.pressed

                            Rectangle {
                                anchors.centerIn: parent
                                height: parent.height - 20
                                radius: 2
                                width: mixerSplitter.active ? 4 : 2
                                color: splitterMouse.pressed ? Colors.accent
                                     : splitterMouse.containsMouse ? "#60a5fa"
                                     : Colors.borderDark
                                Behavior on width { NumberAnimation { duration: 120 } }
                                Behavior on color { ColorAnimation { duration: 120 } }
                            }

                            Column {
                                anchors.centerIn: parent
                                spacing: 4
                                visible: !mixerSplitter.active
                                Repeater {
                                    model: 3
                                    Rectangle { width: 2; height: 2; radius: 1; color: "#64748b" }
                                }
                            }

                            MouseArea {
                                id: splitterMouse
                                objectName: "splitterMouse"
                                anchors.fill: parent
                                anchors.margins: -4
                                hoverEnabled: true
                                cursorShape: Qt.SizeHorCursor

                                property real pressX: 0
                                property real widthAtPress: 0

                                onPressed: function(mouse) {
                                    pressX = mapToItem(null, mouse.x, mouse.y).x
                                    widthAtPress = bottomRow.mixerPreferredWidth
                                }
                                onPositionChanged: function(mouse) {
                                    if (!pressed)
                                        return
                                    var x = mapToItem(null, mouse.x, mouse.y).x
                                    bottomRow.chooseMixerWidth(
                                        Splitter.draggedWidth(widthAtPress, pressX, x, bottomRow.mixerMaxWidth))
                                }
                                onDoubleClicked: {
                                    bottomRow.chooseMixerWidth(
                                        Splitter.toggledWidth(bottomRow.mixerPreferredWidth, bottomRow.mixerMaxWidth))
                                }
                            }
                        }

                        Item {
                            id: audioMixerSlot
                            objectName: "audioMixerSlot"
                            Layout.fillHeight: true
                            Layout.minimumWidth: Splitter.minimumMixerWidth
                            Layout.maximumWidth: bottomRow.mixerMaxWidth
                            Layout.preferredWidth: bottomRow.mixerPreferredWidth

                            AudioMixerPanel { id: audioMixerPanel; objectName: "audioMixerPanel"; anchors.fill: parent }
                        }
                    }
                }
            }

            BottomStatusBar {
                id: bottomStatusBar
                objectName: "bottomStatusBar"
                Layout.fillWidth: true
                Layout.preferredHeight: 32
            }
        }

        SourceConfigDialog {
            id: sourceConfigDialog
            objectName: "sourceConfigDialog"
            anchors.fill: parent
            z: 150
        }

        RemoteControlDialog {
            id: remoteControlDialog
            objectName: "remoteControlDialog"
            anchors.fill: parent
            z: 180
        }

        UpdateDialog {
            id: updateDialog
            objectName: "updateDialog"
            anchors.fill: parent
            z: 200
        }

        // A take that could not start says why, until the operator closes it.
        Rectangle {
            id: recordingNotice
            objectName: "recordingNotice"
            property string message: ""
            z: 260
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: parent.top
            anchors.topMargin: 72
            width: Math.min(parent.width - 80, noticeText.implicitWidth + 80)
            height: 44
            radius: 6
            color: Colors.panelDark
            border.width: 1
            border.color: Colors.recRed
            visible: message !== ""

            Connections {
                target: AppManager
                function onRecordingNotice(message) { recordingNotice.message = message }
            }

            Text {
                id: noticeText
                objectName: "recordingNoticeText"
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.right: noticeClose.left
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                text: "\u26A0 " + recordingNotice.message
                elide: Text.ElideRight
                color: Colors.textPrimary
                font: Typography.bodyBold
            }

            Text {
                id: noticeClose
                anchors.right: parent.right
                anchors.rightMargin: 16
                anchors.verticalCenter: parent.verticalCenter
                text: "\u2715"
                color: Colors.textSecondary
                font: Typography.bodyBold
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -8
                    onClicked: recordingNotice.message = ""
                }
            }
        }

        Rectangle {
            id: resolveToast
            objectName: "resolveToast"
            z: 250
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 48
            width: toastText.implicitWidth + 40
            height: 40
            radius: 6
            color: Colors.panelDark
            border.width: 1
            border.color: Colors.liveGreen
            opacity: 0
            visible: opacity > 0

            function show() {
                opacity = 1
                toastTimer.restart()
            }

            Behavior on opacity { NumberAnimation { duration: 200 } }

            Text {
                id: toastText
                objectName: "resolveToastText"
                anchors.centerIn: parent
                text: "DaVinci Resolve panel was automatically installed!"
                color: Colors.textPrimary
                font: Typography.bodyBold
            }

            Timer {
                id: toastTimer
                interval: 4000
                onTriggered: resolveToast.opacity = 0
            }
        }

        // Resize borders of the frameless window, absent while maximized or fullscreen.
        Item {
            id: resizeBorders
            objectName: "resizeBorders"
            anchors.fill: parent
            z: 1000
            visible: mainWindow.restored

            readonly property int edge: 7
            readonly property int corner: 16

            ResizeArea {
                x: 0; y: resizeBorders.corner; width: resizeBorders.edge; height: parent.height - 2 * resizeBorders.corner
                cursorShape: Qt.SizeHorCursor; edges: Qt.LeftEdge
            }
            ResizeArea {
                x: parent.width - resizeBorders.edge; y: resizeBorders.corner
                width: resizeBorders.edge; height: parent.height - 2 * resizeBorders.corner
                cursorShape: Qt.SizeHorCursor; edges: Qt.RightEdge
            }
            ResizeArea {
                x: resizeBorders.corner; y: 0; width: parent.width - 2 * resizeBorders.corner; height: resizeBorders.edge
                cursorShape: Qt.SizeVerCursor; edges: Qt.TopEdge
            }
            ResizeArea {
                x: resizeBorders.corner; y: parent.height - resizeBorders.edge
                width: parent.width - 2 * resizeBorders.corner; height: resizeBorders.edge
                cursorShape: Qt.SizeVerCursor; edges: Qt.BottomEdge
            }
            ResizeArea {
                x: 0; y: 0; width: resizeBorders.corner; height: resizeBorders.corner
                cursorShape: Qt.SizeFDiagCursor; edges: Qt.LeftEdge | Qt.TopEdge
            }
            ResizeArea {
                x: parent.width - resizeBorders.corner; y: parent.height - resizeBorders.corner
                width: resizeBorders.corner; height: resizeBorders.corner
                cursorShape: Qt.SizeFDiagCursor; edges: Qt.RightEdge | Qt.BottomEdge
            }
            ResizeArea {
                x: parent.width - resizeBorders.corner; y: 0; width: resizeBorders.corner; height: resizeBorders.corner
                cursorShape: Qt.SizeBDiagCursor; edges: Qt.RightEdge | Qt.TopEdge
            }
            ResizeArea {
                x: 0; y: parent.height - resizeBorders.corner; width: resizeBorders.corner; height: resizeBorders.corner
                cursorShape: Qt.SizeBDiagCursor; edges: Qt.LeftEdge | Qt.BottomEdge
            }
        }
    }
}
