import QtQuick
import QtQuick.Layouts

// Two flexible columns of InfoChips, one per item (roles title and value) in item order.
GridLayout {
    id: grid

    property var items

    columns: 2
    columnSpacing: 10
    rowSpacing: 10
    Layout.fillWidth: true

    Repeater {
        model: grid.items
        InfoChip {
            required property string title
            required property string value
            Layout.preferredWidth: (grid.width - grid.columnSpacing) / 2
        }
    }
}
