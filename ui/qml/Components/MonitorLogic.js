.pragma library

// Channel shown by tile k (1..4): the k-th active channel, or channel k when
// fewer channels have video.
function tileChannel(activeIds, k) {
    if (activeIds && activeIds.length >= k)
        return activeIds[k - 1]
    return k
}

// Which arrangement the grid shows for n active channels.
function arrangement(n) {
    if (n <= 0) return "empty"
    if (n === 1) return "single"
    return "grid"
}

// Program source after channel `removed` loses its video: the lowest other
// channel 1..4 that still has video, else 1. hasVideo(id) answers per channel.
function nextProgramSource(removed, hasVideo) {
    for (var id = 1; id <= 4; ++id) {
        if (id !== removed && hasVideo(id))
            return id
    }
    return 1
}

// Status word of a tile: "PROGRAM", "READY" or "OFF".
function statusWord(isProgram, storageEnabled) {
    if (isProgram) return "PROGRAM"
    return storageEnabled ? "READY" : "OFF"
}

// Label of display i in the selectors and the output's info text.
function displayLabel(i) {
    return i === 0 ? "Display 1 (Primary)" : "Display " + (i + 1)
}

// Bar k (0..2) of the arming overlay is lit when 3 - k >= seconds.
function stepBarLit(k, seconds) {
    return 3 - k >= seconds
}

// Windowed size and place on a screen {x, y, width, height}.
function windowedGeometry(screen) {
    var w = Math.min(1280, Math.round(0.75 * screen.width))
    var h = Math.min(720, Math.round(0.75 * screen.height))
    return { x: screen.x + Math.round((screen.width - w) / 2),
             y: screen.y + Math.round((screen.height - h) / 2),
             width: w, height: h }
}

function clampScreenIndex(idx, count) {
    if (count <= 0) return -1
    return Math.max(0, Math.min(idx, count - 1))
}
