import QtQuick
import Kalvorin.Theme

// A symbol followed by a text on one line, the symbol on the leading side (the right when the
// layout is mirrored). The content of the two button styles; screens may use it alone. The text
// is elided only when the whole label would be wider than `maximumWidth`.
Row {
    id: root

    property string text
    property string symbol
    property real symbolSize: Math.round(font.pixelSize * 1.1)
    property color color: KalvorinTheme.text
    property color symbolColor: color
    property font font: KalvorinTheme.font(KalvorinTheme.Bold, 16)
    property real maximumWidth: 100000
    // The width the label wants, whatever room it is given: containers size themselves from
    // this, never from the Row's own width, which shrinks with `maximumWidth`.
    readonly property real naturalWidth: (glyph.visible ? glyph.implicitWidth + spacing : 0)
                                         + (label.visible ? label.implicitWidth : 0)

    spacing: 8

    Symbol {
        id: glyph
        anchors.verticalCenter: parent.verticalCenter
        visible: root.symbol.length > 0
        name: root.symbol
        size: root.symbolSize
        color: root.symbolColor
    }
    Text {
        id: label
        anchors.verticalCenter: parent.verticalCenter
        visible: root.text.length > 0
        width: Math.min(implicitWidth, root.maximumWidth - (glyph.visible ? glyph.width + root.spacing : 0))
        text: root.text
        color: root.color
        font: root.font
        elide: Text.ElideRight
        maximumLineCount: 1
    }
}
