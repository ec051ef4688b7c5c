import QtQuick
import QtQuick.Window

Window {
    width: 480; height: 280
    visible: true
    color: "#000000"
}
