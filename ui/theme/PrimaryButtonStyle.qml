import QtQuick
import Kalvorin.Theme
import QtQuick.Templates as T

// The main action button: text-coloured label on a dark diagonal gradient, corner radius 14,
// outlined in gold; pressed, the whole button shrinks to 0.98 about its centre.
//     PrimaryButtonStyle { text: "دخول"; symbol: ""; onClicked: ... }
// `symbol` (a symbol name) puts a symbol before the label; replace `contentItem` for anything else
// (a spinner, for example). Disabled buttons fade.
T.Button {
    id: control

    property string symbol

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(48, implicitContentHeight + topPadding + bottomPadding)
    topPadding: 12
    bottomPadding: 12
    leftPadding: 18
    rightPadding: 18
    font: KalvorinTheme.font(KalvorinTheme.Bold, 16)
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
        implicitHeight: 48
        radius: 14
        mirrored: control.LayoutMirroring.enabled
        direction: SurfaceShape.TopLeadingToBottomTrailing
        fillColors: [Qt.rgba(0.004, 0.025, 0.052, 1), Qt.rgba(0.01, 0.08, 0.15, 1), Qt.rgba(0.006, 0.03, 0.065, 1)]
        strokeColors: [KalvorinTheme.alpha(KalvorinTheme.gold, 0.92)]
        strokeWidth: 1.2
    }
}
