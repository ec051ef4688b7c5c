import QtQuick
import QtTest
import Korvex 1.0

// The grid, the preview panel and the source dialog together, as the main
// window holds them, over four virtual test cameras.
Item {
    id: root
    width: 1280
    height: 720

    IsoMonitorGrid {
        id: grid
        width: 1000
        height: 500
    }
    MainPreviewPanel {
        id: preview
        y: 500
        width: 640
        height: 220
    }
    SourceConfigDialog {
        id: sourceConfigDialog
        anchors.fill: parent
        z: 150
    }

    function cameraLink(n) { return "korvex-test://" + n }
    function addCamera(channel, n) {
        AppManager.setCameraForChannel(channel, cameraLink(n), 640, 480, 30.0, "Default")
    }
    function find(name, from) { return testCase.findChild(from || grid, name) }

    TestCase {
        id: testCase
        name: "MonitorViews"
        when: windowShown

        function init() { AppManager.reset(); grid.hideAddSourceBanner = false; sourceConfigDialog.visible = false }
        function cleanup() { AppManager.reset() }

        function test_arrangements_data() {
            return [
                { tag: "none", channels: [] },
                { tag: "one", channels: [2] },
                { tag: "two", channels: [1, 3] },
                { tag: "three", channels: [1, 2, 4] },
                { tag: "four", channels: [1, 2, 3, 4] }
            ]
        }
        function test_arrangements(data) {
            for (var i = 0; i < data.channels.length; ++i)
                addCamera(data.channels[i], i + 1)
            var n = data.channels.length
            compare(ChannelsModel.activeVideoCount, n)
            wait(50) // let the layouts settle
            compare(find("emptyState").visible, n === 0)
            compare(find("singleRow").visible, n === 1)
            compare(find("gridColumns").visible, n >= 2)
            if (n === 1) {
                compare(find("singleTile").channelIndex, 2)
                fuzzyCompare(find("singleTile").width, find("singleAddCard").width, 1)
            }
            if (n >= 2) {
                compare(find("tile1").channelIndex, data.channels[0])
                compare(find("tile2").channelIndex, data.channels[1])
                compare(find("bottomRow").visible, true)
                compare(find("addBanner").visible, n === 2)
                compare(find("compactAddCard").visible, n === 3)
                compare(find("tile3").visible, n >= 3)
                compare(find("tile4").visible, n === 4)
            }
            if (n === 2)
                fuzzyCompare(find("bottomRow").height, 70, 0.5)
            if (n === 3) {
                compare(find("tile3").channelIndex, 4)
                var tile3 = find("tile3")
                // centred at half width between a spacer and the compact card
                fuzzyCompare(tile3.width, (grid.width - 8 - 8) / 2, 2)
                fuzzyCompare(tile3.mapToItem(grid, 0, 0).x + tile3.width / 2, grid.width / 2, 2)
                fuzzyCompare(find("bottomRow").height, find("topRow").height, 1)
            }
            if (n === 4)
                compare(find("tile4").channelIndex, 4)
        }

        function test_bannerCloseRemovesItForGood() {
            addCamera(1, 1); addCamera(2, 2)
            verify(find("bottomRow").visible)
            mouseClick(find("bannerClose", find("addBanner")))
            verify(grid.hideAddSourceBanner)
            compare(find("bottomRow").visible, false)
            addCamera(3, 3)
            verify(find("bottomRow").visible)
            AppManager.removeCameraFromChannel(3)
            compare(find("bottomRow").visible, false)
        }

        function test_addCardOpensTheDialogForTheFirstFreeChannel() {
            addCamera(1, 1)
            mouseClick(find("singleAddCard"))
            verify(sourceConfigDialog.visible)
            compare(sourceConfigDialog.targetChannelId, 2)
            compare(sourceConfigDialog.isEditMode, false)
            sourceConfigDialog.cancelAndClose()
            compare(ChannelsModel.hasActiveVideo(2), false)
        }

        function test_clickingATileMakesItTheProgram() {
            addCamera(1, 1); addCamera(2, 2)
            var tile1 = find("tile1"), tile2 = find("tile2")
            mouseClick(find("pictureClick", tile2), 100, 100)
            compare(AppManager.activeSourceId, 2)
            compare(tile2.statusWord, "PROGRAM")
            verify(find("programBadge", tile2).visible)
            verify(Qt.colorEqual(find("channelLabel", tile2).border.color, Colors.recRed))
            verify(!find("programBadge", tile1).visible)
            verify(Qt.colorEqual(find("channelLabel", tile1).border.color, Colors.borderDark))
            compare(tile1.border.width, 1)
            compare(preview.channelIndex, 2)
        }

        function test_disablingTheProgramTileMovesTheProgram_data() {
            return [
                { tag: "to the lowest other with video", channels: [1, 2, 3], disable: "tile1", expected: 2 },
                { tag: "to channel 1 when none is left", channels: [3, 4], disable: "tile1", expected: 1 }
            ]
        }
        function test_disablingTheProgramTileMovesTheProgram(data) {
            for (var i = 0; i < data.channels.length; ++i)
                addCamera(data.channels[i], i + 1)
            var tile = find(data.disable)
            AppManager.activeSourceId = tile.channelIndex
            var removed = tile.channelIndex
            if (data.tag === "to channel 1 when none is left")
                AppManager.removeCameraFromChannel(4)
            mouseClick(find("disableButton", find(ChannelsModel.activeVideoCount >= 2 ? data.disable : "singleTile")))
            compare(ChannelsModel.hasActiveVideo(removed), false)
            compare(AppManager.getCameraLinkForChannel(removed), "")
            compare(AppManager.activeSourceId, data.expected)
        }

        function test_storeBoxChangesTheStatusWord() {
            addCamera(1, 1); addCamera(2, 2)
            AppManager.activeSourceId = 1
            var tile2 = find("tile2")
            ChannelsModel.setStorageEnabled(2, true)
            compare(tile2.statusWord, "READY")
            mouseClick(find("storeBox", tile2))
            compare(ChannelsModel.isStorageEnabled(2), false)
            compare(tile2.statusWord, "OFF")
            mouseClick(find("isoBox", tile2))
            compare(ChannelsModel.isIsoEnabled(2), true)
        }

        function test_tileShowsTheHotkey() {
            AppManager.setSourceKey(1, Qt.Key_F2)
            addCamera(1, 1); addCamera(2, 2)
            ChannelsModel.setChannelName(2, "WIDE")
            compare(find("tile2").channelName, "WIDE")
            compare(find("tile2").hotkeyName, "F2")
        }

        function test_armingOverlay() {
            compare(find("armingOverlay", preview).visible, false)
            AppManager.isArming = true
            AppManager.countdownSeconds = 2
            verify(find("armingOverlay", preview).visible)
            verify(find("syncBadge", preview).visible)
            verify(Qt.colorEqual(find("stepBar0", preview).color, Qt.color("#f59e0b")))
            verify(Qt.colorEqual(find("stepBar1", preview).color, Qt.color("#f59e0b")))
            verify(!Qt.colorEqual(find("stepBar2", preview).color, "#f59e0b"))
            AppManager.isArming = false
            AppManager.isRecording = true
            verify(find("liveBadge", preview).visible)
            AppManager.isRecording = false
        }
    }
}
