import QtQuick
import QtTest
import Korvex 1.0

Item {
    id: window
    width: 1280
    height: 720

    Rectangle { anchors.fill: parent; color: "#000000" }

    Loader { id: loader; anchors.fill: parent }

    TestCase {
        id: test
        name: "RemoteControlDialog"
        when: windowShown

        property var dialog: null

        function find(name) {
            const item = findChild(dialog, name)
            verify(item !== null, name)
            return item
        }

        function init() {
            RemoteServer.reset()
            languageStandIn.currentLanguage = "EN"
            warningsProbe.clear()
            loader.source = ""
            loader.source = "qrc:/Korvex/ui/qml/Components/RemoteControlDialog.qml"
            tryVerify(() => loader.status === Loader.Ready)
            dialog = loader.item
        }

        function cleanup() {
            compare(warningsProbe.warnings(), [])
        }

        function test_openStartsStoppedServerAndCloseKeepsIt() {
            verify(!dialog.visible)
            dialog.openDialog()
            verify(dialog.visible)
            compare(RemoteServer.calls, ["startServer 8080", "refreshNetworkInfo"])
            compare(find("remoteStatusText").text, "SERVER ONLINE")
            verify(find("remoteClientText").visible)
            compare(find("remoteClientText").text, " • Clients: 0")
            compare(find("remoteAddressText").text, "http://192.168.1.20:8080/")
            tryVerify(() => find("remoteQrImage").status === Image.Ready)
            compare(find("remoteQrImage").sourceSize.width, 232)
            verify(!find("remoteQrImage").smooth)
            if (screenshotDir !== "") {
                const shot = grabImage(window)
                shot.save(screenshotDir + "/remote_control_dialog.png")
            }
            mouseClick(find("remoteCloseButton"))
            verify(!dialog.visible)
            verify(RemoteServer.isRunning)

            // Opening again while running only refreshes.
            dialog.openDialog()
            compare(RemoteServer.calls, ["startServer 8080", "refreshNetworkInfo", "refreshNetworkInfo"])
        }

        function test_backdropClosesCardDoesNot() {
            dialog.openDialog()
            mouseClick(find("remoteCard"), 20, 300)
            verify(dialog.visible)
            mouseClick(dialog, 20, 20)
            verify(!dialog.visible)
        }

        function test_stopShowsPlaceholderAndKeepsAddress() {
            dialog.openDialog()
            mouseClick(find("remoteToggleButton"))
            verify(!RemoteServer.isRunning)
            compare(find("remoteStatusText").text, "SERVER OFFLINE")
            verify(!find("remoteClientText").visible)
            verify(!find("remoteQrImage").visible)
            verify(find("remoteStoppedPlaceholder").visible)
            compare(find("remoteAddressText").text, "http://192.168.1.20:8080/")
            compare(find("remoteToggleText").text, "START SERVER")
            if (screenshotDir !== "")
                grabImage(window).save(screenshotDir + "/remote_control_dialog_stopped.png")
            mouseClick(find("remoteToggleButton"))
            verify(RemoteServer.isRunning)
            compare(find("remoteToggleText").text, "STOP SERVER")
        }

        function test_unknownAddressPlaceholder() {
            verify(!RemoteServer.isRunning)
            dialog.visible = true
            compare(find("remoteAddressText").text, "http://---:8080/")
            mouseClick(find("remoteCopyButton"))
            compare(find("remoteCopyText").text, "COPY LINK")
            verify(!dialog.isCopied)
        }

        function test_copyTurnsIntoCopiedForTwoSeconds() {
            dialog.openDialog()
            mouseClick(find("remoteCopyButton"))
            verify(dialog.isCopied)
            compare(find("remoteCopyText").text, "COPIED!")
            wait(1500)
            verify(dialog.isCopied)
            tryVerify(() => !dialog.isCopied, 1500)
            compare(find("remoteCopyText").text, "COPY LINK")
        }

        function test_serbianTexts() {
            dialog.openDialog()
            languageStandIn.currentLanguage = "SR"
            compare(find("remoteStatusText").text, "SERVER AKTIVAN")
            compare(find("remoteClientText").text, " • Povezano uređaja: 0")
            compare(find("remoteToggleText").text, "ZAUSTAVI SERVER")
            mouseClick(find("remoteCopyButton"))
            compare(find("remoteCopyText").text, "KOPIRANO!")
        }
    }
}
