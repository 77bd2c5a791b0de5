import QtQuick
import QtQuick.Shapes
import Kalvorin.Theme
import Kalvorin.Overview

// Pulling a list down past its top reloads it. While the finger pulls, the content follows it
// (the list's own rubber band moves it half as far; the rest is added here) and a ring fills
// towards the release point; after the release the spinning ring stays in the gap above the
// content, clear of the header, until the reload has ended.
//     ListView { id: list; topMargin: 16 + pull.reserve; transform: Translate { y: pull.follow } }
//     PullToRefresh { id: pull; flickable: list; operation: RefreshRun.Tickets }
// Place it over the top of the list (it takes no input).
Item {
    id: root

    property Flickable flickable
    property alias operation: run.operation
    readonly property alias running: run.running
    // How far the finger pulls the content past its top before a release starts the reload.
    property real threshold: 70
    // The room the list keeps above its content while the reload runs, for the indicator.
    readonly property real reserve: run.running ? indicatorSize + 12 : 0
    readonly property real indicatorSize: 32

    // How far the content has been pulled down, as the finger sees it.
    readonly property real pulled: flickable ? Math.max(0, -flickable.verticalOvershoot) * 2 : 0
    readonly property real progress: Math.min(1, pulled / threshold)

    implicitHeight: 48

    RefreshRun {
        id: run
    }

    // The half of the pull the list's rubber band leaves out, for the list to move by while the
    // finger is down; let go smoothly after.
    property real follow: flickable && flickable.dragging ? pulled / 2 : 0
    Behavior on follow {
        enabled: !(root.flickable && root.flickable.dragging)
        NumberAnimation { duration: 180; easing.type: Easing.OutCubic }
    }

    // Whether the list stood at its top at the last scroll. When the list's header grows or
    // shrinks (the failure banner comes or goes), or the reserve above it opens or closes, a list
    // at its top stays at its top instead of sliding its header out of view.
    property bool atTop: true
    // Opened or closed: put back once the list's margin has followed it. The origin's handler
    // below does the same at once (Qt 6.4's QML compiler crashes on a shared function here).
    onReserveChanged: topKeeper.restart()
    Timer {
        id: topKeeper
        interval: 0
        onTriggered: {
            const f = root.flickable;
            if (f && root.atTop && !f.moving)
                f.contentY = f.originY - f.topMargin;
        }
    }

    Connections {
        target: root.flickable
        function onDragEnded() {
            if (root.pulled >= root.threshold)
                run.start();
        }
        function onContentYChanged() {
            const f = root.flickable;
            root.atTop = f.contentY <= f.originY - f.topMargin + 1;
        }
        function onOriginYChanged() {
            const f = root.flickable;
            if (root.atTop && !f.moving)
                f.contentY = f.originY - f.topMargin;
        }
    }

    // The ring: fills with the pull, spins while the reload runs. It sits in the gap above the
    // content and shows only once the gap can hold it.
    Item {
        objectName: "pullIndicator"
        readonly property bool running: root.running
        readonly property real gap: root.running ? root.reserve : root.pulled
        anchors.horizontalCenter: parent.horizontalCenter
        y: Math.max(0, (gap - height) / 2)
        width: root.indicatorSize
        height: root.indicatorSize
        visible: root.running || gap >= height + 4
        opacity: root.running ? 1 : root.progress

        Shape {
            id: ring
            anchors.fill: parent
            ShapePath {
                strokeColor: KalvorinTheme.teal
                strokeWidth: 3
                fillColor: "transparent"
                capStyle: ShapePath.RoundCap
                PathAngleArc {
                    centerX: ring.width / 2
                    centerY: ring.height / 2
                    radiusX: ring.width / 2 - 2
                    radiusY: ring.height / 2 - 2
                    startAngle: -90
                    sweepAngle: root.running ? 270 : 359 * root.progress
                }
            }
            RotationAnimator on rotation {
                from: 0
                to: 360
                duration: 900
                loops: Animation.Infinite
                running: root.running
            }
        }
    }
}
