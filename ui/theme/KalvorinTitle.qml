import QtQuick
import Kalvorin.Theme

// The word-mark "KalvorinTitle", drawn crisp at whatever size it is given (150 × 34 in headers).
Item {
    implicitWidth: 150
    implicitHeight: 34
    Accessible.name: "KALVORIN"

    Image {
        anchors.fill: parent
        source: KalvorinTheme.titleImage
        sourceSize.width: Math.ceil(width)
        sourceSize.height: Math.ceil(height)
        fillMode: Image.PreserveAspectFit
        smooth: true
    }
}
