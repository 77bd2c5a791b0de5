import QtQuick
import QtQuick.Window
import Kalvorin.Theme

// The application's one window: 390 × 844, resizable, dark, right to left throughout.
Window {
    id: window

    width: 390
    height: 844
    minimumWidth: 320
    minimumHeight: 560
    visible: true
    color: KalvorinTheme.deep
    title: "KALVORIN"

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    ContentView {
        objectName: "contentView"
        anchors.fill: parent
    }
}
