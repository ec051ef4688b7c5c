import QtQuick
import QtTest
import Korvex 1.0

// The two manuals installed beside the program: every topic files under a
// named category and the Serbian manual follows the English one topic by topic.
TestCase {
    name: "Manuals"
    when: windowShown

    property var win: null

    function sectionsOf(text) {
        win.parseManual(text)
        return win.allSections
    }

    function initTestCase() {
        const component = Qt.createComponent("qrc:/Korvex/ui/qml/Components/HelpWindow.qml")
        compare(component.status, Component.Ready, component.errorString())
        win = component.createObject(null)
        verify(win !== null)
    }

    function cleanupTestCase() {
        win.destroy()
        wait(0)
        compare(helpProbe.warnings(), [])
    }

    function test_manualsFileEveryTopic() {
        const en = sectionsOf(helpProbe.sourceManual("GETTING_STARTED_EN.md"))
        const sr = sectionsOf(helpProbe.sourceManual("GETTING_STARTED_SR.md"))
        verify(en.length >= 8, "English topics: " + en.length)
        compare(sr.length, en.length)
        compare(sr.map(s => s.category), en.map(s => s.category))
        for (const s of en.concat(sr)) {
            verify(s.category !== "GENERAL", s.title)
            verify(s.content.length > 200, s.title)
        }
        const categories = ["QUICK START", "VIDEO & CODECS", "BENCHMARK", "MULTICAM & HOTKEYS", "AUDIO & SYNC",
                            "XML EXPORT", "PERFORMANCE", "TROUBLESHOOTING"]
        for (const c of categories)
            verify(en.some(s => s.category === c), c)
    }
}
