import QtQuick
import Kalvorin.Theme
import QtQuick.Layouts

// A one-line text field with a symbol beside it, right to left:
//     IconTextField { icon: "person"; placeholder: "اسم المستخدم"
//                     text: form.username; onTextEdited: form.username = text }
// `text` follows the bound value; `textEdited` fires only for the user's own typing, so writing
// back in it closes the two-way binding without loops. `input` gives the TextInput itself
// (echoMode, inputMethodHints, validator). For a left-to-right field (an IP address) set
// `LayoutMirroring.enabled: false; LayoutMirroring.childrenInherit: true` on it. Tab reaches the
// field; `accessibleName` (the placeholder by default) names it for screen readers.
Item {
    id: root

    property string icon
    property string placeholder
    property alias text: input.text
    // What assistive technology calls the field; the placeholder unless a label says it better.
    property string accessibleName: placeholder
    // The placeholder's face: the field's own unless a screen asks for another.
    property alias placeholderFont: hint.font
    readonly property alias input: input

    signal textEdited()
    signal accepted()

    implicitWidth: 280
    implicitHeight: 54
    Layout.fillWidth: true
    Layout.minimumHeight: 54

    SurfaceShape {
        anchors.fill: parent
        radius: 14
        fillColors: [KalvorinTheme.alpha(KalvorinTheme.ink, 0.62)]
        strokeColors: [input.activeFocus ? KalvorinTheme.alpha(KalvorinTheme.teal, 0.6) : KalvorinTheme.stroke]
        strokeWidth: 1
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 10

        Item {
            visible: root.icon.length > 0
            Layout.preferredWidth: 22
            Layout.fillHeight: true
            Symbol {
                anchors.centerIn: parent
                name: root.icon
                size: 20
                color: KalvorinTheme.alpha(KalvorinTheme.text, 0.78)
            }
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            TextInput {
                id: input
                anchors.fill: parent
                verticalAlignment: TextInput.AlignVCenter
                // The start of the line: the right edge once the layout is mirrored.
                horizontalAlignment: KalvorinTheme.leading
                color: KalvorinTheme.text
                selectionColor: KalvorinTheme.alpha(KalvorinTheme.teal, 0.55)
                selectedTextColor: KalvorinTheme.text
                font: KalvorinTheme.font(KalvorinTheme.Bold, 16)
                clip: true
                selectByMouse: true
                activeFocusOnTab: true
                Accessible.name: root.accessibleName
                onTextEdited: root.textEdited()
                onAccepted: root.accepted()
            }
            Text {
                id: hint
                anchors.fill: parent
                visible: input.text.length === 0 && input.preeditText.length === 0
                text: root.placeholder
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: KalvorinTheme.leading
                elide: Text.ElideRight
                color: KalvorinTheme.alpha(KalvorinTheme.muted, 0.8)
                font: input.font
            }
        }
    }
}
