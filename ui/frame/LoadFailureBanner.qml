import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// Under the header of a signed-in screen: the state's failure message (a list that could not be
// loaded, an acknowledgement refused) for as long as it is held. It covers nothing and blocks
// nothing; its close button clears the message, as the sign-in screen's alert does.
Item {
    id: root
    objectName: "loadFailureBanner"

    readonly property string message: AppState.errorMessage

    visible: message.length > 0
    implicitHeight: visible ? body.implicitHeight + 8 : 0
    Layout.preferredHeight: implicitHeight

    Rectangle {
        anchors.fill: parent
        radius: 14
        color: KalvorinTheme.alpha(KalvorinTheme.red, 0.16)
        border.width: 1
        border.color: KalvorinTheme.alpha(KalvorinTheme.red, 0.55)
    }
    RowLayout {
        id: body
        anchors.fill: parent
        anchors.margins: 4
        anchors.leftMargin: 10
        anchors.rightMargin: 4
        spacing: 10

        Symbol {
            name: "exclamationmark.triangle"
            size: 18
            color: KalvorinTheme.red
            Layout.alignment: Qt.AlignVCenter
        }
        Text {
            objectName: "loadFailureText"
            Accessible.role: Accessible.AlertMessage
            Accessible.name: text
            text: root.message
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
            wrapMode: Text.Wrap
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
        Item {
            id: close
            objectName: "loadFailureDismiss"
            implicitWidth: KalvorinTheme.touchTarget
            implicitHeight: KalvorinTheme.touchTarget
            activeFocusOnTab: root.visible
            Accessible.role: Accessible.Button
            Accessible.name: "إغلاق"
            Accessible.onPressAction: AppState.errorMessage = ""
            Keys.onSpacePressed: AppState.errorMessage = ""
            Keys.onReturnPressed: AppState.errorMessage = ""
            Symbol {
                anchors.centerIn: parent
                name: "xmark.circle.fill"
                size: 20
                color: close.activeFocus ? KalvorinTheme.teal : KalvorinTheme.muted
            }
            TapHandler {
                onTapped: AppState.errorMessage = ""
            }
        }
    }
}
