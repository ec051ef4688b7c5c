import QtQuick
import QtTest
import Korvex 1.0

TestCase {
    id: test
    name: "HelpWindow"
    when: windowShown

    readonly property string fixture: [
        "# Korvex manual",
        "Text before the first topic is not shown.",
        "## 1. Quick Start",
        "Plug in a camera.",
        "### Virtual cameras",
        "Set KORVEX_TEST_CAMERAS=2 to list two test cameras.",
        "# A title line inside a topic",
        "## 10. Appendix",
        "Further reading.",
        "## Licence notes",
        "Third-party licences.",
        "## 5. Audio & Sync",
        "Set the audio delay; the xml timelines carry it.",
        "## 5.1 Audio meters",
        "Meters show the level.",
        "## Premiere import",
        "Import the xml file.",
        ""
    ].join("\n")

    readonly property string fixtureSr: [
        "## 1. Brzi početak",
        "Priključite kameru.",
        "## 5. Audio i sinhronizacija",
        "Podesite audio kašnjenje (xml)."
    ].join("\n")

    property var windows: []

    function openWindow() {
        const component = Qt.createComponent("qrc:/Korvex/ui/qml/Components/HelpWindow.qml")
        compare(component.status, Component.Ready, component.errorString())
        const win = component.createObject(null)
        verify(win !== null)
        windows.push(win)
        win.show()
        tryVerify(() => win.visible && win.width > 0)
        waitForRendering(win.contentItem)
        return win
    }

    function item(win, name) {
        const found = findChild(win.contentItem, name)
        verify(found !== null, name)
        return found
    }

    function titles(sections) { return sections.map(s => s.title) }

    function init() {
        AppManager.reset()
        AppManager.manualEn = fixture
        AppManager.manualSr = fixtureSr
        helpProbe.clear()
    }

    function cleanup() {
        for (const win of windows)
            win.destroy()
        windows = []
        wait(0)
        compare(helpProbe.warnings(), [])
    }

    function test_categoryRules_data() {
        return [
            { tag: "numbered quick start", title: "1. Quick Start", category: "QUICK START" },
            // "10." does not begin with "1.": a tenth chapter is not filed as the first
            { tag: "10. is not 1.", title: "10. Appendix", category: "GENERAL" },
            { tag: "sub-numbered", title: "1.1 Test cameras", category: "QUICK START" },
            { tag: "no rule", title: "Licence notes", category: "GENERAL" },
            { tag: "serbian word", title: "Brzi početak", category: "QUICK START" },
            { tag: "resolution word", title: "Choosing a Resolution", category: "VIDEO & CODECS" },
            { tag: "number wins over later word", title: "3. Audio benchmark", category: "BENCHMARK" },
            { tag: "earlier word wins", title: "Audio benchmark", category: "BENCHMARK" },
            { tag: "režija", title: "Režija uživo", category: "MULTICAM & HOTKEYS" },
            { tag: "sync", title: "Lip Sync", category: "AUDIO & SYNC" },
            { tag: "premiere", title: "Premiere import", category: "XML EXPORT" },
            { tag: "telemetrija", title: "Telemetrija", category: "PERFORMANCE" },
            { tag: "faq", title: "FAQ", category: "TROUBLESHOOTING" },
            { tag: "pitanja", title: "Česta pitanja", category: "TROUBLESHOOTING" },
            { tag: "number must start", title: "Step 2. Cabling", category: "GENERAL" }
        ]
    }

    function test_categoryRules(data) {
        const win = openWindow()
        win.parseManual("## " + data.title + "\nbody")
        compare(win.allSections.length, 1)
        compare(win.allSections[0].title, data.title)
        compare(win.allSections[0].category, data.category)
    }

    function test_parseManualTopicsAndSubheadings() {
        const win = openWindow()
        compare(AppManager.calls, ["getManualContent en"])
        compare(titles(win.allSections),
                ["1. Quick Start", "10. Appendix", "Licence notes", "5. Audio & Sync", "5.1 Audio meters", "Premiere import"])
        compare(win.allSections.map(s => s.category),
                ["QUICK START", "GENERAL", "GENERAL", "AUDIO & SYNC", "AUDIO & SYNC", "XML EXPORT"])
        // sub-headings and one-# lines stay in their topic; content is trimmed
        compare(win.allSections[0].content,
                "Plug in a camera.\n### Virtual cameras\nSet KORVEX_TEST_CAMERAS=2 to list two test cameras.\n# A title line inside a topic")
        compare(win.allSections[5].content, "Import the xml file.")
        compare(item(win, "helpResultText").text, "6 / 6 Topics")

        // a GENERAL topic is reachable only through ALL
        for (const name of ["QUICK START", "VIDEO & CODECS", "BENCHMARK", "MULTICAM & HOTKEYS", "AUDIO & SYNC",
                            "XML EXPORT", "PERFORMANCE", "TROUBLESHOOTING"]) {
            mouseClick(item(win, "helpCategory_" + name))
            compare(win.activeCategory, name)
            verify(titles(win.filteredSections).indexOf("Licence notes") === -1, name)
            verify(titles(win.filteredSections).indexOf("10. Appendix") === -1, name)
        }
        mouseClick(item(win, "helpCategory_QUICK START"))
        compare(titles(win.filteredSections), ["1. Quick Start"])
        mouseClick(item(win, "helpCategory_ALL"))
        compare(win.filteredSections.length, 6)
    }

    function test_applyFilter_data() {
        return [
            { tag: "xml in audio", category: "AUDIO & SYNC", query: "xml", shown: ["5. Audio & Sync"] },
            { tag: "trimmed and case-blind", category: "ALL", query: "  XML ", shown: ["5. Audio & Sync", "Premiere import"] },
            { tag: "category name matches", category: "ALL", query: "sync", shown: ["5. Audio & Sync", "5.1 Audio meters"] },
            { tag: "sub-heading text matches", category: "ALL", query: "virtual cameras", shown: ["1. Quick Start"] },
            { tag: "title matches", category: "ALL", query: "licence", shown: ["Licence notes"] },
            { tag: "nothing", category: "AUDIO & SYNC", query: "camera", shown: [] },
            { tag: "empty query", category: "XML EXPORT", query: "", shown: ["Premiere import"] }
        ]
    }

    function test_applyFilter(data) {
        const win = openWindow()
        mouseClick(item(win, "helpCategory_" + data.category))
        compare(win.activeCategory, data.category)
        item(win, "helpSearchField").text = data.query
        compare(titles(win.filteredSections), data.shown)
        compare(item(win, "helpResultText").text, data.shown.length + " / 6 Topics")
        compare(item(win, "helpResultDot").color, data.shown.length > 0 ? Colors.liveGreen : Colors.recordingRed)
        compare(item(win, "helpEmptyState").visible, data.shown.length === 0)
    }

    function test_resetAndClearSearch() {
        const win = openWindow()
        const field = item(win, "helpSearchField")
        const clear = item(win, "helpSearchClear")
        verify(!clear.visible)
        mouseClick(item(win, "helpCategory_XML EXPORT"))
        field.text = "no such words"
        verify(clear.visible)
        tryVerify(() => item(win, "helpEmptyState").visible)
        mouseClick(item(win, "helpResetSearch"))
        compare(field.text, "")
        compare(win.activeCategory, "ALL")
        compare(win.filteredSections.length, 6)
        verify(!item(win, "helpEmptyState").visible)

        field.text = "audio"
        mouseClick(clear)
        compare(field.text, "")
        verify(field.activeFocus)
        compare(win.filteredSections.length, 6)
    }

    function test_missingManualShowsEmptyState() {
        AppManager.manualEn = ""
        const win = openWindow()
        compare(win.allSections.length, 0)
        compare(item(win, "helpResultText").text, "0 / 0 Topics")
        verify(item(win, "helpEmptyState").visible)
    }

    function test_languageSwitchReachesOpenWindows() {
        const win = openWindow()
        const other = openWindow()
        mouseClick(item(win, "helpCategory_AUDIO & SYNC"))
        item(win, "helpSearchField").text = "xml"
        compare(titles(win.filteredSections), ["5. Audio & Sync"])

        mouseClick(item(win, "helpLanguageSR"))
        compare(AppManager.currentLanguage, "SR")
        // reloaded in Serbian, search text and category kept
        compare(titles(win.allSections), ["1. Brzi početak", "5. Audio i sinhronizacija"])
        compare(win.activeCategory, "AUDIO & SYNC")
        compare(item(win, "helpSearchField").text, "xml")
        compare(titles(win.filteredSections), ["5. Audio i sinhronizacija"])
        for (const w of [win, other]) {
            compare(w.currentLanguage, "SR")
            compare(item(w, "helpFooterCloseText").text, "ZATVORI")
            compare(item(w, "helpOpenManualText").text, "OTVORI UPUTSTVO (MD)")
            compare(item(w, "helpSourceFile").text, "Izvorni fajl uputstva: /opt/korvex/GETTING_STARTED_SR.md")
            compare(item(w, "helpLanguageSR").color, Colors.accent)
        }
        compare(titles(other.allSections), ["1. Brzi početak", "5. Audio i sinhronizacija"])

        // a click on the current language changes nothing
        AppManager.calls = []
        mouseClick(item(win, "helpLanguageSR"))
        compare(AppManager.calls, [])

        mouseClick(item(other, "helpLanguageEN"))
        compare(AppManager.currentLanguage, "EN")
        compare(item(win, "helpFooterCloseText").text, "CLOSE")
        compare(win.allSections.length, 6)
    }

    function test_footerButtonsAndClosing() {
        const win = openWindow()
        mouseClick(item(win, "helpOpenManual"))
        compare(AppManager.calls, ["getManualContent en", "openManualFile en"])
        mouseClick(item(win, "helpFooterClose"))
        verify(!win.visible)
        win.show()
        tryVerify(() => win.visible)
        mouseClick(item(win, "helpHeaderClose"))
        verify(!win.visible)
        win.show()
        win.requestActivate()
        tryVerify(() => win.active)
        keyClick(Qt.Key_Escape)
        tryVerify(() => !win.visible)
        // hidden, not destroyed: the search state survives
        compare(win.allSections.length, 6)
    }

    // drags the grip by (dx, dy) in steps, the pointer moving in window
    // coordinates; with settle false the moves follow each other without the
    // window's resize being handled in between, as when a window manager
    // answers later than the pointer moves
    function dragGrip(win, steps, settle = true) {
        item(win, "helpResizeGrip")
        let x = win.width - 8
        let y = win.height - 8
        mousePress(win.contentItem, x, y)
        for (const step of steps) {
            x += step[0]
            y += step[1]
            mouseMove(win.contentItem, x, y)
            if (settle)
                wait(0)
        }
        mouseRelease(win.contentItem, x, y)
    }

    function repeated(step, count) {
        const steps = []
        for (let i = 0; i < count; ++i)
            steps.push(step)
        return steps
    }

    function test_resizeGripStopsAtMinimum() {
        const win = openWindow()
        compare(win.width, 920)
        compare(win.height, 700)
        dragGrip(win, [[30, 20]])
        tryCompare(win, "width", 950)
        tryCompare(win, "height", 720)

        // one move that would go below the minimum is not applied at all
        dragGrip(win, [[-400, -400]])
        compare(win.width, 950)
        compare(win.height, 720)

        // dragging inwards step by step stops shrinking at 780 x 560 and
        // never goes below, however far the pointer goes
        dragGrip(win, repeated([-10, -10], 30))
        tryCompare(win, "width", 780)
        tryCompare(win, "height", 560)

        // each direction on its own: the width grows while the height would
        // fall below its minimum and stays
        dragGrip(win, [[50, -30]])
        tryCompare(win, "width", 830)
        compare(win.height, 560)
    }

    // the window follows the pointer, not the sum of the moves: a move that
    // arrives before the previous resize took effect is not counted twice
    function test_resizeGripFollowsThePointer() {
        const win = openWindow()
        dragGrip(win, repeated([10, 5], 6), false)
        tryCompare(win, "width", 980)
        tryCompare(win, "height", 730)
        wait(50)
        compare(win.width, 980)
        compare(win.height, 730)
    }
}
