import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Create

// One reporter level: a drop-down while the level has options, a free-text field otherwise (and
// while the user is typing into that field; the form decides, see ReporterLevel).
ColumnLayout {
    id: root

    required property ReporterLevel level

    spacing: 0
    Layout.fillWidth: true

    ChoicePicker {
        objectName: "reporterPicker" + root.level.level
        visible: root.level.picker
        title: root.level.label
        choices: root.level.choices
        currentIndex: root.level.currentIndex
        onChosen: (index) => { root.level.currentIndex = index; }
    }

    IconTextField {
        id: field
        objectName: "reporterField" + root.level.level
        visible: !root.level.picker
        icon: root.level.icon
        placeholder: root.level.label
        text: root.level.value
        onTextEdited: root.level.value = field.text
        input.onActiveFocusChanged: root.level.editing = field.input.activeFocus
    }
}
