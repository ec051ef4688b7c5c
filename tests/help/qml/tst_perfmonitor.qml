import QtQuick
import QtTest
import Korvex 1.0

TestCase {
    id: test
    name: "PerformanceMonitorWindow"
    when: windowShown

    property var win: null

    function item(name) {
        const found = findChild(win.contentItem, name)
        verify(found !== null, name)
        return found
    }

    function logTexts() {
        const view = item("perfLogView")
        const lines = []
        const children = view.contentItem.children
        for (let i = 0; i < children.length; ++i) {
            const child = children[i]
            if (child.text !== undefined && child.visible)
                lines.push({ text: child.text, color: child.color, y: child.y })
        }
        lines.sort((a, b) => a.y - b.y)
        return lines
    }

    function init() {
        AppManager.reset()
        helpProbe.clear()
        const component = Qt.createComponent("qrc:/Korvex/ui/qml/Components/PerformanceMonitorWindow.qml")
        compare(component.status, Component.Ready, component.errorString())
        win = component.createObject(null)
        verify(win !== null)
        win.show()
        tryVerify(() => win.visible)
        waitForRendering(win.contentItem)
    }

    function cleanup() {
        win.destroy()
        win = null
        wait(0)
        compare(helpProbe.warnings(), [])
    }

    function test_logLineColours() {
        AppManager.logLines = [
            "12:00:01 RECORDING STARTED take 3",
            "12:00:02 CAM 1 FPS: 59.9 DROPS: 12",
            "12:00:03 CAM 2 FPS: 60.0 DROPS: 0",
            "12:00:04 RECORDING STOPPED take 3",
            "12:00:05 plain message"
        ]
        tryVerify(() => logTexts().length === 5, 2500)
        const lines = logTexts()
        compare(lines.map(l => l.text), AppManager.logLines)
        compare(lines[0].color, Colors.liveGreen)
        compare(lines[1].color, Qt.color("#f87171"))
        compare(lines[2].color, Qt.color("#94a3b8"))
        compare(lines[3].color, Colors.accent)
        compare(lines[4].color, Qt.color("#94a3b8"))
    }

    function test_clearLogEmptiesAtOnce() {
        AppManager.logLines = ["a", "b"]
        tryVerify(() => logTexts().length === 2, 2500)
        mouseClick(item("perfClearLogButton"))
        compare(AppManager.calls, ["clearLogFile"])
        compare(item("perfLogView").count, 0)
        AppManager.logLines = ["after clear"]
        tryVerify(() => logTexts().length === 1 && logTexts()[0].text === "after clear", 2500)
    }

    function test_logTimerFollowsVisibility() {
        const timer = findChild(win, "perfLogTimer")
        verify(timer !== null)
        verify(timer.running)
        win.close()
        tryVerify(() => !timer.running)
        win.show()
        tryVerify(() => timer.running)
    }

    function test_gpuText_data() {
        return [
            { tag: "30 characters", gpu: "NVIDIA GeForce RTX 4090 Super", shown: "GPU: NVIDIA GeForce RTX 4090 S..." },
            { tag: "exactly 25", gpu: "Intel UHD Graphics 770 25", shown: "GPU: Intel UHD Graphics 770 25" },
            { tag: "empty", gpu: "", shown: "GPU: " }
        ]
    }

    function test_gpuText(data) {
        AppManager.hardwareGpuInfo = data.gpu
        compare(item("perfGpuText").text, data.shown)
    }

    function test_takeState_data() {
        return [
            { tag: "standby", recording: false, arming: false, text: "STANDBY", dot: Colors.liveGreen, pulse: false },
            { tag: "arming", recording: false, arming: true, text: "SYNC ARMING", dot: Colors.accent, pulse: true },
            { tag: "recording", recording: true, arming: false, text: "RECORDING ACTIVE", dot: Colors.recordingRed, pulse: true }
        ]
    }

    function test_takeState(data) {
        AppManager.isRecording = data.recording
        AppManager.isArming = data.arming
        compare(item("perfStatusText").text, data.text)
        compare(item("perfStatusText").color, data.recording ? Colors.recordingRed : Colors.liveGreen)
        compare(item("perfStatusPill").color, data.recording ? Qt.color("#450a0a") : Colors.surfaceDark)
        const dot = item("perfStateDot")
        compare(dot.color, data.dot)
        if (data.pulse) {
            tryVerify(() => dot.opacity < 0.6, 1500)
            AppManager.isRecording = false
            AppManager.isArming = false
        }
        tryCompare(dot, "opacity", 1.0)
    }

    function test_metricCards_data() {
        return [
            { tag: "steady", fps: 60.0, dropped: 0, fpsText: "60.0", fpsColor: Colors.liveGreen, droppedUnit: "100% SYNC", droppedColor: Colors.liveGreen },
            { tag: "film rate with drops", fps: 24.0, dropped: 12, fpsText: "24.0", fpsColor: Colors.accent, droppedUnit: "DROPPED", droppedColor: Qt.color("#ef4444") },
            { tag: "slow", fps: 23.94, dropped: 1, fpsText: "23.9", fpsColor: Qt.color("#ef4444"), droppedUnit: "DROPPED", droppedColor: Qt.color("#ef4444") }
        ]
    }

    function test_metricCards(data) {
        AppManager.currentFps = data.fps
        AppManager.droppedFrames = data.dropped
        AppManager.diskWriteSpeedMBs = 42.25
        AppManager.cpuUsage = "CPU: 12%"
        AppManager.ramUsage = "RAM: 245.3 MB"
        compare(item("perfCardValue0").text, data.fpsText)
        compare(item("perfCardValue0").color, data.fpsColor)
        compare(item("perfCardValue1").text, String(data.dropped))
        compare(item("perfCardUnit1").text, data.droppedUnit)
        compare(item("perfCardUnit1").color, data.droppedColor)
        compare(item("perfCardValue2").text, "42.3")
        compare(item("perfCardValue3").text, "CPU: 12%   |   RAM: 245.3 MB")
        compare(item("perfResolutionText").text, "ACTIVE RESOLUTION: 1920x1080 (FHD)")
    }

    function test_buttons() {
        mouseClick(item("perfBenchmarkButton"))
        mouseClick(item("perfOpenLogButton"))
        compare(AppManager.calls, ["runHardwareBenchmark", "openLogFile"])
        mouseClick(item("perfCloseButton"))
        verify(!win.visible)
    }
}
