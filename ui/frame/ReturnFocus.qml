import QtQuick
import QtQuick.Templates as T

// Gives the keyboard focus back to the item that had it when `popup` opened, once it closes: a
// closed alert or sheet returns the user to the field or button they were on.
//     Dialog { id: alert ... }
//     ReturnFocus { popup: alert }
QtObject {
    id: root

    required property T.Popup popup
    property Item previous: null

    readonly property Connections watcher: Connections {
        target: root.popup

        function onAboutToShow() {
            const overlay = root.popup.parent;
            root.previous = overlay ? overlay.Window.activeFocusItem : null;
        }
        function onClosed() {
            if (root.previous)
                root.previous.forceActiveFocus(Qt.PopupFocusReason);
            root.previous = null;
        }
    }
}
