.pragma library

var defaultResolutions = ["1920x1080 (1080p FHD)", "3840x2160 (4K UHD)", "2560x1440 (2K QHD)",
                          "1280x720 (720p HD)", "640x480 (SD)"]
var defaultFramerates = ["60.00 fps", "59.94 fps", "50.00 fps", "30.00 fps", "29.97 fps",
                         "25.00 fps", "24.00 fps"]
var colorRangeEntries = ["Default (Auto)", "Full (0-255 PC)", "Partial (16-235 TV)"]
var colorRangeValues = ["Default", "Full (0-255 PC)", "Partial (16-235 TV)"]

function sizeSuffix(w, h) {
    if (w === 3840 && h === 2160) return " (4K UHD)"
    if (w === 2560 && h === 1440) return " (2K QHD)"
    if (w === 1920 && h === 1080) return " (1080p FHD)"
    if (w === 1280 && h === 720) return " (720p HD)"
    if (w === 640 && h === 480) return " (SD)"
    return ""
}

// Each distinct size in the order first met, with its suffix.
function resolutionEntries(formats) {
    var out = []
    var seen = {}
    for (var i = 0; i < formats.length; ++i) {
        var key = formats[i].width + "x" + formats[i].height
        if (seen[key]) continue
        seen[key] = true
        out.push(key + sizeSuffix(formats[i].width, formats[i].height))
    }
    return out
}

// {width, height} of a resolution entry ("1920x1080 (1080p FHD)"), or null.
function parseResolution(entry) {
    if (!entry) return null
    var parts = String(entry).split(" ")[0].split("x")
    if (parts.length !== 2) return null
    var w = parseInt(parts[0]), h = parseInt(parts[1])
    if (isNaN(w) || isNaN(h)) return null
    return { width: w, height: h }
}

function fpsText(fps) {
    return Number(fps).toFixed(2) + " fps"
}

// Framerate entries for the chosen size: that size's formats with their names,
// else every format's rate, else the default list.
function framerateEntries(formats, w, h) {
    var out = []
    for (var i = 0; i < formats.length; ++i) {
        if (formats[i].width !== w || formats[i].height !== h) continue
        var t = fpsText(formats[i].fps) + " (" + formats[i].formatName + ")"
        if (out.indexOf(t) < 0) out.push(t)
    }
    if (out.length === 0) {
        for (var j = 0; j < formats.length; ++j) {
            var u = fpsText(formats[j].fps)
            if (out.indexOf(u) < 0) out.push(u)
        }
    }
    if (out.length === 0) out = defaultFramerates.slice()
    return out
}

// Leading number of a framerate entry when above 0, else 30.
function parseFramerate(entry) {
    var v = parseFloat(String(entry || ""))
    return (!isNaN(v) && v > 0) ? v : 30.0
}

// First entry containing "WxH", else 0.
function resolutionIndexFor(entries, w, h) {
    var key = w + "x" + h
    for (var i = 0; i < entries.length; ++i)
        if (entries[i].indexOf(key) >= 0) return i
    return 0
}

// First entry whose leading number is within 0.2 of fps, else 0.
function framerateIndexFor(entries, fps) {
    for (var i = 0; i < entries.length; ++i)
        if (Math.abs(parseFloat(entries[i]) - fps) < 0.2) return i
    return 0
}

function colorRangeIndexFor(range) {
    var r = String(range || "")
    if (r.indexOf("Full") >= 0) return 1
    if (r.indexOf("Partial") >= 0) return 2
    return 0
}

// Index of the camera to preselect in add mode: the first not used by another
// channel with video, else 0. usedLinks: links of the channels with video.
function firstUnusedCameraIndex(cameras, usedLinks) {
    for (var i = 0; i < cameras.length; ++i)
        if (usedLinks.indexOf(cameras[i].link) < 0) return i
    return 0
}

function cameraIndexForLink(cameras, link) {
    for (var i = 0; i < cameras.length; ++i)
        if (cameras[i].link === link) return i
    return 0
}
