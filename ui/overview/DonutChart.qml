pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Shapes
import Kalvorin.Theme

// The ring of the distribution: one arc per row whose `drawn` is true, from the row's start
// angle by its sweep (both worked out by the overview), line width 16 with round caps. No
// background track: with nothing drawn the ring stays empty.
//     DonutChart { width: 132; height: 132; model: AppState.overview.distribution }
Item {
    id: root

    property alias model: arcs.model
    readonly property real radius: Math.min(width, height) / 2 - 10

    Repeater {
        id: arcs
        delegate: Shape {
            id: arc
            required property int tone
            required property real startAngle
            required property real sweepAngle
            required property bool drawn
            anchors.fill: parent
            visible: arc.drawn
            ShapePath {
                fillColor: "transparent"
                strokeColor: KalvorinTheme.tone(arc.tone)
                strokeWidth: 16
                capStyle: ShapePath.RoundCap
                joinStyle: ShapePath.MiterJoin
                miterLimit: 10
                PathAngleArc {
                    centerX: root.width / 2
                    centerY: root.height / 2
                    radiusX: root.radius
                    radiusY: root.radius
                    startAngle: arc.startAngle
                    sweepAngle: arc.sweepAngle
                }
            }
        }
    }
}
