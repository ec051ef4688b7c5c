import QtQuick
import QtTest
import "qrc:/Korvex/ui/qml/MixerSplitter.js" as Splitter

TestCase {
    name: "MixerSplitterRules"

    function test_maximumWidth_data() {
        return [
            { tag: "strips limit a wide row", row: 1260, content: 636, expected: 636 },
            { tag: "preview keeps its room", row: 700, content: 636, expected: 420 },
            { tag: "never below 200", row: 400, content: 636, expected: 200 },
            { tag: "few strips still 200", row: 1260, content: 140, expected: 200 },
        ]
    }
    function test_maximumWidth(data) {
        compare(Splitter.maximumWidth(data.row, data.content), data.expected)
    }

    function test_draggedWidth_data() {
        return [
            { tag: "left widens", start: 320, press: 900, x: 850, max: 636, expected: 370 },
            { tag: "right narrows", start: 320, press: 900, x: 960, max: 636, expected: 260 },
            { tag: "stops at 200", start: 320, press: 900, x: 1200, max: 636, expected: 200 },
            { tag: "stops at the limit", start: 320, press: 900, x: 100, max: 636, expected: 636 },
        ]
    }
    function test_draggedWidth(data) {
        compare(Splitter.draggedWidth(data.start, data.press, data.x, data.max), data.expected)
    }

    function test_toggledWidth_data() {
        return [
            { tag: "at the limit narrows", current: 636, max: 636, expected: 200 },
            { tag: "within 10 px narrows", current: 626, max: 636, expected: 200 },
            { tag: "11 px away widens", current: 625, max: 636, expected: 636 },
            { tag: "narrow widens", current: 200, max: 636, expected: 636 },
        ]
    }
    function test_toggledWidth(data) {
        compare(Splitter.toggledWidth(data.current, data.max), data.expected)
    }

    function test_initialWidth_data() {
        return [
            { tag: "saved width kept", saved: 400, max: 636, expected: 400 },
            { tag: "cut to a smaller window", saved: 900, max: 500, expected: 500 },
        ]
    }
    function test_initialWidth(data) {
        compare(Splitter.initialWidth(data.saved, data.max), data.expected)
    }
}
