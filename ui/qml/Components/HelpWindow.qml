import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Korvex 1.0
import "HelpManual.js" as HelpManual
import "../Controls/Bilingual.js" as Bilingual

// The user manual as searchable topic cards, in the UI's language. Closing
// only hides the window: the header keeps it and shows it again.
Window {
    id: root

    property string currentLanguage: AppManager.currentLanguage
    property var allSections: []
    property var filteredSections: []
    property string activeCategory: "ALL"
    readonly property string lang: currentLanguage.toLowerCase()

    function tr(english, serbian) { return Bilingual.pick(currentLanguage, english, serbian) }

    function loadManual() {
        // not `lang`: its binding may not have followed a language change yet
        var text = AppManager.getManualContent(currentLanguage.toLowerCase())
        if (!text || text.length === 0)
            text = HelpManual.notFoundText(currentLanguage === "EN" ? "EN" : "SR")
        parseManual(text)
    }

    function parseManual(content) {
        allSections = HelpManual.parseSections(content)
        applyFilter()
    }

    function applyFilter() {
        filteredSections = HelpManual.filterSections(allSections, activeCategory, searchField.text)
    }

    function resetSearch() {
        searchField.text = ""
        activeCategory = "ALL"
        applyFilter()
    }

    title: "Korvex - User Manual & Help Guide"
    width: 920
    height: 700
    minimumWidth: 780
    minimumHeight: 560
    color: Colors.backgroundDark
    flags: Qt.Window | Qt.FramelessWindowHint

    // the manual is loaded once at creation, then again on every language change
    property bool created: false
    onCurrentLanguageChanged: if (created) loadManual()
    Component.onCompleted: {
        created = true
        loadManual()
    }

    Shortcut {
        sequence: "Escape"
        onActivated: root.close()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // header: a press on the bare bar moves the window
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            color: Colors.panelDark

            MouseArea {
                anchors.fill: parent
                onPressed: root.startSystemMove()
            }
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Colors.borderDark }

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 12
                spacing: 12

                Rectangle {
                    Layout.preferredWidth: 28
                    Layout.preferredHeight: 28
                    radius: 4
                    color: Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                    border.width: 1
                    border.color: Colors.accent
                    Text {
                        anchors.centerIn: parent
                        text: "?"
                        color: Colors.accent
                        font.pixelSize: 16
                        font.bold: true
                    }
                }

                Column {
                    spacing: 2
                    Text {
                        text: "KORVEX 2.4.6b  |  USER MANUAL & HELP GUIDE"
                        color: Colors.textPrimary
                        font: Typography.heading3
                    }
                    Text {
                        text: "Interactive documentation, quick start, codecs, audio sync & troubleshooting"
                        color: Colors.textMuted
                        font: Typography.small
                    }
                }

                Item { Layout.fillWidth: true }

                // language switch
                Rectangle {
                    Layout.preferredWidth: 84
                    Layout.preferredHeight: 28
                    radius: 14
                    color: Colors.surfaceDark
                    border.width: 1
                    border.color: Colors.borderDark

                    Row {
                        anchors.fill: parent
                        anchors.margins: 2
                        spacing: 2
                        Repeater {
                            model: ["EN", "SR"]
                            delegate: Rectangle {
                                required property string modelData
                                readonly property bool current: root.currentLanguage === modelData
                                objectName: "helpLanguage" + modelData
                                width: (parent.width - 2) / 2
                                height: parent.height
                                radius: 12
                                color: current ? Colors.accent : "transparent"
                                Text {
                                    anchors.centerIn: parent
                                    text: parent.modelData
                                    font: Typography.smallBold
                                    color: parent.current ? "black" : Colors.textSecondary
                                }
                                MouseArea {
                                    anchors.fill: parent
                                    cursorShape: Qt.PointingHandCursor
                                    onClicked: {
                                        if (AppManager.currentLanguage !== parent.modelData)
                                            AppManager.currentLanguage = parent.modelData
                                    }
                                }
                            }
                        }
                    }
                }

                DarkButton {
                    objectName: "helpHeaderClose"
                    Layout.preferredWidth: 36
                    Layout.preferredHeight: 32
                    onClicked: root.close()
                    Text {
                        anchors.centerIn: parent
                        text: "✕"
                        font.pixelSize: 14
                        color: Colors.textSecondary
                    }
                }
            }
        }

        // search bar
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 60
            color: Colors.surfaceDark
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Colors.borderDark }

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                spacing: 15

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 38
                    color: Colors.panelDark
                    radius: 4
                    border.width: searchField.activeFocus ? 1.5 : 1
                    border.color: searchField.activeFocus ? Colors.accent : Colors.borderDark

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 12
                        anchors.rightMargin: 8
                        spacing: 8

                        Text {
                            text: "🔍"
                            font.pixelSize: 13
                            // the default fallback draws it as a black outline
                            font.family: "Noto Color Emoji"
                            opacity: 0.7
                        }
                        TextField {
                            id: searchField
                            objectName: "helpSearchField"
                            Layout.fillWidth: true
                            background: null
                            font: Typography.body
                            color: Colors.textPrimary
                            selectByMouse: true
                            placeholderText: root.tr("Search user manual (e.g. camera, audio delay, 4K, hotkeys, benchmark, dropped frames)...",
                                                     "Pretraži uputstvo (npr. kamera, audio delay, 4K, prečice, benchmark, ispušteni frejmovi)...")
                            placeholderTextColor: Colors.textMuted
                            onTextChanged: root.applyFilter()
                        }
                        DarkButton {
                            objectName: "helpSearchClear"
                            Layout.preferredWidth: 26
                            Layout.preferredHeight: 26
                            visible: searchField.text.length > 0
                            onClicked: {
                                searchField.text = ""
                                searchField.forceActiveFocus()
                            }
                            Text {
                                anchors.centerIn: parent
                                text: "✕"
                                font.pixelSize: 11
                                color: Colors.textSecondary
                            }
                        }
                    }
                }

                Rectangle {
                    objectName: "helpResultBadge"
                    Layout.preferredHeight: 34
                    Layout.preferredWidth: badgeRow.implicitWidth + 24
                    color: Colors.panelDark
                    border.width: 1
                    border.color: Colors.borderDark
                    radius: 4

                    Row {
                        id: badgeRow
                        anchors.centerIn: parent
                        spacing: 6
                        Rectangle {
                            objectName: "helpResultDot"
                            anchors.verticalCenter: parent.verticalCenter
                            width: 6
                            height: 6
                            radius: 3
                            color: root.filteredSections.length > 0 ? Colors.liveGreen : Colors.recordingRed
                        }
                        Text {
                            objectName: "helpResultText"
                            text: root.filteredSections.length + " / " + root.allSections.length + " Topics"
                            color: Colors.textSecondary
                            font: Typography.smallBold
                        }
                    }
                }
            }
        }

        // category bar
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 40
            color: Colors.backgroundDark
            Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: Colors.borderDark }

            Flickable {
                anchors.fill: parent
                anchors.bottomMargin: 1
                contentWidth: pillRow.width + 20
                contentHeight: height
                flickableDirection: Flickable.HorizontalFlick
                boundsBehavior: Flickable.StopAtBounds
                clip: true

                Row {
                    id: pillRow
                    x: 20
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 6
                    Repeater {
                        model: HelpManual.filterNames
                        delegate: Rectangle {
                            required property string modelData
                            readonly property bool current: root.activeCategory === modelData
                            objectName: "helpCategory_" + modelData
                            height: 26
                            width: pillText.implicitWidth + 18
                            radius: 13
                            border.width: 1
                            color: current ? Colors.accent : pillMouse.containsMouse ? Colors.surfaceDark : Colors.panelDark
                            border.color: current ? Colors.accent : pillMouse.containsMouse ? Colors.borderLight : Colors.borderDark
                            Text {
                                id: pillText
                                anchors.centerIn: parent
                                text: parent.modelData
                                font: Typography.smallBold
                                color: parent.current ? "black" : pillMouse.containsMouse ? Colors.textPrimary : Colors.textSecondary
                            }
                            MouseArea {
                                id: pillMouse
                                anchors.fill: parent
                                hoverEnabled: true
                                cursorShape: Qt.PointingHandCursor
                                onClicked: {
                                    root.activeCategory = parent.modelData
                                    root.applyFilter()
                                }
                            }
                        }
                    }
                }
            }
        }

        // topic list
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true

            ListView {
                id: topicList
                objectName: "helpTopicList"
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                anchors.topMargin: 12
                anchors.bottomMargin: 20
                spacing: 16
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: root.filteredSections
                ScrollBar.vertical: ScrollBar {
                    policy: ScrollBar.AsNeeded
                    width: 6
                }

                delegate: Rectangle {
                    id: card
                    required property var modelData
                    width: topicList.width - (topicList.contentHeight > topicList.height ? 14 : 0)
                    height: cardColumn.implicitHeight + 30
                    color: Colors.panelDark
                    border.width: 1
                    border.color: Colors.borderDark
                    radius: 4

                    readonly property bool trouble: modelData.category === "TROUBLESHOOTING"

                    ColumnLayout {
                        id: cardColumn
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.top: parent.top
                        anchors.margins: 16
                        spacing: 12

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 10
                            Rectangle {
                                Layout.preferredHeight: 22
                                Layout.preferredWidth: tagText.implicitWidth + 12
                                radius: 3
                                border.width: 1
                                color: card.trouble ? Qt.rgba(1.0, 0.3, 0.3, 0.15)
                                                    : Qt.rgba(Colors.accent.r, Colors.accent.g, Colors.accent.b, 0.15)
                                border.color: card.trouble ? Colors.recordingRed : Colors.accent
                                Text {
                                    id: tagText
                                    anchors.centerIn: parent
                                    text: card.modelData.category
                                    font: Typography.smallBold
                                    color: card.trouble ? Colors.recordingRed : Colors.accent
                                }
                            }
                            Text {
                                Layout.fillWidth: true
                                text: card.modelData.title
                                color: Colors.textPrimary
                                font: Typography.heading3
                                elide: Text.ElideRight
                            }
                        }

                        Rectangle { Layout.fillWidth: true; Layout.preferredHeight: 1; color: Colors.borderDark }

                        Text {
                            Layout.fillWidth: true
                            text: card.modelData.content
                            textFormat: Text.MarkdownText
                            color: Colors.textSecondary
                            font: Typography.body
                            wrapMode: Text.WordWrap
                            lineHeight: 1.35
                            onLinkActivated: link => Qt.openUrlExternally(link)
                        }
                    }
                }
            }

            Column {
                objectName: "helpEmptyState"
                anchors.centerIn: parent
                spacing: 12
                visible: root.filteredSections.length === 0

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "🔎"
                    font.pixelSize: 40
                    opacity: 0.6
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "No topics match your search query."
                    color: Colors.textPrimary
                    font: Typography.heading3
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Try searching for keywords like 'camera', 'audio', 'delay', 'benchmark', 'hotkeys', or 'xml'."
                    color: Colors.textMuted
                    font: Typography.caption
                }
                // the button sits 10 px below the hint, closer than the column spacing
                Item {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 140
                    height: 34 - (parent.spacing - 10)
                    DarkButton {
                        objectName: "helpResetSearch"
                        anchors.bottom: parent.bottom
                        width: 140
                        height: 34
                        onClicked: root.resetSearch()
                        Text {
                            anchors.centerIn: parent
                            text: "RESET SEARCH"
                            color: Colors.accent
                            font: Typography.captionBold
                        }
                    }
                }
            }
        }

        // footer
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            color: Colors.panelDark
            Rectangle { anchors.top: parent.top; width: parent.width; height: 1; color: Colors.borderDark }

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                spacing: 12

                Text {
                    objectName: "helpSourceFile"
                    Layout.fillWidth: true
                    text: root.tr("Manual source file: ", "Izvorni fajl uputstva: ") + AppManager.manualFilePath(root.lang)
                    color: Colors.textMuted
                    font: Typography.small
                    elide: Text.ElideMiddle
                }

                DarkButton {
                    id: openManualButton
                    objectName: "helpOpenManual"
                    Layout.preferredWidth: 230
                    Layout.preferredHeight: 36
                    onClicked: AppManager.openManualFile(root.lang)
                    Rectangle {
                        anchors.fill: parent
                        radius: 4
                        color: Colors.surfaceDark
                        border.width: 1
                        border.color: openManualButton.down ? Colors.accent : Colors.borderDark
                        Row {
                            anchors.centerIn: parent
                            spacing: 8
                            Text { text: "📄"; font.pixelSize: 13; anchors.verticalCenter: parent.verticalCenter }
                            Text {
                                objectName: "helpOpenManualText"
                                anchors.verticalCenter: parent.verticalCenter
                                text: root.tr("OPEN MANUAL FILE (MD)", "OTVORI UPUTSTVO (MD)")
                                color: Colors.textPrimary
                                font: Typography.captionBold
                            }
                        }
                    }
                }

                DarkButton {
                    id: footerClose
                    objectName: "helpFooterClose"
                    Layout.preferredWidth: 100
                    Layout.preferredHeight: 36
                    onClicked: root.close()
                    Rectangle {
                        anchors.fill: parent
                        radius: 4
                        color: Colors.liveGreen
                        opacity: footerClose.down ? 0.8 : 1.0
                    }
                    Text {
                        objectName: "helpFooterCloseText"
                        anchors.centerIn: parent
                        text: root.tr("CLOSE", "ZATVORI")
                        color: "white"
                        font: Typography.captionBold
                    }
                }
            }
        }
    }

    // Resize grip. The size follows the pointer's travel since the press, in
    // window coordinates (they stay put while the bottom-right corner moves),
    // from the size at the press: a move that arrives before the window
    // manager has applied the previous resize is not counted twice. A width or
    // height that would fall below the minimum is not applied, each direction
    // on its own, so the grip stays under a pointer that has gone past the
    // limit until it comes back.
    MouseArea {
        id: resizeGrip
        objectName: "helpResizeGrip"
        width: 16
        height: 16
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        cursorShape: Qt.SizeFDiagCursor
        property point pressPoint: Qt.point(0, 0)
        property size pressSize: Qt.size(0, 0)
        onPressed: mouse => {
            pressPoint = mapToItem(null, mouse.x, mouse.y)
            pressSize = Qt.size(root.width, root.height)
        }
        onPositionChanged: mouse => {
            if (!pressed)
                return
            var point = mapToItem(null, mouse.x, mouse.y)
            var w = HelpManual.draggedSize(root.width, pressSize.width, point.x - pressPoint.x, root.minimumWidth)
            var h = HelpManual.draggedSize(root.height, pressSize.height, point.y - pressPoint.y, root.minimumHeight)
            if (w !== root.width)
                root.width = w
            if (h !== root.height)
                root.height = h
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
}
