import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// A capsule with a 9-point dot and a label, tinted green when `connected` and red otherwise.
Item {
    id: root

    property string label
    property bool connected: false
    readonly property color tint: FrameRules.connectionColor(connected)

    implicitWidth: row.implicitWidth + 24
    implicitHeight: Math.max(30, row.implicitHeight + 12)

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: KalvorinTheme.alpha(root.tint, 0.14)
        border.width: 1
        border.color: KalvorinTheme.alpha(root.tint, 0.45)
    }
    RowLayout {
        id: row
        anchors.centerIn: parent
        spacing: 7
        Rectangle {
            Layout.preferredWidth: 9
            Layout.preferredHeight: 9
            radius: 4.5
            color: root.tint
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: root.label
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
        }
    }
}
