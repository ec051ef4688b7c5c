import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Korvex 1.0
import "SourceConfigLogic.js" as Logic
import "MonitorLogic.js" as MonitorLogic
import "../Controls/Bilingual.js" as Bilingual

// The source configuration overlay: assigns a camera to a channel (add mode)
// or changes the camera, size, framerate, colour range, name and hotkey of a
// channel (edit mode). Every camera, size and colour-range choice is applied
// at once; cancel puts the channel back as it was when the overlay opened.
Rectangle {
    id: dialog

    property int targetChannelId: 1
    property bool isEditMode: false
    property var availableCameras: []
    property var currentDeviceFormats: []
    property string originalLink: ""
    property int originalW: 1920
    property int originalH: 1080
    property real originalFps: 30.0
    property string originalRange: "Default"
    property bool originalActive: false
    // Whether the channel's camera was running when the overlay opened; a
    // stale choice (no running source) must not come back running on cancel.
    property bool originalRunning: false
    property bool isListening: false

    property var resolutionEntries: []
    property var framerateEntries: []

    readonly property string language: AppManager.currentLanguage
    function tr(en, sr) { return Bilingual.pick(language, en, sr) }

    visible: false
    color: Qt.rgba(0, 0, 0, 0.75)

    // What had the keyboard before the overlay opened; it gets it back on
    // closing, so that a typed channel name does not leave the focus in the
    // hidden name field, where it would swallow the camera switch hotkeys.
    property Item focusBeforeOpening: null

    onVisibleChanged: {
        if (visible)
            return
        isListening = false
        AppManager.isCapturingKeybind = false
        if (nameInput.activeFocus || card.activeFocus) {
            if (focusBeforeOpening && focusBeforeOpening.visible)
                focusBeforeOpening.forceActiveFocus()
            else
                nameInput.focus = false
        }
        focusBeforeOpening = null
    }

    // The backdrop swallows every click outside the card.
    MouseArea { anchors.fill: parent; hoverEnabled: true; acceptedButtons: Qt.AllButtons }

    function cameraChosen() {
        return availableCameras.length > 0 && cameraCombo.currentIndex >= 0
            && cameraCombo.currentIndex < availableCameras.length
    }

    function openForChannel(channelId, editMode) {
        targetChannelId = channelId
        isEditMode = editMode
        originalLink = AppManager.getCameraLinkForChannel(channelId)
        originalW = AppManager.getCameraWidthForChannel(channelId)
        originalH = AppManager.getCameraHeightForChannel(channelId)
        originalFps = AppManager.getCameraFramerateForChannel(channelId)
        originalRange = AppManager.getCameraColorRangeForChannel(channelId)
        originalActive = ChannelsModel.hasActiveVideo(channelId)
        originalRunning = AppManager.isCameraRunningForChannel(channelId)
        isListening = false

        availableCameras = AppManager.getAvailableCameras()
        var name = ChannelsModel.getChannelName(channelId)
        nameInput.text = name !== "" ? name : "CAM " + channelId

        if (editMode) {
            cameraCombo.currentIndex = availableCameras.length > 0
                ? Logic.cameraIndexForLink(availableCameras, originalLink) : 0
            loadFormats()
            if (resolutionEntries.length > 0) {
                resolutionCombo.currentIndex = Logic.resolutionIndexFor(resolutionEntries, originalW, originalH)
                loadFramerates()
            }
            if (framerateEntries.length > 0)
                framerateCombo.currentIndex = Logic.framerateIndexFor(framerateEntries, originalFps)
            rangeCombo.currentIndex = Logic.colorRangeIndexFor(originalRange)
        } else {
            var used = []
            for (var id = 1; id <= 4; ++id)
                if (ChannelsModel.hasActiveVideo(id))
                    used.push(AppManager.getCameraLinkForChannel(id))
            cameraCombo.currentIndex = availableCameras.length > 0
                ? Logic.firstUnusedCameraIndex(availableCameras, used) : 0
            loadFormats()
            rangeCombo.currentIndex = 0
        }
        applyLivePreview()
        if (!visible)
            focusBeforeOpening = Window.activeFocusItem
        visible = true
    }

    // Fills the resolution and framerate entries for the chosen camera.
    function loadFormats() {
        if (!cameraChosen()) {
            currentDeviceFormats = []
            resolutionEntries = Logic.defaultResolutions.slice()
            framerateEntries = Logic.defaultFramerates.slice()
            return false
        }
        currentDeviceFormats = AppManager.getCameraFormats(availableCameras[cameraCombo.currentIndex].link)
        if (currentDeviceFormats.length === 0) {
            resolutionEntries = Logic.defaultResolutions.slice()
            framerateEntries = Logic.defaultFramerates.slice()
            return false
        }
        var keep = resolutionCombo.currentIndex
        resolutionEntries = Logic.resolutionEntries(currentDeviceFormats)
        resolutionCombo.currentIndex = (keep >= 0 && keep < resolutionEntries.length) ? keep : 0
        loadFramerates()
        return true
    }

    function loadFramerates() {
        var keep = framerateCombo.currentIndex
        var size = Logic.parseResolution(resolutionEntries[resolutionCombo.currentIndex])
        if (currentDeviceFormats.length === 0 || resolutionEntries.length === 0 || !size)
            framerateEntries = Logic.defaultFramerates.slice()
        else
            framerateEntries = Logic.framerateEntries(currentDeviceFormats, size.width, size.height)
        framerateCombo.currentIndex = (keep >= 0 && keep < framerateEntries.length) ? keep : 0
    }

    function updateFormatsForSelectedCamera() {
        if (loadFormats())
            applyLivePreview()
    }

    function updateFpsForSelectedResolution() {
        loadFramerates()
        applyLivePreview()
    }

    function applyLivePreview() {
        if (!cameraChosen())
            return
        var link = availableCameras[cameraCombo.currentIndex].link
        var size = Logic.parseResolution(resolutionEntries[resolutionCombo.currentIndex]) || { width: 1920, height: 1080 }
        var fps = Logic.parseFramerate(framerateEntries[framerateCombo.currentIndex])
        var range = Logic.colorRangeValues[rangeCombo.currentIndex] || "Default"
        AppManager.setCameraForChannel(targetChannelId, link, size.width, size.height, fps, range)
        ChannelsModel.setHasActiveVideo(targetChannelId, true)
    }

    function applyAndClose() {
        if (cameraChosen()) {
            applyLivePreview()
            var name = nameInput.text.trim()
            ChannelsModel.setChannelName(targetChannelId, name !== "" ? name : "CAM " + targetChannelId)
        }
        visible = false
    }

    function cancelAndClose() {
        if (originalLink === "") {
            AppManager.removeCameraFromChannel(targetChannelId)
            ChannelsModel.setHasActiveVideo(targetChannelId, false)
        } else if (!originalRunning) {
            // The channel only remembered a camera: put the choice back without opening it.
            AppManager.restoreStaleCameraForChannel(targetChannelId, originalLink, originalW, originalH,
                                                    originalFps, originalRange)
            ChannelsModel.setHasActiveVideo(targetChannelId, originalActive)
        } else {
            AppManager.setCameraForChannel(targetChannelId, originalLink, originalW, originalH, originalFps, originalRange)
            ChannelsModel.setHasActiveVideo(targetChannelId, originalActive)
        }
        visible = false
    }

    function disableAndClose() {
        var ch = targetChannelId
        AppManager.setCameraForChannel(ch, "", 1920, 1080, 30.0, "Default")
        ChannelsModel.setHasActiveVideo(ch, false)
        if (AppManager.activeSourceId === ch)
            AppManager.activeSourceId = MonitorLogic.nextProgramSource(ch, function (id) { return ChannelsModel.hasActiveVideo(id) })
        visible = false
    }

    // Hotkey capture: Escape ends it unchanged, a modifier alone is ignored,
    // any other key becomes the channel's switch key.
    function handleKey(key) {
        if (!isListening)
            return false
        if (key === Qt.Key_Escape) {
            isListening = false
            AppManager.isCapturingKeybind = false
            return true
        }
        if (key === Qt.Key_Shift || key === Qt.Key_Control || key === Qt.Key_Alt || key === Qt.Key_Meta
                || key === Qt.Key_AltGr || key === Qt.Key_unknown)
            return true
        AppManager.setSourceKey(targetChannelId - 1, key)
        isListening = false
        AppManager.isCapturingKeybind = false
        return true
    }

    Rectangle {
        id: card
        objectName: "sourceCard"
        width: 900
        height: 550
        anchors.centerIn: parent
        color: Colors.panelDark
        border.width: 1
        border.color: Colors.accent
        radius: 6
        clip: true

        Keys.onPressed: function (event) { if (dialog.handleKey(event.key)) event.accepted = true }

        RowLayout {
            anchors.fill: parent
            anchors.margins: 20
            spacing: 20

            ColumnLayout {
                Layout.preferredWidth: 450
                Layout.fillHeight: true
                spacing: 14

                RowLayout {
                    spacing: 10
                    Layout.fillWidth: true
                    Rectangle {
                        width: 32; height: 32; radius: 4
                        color: Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                        border.width: 1
                        border.color: Colors.accent
                        Text { anchors.centerIn: parent; text: "📹"; font.pixelSize: 14 }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        Text {
                            objectName: "dialogTitle"
                            text: dialog.isEditMode
                                  ? dialog.tr("CONFIGURE CHANNEL " + dialog.targetChannelId, "PODEŠAVANJE ZA KANAL " + dialog.targetChannelId)
                                  : dialog.tr("ADD VIDEO SOURCE (CHANNEL " + dialog.targetChannelId + ")", "DODAJ VIDEO SOURCE (KANAL " + dialog.targetChannelId + ")")
                            color: Colors.textPrimary
                            font: Typography.captionBold
                        }
                        Text {
                            text: dialog.isEditMode
                                  ? dialog.tr("Change device or resolution without deleting source", "Izmenite uređaj ili rezoluciju bez brisanja sourca")
                                  : dialog.tr("Select video device and signal parameters", "Izaberite video uređaj i parametre signala")
                            color: Colors.textSecondary
                            font: Typography.caption
                        }
                    }
                    DarkButton {
                        objectName: "headerClose"
                        width: 32; height: 32
                        Layout.preferredWidth: 32
                        Layout.preferredHeight: 32
                        onClicked: dialog.cancelAndClose()
                        Text { anchors.centerIn: parent; text: "✕"; font.pixelSize: 13; color: Colors.textSecondary }
                    }
                }

                Rectangle { Layout.fillWidth: true; height: 1; color: Colors.borderDark }

                FieldLabel { text: dialog.tr("CHANNEL NAME:", "NAZIV KANALA:") }
                Rectangle {
                    Layout.fillWidth: true
                    height: 32
                    radius: 3
                    color: Colors.surfaceDark
                    border.width: 1
                    border.color: nameInput.activeFocus ? Colors.accent : Colors.borderDark
                    TextInput {
                        id: nameInput
                        objectName: "nameInput"
                        anchors.fill: parent
                        anchors.leftMargin: 10
                        anchors.rightMargin: 10
                        verticalAlignment: TextInput.AlignVCenter
                        color: Colors.textPrimary
                        font: Typography.caption
                        selectByMouse: true
                        clip: true
                    }
                }

                FieldLabel { text: dialog.tr("VIDEO DEVICE (CAMERA / CAPTURE CARD):", "VIDEO UREĐAJ (KAMERA / CAPTURE CARD):") }
                DarkComboBox {
                    id: cameraCombo
                    objectName: "cameraCombo"
                    Layout.fillWidth: true
                    implicitHeight: 32
                    font: Typography.caption
                    model: dialog.availableCameras.length > 0
                           ? dialog.availableCameras.map(function (c) { return c.name })
                           : [dialog.tr("No cameras detected", "Nema pronađenih kamera")]
                    onActivated: dialog.updateFormatsForSelectedCamera()
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 12
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 4
                        FieldLabel { text: dialog.tr("RESOLUTION:", "REZOLUCIJA:") }
                        DarkComboBox {
                            id: resolutionCombo
                            objectName: "resolutionCombo"
                            Layout.fillWidth: true
                            implicitHeight: 32
                            font: Typography.caption
                            model: dialog.resolutionEntries
                            onActivated: dialog.updateFpsForSelectedResolution()
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 4
                        FieldLabel { text: dialog.tr("FRAMERATE (FPS):", "BROJ SLIČICA (FPS):") }
                        DarkComboBox {
                            id: framerateCombo
                            objectName: "framerateCombo"
                            Layout.fillWidth: true
                            implicitHeight: 32
                            font: Typography.caption
                            model: dialog.framerateEntries
                        }
                    }
                }

                FieldLabel { text: dialog.tr("COLOR RANGE:", "RASPON BOJA (COLOR RANGE):") }
                DarkComboBox {
                    id: rangeCombo
                    objectName: "rangeCombo"
                    Layout.fillWidth: true
                    implicitHeight: 32
                    font: Typography.caption
                    model: Logic.colorRangeEntries
                    onActivated: dialog.applyLivePreview()
                }

                FieldLabel { text: dialog.tr("CAMERA SWITCH KEYBIND (HOTKEY):", "PREČICA ZA SWITCH KAMERE (KEYBIND):") }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Rectangle {
                        objectName: "keyCard"
                        width: 140; height: 34; radius: 4
                        color: dialog.isListening ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                             : keyArea.containsMouse ? Colors.surfaceDark : Colors.panelDark
                        border.width: dialog.isListening ? 2 : 1
                        border.color: dialog.isListening ? Colors.accent
                                    : keyArea.containsMouse ? Colors.borderStrong : Colors.borderDark
                        Row {
                            anchors.centerIn: parent
                            spacing: 8
                            Rectangle {
                                anchors.verticalCenter: parent.verticalCenter
                                width: 6; height: 6; radius: 3
                                color: dialog.isListening ? Colors.accent
                                     : AppManager.activeSourceId === dialog.targetChannelId ? Colors.recRed : Colors.borderStrong
                            }
                            Text {
                                objectName: "keyText"
                                font: Typography.bodyBold
                                color: dialog.isListening ? Colors.accent : Colors.textPrimary
                                text: {
                                    if (dialog.isListening)
                                        return dialog.tr("Press Key...", "Pritisnite taster...")
                                    var n = AppManager.getSourceKeyName(dialog.targetChannelId - 1)
                                    return n !== "" ? n : "Key " + dialog.targetChannelId
                                }
                            }
                        }
                        MouseArea {
                            id: keyArea
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: {
                                dialog.isListening = true
                                AppManager.isCapturingKeybind = true
                                card.forceActiveFocus()
                            }
                        }
                    }
                    Text {
                        Layout.fillWidth: true
                        elide: Text.ElideRight
                        font: Typography.caption
                        color: dialog.isListening ? Colors.accent : Colors.textMuted
                        text: dialog.isListening
                              ? dialog.tr("Waiting for key press (press Esc to cancel)...", "Čekanje tastera (Esc za odustajanje)...")
                              : dialog.tr("Click to assign camera switch hotkey", "Kliknite za promenu prečice")
                    }
                }

                Rectangle {
                    Layout.fillWidth: true
                    height: 34
                    radius: 4
                    color: Qt.rgba(Colors.surfaceDark.r, Colors.surfaceDark.g, Colors.surfaceDark.b, 0.9)
                    border.width: 1
                    border.color: Colors.borderDark
                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 10
                        anchors.rightMargin: 10
                        spacing: 8
                        Text { text: "🎙"; font.pixelSize: 12 }
                        Text {
                            Layout.fillWidth: true
                            elide: Text.ElideRight
                            color: Colors.textSecondary
                            font.pixelSize: 10
                            text: dialog.tr("Audio inputs for this video channel are routed in the Audio Mixer at the bottom.",
                                            "Audio ulazi za ovaj video kanal se podešavaju u Audio Mixer-u na dnu ekrana.")
                        }
                    }
                }

                Item { Layout.fillHeight: true }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    DarkButton {
                        objectName: "cancelButton"
                        Layout.preferredWidth: 90
                        Layout.preferredHeight: 36
                        onClicked: dialog.cancelAndClose()
                        Text { anchors.centerIn: parent; text: dialog.tr("CANCEL", "OTKAŽI"); color: Colors.textSecondary; font: Typography.captionBold }
                    }
                    Item {
                        objectName: "disableButton"
                        visible: dialog.isEditMode
                        Layout.preferredWidth: 140
                        Layout.preferredHeight: 36
                        Rectangle {
                            anchors.fill: parent
                            radius: 3
                            border.width: 1
                            border.color: Colors.recRed
                            color: disableArea.pressed ? Qt.rgba(Colors.recRed.r, Colors.recRed.g, Colors.recRed.b, 0.25) : Colors.surfaceDark
                            Text { anchors.centerIn: parent; text: dialog.tr("DISABLE SOURCE", "ISKLJUČI SOURCE"); color: Colors.recRed; font: Typography.captionBold }
                        }
                        MouseArea { id: disableArea; anchors.fill: parent; onClicked: dialog.disableAndClose() }
                    }
                    Item { Layout.fillWidth: true }
                    Item {
                        objectName: "confirmButton"
                        Layout.preferredWidth: 150
                        Layout.preferredHeight: 36
                        Rectangle {
                            anchors.fill: parent
                            radius: 3
                            color: confirmArea.pressed ? Qt.darker(Colors.accent, 1.2) : Colors.accent
                            Text {
                                anchors.centerIn: parent
                                color: "#000000"
                                font: Typography.captionBold
                                text: dialog.isEditMode ? dialog.tr("SAVE CHANGES", "SAČUVAJ IZMENE") : dialog.tr("ADD SOURCE", "DODAJ SOURCE")
                            }
                        }
                        MouseArea { id: confirmArea; anchors.fill: parent; onClicked: dialog.applyAndClose() }
                    }
                }
            }

            ColumnLayout {
                Layout.preferredWidth: 410
                Layout.fillHeight: true
                spacing: 14
                FieldLabel { text: dialog.tr("LIVE PREVIEW:", "PRIKAZ UŽIVO:") }
                Rectangle {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: Colors.surfaceDark
                    border.width: 1
                    border.color: Colors.borderDark
                    radius: 4
                    clip: true
                    VideoStreamItem {
                        objectName: "dialogVideo"
                        anchors.fill: parent
                        anchors.margins: 1
                        channelIndex: dialog.targetChannelId
                    }
                }
            }
        }
    }

    component FieldLabel: Text {
        color: Colors.textSecondary
        font: Typography.captionBold
    }
}
