import QtQuick
import QtQuick.Controls
import Korvex 1.0
import "AudioMixerLogic.js" as Logic

// The fader's level in dB; a click types a new one, a double-click sets 0 dB.
Rectangle {
    id: root

    property real volumeValue: 1.0
    property bool isMuted: false
    property color textColor: isMuted ? Colors.recRed : Colors.textPrimary
    property bool isEditing: false
    signal volumeSet(real newVolume)

    implicitWidth: 84
    implicitHeight: 22
    radius: 3
    border.width: 1
    color: isEditing ? Colors.backgroundDark
         : mouse.containsMouse ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
         : "transparent"
    border.color: isEditing ? Colors.accent
                : mouse.containsMouse ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.5)
                : "transparent"
    Behavior on color { ColorAnimation { duration: 120 } }
    Behavior on border.color { ColorAnimation { duration: 120 } }

    function startEdit() {
        field.text = Logic.formatDbForEdit(volumeValue)
        isEditing = true
        field.forceActiveFocus()
        field.selectAll()
    }

    function applyEdit() {
        if (!isEditing)
            return
        var value = Logic.parseDbEntry(field.text)
        isEditing = false
        if (value >= 0)
            volumeSet(value)
    }

    function cancelEdit() {
        isEditing = false
    }

    Text {
        anchors.centerIn: parent
        visible: !root.isEditing
        text: Logic.formatDb(root.volumeValue)
        color: root.textColor
        font: Typography.captionBold
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        enabled: !root.isEditing
        onClicked: root.startEdit()
        onDoubleClicked: {
            root.cancelEdit()
            root.volumeSet(1.0)
        }
        ToolTip.visible: containsMouse && !root.isEditing
        ToolTip.delay: 350
        ToolTip.text: AppManager.currentLanguage === "EN" ? "Click to set dB (Double-click for 0 dB)"
                                                          : "Kliknite za unos dB (Dupli klik za 0 dB)"
    }

    TextField {
        id: field
        visible: root.isEditing
        anchors.fill: parent
        anchors.leftMargin: 4
        anchors.rightMargin: 4
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        padding: 0
        color: "#ffffff"
        font: Typography.captionBold
        selectionColor: Colors.accent
        selectedTextColor: "#000000"
        background: Item {}
        Keys.onReturnPressed: root.applyEdit()
        Keys.onEnterPressed: root.applyEdit()
        Keys.onEscapePressed: root.cancelEdit()
        onActiveFocusChanged: if (!activeFocus && root.isEditing) root.applyEdit()
    }
}
