import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// Who is signed in: the mark, a greeting, the role and, when known, the scope.
//     UserStrip { user: AppState.user }
RowLayout {
    id: root

    // The signed-in user as the state hands it to QML (undefined when nobody is signed in).
    property var user

    spacing: 12

    KalvorinMark {
        size: 42
        Layout.preferredWidth: 42
        Layout.preferredHeight: 42
        Layout.alignment: Qt.AlignVCenter
    }

    ColumnLayout {
        spacing: 2
        Layout.fillWidth: true

        Text {
            objectName: "greeting"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: FrameRules.greeting(root.user)
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
            elide: Text.ElideRight
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
        Text {
            objectName: "role"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: FrameRules.roleLine(root.user)
            color: KalvorinTheme.muted
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
            elide: Text.ElideRight
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
        Text {
            objectName: "scope"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: FrameRules.scopeLine(root.user)
            visible: text.length > 0
            color: KalvorinTheme.gold
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
            elide: Text.ElideRight
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
    }
}
