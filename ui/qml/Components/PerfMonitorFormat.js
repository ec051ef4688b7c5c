.pragma library

// Texts and colours of the performance monitor, kept apart from the window
// so they can be checked on their own. Colours come in as `palette`
// (the theme's liveGreen, accent, recordingRed...) because a library script
// cannot reach the theme singleton.

var dropColor = "#f87171"
var plainColor = "#94a3b8"
var badValueColor = "#ef4444"

function logLineColor(line, palette) {
    var text = String(line)
    if (text.indexOf("RECORDING STARTED") !== -1)
        return palette.liveGreen
    if (text.indexOf("RECORDING STOPPED") !== -1)
        return palette.accent
    if (text.indexOf("DROPS:") !== -1 && text.indexOf("DROPS: 0") === -1)
        return dropColor
    return plainColor
}

// long GPU names keep their first 25 characters
function gpuText(name) {
    var text = String(name)
    return text.length > 25 ? text.substring(0, 25) + "..." : text
}

function fpsColor(fps, palette) {
    if (fps >= 50)
        return palette.liveGreen
    if (fps >= 24)
        return palette.accent
    return badValueColor
}

function droppedColor(dropped, palette) {
    return dropped === 0 ? palette.liveGreen : badValueColor
}

function cpuMemoryText(cpu, ram) {
    return cpu + "   |   " + ram
}
