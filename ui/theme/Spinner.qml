import QtQuick
import QtQuick.Shapes
import Kalvorin.Theme

// A spinning arc: the progress indicator of a running submission, sign-in or upload. It draws at
// full colour whatever the state of the button that holds it.
//     Spinner { running: form.running; color: "white" }
Shape {
    id: root

    property bool running: false
    property color color: KalvorinTheme.text
    property real size: 22

    visible: running
    implicitWidth: size
    implicitHeight: size
    Accessible.role: Accessible.Animation
    Accessible.name: "جارٍ التنفيذ"

    ShapePath {
        strokeColor: root.color
        strokeWidth: Math.max(2, root.size / 9)
        fillColor: "transparent"
        capStyle: ShapePath.RoundCap
        PathAngleArc {
            centerX: root.size / 2
            centerY: root.size / 2
            radiusX: root.size / 2 - 2
            radiusY: root.size / 2 - 2
            startAngle: 0
            sweepAngle: 270
        }
    }
    RotationAnimator on rotation {
        from: 0
        to: 360
        duration: 900
        loops: Animation.Infinite
        running: root.running && root.visible
    }
}
