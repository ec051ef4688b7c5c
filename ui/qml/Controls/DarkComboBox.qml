import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Korvex 1.0
import "DarkComboBoxLogic.js" as Logic

// A restyled ComboBox: dark field, accent focus ring, a painted triangle and a
// list whose rows carry an optional right-aligned note.
ComboBox {
    id: control

    property string noteRole: "note"
    property real popupMinWidth: 280

    implicitWidth: 200
    implicitHeight: 36
    font: Typography.body
    padding: 0
    leftPadding: 0
    rightPadding: indicator.width + 24

    background: Rectangle {
        radius: 4
        color: control.pressed ? Qt.darker(Colors.surfaceDark, 1.1) : Colors.surfaceDark
        border.width: (control.activeFocus || control.popup.visible) ? 1.5 : 1
        border.color: (control.activeFocus || control.popup.visible) ? Colors.accent
                    : control.hovered ? Colors.borderLight
                    : Colors.borderDark
    }

    contentItem: Text {
        leftPadding: 12
        text: control.displayText
        font: control.font
        color: Colors.textPrimary
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: Canvas {
        id: triangle
        x: control.width - width - 14
        y: control.topPadding + (control.availableHeight - height) / 2
        width: 10
        height: 6
        contextType: "2d"

        readonly property color fill: (control.pressed || control.popup.visible) ? Colors.accent
                                    : control.hovered ? Colors.textPrimary
                                    : Colors.textSecondary
        onFillChanged: requestPaint()

        Connections {
            target: control
            function onPressedChanged() { triangle.requestPaint() }
            function onHoveredChanged() { triangle.requestPaint() }
        }

        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            ctx.beginPath()
            ctx.moveTo(0, 0)
            ctx.lineTo(width, 0)
            ctx.lineTo(width / 2, height)
            ctx.closePath()
            ctx.fillStyle = fill
            ctx.fill()
        }
    }

    delegate: ItemDelegate {
        id: row

        readonly property var rowData: model.modelData
        readonly property string rowText: Logic.rowText(rowData, model, control.textRole, control.textAt(index))
        readonly property string rowNote: Logic.rowNote(rowData, control.noteRole)

        width: ListView.view ? ListView.view.width : control.popup.width
        height: Logic.rowHeight
        padding: 0
        highlighted: control.highlightedIndex === index
        hoverEnabled: control.hoverEnabled
        enabled: Logic.rowAvailable(rowData)
        opacity: enabled ? 1.0 : 0.5

        background: Rectangle {
            radius: 2
            color: row.highlighted ? Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.18)
                 : Logic.isOddRow(index) ? Colors.panelDark
                 : Colors.surfaceDark
        }

        contentItem: RowLayout {
            spacing: 8
            Text {
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: noteText.visible ? 0 : 12
                text: row.rowText
                font: control.font
                color: row.highlighted ? Colors.accent : Colors.textPrimary
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
            }
            Text {
                id: noteText
                Layout.rightMargin: 12
                visible: row.rowNote.length > 0
                text: row.rowNote
                font: Typography.caption
                color: row.highlighted ? Colors.accent : Colors.textSecondary
                verticalAlignment: Text.AlignVCenter
            }
        }
    }

    popup: Popup {
        y: control.height + Logic.popupGap
        width: Logic.popupWidth(control.width, control.popupMinWidth)
        height: Logic.popupHeight(list.contentHeight)
        padding: 2

        background: Rectangle {
            color: Colors.surfaceDark
            border.width: 1
            border.color: Colors.borderDark
            radius: 4
        }

        contentItem: ListView {
            id: list
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            highlightFollowsCurrentItem: true
            currentIndex: control.highlightedIndex
            implicitHeight: contentHeight
            // rows exist only while the list is open
            model: control.popup.visible ? control.delegateModel : null

            ScrollBar.vertical: ScrollBar {
                width: 6
                policy: Logic.scrollBarAlwaysOn(list.contentHeight, list.height)
                        ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
                contentItem: Rectangle {
                    implicitWidth: 6
                    radius: 3
                    color: Colors.borderLight
                }
            }
        }
    }
}
