import QtQuick
import QtQuick.Window
import QtTest
import Korvex 1.0

TestCase {
    id: test
    name: "MainWindow"

    property var window: null

    function openWindow() {
        var component = Qt.createComponent("qrc:/Korvex/ui/qml/Main.qml")
        verify(component.status === Component.Ready, component.errorString())
        var win = component.createObject(null)
        verify(win)
        tryCompare(win, "visible", true)
        waitForRendering(win.contentItem)
        return win
    }

    function closeWindow(win) {
        win.destroy()
        wait(0)
    }

    function part(win, name) {
        var item = findChild(win.contentItem, name)
        verify(item, name)
        return item
    }

    function init() {
        failOnWarning(/.*/)
        window = openWindow()
    }

    function cleanup() {
        if (window)
            closeWindow(window)
        window = null
        AppManager.currentLanguage = "EN"
        for (var id = 1; id <= 4; ++id)
            ChannelsModel.setHasActiveVideo(id, false)
    }

    function test_windowFrame() {
        compare(window.width, 1280)
        compare(window.height, 720)
        compare(window.minimumWidth, 1024)
        compare(window.minimumHeight, 640)
        compare(window.title, "Korvex Studio 2.4.6b")
        verify(window.flags & Qt.FramelessWindowHint)
        compare(part(window, "topHeaderBar").height, 60)
        compare(part(window, "bottomStatusBar").height, 32)
        verify(part(window, "content").activeFocus)
    }

    function test_splitterDragPersists() {
        var splitter = part(window, "splitterMouse")
        var mixer = part(window, "audioMixerSlot")
        var start = mixer.width
        var y = splitter.height / 2
        mousePress(splitter, 8, y)
        mouseMove(splitter, 8 - 60, y, -1, Qt.LeftButton)
        mouseMove(splitter, 8 - 100, y, -1, Qt.LeftButton)
        mouseRelease(splitter, 8 - 100, y)
        tryCompare(mixer, "width", start + 100)

        // far past the right end the mixer stops at 200
        mousePress(splitter, 8, y)
        mouseMove(splitter, 8 + 2000, y, -1, Qt.LeftButton)
        mouseRelease(splitter, 8 + 2000, y)
        tryCompare(mixer, "width", 200)
        mousePress(splitter, 8, y)
        mouseMove(splitter, 8 - 150, y, -1, Qt.LeftButton)
        mouseRelease(splitter, 8 - 150, y)
        tryCompare(mixer, "width", 350)

        // a new window starts with the stored width
        closeWindow(window)
        window = openWindow()
        tryCompare(part(window, "audioMixerSlot"), "width", 350)
    }

    function test_splitterDoubleClickToggles() {
        var splitter = part(window, "splitterMouse")
        var mixer = part(window, "audioMixerSlot")
        var row = part(window, "bottomRow")
        var maxWidth = row.mixerMaxWidth
        verify(maxWidth <= row.width - 280)
        mouseDoubleClickSequence(splitter, 8, splitter.height / 2)
        tryCompare(mixer, "width", maxWidth)
        var preview = part(window, "mainPreviewSlot")
        verify(preview.width >= 260)
        mouseDoubleClickSequence(splitter, 8, splitter.height / 2)
        tryCompare(mixer, "width", 200)
    }

    function test_resizeBordersOnlyWhenRestored() {
        var borders = part(window, "resizeBorders")
        verify(borders.visible)
        var maximize = part(window, "maximizeButton")
        mouseClick(maximize)
        tryCompare(window, "visibility", Window.Maximized)
        tryCompare(borders, "visible", false)
        mouseClick(maximize)
        tryCompare(window, "visibility", Window.Windowed)
        tryCompare(borders, "visible", true)
    }

    function test_addSourceButton() {
        var button = part(window, "addSourceButton")
        var dialog = part(window, "sourceConfigDialog")
        for (var id = 1; id <= 4; ++id)
            ChannelsModel.setHasActiveVideo(id, true)
        verify(!button.visible)
        ChannelsModel.setHasActiveVideo(2, false)
        verify(button.visible)
        verify(!dialog.visible)
        mouseClick(button)
        verify(dialog.visible)
    }

    function test_languageSwitchesLabels() {
        var header = part(window, "topHeaderBar")
        compare(header.remoteToolTip, "Remote Control (Phone Web App & QR)")
        AppManager.currentLanguage = "SR"
        compare(header.remoteToolTip, "Daljinska Kontrola (Telefon Web App & QR)")
        // anything but "EN" reads Serbian
        AppManager.currentLanguage = "DE"
        compare(header.remoteToolTip, "Daljinska Kontrola (Telefon Web App & QR)")
        AppManager.currentLanguage = "EN"
        compare(header.remoteToolTip, "Remote Control (Phone Web App & QR)")
    }

    function test_resolveToast() {
        var toast = part(window, "resolveToast")
        AppManager.daVinciScriptInstalled(false)
        wait(300)
        verify(!toast.visible)
        AppManager.daVinciScriptInstalled(true)
        tryCompare(toast, "opacity", 1)
        verify(toast.visible)
        compare(part(window, "resolveToastText").text, "DaVinci Resolve panel was automatically installed!")
    }

    function test_statusBarTexts() {
        compare(part(window, "fpsText").text,
                "FPS: " + AppManager.currentFps.toFixed(1) + " (" + AppManager.selectedGlobalFps.toFixed(0) + " fps)")
        compare(part(window, "writeText").color, Colors.textSecondary)
        compare(part(window, "droppedText").text, "Dropped: 0")
        compare(part(window, "loadText").text, AppManager.cpuUsage + "  |  " + AppManager.ramUsage)
        compare(part(window, "recLabel").text, "REC ALL")
        compare(part(window, "timecodeText").text, AppManager.timecode)
        compare(part(window, "stateText").text, AppManager.activeSessionName)
    }
}
