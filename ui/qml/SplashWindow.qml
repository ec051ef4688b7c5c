import QtQuick
import QtQuick.Window
import Korvex 1.0

// Shown while the backend scans the devices; the shell closes it once the
// status text reads "DONE".
Window {
    id: splash
    width: 600
    height: 340
    visible: true
    flags: Qt.SplashScreen | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    color: Colors.backgroundDark
    title: "Korvex"

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0.0; color: "#111418" }
            GradientStop { position: 1.0; color: Colors.backgroundDark }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 20

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 5
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "Korvex"
                color: Colors.textPrimary
                font.family: "Segoe UI"
                font.pixelSize: 42
                font.bold: true
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "2.4.6b"
                color: Colors.accent
                font.family: "Segoe UI"
                font.pixelSize: 14
                font.bold: true
                font.letterSpacing: 2
            }
        }

        Item { width: 1; height: 30 }

        Column {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 12
            Rectangle {
                id: track
                width: 300
                height: 4
                radius: 2
                color: Colors.surfaceDark
                clip: true
                Rectangle {
                    id: sweep
                    objectName: "progressSweep"
                    width: 60
                    height: 4
                    radius: 2
                    color: Colors.accent
                    x: -60
                    NumberAnimation on x {
                        from: -60
                        to: 300
                        duration: 1500
                        easing.type: Easing.InOutQuad
                        loops: Animation.Infinite
                        running: true
                    }
                }
            }
            Text {
                objectName: "splashStatus"
                anchors.horizontalCenter: parent.horizontalCenter
                text: AppManager.splashStatusText
                color: Colors.textSecondary
                font.family: "Segoe UI"
                font.pixelSize: 12
            }
        }
    }

    // the accent frame lies above everything
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: Colors.accent
        z: 100
    }
}
