import QtQuick
import Kalvorin.Theme
import Kalvorin.Frame

// Whether the server answers: a 12-point dot in a 44-point halo of the same colour at 18 %,
// green when `online`, red otherwise.
Item {
    id: root

    property bool online: false
    readonly property color tint: FrameRules.connectionColor(online)

    implicitWidth: 44
    implicitHeight: 44

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: KalvorinTheme.alpha(root.tint, 0.18)
    }
    Rectangle {
        anchors.centerIn: parent
        width: 12
        height: 12
        radius: 6
        color: root.tint
    }
}
