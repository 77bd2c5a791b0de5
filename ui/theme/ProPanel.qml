import QtQuick
import Kalvorin.Theme

// A card around any content:
//     ProPanel { tint: KalvorinTheme.gold; radius: 18; glow: false; padding: 16
//         ColumnLayout { width: parent.width; ... } }
// Children go into the padded inner area (`contentItem`), whose width follows the card. The card
// takes its height from the content's implicit height unless a height is given.
Item {
    id: root

    property color tint: KalvorinTheme.teal
    property real radius: 18
    property bool glow: false
    property real padding: 16
    default property alias content: inner.data
    readonly property alias contentItem: inner

    implicitWidth: inner.childrenRect.width + 2 * padding
    implicitHeight: inner.childrenRect.height + 2 * padding

    SurfaceShape {
        id: surface
        anchors.fill: parent
        anchors.margins: -extent
        radius: root.radius
        mirrored: root.LayoutMirroring.enabled
        direction: SurfaceShape.TopTrailingToBottomLeading
        fillColors: [KalvorinTheme.alpha(KalvorinTheme.glass, 0.88),
                     KalvorinTheme.alpha(KalvorinTheme.panel2, 0.92),
                     KalvorinTheme.ink]
        // The outline catches the tint at the top-trailing corner and fades through white.
        strokeColors: [KalvorinTheme.alpha(root.tint, 0.62),
                       Qt.rgba(1, 1, 1, 0.10),
                       KalvorinTheme.alpha(root.tint, 0.22)]
        strokeWidth: 1.1
        shadowColor: root.glow ? KalvorinTheme.alpha(root.tint, 0.24) : Qt.rgba(0, 0, 0, 0.32)
        shadowRadius: root.glow ? 18 : 10
        shadowOffsetY: root.glow ? 0 : 4
    }

    Item {
        id: inner
        anchors.fill: parent
        anchors.margins: root.padding
    }
}
