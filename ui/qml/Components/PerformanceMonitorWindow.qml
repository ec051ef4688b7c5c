import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Korvex 1.0
import "PerfMonitorFormat.js" as PerfFormat

// Live take metrics, the active settings and the tail of the program log,
// refreshed every second while the window is visible.
Window {
    id: root

    readonly property var lineColors: ({ liveGreen: Colors.liveGreen, accent: Colors.accent })

    function refreshLogs() {
        logModel.clear()
        var lines = AppManager.getRecentLogs()
        for (var i = 0; i < lines.length; ++i)
            logModel.append({ line: lines[i] })
        if (logModel.count > 0)
            logView.positionViewAtEnd()
    }

    title: "Studio Performance Monitor & Telemetry"
    width: 620
    height: 560
    minimumWidth: 500
    minimumHeight: 450
    color: Colors.backgroundDark
    flags: Qt.Window | Qt.FramelessWindowHint

    Component.onCompleted: logTimer.start()
    onVisibleChanged: visible ? logTimer.start() : logTimer.stop()

    Timer {
        id: logTimer
        objectName: "perfLogTimer"
        interval: 1000
        repeat: true
        onTriggered: root.refreshLogs()
    }

    ListModel { id: logModel }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // header: a press on the bare bar moves the window
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 46
            color: Colors.panelDark

            MouseArea {
                anchors.fill: parent
                onPressed: root.startSystemMove()
            }
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Colors.borderDark }

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 12
                spacing: 12

                Rectangle {
                    id: stateDot
                    objectName: "perfStateDot"
                    readonly property bool busy: AppManager.isRecording || AppManager.isArming
                    Layout.preferredWidth: 8
                    Layout.preferredHeight: 8
                    radius: 4
                    color: AppManager.isRecording ? Colors.recordingRed
                         : AppManager.isArming ? Colors.accent : Colors.liveGreen
                    onBusyChanged: if (!busy) opacity = 1.0

                    SequentialAnimation on opacity {
                        running: stateDot.busy
                        loops: Animation.Infinite
                        NumberAnimation { from: 1.0; to: 0.2; duration: 600 }
                        NumberAnimation { from: 0.2; to: 1.0; duration: 600 }
                    }
                }

                Text {
                    text: "STUDIO PERFORMANCE & TELEMETRY MONITOR"
                    color: Colors.textPrimary
                    font: Typography.captionBold
                }

                Item { Layout.fillWidth: true }

                Rectangle {
                    objectName: "perfStatusPill"
                    Layout.preferredHeight: 22
                    Layout.preferredWidth: statusText.implicitWidth + 14
                    radius: 3
                    border.width: 1
                    color: AppManager.isRecording ? "#450a0a" : Colors.surfaceDark
                    border.color: AppManager.isRecording ? Colors.recordingRed : Colors.borderDark
                    Text {
                        id: statusText
                        objectName: "perfStatusText"
                        anchors.centerIn: parent
                        text: AppManager.isRecording ? "RECORDING ACTIVE"
                            : AppManager.isArming ? "SYNC ARMING" : "STANDBY"
                        color: AppManager.isRecording ? Colors.recordingRed : Colors.liveGreen
                        font: Typography.smallBold
                    }
                }

                DarkButton {
                    objectName: "perfHeaderClose"
                    Layout.preferredWidth: 30
                    Layout.preferredHeight: 30
                    onClicked: root.close()
                    Text {
                        anchors.centerIn: parent
                        text: "✕"
                        font.pixelSize: 13
                        color: Colors.textSecondary
                    }
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.margins: 16
            spacing: 14

            GridLayout {
                Layout.fillWidth: true
                columns: 2
                rowSpacing: 12
                columnSpacing: 12

                Repeater {
                    model: 4
                    delegate: Rectangle {
                        id: metricCard
                        required property int index
                        readonly property int dropped: AppManager.droppedFrames
                        readonly property var valueColor: index === 0 ? PerfFormat.fpsColor(AppManager.currentFps, root.lineColors)
                                                        : index === 1 ? PerfFormat.droppedColor(dropped, root.lineColors)
                                                        : index === 2 ? Colors.accent : Colors.textPrimary
                        objectName: "perfCard" + index
                        Layout.fillWidth: true
                        Layout.preferredHeight: 76
                        color: Colors.surfaceDark
                        border.width: 1
                        border.color: Colors.borderDark
                        radius: 4

                        RowLayout {
                            anchors.fill: parent
                            anchors.margins: 12
                            spacing: 10

                            ColumnLayout {
                                Layout.fillWidth: true
                                spacing: 3
                                Text {
                                    // a filling child, so the column really fills the card
                                    Layout.fillWidth: true
                                    text: ["FPS RATE", "DROPPED FRAMES", "DISK WRITE SPEED", "CPU & MEMORY LOAD"][metricCard.index]
                                    color: Colors.textSecondary
                                    font: Typography.smallBold
                                }
                                RowLayout {
                                    spacing: 8
                                    Text {
                                        objectName: "perfCardValue" + metricCard.index
                                        text: metricCard.index === 0 ? AppManager.currentFps.toFixed(1)
                                            : metricCard.index === 1 ? String(metricCard.dropped)
                                            : metricCard.index === 2 ? AppManager.diskWriteSpeedMBs.toFixed(1)
                                            : PerfFormat.cpuMemoryText(AppManager.cpuUsage, AppManager.ramUsage)
                                        color: metricCard.valueColor
                                        font.pixelSize: metricCard.index === 3 ? 16 : 24
                                        font.bold: true
                                        font.family: "Segoe UI, sans-serif"
                                    }
                                    Text {
                                        objectName: "perfCardUnit" + metricCard.index
                                        visible: metricCard.index !== 3
                                        Layout.alignment: Qt.AlignBottom
                                        Layout.bottomMargin: 4
                                        text: metricCard.index === 0 ? "FPS"
                                            : metricCard.index === 1 ? (metricCard.dropped === 0 ? "100% SYNC" : "DROPPED")
                                            : "MB/s"
                                        color: metricCard.index === 1 ? metricCard.valueColor : Colors.textSecondary
                                        font: Typography.caption
                                    }
                                }
                            }

                            Rectangle {
                                Layout.preferredWidth: 36
                                Layout.preferredHeight: 36
                                radius: 18
                                color: "#1e293b"
                                Text {
                                    anchors.centerIn: parent
                                    text: metricCard.index === 0 ? "⚡"
                                        : metricCard.index === 1 ? (metricCard.dropped === 0 ? "✓" : "⚠")
                                        : metricCard.index === 2 ? "💾" : "⚙"
                                    font.pixelSize: 16
                                    font.bold: metricCard.index === 1
                                    color: metricCard.index === 1 ? metricCard.valueColor : Colors.textPrimary
                                }
                            }
                        }
                    }
                }
            }

            // settings strip
            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 48
                color: "#0f172a"
                border.width: 1
                border.color: Colors.borderDark
                radius: 4

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: 10
                    spacing: 14
                    Text {
                        objectName: "perfResolutionText"
                        text: "ACTIVE RESOLUTION: " + AppManager.activeResolutionName
                        color: Colors.textPrimary
                        font: Typography.captionBold
                    }
                    Rectangle { Layout.preferredWidth: 1; Layout.preferredHeight: 20; color: Colors.borderDark }
                    Text {
                        objectName: "perfGpuText"
                        Layout.fillWidth: true
                        text: "GPU: " + PerfFormat.gpuText(AppManager.hardwareGpuInfo)
                        color: Colors.textSecondary
                        font: Typography.caption
                        elide: Text.ElideRight
                    }
                }
            }

            // log block
            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: 6

                RowLayout {
                    Layout.fillWidth: true
                    Text {
                        text: "LIVE TELEMETRY & LOG STREAM (perf_stats.log)"
                        color: Colors.textSecondary
                        font: Typography.smallBold
                    }
                    Item { Layout.fillWidth: true }
                    Text {
                        text: "Auto-saved to disk"
                        color: Colors.textSecondary
                        font: Typography.caption
                    }
                }

                Rectangle {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: "#020617"
                    border.width: 1
                    border.color: Colors.borderDark
                    radius: 4
                    clip: true

                    ListView {
                        id: logView
                        objectName: "perfLogView"
                        anchors.fill: parent
                        anchors.margins: 8
                        spacing: 3
                        clip: true
                        model: logModel
                        delegate: Text {
                            required property string line
                            width: logView.width
                            text: line
                            font.pixelSize: 11
                            font.family: "Consolas, Courier New, monospace"
                            wrapMode: Text.WrapAnywhere
                            color: PerfFormat.logLineColor(line, root.lineColors)
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                DarkButton {
                    objectName: "perfBenchmarkButton"
                    Layout.preferredWidth: 170
                    Layout.preferredHeight: 34
                    onClicked: AppManager.runHardwareBenchmark()
                    Text { anchors.centerIn: parent; text: "⚡ RUN BENCHMARK"; color: Colors.textPrimary; font: Typography.captionBold }
                }
                DarkButton {
                    objectName: "perfOpenLogButton"
                    Layout.preferredWidth: 150
                    Layout.preferredHeight: 34
                    onClicked: AppManager.openLogFile()
                    Text { anchors.centerIn: parent; text: "📄 OPEN LOG FILE"; color: Colors.textPrimary; font: Typography.captionBold }
                }
                DarkButton {
                    objectName: "perfClearLogButton"
                    Layout.preferredWidth: 110
                    Layout.preferredHeight: 34
                    onClicked: {
                        AppManager.clearLogFile()
                        logModel.clear()
                    }
                    Text { anchors.centerIn: parent; text: "🗑 CLEAR LOG"; color: Colors.textSecondary; font: Typography.caption }
                }
                Item { Layout.fillWidth: true }
                DarkButton {
                    objectName: "perfCloseButton"
                    Layout.preferredWidth: 90
                    Layout.preferredHeight: 34
                    onClicked: root.close()
                    Text { anchors.centerIn: parent; text: "CLOSE"; color: Colors.textSecondary; font: Typography.captionBold }
                }
            }
        }
    }

    // outline over everything, taking no input
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: Colors.borderDark
        z: 100
    }
}
