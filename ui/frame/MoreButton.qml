import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme
import Kalvorin.Frame

// One entry of the More screen: a full-width card with a symbol and a title. Its `action` (an
// Action) is triggered when it is tapped; `destructive` draws it in red. No confirmation is asked.
//     MoreButton { title: "تحديث البيانات"; icon: "arrow.clockwise"
//                  action: Action { onTriggered: AppState.startRefreshAll() } }
Item {
    id: control

    property string title
    property string icon
    property bool destructive: false
    property T.Action action: null
    readonly property color tint: FrameRules.moreButtonColor(destructive)
    readonly property bool down: tap.pressed

    signal clicked()

    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 32
    Layout.fillWidth: true
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: control.title
    Accessible.onPressAction: control.clicked()
    Keys.onSpacePressed: control.clicked()
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
    scale: control.down ? 0.985 : 1.0

    onClicked: {
        if (control.action)
            control.action.trigger(control);
    }

    Rectangle {
        anchors.fill: parent
        radius: 16
        color: control.down ? Qt.lighter(KalvorinTheme.panel2, 1.25) : KalvorinTheme.panel2
        border.width: control.activeFocus ? 2 : 1
        border.color: control.activeFocus ? KalvorinTheme.teal : KalvorinTheme.stroke
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 16
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
            horizontalAlignment: KalvorinTheme.leading
            verticalAlignment: Text.AlignVCenter
            Layout.fillWidth: true
        }
    }

    TapHandler {
        id: tap
        onTapped: control.clicked()
    }
}
