import QtQuick
import Kalvorin.Theme
import QtQuick.Layouts

// A titled block of a form: a gold-tinted ProPanel (radius 18, no glow) holding, 14 in from its
// edges, a header (title over caption, the symbol in gold beside them in a 34 × 34 box) and then
// the children, one under the other 12 apart. Children should set `Layout.fillWidth: true`
// (the theme's form components do so themselves).
//     FormSectionCard { title: "معالجة مشتركة"; caption: "..."; icon: "person.2"
//         IconTextField { icon: "text.quote"; placeholder: "سبب المشاركة" } }
ProPanel {
    id: root

    property string title
    property string caption
    property string icon
    default property alias content: body.data

    tint: KalvorinTheme.gold
    radius: 18
    glow: false
    padding: 14
    Layout.fillWidth: true

    ColumnLayout {
        width: root.contentItem.width
        spacing: 12

        RowLayout {
            spacing: 10
            Layout.fillWidth: true

            ColumnLayout {
                spacing: 4
                Layout.fillWidth: true
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: root.title
                    color: KalvorinTheme.text
                    font: KalvorinTheme.font(KalvorinTheme.ExtraBold, 16)
                    horizontalAlignment: KalvorinTheme.leading
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: root.caption
                    visible: text.length > 0
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.font(KalvorinTheme.Medium, 11)
                    horizontalAlignment: KalvorinTheme.leading
                    wrapMode: Text.Wrap
                    lineHeight: 1.15
                    Layout.fillWidth: true
                }
            }

            Item {
                visible: root.icon.length > 0
                Layout.preferredWidth: 34
                Layout.preferredHeight: 34
                Layout.alignment: Qt.AlignTop
                Symbol {
                    anchors.centerIn: parent
                    name: root.icon
                    size: 24
                    color: KalvorinTheme.gold
                }
            }
        }

        ColumnLayout {
            id: body
            spacing: 12
            Layout.fillWidth: true
        }
    }
}
