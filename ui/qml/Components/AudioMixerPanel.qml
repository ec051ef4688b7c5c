import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvex 1.0
import "../Controls"
import "AudioMixerLogic.js" as Logic

// The sound console: the master strip for the program mix, one strip per
// input channel, monitoring switch, scrolling when the strips do not fit.
Rectangle {
    id: root

    readonly property real contentWidth: stripsRow.width + 20
    readonly property bool overflowing: stripsRow.width > stripView.width
    // Re-read the backend's per-channel states (its setters send no signal).
    property int stateRevision: 0
    readonly property bool monitoring: AppManager.liveMonitoringEnabled

    implicitWidth: 320
    implicitHeight: 420
    color: Colors.backgroundDark

    function withAlpha(c, a) { return Qt.rgba(c.r, c.g, c.b, a) }
    function refreshStates() { stateRevision++ }

    Timer {
        interval: 250
        running: root.visible
        repeat: true
        onTriggered: root.refreshStates()
    }
    Connections {
        target: AppManager
        function onSeparateAudioRecordingEnabledChanged() { root.refreshStates() }
    }

    // ---- glyphs on a 14 x 14 canvas --------------------------------------
    component Glyph: Canvas {
        id: glyph
        property string kind: "speaker" // speaker, speakerMuted, headphones
        property color tint: Colors.textSecondary
        property bool crossed: false
        width: 14; height: 14
        onTintChanged: requestPaint()
        onKindChanged: requestPaint()
        onCrossedChanged: requestPaint()
        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            ctx.lineWidth = 1.5
            ctx.fillStyle = tint
            ctx.strokeStyle = tint
            if (kind === "headphones") {
                ctx.beginPath(); ctx.arc(7, 6, 5, Math.PI, 0, false); ctx.stroke()
                ctx.fillRect(1, 6, 3, 6); ctx.fillRect(10, 6, 3, 6)
                if (crossed) {
                    ctx.strokeStyle = Colors.textSecondary
                    ctx.beginPath(); ctx.moveTo(11, 2); ctx.lineTo(14, 6)
                    ctx.moveTo(14, 2); ctx.lineTo(11, 6); ctx.stroke()
                }
                return
            }
            ctx.beginPath()
            ctx.moveTo(1, 4); ctx.lineTo(4, 4); ctx.lineTo(8, 1); ctx.lineTo(8, 13)
            ctx.lineTo(4, 10); ctx.lineTo(1, 10); ctx.closePath(); ctx.fill()
            ctx.beginPath()
            if (kind === "speakerMuted") {
                ctx.moveTo(10, 4); ctx.lineTo(14, 10); ctx.moveTo(14, 4); ctx.lineTo(10, 10)
            } else {
                ctx.arc(8, 7, 4, -0.6, 0.6, false)
            }
            ctx.stroke()
        }
    }

    // ---- a small toggle button of the strip's button row -----------------
    component StripButton: Rectangle {
        id: btn
        property bool on: false
        property color onColor: Colors.accent
        property real onAlpha: 0.25
        signal clicked()
        radius: 2
        border.width: 1
        border.color: on ? onColor : Colors.borderDark
        color: on ? root.withAlpha(onColor, onAlpha) : Colors.surfaceDark
        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            hoverEnabled: true
            onClicked: btn.clicked()
        }
    }

    // ---- fader, dB scale and meter on one axis ---------------------------
    component MeterArea: Item {
        id: area
        property real faderValue: 0.8
        property bool muted: false
        property real level: 0
        property real levelRight: 0
        signal moved(real value)
        readonly property real bandTop: 11
        readonly property real bandHeight: Math.max(10, height - 22)

        function setFader(v) { fader.value = v }

        Layout.fillWidth: true
        Layout.fillHeight: true
        Layout.minimumHeight: 140

        Slider {
            id: fader
            orientation: Qt.Vertical
            from: 0; to: 1
            value: area.faderValue
            padding: 0
            width: 22
            height: area.height
            onMoved: area.moved(value)

            background: Rectangle {
                x: (fader.width - width) / 2
                y: area.bandTop
                width: 4
                height: area.bandHeight
                radius: 2
                color: Colors.surfaceDark
                border.width: 1
                border.color: Colors.borderDark
                Rectangle {
                    anchors.bottom: parent.bottom
                    width: parent.width
                    height: fader.value * area.bandHeight
                    radius: 1
                    color: area.muted ? Colors.borderStrong : Colors.accent
                }
            }
            handle: Rectangle {
                x: (fader.width - width) / 2
                y: area.bandTop + (1 - fader.value) * area.bandHeight - height / 2
                width: 14; height: 22
                radius: 3
                color: fader.pressed ? Colors.borderStrong : fader.hovered ? Colors.borderDark : Colors.panelDark
                border.width: 1
                border.color: fader.pressed ? Colors.accent : Colors.borderStrong
                Rectangle {
                    anchors.centerIn: parent
                    width: 8; height: 2; radius: 1
                    color: area.muted ? Colors.recRed : Colors.accent
                }
            }
        }

        Item {
            id: dbScale
            x: fader.width + 2
            width: meter.x - x - 2
            y: area.bandTop
            height: area.bandHeight
            Repeater {
                model: 11
                Item {
                    readonly property int db: -6 * index
                    readonly property bool hot: db >= -18
                    readonly property color hotColor: db === 0 ? "#FF003C" : db === -6 ? "#FF8000"
                                                    : db === -12 ? "#FFD000" : "#99FF00"
                    readonly property color tickColor: hot ? hotColor : Colors.borderStrong
                    readonly property color labelColor: hot ? hotColor : Colors.textSecondary
                    width: dbScale.width
                    height: 10
                    y: index * dbScale.height / 10 - height / 2
                    Rectangle { width: 3; height: 1; anchors.verticalCenter: parent.verticalCenter
                                color: parent.tickColor }
                    Text {
                        anchors.centerIn: parent
                        text: parent.db === 0 ? "0" : String(parent.db)
                        font.pixelSize: 8
                        font.family: "Consolas, Segoe UI, sans-serif"
                        font.bold: parent.db >= -6
                        color: parent.labelColor
                    }
                    Rectangle { width: 3; height: 1; anchors.right: parent.right; anchors.verticalCenter: parent.verticalCenter
                                color: parent.tickColor }
                }
            }
        }

        AudioVuMeter {
            id: meter
            x: area.width - width
            y: area.bandTop
            width: 18
            height: area.bandHeight
            level: area.level
            levelRight: area.levelRight
        }
    }

    // ---- the panel --------------------------------------------------------
    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        color: Colors.surfaceDark
        border.width: 1
        border.color: Colors.borderDark
        radius: 3
        clip: true

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 6
            spacing: 6

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 36
                color: Colors.panelDark
                border.width: 1
                border.color: Colors.borderDark
                radius: 3
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 10
                    spacing: 8
                    Rectangle { width: 3; height: 14; radius: 1.5; color: Colors.accent }
                    Text { text: "AUDIO MIXER"; color: Colors.textPrimary; font: Typography.captionBold }
                    Item { Layout.fillWidth: true }
                    Rectangle {
                        objectName: "monitorPill"
                        width: 80; height: 22; radius: 3
                        border.width: 1
                        color: root.monitoring ? root.withAlpha(Colors.liveGreen, 0.18) : Colors.surfaceDark
                        border.color: root.monitoring ? Colors.liveGreen : Colors.borderDark
                        Text {
                            anchors.centerIn: parent
                            text: root.monitoring ? "MONITOR ON" : "MUTED"
                            color: root.monitoring ? Colors.liveGreen : Colors.textSecondary
                            font: Typography.caption
                        }
                        MouseArea {
                            anchors.fill: parent
                            cursorShape: Qt.PointingHandCursor
                            onClicked: AppManager.liveMonitoringEnabled = !AppManager.liveMonitoringEnabled
                        }
                    }
                }
            }

            Rectangle { Layout.fillWidth: true; height: 1; color: Colors.borderDark }

            Flickable {
                id: stripView
                objectName: "stripView"
                Layout.fillWidth: true
                Layout.fillHeight: true
                clip: true
                contentWidth: stripsRow.width
                contentHeight: height
                boundsBehavior: Flickable.StopAtBounds
                flickableDirection: Flickable.HorizontalFlick

                WheelHandler {
                    target: null
                    onWheel: function(event) {
                        var delta = event.angleDelta.y !== 0 ? event.angleDelta.y : event.angleDelta.x
                        stripView.contentX = Logic.clampOffset(stripView.contentX - delta,
                                                               stripView.contentWidth, stripView.width)
                    }
                }

                Row {
                    id: stripsRow
                    height: stripView.height
                    spacing: 4

                    // master strip
                    Rectangle {
                        width: 120
                        height: parent.height
                        color: Colors.panelDark
                        border.width: 1
                        border.color: Colors.borderDark
                        radius: 3
                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 4
                            spacing: 4
                            Rectangle {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 18
                                radius: 2
                                color: root.withAlpha(Colors.accent, 0.15)
                                border.width: 1
                                border.color: Colors.accent
                                Text { anchors.centerIn: parent; text: "MASTER"; color: Colors.accent; font: Typography.captionBold }
                            }
                            Rectangle {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 26
                                radius: 3
                                color: Colors.surfaceDark
                                border.width: 1
                                border.color: Colors.borderDark
                                Row {
                                    anchors.centerIn: parent
                                    spacing: 6
                                    Rectangle { width: 6; height: 6; radius: 3; color: Colors.liveGreen; anchors.verticalCenter: parent.verticalCenter }
                                    Text {
                                        text: "PROGRAM MIX (FAILSAFE)"
                                        color: Colors.textSecondary
                                        font: Typography.smallBold
                                        // shrink rather than cut when the fallback font runs wider
                                        width: Math.min(implicitWidth, 112 - 24)
                                        fontSizeMode: Text.HorizontalFit
                                        minimumPixelSize: 7
                                        anchors.verticalCenter: parent.verticalCenter
                                    }
                                }
                                MouseArea {
                                    id: programMixHover
                                    anchors.fill: parent
                                    hoverEnabled: true
                                    ToolTip.visible: containsMouse
                                    ToolTip.delay: 300
                                    ToolTip.text: "Master Program Mix (Failsafe Bus): Sums all assigned channels. Always recorded to Master_Audio_Output.wav."
                                }
                            }
                            DbInputBox {
                                Layout.alignment: Qt.AlignHCenter
                                volumeValue: masterArea.faderValue
                                onVolumeSet: function(v) {
                                    masterArea.setFader(v)
                                    AppManager.setMasterAudioVolume(v)
                                    root.refreshStates()
                                }
                            }
                            MeterArea {
                                id: masterArea
                                faderValue: { root.stateRevision; return AppManager.masterAudioVolume() }
                                level: AppManager.masterAudioLevel
                                levelRight: AppManager.masterAudioLevelRight
                                onMoved: function(v) { AppManager.setMasterAudioVolume(v) }
                            }
                            RowLayout {
                                Layout.fillWidth: true
                                Layout.preferredHeight: 24
                                spacing: 4
                                Rectangle {
                                    Layout.fillWidth: true
                                    Layout.fillHeight: true
                                    radius: 2
                                    color: Colors.surfaceDark
                                    border.width: 1
                                    border.color: Colors.borderDark
                                    Glyph { anchors.centerIn: parent; kind: "speaker" }
                                }
                                StripButton {
                                    Layout.fillWidth: true
                                    Layout.fillHeight: true
                                    on: root.monitoring
                                    onColor: Colors.liveGreen
                                    onAlpha: 0.20
                                    onClicked: AppManager.liveMonitoringEnabled = !AppManager.liveMonitoringEnabled
                                    Glyph { anchors.centerIn: parent; kind: "headphones"; crossed: !root.monitoring
                                            tint: root.monitoring ? Colors.liveGreen : Colors.textSecondary }
                                }
                            }
                        }
                    }

                    Repeater {
                        model: ChannelsModel
                        delegate: Rectangle {
                            id: strip
                            objectName: "channelStrip" + model.channelId
                            required property var model
                            readonly property int channelId: model.channelId
                            readonly property bool muted: { root.stateRevision; return AppManager.isChannelAudioMuted(channelId) }
                            readonly property bool solo: { root.stateRevision; return AppManager.isChannelAudioSolo(channelId) }
                            readonly property bool separate: { root.stateRevision; return AppManager.isChannelSeparateAudioEnabled(channelId) }
                            readonly property string inputName: { root.stateRevision; return AppManager.getChannelAudioInput(channelId) }

                            function chooseInput(name) {
                                AppManager.setAudioInputForChannel(channelId, name)
                                root.refreshStates()
                            }
                            function inputIndex() {
                                var i = AppManager.audioInputDevices.indexOf(inputName)
                                return i < 0 ? 0 : i
                            }

                            width: 120
                            height: stripsRow.height
                            color: Colors.panelDark
                            border.width: 1
                            border.color: Colors.borderDark
                            radius: 3

                            ColumnLayout {
                                anchors.fill: parent
                                anchors.margins: 4
                                spacing: 4

                                Rectangle {
                                    id: badge
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 20
                                    radius: 2
                                    border.width: 1
                                    color: strip.muted ? root.withAlpha(Colors.recRed, 0.2)
                                         : strip.solo ? root.withAlpha(Colors.alertAmber, 0.2)
                                         : root.withAlpha(Colors.borderStrong, 0.25)
                                    border.color: strip.muted ? Colors.recRed : strip.solo ? Colors.alertAmber : Colors.borderDark
                                    Text {
                                        anchors.centerIn: parent
                                        text: strip.muted ? "MUTED" : strip.solo ? "SOLO" : String(strip.model.channelName).toUpperCase()
                                        color: strip.muted ? Colors.recRed : strip.solo ? Colors.alertAmber : Colors.textPrimary
                                        font: Typography.captionBold
                                    }
                                    Text {
                                        id: gear
                                        anchors.right: parent.right
                                        anchors.rightMargin: 4
                                        anchors.verticalCenter: parent.verticalCenter
                                        text: "⚙"
                                        font.pixelSize: 10
                                        color: Colors.textSecondary
                                        MouseArea {
                                            anchors.fill: parent
                                            anchors.margins: -4
                                            cursorShape: Qt.PointingHandCursor
                                            onClicked: settingsPopup.open()
                                        }
                                    }

                                    Popup {
                                        id: settingsPopup
                                        x: badge.width + 4
                                        y: 0
                                        width: 260
                                        height: 380
                                        modal: true
                                        focus: true
                                        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
                                        padding: 12
                                        background: Rectangle { color: Colors.backgroundDark; border.width: 1; border.color: Colors.borderDark; radius: 4 }
                                        ColumnLayout {
                                            anchors.fill: parent
                                            spacing: 12
                                            Text { text: strip.model.channelName + " Settings"; color: Colors.textPrimary; font: Typography.captionBold }
                                            Rectangle { Layout.fillWidth: true; height: 1; color: Colors.borderDark }
                                            Text { text: "Physical Input"; color: Colors.textSecondary; font: Typography.caption }
                                            DarkComboBox {
                                                Layout.fillWidth: true
                                                implicitHeight: 28
                                                font: Typography.caption
                                                model: AppManager.audioInputDevices
                                                currentIndex: { strip.inputName; return strip.inputIndex() }
                                                onActivated: function(i) { strip.chooseInput(textAt(i)) }
                                            }
                                            Text { text: "Gain Trim (dB)"; color: Colors.textSecondary; font: Typography.caption }
                                            Slider { Layout.fillWidth: true; from: -20; to: 20; value: 0 }
                                            RowLayout {
                                                Switch { checked: false }
                                                Text { text: "Low-Cut Filter (80Hz)"; color: Colors.textPrimary; font: Typography.caption }
                                            }
                                            Text { text: "Camera Link Binding"; color: Colors.textSecondary; font: Typography.caption }
                                            DarkComboBox {
                                                Layout.fillWidth: true
                                                implicitHeight: 28
                                                font: Typography.caption
                                                model: ["None", "Camera 1 (V1)", "Camera 2 (V2)", "Camera 3 (V3)", "Camera 4 (V4)"]
                                                currentIndex: { root.stateRevision; return AppManager.getChannelCameraLink(strip.channelId) }
                                                onActivated: function(i) { AppManager.setChannelCameraLink(strip.channelId, i); root.refreshStates() }
                                            }
                                            RowLayout {
                                                CheckBox {
                                                    checked: strip.separate
                                                    onToggled: { AppManager.setChannelSeparateAudioEnabled(strip.channelId, checked); root.refreshStates() }
                                                }
                                                Text { text: "Separate Track (ISO REC)"; color: Colors.accent; font: Typography.captionBold }
                                            }
                                            Item { Layout.fillHeight: true }
                                            DarkButton {
                                                Layout.alignment: Qt.AlignRight
                                                width: 70; height: 28
                                                Layout.preferredWidth: 70
                                                Layout.preferredHeight: 28
                                                onClicked: settingsPopup.close()
                                                Text { anchors.centerIn: parent; text: "CLOSE"; color: Colors.textPrimary; font: Typography.captionBold }
                                            }
                                        }
                                    }
                                }

                                DarkComboBox {
                                    id: inputSelector
                                    objectName: "inputSelector"
                                    Layout.fillWidth: true
                                    implicitHeight: 26
                                    popupMinWidth: 320
                                    font: Typography.caption
                                    model: AppManager.audioInputDevices
                                    currentIndex: { strip.inputName; return strip.inputIndex() }
                                    onActivated: function(i) { strip.chooseInput(textAt(i)) }
                                    ToolTip.visible: hovered
                                    ToolTip.delay: 300
                                    ToolTip.text: strip.inputName
                                }

                                DbInputBox {
                                    Layout.alignment: Qt.AlignHCenter
                                    volumeValue: channelArea.faderValue
                                    isMuted: strip.muted
                                    onVolumeSet: function(v) {
                                        channelArea.setFader(v)
                                        AppManager.setChannelAudioVolume(strip.channelId, v)
                                        root.refreshStates()
                                    }
                                }

                                MeterArea {
                                    id: channelArea
                                    faderValue: { root.stateRevision; return AppManager.getChannelAudioVolume(strip.channelId) }
                                    muted: strip.muted
                                    level: strip.muted ? 0 : strip.model.audioLevel
                                    levelRight: strip.muted ? 0 : strip.model.audioLevelRight
                                    onMoved: function(v) { AppManager.setChannelAudioVolume(strip.channelId, v) }
                                }

                                RowLayout {
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 24
                                    spacing: 4
                                    StripButton {
                                        objectName: "muteButton"
                                        Layout.fillWidth: true
                                        Layout.fillHeight: true
                                        on: strip.muted
                                        onColor: Colors.recRed
                                        onClicked: { AppManager.setChannelAudioMute(strip.channelId, !strip.muted); root.refreshStates() }
                                        Glyph { anchors.centerIn: parent; kind: strip.muted ? "speakerMuted" : "speaker"
                                                tint: strip.muted ? Colors.recRed : Colors.textSecondary }
                                    }
                                    StripButton {
                                        objectName: "soloButton"
                                        Layout.preferredWidth: 24
                                        Layout.fillHeight: true
                                        on: strip.solo
                                        onColor: Colors.alertAmber
                                        onClicked: { AppManager.setChannelAudioSolo(strip.channelId, !strip.solo); root.refreshStates() }
                                        Text { anchors.centerIn: parent; text: "S"; font: Typography.captionBold
                                               color: strip.solo ? Colors.alertAmber : Colors.textSecondary }
                                    }
                                    StripButton {
                                        id: isoButton
                                        Layout.preferredWidth: 28
                                        Layout.fillHeight: true
                                        on: strip.separate
                                        onColor: Colors.accent
                                        onClicked: { AppManager.setChannelSeparateAudioEnabled(strip.channelId, !strip.separate); root.refreshStates() }
                                        Text { anchors.centerIn: parent; text: "ISO"; font: Typography.smallBold
                                               color: strip.separate ? Colors.accent : Colors.textMuted }
                                        HoverHandler { id: isoHover }
                                        ToolTip.visible: isoHover.hovered
                                        ToolTip.delay: 300
                                        ToolTip.text: strip.separate
                                            ? "Separate Track Recording: ON\n(Records both separate Channel audio file AND Master failsafe mix)"
                                            : "Separate Track Recording: OFF\n(Audio mixed into Master failsafe only)"
                                    }
                                    StripButton {
                                        Layout.fillWidth: true
                                        Layout.fillHeight: true
                                        on: root.monitoring
                                        onColor: Colors.liveGreen
                                        onClicked: AppManager.liveMonitoringEnabled = !AppManager.liveMonitoringEnabled
                                        Glyph { anchors.centerIn: parent; kind: "headphones"; crossed: !root.monitoring
                                                tint: root.monitoring ? Colors.liveGreen : Colors.textSecondary }
                                    }
                                }
                            }
                        }
                    }
                }
            }

            // scroll bar, only when the strips are wider than the view
            Rectangle {
                id: scrollBar
                objectName: "scrollBar"
                visible: root.overflowing
                Layout.fillWidth: true
                Layout.preferredHeight: 16
                color: Colors.panelDark
                border.width: 1
                border.color: Colors.borderDark
                radius: 3

                readonly property real maxOffset: Math.max(1, stripView.contentWidth - stripView.width)

                component StepButton: Rectangle {
                    id: step
                    property string glyph
                    signal clicked()
                    width: 16
                    height: parent.height
                    radius: 2
                    color: stepMouse.pressed ? Colors.borderDark : stepMouse.containsMouse ? Colors.surfaceDark : "transparent"
                    Text { anchors.centerIn: parent; text: step.glyph; font.pixelSize: 8
                           color: stepMouse.containsMouse ? Colors.accent : Colors.textSecondary }
                    MouseArea { id: stepMouse; anchors.fill: parent; hoverEnabled: true; onClicked: step.clicked() }
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.margins: 2
                    spacing: 4
                    StepButton {
                        glyph: "◀"
                        Layout.fillHeight: true
                        onClicked: stripView.contentX = Math.max(0, stripView.contentX - 100)
                    }
                    Item {
                        id: track
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        readonly property real ratio: Math.min(1, stripView.width / Math.max(1, stripView.contentWidth))
                        readonly property real thumbWidth: Math.max(30, width * ratio)
                        readonly property real travel: Math.max(0, width - thumbWidth)

                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: parent.width; height: 4; radius: 2
                            color: Colors.surfaceDark; border.width: 1; border.color: Colors.borderDark
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: function(mouse) {
                                var range = stripView.contentWidth - stripView.width
                                stripView.contentX = Math.max(0, Math.min(range, mouse.x / track.width * range))
                            }
                        }
                        Rectangle {
                            id: thumb
                            anchors.verticalCenter: parent.verticalCenter
                            width: track.thumbWidth
                            height: 8
                            radius: 4
                            x: thumbDrag.drag.active ? x
                               : Math.max(0, Math.min(track.travel, stripView.contentX / scrollBar.maxOffset * track.travel))
                            color: thumbDrag.drag.active ? Colors.accent
                                 : thumbDrag.containsMouse ? Qt.lighter(Colors.accent, 1.2) : Colors.borderStrong
                            Behavior on color { ColorAnimation { duration: 100 } }
                            Row {
                                anchors.centerIn: parent
                                spacing: 2
                                Repeater { model: 3; Rectangle { width: 1; height: 4; color: "white"; opacity: 0.6 } }
                            }
                            MouseArea {
                                id: thumbDrag
                                anchors.fill: parent
                                anchors.margins: -4
                                hoverEnabled: true
                                drag.target: thumb
                                drag.axis: Drag.XAxis
                                drag.minimumX: 0
                                drag.maximumX: track.travel
                                onPositionChanged: if (drag.active && track.travel > 0)
                                    stripView.contentX = thumb.x / track.travel * scrollBar.maxOffset
                            }
                        }
                    }
                    StepButton {
                        glyph: "▶"
                        Layout.fillHeight: true
                        onClicked: stripView.contentX = Math.min(stripView.contentWidth - stripView.width, stripView.contentX + 100)
                    }
                }
            }

            Rectangle { Layout.fillWidth: true; height: 1; color: Colors.borderDark }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 28
                color: Colors.panelDark
                border.width: 1
                border.color: Colors.borderDark
                radius: 3
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    anchors.rightMargin: 8
                    spacing: 6
                    Text {
                        objectName: "scrollHint"
                        text: root.overflowing ? "Scroll ◀ ▶ for all channels" : "5 Channels • All visible"
                        color: root.overflowing ? Colors.textSecondary : Colors.liveGreen
                        font: Typography.caption
                    }
                    Item { Layout.fillWidth: true }
                    Rectangle {
                        width: 22; height: 22; radius: 2
                        border.width: 1
                        border.color: Colors.borderDark
                        color: refreshMouse.pressed ? Colors.borderDark : refreshMouse.containsMouse ? Colors.surfaceDark : "transparent"
                        Text { anchors.centerIn: parent; text: "↺"; font.pixelSize: 12
                               color: refreshMouse.containsMouse ? Colors.accent : Colors.textSecondary }
                        MouseArea {
                            id: refreshMouse
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: {
                                AppManager.refreshAudioInputDevices()
                                AppManager.refreshAudioOutputDevices()
                            }
                        }
                    }
                }
            }
        }
    }
}
