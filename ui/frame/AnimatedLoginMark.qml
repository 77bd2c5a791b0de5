import QtQuick
import Kalvorin.Theme

// The emblem of the sign-in screen, 146 points square, with rings around it. While `active` the
// mark and the rings pulse slowly (3.2 s each way, forever); when not, they rest.
Item {
    id: root

    property bool active: false
    // 0 at rest, 1 at the top of a pulse.
    property real pulse: 0

    implicitWidth: 146
    implicitHeight: 146

    component Ring: Rectangle {
        property int step: 0
        property real pulse: 0
        property color tint: KalvorinTheme.teal

        anchors.centerIn: parent
        width: 146 + 26 * (step + 1)
        height: width
        radius: width / 2
        color: "transparent"
        border.width: 1
        border.color: KalvorinTheme.alpha(tint, 0.34 - 0.09 * step + 0.12 * pulse)
        scale: 1 + (0.05 + 0.03 * step) * pulse
    }

    Ring { step: 0; pulse: root.pulse }
    Ring { step: 1; pulse: root.pulse; tint: KalvorinTheme.gold }
    Ring { step: 2; pulse: root.pulse }

    KalvorinMark {
        anchors.centerIn: parent
        size: 146
        scale: 1 + 0.035 * root.pulse
    }

    SequentialAnimation {
        running: root.active
        loops: Animation.Infinite
        NumberAnimation { target: root; property: "pulse"; from: 0; to: 1; duration: 3200; easing.type: Easing.InOutQuad }
        NumberAnimation { target: root; property: "pulse"; from: 1; to: 0; duration: 3200; easing.type: Easing.InOutQuad }
    }

    onActiveChanged: {
        if (!active)
            pulse = 0;
    }
}
