import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// One titled value of an InfoGrid; the value comes already normalised from C++.
Rectangle {
    id: chip

    property string title
    property string value

    Layout.fillWidth: true
    Layout.minimumWidth: 10
    implicitHeight: column.implicitHeight + 20
    radius: 12
    color: KalvorinTheme.alpha(KalvorinTheme.ink, 0.55)

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 10
        spacing: 5
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: chip.title
            color: KalvorinTheme.muted
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
            horizontalAlignment: KalvorinTheme.trailing
            Layout.fillWidth: true
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: chip.value
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            horizontalAlignment: KalvorinTheme.trailing
            wrapMode: Text.WordWrap // a word too long for the chip (an e-mail address) is elided, not cut
            maximumLineCount: 2
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
}
