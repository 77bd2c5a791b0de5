import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// A ticket action's button: title and symbol in white on a diagonal gradient from `color` into
// ink, outlined in `color`. A tap emits `action`.
Item {
    id: root

    property string title
    property string icon
    property color color: KalvorinTheme.teal

    signal action()

    Layout.fillWidth: true
    implicitWidth: 120
    implicitHeight: Math.max(48, button.implicitContentHeight + 20)

    T.Button {
        id: button
        objectName: root.objectName.length > 0 ? root.objectName + "-button" : ""
        anchors.fill: parent
        Accessible.name: root.title
        onClicked: root.action()

        contentItem: RowLayout {
            spacing: 9
            Item { Layout.fillWidth: true }
            Text {
                text: root.title
                color: "white"
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 10
                maximumLineCount: 1
                elide: Text.ElideRight
                Layout.maximumWidth: Math.max(0, root.width - 50)
            }
            Symbol {
                name: root.icon
                size: 16
                color: "white"
                font.bold: true
            }
            Item { Layout.fillWidth: true }
        }

        background: Rectangle {
            radius: 14
            border.width: 1
            border.color: root.color
            scale: button.down ? 0.98 : 1.0
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0.0; color: root.color }
                GradientStop { position: 1.0; color: KalvorinTheme.ink }
            }
        }
    }
}
