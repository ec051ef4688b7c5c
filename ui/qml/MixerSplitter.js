.pragma library

// Width rules of the splitter between the program preview and the mixer.

var minimumMixerWidth = 200
var previewReserve = 280    // the preview's 260 px minimum plus the splitter and spacing
var defaultMixerWidth = 320

// The widest the mixer may be: never past the point where every strip shows,
// never so wide that the preview loses its minimum, never below 200.
function maximumWidth(bottomRowWidth, mixerContentWidth) {
    return Math.max(minimumMixerWidth, Math.min(bottomRowWidth - previewReserve, mixerContentWidth))
}

function clamp(width, maxWidth) {
    return Math.max(minimumMixerWidth, Math.min(maxWidth, width))
}

// The stored width, cut to what the current window allows.
function initialWidth(savedWidth, maxWidth) {
    return Math.min(savedWidth, maxWidth)
}

// Moving the pointer left widens the mixer.
function draggedWidth(widthAtPress, pressX, pointerX, maxWidth) {
    return clamp(widthAtPress - (pointerX - pressX), maxWidth)
}

// A mixer already within 10 px of its limit collapses, any other widens fully.
function toggledWidth(currentWidth, maxWidth) {
    return currentWidth >= maxWidth - 10 ? minimumMixerWidth : maxWidth
}
