import QtQuick
import Kalvorin.Theme
import QtQuick.Templates as T

// The main action button: text-coloured label on a dark diagonal gradient, corner radius 14,
// outlined in gold; pressed, the whole button shrinks to 0.98 about its centre.
//     PrimaryButtonStyle { text: "دخول"; symbol: ""; onClicked: ... }
// `symbol` (a symbol name) puts a symbol before the label; `busy` puts a spinner before it while
// the button's work runs. Disabled buttons fade, but not while busy: the spinner shows at full
// colour (the button is disabled then only because its work is running).
T.Button {
    id: control

    property string symbol
    property bool busy: false

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(48, implicitContentHeight + topPadding + bottomPadding)
    topPadding: 12
    bottomPadding: 12
    leftPadding: 18
    rightPadding: 18
    font: KalvorinTheme.font(KalvorinTheme.Bold, 16)
    scale: control.down ? 0.98 : 1.0
    opacity: control.enabled || control.busy ? 1.0 : 0.55
    // Named by its label even where the platform's accessibility is not switched on (tests).
    Accessible.role: Accessible.Button
    Accessible.name: control.text

    // No ids inside: the content item is created late, and an id would make it early.
    readonly property real spinnerRoom: busy ? 32 : 0
    contentItem: Item {
        implicitWidth: children[0].children[1].naturalWidth + control.spinnerRoom
        implicitHeight: children[0].children[1].implicitHeight
        Row {
            anchors.centerIn: parent
            spacing: 10
            Spinner {
                objectName: "buttonSpinner"
                anchors.verticalCenter: parent.verticalCenter
                running: control.busy
                color: "white"
            }
            SymbolLabel {
                anchors.verticalCenter: parent.verticalCenter
                maximumWidth: control.availableWidth - control.spinnerRoom
                text: control.text
                symbol: control.symbol
                font: control.font
                color: KalvorinTheme.text
            }
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
