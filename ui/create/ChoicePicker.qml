import QtQuick
import Kalvorin.Theme

// A titled drop-down over a list of texts that the form prepares (empty choice included):
//     ChoicePicker { title: "الأولوية"; choices: form.priorityChoices
//                    currentIndex: form.priorityIndex; onChosen: (index) => form.priorityIndex = index }
// `locked` shows the one fixed choice that the user cannot change.
NativePickerCard {
    id: root

    property var choices: []
    property int currentIndex: 0
    property bool locked: false
    readonly property alias menu: menu

    signal chosen(int index)

    PickerMenu {
        id: menu
        model: root.choices
        heldIndex: root.currentIndex
        enabled: !root.locked
        title: root.title
        onActivated: (index) => root.chosen(index)
    }
}
