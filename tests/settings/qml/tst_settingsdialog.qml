import QtQuick
import QtQuick.Controls
import QtTest
import Korvex 1.0
import "qrc:/Korvex/ui/qml/Components/SettingsLogic.js" as SettingsLogic

TestCase {
    id: test
    name: "SettingsDialog"
    when: windowShown

    property var windows: []

    function openDocument(path) {
        const component = Qt.createComponent("qrc:/Korvex/ui/qml/" + path)
        compare(component.status, Component.Ready, component.errorString())
        const win = component.createObject(null)
        verify(win !== null)
        windows.push(win)
        win.show()
        tryVerify(() => win.visible && win.width > 0)
        waitForRendering(win.contentItem)
        return win
    }

    function openDialog() { return openDocument("Components/SettingsDialog.qml") }

    function item(win, name) {
        const found = findChild(win.contentItem, name)
        verify(found !== null, name)
        return found
    }

    function showPage(win, tabName) {
        mouseClick(item(win, "settingsTab_" + tabName))
        waitForRendering(win.contentItem)
    }

    // picks a list entry the way the operator does: open the list, click the row
    function chooseEntry(combo, index) {
        combo.popup.open()
        tryVerify(() => combo.popup.opened)
        const list = combo.popup.contentItem
        list.positionViewAtIndex(index, ListView.Contain)
        let row = null
        tryVerify(() => (row = list.itemAtIndex(index)) !== null)
        waitForRendering(row)
        mouseClick(row)
        tryVerify(() => !combo.popup.visible)
    }

    function focusWindow(win) {
        win.requestActivate()
        tryVerify(() => win.active)
    }

    // replaces a field's text by typing, as from the keyboard
    function typeInto(field, text) {
        mouseClick(field)
        verify(field.activeFocus)
        field.selectAll()
        keyClick(Qt.Key_Delete)
        for (const ch of text)
            keyClick(ch)
    }

    function showAdvanced(win) {
        AppManager.advancedQualityEnabled = true
        tryVerify(() => item(win, "settingsAdvancedGrid").visible)
        // the grid sits below the fold of the recording page
        const page = item(win, "settingsRecordingPage")
        const grid = item(win, "settingsAdvancedGrid")
        tryVerify(() => grid.height > 0)
        page.contentY = Math.min(grid.mapToItem(page.contentItem, 0, 0).y - 8, page.contentHeight - page.height)
        waitForRendering(win.contentItem)
    }

    function init() {
        // the guard sees messages outside the test functions, this inside them
        // (the offscreen platform cannot raise a window shown again)
        failOnWarning(/^(?!This plugin does not support raise\(\)).*/)
        settingsProbe.clear()
    }

    function cleanup() {
        for (const win of windows) {
            if (win.recordingConfig) {
                win.recordingConfig.resolutionIndex = 2
                win.recordingConfig.framerateIndex = 4
                win.recordingConfig.encoderIndex = 0
                win.recordingConfig.formatIndex = 0
                win.recordingConfig.qualityIndex = 2
            }
            win.destroy()
        }
        windows = []
        wait(0)
        AppManager.currentLanguage = "EN"
        AppManager.recordingQualityIndex = 2
        AppManager.rateControlMode = "CBR"
        AppManager.cqpLevel = 20
        AppManager.targetBitrateKbps = 16000
        AppManager.maxBitrateKbps = 24000
        AppManager.advancedQualityEnabled = false
        AppManager.recordingFormatIndex = 0
        AppManager.recordingResolutionIndex = 2
        AppManager.recordingFramerateIndex = 4
        for (let i = 0; i < 4; ++i)
            AppManager.setSourceKey(i, Qt.Key_1 + i)
        compare(settingsProbe.warnings(), [])
    }

    function test_windowFrame() {
        const win = openDialog()
        compare(win.title, "Program Settings")
        compare(win.width, 680)
        compare(win.height, 720)
        verify(win.flags & Qt.FramelessWindowHint)
        compare(win.currentCategoryIndex, 0)
        for (const [tab, index] of [["SOURCES", 1], ["AUDIO", 2], ["SYSTEM", 3], ["RECORDING", 0]]) {
            showPage(win, tab)
            compare(win.currentCategoryIndex, index)
        }
    }

    // the index sent is the entry's position in the window's own lists
    function test_presetChoice_data() {
        return [
            { tag: "Auto frame rate", combo: "settingsFramerate", entry: "Auto (Match Highest Camera FPS)",
              index: 10, property: "recordingFramerateIndex", key: "framerateIndex" },
            { tag: "SD resolution", combo: "settingsResolution", entry: "640x480 (SD)",
              index: 4, property: "recordingResolutionIndex", key: "resolutionIndex" },
            { tag: "4K resolution", combo: "settingsResolution", entry: "3840x2160 (4K UHD)",
              index: 0, property: "recordingResolutionIndex", key: "resolutionIndex" },
            { tag: "Medium quality", combo: "settingsQuality", entry: "Medium (8 Mbps - Standard 1080p)",
              index: 1, property: "recordingQualityIndex", key: "qualityIndex" }
        ]
    }

    function test_presetChoice(data) {
        const win = openDialog()
        const combo = item(win, data.combo)
        compare(combo.textAt(data.index), data.entry)
        chooseEntry(combo, data.index)
        compare(AppManager[data.property], data.index)
        compare(win.recordingConfig[data.key], data.index)
        compare(combo.currentIndex, data.index)
        compare(combo.displayText, data.entry)
        // the combo follows the stored choice afterwards too
        win.recordingConfig[data.key] = 2
        compare(combo.currentIndex, 2)
    }

    function test_encoderComboWithShorterList_data() {
        const one = [{ name: "H.264 (libx264)", note: "CPU Encoding" }]
        const three = one.concat([{ name: "HEVC (libx265)", note: "CPU Encoding" },
                                  { name: "H.264 (VAAPI)", note: "Hardware Accelerated" }])
        return [
            { tag: "one entry, stored 2", list: one, stored: 2, shown: 0 },
            { tag: "three entries, stored 2", list: three, stored: 2, shown: 2 },
            { tag: "empty list", list: [], stored: 2, shown: 0 }
        ]
    }

    function test_encoderComboWithShorterList(data) {
        const win = openDialog()
        win.encoderList = data.list
        win.recordingConfig.encoderIndex = data.stored
        const combo = item(win, "settingsEncoder")
        compare(combo.count, data.list.length)
        if (data.list.length > 0) {
            compare(combo.currentIndex, data.shown)
            compare(combo.displayText, data.list[data.shown].name)
        } else {
            compare(combo.displayText, "")
        }
    }

    function test_encoderChoiceReachesBackend() {
        const win = openDialog()
        const combo = item(win, "settingsEncoder")
        // the list comes from the start-up probe, which may still be running
        tryVerify(() => combo.count >= 1, 30000)
        compare(combo.textAt(0), AppManager.encoderCapabilities[0].name)
        const last = combo.count - 1
        chooseEntry(combo, last)
        compare(AppManager.recordingEncoderIndex, last)
        compare(win.recordingConfig.encoderIndex, last)
        chooseEntry(combo, 0)
        compare(AppManager.recordingEncoderIndex, 0)
    }

    function test_qualityPresetActs() {
        const win = openDialog()
        showAdvanced(win)
        const quality = item(win, "settingsQuality")
        const rateField = item(win, "settingsRateField")
        chooseEntry(quality, 3)
        compare(AppManager.recordingQualityIndex, 3)
        compare(AppManager.targetBitrateKbps, 30000)
        compare(AppManager.maxBitrateKbps, 45000)
        compare(rateField.text, "30000")
        compare(item(win, "settingsMaxBitrateField").text, "45000")

        chooseEntry(quality, 4)
        compare(AppManager.rateControlMode, "CQP")
        compare(AppManager.cqpLevel, 0)
        compare(item(win, "settingsRateLabel").text, "CQP Level (1-51)")
        compare(rateField.text, "0")

        chooseEntry(quality, 0)
        compare(AppManager.rateControlMode, "CBR")
        compare(AppManager.cqpLevel, 20)
        compare(rateField.text, "4000")
    }

    function test_containerChoice() {
        const win = openDialog()
        const combo = item(win, "settingsFormat")
        chooseEntry(combo, 1)
        compare(AppManager.recordingFormatIndex, 1)
        compare(win.recordingConfig.formatIndex, 1)
        compare(combo.displayText, "MKV (.mkv - Safe Matroska Container)")

        // AVI is listed as not available and a click on it chooses nothing
        combo.popup.open()
        tryVerify(() => combo.popup.opened)
        const list = combo.popup.contentItem
        let avi = null
        tryVerify(() => (avi = list.itemAtIndex(4)) !== null)
        verify(!avi.enabled)
        compare(avi.rowNote, "Not yet available")
        mouseClick(avi)
        combo.popup.close()
        tryVerify(() => !combo.popup.visible)
        compare(AppManager.recordingFormatIndex, 1)
        compare(win.recordingConfig.formatIndex, 1)
        compare(combo.currentIndex, 1)

        // a stored AVI (an older or hand-edited configuration) shows what is recorded
        win.recordingConfig.formatIndex = 4
        compare(combo.currentIndex, 0)
        compare(combo.displayText, "MP4 (.mp4 - Universal MPEG-4)")
    }

    function test_storedChoicesReachBackendAtStart() {
        const win = openDialog()
        win.recordingConfig.formatIndex = 3
        win.recordingConfig.qualityIndex = 1
        win.recordingConfig.resolutionIndex = 4
        win.recordingConfig.pushToBackend()
        compare(AppManager.recordingFormatIndex, 3)
        compare(AppManager.recordingQualityIndex, 1)
        compare(AppManager.targetBitrateKbps, 8000)
        compare(AppManager.recordingResolutionIndex, 4)
        win.recordingConfig.formatIndex = 4
        win.recordingConfig.pushToBackend()
        compare(AppManager.recordingFormatIndex, 0)
    }

    function test_rateControlSwitchesFields_data() {
        return [
            { tag: "CBR", mode: 0, label: "Target Bitrate (Kbps)", labelColor: Colors.textSecondary,
              shows: "16000", maxEnabled: false, maxLabelColor: "#555555" },
            { tag: "VBR", mode: 1, label: "Target Bitrate (Kbps)", labelColor: Colors.textSecondary,
              shows: "16000", maxEnabled: true, maxLabelColor: Colors.textSecondary },
            { tag: "CQP", mode: 2, label: "CQP Level (1-51)", labelColor: Colors.accent,
              shows: "20", maxEnabled: false, maxLabelColor: "#555555" }
        ]
    }

    function test_rateControlSwitchesFields(data) {
        const win = openDialog()
        showAdvanced(win)
        const rate = item(win, "settingsRateControl")
        chooseEntry(rate, data.mode)
        compare(AppManager.rateControlMode, SettingsLogic.rateControlModes[data.mode])
        const label = item(win, "settingsRateLabel")
        compare(label.text, data.label)
        compare(label.color, data.labelColor)
        compare(item(win, "settingsRateField").text, data.shows)
        const max = item(win, "settingsMaxBitrateField")
        compare(max.enabled, data.maxEnabled)
        compare(item(win, "settingsMaxBitrateLabel").color, Qt.color(data.maxLabelColor))
        compare(max.color, data.maxEnabled ? Colors.textPrimary : Qt.color("#555555"))
    }

    function test_cqpField() {
        const win = openDialog()
        showAdvanced(win)
        focusWindow(win)
        chooseEntry(item(win, "settingsRateControl"), 2)
        const field = item(win, "settingsRateField")
        typeInto(field, "75")
        keyClick(Qt.Key_Return)
        compare(AppManager.cqpLevel, 51)
        compare(field.text, "51")

        // letters cannot be typed; a cleared field sends nothing
        keyClick("a")
        compare(field.text, "51")
        typeInto(field, "")
        compare(field.text, "")
        keyClick(Qt.Key_Return)
        compare(AppManager.cqpLevel, 51)
        compare(field.text, "51")

        // 0 is a level (lossless), sent as typed
        typeInto(field, "0")
        keyClick(Qt.Key_Return)
        compare(AppManager.cqpLevel, 0)
    }

    // a typed bit rate reaches the backend once, complete, and never as 0
    function test_bitrateCommit() {
        const win = openDialog()
        showAdvanced(win)
        focusWindow(win)
        const field = item(win, "settingsRateField")
        const spy = targetSpy
        spy.clear()

        typeInto(field, "12000")
        compare(field.text, "12000")
        compare(spy.count, 0)
        compare(AppManager.targetBitrateKbps, 16000)
        keyClick(Qt.Key_Return)
        compare(spy.count, 1)
        compare(AppManager.targetBitrateKbps, 12000)

        // leaving the field commits too
        typeInto(field, "9000")
        compare(spy.count, 1)
        mouseClick(item(win, "settingsKeyframeField"))
        compare(spy.count, 2)
        compare(AppManager.targetBitrateKbps, 9000)

        // 0 is no bit rate: nothing is sent and the field shows the kept value
        typeInto(field, "0")
        keyClick(Qt.Key_Return)
        compare(spy.count, 2)
        compare(AppManager.targetBitrateKbps, 9000)
        compare(field.text, "9000")

        // the max-bit-rate field in VBR: committed the same way, 0 refused
        chooseEntry(item(win, "settingsRateControl"), 1)
        const max = item(win, "settingsMaxBitrateField")
        typeInto(max, "0")
        keyClick(Qt.Key_Return)
        compare(AppManager.maxBitrateKbps, 24000)
        compare(max.text, "24000")
        typeInto(max, "30000")
        compare(AppManager.maxBitrateKbps, 24000)
        keyClick(Qt.Key_Tab)
        compare(AppManager.maxBitrateKbps, 30000)
    }

    // a field not being edited follows its property
    function test_fieldsRefreshFromBackend() {
        const win = openDialog()
        showAdvanced(win)
        AppManager.keyframeInterval = 5
        compare(item(win, "settingsKeyframeField").text, "5")
        AppManager.bFrames = 0
        compare(item(win, "settingsBFramesField").text, "0")
        AppManager.targetBitrateKbps = 7000
        compare(item(win, "settingsRateField").text, "7000")
        AppManager.keyframeInterval = 2
        AppManager.bFrames = 2
    }

    function test_folderChoiceIsDecoded_data() {
        return [
            { tag: "spaces", url: "file:///tmp/My%20Takes/Day%201", path: "/tmp/My Takes/Day 1" },
            { tag: "accented", url: "file:///home/op/Vid%C3%A9os", path: "/home/op/Vidéos" },
            { tag: "percent sign", url: "file:///srv/100%25%20done", path: "/srv/100% done" },
            { tag: "plain", url: "file:///srv/korvex", path: "/srv/korvex" }
        ]
    }

    function test_folderChoiceIsDecoded(data) {
        const win = openDialog()
        const before = AppManager.recordingPath
        compare(win.folderDialog.title, "Select Recording Output Path")
        // what the chooser's accepted handler runs with its chosen folder
        win.applyChosenFolder(data.url)
        compare(AppManager.recordingPath, data.path)
        compare(item(win, "settingsPathField").text, data.path)
        AppManager.recordingPath = before
    }

    function test_todaysDateIsUtc() {
        const win = openDialog()
        const before = AppManager.activeSessionName
        mouseClick(item(win, "settingsTodaysDate"))
        const expected = "Session_" + new Date().toISOString().substring(0, 10)
        compare(AppManager.activeSessionName, expected)
        compare(item(win, "settingsSessionField").text, expected)
        // late evening west of Greenwich is already tomorrow in UTC
        compare(SettingsLogic.todaySessionName(new Date(Date.UTC(2026, 11, 31, 23, 30))), "Session_2026-12-31")
        compare(SettingsLogic.todaySessionName(new Date(Date.UTC(2027, 0, 1, 0, 5))), "Session_2027-01-01")
        AppManager.activeSessionName = before
    }

    function test_hotkeyCard() {
        const win = openDialog()
        showPage(win, "SYSTEM")
        focusWindow(win)
        const card = item(win, "settingsKeyCard1")
        const name = item(win, "settingsKeyName1")
        compare(name.text, "1")

        mouseClick(card)
        verify(card.listening)
        verify(AppManager.isCapturingKeybind)
        compare(name.text, "Press Key...")

        // Escape keeps the old key
        keyClick(Qt.Key_Escape)
        verify(!card.listening)
        verify(!AppManager.isCapturingKeybind)
        compare(AppManager.getSourceKey(0), Qt.Key_1)
        compare(name.text, "1")

        // a modifier alone keeps listening
        mouseClick(card)
        keyClick(Qt.Key_Shift)
        verify(card.listening)
        verify(AppManager.isCapturingKeybind)
        keyClick(Qt.Key_Control)
        verify(card.listening)

        // F5 assigns F5
        keyClick(Qt.Key_F5)
        verify(!card.listening)
        verify(!AppManager.isCapturingKeybind)
        compare(AppManager.getSourceKey(0), Qt.Key_F5)
        compare(name.text, "F5")
        compare(item(win, "settingsKeyName2").text, "2")

        // closing the window while a card listens gives the hotkeys back
        mouseClick(item(win, "settingsKeyCard2"))
        verify(AppManager.isCapturingKeybind)
        win.close()
        tryVerify(() => !AppManager.isCapturingKeybind)
        compare(AppManager.getSourceKey(1), Qt.Key_2)
    }

    function test_languageSwitchReachesEveryWindow() {
        const main = openDocument("Main.qml")
        const help = openDocument("Components/HelpWindow.qml")
        const win = openDialog()
        showPage(win, "SYSTEM")
        mouseClick(item(win, "settingsLanguageSR"))
        compare(AppManager.currentLanguage, "SR")
        compare(item(win, "settingsLanguageTitle").text, "JEZIK INTERFEJSA")
        compare(item(win, "settingsUpdateTitle").text, "AŽURIRANJE PROGRAMA (SOFTWARE UPDATE)")
        compare(item(win, "settingsSaveText").text, "SAČUVAJ PODEŠAVANJA")
        compare(item(win, "settingsLanguageSR").color, Colors.accent)
        compare(item(help, "helpFooterCloseText").text, "ZATVORI")
        compare(item(main, "topHeaderBar").remoteToolTip, "Daljinska Kontrola (Telefon Web App & QR)")

        mouseClick(item(win, "settingsLanguageEN"))
        compare(AppManager.currentLanguage, "EN")
        compare(item(win, "settingsSaveText").text, "SAVE SETTINGS")
        compare(item(help, "helpFooterCloseText").text, "CLOSE")
    }

    // the gear button keeps one window: closed, it comes back as it was left
    function test_gearReopensTheSameWindow() {
        const main = openDocument("Main.qml")
        const header = item(main, "topHeaderBar")
        mouseClick(item(main, "settingsButton"))
        let win = null
        tryVerify(() => (win = header.controlWindow) !== null && win.visible)
        windows.push(win)
        const page = item(win, "settingsRecordingPage")
        page.contentY = page.contentHeight - page.height
        waitForRendering(win.contentItem)
        mouseClick(item(win, "settingsInstallResolve"))
        const status = item(win, "settingsResolveStatus")
        verify(status.visible)
        const statusText = status.text
        verify(statusText.length > 0)
        showPage(win, "SYSTEM")
        mouseClick(item(win, "settingsSave"))
        tryVerify(() => !win.visible)

        mouseClick(item(main, "settingsButton"))
        tryVerify(() => win.visible)
        verify(header.controlWindow === win)
        compare(win.currentCategoryIndex, 3)
        compare(item(win, "settingsResolveStatus").text, statusText)
        mouseClick(item(win, "settingsHeaderClose"))
        tryVerify(() => !win.visible)
    }

    function test_sourcesPage() {
        const win = openDialog()
        showPage(win, "SOURCES")
        const list = item(win, "settingsSourceList")
        compare(list.count, 4)
        for (let id = 1; id <= 4; ++id) {
            list.positionViewAtIndex(id - 1, ListView.Contain)
            waitForRendering(list)
            compare(item(win, "settingsSourcePreview" + id).channelIndex, id)
        }
        list.positionViewAtIndex(1, ListView.Contain)
        mouseClick(item(win, "settingsSourceProperties2"))
        const popup = win.propertiesPopup
        tryVerify(() => popup.opened)
        compare(popup.channelName, "Source 2")
        focusWindow(win)
        keyClick(Qt.Key_Escape)
        tryVerify(() => !popup.visible)
    }

    function test_audioRoutingAndTracks() {
        const win = openDialog()
        showPage(win, "AUDIO")
        const input = item(win, "settingsMasterInput")
        compare(input.count, AppManager.audioInputDevices.length)
        compare(input.displayText, AppManager.masterAudioDevice)
        const tracks = item(win, "settingsSeparateTracks")
        verify(!tracks.checked)
        mouseClick(tracks)
        verify(AppManager.separateAudioRecordingEnabled)
        AppManager.separateAudioRecordingEnabled = false
        verify(!tracks.checked)
    }

    SignalSpy {
        id: targetSpy
        target: AppManager
        signalName: "targetBitrateKbpsChanged"
    }
}
