import QtQuick
import Kalvorin.Theme

// The full-screen backdrop every screen sits on, bottom to top: the deep → ink → navy gradient
// from the top-trailing to the bottom-leading corner, the teal grid, and a soft teal glow that
// drifts while `animate` is true (switched on when the background is first shown, never off).
//     KalvorinBackground { anchors.fill: parent }
//
// Cheap on purpose: the grid and the glow are painted once into textures, and the glow moves in
// small steps a few times a second instead of every frame, so a screen standing idle costs a few
// repaints per second rather than a busy render loop. The drift stops while the window is hidden.
Item {
    id: root

    property bool animate: false
    // Progress along the drift path, advanced by the timer.
    property real phase: 0
    // Milliseconds between two steps of the drift; each step repaints the window once.
    property int driftInterval: 2000

    clip: true

    SurfaceShape {
        anchors.fill: parent
        direction: SurfaceShape.TopTrailingToBottomLeading
        mirrored: root.LayoutMirroring.enabled
        fillColors: [KalvorinTheme.deep, KalvorinTheme.ink, KalvorinTheme.navy]
    }

    GridPattern {
        anchors.fill: parent
        color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.045)
        lineWidth: 0.6
    }

    GlowSpot {
        id: glow
        objectName: "glow"
        // 480 × 480 from the gradient, plus the blur's spread on each side.
        width: 2 * (outerRadius + blur)
        height: width
        color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.28)
        innerRadius: 20
        outerRadius: 240
        blur: 28
        // Centred 240 up and 240 towards the left of the middle, drifting on a slow ellipse.
        x: root.width / 2 - 240 + 70 * Math.sin(root.phase) - width / 2
        y: root.height / 2 - 240 + 45 * Math.sin(root.phase * 0.5) - height / 2
    }

    Timer {
        // One step every two seconds, each moving the glow by at most about 3 px: on a blur this
        // wide it reads as a slow drift, and each step costs one repaint of the window. Measured
        // with bench/bench_idle_cpu under Xvfb's software OpenGL: a screen full of components
        // idles at about 0.8 % of a core (1.5 % at one step a second, 3.5 % at four).
        interval: root.driftInterval
        repeat: true
        running: root.animate && root.visible && (root.Window.window ? root.Window.window.visible : true)
        onTriggered: root.phase = (root.phase + 2 * Math.PI / 160) % (4 * Math.PI)
    }

    Component.onCompleted: animate = true
}
