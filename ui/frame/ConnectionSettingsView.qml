import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// The connection-settings sheet: the server's base URL. "حفظ إعدادات الاتصال" stores the cleaned
// URL, rechecks the status and closes; "إغلاق" closes without saving. Opened from the sign-in
// screen and from the More screen. The address field takes the keyboard when it opens; Escape
// closes it, and the focus goes back to the button that opened it.
Popup {
    id: sheet

    parent: Overlay.overlay
    // Full height; in a wide window as wide as the screens, centred.
    width: FrameRules.contentWidth(parent ? parent.width : 390)
    x: ((parent ? parent.width : 390) - width) / 2
    y: 0
    height: parent ? parent.height : 844
    padding: 0
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape

    ConnectionSettingsForm {
        id: form
        appState: AppState
        onClosed: sheet.close()
    }

    onAboutToShow: form.open()
    onOpened: urlField.input.forceActiveFocus()

    ReturnFocus {
        popup: sheet
    }

    enter: Transition {
        NumberAnimation { property: "y"; from: sheet.height; to: 0; duration: 260; easing.type: Easing.OutCubic }
    }
    exit: Transition {
        NumberAnimation { property: "y"; from: 0; to: sheet.height; duration: 220; easing.type: Easing.InCubic }
    }

    background: Rectangle {
        color: KalvorinTheme.navy
        border.width: 1
        border.color: KalvorinTheme.stroke
    }

    Item {
        anchors.fill: parent
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 16
            spacing: 18

            // The navigation bar: the title in the middle, "إغلاق" at the trailing side.
            Item {
                Layout.fillWidth: true
                Layout.preferredHeight: 44

                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    anchors.centerIn: parent
                    text: "إعدادات الاتصال"
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 18)
                }
                TextButton {
                    id: closeButton
                    objectName: "closeButton"
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: "إغلاق"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 16)
                    onClicked: form.close()
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 8

                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: "رابط النظام"
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                    Layout.fillWidth: true
                    horizontalAlignment: KalvorinTheme.leading
                }
                IconTextField {
                    id: urlField
                    objectName: "urlField"
                    icon: "network"
                    placeholder: form.placeholder
                    accessibleName: "رابط النظام"
                    text: form.draft
                    onTextEdited: form.draft = text
                    input.inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                    // An address reads left to right even in an Arabic form.
                    LayoutMirroring.enabled: false
                    LayoutMirroring.childrenInherit: true
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: form.helpText
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
                    wrapMode: Text.Wrap
                    horizontalAlignment: KalvorinTheme.leading
                    Layout.fillWidth: true
                }
            }

            PrimaryButtonStyle {
                objectName: "saveButton"
                text: "حفظ إعدادات الاتصال"
                Layout.fillWidth: true
                onClicked: form.save()
            }

            Item {
                Layout.fillHeight: true
            }
        }
    }
}
