import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kalvorin.Theme

// The description block: its title over a multi-line editor (at least 150 high) on panel2.
ColumnLayout {
    id: root

    property alias text: editor.text
    signal edited()

    spacing: 8
    Layout.fillWidth: true

    Text {
        text: "وصف البلاغ"
        color: KalvorinTheme.text
        font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
        // A trailing-aligned column: the title at the trailing edge above the full-width editor.
        horizontalAlignment: KalvorinTheme.trailing
        Layout.fillWidth: true
    }

    TextArea {
        id: editor
        objectName: "descriptionEditor"
        Layout.fillWidth: true
        Layout.minimumHeight: 150
        wrapMode: TextEdit.Wrap
        color: KalvorinTheme.text
        font: KalvorinTheme.fontNamed("Tajawal-Medium", 15)
        horizontalAlignment: KalvorinTheme.leading
        padding: 14
        selectByMouse: true
        selectionColor: KalvorinTheme.alpha(KalvorinTheme.teal, 0.55)
        Accessible.name: "وصف البلاغ"
        onTextChanged: if (activeFocus) root.edited()
        background: SurfaceShape {
            radius: 18
            fillColors: [KalvorinTheme.panel2]
            strokeColors: [KalvorinTheme.stroke]
            strokeWidth: 1
        }
    }
}
