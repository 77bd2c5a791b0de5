import QtQuick
import Kalvorin.Theme

// The small centred placeholder of an empty list: a tray above a line of text.
//     EmptyState { text: "لا توجد إشعارات حالياً" }
Column {
    id: root

    property string text

    spacing: 8

    Symbol {
        anchors.horizontalCenter: parent.horizontalCenter
        name: "tray"
        size: 34
        color: KalvorinTheme.muted
    }
    Text {
        objectName: "emptyStateText"
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        anchors.horizontalCenter: parent.horizontalCenter
        text: root.text
        color: KalvorinTheme.text
        font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
    }
}
