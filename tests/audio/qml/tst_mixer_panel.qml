import QtQuick
import QtTest
import Korvex 1.0

Item {
    id: top
    width: 700
    height: 520

    AudioMixerPanel { id: panel; width: 700; height: 520 }

    function findChild(item, name) {
        if (item.objectName === name)
            return item
        for (var i = 0; i < item.children.length; ++i) {
            var found = findChild(item.children[i], name)
            if (found)
                return found
        }
        return null
    }

    TestCase {
        name: "MixerPanel"
        when: windowShown
        function init() { failOnWarning(/.*/) }

        function test_contentWidthFitsFiveStrips() {
            compare(panel.contentWidth, 636)
            compare(panel.implicitWidth, 320)
        }

        function test_scrollHintFollowsTheWidth() {
            panel.width = 700
            wait(0)
            compare(findChild(panel, "scrollHint").text, "5 Channels • All visible")
            verify(!findChild(panel, "scrollBar").visible)
            panel.width = 400
            wait(0)
            compare(findChild(panel, "scrollHint").text, "Scroll ◀ ▶ for all channels")
            verify(findChild(panel, "scrollBar").visible)
            panel.width = 700
        }

        function test_muteAndSoloReachTheBackend() {
            var strip = findChild(panel, "channelStrip2")
            verify(strip)
            verify(!AppManager.isChannelAudioMuted(2))
            mouseClick(findChild(strip, "muteButton"))
            verify(AppManager.isChannelAudioMuted(2))
            tryCompare(strip, "muted", true)
            mouseClick(findChild(strip, "muteButton"))
            verify(!AppManager.isChannelAudioMuted(2))
            mouseClick(findChild(strip, "soloButton"))
            verify(AppManager.isChannelAudioSolo(2))
            tryCompare(strip, "solo", true)
            mouseClick(findChild(strip, "soloButton"))
            verify(!AppManager.isChannelAudioSolo(2))
        }

        function test_monitorPillTogglesMonitoring() {
            var pill = findChild(panel, "monitorPill")
            verify(!AppManager.liveMonitoringEnabled)
            compare(pill.children[0].text, "MUTED")
            mouseClick(pill)
            verify(AppManager.liveMonitoringEnabled)
            compare(pill.children[0].text, "MONITOR ON")
            mouseClick(pill)
            verify(!AppManager.liveMonitoringEnabled)
        }

        function test_wheelScrollsTheStrips() {
            panel.width = 400
            wait(0)
            var view = findChild(panel, "stripView")
            view.contentX = 0
            mouseWheel(view, 50, 50, 0, -120)
            compare(view.contentX, 120)
            mouseWheel(view, 50, 50, 0, -2000)
            compare(view.contentX, view.contentWidth - view.width)
            mouseWheel(view, 50, 50, 0, 5000)
            compare(view.contentX, 0)
            panel.width = 700
        }
    }
}
