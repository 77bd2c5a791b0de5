import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// A dashboard counter: title, value, and a caption beside the card's symbol in a tinted circle.
ProPanel {
    id: root

    property string title
    // The integer in decimal.
    property string value: "0"
    property string caption
    property string icon
    property color color: KalvorinTheme.teal

    tint: root.color
    radius: 18
    padding: 14
    implicitHeight: Math.max(146, content.implicitHeight + 2 * padding)
    Layout.fillWidth: true

    ColumnLayout {
        id: content
        width: parent.width
        spacing: 6

        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: root.title
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
            horizontalAlignment: KalvorinTheme.leading
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        Text {
            objectName: "metricValue"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: root.value
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 34)
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
        RowLayout {
            Layout.fillWidth: true
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: root.caption
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                horizontalAlignment: KalvorinTheme.leading
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            Rectangle {
                Layout.preferredWidth: 44
                Layout.preferredHeight: 44
                radius: 22
                color: KalvorinTheme.alpha(root.color, 0.14)
                Symbol {
                    anchors.centerIn: parent
                    name: root.icon
                    size: 22
                    color: root.color
                }
            }
        }
    }
}
