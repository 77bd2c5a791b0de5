import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// Shown over the shell when the server no longer knows the signed-in user's session. Signing in
// again here keeps the shell underneath: the tab, an open ticket and the new-ticket draft stay.
// The name is offered, the password is typed again; "الخروج من التطبيق" signs out as the More screen does.
Popup {
    id: prompt
    objectName: "sessionEndedPrompt"

    property string username: ""
    property string password: ""
    property bool showPassword: false

    function signIn() {
        if (!AppState.loading)
            AppState.startResume(prompt.username, prompt.password);
    }

    parent: Overlay.overlay
    width: Math.min(FrameRules.contentWidth(parent ? parent.width : 390) - 32, 420)
    x: ((parent ? parent.width : 390) - width) / 2
    y: Math.max(16, ((parent ? parent.height : 844) - height) / 2)
    height: Math.min(column.implicitHeight + topPadding + bottomPadding, (parent ? parent.height : 844) - 32)
    padding: 18
    modal: true
    focus: true
    closePolicy: Popup.NoAutoClose

    onAboutToShow: {
        prompt.username = AppState.resumeName;
        prompt.password = "";
        AppState.errorMessage = "";
    }
    onOpened: {
        if (prompt.username.length > 0)
            passwordField.input.forceActiveFocus();
        else
            usernameField.input.forceActiveFocus();
    }

    background: Rectangle {
        color: KalvorinTheme.navy
        radius: 22
        border.width: 1
        border.color: KalvorinTheme.alpha(KalvorinTheme.gold, 0.5)
    }

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        ColumnLayout {
            id: column
            width: parent.width
            spacing: 14

            SymbolLabel {
                symbol: "lock"
                text: "انتهت الجلسة"
                color: KalvorinTheme.text
                symbolColor: KalvorinTheme.gold
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 19)
                Layout.alignment: KalvorinTheme.leading
            }
            Text {
                objectName: "sessionEndedText"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: "أنهى الخادم جلستك. سجّل الدخول مرة أخرى لمتابعة عملك؛ ما أدخلته باقٍ كما هو."
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 14)
                wrapMode: Text.Wrap
                horizontalAlignment: KalvorinTheme.leading
                Layout.fillWidth: true
            }
            IconTextField {
                id: usernameField
                objectName: "resumeUsernameField"
                icon: "person"
                placeholder: "اسم المستخدم"
                text: prompt.username
                onTextEdited: prompt.username = text
                input.inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                onAccepted: passwordField.input.forceActiveFocus()
                Layout.fillWidth: true
            }
            PasswordField {
                id: passwordField
                objectName: "resumePasswordField"
                icon: "lock"
                placeholder: "كلمة المرور"
                text: prompt.password
                showPassword: prompt.showPassword
                onTextEdited: prompt.password = text
                onShowPasswordToggled: prompt.showPassword = !prompt.showPassword
                onAccepted: prompt.signIn()
                Layout.fillWidth: true
            }
            Text {
                objectName: "resumeError"
                Accessible.role: Accessible.AlertMessage
                Accessible.name: text
                visible: text.length > 0
                text: AppState.errorMessage
                color: KalvorinTheme.red
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                wrapMode: Text.Wrap
                horizontalAlignment: KalvorinTheme.leading
                Layout.fillWidth: true
            }
            PrimaryButtonStyle {
                objectName: "resumeSignInButton"
                text: "دخول"
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 20)
                enabled: !AppState.loading
                busy: AppState.loading
                onClicked: prompt.signIn()
                Layout.fillWidth: true
                Layout.minimumHeight: 52
            }
            TextButton {
                objectName: "resumeSignOutButton"
                text: "الخروج من التطبيق"
                color: KalvorinTheme.red
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
                enabled: !AppState.loading
                onClicked: AppState.startLogout()
                Layout.alignment: Qt.AlignHCenter
            }
        }
    }
}
