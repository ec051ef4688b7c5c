import QtQuick
import QtTest
import "qrc:/Korvex/ui/qml/Components/MonitorLogic.js" as Monitor
import "qrc:/Korvex/ui/qml/Components/SourceConfigLogic.js" as Source

TestCase {
    name: "MonitorAndSourceLogic"

    function test_tileChannel_data() {
        return [
            { tag: "second active", ids: [1, 3], k: 2, expected: 3 },
            { tag: "shorter list falls back", ids: [2], k: 3, expected: 3 },
            { tag: "no list", ids: [], k: 1, expected: 1 }
        ]
    }
    function test_tileChannel(data) { compare(Monitor.tileChannel(data.ids, data.k), data.expected) }

    function test_nextProgramSource_data() {
        return [
            { tag: "lowest other with video", removed: 1, video: [3, 4], expected: 3 },
            { tag: "skips the removed one", removed: 2, video: [2, 4], expected: 4 },
            { tag: "none left gives 1", removed: 3, video: [3], expected: 1 }
        ]
    }
    function test_nextProgramSource(data) {
        compare(Monitor.nextProgramSource(data.removed, function (id) { return data.video.indexOf(id) >= 0 }), data.expected)
    }

    function test_stepBars_data() {
        return [
            { tag: "3 lights one", seconds: 3, lit: [true, false, false] },
            { tag: "2 lights two", seconds: 2, lit: [true, true, false] },
            { tag: "1 lights three", seconds: 1, lit: [true, true, true] },
            { tag: "0 lights three", seconds: 0, lit: [true, true, true] }
        ]
    }
    function test_stepBars(data) {
        for (var k = 0; k < 3; ++k)
            compare(Monitor.stepBarLit(k, data.seconds), data.lit[k], "bar " + k)
    }

    function test_windowedGeometry_data() {
        return [
            { tag: "1080p screen", screen: { x: 0, y: 0, width: 1920, height: 1080 }, expected: { x: 320, y: 180, width: 1280, height: 720 } },
            { tag: "small second screen", screen: { x: 1920, y: 0, width: 1366, height: 768 }, expected: { x: 2091, y: 96, width: 1025, height: 576 } }
        ]
    }
    function test_windowedGeometry(data) {
        var g = Monitor.windowedGeometry(data.screen)
        compare(g.x, data.expected.x); compare(g.y, data.expected.y)
        compare(g.width, data.expected.width); compare(g.height, data.expected.height)
    }

    function test_screenIndexIsClamped() {
        compare(Monitor.clampScreenIndex(3, 1), 0)
        compare(Monitor.clampScreenIndex(1, 2), 1)
        compare(Monitor.clampScreenIndex(0, 0), -1)
        compare(Monitor.displayLabel(0), "Display 1 (Primary)")
        compare(Monitor.displayLabel(2), "Display 3")
    }

    readonly property var sampleFormats: [
        { width: 1920, height: 1080, fps: 30, formatName: "YUY2" },
        { width: 1920, height: 1080, fps: 60, formatName: "MJPEG" },
        { width: 1280, height: 720, fps: 30, formatName: "YUY2" },
        { width: 1024, height: 576, fps: 25, formatName: "YUY2" }
    ]

    function test_resolutionEntries() {
        compare(Source.resolutionEntries(sampleFormats), ["1920x1080 (1080p FHD)", "1280x720 (720p HD)", "1024x576"])
    }

    function test_framerateEntries_data() {
        return [
            { tag: "size with formats", w: 1920, h: 1080, expected: ["30.00 fps (YUY2)", "60.00 fps (MJPEG)"] },
            { tag: "size without formats lists every rate", w: 800, h: 600, expected: ["30.00 fps", "60.00 fps", "25.00 fps"] }
        ]
    }
    function test_framerateEntries(data) { compare(Source.framerateEntries(sampleFormats, data.w, data.h), data.expected) }

    function test_noFormatsGiveTheDefaults() {
        compare(Source.framerateEntries([], 1920, 1080), Source.defaultFramerates)
        compare(Source.defaultResolutions[0], "1920x1080 (1080p FHD)")
        compare(Source.parseResolution("3840x2160 (4K UHD)").width, 3840)
        compare(Source.parseResolution(undefined), null)
        compare(Source.parseFramerate("59.94 fps"), 59.94)
        compare(Source.parseFramerate("fps"), 30.0)
    }

    function test_editModeChoices() {
        // A channel at 29.97 takes the first entry within 0.2: a 30.00 listed first wins.
        compare(Source.framerateIndexFor(["60.00 fps (YUY2)", "30.00 fps (YUY2)", "29.97 fps (YUY2)"], 29.97), 1)
        compare(Source.framerateIndexFor(["60.00 fps"], 25), 0)
        compare(Source.resolutionIndexFor(["1920x1080 (1080p FHD)", "1280x720 (720p HD)"], 1280, 720), 1)
        compare(Source.colorRangeIndexFor("Partial (16-235 TV)"), 2)
        compare(Source.colorRangeIndexFor("Full (0-255 PC)"), 1)
        compare(Source.colorRangeIndexFor("Default"), 0)
        var cams = [{ name: "A", link: "a" }, { name: "B", link: "b" }]
        compare(Source.firstUnusedCameraIndex(cams, ["a"]), 1)
        compare(Source.firstUnusedCameraIndex(cams, ["a", "b"]), 0)
        compare(Source.cameraIndexForLink(cams, "b"), 1)
        compare(Source.cameraIndexForLink(cams, "zz"), 0)
    }
}
