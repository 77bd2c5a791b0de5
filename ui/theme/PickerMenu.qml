import QtQuick
import Kalvorin.Theme
import QtQuick.Templates as T

// The drop-down that a NativePickerCard holds: "Tajawal-Medium" 14, full width, menu-style list.
//     PickerMenu { model: form.choices; heldIndex: form.index; onActivated: (i) => form.index = i }
// It always shows what the form holds: a ComboBox resets its own index whenever its list changes,
// while the form's index may keep the same number (and a binding then never fires again), so the
// held index is put back after every change of the list or of the index. A held value that is not
// among the options (index -1) shows as `heldText`.
// It draws no frame of its own: the card around it does. `title` (the card's) and the value
// shown make its accessible name, so a screen reader says what is chosen, not only where.
T.ComboBox {
    id: control

    property string title
    property int heldIndex: -1
    property string heldText

    function showHeld() {
        if (currentIndex !== heldIndex)
            currentIndex = heldIndex;
    }
    onHeldIndexChanged: showHeld()
    onCountChanged: showHeld()
    // After the ComboBox's own reset, which follows these changes.
    onModelChanged: restore.restart()
    onCurrentIndexChanged: restore.restart()
    Component.onCompleted: showHeld()
    Timer {
        id: restore
        interval: 0
        onTriggered: control.showHeld()
    }

    displayText: currentIndex < 0 && heldText.length > 0 ? heldText : currentText

    implicitWidth: 240
    implicitHeight: 48
    leftPadding: 14
    rightPadding: 14
    font: KalvorinTheme.font(KalvorinTheme.Medium, 14)
    Accessible.name: title.length > 0 && displayText.length > 0 ? title + ": " + displayText : title + displayText

    indicator: Symbol {
        x: control.mirrored ? control.leftPadding : control.width - width - control.rightPadding
        y: (control.height - height) / 2
        name: "chevron.down"
        size: 18
        color: KalvorinTheme.muted
    }

    contentItem: Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        leftPadding: control.mirrored ? control.indicator.width + 8 : 0
        rightPadding: control.mirrored ? 0 : control.indicator.width + 8
        text: control.displayText
        font: control.font
        color: KalvorinTheme.text
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: KalvorinTheme.leading
        elide: Text.ElideRight
    }

    background: Item {
        implicitHeight: 48
    }

    component PickerList: ListView {
        property int chosenIndex: -1
        property string role
        property bool arrayModel
    }

    // The delegate reads what it needs from the list (ListView.view), not from the combo box.
    delegate: T.ItemDelegate {
        id: row
        required property var model
        required property int index
        readonly property var list: ListView.view
        readonly property bool chosen: !!list && list.chosenIndex === index
        readonly property string label: !list ? "" : !list.role ? model.modelData
            : list.arrayModel ? model.modelData[list.role] : model[list.role]

        objectName: "pickerChoice" + index
        width: list ? list.width : implicitWidth
        implicitHeight: 44
        leftPadding: 14
        rightPadding: 14
        highlighted: ListView.isCurrentItem
        Accessible.name: row.label
        Accessible.selected: row.chosen
        contentItem: Text {
            text: row.label
            font: row.chosen ? KalvorinTheme.font(KalvorinTheme.Bold, 14) : KalvorinTheme.font(KalvorinTheme.Medium, 14)
            color: row.chosen ? KalvorinTheme.teal : KalvorinTheme.text
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: KalvorinTheme.leading
            elide: Text.ElideRight
        }
        background: Rectangle {
            color: row.highlighted || row.down ? KalvorinTheme.alpha(KalvorinTheme.teal, 0.16) : "transparent"
            radius: 10
        }
    }

    popup: T.Popup {
        y: control.height + 4
        margins: 8
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + topPadding + bottomPadding, 320)
        padding: 6

        contentItem: PickerList {
            // The popup lives in the window's overlay, outside the mirrored tree: mirror it here.
            LayoutMirroring.enabled: control.mirrored
            LayoutMirroring.childrenInherit: true
            chosenIndex: control.currentIndex
            role: control.textRole
            arrayModel: Array.isArray(control.model)
            clip: true
            implicitHeight: contentHeight
            model: control.delegateModel
            currentIndex: control.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
        }

        background: SurfaceShape {
            radius: 14
            fillColors: [KalvorinTheme.panel2, KalvorinTheme.ink]
            direction: SurfaceShape.TopToBottom
            strokeColors: [KalvorinTheme.stroke]
            strokeWidth: 1
        }
    }
}
