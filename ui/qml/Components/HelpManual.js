.pragma library

// The user manual as topic cards: every "## " heading opens a topic, filed
// under a category by its number or by words in its title.

var categories = ["QUICK START", "VIDEO & CODECS", "BENCHMARK", "MULTICAM & HOTKEYS",
                  "AUDIO & SYNC", "XML EXPORT", "PERFORMANCE", "TROUBLESHOOTING"]

// the filter pills: every named category; "GENERAL" topics only show under "ALL"
var filterNames = ["ALL"].concat(categories)

var categoryRules = [
    { prefix: "1.", words: ["početak", "quick"], category: "QUICK START" },
    { prefix: "2.", words: ["rezolucija", "resolution"], category: "VIDEO & CODECS" },
    { prefix: "3.", words: ["benchmark"], category: "BENCHMARK" },
    { prefix: "4.", words: ["multicam", "switching", "režija"], category: "MULTICAM & HOTKEYS" },
    { prefix: "5.", words: ["audio", "sync"], category: "AUDIO & SYNC" },
    { prefix: "6.", words: ["xml", "premiere"], category: "XML EXPORT" },
    { prefix: "7.", words: ["telemetrija", "telemetry", "performance"], category: "PERFORMANCE" },
    { prefix: "8.", words: ["troubleshooting", "faq", "pitanja"], category: "TROUBLESHOOTING" }
]

// The first rule whose prefix starts the title or whose word occurs in it
// wins. "10. Appendix" does not start with "1." (its second character is
// "0"), so a tenth chapter is not filed as the quick start.
function categoryFor(title) {
    var lower = title.toLowerCase()
    for (var i = 0; i < categoryRules.length; ++i) {
        var rule = categoryRules[i]
        if (title.indexOf(rule.prefix) === 0)
            return rule.category
        for (var j = 0; j < rule.words.length; ++j) {
            if (lower.indexOf(rule.words[j]) !== -1)
                return rule.category
        }
    }
    return "GENERAL"
}

// Topics {title, category, content} in file order. Lines before the first
// "## " heading belong to no topic; "#" and "###" headings do not open one.
function parseSections(content) {
    var lines = String(content).split("\n")
    var sections = []
    var current = null
    function close() {
        if (current === null)
            return
        sections.push({ title: current.title, category: current.category,
                        content: current.lines.join("\n").trim() })
    }
    for (var i = 0; i < lines.length; ++i) {
        var line = lines[i]
        // a file saved with Windows line ends must not carry "\r" into titles
        if (line.length > 0 && line.charAt(line.length - 1) === "\r")
            line = line.substring(0, line.length - 1)
        if (line.indexOf("## ") === 0) {
            close()
            var title = line.substring(3).trim()
            current = { title: title, category: categoryFor(title), lines: [] }
        } else if (current !== null) {
            current.lines.push(line)
        }
    }
    close()
    return sections
}

// The topics shown for a category and a search text, in file order.
function filterSections(sections, category, searchText) {
    var q = String(searchText).trim().toLowerCase()
    var shown = []
    for (var i = 0; i < sections.length; ++i) {
        var s = sections[i]
        if (category !== "ALL" && category !== s.category)
            continue
        if (q.length > 0
                && s.title.toLowerCase().indexOf(q) === -1
                && s.content.toLowerCase().indexOf(q) === -1
                && s.category.toLowerCase().indexOf(q) === -1)
            continue
        shown.push(s)
    }
    return shown
}

// The text shown in place of a manual that is not installed; it holds no
// topic heading, so the window lists nothing and shows its empty state.
function notFoundText(language) {
    if (language === "EN")
        return "# Korvex 2.4.6b - Studio Edition | User Manual\n\n"
                + "GETTING_STARTED_EN.md file was not found on disk."
    return "# Korvex 2.4.6b - Studio Edition | Uputstvo za upotrebu\n\n"
            + "Fajl GETTING_STARTED_SR.md nije pronađen na disku."
}

// The size while the grip is dragged `travel` from where it was pressed at
// `pressSize`; a size below `minimum` is not applied, so the size stays at
// `current`.
function draggedSize(current, pressSize, travel, minimum) {
    var next = pressSize + travel
    return next < minimum ? current : next
}
