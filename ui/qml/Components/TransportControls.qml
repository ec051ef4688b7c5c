import QtQuick
import Korvex 1.0

// Timecode and the REC button: arms a take, cancels the countdown, or stops
// the running take, depending on the manager's state.
Row {
    id: root
    spacing: 12

    readonly property bool arming: AppManager.isArming
    readonly property bool recording: AppManager.isRecording

    Item {
        // the timecode keeps 20 px of room before the button
        width: timecodeText.implicitWidth + 20
        height: recButton.height
        Text {
            id: timecodeText
            objectName: "timecodeText"
            anchors.verticalCenter: parent.verticalCenter
            font: Typography.mono
            text: root.arming ? "SYNC IN " + AppManager.countdownSeconds + "s" : AppManager.timecode
            color: root.arming ? "#f59e0b" : root.recording ? Colors.recRed : Colors.textPrimary
        }
    }

    Rectangle {
        id: recButton
        objectName: "recButton"
        height: 36
        radius: 18
        width: root.arming ? 130 : 120
        color: root.arming ? (recMouse.containsMouse ? "#f59e0b" : "#d97706")
             : root.recording ? (recMouse.containsMouse ? Qt.lighter(Colors.borderDark, 1.2) : Colors.borderDark)
             : (recMouse.containsMouse ? Qt.lighter(Colors.recRed, 1.1) : Colors.recRed)

        Behavior on color { ColorAnimation { duration: 150 } }
        Behavior on width { NumberAnimation { duration: 100 } }

        Row {
            anchors.centerIn: parent
            spacing: 8
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 10; height: 10; radius: 5
                color: root.arming ? "#fbbf24" : "white"
            }
            Text {
                objectName: "recLabel"
                anchors.verticalCenter: parent.verticalCenter
                color: "white"
                font: Typography.bodyBold
                text: root.arming ? "SYNC " + AppManager.countdownSeconds + "s"
                    : root.recording ? "STOP REC" : "REC ALL"
            }
        }

        MouseArea {
            id: recMouse
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                if (AppManager.isArming)
                    AppManager.cancelArming()
                else if (AppManager.isRecording)
                    AppManager.stopRecording()
                else
                    AppManager.armRecording()
            }
        }
    }
}
