import QtQuick
import QtTest
import Korvex 1.0

Item {
    id: root
    width: 400
    height: 300

    Component {
        id: buttonComponent
        DarkButton {}
    }
    Component {
        id: spyComponent
        SignalSpy { signalName: "clicked" }
    }

    TestCase {
        name: "DarkButton"
        when: windowShown

        function init() { failOnWarning(/.*/) }

        function test_geometryAndIdleLook() {
            var button = createTemporaryObject(buttonComponent, root)
            compare(button.width, 100)
            compare(button.height, 40)
            compare(button.radius, 3)
            compare(button.border.width, 1)
            compare(button.border.color, Colors.borderDark)
            compare(button.color, Colors.surfaceDark)
        }

        function test_fillFollowsPointer() {
            var button = createTemporaryObject(buttonComponent, root)
            mouseMove(button, 50, 20)
            tryCompare(button, "color", Colors.borderDark)
            mousePress(button, 50, 20)
            compare(button.down, true)
            compare(button.color, Colors.borderStrong)
            mouseRelease(button, 50, 20)
            compare(button.down, false)
        }

        function test_clicks_data() {
            return [
                { tag: "enabled button emits once", enabled: true, clicks: 1 },
                { tag: "disabled button emits nothing", enabled: false, clicks: 0 },
            ]
        }
        function test_clicks(data) {
            var button = createTemporaryObject(buttonComponent, root, { enabled: data.enabled })
            var spy = createTemporaryObject(spyComponent, root, { target: button })
            mousePress(button, 10, 10)
            compare(button.down, data.enabled)
            compare(button.color, data.enabled ? Colors.borderStrong : Colors.surfaceDark)
            mouseRelease(button, 10, 10)
            compare(spy.count, data.clicks)
        }

        function test_clickThroughUncoveredPart() {
            var button = createTemporaryObject(buttonComponent, root)
            // a user's own inner rectangle hides the fill but not the clicks
            var cover = Qt.createQmlObject('import QtQuick; Rectangle { anchors.fill: parent; anchors.margins: 4; color: "red" }', button)
            var spy = createTemporaryObject(spyComponent, root, { target: button })
            mouseClick(button, 50, 20)
            compare(spy.count, 1)
            cover.destroy()
        }
    }
}
