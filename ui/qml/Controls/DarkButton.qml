import QtQuick
import Korvex 1.0

// A flat button; its content is whatever children the user places in it.
// Users may cover the fill with their own rectangle: clicked and down keep
// working wherever the button's own mouse area is not covered.
Rectangle {
    id: root

    signal clicked()
    readonly property alias down: mouseArea.pressed
    readonly property alias hovered: mouseArea.containsMouse

    width: 100
    height: 40
    radius: 3
    border.width: 1
    border.color: Colors.borderDark
    color: mouseArea.pressed ? Colors.borderStrong
         : mouseArea.containsMouse ? Colors.borderDark
         : Colors.surfaceDark

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: true
        // a disabled item receives no mouse events, so no press and no click
        enabled: root.enabled
        onClicked: root.clicked()
    }
}
