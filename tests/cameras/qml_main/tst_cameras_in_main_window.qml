import QtQuick
import QtQuick.Window
import QtTest
import Korvex 1.0

// The whole path an operator takes with four virtual test cameras, through the
// program's own main window and backend: add the cameras from the grid, watch
// them live in the tiles and the preview, switch the program by click and by
// hotkey, send the program to the output window.
TestCase {
    id: test
    name: "CamerasInMainWindow"
    when: windowShown

    property var window: null

    function part(name, from) {
        var item = findChild(from || window.contentItem, name)
        verify(item, name)
        return item
    }

    // Adds the preselected camera through the open add dialog and checks the
    // channel came live with it.
    function confirmAdd(channel, typedName) {
        var dialog = part("sourceConfigDialog")
        tryCompare(dialog, "visible", true)
        compare(dialog.targetChannelId, channel)
        compare(dialog.isEditMode, false)
        if (typedName !== undefined) {
            var name = part("nameInput", dialog)
            mouseClick(name)
            verify(name.activeFocus)
            keySequence(StandardKey.SelectAll)
            for (var i = 0; i < typedName.length; ++i)
                keyClick(typedName[i])
        }
        waitForRendering(dialog)
        mouseClick(part("confirmButton", dialog))
        verify(!dialog.visible)
        verify(AppManager.isCameraRunningForChannel(channel))
        compare(AppManager.getCameraLinkForChannel(channel), "korvex-test://" + channel)
        compare(AppManager.getCameraNameForChannel(channel), "Korvex Test Camera " + channel)
        verify(ChannelsModel.hasActiveVideo(channel))
        compare(ChannelsModel.activeVideoCount, channel)
    }

    // The colours along the middle row of a picture, as the window shows it
    // (a grab of the whole window: the software renderer's grab of a single
    // item leaves its scene graph nodes out).
    function middleRow(video) {
        var root = video.Window.window.contentItem
        var image = grabImage(root)
        var colours = []
        for (var i = 1; i < 40; ++i) {
            var p = video.mapToItem(root, video.width * i / 40, video.height / 2)
            colours.push(image.pixel(Math.floor(p.x), Math.floor(p.y)))
        }
        return colours
    }

    // A live picture: the middle of its row is not black and the row changes
    // between two looks (the test pattern moves every frame).
    function verifyLive(video) {
        tryVerify(function () { return video.width > 0 && video.height > 0 })
        waitForRendering(video)
        // a view that was just created shows its first frame at its first poll
        var first = []
        tryVerify(function () {
            first = middleRow(video)
            var middle = first[19]
            return middle.r + middle.g + middle.b > 0.3
        }, 1000, video.objectName + " of channel " + video.channelIndex + " is black in the middle")
        var firstText = first.join()
        tryVerify(function () { return middleRow(video).join() !== firstText }, 2000,
                  video.objectName + " of channel " + video.channelIndex + " does not move")
    }

    function initTestCase() {
        tryVerify(function () { return AppManager.getAvailableCameras().length === 4 }, 10000,
                  "the start-up scan lists the four test cameras")
    }

    function init() {
        // every warning fails, but the offscreen platform's note that it cannot raise windows
        failOnWarning(/^(?!This plugin does not support raise\(\)).*/)
        var component = Qt.createComponent("qrc:/Korvex/ui/qml/Main.qml")
        verify(component.status === Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window)
        tryCompare(window, "visible", true)
        waitForRendering(window.contentItem)
    }

    function cleanup() {
        var output = part("mainPreviewPanel").outputWindow
        if (output)
            output.closeOutput()
        window.destroy()
        window = null
        wait(0)
        for (var id = 1; id <= 4; ++id)
            AppManager.removeCameraFromChannel(id)
        AppManager.activeSourceId = 1
    }

    function test_addWatchSwitchAndOutput() {
        var grid = part("isoMonitorGrid")
        verify(part("emptyState", grid).visible)

        mouseClick(part("emptyAddButton", grid))
        confirmAdd(1, "WIDE")
        compare(ChannelsModel.getChannelName(1), "WIDE")
        mouseClick(part("singleAddCard", grid))
        confirmAdd(2)
        mouseClick(part("addBanner", grid))
        confirmAdd(3)
        mouseClick(part("compactAddCard", grid))
        confirmAdd(4)

        // four tiles in the 2 x 2 arrangement, each live on its own channel
        for (var k = 1; k <= 4; ++k) {
            var tile = part("tile" + k, grid)
            verify(tile.visible)
            compare(tile.channelIndex, k)
            verifyLive(part("tileVideo", tile))
        }
        compare(part("tile1", grid).channelName, "WIDE")
        var preview = part("mainPreviewPanel")
        verifyLive(part("previewVideo", preview))

        // a click on a tile's picture makes it the program, the preview follows
        mouseClick(part("pictureClick", part("tile3", grid)))
        compare(AppManager.activeSourceId, 3)
        compare(preview.channelIndex, 3)
        compare(part("previewVideo", preview).channelIndex, 3)
        verify(part("programBadge", part("tile3", grid)).visible)
        verify(!part("programBadge", part("tile1", grid)).visible)

        // the hotkey of channel 2 (the default "2"), even though a name was typed before
        compare(AppManager.getSourceKeyName(1), "2")
        keyClick(Qt.Key_2)
        compare(AppManager.activeSourceId, 2)
        compare(preview.channelIndex, 2)
        verify(part("programBadge", part("tile2", grid)).visible)

        // OUTPUT opens the program window on the channel now on air
        mouseClick(part("outputButton", preview))
        var output = preview.outputWindow
        verify(output)
        tryCompare(output, "visible", true)
        verify(preview.isOutputActive)
        compare(output.channelIndex, 2)
        compare(output.title, "Korvex – Program Output (CH 2)")
        verifyLive(findChild(output.contentItem, "outputVideo"))
        mouseClick(part("pictureClick", part("tile4", grid)))
        compare(output.channelIndex, 4)

        mouseClick(part("outputButton", preview))
        tryCompare(output, "visible", false)
        verify(!preview.isOutputActive)
    }

    // A take recorded from the window: REC ALL arms the countdown, the take
    // starts by itself, a tile click cuts, the status bar shows the frame
    // rate, and a second click stops it; every live camera has its own file,
    // holding every frame of the take that was not counted as dropped, and
    // the timeline names both.
    function test_recordATakeFromTheWindow() {
        var folder = TakeFiles.useTemporaryRecordingFolder()
        AppManager.activeSessionName = "Window Take"
        var grid = part("isoMonitorGrid")
        mouseClick(part("emptyAddButton", grid))
        confirmAdd(1)
        mouseClick(part("singleAddCard", grid))
        confirmAdd(2)

        var rec = part("recButton")
        mouseClick(rec)
        verify(AppManager.isArming)
        verify(!AppManager.isRecording)
        compare(part("recLabel").text, "SYNC 3s")
        tryCompare(AppManager, "isRecording", true, 6000)
        verify(!AppManager.isArming)
        compare(part("recLabel").text, "STOP REC")
        wait(1500)
        mouseClick(part("pictureClick", part("tile2", grid)))
        compare(AppManager.activeSourceId, 2)
        // the telemetry counts the frames reaching the encoders
        tryVerify(function () { return AppManager.currentFps > 0 }, 4000, "no frame rate during the take")
        wait(500)
        mouseClick(rec)
        tryCompare(AppManager, "isRecording", false, 10000)
        compare(part("recLabel").text, "REC ALL")

        var take = TakeFiles.lastTake()
        verify(take.folder.indexOf(folder + "/Window Take/") === 0, take.folder)
        compare(take.cutSources, [1, 2])
        verify(take.framesWritten > 0)
        // every frame handed to an encoder is in its file, or counted as dropped
        var decoded = take.frames["Camera_01.mp4"] + take.frames["Camera_02.mp4"]
        verify(take.frames["Camera_01.mp4"] > 0 && take.frames["Camera_02.mp4"] > 0, JSON.stringify(take.frames))
        compare(decoded + AppManager.droppedFrames, 2 * take.framesWritten)
        verify(take.davinci.indexOf("Camera_01.mp4") >= 0)
        verify(take.davinci.indexOf("Camera_02.mp4") >= 0)
    }
}
