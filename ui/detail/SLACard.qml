import QtQuick
import QtQuick.Layouts
import QtQuick.Shapes
import Kalvorin.Theme

// The service-level indicator: a ring covering the used share, the percent in its centre, and
// the remaining time or the breach.
ProPanel {
    id: card

    required property var view

    tint: KalvorinTheme.teal
    radius: 18
    padding: 14
    Layout.fillWidth: true

    RowLayout {
        width: parent.width
        spacing: 16

        Item {
            objectName: "slaRing"
            readonly property real fraction: card.view.slaFraction
            implicitWidth: 74
            implicitHeight: 74
            Shape {
                anchors.fill: parent
                ShapePath {
                    strokeColor: KalvorinTheme.stroke
                    strokeWidth: 9
                    fillColor: "transparent"
                    PathAngleArc { centerX: 37; centerY: 37; radiusX: 32.5; radiusY: 32.5; startAngle: 0; sweepAngle: 360 }
                }
                ShapePath {
                    strokeColor: card.view.slaFraction > 0 ? KalvorinTheme.teal : "transparent"
                    strokeWidth: 9
                    capStyle: ShapePath.RoundCap
                    fillColor: "transparent"
                    PathAngleArc {
                        centerX: 37; centerY: 37; radiusX: 32.5; radiusY: 32.5
                        startAngle: -90
                        sweepAngle: 360 * card.view.slaFraction
                    }
                }
            }
            Text {
                objectName: "slaPercent"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                anchors.centerIn: parent
                text: card.view.slaPercentText
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 18)
            }
        }
        // Beside the ring: a column as wide as its longest line, its lines aligned to its own
        // trailing edge.
        ColumnLayout {
            spacing: 8
            Layout.fillWidth: true
            Layout.maximumWidth: implicitWidth
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: "مؤشر الالتزام (SLA)"
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 16)
                horizontalAlignment: KalvorinTheme.trailing
                Layout.fillWidth: true
            }
            Text {
                objectName: "slaStatus"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: card.view.slaStatusText
                color: card.view.slaStatusColor
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                horizontalAlignment: KalvorinTheme.trailing
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
        Item { Layout.fillWidth: true }
    }
}
