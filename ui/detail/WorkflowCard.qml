import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// The ticket's workflow stages, each with a filled circle once done.
ProPanel {
    id: card

    required property var view

    tint: KalvorinTheme.green
    radius: 18
    padding: 16
    Layout.fillWidth: true

    ColumnLayout {
        width: parent.width
        spacing: 12
        SectionTitle { text: "سير العمل" }
        Repeater {
            model: card.view.workflowSteps
            RowLayout {
                required property string label
                required property color labelColor
                required property color fillColor
                required property color outlineColor
                spacing: 10
                Layout.fillWidth: true
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: parent.label
                    color: parent.labelColor
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                }
                Item { Layout.fillWidth: true }
                Rectangle {
                    implicitWidth: 22
                    implicitHeight: 22
                    radius: 11
                    color: parent.fillColor
                    border.width: 2
                    border.color: parent.outlineColor
                }
            }
        }
    }
}
