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

    Connections {
        target: root.flickable
        function onDragEnded() {
            if (root.pulled >= root.threshold)
                run.start();
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
