import QtQuick
import QtQuick.Layouts
import QtQuick.Controls
import Kalvorin.Theme
import Kalvorin.Frame
import Kalvorin.Detail

// The full-height sheet of one ticket action: pickers for its kind, the note, the result line
// and the submit button. The form (C++) holds every value and rule; a successful submission
// hands its text to the detail view and closes the sheet.
Popup {
    id: sheet

    property string kind
    property string ticketNumber
    property var detailView
    // The screen that opened the sheet: told when it closes.
    property var host
    readonly property alias form: form

    parent: Overlay.overlay
    width: FrameRules.contentWidth(parent ? parent.width : 390)
    x: ((parent ? parent.width : 390) - width) / 2
    y: 0
    height: parent ? parent.height : 844
    padding: 0
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape

    TicketActionForm {
        id: form
        appState: AppState
        detail: sheet.detailView
        kind: sheet.kind
        ticketNumber: sheet.ticketNumber
        onDone: sheet.close()
    }
    onAboutToShow: form.appear()
    onClosed: if (sheet.host) sheet.host.actionKind = ""
    Component.onCompleted: open()

    background: Rectangle {
        color: KalvorinTheme.navy
        border.width: 1
        border.color: KalvorinTheme.stroke
    }

    Item {
        anchors.fill: parent
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        KalvorinBackground { anchors.fill: parent }

        TextButton {
            id: closeButton
            objectName: "sheetClose"
            // The cancellation place: the leading corner (anchors follow the mirroring).
            anchors.left: parent.left
            anchors.leftMargin: 10
            y: 4
            text: "إغلاق"
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
            onClicked: sheet.close()
        }

        Flickable {
            id: page
            anchors.fill: parent
            anchors.topMargin: closeButton.y + closeButton.height
            contentWidth: width
            contentHeight: column.implicitHeight + 36
            boundsBehavior: Flickable.StopAtBounds
            clip: true

            ColumnLayout {
                id: column
                x: 18
                y: 18
                width: page.width - 36
                spacing: 14

                Text {
                    objectName: "sheetTitle"
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: form.title
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 24)
                    horizontalAlignment: KalvorinTheme.trailing
                    Layout.fillWidth: true
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: form.ticketLine
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 13)
                    horizontalAlignment: KalvorinTheme.trailing
                    Layout.fillWidth: true
                }

                NativePickerCard {
                    visible: form.requiresScope
                    title: form.scopePickerTitle
                    PickerMenu {
                        objectName: "scopePicker"
                        title: form.scopePickerTitle
                        model: form.scopeOptions
                        textRole: "label"
                        valueRole: "value"
                        heldIndex: form.scopeIndex
                        onActivated: form.selectedScope = currentValue
                    }
                }
                NativePickerCard {
                    visible: form.showsHandlerPicker
                    title: "المعالج"
                    PickerMenu {
                        objectName: "handlerPicker"
                        title: "المعالج"
                        model: form.handlerOptions
                        textRole: "label"
                        valueRole: "value"
                        heldIndex: form.handlerIndex
                        heldText: form.handlerText
                        onActivated: form.selectedHandler = currentValue
                    }
                }
                NativePickerCard {
                    visible: form.showsReasonPicker
                    title: form.reasonPickerTitle
                    PickerMenu {
                        objectName: "reasonPicker"
                        title: form.reasonPickerTitle
                        model: form.reasonOptions
                        textRole: "label"
                        valueRole: "value"
                        heldIndex: form.reasonIndex
                        heldText: form.selectedReason
                        onActivated: form.selectedReason = currentValue
                    }
                }

                Text {
                    text: form.noteLabel
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                    horizontalAlignment: KalvorinTheme.trailing
                    Layout.fillWidth: true
                }
                TextArea {
                    id: noteEditor
                    objectName: "noteEditor"
                    Accessible.name: form.noteLabel
                    text: form.note
                    onTextChanged: form.note = text
                    wrapMode: TextEdit.Wrap
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 15)
                    // Typed text starts at the leading edge, the right.
                    horizontalAlignment: KalvorinTheme.leading
                    padding: 10
                    Layout.fillWidth: true
                    Layout.minimumHeight: 150
                    background: Rectangle {
                        radius: 16
                        color: KalvorinTheme.alpha(KalvorinTheme.ink, 0.75)
                        border.width: 1
                        border.color: KalvorinTheme.stroke
                    }
                }

                Rectangle {
                    visible: form.formMessage.length > 0
                    Layout.fillWidth: true
                    implicitHeight: messageText.implicitHeight + 20
                    radius: 14
                    color: KalvorinTheme.ink
                    border.color: KalvorinTheme.stroke
                    Text {
                        id: messageText
                        objectName: "formMessage"
                        Accessible.role: Accessible.AlertMessage
                        Accessible.name: text
                        anchors.fill: parent
                        anchors.margins: 10
                        text: form.formMessage
                        color: form.formMessageColor
                        font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                        horizontalAlignment: KalvorinTheme.trailing
                        wrapMode: Text.Wrap
                    }
                }

                PrimaryButtonStyle {
                    id: submitButton
                    objectName: "submitAction"
                    text: "تنفيذ الإجراء"
                    enabled: form.canSubmit
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 18)
                    Layout.fillWidth: true
                    onClicked: form.submit()
                    busy: form.running
                }
                MobileBottomReachablePadding {}
            }
        }
    }
}
