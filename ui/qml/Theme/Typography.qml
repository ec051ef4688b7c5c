pragma Singleton
import QtQuick

// The type scale. "Segoe UI" and "Consolas" resolve through fontconfig to the
// installed sans and mono families where the Windows fonts are absent.
QtObject {
    readonly property font heading1: Qt.font({ family: "Segoe UI", pixelSize: 24, weight: Font.Bold })
    readonly property font heading2: Qt.font({ family: "Segoe UI", pixelSize: 16, weight: Font.DemiBold, letterSpacing: 1.5 })
    readonly property font heading3: Qt.font({ family: "Segoe UI", pixelSize: 14, weight: Font.DemiBold })
    readonly property font body: Qt.font({ family: "Segoe UI", pixelSize: 13, weight: Font.Normal })
    readonly property font bodyBold: Qt.font({ family: "Segoe UI", pixelSize: 13, weight: Font.Bold })
    readonly property font caption: Qt.font({ family: "Segoe UI", pixelSize: 11, weight: Font.Medium })
    readonly property font captionBold: Qt.font({ family: "Segoe UI", pixelSize: 11, weight: Font.Bold })
    readonly property font small: Qt.font({ family: "Segoe UI", pixelSize: 10, weight: Font.Normal })
    readonly property font smallBold: Qt.font({ family: "Segoe UI", pixelSize: 10, weight: Font.Bold })
    readonly property font mono: Qt.font({ family: "Consolas", pixelSize: 12, weight: Font.Medium })
}
