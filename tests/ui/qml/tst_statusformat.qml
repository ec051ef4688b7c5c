import QtQuick
import QtTest
import "qrc:/Korvex/ui/qml/Components/StatusFormat.js" as StatusFormat

TestCase {
    name: "StatusBarRules"

    function test_fpsDot_data() {
        return [
            { tag: "50.0 green", fps: 50.0, expected: "green" },
            { tag: "60 green", fps: 60.0, expected: "green" },
            { tag: "24.0 cyan", fps: 24.0, expected: "cyan" },
            { tag: "49.9 cyan", fps: 49.9, expected: "cyan" },
            { tag: "23.9 red", fps: 23.9, expected: "red" },
            { tag: "0 red", fps: 0, expected: "red" },
        ]
    }
    function test_fpsDot(data) {
        compare(StatusFormat.fpsDotColor(data.fps, "green", "cyan", "red"), data.expected)
    }

    function test_texts() {
        compare(StatusFormat.fpsText(60, 29.97), "FPS: 60.0 (30 fps)")
        compare(StatusFormat.fpsText(23.94, 24), "FPS: 23.9 (24 fps)")
        compare(StatusFormat.writeText(0), "Write: 0.0 MB/s")
        compare(StatusFormat.writeText(12.345), "Write: 12.3 MB/s")
    }
}
