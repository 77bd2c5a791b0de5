import QtQuick
import QtQuick.Controls
import Kalvorin.Theme
import Kalvorin.Overview

// Pulling a list down past its top reloads it; the indicator shows until the reload has ended.
//     PullToRefresh { flickable: list; operation: RefreshRun.Tickets }
// Place it over the top of the list (it takes no input).
Item {
    id: root

    property Flickable flickable
    property alias operation: run.operation
    readonly property alias running: run.running
    // How far past the top a release starts the reload.
    property real threshold: 70

    readonly property real pulled: flickable ? Math.max(0, -flickable.verticalOvershoot) : 0

    implicitHeight: 48

    RefreshRun {
        id: run
    }

    // Whether the list stood at its top at the last scroll. When the list's header grows or
    // shrinks (the failure banner comes or goes), a list at its top stays at its top instead of
    // sliding its header out of view.
    property bool atTop: true

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

    BusyIndicator {
        objectName: "pullIndicator"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 4
        width: 36
        height: 36
        running: run.running
        visible: run.running || root.pulled > 8
        opacity: run.running ? 1 : Math.min(1, root.pulled / root.threshold)
        palette.dark: KalvorinTheme.teal
    }
}
