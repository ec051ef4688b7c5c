import QtQuick
import QtQuick.Window

Window {
    id: root
    title: "Korvex Studio Installer"
    width: 800
    height: 500
    minimumWidth: 800
    minimumHeight: 500
    maximumWidth: 800
    maximumHeight: 500
    visible: true
    flags: Qt.Window | Qt.FramelessWindowHint
    color: "#000000"

    readonly property color panelColor: "#07090B"
    readonly property color borderColor: "#182027"
    readonly property color primaryText: "#FFFFFF"
    readonly property color secondaryText: "#B8C2C8"
    readonly property color accentColor: "#35D5CE"
    readonly property color fieldColor: "#020304"
    readonly property int stateWelcome: 0
    readonly property int stateDL: 1
    readonly property int stateInstall: 2
    readonly property int stateFinish: 3
    readonly property int stateError: 4
    readonly property int installerState: installerBackend.state

    // Dragging anywhere moves the frameless window.
    MouseArea {
        anchors.fill: parent
        onPressed: root.startSystemMove()
    }

    Rectangle {
        id: header
        objectName: "header"
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 50
        color: root.panelColor

        Text {
            anchors { left: parent.left; leftMargin: 20; verticalCenter: parent.verticalCenter }
            text: "Korvex Studio Installer"
            color: root.primaryText
            font.pixelSize: 16
            font.bold: true
        }

        Rectangle {
            id: closeButton
            objectName: "closeButton"
            width: 30
            height: 30
            anchors { right: parent.right; rightMargin: 10; verticalCenter: parent.verticalCenter }
            radius: 3
            color: closeArea.containsMouse ? "#E81123" : "transparent"

            Text {
                anchors.centerIn: parent
                text: "X"
                color: closeArea.containsMouse ? "#FFFFFF" : root.secondaryText
                font.pixelSize: 14
                font.bold: true
            }

            MouseArea {
                id: closeArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: Qt.quit()
            }
        }

        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 1
            color: root.borderColor
        }
    }

    Item {
        id: content
        anchors { left: parent.left; right: parent.right; top: header.bottom; bottom: parent.bottom }

        Column {
            id: welcomeView
            objectName: "welcomeView"
            visible: root.installerState === root.stateWelcome
            anchors.centerIn: parent
            width: 500
            spacing: 18

            Text {
                text: "Welcome to Korvex Studio"
                color: root.accentColor
                font.pixelSize: 24
                font.bold: true
            }

            Text {
                text: "Select installation directory:"
                color: root.secondaryText
                font.pixelSize: 14
            }

            Row {
                width: parent.width
                spacing: 10

                Rectangle {
                    width: parent.width - browseButton.width - parent.spacing
                    height: 36
                    color: root.fieldColor
                    border.color: root.borderColor
                    border.width: 1
                    radius: 3
                    clip: true

                    TextInput {
                        objectName: "pathField"
                        anchors { fill: parent; leftMargin: 10; rightMargin: 10 }
                        verticalAlignment: TextInput.AlignVCenter
                        text: installerBackend.installPath
                        readOnly: true
                        selectByMouse: true
                        color: root.primaryText
                        font.pixelSize: 13
                    }
                }

                Rectangle {
                    id: browseButton
                    objectName: "browseButton"
                    width: 100
                    height: 36
                    radius: 3
                    color: browseArea.pressed ? Qt.rgba(0.21, 0.84, 0.81, 0.15) : "transparent"
                    border.color: root.accentColor
                    border.width: 1

                    Text {
                        anchors.centerIn: parent
                        text: "Browse"
                        color: root.accentColor
                        font.pixelSize: 13
                        font.bold: true
                    }

                    MouseArea {
                        id: browseArea
                        anchors.fill: parent
                        onClicked: installerBackend.browsePath()
                    }
                }
            }

            Item { width: 1; height: 10 }

            Rectangle {
                id: installButton
                objectName: "installButton"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 200
                height: 40
                radius: 3
                color: installArea.pressed ? Qt.darker(root.accentColor, 1.15) : root.accentColor

                Text {
                    anchors.centerIn: parent
                    text: "Install"
                    color: "#000000"
                    font.pixelSize: 15
                    font.bold: true
                }

                MouseArea {
                    id: installArea
                    anchors.fill: parent
                    onClicked: installerBackend.startInstallation()
                }
            }
        }

        Column {
            id: progressView
            objectName: "progressView"
            visible: root.installerState === root.stateDL || root.installerState === root.stateInstall
                     || root.installerState === root.stateError
            anchors.centerIn: parent
            width: 500
            spacing: 16

            Text {
                objectName: "progressHeading"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.installerState === root.stateError ? "Error" : "Please wait..."
                color: root.installerState === root.stateError ? "#ED4545" : root.accentColor
                font.pixelSize: 24
                font.bold: true
            }

            Text {
                objectName: "progressStatus"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: installerBackend.statusText
                color: root.secondaryText
                font.pixelSize: 14
            }

            Rectangle {
                objectName: "progressBar"
                visible: root.installerState === root.stateDL
                width: parent.width
                height: 10
                radius: 5
                color: root.fieldColor
                border.color: root.borderColor
                border.width: 1

                Rectangle {
                    objectName: "progressFill"
                    anchors { left: parent.left; top: parent.top; bottom: parent.bottom }
                    width: parent.width * Math.max(0, Math.min(1, installerBackend.downloadProgress))
                    radius: 5
                    color: root.accentColor
                }
            }
        }

        Column {
            id: finishView
            objectName: "finishView"
            visible: root.installerState === root.stateFinish
            anchors.centerIn: parent
            width: 500
            spacing: 18

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Installation Complete!"
                color: "#34C759"
                font.pixelSize: 24
                font.bold: true
            }

            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: installerBackend.statusText
                color: root.secondaryText
                font.pixelSize: 14
            }

            Rectangle {
                objectName: "finishButton"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 200
                height: 40
                radius: 3
                color: finishArea.pressed ? Qt.darker(root.accentColor, 1.15) : root.accentColor

                Text {
                    anchors.centerIn: parent
                    text: "Finish"
                    color: "#000000"
                    font.pixelSize: 15
                    font.bold: true
                }

                MouseArea {
                    id: finishArea
                    anchors.fill: parent
                    onClicked: Qt.quit()
                }
            }
        }
    }

    // The 1-pixel frame drawn above everything.
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.color: root.borderColor
        border.width: 1
    }
}
