import QtQuick
import QtQuick.Layouts
import Korvex 1.0
import "../Controls/Bilingual.js" as Bilingual

// The remote control overlay: starts and stops the phone server and hands
// its address over as a QR code and a copyable link. Closing it leaves the
// server running.
Item {
    id: root
    objectName: "remoteControlDialog"
    anchors.fill: parent
    z: 180
    visible: false

    property bool isCopied: false
    readonly property bool running: RemoteServer.isRunning
    readonly property string language: AppManager.currentLanguage

    function tr(english, serbian) { return Bilingual.pick(language, english, serbian) }

    function openDialog() {
        if (!RemoteServer.isRunning)
            RemoteServer.startServer()
        RemoteServer.refreshNetworkInfo()
        visible = true
    }

    function closeDialog() { visible = false }

    function copyLink() {
        if (RemoteServer.serverUrl === "")
            return
        clipboardHelper.text = RemoteServer.serverUrl
        clipboardHelper.selectAll()
        clipboardHelper.copy()
        clipboardHelper.deselect()
        isCopied = true
        copiedTimer.restart()
    }

    Timer {
        id: copiedTimer
        interval: 2000
        onTriggered: root.isCopied = false
    }

    // The clipboard is reached through a text editor's copy.
    TextEdit { id: clipboardHelper; visible: false }

    Rectangle {
        objectName: "remoteBackdrop"
        anchors.fill: parent
        color: "#000000"
        opacity: 0.72
        MouseArea { anchors.fill: parent; onClicked: root.closeDialog() }
    }

    Rectangle {
        id: card
        objectName: "remoteCard"
        width: 440
        height: 520
        anchors.centerIn: parent
        color: Colors.surfaceDark
        border.width: 1
        border.color: Colors.borderDark
        radius: 8
        clip: true

        MouseArea { anchors.fill: parent } // clicks on the card stay on it

        Column {
            anchors.fill: parent
            spacing: 0

            Rectangle {
                width: parent.width
                height: 48
                color: Colors.panelDark
                border.width: 1
                border.color: Colors.borderDark

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 12
                    spacing: 8
                    Text { text: "📱"; font.pixelSize: 18 }
                    Text {
                        text: root.tr("REMOTE CONTROL (MOBILE WEB APP)", "DALJINSKA KONTROLA (MOBILNI WEB APP)")
                        color: Colors.textPrimary
                        font: Typography.bodyBold
                    }
                    Item { Layout.fillWidth: true }
                    DarkButton {
                        objectName: "remoteCloseButton"
                        Layout.preferredWidth: 28
                        Layout.preferredHeight: 28
                        onClicked: root.closeDialog()
                        Text { anchors.centerIn: parent; text: "✕"; font.pixelSize: 13; color: Colors.textSecondary }
                    }
                }
            }

            Item {
                width: parent.width
                height: parent.height - 48

                Column {
                    anchors.centerIn: parent
                    width: card.width - 40
                    spacing: 14

                    Row {
                        anchors.horizontalCenter: parent.horizontalCenter
                        spacing: 8
                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 10; height: 10; radius: 5
                            color: root.running ? Colors.liveGreen : Colors.textMuted
                        }
                        Text {
                            objectName: "remoteStatusText"
                            text: root.running ? root.tr("SERVER ONLINE", "SERVER AKTIVAN")
                                               : root.tr("SERVER OFFLINE", "SERVER ISKLJUČEN")
                            color: root.running ? Colors.liveGreen : Colors.textMuted
                            font: Typography.captionBold
                        }
                        Text {
                            objectName: "remoteClientText"
                            visible: root.running
                            text: " • " + root.tr("Clients: ", "Povezano uređaja: ") + RemoteServer.clientCount
                            color: Colors.textSecondary
                            font: Typography.caption
                        }
                    }

                    Rectangle {
                        objectName: "remoteQrCard"
                        width: 210; height: 210
                        anchors.horizontalCenter: parent.horizontalCenter
                        color: "#ffffff"
                        border.width: 2
                        border.color: Colors.accent
                        radius: 8
                        clip: true

                        Image {
                            objectName: "remoteQrImage"
                            anchors.fill: parent
                            anchors.margins: 10
                            visible: root.running && RemoteServer.qrCodeDataUrl !== ""
                            source: visible ? RemoteServer.qrCodeDataUrl : ""
                            fillMode: Image.PreserveAspectFit
                            smooth: false
                            mipmap: false
                        }

                        Column {
                            objectName: "remoteStoppedPlaceholder"
                            anchors.centerIn: parent
                            visible: !root.running
                            spacing: 6
                            Text { anchors.horizontalCenter: parent.horizontalCenter; text: "⏸"; font.pixelSize: 32; color: "#000000" }
                            Text {
                                anchors.horizontalCenter: parent.horizontalCenter
                                text: root.tr("Server is stopped", "Server je zaustavljen")
                                color: "#333333"
                                font: Typography.captionBold
                            }
                        }
                    }

                    Rectangle {
                        width: parent.width
                        height: 38
                        color: Colors.panelDark
                        border.width: 1
                        border.color: Colors.borderDark
                        radius: 4

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 12
                            anchors.rightMargin: 6
                            spacing: 8
                            Text {
                                objectName: "remoteAddressText"
                                Layout.fillWidth: true
                                text: RemoteServer.serverUrl !== "" ? RemoteServer.serverUrl : "http://---:8080/"
                                color: Colors.accent
                                font.family: "Consolas, Segoe UI"
                                font.pixelSize: 13
                                font.bold: true
                                elide: Text.ElideRight
                                verticalAlignment: Text.AlignVCenter
                            }
                            DarkButton {
                                objectName: "remoteCopyButton"
                                Layout.preferredWidth: 100
                                Layout.preferredHeight: 28
                                onClicked: root.copyLink()
                                Text {
                                    objectName: "remoteCopyText"
                                    anchors.centerIn: parent
                                    text: root.isCopied ? root.tr("COPIED!", "KOPIRANO!") : root.tr("COPY LINK", "KOPIRAJ")
                                    color: root.isCopied ? Colors.liveGreen : Colors.textPrimary
                                    font: Typography.captionBold
                                }
                            }
                        }
                    }

                    Text {
                        width: parent.width
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.WordWrap
                        color: Colors.textSecondary
                        font: Typography.caption
                        text: root.tr("Scan this QR code with your phone camera or enter the URL in a mobile browser. (Phone must be on the same Wi-Fi / Local Network).",
                                      "Skenirajte QR kod kamerom telefona ili ukucajte URL u mobilni pretraživač. (Telefon i računar moraju biti na istoj Wi-Fi mreži).")
                    }

                    Row {
                        width: parent.width
                        spacing: 10
                        DarkButton {
                            objectName: "remoteRefreshButton"
                            width: (parent.width - 10) / 2
                            height: 34
                            onClicked: RemoteServer.refreshNetworkInfo()
                            Text {
                                anchors.centerIn: parent
                                text: root.tr("🔄 REFRESH NETWORK", "🔄 OSVEŽI MREŽU")
                                color: Colors.textSecondary
                                font: Typography.captionBold
                            }
                        }
                        DarkButton {
                            objectName: "remoteToggleButton"
                            width: (parent.width - 10) / 2
                            height: 34
                            onClicked: RemoteServer.toggleServer()
                            Text {
                                objectName: "remoteToggleText"
                                anchors.centerIn: parent
                                text: root.running ? root.tr("STOP SERVER", "ZAUSTAVI SERVER")
                                                   : root.tr("START SERVER", "POKRENI SERVER")
                                color: root.running ? Colors.recRed : Colors.accent
                                font: Typography.captionBold
                            }
                        }
                    }
                }
            }
        }
    }
}
