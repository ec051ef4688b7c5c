.pragma library

// The settings window's rules that have numbers or text handling in them,
// kept apart from the document so a test can reach them.

var resolutionEntries = ["3840x2160 (4K UHD)", "2560x1440 (2K QHD)", "1920x1080 (1080p FHD)",
                         "1280x720 (720p HD)", "640x480 (SD)"]

var framerateEntries = ["23.976 fps (Film / 24p NTSC)", "24.00 fps (Cinema Standard)",
                        "25.00 fps (PAL Broadcast)", "29.97 fps (NTSC Broadcast)",
                        "30.00 fps (Standard Web/Streaming)", "48.00 fps (HFR Cinema)",
                        "50.00 fps (PAL High Motion)", "59.94 fps (NTSC High Motion)",
                        "60.00 fps (60p High Framerate)", "120.00 fps (High Speed / Slomo)",
                        "Auto (Match Highest Camera FPS)"]

var qualityEntries = ["Low (4 Mbps - Draft / Proxy)", "Medium (8 Mbps - Standard 1080p)",
                      "High (16 Mbps - Production 1080p60/4K)", "Ultra (30 Mbps - Mastering / High Bitrate)",
                      "Lossless (CRF 0 - Archival Quality)"]

// The container list. AVI cannot carry the encoders' B-frames and HEVC
// well, so it is listed but cannot be chosen.
var formatEntries = [
    { name: "MP4 (.mp4 - Universal MPEG-4)", note: "", available: true },
    { name: "MKV (.mkv - Safe Matroska Container)", note: "", available: true },
    { name: "MOV (.mov - Apple QuickTime Format)", note: "", available: true },
    { name: "TS (.ts - Broadcast Transport Stream)", note: "", available: true },
    { name: "AVI (.avi - Legacy Audio Video Interleave)", note: "Not yet available", available: false }
]

var rateControlModes = ["CBR", "VBR", "CQP"]
var encoderProfiles = ["Baseline", "Main", "High"]
var colorSpaces = ["Rec.601", "Rec.709", "Rec.2020"]
var colorRanges = ["Limited (16-235)", "Full (0-255)"]

var maxCqpLevel = 51

// the properties popup of the sources page (its choices are not applied)
var propertyResolutions = ["1920x1080 (1080p FHD)", "3840x2160 (4K UHD)", "2560x1440 (2K QHD)",
                           "1280x720 (720p HD)", "640x480 (SD)"]
var propertyFramerates = ["60.00 fps", "59.94 fps", "50.00 fps", "30.00 fps", "29.97 fps",
                          "25.00 fps", "24.00 fps", "23.976 fps", "120.00 fps"]
var propertyColorRanges = ["Default (Auto)", "Full (0-255 PC)", "Partial (16-235 TV)"]

// Position of `value` in `list`, or of `fallback` when it is not there.
function indexOrDefault(list, value, fallback) {
    var i = list.indexOf(value)
    return i >= 0 ? i : Math.max(0, list.indexOf(fallback))
}

// The encoder entry shown for a stored choice: a stored index past the end
// of a shorter list (another machine, a removed GPU) shows the last entry.
function encoderIndexFor(stored, count) {
    return Math.max(0, Math.min(stored, Math.max(0, count - 1)))
}

// The container entry shown for a stored choice; one that cannot be
// recorded shows MP4, which is what the files will be.
function formatIndexFor(stored) {
    if (stored < 0 || stored >= formatEntries.length || !formatEntries[stored].available)
        return 0
    return stored
}

function formatAvailable(index) {
    return index >= 0 && index < formatEntries.length && formatEntries[index].available
}

// A digits-only field's number, or null when it is empty.
function parseDigits(text) {
    var t = String(text)
    if (!/^[0-9]+$/.test(t))
        return null
    return parseInt(t, 10)
}

function clampCqp(value) {
    return Math.min(value, maxCqpLevel)
}

// The value the rate field commits: a CQP level up to 51 (0 allowed), or a
// bit rate, which must be above 0. Null means nothing is sent.
function rateFieldValue(text, cqpMode) {
    var v = parseDigits(text)
    if (v === null)
        return null
    if (cqpMode)
        return clampCqp(v)
    return v > 0 ? v : null
}

// A folder chooser's URL as a local path with real spaces. On this system a
// folder URL reads "file:///home/..."; only "file://" goes, so the path keeps
// its leading slash.
function folderFromUrl(url) {
    var text = String(url)
    if (text.indexOf("file://") === 0)
        text = text.substring(7)
    try {
        return decodeURIComponent(text)
    } catch (e) {
        // a lone "%" that is no escape stays as typed
        return text
    }
}

function folderUrl(path) {
    return "file://" + encodeURI(String(path))
}

function twoDigits(n) {
    return (n < 10 ? "0" : "") + n
}

// "Session_" + the date in UTC, year-month-day.
function todaySessionName(date) {
    return "Session_" + date.getUTCFullYear() + "-" + twoDigits(date.getUTCMonth() + 1)
            + "-" + twoDigits(date.getUTCDate())
}

// What a key pressed on a listening hotkey card does: "cancel" (Escape keeps
// the old key), "ignore" (a modifier alone, keep listening) or "assign".
function hotkeyAction(key) {
    if (key === 0x01000000 /* Qt.Key_Escape */)
        return "cancel"
    if (key === 0x01000020 /* Shift */ || key === 0x01000021 /* Control */
            || key === 0x01000023 /* Alt */ || key === 0x01000022 /* Meta */)
        return "ignore"
    return "assign"
}
