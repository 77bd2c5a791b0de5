import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// A text between two thin teal lines that fill the rest of the width.
RowLayout {
    id: root

    property string text

    spacing: 12

    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 1
        color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.4)
    }
    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        text: root.text
        color: KalvorinTheme.text
        font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
    }
    Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 1
        color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.4)
    }
}
