import QtQuick
import Kalvorin.Theme
import QtQuick.Templates as T

// The second-rank button: text-coloured label on panel2 at 0.86, corner radius 14, outlined in
// teal at 0.45; pressed, it shrinks to 0.98 about its centre.
//     SecondaryButtonStyle { text: "إضافة مرفق للبلاغ"; symbol: "plus.circle"; onClicked: ... }
T.Button {
    id: control

    property string symbol

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(46, implicitContentHeight + topPadding + bottomPadding)
    topPadding: 11
    bottomPadding: 11
    leftPadding: 16
    rightPadding: 16
    font: KalvorinTheme.font(KalvorinTheme.Bold, 14)
    scale: control.down ? 0.98 : 1.0
    opacity: control.enabled ? 1.0 : 0.55
    // Named by its label even where the platform's accessibility is not switched on (tests).
    Accessible.role: Accessible.Button
    Accessible.name: control.text

    contentItem: Item {
        implicitWidth: children[0].naturalWidth
        implicitHeight: children[0].implicitHeight
        SymbolLabel {
            anchors.centerIn: parent
            maximumWidth: parent.width
            text: control.text
            symbol: control.symbol
            font: control.font
            color: KalvorinTheme.text
        }
    }

    background: SurfaceShape {
        implicitHeight: 46
        radius: 14
        fillColors: [KalvorinTheme.alpha(KalvorinTheme.panel2, 0.86)]
        strokeColors: [KalvorinTheme.alpha(KalvorinTheme.teal, 0.45)]
        strokeWidth: 1
    }
}
