import QtQuick
import QtQuick.Window

Window {
    width: 1280; height: 800
    visible: true
    color: "#000000"
    title: "Korvex Studio"
}
