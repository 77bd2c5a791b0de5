import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// The quick filter on the tickets whose service level is breached or near it: a toggle showing
// how many tickets of the list are such.
//     AtRiskFilter { checked: filter.atRiskOnly; count: filter.atRiskCount
//                    onToggled: filter.atRiskOnly = !filter.atRiskOnly }
Item {
    id: root

    property bool checked
    property int count

    signal toggled()

    implicitWidth: content.implicitWidth + 24
    implicitHeight: KalvorinTheme.touchTarget
    Layout.fillWidth: true
    Layout.minimumHeight: KalvorinTheme.touchTarget

    activeFocusOnTab: true
    Accessible.role: Accessible.CheckBox
    Accessible.name: label.text
    Accessible.description: countText.text
    Accessible.checkable: true
    Accessible.checked: root.checked
    Accessible.onPressAction: root.toggled()
    Accessible.onToggleAction: root.toggled()
    Keys.onSpacePressed: root.toggled()
    Keys.onReturnPressed: root.toggled()

    Rectangle {
        anchors.fill: parent
        radius: 14
        color: root.checked ? KalvorinTheme.alpha(KalvorinTheme.red, 0.2)
                            : KalvorinTheme.alpha(KalvorinTheme.ink, 0.78)
        border.width: root.activeFocus || root.checked ? 2 : 1
        border.color: root.activeFocus ? KalvorinTheme.teal
                                       : root.checked ? KalvorinTheme.red : KalvorinTheme.stroke
    }
    // The box at the leading edge, then the words, then the count.
    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 6
        Symbol {
            objectName: "atRiskBox"
            name: root.checked ? "checkmark.square.fill" : "square"
            size: 18
            color: root.checked ? KalvorinTheme.red : KalvorinTheme.muted
        }
        Text {
            id: label
            objectName: "atRiskLabel"
            text: "قريبة من التجاوز أو متجاوزة"
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            horizontalAlignment: KalvorinTheme.leading
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        Rectangle {
            implicitWidth: Math.max(implicitHeight, countText.implicitWidth + 14)
            implicitHeight: countText.implicitHeight + 6
            radius: implicitHeight / 2
            color: KalvorinTheme.alpha(KalvorinTheme.red, root.checked ? 0.9 : 0.6)
            Text {
                id: countText
                objectName: "atRiskCount"
                anchors.centerIn: parent
                text: root.count
                color: "white"
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            }
        }
    }
    TapHandler {
        onTapped: root.toggled()
    }
}
