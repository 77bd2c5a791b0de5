import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// The processing chain: the first documented actions, then the joint processors.
ProPanel {
    id: card

    required property var view

    tint: KalvorinTheme.teal
    radius: 18
    padding: 16
    Layout.fillWidth: true

    ColumnLayout {
        width: parent.width
        spacing: 12
        SectionTitle { text: "سلسلة المعالجة والتواقيع" }
        Text {
            objectName: "chainEmpty"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            visible: card.view.chainEmpty
            text: "لا توجد إجراءات موثقة بعد."
            color: KalvorinTheme.muted
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
            horizontalAlignment: KalvorinTheme.trailing
            Layout.fillWidth: true
        }
        Repeater {
            model: card.view.chainEntries
            RowLayout {
                id: entry
                required property string label
                required property string detail
                spacing: 10
                Layout.fillWidth: true
                // Column, spacer, dot: the text block stands at the leading edge, its lines
                // aligned to its own trailing edge, as wide as its longest line.
                ColumnLayout {
                    spacing: 4
                    Layout.fillWidth: true
                    Layout.maximumWidth: implicitWidth
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        text: entry.label
                        color: KalvorinTheme.text
                        font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                        horizontalAlignment: KalvorinTheme.trailing
                        Layout.fillWidth: true
                    }
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        text: entry.detail
                        color: KalvorinTheme.muted
                        font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                        horizontalAlignment: KalvorinTheme.trailing
                        Layout.fillWidth: true
                    }
                }
                Item { Layout.fillWidth: true }
                Rectangle {
                    implicitWidth: 12
                    implicitHeight: 12
                    radius: 6
                    color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.85)
                }
            }
        }
        Rectangle {
            visible: card.view.participantRows.count > 0
            color: KalvorinTheme.stroke
            implicitHeight: 1
            Layout.fillWidth: true
        }
        Repeater {
            model: card.view.participantRows
            RowLayout {
                id: participant
                required property string role
                required property string name
                Layout.fillWidth: true
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: participant.role
                    color: KalvorinTheme.gold
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                }
                Item { Layout.fillWidth: true }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: participant.name
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                }
            }
        }
    }
}
