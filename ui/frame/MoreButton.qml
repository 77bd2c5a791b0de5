import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// One entry of the More screen: a full-width card with a symbol and a title. Its `action` (an
// Action) is triggered when it is tapped; `destructive` draws it in red. No confirmation is asked.
//     MoreButton { title: "تحديث البيانات"; icon: "arrow.clockwise"
//                  action: Action { onTriggered: AppState.startRefreshAll() } }
T.AbstractButton {
    id: control

    property string title
    property string icon
    property bool destructive: false
    readonly property color tint: FrameRules.moreButtonColor(destructive)

    implicitWidth: Math.max(implicitBackgroundWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    padding: 16
    Layout.fillWidth: true
    scale: control.down ? 0.985 : 1.0

    contentItem: RowLayout {
        spacing: 12
        Symbol {
            name: control.icon
            size: 19
            color: control.tint
            Layout.alignment: Qt.AlignVCenter
        }
        Text {
            text: control.title
            color: control.tint
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
            verticalAlignment: Text.AlignVCenter
            Layout.fillWidth: true
        }
    }

    background: Rectangle {
        radius: 16
        color: control.down ? Qt.lighter(KalvorinTheme.panel2, 1.25) : KalvorinTheme.panel2
        border.width: 1
        border.color: KalvorinTheme.stroke
    }
}
