import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// A titled grid of the ticket's values.
ProPanel {
    id: card

    required property var view

    tint: KalvorinTheme.gold
    radius: 18
    padding: 16
    Layout.fillWidth: true

    ColumnLayout {
        width: parent.width
        spacing: 10
        SectionTitle { text: "معلومات المعالجة" }
        InfoGrid { items: card.view.treatmentItems }
    }
}
