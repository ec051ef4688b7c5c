import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvex 1.0

// The update overlay: shown by itself while the update manager reports a newer
// version; drives download, cancel and install. Serbian texts only.
Item {
    id: root
    objectName: "updateDialog"
    anchors.fill: parent
    z: 200
    visible: UpdateManager.updateAvailable

    readonly property bool ready: UpdateManager.updateReadyToInstall
    readonly property bool downloading: UpdateManager.isDownloading

    // Close and "later": a running download is cancelled before the update is put aside.
    function dismiss() {
        if (UpdateManager.isDownloading)
            UpdateManager.cancelDownload()
        UpdateManager.dismissUpdate()
    }

    function mainAction() {
        if (UpdateManager.updateReadyToInstall)
            UpdateManager.installAndRestart()
        else if (!UpdateManager.isDownloading)
            UpdateManager.startDownload()
    }

    // Backdrop: swallows every click outside the card.
    Rectangle {
        anchors.fill: parent
        color: "#000000"
        opacity: 0.75
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            onWheel: (wheel) => { wheel.accepted = true }
        }
    }

    Rectangle {
        id: card
        objectName: "updateCard"
        width: 520
        height: Math.min(620, root.height - 40)
        anchors.centerIn: parent
        color: Colors.panelDark
        border.width: 1
        border.color: Colors.accent
        radius: 6
        clip: true

        MouseArea { anchors.fill: parent; acceptedButtons: Qt.AllButtons }

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 24
            spacing: 16

            // 1. Header
            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                Rectangle {
                    Layout.preferredWidth: 38
                    Layout.preferredHeight: 38
                    radius: 19
                    color: Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                    border.width: 1
                    border.color: Colors.accent
                    Text {
                        anchors.centerIn: parent
                        text: "▲"
                        color: Colors.accent
                        font.pixelSize: 18
                    }
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    Text {
                        Layout.fillWidth: true
                        text: "DOSTUPNA JE NOVA VERZIJA"
                        color: Colors.textPrimary
                        font: Typography.heading2
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "releaseLine"
                        Layout.fillWidth: true
                        text: "Korvex Studio " + UpdateManager.latestVersion
                              + (UpdateManager.releaseDate !== "" ? " (" + UpdateManager.releaseDate + ")" : "")
                        color: Colors.accent
                        font: Typography.captionBold
                        elide: Text.ElideRight
                    }
                }

                DarkButton {
                    objectName: "closeButton"
                    Layout.preferredWidth: 32
                    Layout.preferredHeight: 32
                    onClicked: root.dismiss()
                    Text {
                        anchors.centerIn: parent
                        text: "✕"
                        color: Colors.textSecondary
                        font.pixelSize: 14
                    }
                }
            }

            // 2. Version row
            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 46
                color: Colors.surfaceDark
                border.width: 1
                border.color: Colors.borderDark
                radius: 4

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: 12
                    spacing: 10
                    Text {
                        text: "Trenutna verzija: " + UpdateManager.currentVersion
                        color: Colors.textSecondary
                        font: Typography.caption
                    }
                    Item { Layout.fillWidth: true }
                    Text {
                        text: "→"
                        color: Colors.accent
                        font.bold: true
                    }
                    Item { Layout.fillWidth: true }
                    Rectangle {
                        Layout.preferredHeight: 24
                        Layout.preferredWidth: badgeText.implicitWidth + 16
                        color: Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.20)
                        border.color: Colors.accent
                        border.width: 1
                        radius: 3
                        Text {
                            id: badgeText
                            anchors.centerIn: parent
                            text: "Nova: v" + UpdateManager.latestVersion
                            color: Colors.accent
                            font: Typography.captionBold
                        }
                    }
                }
            }

            // 3.
            Text {
                text: "ŠTA JE NOVO U OVOJ VERZIJI:"
                color: Colors.textPrimary
                font: Typography.captionBold
            }

            // 4. Changelog, plain text
            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                color: Colors.surfaceDark
                border.width: 1
                border.color: Colors.borderDark
                radius: 4
                clip: true

                Flickable {
                    id: changelogArea
                    anchors.fill: parent
                    anchors.margins: 12
                    contentWidth: width
                    contentHeight: changelogText.implicitHeight
                    flickableDirection: Flickable.VerticalFlick
                    boundsBehavior: Flickable.StopAtBounds
                    clip: true

                    Text {
                        id: changelogText
                        objectName: "changelogText"
                        width: changelogArea.width - 12
                        text: UpdateManager.changelog !== "" ? UpdateManager.changelog : "Nema opisa za ovu verziju."
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        color: Colors.textSecondary
                        font: Typography.body
                    }

                    ScrollBar.vertical: ScrollBar {
                        width: 4
                        policy: changelogArea.contentHeight > changelogArea.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
                    }
                }
            }

            // 5. Progress block
            ColumnLayout {
                objectName: "progressBlock"
                Layout.fillWidth: true
                spacing: 6
                visible: root.downloading || root.ready

                RowLayout {
                    Layout.fillWidth: true
                    Text {
                        objectName: "progressTitle"
                        text: root.ready ? "Preuzimanje završeno!" : "Preuzimanje u toku..."
                        color: root.ready ? Colors.liveGreen : Colors.textPrimary
                        font: Typography.captionBold
                    }
                    Item { Layout.fillWidth: true }
                    Text {
                        objectName: "progressText"
                        text: UpdateManager.downloadProgressText
                        color: Colors.accent
                        font: Typography.captionBold
                    }
                }

                Rectangle {
                    id: progressBar
                    objectName: "progressBar"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 8
                    color: Colors.surfaceDark
                    border.width: 1
                    border.color: Colors.borderDark
                    radius: 4

                    Rectangle {
                        objectName: "progressFill"
                        anchors { left: parent.left; top: parent.top; bottom: parent.bottom }
                        width: Math.max(4, progressBar.width * UpdateManager.downloadProgress)
                        radius: 4
                        color: root.ready ? Colors.liveGreen : Colors.accent
                    }
                }
            }

            // 6. Buttons
            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                DarkButton {
                    objectName: "laterButton"
                    Layout.preferredWidth: 130
                    Layout.preferredHeight: 38
                    visible: !root.ready
                    onClicked: root.dismiss()
                    Text {
                        objectName: "laterText"
                        anchors.centerIn: parent
                        text: root.downloading ? "OTKAŽI" : "KASNIJE"
                        color: Colors.textSecondary
                        font: Typography.captionBold
                    }
                }

                DarkButton {
                    objectName: "mainButton"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 38
                    onClicked: root.mainAction()

                    Rectangle {
                        anchors.fill: parent
                        radius: 3
                        border.width: 1
                        color: root.ready ? Colors.liveGreen : root.downloading ? Colors.surfaceDark : Colors.accent
                        border.color: root.ready ? Colors.liveGreen : Colors.accent
                        Text {
                            objectName: "mainText"
                            anchors.centerIn: parent
                            text: root.ready ? "INSTALIRAJ I RESTARTUJ"
                                  : root.downloading ? "PREUZIMA SE..." : "PREUZMI I AŽURIRAJ SADA"
                            color: root.downloading && !root.ready ? Colors.accent : "#000000"
                            font: Typography.bodyBold
                        }
                    }
                }
            }
        }
    }
}
