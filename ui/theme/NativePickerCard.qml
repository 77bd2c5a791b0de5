import QtQuick
import Kalvorin.Theme
import QtQuick.Layouts

// A titled drop-down: the title ("Tajawal-Bold" 14) above the choice control, which sits full
// width in a field of corner radius 14 filled with ink and outlined in stroke (at least 48 high).
//     NativePickerCard { title: "الإدارة"
//         PickerMenu { model: form.regionOptions; ... } }
// The choice control is the card's child; the card sizes it to the field.
ColumnLayout {
    id: root

    property string title
    default property Item content

    spacing: 8
    Layout.fillWidth: true

    Text {
        text: root.title
        visible: text.length > 0
        color: KalvorinTheme.text
        font: KalvorinTheme.font(KalvorinTheme.Bold, 14)
        // A trailing-aligned column.
        horizontalAlignment: KalvorinTheme.trailing
        // One line: a wrapped title changes its height with its width, which a layout that is
        // resized after it was built does not always follow (the title then covers the field).
        elide: Text.ElideRight
        Layout.fillWidth: true
    }

    Item {
        id: field
        Layout.fillWidth: true
        Layout.minimumHeight: 48
        Layout.preferredHeight: Math.max(48, root.content ? root.content.implicitHeight : 0)
        implicitWidth: 240

        SurfaceShape {
            anchors.fill: parent
            radius: 14
            fillColors: [KalvorinTheme.ink]
            strokeColors: [KalvorinTheme.stroke]
            strokeWidth: 1
        }
    }

    // The choice control given by the caller is stretched over the field, above its frame.
    onContentChanged: {
        if (content) {
            content.parent = field;
            content.anchors.fill = field;
        }
    }
    Component.onCompleted: contentChanged()
}
