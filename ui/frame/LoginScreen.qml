import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme
import Kalvorin.Frame

// The sign-in screen: whether the server answers, the brand, the user name and password, the
// remember box and the sign-in button; errors show inline and in the "تنبيه" alert, whose
// closing clears them. The gear opens the connection settings.
// Keyboard: typing goes to the user name at once (to the password when the name is remembered);
// Tab and Shift+Tab follow the reading order; Enter in the password signs in; Return or Escape
// closes the alert and the focus goes back to the field it came from.
Item {
    id: screen

    // The screen's own state, fresh each time the root view shows it.
    property string username: ""
    property string password: ""
    property bool remember: true
    property bool showPassword: false
    property bool showSettings: false
    property bool appeared: false
    property bool logoMotion: false


    onShowSettingsChanged: showSettings ? settings.open() : settings.close()

    function signIn() {
        if (AppState.loading)
            return;
        AppState.startLogin(screen.username, screen.password, screen.remember);
    }

    // Brand and form slide up and fade in one after another.
    component Entrance: SequentialAnimation {
        id: entrance
        required property Item item
        required property Translate shift
        property int delay: 0
        PauseAnimation { duration: entrance.delay }
        ParallelAnimation {
            NumberAnimation { target: entrance.item; property: "opacity"; to: 1; duration: 780; easing.type: Easing.OutCubic }
            NumberAnimation { target: entrance.shift; property: "y"; to: 0; duration: 780; easing.type: Easing.OutCubic }
        }
    }

    Flickable {
        id: page
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + 40)
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ColumnLayout {
            id: column
            x: 20
            y: 16
            width: page.width - 40
            spacing: 18

            // 1. The connection dot and the settings button.
            RowLayout {
                Layout.fillWidth: true
                LoginConnectionDot {
                    objectName: "connectionDot"
                    online: FrameRules.serverOnline(AppState.status)
                }
                Item { Layout.fillWidth: true }
                SecondaryButtonStyle {
                    objectName: "settingsButton"
                    text: "الإعدادات"
                    symbol: "gearshape.fill"
                    onClicked: screen.showSettings = true
                }
            }

            // 2. The brand block.
            Item {
                id: markBlock
                Layout.fillWidth: true
                Layout.preferredHeight: 210
                opacity: 0
                transform: Translate { id: markShift; y: 22 }

                GlowSpot {
                    anchors.centerIn: parent
                    width: 300
                    height: 300
                    color: KalvorinTheme.alpha(KalvorinTheme.teal, 0.30)
                    innerRadius: 10
                    outerRadius: 130
                    blur: 20
                }
                AnimatedLoginMark {
                    anchors.centerIn: parent
                    active: screen.logoMotion
                }
            }
            KalvorinTitle {
                id: title
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: 220
                Layout.preferredHeight: 50
                opacity: 0
                transform: Translate { id: titleShift; y: 22 }
            }
            ColumnLayout {
                id: subtitles
                Layout.fillWidth: true
                spacing: 2
                opacity: 0
                transform: Translate { id: subtitlesShift; y: 22 }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    text: "نظام حوكمة الطلبات والبلاغات"
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 17)
                    elide: Text.ElideRight
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    text: "والدعم الفني الموحد"
                    color: KalvorinTheme.teal
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 15)
                    elide: Text.ElideRight
                }
            }

            // 3. The form card.
            ProPanel {
                id: card
                Layout.fillWidth: true
                tint: KalvorinTheme.gold
                radius: 22
                glow: true
                padding: 18
                opacity: 0
                transform: Translate { id: cardShift; y: 28 }

                ColumnLayout {
                    width: card.contentItem.width
                    spacing: 14

                    DividerLabel {
                        text: "تسجيل الدخول"
                        Layout.fillWidth: true
                    }
                    IconTextField {
                        id: usernameField
                        objectName: "usernameField"
                        icon: "person"
                        placeholder: "اسم المستخدم"
                        text: screen.username
                        onTextEdited: screen.username = text
                        input.inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                        onAccepted: passwordField.input.forceActiveFocus()
                    }
                    PasswordField {
                        id: passwordField
                        objectName: "passwordField"
                        icon: "lock"
                        placeholder: "كلمة المرور"
                        text: screen.password
                        showPassword: screen.showPassword
                        onTextEdited: screen.password = text
                        onShowPasswordToggled: screen.showPassword = !screen.showPassword
                        onAccepted: screen.signIn()
                    }
                    T.AbstractButton {
                        id: rememberButton
                        objectName: "rememberButton"
                        text: "تذكرني"
                        Accessible.role: Accessible.CheckBox
                        Accessible.name: rememberButton.text
                        Accessible.checkable: true
                        Accessible.checked: screen.remember
                        Layout.alignment: KalvorinTheme.leading
                        implicitWidth: Math.max(KalvorinTheme.touchTarget, implicitContentWidth)
                        implicitHeight: Math.max(KalvorinTheme.touchTarget, implicitContentHeight)
                        onClicked: screen.remember = !screen.remember
                        contentItem: SymbolLabel {
                            symbol: screen.remember ? "checkmark.square.fill" : "square"
                            text: rememberButton.text
                            color: rememberButton.activeFocus ? KalvorinTheme.teal : KalvorinTheme.text
                            symbolColor: screen.remember ? KalvorinTheme.teal : KalvorinTheme.muted
                            font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                        }
                    }
                    Text {
                        objectName: "inlineError"
                        Accessible.role: Accessible.AlertMessage
                        Accessible.name: text
                        visible: AppState.errorMessage.length > 0
                        text: AppState.errorMessage
                        color: KalvorinTheme.red
                        font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                        wrapMode: Text.Wrap
                        horizontalAlignment: KalvorinTheme.leading
                        Layout.fillWidth: true
                    }
                    PrimaryButtonStyle {
                        id: signInButton
                        objectName: "signInButton"
                        Layout.fillWidth: true
                        Layout.minimumHeight: 58
                        text: "دخول"
                        font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 25)
                        enabled: !AppState.loading
                        onClicked: screen.signIn()
                        busy: AppState.loading
                        // While signing in the label is the spinner alone.
                        contentItem: Item {
                            implicitWidth: 80
                            implicitHeight: 34
                            Text {
                                anchors.centerIn: parent
                                visible: !AppState.loading
                                text: signInButton.text
                                color: KalvorinTheme.text
                                font: signInButton.font
                            }
                            Spinner {
                                objectName: "signInSpinner"
                                anchors.centerIn: parent
                                size: 26
                                running: AppState.loading
                            }
                        }
                    }
                    Text {
                        id: footer
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        Layout.fillWidth: true
                        opacity: 0
                        transform: Translate { id: footerShift; y: 22 }
                        horizontalAlignment: Text.AlignHCenter
                        text: "© KALVORIN — منصة الحوكمة والدعم الفني"
                        color: KalvorinTheme.alpha(KalvorinTheme.muted, 0.8)
                        font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                        elide: Text.ElideRight
                    }
                }
            }
        }
    }

    ParallelAnimation {
        id: entrances
        Entrance { item: markBlock; shift: markShift; delay: 50 }
        Entrance { item: title; shift: titleShift; delay: 220 }
        Entrance { item: subtitles; shift: subtitlesShift; delay: 360 }
        Entrance { item: card; shift: cardShift; delay: 440 }
        Entrance { item: footer; shift: footerShift; delay: 520 }
    }

    // 4. The alert: shown whenever there is an error; closing it in any way clears the error.
    Dialog {
        id: alert
        objectName: "errorAlert"
        parent: Overlay.overlay
        anchors.centerIn: parent
        width: Math.min(320, (parent ? parent.width : 390) - 48)
        modal: true
        focus: true
        title: "تنبيه"
        padding: 20
        topPadding: 8
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

        onClosed: AppState.errorMessage = ""

        background: Rectangle {
            radius: 18
            color: KalvorinTheme.panel2
            border.width: 1
            border.color: KalvorinTheme.stroke
        }
        header: Text {
            topPadding: 20
            text: alert.title
            horizontalAlignment: Text.AlignHCenter
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 18)
        }
        contentItem: Text {
            objectName: "alertMessage"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: AppState.errorMessage
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 15)
        }
        footer: Item {
            implicitHeight: okButton.implicitHeight + 20
            PrimaryButtonStyle {
                id: okButton
                objectName: "alertOkButton"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                text: "حسناً"
                focus: true
                onClicked: alert.close()
                Keys.onReturnPressed: alert.close()
                Keys.onEnterPressed: alert.close()
            }
        }
    }

    ReturnFocus {
        popup: alert
    }

    Connections {
        target: AppState
        function onErrorMessageChanged() {
            if (AppState.errorMessage.length > 0)
                alert.open();
            else if (alert.opened || alert.visible)
                alert.close();
        }
    }

    // 5. The connection-settings sheet.
    ConnectionSettingsView {
        id: settings
        objectName: "settingsSheet"
        onClosed: screen.showSettings = false
    }

    Component.onCompleted: {
        username = AppState.rememberedUsername;
        (username.length > 0 ? passwordField.input : usernameField.input).forceActiveFocus();
        appeared = true;
        logoMotion = true;
        entrances.start();
        if (AppState.errorMessage.length > 0)
            alert.open();
    }
}
