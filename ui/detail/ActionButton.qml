import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// A ticket action's button: title and symbol in white on a diagonal gradient from `color` into
// ink, outlined in `color`. `action` runs on a tap.
T.Button {
    id: control

    property string title
    property string icon
    property color color: KalvorinTheme.teal
    property var action: function() {}

    Layout.fillWidth: true
    implicitHeight: Math.max(48, contentItem.implicitHeight + 20)
    implicitWidth: 120
    Accessible.name: title
    onClicked: control.action()

    contentItem: RowLayout {
        spacing: 9
        Item { Layout.fillWidth: true }
        Text {
            text: control.title
            color: "white"
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            maximumLineCount: 1
            elide: Text.ElideRight
            Layout.maximumWidth: control.width - 50
        }
        Symbol {
            name: control.icon
            size: 16
            color: "white"
            font.bold: true
        }
        Item { Layout.fillWidth: true }
    }

    background: Rectangle {
        radius: 14
        border.width: 1
        border.color: control.color
        scale: control.down ? 0.98 : 1.0
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: control.color }
            GradientStop { position: 1.0; color: KalvorinTheme.ink }
        }
    }
}
