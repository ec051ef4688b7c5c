import QtQuick
import "AudioMixerLogic.js" as Logic

// A stereo peak meter on the -60 .. 0 dB axis: a fixed gradient revealed from
// the bottom, a segment grille and a peak line that holds, then falls.
Item {
    id: root

    property real level: 0
    property real levelRight: level
    readonly property bool isStereo: width >= 14
    readonly property real fracL: Logic.levelFraction(level)
    readonly property real fracR: Logic.levelFraction(levelRight)
    property real peakL: 0
    property real peakR: 0
    property int holdCountL: 0
    property int holdCountR: 0

    implicitWidth: 18
    implicitHeight: 180

    // One peak-hold step for both sides (the timer calls it every 25 ms).
    function stepPeaks() {
        var l = Logic.peakHoldStep(fracL, peakL, holdCountL)
        peakL = l.peak
        holdCountL = l.holdCount
        var r = Logic.peakHoldStep(fracR, peakR, holdCountR)
        peakR = r.peak
        holdCountR = r.holdCount
    }

    Timer {
        interval: 25
        running: root.visible
        repeat: true
        onTriggered: root.stepPeaks()
    }

    Row {
        anchors.fill: parent
        spacing: 2

        Repeater {
            model: root.isStereo ? 2 : 1

            Rectangle {
                id: bar
                readonly property real fraction: index === 0 ? root.fracL : root.fracR
                readonly property real peak: index === 0 ? root.peakL : root.peakR
                readonly property int rows: Math.max(1, Math.ceil((height - 2) / 3))

                width: root.isStereo ? Math.max(4, Math.floor((root.width - 2) / 2)) : root.width
                height: root.height
                radius: 2
                color: "#000000"
                border.width: 1
                border.color: "#161922"
                clip: true

                // unlit matrix
                Column {
                    x: 1; y: 1
                    width: bar.width - 2
                    spacing: 1
                    Repeater {
                        model: bar.rows
                        Rectangle { width: parent.width; height: 2; color: "#080a0f" }
                    }
                }

                // lit part: the lower part of a bar-tall gradient
                Item {
                    id: lit
                    x: 1
                    width: bar.width - 2
                    height: Math.round((bar.height - 2) * bar.fraction)
                    y: bar.height - 1 - height
                    clip: true

                    Rectangle {
                        width: parent.width
                        height: bar.height - 2
                        y: parent.height - height
                        gradient: Gradient {
                            GradientStop { position: 0.00; color: "#FF003C" }
                            GradientStop { position: 0.05; color: "#FF2600" }
                            GradientStop { position: 0.10; color: "#FF8000" }
                            GradientStop { position: 0.20; color: "#FFD000" }
                            GradientStop { position: 0.30; color: "#99FF00" }
                            GradientStop { position: 0.50; color: "#00FF66" }
                            GradientStop { position: 0.75; color: "#00D672" }
                            GradientStop { position: 1.00; color: "#00552B" }
                        }
                    }
                    // segment grille: 1 px black lines, 2 px lit segments
                    Column {
                        y: parent.height - (bar.height - 2)
                        width: parent.width
                        Repeater {
                            model: bar.rows
                            Item {
                                width: lit.width; height: 3
                                Rectangle { y: 2; width: parent.width; height: 1; color: "#000000" }
                            }
                        }
                    }
                }

                // peak line
                Rectangle {
                    visible: bar.peak > 0.02
                    x: 1
                    y: Logic.peakLineY(bar.height, bar.peak)
                    width: bar.width - 2
                    height: 2
                    radius: 1
                    color: Logic.peakColor(bar.peak)
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width; height: 1
                        color: "#FFFFFF"; opacity: 0.85
                    }
                }
            }
        }
    }
}
