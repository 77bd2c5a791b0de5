import QtQuick
import Kalvorin.Theme

// One symbol, drawn from the Material Icons font by its symbol name:
//     Symbol { name: "bell.fill"; size: 18; color: KalvorinTheme.text }
// An unknown name draws nothing, says so once on the console and sets `known` to false.
Text {
    id: root

    property string name
    property real size: 18
    readonly property bool known: KalvorinSymbols.has(name)

    width: size
    height: size
    text: KalvorinSymbols.glyph(name)
    color: KalvorinTheme.text
    font.family: KalvorinTheme.symbolFontFamily
    font.pixelSize: Math.max(1, Math.round(size))
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
    Accessible.ignored: true

    onNameChanged: {
        if (name.length > 0 && !known)
            console.warn("Symbol: no glyph for the symbol name", JSON.stringify(name));
    }
}
