import QtQuick
import QtQuick.Window
import Kalvorin.Theme

// The application's one window: 390 × 844, resizable down to 300 px wide, dark, right to left
// throughout. Ctrl+Q quits, as on any desktop.
Window {
    id: window

    width: 390
    height: 844
    minimumWidth: 300
    minimumHeight: 360
    visible: true
    color: KalvorinTheme.deep
    title: "KALVORIN"

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    ContentView {
        objectName: "contentView"
        anchors.fill: parent
    }

    Shortcut {
        sequence: "Ctrl+Q"
        context: Qt.ApplicationShortcut
        onActivated: Qt.quit()
    }
}
