import QtQuick
import QtQuick.Templates as T
import Kalvorin.Theme

// A button drawn as its text alone (a sheet's "إغلاق"): its hit area is at least the touch
// target and holds the whole label.
//     TextButton { text: "إغلاق"; font: KalvorinTheme.fontNamed("Tajawal-Bold", 14); onClicked: … }
T.Button {
    id: control

    property color color: KalvorinTheme.teal

    padding: 8
    implicitWidth: Math.max(KalvorinTheme.touchTarget, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(KalvorinTheme.touchTarget, implicitContentHeight + topPadding + bottomPadding)
    Accessible.role: Accessible.Button
    Accessible.name: control.text

    contentItem: Text {
        text: control.text
        font: control.font
        // Brighter while it has the keyboard focus.
        color: control.activeFocus ? KalvorinTheme.text : control.color
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Item {}
}
