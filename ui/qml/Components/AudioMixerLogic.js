.pragma library

// The mixer panel's rules with numbers in them: fader value v in [0, 1] is
// 60 * (v - 1) dB; meter levels are linear peaks shown on the same -60 .. 0 dB
// axis; the peak line holds about 650 ms, then falls 0.035 of the scale per
// 25 ms tick.

var holdTicks = 25
var peakFallPerTick = 0.035

function formatDb(v) {
    if (v <= 0.005)
        return "-inf dB"
    var d = (v - 1) * 60
    return (d >= 0 ? "+" : "") + d.toFixed(1) + " dB"
}

function formatDbForEdit(v) {
    if (v <= 0.005)
        return "-inf"
    return ((v - 1) * 60).toFixed(1)
}

// The fader value a typed entry sets, or -1 when the entry holds no number.
function parseDbEntry(text) {
    var t = String(text).trim().toLowerCase()
    t = t.replace("db", "").replace("+", "").trim()
    if (t === "-inf" || t === "inf" || t === "mute" || t === "-infinity")
        return 0.0
    var match = /^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?/.exec(t)
    if (!match)
        return -1
    var db = parseFloat(match[0])
    if (isNaN(db))
        return -1
    if (db <= -60)
        return 0.0
    if (db >= 0)
        return 1.0
    return db / 60 + 1
}

// Meter fraction of a linear peak level on the -60 .. 0 dB axis.
function levelFraction(a) {
    if (!(a > 0.001))
        return 0
    var f = (20 * Math.log(Math.min(1, a)) / Math.LN10 + 60) / 60
    return Math.max(0, Math.min(1, f))
}

// One 25 ms step of a side's peak hold: returns {peak, holdCount}.
function peakHoldStep(fraction, peak, holdCount) {
    if (fraction >= peak)
        return { peak: fraction, holdCount: 0 }
    var count = holdCount + 1
    var next = peak
    if (count > holdTicks)
        next = Math.max(fraction, peak - peakFallPerTick)
    return { peak: next, holdCount: count }
}

function peakColor(peak) {
    return peak > 0.90 ? "#FF003C" : peak > 0.70 ? "#FFD000" : "#00FF88"
}

// Peak line position inside a bar of height h.
function peakLineY(h, peak) {
    return Math.max(1, Math.min(h - 3, Math.round((h - 2) * (1 - peak) - 1)))
}

// Horizontal scrolling of the strips.
function clampOffset(offset, contentWidth, viewWidth) {
    return Math.max(0, Math.min(offset, Math.max(0, contentWidth - viewWidth)))
}
