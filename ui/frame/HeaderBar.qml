import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// The top of every tab screen and of the ticket detail: a header button on each side of the
// word-mark, and the screen's title under them.
//     HeaderBar { title: "الرئيسية"
//                 leading: "bell"; leadingAction: FrameRules.ShowNotifications
//                 trailing: "arrow.clockwise"; trailingAction: FrameRules.RefreshAll }
// An empty symbol leaves an empty 38 × 38 slot so the word-mark stays centred. A button runs its
// named action on the shared state; the Dismiss action asks the hosting screen to close through
// `dismissRequested`. While the state holds a failure message, the banner under the title shows it.
ColumnLayout {
    id: root

    property string title
    property string leading
    property string trailing
    property int leadingAction: FrameRules.NoAction
    property int trailingAction: FrameRules.NoAction

    signal dismissRequested()

    function run(action) {
        if (FrameRules.runHeaderAction(AppState, action))
            root.dismissRequested();
    }

    spacing: 10
    Layout.fillWidth: true

    component HeaderButton: Item {
        id: slot
        property string symbol
        property int action
        signal activated()

        // The drawn circle is 38; the finger's hit area around it is the touch target.
        implicitWidth: KalvorinTheme.touchTarget
        implicitHeight: KalvorinTheme.touchTarget
        Layout.preferredWidth: KalvorinTheme.touchTarget
        Layout.preferredHeight: KalvorinTheme.touchTarget
        // Reachable and named like any button; an empty slot is neither.
        activeFocusOnTab: slot.symbol.length > 0
        Accessible.role: Accessible.Button
        Accessible.name: FrameRules.headerActionName(slot.action)
        Accessible.ignored: slot.symbol.length === 0
        Accessible.onPressAction: slot.activated()
        Keys.onSpacePressed: slot.activated()
        Keys.onReturnPressed: slot.activated()
        Keys.onEnterPressed: slot.activated()

        Rectangle {
            anchors.centerIn: parent
            width: 38
            height: 38
            visible: slot.symbol.length > 0
            radius: width / 2
            color: KalvorinTheme.ink
            border.width: slot.activeFocus ? 2 : 1
            border.color: slot.activeFocus ? KalvorinTheme.teal : KalvorinTheme.stroke
            scale: tap.pressed ? 0.94 : 1.0

            Symbol {
                anchors.centerIn: parent
                name: slot.symbol
                size: 18
                color: KalvorinTheme.text
            }
        }
        TapHandler {
            id: tap
            enabled: slot.symbol.length > 0
            onTapped: slot.activated()
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 8

        HeaderButton {
            objectName: "headerLeading"
            symbol: root.leading
            action: root.leadingAction
            onActivated: root.run(root.leadingAction)
        }
        Item {
            Layout.fillWidth: true
            Layout.preferredHeight: 38
            KalvorinTitle {
                anchors.centerIn: parent
                width: 150
                height: 34
            }
        }
        HeaderButton {
            objectName: "headerTrailing"
            symbol: root.trailing
            action: root.trailingAction
            onActivated: root.run(root.trailingAction)
        }
    }

    Text {
        objectName: "headerTitle"
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        text: root.title
        visible: text.length > 0
        color: KalvorinTheme.text
        font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 25)
        horizontalAlignment: KalvorinTheme.leading
        elide: Text.ElideRight
        Layout.fillWidth: true
    }

    LoadFailureBanner {
        Layout.fillWidth: true
    }
}
