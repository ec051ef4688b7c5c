import QtQuick
import QtQuick.Layouts
import QtTest
import Korvex 1.0

// The source configuration overlay's flows over four virtual test cameras:
// live apply, cancel restores, confirm, disable and hotkey capture.
Item {
    id: root
    width: 1280
    height: 720

    SourceConfigDialog {
        id: dialog
        anchors.fill: parent
    }

    function child(name) { return testCase.findChild(dialog, name) }

    TestCase {
        id: testCase
        name: "SourceDialog"
        when: windowShown

        function init() { AppManager.reset(); dialog.visible = false }
        function cleanup() { dialog.visible = false; AppManager.reset() }

        // The overlay's buttons are placed by its layouts in the next polish
        // pass. A button that was hidden until now (DISABLE SOURCE outside
        // edit mode) still sits at 0,0 with no size before that pass, where a
        // click lands on CANCEL instead. Only the outermost layout is
        // scheduled for polishing, so waiting on the button's own row is not
        // enough: wait until the button has its place.
        function clickWhenPlaced(button) {
            tryVerify(function () { return button.width === button.Layout.preferredWidth }, 2000,
                      button.objectName + " is laid out")
            mouseClick(button)
        }

        function chooseCamera(index) {
            child("cameraCombo").currentIndex = index
            dialog.updateFormatsForSelectedCamera()
        }
        function chooseResolution(index) {
            child("resolutionCombo").currentIndex = index
            dialog.updateFpsForSelectedResolution()
        }

        function test_addModeAssignsAtOnceAndCancelRemovesIt() {
            AppManager.setCameraForChannel(1, "korvex-test://1", 640, 480, 30.0, "Default")
            dialog.openForChannel(2, false)
            verify(dialog.visible)
            compare(child("dialogTitle").text, "ADD VIDEO SOURCE (CHANNEL 2)")
            // the first camera not used by another channel, already live
            compare(AppManager.getCameraLinkForChannel(2), "korvex-test://2")
            verify(ChannelsModel.hasActiveVideo(2))
            verify(AppManager.isCameraRunningForChannel(2))
            clickWhenPlaced(child("cancelButton"))
            verify(!dialog.visible)
            compare(ChannelsModel.hasActiveVideo(2), false)
            compare(AppManager.getCameraLinkForChannel(2), "")
            verify(!AppManager.isCameraRunningForChannel(2))
        }

        function test_formatsOfTheChosenCamera() {
            dialog.openForChannel(1, false)
            compare(dialog.resolutionEntries, ["3840x2160 (4K UHD)", "1920x1080 (1080p FHD)", "1280x720 (720p HD)", "640x480 (SD)"])
            chooseResolution(0)
            compare(dialog.framerateEntries, ["30.00 fps (RGB24)"])
            chooseResolution(1)
            compare(dialog.framerateEntries, ["60.00 fps (RGB24)", "30.00 fps (RGB24)"])
            compare(AppManager.frameWidthOnChannel(1), 1920)
        }

        function test_editCancelRestoresWhatTheChannelHad() {
            AppManager.setCameraForChannel(3, "korvex-test://2", 1280, 720, 60.0, "Partial (16-235 TV)")
            dialog.openForChannel(3, true)
            compare(child("dialogTitle").text, "CONFIGURE CHANNEL 3")
            compare(child("cameraCombo").currentIndex, 1)
            compare(child("resolutionCombo").currentText, "1280x720 (720p HD)")
            compare(child("framerateCombo").currentText, "60.00 fps (RGB24)")
            compare(child("rangeCombo").currentIndex, 2)
            chooseCamera(3)
            chooseResolution(3)
            compare(AppManager.getCameraLinkForChannel(3), "korvex-test://4")
            compare(AppManager.frameWidthOnChannel(3), 640)
            dialog.cancelAndClose()
            compare(AppManager.getCameraLinkForChannel(3), "korvex-test://2")
            compare(AppManager.getCameraWidthForChannel(3), 1280)
            compare(AppManager.getCameraFramerateForChannel(3), 60.0)
            compare(AppManager.getCameraColorRangeForChannel(3), "Partial (16-235 TV)")
            compare(AppManager.frameWidthOnChannel(3), 1280)
            verify(ChannelsModel.hasActiveVideo(3))
        }

        function test_cancelLeavesAStaleChannelWithoutARunningCamera() {
            AppManager.makeStale(4, "korvex-test://3")
            verify(!AppManager.isCameraRunningForChannel(4))
            dialog.openForChannel(4, true)
            verify(AppManager.isCameraRunningForChannel(4)) // the live preview runs meanwhile
            dialog.cancelAndClose()
            verify(!AppManager.isCameraRunningForChannel(4))
            compare(AppManager.getCameraLinkForChannel(4), "korvex-test://3")
            compare(AppManager.getCameraWidthForChannel(4), 640)
            verify(ChannelsModel.hasActiveVideo(4)) // as it was: an empty link leaves the model alone
        }

        function test_confirmNamesTheChannel_data() {
            return [
                { tag: "typed name", typed: "  WIDE SHOT ", expected: "WIDE SHOT" },
                { tag: "empty name", typed: "   ", expected: "CAM 2" }
            ]
        }
        function test_confirmNamesTheChannel(data) {
            dialog.openForChannel(2, false)
            compare(child("nameInput").text, "Source 2")
            child("nameInput").text = data.typed
            clickWhenPlaced(child("confirmButton"))
            verify(!dialog.visible)
            compare(ChannelsModel.getChannelName(2), data.expected)
            verify(AppManager.isCameraRunningForChannel(2))
        }

        function test_framerateIsAppliedOnConfirm() {
            dialog.openForChannel(1, false)
            chooseResolution(1)
            var calls = AppManager.setCameraCallCount()
            child("framerateCombo").currentIndex = 0
            compare(AppManager.setCameraCallCount(), calls)
            dialog.applyAndClose()
            compare(AppManager.getCameraFramerateForChannel(1), 60.0)
        }

        function test_disableTakesTheCameraOffAndMovesTheProgram() {
            AppManager.setCameraForChannel(1, "korvex-test://1", 640, 480, 30.0, "Default")
            AppManager.setCameraForChannel(2, "korvex-test://2", 640, 480, 30.0, "Default")
            AppManager.activeSourceId = 1
            dialog.openForChannel(1, true)
            verify(child("disableButton").visible)
            clickWhenPlaced(child("disableButton"))
            verify(!dialog.visible)
            compare(ChannelsModel.hasActiveVideo(1), false)
            verify(!AppManager.isCameraRunningForChannel(1))
            compare(AppManager.getCameraLinkForChannel(1), "korvex-test://1") // the choice is remembered
            compare(AppManager.activeSourceId, 2)
        }

        function test_hotkeyCapture() {
            dialog.openForChannel(2, false)
            compare(child("keyText").text, "Key 2")
            mouseClick(child("keyCard"))
            verify(AppManager.isCapturingKeybind)
            compare(child("keyText").text, "Press Key...")
            keyPress(Qt.Key_Shift)
            verify(dialog.isListening)
            keyClick(Qt.Key_F7)
            verify(!dialog.isListening)
            verify(!AppManager.isCapturingKeybind)
            compare(AppManager.getSourceKey(1), Qt.Key_F7)
            compare(child("keyText").text, "F7")
            mouseClick(child("keyCard"))
            keyClick(Qt.Key_Escape)
            verify(!dialog.isListening)
            compare(AppManager.getSourceKey(1), Qt.Key_F7)
            dialog.cancelAndClose()
            compare(AppManager.getSourceKey(1), Qt.Key_F7)
        }

        function test_serbianTexts() {
            AppManager.currentLanguage = "SR"
            dialog.openForChannel(3, true)
            compare(child("dialogTitle").text, "PODEŠAVANJE ZA KANAL 3")
            AppManager.currentLanguage = "EN"
        }
    }
}
