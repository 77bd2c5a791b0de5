import QtQuick
import Kalvorin.Theme

// The emblem "KalvorinMark", square, drawn crisp at its size (146 on sign-in, 42 in the user strip).
Item {
    property real size: 146
    implicitWidth: size
    implicitHeight: size

    Image {
        anchors.fill: parent
        source: KalvorinTheme.markImage
        sourceSize.width: Math.ceil(width)
        sourceSize.height: Math.ceil(height)
        fillMode: Image.PreserveAspectFit
        smooth: true
    }
}
