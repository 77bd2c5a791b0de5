import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Overview

// The ticket's header card: priority, number, title, description and four chips; tinted red for
// a critical priority.
ProPanel {
    id: card

    required property var view

    tint: view.headerTint
    radius: 20
    glow: true
    padding: 16
    Layout.fillWidth: true

    ColumnLayout {
        width: parent.width
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            PriorityBadge {
                objectName: "priorityBadge"
                text: card.view.badgeText
                tone: card.view.badgeTone
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "ticketNumber"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: card.view.maintenanceNo
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 16)
            }
        }
        Text {
            objectName: "ticketTitle"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: card.view.title
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 18)
            horizontalAlignment: KalvorinTheme.trailing
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        Text {
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: card.view.descriptionText
            visible: text.length > 0
            color: KalvorinTheme.muted
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 13)
            horizontalAlignment: KalvorinTheme.trailing
            wrapMode: Text.Wrap
            maximumLineCount: 5
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        InfoGrid {
            items: card.view.headerItems
        }
    }
}
