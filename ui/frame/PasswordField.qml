import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// The password row: leading symbol, the input, and an eye button that shows or masks it.
//     PasswordField { icon: "lock"; placeholder: "كلمة المرور"; showPassword: form.shown
//                     onTextEdited: form.password = text; onShowPasswordToggled: form.shown = !form.shown }
// The input is marked sensitive: no prediction, no keyboard history, no auto-capitals.
Item {
    id: root

    property string icon
    property string placeholder
    property alias text: input.text
    property bool showPassword: false
    readonly property alias input: input

    signal textEdited()
    signal accepted()
    signal showPasswordToggled()

    implicitWidth: 280
    implicitHeight: 54
    Layout.fillWidth: true
    Layout.preferredHeight: 54

    SurfaceShape {
        anchors.fill: parent
        radius: 14
        fillColors: [KalvorinTheme.alpha(KalvorinTheme.ink, 0.62)]
        strokeColors: [input.activeFocus ? KalvorinTheme.alpha(KalvorinTheme.teal, 0.6) : KalvorinTheme.stroke]
        strokeWidth: 1
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 8
        spacing: 10

        Item {
            Layout.preferredWidth: 22
            Layout.fillHeight: true
            Symbol {
                anchors.centerIn: parent
                name: root.icon
                size: 20
                color: KalvorinTheme.alpha(KalvorinTheme.text, 0.78)
            }
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            TextInput {
                id: input
                objectName: "passwordInput"
                anchors.fill: parent
                verticalAlignment: TextInput.AlignVCenter
                horizontalAlignment: KalvorinTheme.leading
                echoMode: root.showPassword ? TextInput.Normal : TextInput.Password
                inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
                                  | (root.showPassword ? Qt.ImhNone : Qt.ImhHiddenText)
                color: KalvorinTheme.text
                selectionColor: KalvorinTheme.alpha(KalvorinTheme.teal, 0.55)
                selectedTextColor: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 16)
                clip: true
                selectByMouse: true
                activeFocusOnTab: true
                Accessible.name: root.placeholder
                onTextEdited: root.textEdited()
                onAccepted: root.accepted()
            }
            Text {
                anchors.fill: parent
                visible: input.text.length === 0 && input.preeditText.length === 0
                text: root.placeholder
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: KalvorinTheme.leading
                elide: Text.ElideRight
                color: KalvorinTheme.alpha(KalvorinTheme.muted, 0.8)
                font: input.font
            }
        }

        T.AbstractButton {
            id: eye
            objectName: "eyeButton"
            Layout.preferredWidth: KalvorinTheme.touchTarget
            Layout.fillHeight: true
            // Named for what a press does; the symbol alone says nothing to a screen reader.
            text: root.showPassword ? "إخفاء كلمة المرور" : "إظهار كلمة المرور"
            Accessible.role: Accessible.Button
            Accessible.name: eye.text
            onClicked: root.showPasswordToggled()

            contentItem: Symbol {
                name: root.showPassword ? "eye.slash" : "eye"
                size: 20
                color: eye.activeFocus ? KalvorinTheme.teal : KalvorinTheme.muted
            }
            background: Item {}
        }
    }
}
