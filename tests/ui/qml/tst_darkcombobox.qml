import QtQuick
import QtTest
import QtQuick.Controls
import Korvex 1.0
import "qrc:/Korvex/ui/qml/Controls/DarkComboBoxLogic.js" as Logic

Item {
    id: root
    width: 800
    height: 600

    ListModel {
        id: listModel
        ListElement { name: "Alpha"; note: "first" }
        ListElement { name: "Beta"; note: "second" }
    }

    Component {
        id: comboComponent
        DarkComboBox {}
    }

    TestCase {
        name: "DarkComboBoxRules"

        function init() { failOnWarning(/.*/) }

        function test_rowText_data() {
            return [
                { tag: "map with the text role", row: { name: "Cam A", note: "1080p" }, model: undefined, role: "name", fallback: "x", expected: "Cam A" },
                { tag: "map without the text role falls back", row: { title: "Cam A" }, model: undefined, role: "name", fallback: "fallback", expected: "fallback" },
                { tag: "item-model row with the role", row: undefined, model: { name: "From role" }, role: "name", fallback: "x", expected: "From role" },
                { tag: "plain string", row: "1920x1080", model: undefined, role: "", fallback: "x", expected: "1920x1080" },
                { tag: "plain string ignores text role", row: "720p", model: undefined, role: "name", fallback: "x", expected: "720p" },
                { tag: "empty text role skips the map", row: { name: "Cam" }, model: undefined, role: "", fallback: "own text", expected: "own text" },
                { tag: "number row uses the combo text", row: 42, model: undefined, role: "", fallback: "42", expected: "42" },
                { tag: "numeric map value becomes text", row: { fps: 30 }, model: undefined, role: "fps", fallback: "x", expected: "30" },
            ]
        }
        function test_rowText(data) {
            compare(Logic.rowText(data.row, data.model, data.role, data.fallback), data.expected)
        }

        function test_rowNote_data() {
            return [
                { tag: "default note key", row: { name: "A", note: "USB" }, noteRole: "note", expected: "USB" },
                { tag: "custom note role", row: { name: "A", detail: "HDMI", note: "USB" }, noteRole: "detail", expected: "HDMI" },
                { tag: "custom role missing falls to note", row: { name: "A", note: "USB" }, noteRole: "detail", expected: "USB" },
                { tag: "map without any note", row: { name: "A" }, noteRole: "note", expected: "" },
                { tag: "string row has no note", row: "A", noteRole: "note", expected: "" },
                { tag: "undefined row has no note", row: undefined, noteRole: "note", expected: "" },
            ]
        }
        function test_rowNote(data) {
            compare(Logic.rowNote(data.row, data.noteRole), data.expected)
        }

        function test_popupSize_data() {
            return [
                { tag: "narrow control opens 280 wide", control: 200, min: 280, rows: 3, width: 280, height: 3 * 34 + 6 },
                { tag: "wider minimum", control: 200, min: 320, rows: 1, width: 320, height: 40 },
                { tag: "wide control keeps its width", control: 400, min: 280, rows: 8, width: 400, height: 278 },
                { tag: "nine rows stop at 280", control: 200, min: 280, rows: 9, width: 280, height: 280 },
            ]
        }
        function test_popupSize(data) {
            compare(Logic.popupWidth(data.control, data.min), data.width)
            compare(Logic.popupHeight(data.rows * Logic.rowHeight), data.height)
        }
    }

    TestCase {
        name: "DarkComboBoxControl"
        when: windowShown

        function init() { failOnWarning(/.*/) }

        // opens the list and waits until every row exists
        function openRows(combo, expectedRows) {
            combo.popup.open()
            tryCompare(combo.popup, "opened", true)
            var list = combo.popup.contentItem
            tryVerify(function() { return list.count === expectedRows && list.itemAtIndex(expectedRows - 1) !== null })
            return list
        }

        function rowTexts(combo) {
            var list = combo.popup.contentItem
            var texts = []
            for (var i = 0; i < list.count; ++i) {
                var row = list.itemAtIndex(i)
                texts.push(row.rowText + "|" + row.rowNote)
            }
            return texts
        }

        function test_defaults() {
            var combo = createTemporaryObject(comboComponent, root)
            compare(combo.implicitWidth, 200)
            compare(combo.implicitHeight, 36)
            compare(combo.noteRole, "note")
            compare(combo.popupMinWidth, 280)
            compare(combo.font.pixelSize, Typography.body.pixelSize)
            compare(combo.font.family, "Segoe UI")
        }

        function test_rowsOfMaps() {
            var combo = createTemporaryObject(comboComponent, root, {
                textRole: "name",
                model: [ { name: "Camera A", note: "1080p" }, { name: "Camera B" } ]
            })
            compare(combo.displayText, "Camera A")
            openRows(combo, 2)
            compare(rowTexts(combo), ["Camera A|1080p", "Camera B|"])
            compare(combo.popup.width, 280)
            compare(combo.popup.height, 2 * 34 + 6)
            compare(combo.popup.y, combo.height + 2)
            combo.popup.close()
        }

        function test_rowsOfStrings() {
            var combo = createTemporaryObject(comboComponent, root, { model: ["one", "two", "three"] })
            openRows(combo, 3)
            compare(rowTexts(combo), ["one|", "two|", "three|"])
            combo.popup.close()
        }

        function test_rowsOfItemModel() {
            var combo = createTemporaryObject(comboComponent, root, { textRole: "name", model: listModel })
            openRows(combo, 2)
            compare(rowTexts(combo), ["Alpha|", "Beta|"])
            combo.popup.close()
        }

        function test_rowsExistOnlyWhileOpen() {
            var combo = createTemporaryObject(comboComponent, root, { model: ["a", "b"] })
            compare(combo.popup.contentItem.count, 0)
            combo.popup.open()
            tryCompare(combo.popup, "opened", true)
            compare(combo.popup.contentItem.count, 2)
            combo.popup.close()
            tryCompare(combo.popup, "visible", false)
            compare(combo.popup.contentItem.count, 0)
        }

        function test_longListScrolls() {
            var items = []
            for (var i = 0; i < 12; ++i)
                items.push("Row " + i)
            var combo = createTemporaryObject(comboComponent, root, { model: items, popupMinWidth: 320 })
            combo.popup.open()
            tryCompare(combo.popup, "opened", true)
            compare(combo.popup.width, 320)
            compare(combo.popup.height, 280)
            compare(combo.popup.contentItem.ScrollBar.vertical.policy, ScrollBar.AlwaysOn)
            combo.popup.close()
        }

        function test_activatedCarriesIndex() {
            var combo = createTemporaryObject(comboComponent, root, { x: 10, y: 10, model: ["a", "b", "c"] })
            var spy = createTemporaryObject(signalSpyComponent, root, { target: combo, signalName: "activated" })
            var row = openRows(combo, 3).itemAtIndex(2)
            mouseClick(row)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 2)
            compare(combo.currentText, "c")
        }
    }

    Component {
        id: signalSpyComponent
        SignalSpy {}
    }
}
