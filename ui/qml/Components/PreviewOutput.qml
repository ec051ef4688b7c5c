import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Korvex 1.0
import "MonitorLogic.js" as Logic

// The program output window: the active source fullscreen or windowed on a
// chosen display, with an overlay bar that shows itself on pointer movement.
Window {
    id: output

    property int displayIndex: 0
    property int channelIndex: 1
    property bool isFullscreenMode: true
    property bool overlayVisible: true

    title: "Korvex – Program Output (CH " + channelIndex + ")"
    color: "#000000"
    width: 1280
    height: 720
    minimumWidth: 480
    minimumHeight: 270
    visible: false

    // The display the window is shown on. A displayIndex past the last screen
    // (a display was unplugged) falls back to the last screen; the info text
    // and the display menu name that screen, not one that is not there.
    readonly property int shownDisplayIndex: {
        var i = Logic.clampScreenIndex(displayIndex, Qt.application.screens.length)
        return i < 0 ? displayIndex : i
    }
    readonly property string displayLabel: Logic.displayLabel(shownDisplayIndex)

    function getTargetScreen(idx) {
        var screens = Qt.application.screens
        var i = Logic.clampScreenIndex(idx === undefined ? displayIndex : idx, screens.length)
        return i < 0 ? null : screens[i]
    }

    function openOutput(idx) {
        if (idx !== undefined)
            displayIndex = idx
        var screen = getTargetScreen()
        if (!screen) {
            show()
            return
        }
        if (isFullscreenMode)
            applyFullscreen(screen)
        else
            applyWindowed(screen)
    }

    function applyFullscreen(screen) {
        var s = screen || getTargetScreen()
        if (!s)
            return
        isFullscreenMode = true
        output.screen = s
        x = s.virtualX
        y = s.virtualY
        width = s.width
        height = s.height
        showFullScreen()
        raise()
        requestActivate()
        showOverlayBriefly()
    }

    function applyWindowed(screen) {
        var s = screen || getTargetScreen()
        if (!s)
            return
        isFullscreenMode = false
        if (visibility === Window.FullScreen)
            showNormal()
        output.screen = s
        var g = Logic.windowedGeometry({ x: s.virtualX, y: s.virtualY, width: s.width, height: s.height })
        width = g.width
        height = g.height
        x = g.x
        y = g.y
        showNormal()
        raise()
        requestActivate()
        showOverlayBriefly()
    }

    function toggleFullscreen() {
        if (isFullscreenMode || visibility === Window.FullScreen)
            applyWindowed(getTargetScreen())
        else
            applyFullscreen(getTargetScreen())
    }

    function closeOutput() {
        if (visibility === Window.FullScreen)
            showNormal()
        close()
    }

    function repositionToScreen(idx) {
        displayIndex = idx
        var s = getTargetScreen()
        if (visible && s) {
            if (isFullscreenMode)
                applyFullscreen(s)
            else
                applyWindowed(s)
        }
    }

    function showOverlayBriefly() {
        overlayVisible = true
        overlayTimer.restart()
    }

    onClosing: if (visibility === Window.FullScreen) showNormal()
    Component.onCompleted: showOverlayBriefly()

    Timer {
        id: overlayTimer
        interval: 3000
        onTriggered: if (!pictureArea.containsMouse && !barArea.containsMouse) output.overlayVisible = false
    }

    Rectangle { anchors.fill: parent; color: "#000000" }

    VideoStreamItem {
        objectName: "outputVideo"
        anchors.fill: parent
        channelIndex: output.channelIndex
    }

    MouseArea {
        id: pictureArea
        objectName: "pictureArea"
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPositionChanged: output.showOverlayBriefly()
        onClicked: function (mouse) {
            if (mouse.button === Qt.RightButton)
                contextMenu.popup()
            else
                output.showOverlayBriefly()
        }
        onDoubleClicked: function (mouse) {
            if (mouse.button === Qt.LeftButton)
                output.toggleFullscreen()
        }
    }

    Rectangle {
        objectName: "overlayBar"
        visible: output.overlayVisible
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 44
        color: Qt.rgba(13 / 255, 17 / 255, 23 / 255, 0.92)
        border.width: 1
        border.color: Colors.borderDark

        MouseArea {
            id: barArea
            anchors.fill: parent
            hoverEnabled: true
            onPressed: if (!output.isFullscreenMode) output.startSystemMove()
            onDoubleClicked: output.toggleFullscreen()
            onPositionChanged: output.showOverlayBriefly()
        }

        Row {
            anchors.fill: parent
            anchors.leftMargin: 16
            anchors.rightMargin: 16
            spacing: 10

            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                height: 24
                width: liveText.implicitWidth + 16
                radius: 3
                color: Colors.recRed
                Text { id: liveText; anchors.centerIn: parent; text: "LIVE OUTPUT"; color: "white"; font: Typography.smallBold }
            }
            Text {
                objectName: "outputInfo"
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - x - modeButton.width - closeButton.width - 2 * parent.spacing
                elide: Text.ElideRight
                color: Colors.textPrimary
                font: Typography.captionBold
                text: "PROGRAM (CH " + output.channelIndex + ")  •  " + output.displayLabel
                      + (output.isFullscreenMode ? " [FULLSCREEN]" : " [WINDOWED]")
            }
            Rectangle {
                id: modeButton
                objectName: "modeButton"
                anchors.verticalCenter: parent.verticalCenter
                height: 28
                width: modeRow.implicitWidth + 24
                radius: 4
                border.width: 1
                color: modeArea.containsMouse ? Colors.surfaceDark : Colors.panelDark
                border.color: modeArea.containsMouse ? Colors.accent : Colors.borderDark
                Row {
                    id: modeRow
                    anchors.centerIn: parent
                    spacing: 6
                    Text {
                        text: output.isFullscreenMode ? "🗗" : "⛶"
                        font.pixelSize: 13
                        color: modeArea.containsMouse ? Colors.accent : Colors.textPrimary
                    }
                    Text {
                        objectName: "modeText"
                        text: output.isFullscreenMode ? "CHANGE TO WINDOW" : "FULLSCREEN"
                        font: Typography.smallBold
                        color: modeArea.containsMouse ? Colors.accent : Colors.textPrimary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                MouseArea { id: modeArea; anchors.fill: parent; hoverEnabled: true; onClicked: output.toggleFullscreen() }
            }
            Rectangle {
                id: closeButton
                objectName: "closeButton"
                anchors.verticalCenter: parent.verticalCenter
                width: 72; height: 28; radius: 4
                border.width: 1
                color: closeArea.containsMouse ? Colors.recRed : Colors.surfaceDark
                border.color: closeArea.containsMouse ? Colors.recRed : Colors.borderDark
                Row {
                    anchors.centerIn: parent
                    spacing: 4
                    Text { text: "✕"; font.pixelSize: 12; font.bold: true; color: closeArea.containsMouse ? "white" : Colors.recRed }
                    Text { text: "CLOSE"; font: Typography.smallBold; color: closeArea.containsMouse ? "white" : Colors.textPrimary; anchors.verticalCenter: parent.verticalCenter }
                }
                MouseArea { id: closeArea; anchors.fill: parent; hoverEnabled: true; onClicked: output.closeOutput() }
            }
        }
    }

    Menu {
        id: contextMenu
        objectName: "contextMenu"
        MenuItem {
            text: output.isFullscreenMode ? "Change to Windowed Mode (Esc)" : "Switch to Fullscreen (F11)"
            onTriggered: output.toggleFullscreen()
        }
        MenuSeparator {}
        Menu {
            objectName: "displayMenu"
            title: "Select Display Monitor"
            Repeater {
                model: Qt.application.screens.length
                MenuItem {
                    text: Logic.displayLabel(index) + (index === output.shownDisplayIndex ? "  ✓" : "")
                    onTriggered: output.repositionToScreen(index)
                }
            }
        }
        MenuSeparator {}
        MenuItem { text: "Close Output Monitor"; onTriggered: output.closeOutput() }
    }

    Shortcut {
        sequence: "Escape"
        onActivated: {
            if (output.isFullscreenMode || output.visibility === Window.FullScreen)
                output.applyWindowed(output.getTargetScreen())
            else
                output.closeOutput()
        }
    }
    Shortcut { sequences: ["F11", "F"]; onActivated: output.toggleFullscreen() }
}
