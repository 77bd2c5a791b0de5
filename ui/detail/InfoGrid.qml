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
            required title
            required value
            // Two equal columns: each chip asks for the same share.
            Layout.preferredWidth: 1
        }
    }
}
