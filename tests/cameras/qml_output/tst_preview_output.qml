import QtQuick
import QtQuick.Window
import QtTest
import Korvex 1.0

// The program output window opened from the preview panel, on two displays:
// a 1600 x 900 primary and a 1920 x 1080 stage screen to its right.
Item {
    id: root
    width: 800
    height: 400

    MainPreviewPanel {
        id: preview
        anchors.fill: parent
    }

    function find(name, from) { return testCase.findChild(from || preview, name) }

    TestCase {
        id: testCase
        name: "PreviewOutput"
        when: windowShown

        property var output: null

        function screen(i) { return Qt.application.screens[i] }

        // OUTPUT on the panel; waits until the window is shown and active.
        function openFromPanel() {
            mouseClick(find("outputButton"))
            output = preview.outputWindow
            verify(output)
            tryCompare(output, "visible", true)
            tryCompare(output, "active", true)
            return output
        }

        function verifyFullscreenOn(i) {
            tryCompare(output, "visibility", Window.FullScreen)
            verify(output.isFullscreenMode)
            compare(output.screen.name, screen(i).name)
            compare(output.x, screen(i).virtualX)
            compare(output.y, screen(i).virtualY)
            compare(output.width, screen(i).width)
            compare(output.height, screen(i).height)
        }

        function verifyWindowedOn(i) {
            tryCompare(output, "visibility", Window.Windowed)
            verify(!output.isFullscreenMode)
            var s = screen(i)
            var w = Math.min(1280, Math.round(0.75 * s.width))
            var h = Math.min(720, Math.round(0.75 * s.height))
            compare(output.screen.name, s.name)
            compare(output.width, w)
            compare(output.height, h)
            compare(output.x, s.virtualX + Math.round((s.width - w) / 2))
            compare(output.y, s.virtualY + Math.round((s.height - h) / 2))
        }

        function initTestCase() {
            compare(Qt.application.screens.length, 2)
        }

        function init() {
            // every warning fails, but the offscreen platform's note that it cannot raise windows
            failOnWarning(/^(?!This plugin does not support raise\(\)).*/)
            AppManager.reset()
            AppManager.setCameraForChannel(1, "korvex-test://1", 640, 480, 30.0, "Default")
            AppManager.setCameraForChannel(2, "korvex-test://2", 640, 480, 30.0, "Default")
            find("displaySelector").currentIndex = 1
        }

        function cleanup() {
            if (preview.outputWindow) {
                preview.outputWindow.closeOutput()
                tryCompare(preview.outputWindow, "visible", false)
                // every test starts from a window that has not been shown yet
                preview.outputWindow.isFullscreenMode = true
                preview.outputWindow.displayIndex = 0
            }
            AppManager.reset()
        }

        function test_displaySelectorListsTheScreens() {
            var selector = find("displaySelector")
            verify(selector.visible)
            compare(selector.count, 2)
            compare(selector.textAt(0), "Display 1 (Primary)")
            compare(selector.textAt(1), "Display 2")
        }

        function test_firstOpeningIsFullscreenOnTheSecondDisplay() {
            openFromPanel()
            verifyFullscreenOn(1)
            verify(preview.isOutputActive)
            compare(find("outputButtonText").text, "HIDE OUTPUT")
            compare(output.title, "Korvex – Program Output (CH 1)")
            verify(output.overlayVisible)
            compare(findChild(output.contentItem, "outputInfo").text, "PROGRAM (CH 1)  •  Display 2 [FULLSCREEN]")
        }

        function test_escapeGoesWindowedThenCloses() {
            openFromPanel()
            verifyFullscreenOn(1)
            keyClick(Qt.Key_Escape)
            verifyWindowedOn(1)
            compare(findChild(output.contentItem, "outputInfo").text, "PROGRAM (CH 1)  •  Display 2 [WINDOWED]")
            compare(findChild(output.contentItem, "modeText").text, "FULLSCREEN")
            verify(preview.isOutputActive)
            keyClick(Qt.Key_Escape)
            tryCompare(output, "visible", false)
            // closing from the window's own keys resets the panel's button
            tryVerify(function () { return !preview.isOutputActive })
            compare(find("outputButtonText").text, "OUTPUT")
        }

        function test_modeToggles_data() {
            return [
                { tag: "mode button", how: "button" },
                { tag: "F11", how: Qt.Key_F11 },
                { tag: "F", how: Qt.Key_F },
                { tag: "double click on the picture", how: "double" }
            ]
        }
        function test_modeToggles(data) {
            openFromPanel()
            verifyFullscreenOn(1)
            for (var round = 0; round < 2; ++round) {
                if (data.how === "button")
                    mouseClick(findChild(output.contentItem, "modeButton"))
                else if (data.how === "double")
                    mouseDoubleClickSequence(findChild(output.contentItem, "pictureArea"), 300, 300)
                else
                    keyClick(data.how)
                if (round === 0)
                    verifyWindowedOn(1)
                else
                    verifyFullscreenOn(1)
            }
        }

        function test_closeButtonHidesTheWindowAndResetsThePanel() {
            openFromPanel()
            mouseClick(findChild(output.contentItem, "closeButton"))
            tryCompare(output, "visible", false)
            tryVerify(function () { return !preview.isOutputActive })
            // the window is reused on the next opening
            output.objectName = "firstOutput"
            openFromPanel()
            compare(output.objectName, "firstOutput")
            verifyFullscreenOn(1)
        }

        function test_displayChoice() {
            // a choice made while closed applies at the next opening
            find("displaySelector").currentIndex = 0
            openFromPanel()
            verifyFullscreenOn(0)
            compare(findChild(output.contentItem, "outputInfo").text, "PROGRAM (CH 1)  •  Display 1 (Primary) [FULLSCREEN]")
            // the context menu's display list marks the current one
            var displays = findChild(output, "displayMenu")
            verify(displays)
            compare(displays.count, 2)
            compare(displays.itemAt(0).text, "Display 1 (Primary)  ✓")
            compare(displays.itemAt(1).text, "Display 2")
            // moving an open window keeps its mode
            output.repositionToScreen(1)
            verifyFullscreenOn(1)
            compare(displays.itemAt(1).text, "Display 2  ✓")
            keyClick(Qt.Key_Escape)
            verifyWindowedOn(1)
            output.repositionToScreen(0)
            verifyWindowedOn(0)
        }

        function test_aDisplayThatWentAwayOpensOnTheLastScreen() {
            openFromPanel()
            output.closeOutput()
            tryCompare(output, "visible", false)
            output.openOutput(5)
            verifyFullscreenOn(1)
            // the info text and the menu name the screen it is on
            compare(findChild(output.contentItem, "outputInfo").text, "PROGRAM (CH 1)  •  Display 2 [FULLSCREEN]")
            var displays = findChild(output, "displayMenu")
            compare(displays.itemAt(0).text, "Display 1 (Primary)")
            compare(displays.itemAt(1).text, "Display 2  ✓")
        }

        // The output opened fullscreen, with its content laid out. The
        // offscreen platform makes a window that first shows fullscreen
        // screen-sized without laying out its content (it stays 1x1 until
        // the window is resized once), so it goes windowed and back first.
        function openFullscreenLaidOut() {
            openFromPanel()
            verifyFullscreenOn(1)
            keyClick(Qt.Key_Escape)
            verifyWindowedOn(1)
            keyClick(Qt.Key_F11)
            verifyFullscreenOn(1)
            tryVerify(function () { return findChild(output.contentItem, "pictureArea").width > 300 })
        }

        // The right-click menu of the picture, open.
        function openContextMenu() {
            var menu = findChild(output, "contextMenu")
            var picture = findChild(output.contentItem, "pictureArea")
            var x = picture.width / 2, y = picture.height / 2
            mouseMove(picture, x, y)
            mouseClick(picture, x, y, Qt.RightButton)
            tryCompare(menu, "opened", true)
            return menu
        }

        // The "Select Display Monitor" entry of the right-click menu: the
        // display submenu, open.
        function openDisplayMenu() {
            var menu = openContextMenu()
            compare(menu.itemAt(2).text, "Select Display Monitor")
            mouseClick(menu.itemAt(2))
            var displays = findChild(output, "displayMenu")
            tryCompare(displays, "opened", true)
            return displays
        }

        function test_displayMenuMovesTheWindow_data() {
            return [
                { tag: "fullscreen", windowed: false },
                { tag: "windowed", windowed: true }
            ]
        }
        function test_displayMenuMovesTheWindow(data) {
            openFullscreenLaidOut()
            if (data.windowed) {
                keyClick(Qt.Key_Escape)
                verifyWindowedOn(1)
            }
            var displays = openDisplayMenu()
            compare(displays.count, 2)
            compare(displays.itemAt(0).text, "Display 1 (Primary)")
            compare(displays.itemAt(1).text, "Display 2  ✓")
            mouseClick(displays.itemAt(0))
            tryCompare(displays, "opened", false)
            compare(output.displayIndex, 0)
            if (data.windowed)
                verifyWindowedOn(0)
            else
                verifyFullscreenOn(0)
            compare(findChild(output.contentItem, "outputInfo").text,
                    "PROGRAM (CH 1)  •  Display 1 (Primary) " + (data.windowed ? "[WINDOWED]" : "[FULLSCREEN]"))
            // the mark follows, and the other entry takes it back
            displays = openDisplayMenu()
            compare(displays.itemAt(0).text, "Display 1 (Primary)  ✓")
            compare(displays.itemAt(1).text, "Display 2")
            mouseClick(displays.itemAt(1))
            tryCompare(displays, "opened", false)
            if (data.windowed)
                verifyWindowedOn(1)
            else
                verifyFullscreenOn(1)
        }

        function test_contextMenuTogglesAndCloses() {
            openFullscreenLaidOut()
            var menu = openContextMenu()
            compare(menu.itemAt(0).text, "Change to Windowed Mode (Esc)")
            mouseClick(menu.itemAt(0))
            verifyWindowedOn(1)
            menu = openContextMenu()
            compare(menu.itemAt(0).text, "Switch to Fullscreen (F11)")
            compare(menu.itemAt(4).text, "Close Output Monitor")
            mouseClick(menu.itemAt(4))
            tryCompare(output, "visible", false)
            tryVerify(function () { return !preview.isOutputActive })
        }

        function test_overlayHidesUnlessThePointerRestsOnTheOutput() {
            // a window the pointer has never been over
            if (preview.outputWindow) {
                var old = preview.outputWindow
                preview.outputWindow = null
                old.destroy()
            }
            openFromPanel()
            verify(output.overlayVisible)
            var bar = findChild(output.contentItem, "overlayBar")
            verify(bar.visible)
            // the pointer is elsewhere: gone about 3 s after the opening
            tryCompare(output, "overlayVisible", false, 5000)
            verify(!bar.visible)
            // pointer movement over the picture brings it back ...
            var picture = findChild(output.contentItem, "pictureArea")
            mouseMove(picture, 400, 400)
            mouseMove(picture, 410, 410)
            verify(output.overlayVisible)
            // ... and it stays while the pointer rests on the output
            wait(3500)
            verify(output.overlayVisible)
        }

        function test_followsTheProgramWhileShown() {
            openFromPanel()
            AppManager.activeSourceId = 2
            compare(output.channelIndex, 2)
            compare(findChild(output.contentItem, "outputVideo").channelIndex, 2)
            compare(output.title, "Korvex – Program Output (CH 2)")
            output.closeOutput()
            tryCompare(output, "visible", false)
            // a hidden window takes the panel's channel when it is next opened
            AppManager.activeSourceId = 1
            compare(output.channelIndex, 2)
            openFromPanel()
            compare(output.channelIndex, 1)
        }
    }
}
