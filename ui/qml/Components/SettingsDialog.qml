import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import QtQuick.Dialogs
import Korvex 1.0
import "SettingsLogic.js" as SettingsLogic
import "../Controls/Bilingual.js" as Bilingual

// The program's settings: recording, sources, audio and system pages. Every
// control writes to the backend the moment it is changed; the footer button
// only closes. Closing hides the window, and the header shows the same one
// again with its page, fields and Resolve status.
Window {
    id: root
    objectName: "settingsDialog"

    property int currentCategoryIndex: 0
    // the encoder list shown; the backend's, replaceable by a test
    property var encoderList: AppManager.encoderCapabilities
    property string daVinciStatus: ""
    property bool daVinciInstalled: false
    // bumped on every hotkey change, so the key cards read the new names
    property int keybindsRevision: 0
    property alias recordingConfig: recordingConfig
    property alias folderDialog: folderDialog
    property alias propertiesPopup: propertiesPopup

    readonly property string language: AppManager.currentLanguage
    function tr(english, serbian) { return Bilingual.pick(language, english, serbian) }

    title: "Program Settings"
    width: 680
    height: 720
    color: Colors.backgroundDark
    flags: Qt.Window | Qt.FramelessWindowHint

    RecordingConfigStore { id: recordingConfig }

    // A key card listens only while it has the focus; a window that is closed
    // or left must not keep the program's hotkeys switched off.
    function stopKeyCapture() { pageArea.forceActiveFocus() }
    onActiveChanged: if (!active) stopKeyCapture()
    onVisibleChanged: if (!visible) stopKeyCapture()

    Connections {
        target: AppManager
        function onKeybindsChanged() { root.keybindsRevision++ }
    }

    function applyChosenFolder(url) {
        AppManager.recordingPath = SettingsLogic.folderFromUrl(url)
    }

    function useTodaysDate() {
        var name = SettingsLogic.todaySessionName(new Date())
        sessionField.text = name
        AppManager.setActiveSessionName(name)
    }

    // The benchmark's recommendation for every preset. The backend applies
    // resolution and frame rate itself; the encoder and quality are handed
    // over here so the combos never show a choice the next take would not use.
    function applyRecommended() {
        recordingConfig.resolutionIndex = AppManager.recommendedResolutionIndex
        recordingConfig.framerateIndex = AppManager.recommendedFramerateIndex
        recordingConfig.encoderIndex = SettingsLogic.encoderIndexFor(AppManager.recommendedEncoderIndex,
                                                                     root.encoderList.length)
        recordingConfig.qualityIndex = AppManager.recommendedQualityIndex
        AppManager.recordingEncoderIndex = recordingConfig.encoderIndex
        AppManager.recordingQualityIndex = recordingConfig.qualityIndex
        AppManager.applyRecommendedSettings()
    }

    function installResolveScript() {
        daVinciInstalled = AppManager.installDaVinciIntegration()
        daVinciStatus = daVinciInstalled
                ? "Script installed successfully! Check Workspace -> Scripts in Resolve."
                : "Failed to install script. Please run as Administrator or check permissions."
    }

    FolderDialog {
        id: folderDialog
        title: "Select Recording Output Path"
        currentFolder: SettingsLogic.folderUrl(AppManager.recordingPath)
        onAccepted: root.applyChosenFolder(selectedFolder)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // header: a press on the bare bar moves the window
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 50
            color: Colors.panelDark
            MouseArea {
                anchors.fill: parent
                onPressed: root.startSystemMove()
            }
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Colors.borderDark }
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                text: "SETTINGS"
                color: Colors.textPrimary
                font: Typography.heading2
            }
            DarkButton {
                objectName: "settingsHeaderClose"
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                width: 40
                height: 32
                onClicked: root.close()
                Text {
                    anchors.centerIn: parent
                    text: "✕"
                    font.pixelSize: 14
                    color: Colors.textSecondary
                }
            }
        }

        // category tabs
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 34
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 12
            Layout.bottomMargin: 6
            color: Colors.panelDark
            border.width: 1
            border.color: Colors.borderDark
            radius: 4

            RowLayout {
                anchors.fill: parent
                anchors.margins: 2
                spacing: 3
                Repeater {
                    model: [{ icon: "📹", name: "RECORDING" }, { icon: "🖥", name: "SOURCES" },
                            { icon: "🎙", name: "AUDIO" }, { icon: "⚙", name: "SYSTEM" }]
                    delegate: Rectangle {
                        id: tab
                        required property var modelData
                        required property int index
                        readonly property bool selected: root.currentCategoryIndex === index
                        objectName: "settingsTab_" + modelData.name
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        Layout.preferredWidth: 1
                        radius: 3
                        border.width: 1
                        color: selected ? Colors.surfaceDark
                             : tabMouse.containsMouse ? Qt.rgba(1, 1, 1, 0.05)
                             : "transparent"
                        border.color: selected ? Colors.accent
                                    : tabMouse.containsMouse ? Colors.borderLight
                                    : "transparent"
                        Row {
                            anchors.centerIn: parent
                            spacing: 6
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: tab.modelData.icon
                                font.pixelSize: 11
                                // small sizes fall back to a monochrome symbol font
                                font.family: "Noto Color Emoji"
                                // a monochrome fallback takes the name's colour
                                color: tab.selected ? Colors.accent : Colors.textPrimary
                                opacity: tab.selected ? 1.0 : tabMouse.containsMouse ? 0.8 : 0.5
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: tab.modelData.name
                                font: Typography.captionBold
                                color: tab.selected ? Colors.accent
                                     : tabMouse.containsMouse ? Colors.textPrimary
                                     : Colors.textSecondary
                            }
                        }
                        MouseArea {
                            id: tabMouse
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: root.currentCategoryIndex = tab.index
                        }
                    }
                }
            }
        }

        // page area; it also takes the focus back from a key card
        Item {
            id: pageArea
            objectName: "settingsPageArea"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.topMargin: 6
            Layout.bottomMargin: 20
            clip: true
            focus: true

            StackLayout {
                anchors.fill: parent
                currentIndex: root.currentCategoryIndex

                // ------------------------------------------------ recording
                ScrollingPage {
                    id: recordingPage
                    objectName: "settingsRecordingPage"
                    narrowBy: 14

                    // output path
                    FieldColumn {
                        SectionLabel { text: "Recording Output Path" }
                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 12
                            DarkTextField {
                                id: pathField
                                objectName: "settingsPathField"
                                Layout.fillWidth: true
                                text: AppManager.recordingPath
                                onEditingFinished: {
                                    AppManager.recordingPath = text
                                    text = Qt.binding(() => AppManager.recordingPath)
                                }
                            }
                            DarkButton {
                                objectName: "settingsBrowse"
                                Layout.preferredWidth: 80
                                Layout.preferredHeight: 36
                                onClicked: folderDialog.open()
                                Text {
                                    anchors.centerIn: parent
                                    text: "BROWSE"
                                    color: Colors.accent
                                    font: Typography.captionBold
                                }
                            }
                            DarkButton {
                                objectName: "settingsOpenFolder"
                                Layout.preferredWidth: 160
                                Layout.preferredHeight: 36
                                onClicked: Qt.openUrlExternally(SettingsLogic.folderUrl(AppManager.recordingPath))
                                Row {
                                    anchors.centerIn: parent
                                    spacing: 6
                                    Text { text: "📁"; font.pixelSize: 14; anchors.verticalCenter: parent.verticalCenter }
                                    Text {
                                        anchors.verticalCenter: parent.verticalCenter
                                        text: "Open Output Folder"
                                        color: Colors.textPrimary
                                        font: Typography.captionBold
                                    }
                                }
                            }
                        }
                    }

                    // session name
                    FieldColumn {
                        SectionLabel { text: "Recording Session Name (Custom Name or Auto Date)" }
                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 12
                            DarkTextField {
                                id: sessionField
                                objectName: "settingsSessionField"
                                Layout.fillWidth: true
                                text: AppManager.activeSessionName
                                placeholderText: "e.g. Podcast_Episode_1 (or leave empty for auto date)"
                                onEditingFinished: {
                                    AppManager.setActiveSessionName(text)
                                    text = Qt.binding(() => AppManager.activeSessionName)
                                }
                            }
                            DarkButton {
                                objectName: "settingsTodaysDate"
                                Layout.preferredWidth: 140
                                Layout.preferredHeight: 36
                                onClicked: root.useTodaysDate()
                                Text {
                                    anchors.centerIn: parent
                                    text: "USE TODAY'S DATE"
                                    color: Colors.accent
                                    font: Typography.captionBold
                                }
                            }
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "ℹ️ Take Organization: When recording starts, Korvex automatically creates Take_01, Take_02, Take_03... folders inside the session folder."
                            color: Colors.textMuted
                            font: Typography.small
                            wrapMode: Text.WordWrap
                        }
                    }

                    // resolution and frame rate
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 20
                        FieldColumn {
                            Layout.preferredWidth: 1
                            SectionLabel { text: "Master Recording Resolution" }
                            DarkComboBox {
                                id: resolutionCombo
                                objectName: "settingsResolution"
                                Layout.fillWidth: true
                                model: SettingsLogic.resolutionEntries
                                currentIndex: recordingConfig.resolutionIndex
                                onActivated: index => {
                                    recordingConfig.resolutionIndex = index
                                    AppManager.recordingResolutionIndex = index
                                    currentIndex = Qt.binding(() => recordingConfig.resolutionIndex)
                                }
                            }
                        }
                        FieldColumn {
                            Layout.preferredWidth: 1
                            SectionLabel { text: "Global Framerate" }
                            DarkComboBox {
                                objectName: "settingsFramerate"
                                Layout.fillWidth: true
                                model: SettingsLogic.framerateEntries
                                currentIndex: recordingConfig.framerateIndex
                                onActivated: index => {
                                    recordingConfig.framerateIndex = index
                                    AppManager.recordingFramerateIndex = index
                                    currentIndex = Qt.binding(() => recordingConfig.framerateIndex)
                                }
                            }
                        }
                    }

                    // encoder and quality
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 20
                        FieldColumn {
                            Layout.preferredWidth: 1
                            SectionLabel { text: "Video Encoder & Codec" }
                            DarkComboBox {
                                objectName: "settingsEncoder"
                                Layout.fillWidth: true
                                model: root.encoderList
                                textRole: "name"
                                noteRole: "note"
                                currentIndex: SettingsLogic.encoderIndexFor(recordingConfig.encoderIndex,
                                                                            root.encoderList.length)
                                onActivated: index => {
                                    recordingConfig.encoderIndex = index
                                    AppManager.recordingEncoderIndex = index
                                    currentIndex = Qt.binding(() => SettingsLogic.encoderIndexFor(
                                                                  recordingConfig.encoderIndex, root.encoderList.length))
                                }
                            }
                        }
                        FieldColumn {
                            Layout.preferredWidth: 1
                            SectionLabel { text: "Quality Preset" }
                            DarkComboBox {
                                objectName: "settingsQuality"
                                Layout.fillWidth: true
                                model: SettingsLogic.qualityEntries
                                currentIndex: recordingConfig.qualityIndex
                                onActivated: index => {
                                    recordingConfig.qualityIndex = index
                                    AppManager.recordingQualityIndex = index
                                    currentIndex = Qt.binding(() => recordingConfig.qualityIndex)
                                }
                            }
                        }
                    }

                    // container
                    FieldColumn {
                        SectionLabel { text: "Recording Format (Container)" }
                        DarkComboBox {
                            objectName: "settingsFormat"
                            Layout.fillWidth: true
                            model: SettingsLogic.formatEntries
                            textRole: "name"
                            noteRole: "note"
                            currentIndex: SettingsLogic.formatIndexFor(recordingConfig.formatIndex)
                            onActivated: index => {
                                // a container that cannot be recorded is never chosen
                                if (SettingsLogic.formatAvailable(index)) {
                                    recordingConfig.formatIndex = index
                                    AppManager.recordingFormatIndex = index
                                }
                                currentIndex = Qt.binding(() => SettingsLogic.formatIndexFor(recordingConfig.formatIndex))
                            }
                        }
                    }

                    // advanced quality
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 12
                        RowLayout {
                            spacing: 10
                            Switch {
                                id: advancedSwitch
                                objectName: "settingsAdvancedSwitch"
                                checked: AppManager.advancedQualityEnabled
                                onToggled: {
                                    AppManager.advancedQualityEnabled = checked
                                    checked = Qt.binding(() => AppManager.advancedQualityEnabled)
                                }
                            }
                            Text {
                                text: "Unlock Advanced Quality Settings"
                                color: Colors.textPrimary
                                font: Typography.captionBold
                            }
                        }

                        GridLayout {
                            id: advancedGrid
                            objectName: "settingsAdvancedGrid"
                            Layout.fillWidth: true
                            visible: AppManager.advancedQualityEnabled
                            columns: 2
                            columnSpacing: 20
                            rowSpacing: 12

                            // what the rate combo shows: an unknown mode shows as CBR
                            readonly property bool cqpMode: AppManager.rateControlMode === "CQP"
                            readonly property bool vbrMode: AppManager.rateControlMode === "VBR"

                            GridLabel { text: "Rate Control" }
                            DarkComboBox {
                                id: rateCombo
                                objectName: "settingsRateControl"
                                Layout.fillWidth: true
                                model: SettingsLogic.rateControlModes
                                currentIndex: SettingsLogic.indexOrDefault(SettingsLogic.rateControlModes,
                                                                           AppManager.rateControlMode, "CBR")
                                onActivated: index => {
                                    AppManager.rateControlMode = SettingsLogic.rateControlModes[index]
                                    currentIndex = Qt.binding(() => SettingsLogic.indexOrDefault(
                                                                  SettingsLogic.rateControlModes, AppManager.rateControlMode, "CBR"))
                                }
                            }

                            GridLabel {
                                objectName: "settingsRateLabel"
                                text: advancedGrid.cqpMode ? "CQP Level (1-51)" : "Target Bitrate (Kbps)"
                                color: advancedGrid.cqpMode ? Colors.accent : Colors.textSecondary
                            }
                            DigitTextField {
                                id: rateField
                                objectName: "settingsRateField"
                                value: advancedGrid.cqpMode ? AppManager.cqpLevel : AppManager.targetBitrateKbps
                                // a typed bit rate reaches the running encoders once, when
                                // it is complete (Enter or leaving the field)
                                onCommitted: text => {
                                    var v = SettingsLogic.rateFieldValue(text, advancedGrid.cqpMode)
                                    if (v === null)
                                        return
                                    if (advancedGrid.cqpMode)
                                        AppManager.cqpLevel = v
                                    else
                                        AppManager.targetBitrateKbps = v
                                }
                                Connections {
                                    target: AppManager
                                    // after the field's value has followed the new mode
                                    function onRateControlModeChanged() { Qt.callLater(rateField.refresh) }
                                }
                            }

                            GridLabel {
                                objectName: "settingsMaxBitrateLabel"
                                text: "Max Bitrate (Kbps)"
                                color: advancedGrid.vbrMode ? Colors.textSecondary : "#555555"
                            }
                            DigitTextField {
                                objectName: "settingsMaxBitrateField"
                                enabled: advancedGrid.vbrMode
                                textColor: advancedGrid.vbrMode ? Colors.textPrimary : "#555555"
                                fillColor: advancedGrid.vbrMode ? Colors.surfaceDark : "#111111"
                                value: AppManager.maxBitrateKbps
                                onCommitted: text => {
                                    var v = SettingsLogic.parseDigits(text)
                                    if (v !== null && v > 0)
                                        AppManager.maxBitrateKbps = v
                                }
                            }

                            GridLabel { text: "Keyframe Interval (s)" }
                            DigitTextField {
                                objectName: "settingsKeyframeField"
                                value: AppManager.keyframeInterval
                                onCommitted: text => {
                                    var v = SettingsLogic.parseDigits(text)
                                    if (v !== null)
                                        AppManager.keyframeInterval = v
                                }
                            }

                            GridLabel { text: "B-Frames" }
                            DigitTextField {
                                objectName: "settingsBFramesField"
                                value: AppManager.bFrames
                                onCommitted: text => {
                                    var v = SettingsLogic.parseDigits(text)
                                    if (v !== null)
                                        AppManager.bFrames = v
                                }
                            }

                            GridLabel { text: "Encoder Profile" }
                            DarkComboBox {
                                objectName: "settingsProfile"
                                Layout.fillWidth: true
                                model: SettingsLogic.encoderProfiles
                                currentIndex: SettingsLogic.indexOrDefault(SettingsLogic.encoderProfiles,
                                                                           AppManager.encoderProfile, "High")
                                onActivated: index => {
                                    AppManager.encoderProfile = SettingsLogic.encoderProfiles[index]
                                    currentIndex = Qt.binding(() => SettingsLogic.indexOrDefault(
                                                                  SettingsLogic.encoderProfiles, AppManager.encoderProfile, "High"))
                                }
                            }

                            GridLabel { text: "Lookahead" }
                            Switch {
                                objectName: "settingsLookahead"
                                checked: AppManager.lookaheadEnabled
                                onToggled: {
                                    AppManager.lookaheadEnabled = checked
                                    checked = Qt.binding(() => AppManager.lookaheadEnabled)
                                }
                            }

                            GridLabel { text: "Color Space" }
                            DarkComboBox {
                                objectName: "settingsColorSpace"
                                Layout.fillWidth: true
                                model: SettingsLogic.colorSpaces
                                currentIndex: SettingsLogic.indexOrDefault(SettingsLogic.colorSpaces,
                                                                           AppManager.colorSpace, "Rec.709")
                                onActivated: index => {
                                    AppManager.colorSpace = SettingsLogic.colorSpaces[index]
                                    currentIndex = Qt.binding(() => SettingsLogic.indexOrDefault(
                                                                  SettingsLogic.colorSpaces, AppManager.colorSpace, "Rec.709"))
                                }
                            }

                            GridLabel { text: "Color Range" }
                            DarkComboBox {
                                objectName: "settingsColorRange"
                                Layout.fillWidth: true
                                model: SettingsLogic.colorRanges
                                currentIndex: SettingsLogic.indexOrDefault(SettingsLogic.colorRanges,
                                                                           AppManager.colorRange, "Limited (16-235)")
                                onActivated: index => {
                                    AppManager.colorRange = SettingsLogic.colorRanges[index]
                                    currentIndex = Qt.binding(() => SettingsLogic.indexOrDefault(
                                                                  SettingsLogic.colorRanges, AppManager.colorRange,
                                                                  "Limited (16-235)"))
                                }
                            }
                        }
                    }

                    // hardware benchmark
                    Card {
                        ColumnLayout {
                            id: benchColumn
                            anchors.left: parent.left
                            anchors.right: parent.right
                            anchors.top: parent.top
                            anchors.margins: 14
                            spacing: 10
                            RowLayout {
                                Layout.fillWidth: true
                                Text {
                                    text: "HARDWARE BENCHMARK & AUTO-OPTIMIZER"
                                    color: Colors.textPrimary
                                    font: Typography.captionBold
                                }
                                Item { Layout.fillWidth: true }
                                Text {
                                    objectName: "settingsBenchStatus"
                                    readonly property bool accelerated: AppManager.hardwareSummary.indexOf("[AVAILABLE]") !== -1
                                    text: accelerated ? "READY (HARDWARE ACCELERATED)" : "READY (CPU FALLBACK)"
                                    color: accelerated ? Colors.liveGreen : Colors.accent
                                    font: Typography.smallBold
                                }
                            }
                            CardText { text: "GPU: " + AppManager.hardwareGpuInfo }
                            CardText { text: "CPU: " + AppManager.hardwareCpuInfo }
                            CardText { text: AppManager.hardwareSummary }
                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 12
                                DarkButton {
                                    objectName: "settingsBenchmark"
                                    Layout.preferredWidth: 280
                                    Layout.preferredHeight: 34
                                    enabled: !AppManager.isBenchmarking
                                    onClicked: AppManager.runHardwareBenchmark()
                                    Row {
                                        anchors.centerIn: parent
                                        spacing: 8
                                        Text { text: "⚡"; font.pixelSize: 13; anchors.verticalCenter: parent.verticalCenter }
                                        Text {
                                            anchors.verticalCenter: parent.verticalCenter
                                            text: AppManager.isBenchmarking ? "BENCHMARKING HARDWARE..."
                                                                            : "BENCHMARK HARDWARE & OPTIMIZE"
                                            color: Colors.textPrimary
                                            font: Typography.captionBold
                                        }
                                    }
                                }
                                Item { Layout.fillWidth: true }
                                DarkButton {
                                    objectName: "settingsApplyRecommended"
                                    Layout.preferredWidth: 210
                                    Layout.preferredHeight: 34
                                    visible: AppManager.benchmarkSummary.length > 0
                                    onClicked: root.applyRecommended()
                                    Row {
                                        anchors.centerIn: parent
                                        spacing: 6
                                        Text {
                                            anchors.verticalCenter: parent.verticalCenter
                                            text: "✓"
                                            color: Colors.liveGreen
                                            font.pixelSize: 13
                                            font.bold: true
                                        }
                                        Text {
                                            anchors.verticalCenter: parent.verticalCenter
                                            text: "APPLY RECOMMENDED"
                                            color: Colors.textPrimary
                                            font: Typography.captionBold
                                        }
                                    }
                                }
                            }
                            Rectangle {
                                objectName: "settingsBenchResult"
                                Layout.fillWidth: true
                                Layout.preferredHeight: benchResultText.implicitHeight + 16
                                visible: AppManager.benchmarkSummary.length > 0
                                color: "#0f172a"
                                border.width: 1
                                border.color: "#334155"
                                radius: 4
                                Text {
                                    id: benchResultText
                                    anchors.fill: parent
                                    anchors.margins: 10
                                    text: AppManager.benchmarkSummary
                                    color: "#38bdf8"
                                    font.pixelSize: 11
                                    font.family: "Consolas, Segoe UI, sans-serif"
                                    wrapMode: Text.Wrap
                                }
                            }
                        }
                        contentHeight: benchColumn.implicitHeight + 28
                    }

                    // DaVinci Resolve
                    Card {
                        ColumnLayout {
                            id: resolveColumn
                            anchors.left: parent.left
                            anchors.right: parent.right
                            anchors.top: parent.top
                            anchors.margins: 14
                            spacing: 10
                            Text {
                                text: "DAVINCI RESOLVE INTEGRATION"
                                color: Colors.textPrimary
                                font: Typography.captionBold
                            }
                            CardText {
                                text: "Installs a Python script into DaVinci Resolve so you can easily browse and auto-import Korvex takes."
                            }
                            Text {
                                objectName: "settingsResolveStatus"
                                Layout.fillWidth: true
                                visible: root.daVinciStatus.length > 0
                                text: root.daVinciStatus
                                color: root.daVinciInstalled ? Colors.liveGreen : Colors.accent
                                font: Typography.captionBold
                                wrapMode: Text.WordWrap
                            }
                            DarkButton {
                                objectName: "settingsInstallResolve"
                                Layout.preferredWidth: 280
                                Layout.preferredHeight: 34
                                onClicked: root.installResolveScript()
                                Row {
                                    anchors.centerIn: parent
                                    spacing: 8
                                    Text { text: "🧩"; font.pixelSize: 13; anchors.verticalCenter: parent.verticalCenter }
                                    Text {
                                        anchors.verticalCenter: parent.verticalCenter
                                        text: "INSTALL DAVINCI SCRIPT"
                                        color: Colors.textPrimary
                                        font: Typography.captionBold
                                    }
                                }
                            }
                        }
                        contentHeight: resolveColumn.implicitHeight + 28
                    }
                }

                // ------------------------------------------------ sources
                ColumnLayout {
                    objectName: "settingsSourcesPage"
                    spacing: 10
                    Text {
                        text: "Manage Video Sources"
                        color: Colors.textPrimary
                        font: Typography.captionBold
                    }
                    ListView {
                        id: sourceList
                        objectName: "settingsSourceList"
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        spacing: 10
                        clip: true
                        model: ChannelsModel
                        delegate: Rectangle {
                            id: sourceRow
                            required property int channelId
                            required property string channelName
                            width: sourceList.width
                            height: 100
                            color: Colors.surfaceDark
                            border.width: 1
                            border.color: Colors.borderDark
                            radius: 4
                            RowLayout {
                                anchors.fill: parent
                                anchors.margins: 10
                                spacing: 15
                                Rectangle {
                                    Layout.preferredWidth: 142
                                    Layout.preferredHeight: 80
                                    color: "black"
                                    border.width: 1
                                    border.color: Colors.borderDark
                                    radius: 2
                                    clip: true
                                    VideoStreamItem {
                                        objectName: "settingsSourcePreview" + sourceRow.channelId
                                        anchors.fill: parent
                                        anchors.margins: 1
                                        channelIndex: sourceRow.channelId
                                    }
                                }
                                ColumnLayout {
                                    Layout.fillWidth: true
                                    spacing: 4
                                    Text {
                                        Layout.fillWidth: true
                                        text: sourceRow.channelName
                                        color: Colors.textPrimary
                                        font: Typography.captionBold
                                        elide: Text.ElideRight
                                    }
                                    Text {
                                        Layout.fillWidth: true
                                        text: "Assigned ID: " + sourceRow.channelId
                                        color: Colors.textSecondary
                                        font: Typography.caption
                                    }
                                }
                                DarkButton {
                                    objectName: "settingsSourceProperties" + sourceRow.channelId
                                    Layout.preferredWidth: 100
                                    Layout.preferredHeight: 36
                                    onClicked: {
                                        propertiesPopup.channelName = sourceRow.channelName
                                        propertiesPopup.open()
                                    }
                                    Text {
                                        anchors.centerIn: parent
                                        text: "PROPERTIES"
                                        color: Colors.textPrimary
                                        font: Typography.captionBold
                                    }
                                }
                            }
                        }
                    }
                }

                // ------------------------------------------------ audio
                ColumnLayout {
                    objectName: "settingsAudioPage"
                    spacing: 16
                    Text {
                        text: "Audio Engine & Recording Settings"
                        color: Colors.textPrimary
                        font: Typography.heading3
                    }
                    Card {
                        contentHeight: 120
                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 14
                            spacing: 10
                            Text {
                                text: "MASTER ROUTING"
                                color: Colors.accent
                                font: Typography.captionBold
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 12
                                ColumnLayout {
                                    Layout.fillWidth: true
                                    Layout.preferredWidth: 1
                                    spacing: 4
                                    GridLabel { text: "Master Input Device (Default / Fallback)" }
                                    DarkComboBox {
                                        objectName: "settingsMasterInput"
                                        Layout.fillWidth: true
                                        implicitHeight: 32
                                        font: Typography.caption
                                        model: AppManager.audioInputDevices
                                        currentIndex: Math.max(0, AppManager.audioInputDevices.indexOf(AppManager.masterAudioDevice))
                                        onActivated: index => {
                                            AppManager.masterAudioDevice = textAt(index)
                                            currentIndex = Qt.binding(() => Math.max(0,
                                                AppManager.audioInputDevices.indexOf(AppManager.masterAudioDevice)))
                                        }
                                    }
                                }
                                ColumnLayout {
                                    Layout.fillWidth: true
                                    Layout.preferredWidth: 1
                                    spacing: 4
                                    GridLabel { text: "Master Output / Monitor Device" }
                                    DarkComboBox {
                                        objectName: "settingsMasterOutput"
                                        Layout.fillWidth: true
                                        implicitHeight: 32
                                        font: Typography.caption
                                        model: AppManager.audioOutputDevices
                                        currentIndex: Math.max(0, AppManager.audioOutputDevices.indexOf(AppManager.masterAudioOutputDevice))
                                        onActivated: index => {
                                            AppManager.masterAudioOutputDevice = textAt(index)
                                            currentIndex = Qt.binding(() => Math.max(0,
                                                AppManager.audioOutputDevices.indexOf(AppManager.masterAudioOutputDevice)))
                                        }
                                    }
                                }
                            }
                        }
                    }
                    Card {
                        contentHeight: 110
                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 14
                            spacing: 10
                            Text {
                                text: "PODCAST PRODUCTION & ISOLATION"
                                color: Colors.textPrimary
                                font: Typography.captionBold
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                Layout.fillHeight: true
                                spacing: 20
                                Rectangle {
                                    readonly property bool on: AppManager.separateAudioRecordingEnabled
                                    Layout.fillWidth: true
                                    Layout.fillHeight: true
                                    radius: 3
                                    color: on ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15) : Colors.panelDark
                                    border.width: 1
                                    border.color: on ? Colors.accent : Colors.borderDark
                                    RowLayout {
                                        anchors.fill: parent
                                        anchors.margins: 10
                                        spacing: 10
                                        CheckBox {
                                            objectName: "settingsSeparateTracks"
                                            checked: AppManager.separateAudioRecordingEnabled
                                            onToggled: {
                                                AppManager.separateAudioRecordingEnabled = checked
                                                checked = Qt.binding(() => AppManager.separateAudioRecordingEnabled)
                                            }
                                        }
                                        ColumnLayout {
                                            Layout.fillWidth: true
                                            spacing: 2
                                            Text {
                                                Layout.fillWidth: true
                                                text: "Record Separate Audio Tracks for Each Source"
                                                color: Colors.textPrimary
                                                font: Typography.captionBold
                                                elide: Text.ElideRight
                                            }
                                            Text {
                                                Layout.fillWidth: true
                                                text: "Generates dedicated .wav files for each assigned microphone/source alongside the main master mix."
                                                color: Colors.textSecondary
                                                font: Typography.caption
                                                wrapMode: Text.WordWrap
                                            }
                                        }
                                    }
                                }
                                Rectangle {
                                    readonly property bool on: AppManager.liveMonitoringEnabled
                                    Layout.preferredWidth: 180
                                    Layout.fillHeight: true
                                    radius: 3
                                    color: on ? Qt.rgba(0.2, 0.8, 0.3, 0.15) : Colors.panelDark
                                    border.width: 1
                                    border.color: on ? Colors.liveGreen : Colors.borderDark
                                    RowLayout {
                                        anchors.fill: parent
                                        anchors.margins: 10
                                        spacing: 8
                                        CheckBox {
                                            objectName: "settingsLiveMonitoring"
                                            checked: AppManager.liveMonitoringEnabled
                                            onToggled: {
                                                AppManager.liveMonitoringEnabled = checked
                                                checked = Qt.binding(() => AppManager.liveMonitoringEnabled)
                                            }
                                        }
                                        ColumnLayout {
                                            Layout.fillWidth: true
                                            spacing: 2
                                            Text {
                                                text: "Live Monitoring"
                                                color: Colors.textPrimary
                                                font: Typography.captionBold
                                            }
                                            Text {
                                                text: AppManager.liveMonitoringEnabled ? "ACTIVE (Headphones)" : "MUTED"
                                                color: AppManager.liveMonitoringEnabled ? Colors.liveGreen : Colors.textMuted
                                                font.pixelSize: 10
                                            }
                                        }
                                    }
                                }
                            }
                        }
                    }
                    Item { Layout.fillHeight: true }
                }

                // ------------------------------------------------ system
                ScrollingPage {
                    objectName: "settingsSystemPage"
                    narrowBy: 12

                    Text {
                        Layout.topMargin: 4
                        text: root.tr("System Settings & Updates", "Podešavanja sistema i ažuriranja")
                        color: Colors.textSecondary
                        font: Typography.body
                    }

                    // language
                    Card {
                        radius: 3
                        contentHeight: 70
                        RowLayout {
                            anchors.fill: parent
                            anchors.margins: 15
                            spacing: 16
                            ColumnLayout {
                                spacing: 2
                                Text {
                                    objectName: "settingsLanguageTitle"
                                    text: root.tr("INTERFACE LANGUAGE", "JEZIK INTERFEJSA")
                                    color: Colors.textPrimary
                                    font: Typography.captionBold
                                }
                                Text {
                                    text: root.tr("Choose between English and Serbian language",
                                                  "Izaberite između engleskog i srpskog jezika")
                                    color: Colors.textSecondary
                                    font: Typography.caption
                                }
                            }
                            Item { Layout.fillWidth: true }
                            Row {
                                spacing: 6
                                Repeater {
                                    model: ["EN", "SR"]
                                    delegate: Rectangle {
                                        required property string modelData
                                        readonly property bool current: AppManager.currentLanguage === modelData
                                        objectName: "settingsLanguage" + modelData
                                        width: 52
                                        height: 32
                                        radius: 3
                                        color: current ? Colors.accent : Colors.panelDark
                                        border.width: 1
                                        border.color: current ? Colors.accent : Colors.borderDark
                                        Text {
                                            anchors.centerIn: parent
                                            text: parent.modelData
                                            color: parent.current ? "#000000" : Colors.textSecondary
                                            font: Typography.captionBold
                                        }
                                        MouseArea {
                                            anchors.fill: parent
                                            onClicked: AppManager.currentLanguage = parent.modelData
                                        }
                                    }
                                }
                            }
                        }
                    }

                    // hotkeys
                    Card {
                        radius: 3
                        contentHeight: 160
                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 15
                            spacing: 12
                            Text {
                                text: "SOURCE HOTKEYS"
                                color: Colors.textPrimary
                                font: Typography.captionBold
                            }
                            Row {
                                spacing: 16
                                Repeater {
                                    model: 4
                                    delegate: Column {
                                        id: keyColumn
                                        required property int index
                                        spacing: 6
                                        Text {
                                            text: "Camera " + (keyColumn.index + 1)
                                            color: Colors.textSecondary
                                            font: Typography.captionBold
                                        }
                                        HotkeyCard {
                                            id: keyCard
                                            sourceIndex: keyColumn.index
                                        }
                                        Text {
                                            width: keyCard.width
                                            horizontalAlignment: Text.AlignHCenter
                                            text: keyCard.listening ? "Waiting for key..." : "Click to reassign"
                                            color: keyCard.listening ? Colors.accent : Colors.textMuted
                                            font.pixelSize: 9
                                        }
                                    }
                                }
                            }
                        }
                    }

                    // software update
                    Card {
                        radius: 3
                        contentHeight: 250
                        ColumnLayout {
                            anchors.left: parent.left
                            anchors.right: parent.right
                            anchors.top: parent.top
                            anchors.margins: 15
                            spacing: 12
                            RowLayout {
                                Layout.fillWidth: true
                                Text {
                                    objectName: "settingsUpdateTitle"
                                    text: root.tr("SOFTWARE UPDATE", "AŽURIRANJE PROGRAMA (SOFTWARE UPDATE)")
                                    color: Colors.textPrimary
                                    font: Typography.captionBold
                                }
                                Item { Layout.fillWidth: true }
                                Rectangle {
                                    Layout.preferredHeight: 20
                                    Layout.preferredWidth: versionText.implicitWidth + 12
                                    radius: 3
                                    color: Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                                    border.width: 1
                                    border.color: Colors.accent
                                    Text {
                                        id: versionText
                                        anchors.centerIn: parent
                                        text: "v" + UpdateManager.currentVersion
                                        color: Colors.accent
                                        font: Typography.smallBold
                                    }
                                }
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 8
                                Text {
                                    Layout.preferredWidth: 90
                                    text: "Status:"
                                    color: Colors.textSecondary
                                    font: Typography.caption
                                }
                                Text {
                                    objectName: "settingsUpdateStatus"
                                    Layout.fillWidth: true
                                    text: UpdateManager.statusMessage
                                    color: UpdateManager.updateAvailable ? Colors.liveGreen : Colors.textPrimary
                                    font: Typography.captionBold
                                    elide: Text.ElideRight
                                }
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                Layout.topMargin: 4
                                spacing: 14
                                Rectangle {
                                    objectName: "settingsAutoCheck"
                                    Layout.preferredWidth: 18
                                    Layout.preferredHeight: 18
                                    radius: 3
                                    border.width: 1
                                    border.color: Colors.borderDark
                                    color: UpdateManager.autoCheckOnStartup ? Colors.accent : Colors.panelDark
                                    Text {
                                        anchors.centerIn: parent
                                        visible: UpdateManager.autoCheckOnStartup
                                        text: "✓"
                                        color: "#000000"
                                        font.pixelSize: 12
                                        font.bold: true
                                    }
                                    MouseArea {
                                        anchors.fill: parent
                                        onClicked: UpdateManager.autoCheckOnStartup = !UpdateManager.autoCheckOnStartup
                                    }
                                }
                                Text {
                                    text: root.tr("Check automatically on startup", "Proveri pri pokretanju programa")
                                    color: Colors.textSecondary
                                    font: Typography.caption
                                }
                                Item { Layout.fillWidth: true }
                                DarkButton {
                                    id: checkButton
                                    objectName: "settingsCheckNow"
                                    Layout.preferredWidth: 160
                                    Layout.preferredHeight: 34
                                    enabled: !UpdateManager.isChecking
                                    onClicked: UpdateManager.checkForUpdates(false)
                                    Rectangle {
                                        anchors.fill: parent
                                        radius: 3
                                        border.width: 1
                                        border.color: Colors.accent
                                        color: UpdateManager.isChecking ? Colors.panelDark
                                             : checkButton.down ? Colors.borderStrong
                                             : Colors.surfaceDark
                                        Row {
                                            anchors.centerIn: parent
                                            spacing: 6
                                            Text {
                                                anchors.verticalCenter: parent.verticalCenter
                                                text: UpdateManager.isChecking ? "⏳" : "🔄"
                                                font.pixelSize: 12
                                            }
                                            Text {
                                                objectName: "settingsCheckNowText"
                                                anchors.verticalCenter: parent.verticalCenter
                                                text: UpdateManager.isChecking ? root.tr("CHECKING...", "PROVERAVAM...")
                                                                               : root.tr("CHECK NOW", "PROVERI SADA")
                                                color: Colors.accent
                                                font: Typography.captionBold
                                            }
                                        }
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }

        // footer
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.bottomMargin: 20
            Item { Layout.fillWidth: true }
            Rectangle {
                objectName: "settingsSave"
                Layout.preferredWidth: 130
                Layout.preferredHeight: 40
                radius: 4
                color: Colors.liveGreen
                opacity: saveMouse.pressed ? 0.8 : 1.0
                Text {
                    objectName: "settingsSaveText"
                    anchors.centerIn: parent
                    text: root.tr("SAVE SETTINGS", "SAČUVAJ PODEŠAVANJA")
                    color: "white"
                    font: Typography.captionBold
                }
                MouseArea {
                    id: saveMouse
                    anchors.fill: parent
                    onClicked: root.close()
                }
            }
        }
    }

    // outline over everything, taking no input
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: Colors.borderDark
        z: 100
    }

    // ---------------------------------------------------- properties popup
    Popup {
        id: propertiesPopup
        objectName: "settingsPropertiesPopup"
        property string channelName: ""
        parent: Overlay.overlay
        anchors.centerIn: Overlay.overlay
        width: 350
        height: 250
        modal: true
        focus: true
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
        background: Rectangle {
            color: Colors.backgroundDark
            border.width: 1
            border.color: Colors.borderDark
            radius: 4
        }
        contentItem: ColumnLayout {
            spacing: 15
            Text {
                objectName: "settingsPropertiesTitle"
                text: propertiesPopup.channelName + " Properties"
                color: Colors.textPrimary
                font: Typography.captionBold
            }
            Rectangle { Layout.fillWidth: true; Layout.preferredHeight: 1; color: Colors.borderDark }
            PropertyRow { label: "Resolution"; entries: SettingsLogic.propertyResolutions }
            PropertyRow { label: "FPS"; entries: SettingsLogic.propertyFramerates }
            PropertyRow { label: "Color Range"; entries: SettingsLogic.propertyColorRanges }
            Item { Layout.fillHeight: true }
            DarkButton {
                objectName: "settingsPropertiesOk"
                Layout.alignment: Qt.AlignRight
                Layout.preferredWidth: 80
                Layout.preferredHeight: 32
                onClicked: propertiesPopup.close()
                Text {
                    anchors.centerIn: parent
                    text: "OK"
                    color: Colors.textPrimary
                    font: Typography.captionBold
                }
            }
        }
    }

    // ---------------------------------------------------- building blocks

    component SectionLabel: Text {
        color: Colors.textSecondary
        font: Typography.captionBold
    }

    component GridLabel: Text {
        color: Colors.textSecondary
        font: Typography.caption
    }

    component CardText: Text {
        Layout.fillWidth: true
        color: Colors.textSecondary
        font: Typography.caption
        wrapMode: Text.WordWrap
    }

    component FieldColumn: ColumnLayout {
        Layout.fillWidth: true
        spacing: 8
    }

    component Card: Rectangle {
        property real contentHeight: 0
        Layout.fillWidth: true
        Layout.preferredHeight: contentHeight
        color: Colors.surfaceDark
        border.width: 1
        border.color: Colors.borderDark
        radius: 4
    }

    // A page that scrolls: the bar is always shown while the column does not
    // fit, and the column then leaves room for it.
    component ScrollingPage: Flickable {
        id: page
        property real narrowBy: 14
        default property alias columnData: pageColumn.data
        readonly property bool overflowing: pageColumn.implicitHeight + 20 > height
        contentHeight: pageColumn.implicitHeight + 20
        contentWidth: width
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {
            width: 6
            policy: page.overflowing ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }
        ColumnLayout {
            id: pageColumn
            width: page.width - (page.overflowing ? page.narrowBy : 0)
            spacing: 16
        }
    }

    component DarkTextField: TextField {
        implicitHeight: 36
        leftPadding: 12
        font: Typography.body
        color: Colors.textPrimary
        placeholderTextColor: Colors.textMuted
        selectByMouse: true
        background: Rectangle {
            color: Colors.surfaceDark
            border.width: 1
            border.color: parent.activeFocus ? Colors.accent : Colors.borderDark
            radius: 4
        }
    }

    // A digits-only field for one backend number (its type name keeps
    // "TextField", which the hotkey filter takes for a text entry). The typed text is handed
    // over once it is complete (Enter or leaving the field); the field then
    // shows what the backend kept, and follows the backend while it is not
    // being edited.
    component DigitTextField: TextField {
        id: digits
        property int value: 0
        property color textColor: Colors.textPrimary
        property color fillColor: Colors.surfaceDark
        signal committed(string text)

        function refresh() { text = String(value) }

        Layout.fillWidth: true
        implicitHeight: 32
        leftPadding: 12
        font: Typography.body
        color: textColor
        selectByMouse: true
        validator: RegularExpressionValidator { regularExpression: /[0-9]*/ }
        text: String(value)
        onValueChanged: if (!activeFocus) refresh()
        onEditingFinished: {
            committed(text)
            refresh()
        }
        background: Rectangle {
            color: digits.fillColor
            border.width: 1
            border.color: digits.activeFocus ? Colors.accent : Colors.borderDark
            radius: 4
        }
    }

    // The key card of one camera: listening exactly while it has the focus.
    component HotkeyCard: Rectangle {
        id: card
        property int sourceIndex: 0
        readonly property bool listening: activeFocus
        objectName: "settingsKeyCard" + (sourceIndex + 1)
        width: 110
        height: 44
        radius: 4
        color: listening ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
             : cardMouse.containsMouse ? Colors.surfaceDark
             : Colors.panelDark
        border.width: listening ? 2 : 1
        border.color: listening ? Colors.accent
                    : cardMouse.containsMouse ? Colors.borderStrong
                    : Colors.borderDark

        onListeningChanged: AppManager.isCapturingKeybind = listening


        Keys.onPressed: event => {
            var action = SettingsLogic.hotkeyAction(event.key)
            if (action === "ignore")
                return
            event.accepted = true
            if (action === "assign")
                AppManager.setSourceKey(sourceIndex, event.key)
            root.stopKeyCapture()
        }

        Row {
            anchors.centerIn: parent
            spacing: 6
            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                width: 6
                height: 6
                radius: 3
                color: card.listening ? Colors.accent
                     : AppManager.activeSourceId === card.sourceIndex + 1 ? Colors.recRed
                     : Colors.borderStrong
            }
            Text {
                objectName: "settingsKeyName" + (card.sourceIndex + 1)
                anchors.verticalCenter: parent.verticalCenter
                text: card.listening ? "Press Key..."
                                     : (root.keybindsRevision, AppManager.getSourceKeyName(card.sourceIndex))
                color: card.listening ? Colors.accent : Colors.textPrimary
                font: Typography.bodyBold
            }
        }
        MouseArea {
            id: cardMouse
            anchors.fill: parent
            hoverEnabled: true
            onClicked: card.forceActiveFocus()
        }
    }

    component PropertyRow: RowLayout {
        property string label: ""
        property var entries: []
        Layout.fillWidth: true
        Text {
            Layout.preferredWidth: 80
            text: parent.label
            color: Colors.textSecondary
            font: Typography.caption
        }
        DarkComboBox {
            Layout.fillWidth: true
            implicitHeight: 30
            font: Typography.caption
            model: parent.entries
            currentIndex: 0
        }
    }
}
