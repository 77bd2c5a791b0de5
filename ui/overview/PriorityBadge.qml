import QtQuick
import Kalvorin.Theme

// A ticket's priority on a small filled rectangle; "غير محدد" when the ticket has none.
//     PriorityBadge { text: model.badgeText; tone: model.badgeTone }
Rectangle {
    id: root

    property alias text: label.text
    property int tone

    implicitWidth: label.implicitWidth + 20
    implicitHeight: label.implicitHeight + 10
    radius: 8
    color: KalvorinTheme.tone(root.tone)

    Text {
        id: label
        objectName: "priorityBadgeText"
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        anchors.centerIn: parent
        color: "white"
        font: KalvorinTheme.fontNamed("Tajawal-Bold", 11)
    }
}
