import QtQuick
import QtTest
import Korvex 1.0
import "qrc:/Korvex/ui/qml/Components/AudioMixerLogic.js" as Logic

Item {
    id: top
    width: 200
    height: 300

    DbInputBox { id: box; volumeValue: 0.8 }
    SignalSpy { id: volumeSpy; target: box; signalName: "volumeSet" }
    AudioVuMeter { id: meter; x: 100; width: 18; height: 182 }

    TestCase {
        name: "FormatDb"
        function init() { failOnWarning(/.*/) }
        function test_format_data() {
            return [
                { tag: "top", v: 1.0, text: "+0.0 dB", edit: "0.0" },
                { tag: "half", v: 0.5, text: "-30.0 dB", edit: "-30.0" },
                { tag: "just below zero", v: 0.9999, text: "-0.0 dB", edit: "-0.0" },
                { tag: "0.004 is silence", v: 0.004, text: "-inf dB", edit: "-inf" },
                { tag: "0.005 is silence", v: 0.005, text: "-inf dB", edit: "-inf" },
                { tag: "0.006", v: 0.006, text: "-59.6 dB", edit: "-59.6" },
                { tag: "default fader", v: 0.8, text: "-12.0 dB", edit: "-12.0" },
            ]
        }
        function test_format(data) {
            compare(Logic.formatDb(data.v), data.text)
            compare(Logic.formatDbForEdit(data.v), data.edit)
        }
    }

    TestCase {
        name: "DbEntry"
        when: windowShown
        function init() { failOnWarning(/.*/); volumeSpy.clear(); box.cancelEdit() }

        function test_entry_data() {
            return [
                { tag: "-6", text: "-6", v: 0.9 },
                { tag: "-6 dB", text: "-6 dB", v: 0.9 },
                { tag: "-6dB", text: "-6dB", v: 0.9 },
                { tag: "-6.0 DB", text: "-6.0 DB", v: 0.9 },
                { tag: "+-6", text: "+-6", v: 0.9 },
                { tag: "-12.5dB", text: "-12.5dB", v: 0.7917 },
                { tag: "+3 has no boost", text: "+3", v: 1.0 },
                { tag: "0", text: "0", v: 1.0 },
                { tag: ".5", text: ".5", v: 1.0 },
                { tag: "-60", text: "-60", v: 0.0 },
                { tag: "-75", text: "-75", v: 0.0 },
                { tag: "mute", text: "mute", v: 0.0 },
                { tag: "inf", text: "inf", v: 0.0 },
                { tag: "-inf", text: "-inf", v: 0.0 },
                { tag: "-infinity", text: "-infinity", v: 0.0 },
                { tag: "trailing text ignored", text: "-30 please", v: 0.5 },
                { tag: "abc", text: "abc", v: -1 },
            ]
        }
        // Typed into the box itself: click, type, Return.
        function test_entry(data) {
            mouseClick(box)
            verify(box.isEditing)
            keySequence(StandardKey.SelectAll)
            keyClick(Qt.Key_Backspace)
            for (var i = 0; i < data.text.length; ++i)
                keyClick(data.text[i])
            keyClick(Qt.Key_Return)
            verify(!box.isEditing)
            if (data.v < 0) {
                compare(volumeSpy.count, 0)
            } else {
                compare(volumeSpy.count, 1)
                fuzzyCompare(volumeSpy.signalArguments[0][0], data.v, 0.00005)
            }
        }

        function test_escapeCancels() {
            mouseClick(box)
            keyClick(Qt.Key_5)
            keyClick(Qt.Key_Escape)
            verify(!box.isEditing)
            compare(volumeSpy.count, 0)
        }

        function test_editStartsWithTheCurrentLevel() {
            box.volumeValue = 0.5
            mouseClick(box)
            compare(box.children[box.children.length - 1].text, "-30.0")
            box.cancelEdit()
            box.volumeValue = 0.8
        }

        function test_doubleClickSetsZeroDb() {
            mouseDoubleClickSequence(box)
            verify(!box.isEditing)
            compare(volumeSpy.count, 1)
            compare(volumeSpy.signalArguments[0][0], 1.0)
        }

        function test_mutedTextIsRed() {
            box.isMuted = true
            compare(box.textColor, Colors.recRed)
            box.isMuted = false
            compare(box.textColor, Colors.textPrimary)
        }
    }

    TestCase {
        name: "Meter"
        function init() { failOnWarning(/.*/) }
        function test_fraction_data() {
            return [
                { tag: "full scale", a: 1.0, f: 1.0 },
                { tag: "over full scale", a: 1.6, f: 1.0 },
                { tag: "half is about -6 dB", a: 0.5, f: 0.8995 },
                { tag: "-60 dB floor", a: 0.001, f: 0.0 },
                { tag: "silence", a: 0.0, f: 0.0 },
                { tag: "-30 dB", a: 0.0316228, f: 0.5 },
            ]
        }
        function test_fraction(data) {
            fuzzyCompare(Logic.levelFraction(data.a), data.f, 0.0005)
        }

        function test_halfLevelFillsNinetyPercentWithAYellowPeak() {
            meter.level = 0.5
            meter.peakL = 0; meter.peakR = 0
            meter.stepPeaks()
            fuzzyCompare(meter.fracL, 0.8995, 0.0005)
            compare(meter.peakL, meter.fracL)
            compare(Logic.peakColor(meter.peakL), "#FFD000")
            compare(Logic.peakColor(0.95), "#FF003C")
            compare(Logic.peakColor(0.5), "#00FF88")
            compare(Logic.peakLineY(180, 1.0), 1)
            compare(Logic.peakLineY(180, 0.0), 177)
            verify(meter.isStereo)
        }

        // After a burst the line holds 25 ticks (650 ms on the 26th), then
        // falls 0.035 per tick until it meets the level.
        function test_peakHoldTiming() {
            meter.level = 1.0
            meter.stepPeaks()
            compare(meter.peakL, 1.0)
            meter.level = 0.0316228 // -30 dB: fraction 0.5
            for (var t = 1; t <= 25; ++t) {
                meter.stepPeaks()
                compare(meter.peakL, 1.0, "held at tick " + t)
                compare(meter.holdCountL, t)
            }
            meter.stepPeaks()
            fuzzyCompare(meter.peakL, 0.965, 1e-9)
            for (var k = 0; k < 20; ++k)
                meter.stepPeaks()
            fuzzyCompare(meter.peakL, 0.5, 0.0005) // never below the current level
            compare(meter.peakR, meter.peakL) // levelRight follows level by default
        }

        function test_narrowMeterIsMono() {
            meter.width = 10
            verify(!meter.isStereo)
            meter.width = 18
        }
    }
}
