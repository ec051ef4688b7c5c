import QtQuick
import Qt.labs.settings 1.0
import Korvex 1.0
import "SettingsLogic.js" as SettingsLogic

// The recording choices the settings window keeps between runs. The backend
// starts every run at its defaults, so the main window hands the stored
// choices over once at start: a stored MKV or Lossless is what the next take
// records, not only what the window shows.
Settings {
    category: "RecordingConfig"

    property int resolutionIndex: 2
    property int framerateIndex: 4
    property int encoderIndex: 0
    property int formatIndex: 0
    property int qualityIndex: 2

    // True when every choice reached the backend; false when the encoder
    // list is not known yet (it comes from a probe that may still run at
    // start), then pushEncoder() hands the stored encoder over later.
    function pushToBackend() {
        AppManager.recordingResolutionIndex = resolutionIndex
        AppManager.recordingFramerateIndex = framerateIndex
        AppManager.recordingFormatIndex = SettingsLogic.formatIndexFor(formatIndex)
        AppManager.recordingQualityIndex = qualityIndex
        return pushEncoder()
    }

    function pushEncoder() {
        const count = AppManager.encoderCapabilities.length
        if (count === 0)
            return false
        AppManager.recordingEncoderIndex = SettingsLogic.encoderIndexFor(encoderIndex, count)
        return true
    }
}
