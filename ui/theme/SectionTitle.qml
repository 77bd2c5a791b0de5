import QtQuick
import Kalvorin.Theme
import QtQuick.Layouts

// A card's title: "Tajawal-ExtraBold" 17 in teal, filling the width, on the trailing edge.
// Inside a layout it fills the width by itself.
Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text
    color: KalvorinTheme.teal
    font: KalvorinTheme.font(KalvorinTheme.ExtraBold, 17)
    // Trailing edge: AlignRight is flipped by LayoutMirroring like every other alignment.
    horizontalAlignment: KalvorinTheme.trailing
    wrapMode: Text.Wrap
    Layout.fillWidth: true
}
