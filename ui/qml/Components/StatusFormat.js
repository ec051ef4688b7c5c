.pragma library

// Display rules of the status bar.

function fpsDotColor(fps, green, cyan, red) {
    if (fps >= 50)
        return green
    if (fps >= 24)
        return cyan
    return red
}

function fpsText(currentFps, selectedFps) {
    return "FPS: " + Number(currentFps).toFixed(1) + " (" + Number(selectedFps).toFixed(0) + " fps)"
}

function writeText(megabytesPerSecond) {
    return "Write: " + Number(megabytesPerSecond).toFixed(1) + " MB/s"
}
