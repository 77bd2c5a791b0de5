import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// The bottom tab bar: five tabs, the centre one emphasised, a gold badge on the notifications
// tab. `selection` follows the shared selected tab; a tap asks for a new one through `tapped`.
//     ProMobileTabBar { selection: AppState.selectedTab; unread: ...
//                       onTapped: (index) => AppState.selectedTab = index }
Item {
    id: bar

    property int selection: 0
    property int unread: 0

    signal tapped(int index)

    implicitWidth: 362
    implicitHeight: 70

    component Tab: Item {
        id: tab

        property int index: 0
        property bool selected: false
        property int unread: 0
        readonly property int circle: FrameRules.tabCircleSize(index)

        signal tapped(int index)

        objectName: "tab" + index
        Layout.fillWidth: true
        Layout.fillHeight: true
        activeFocusOnTab: true
        Accessible.role: Accessible.PageTab
        Accessible.name: FrameRules.tabLabel(tab.index)
        Accessible.description: tab.index === 3 && FrameRules.badgeVisible(tab.unread) ? FrameRules.badgeText(tab.unread) : ""
        Accessible.checkable: true
        Accessible.checked: tab.selected
        Accessible.onPressAction: tab.tapped(tab.index)
        Keys.onSpacePressed: tab.tapped(tab.index)
        Keys.onReturnPressed: tab.tapped(tab.index)
        Keys.onEnterPressed: tab.tapped(tab.index)

        ColumnLayout {
            anchors.centerIn: parent
            spacing: 4

            Rectangle {
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: tab.circle
                Layout.preferredHeight: tab.circle
                radius: tab.circle / 2
                color: FrameRules.tabFill(tab.index, tab.selected)
                border.width: tab.activeFocus ? 2 : 1
                border.color: tab.activeFocus ? KalvorinTheme.text : FrameRules.tabOutline(tab.index, tab.selected)
                Behavior on color { ColorAnimation { duration: 280 } }

                Symbol {
                    anchors.centerIn: parent
                    name: FrameRules.tabSymbol(tab.index)
                    size: FrameRules.tabSymbolSize(tab.index)
                    color: FrameRules.tabSymbolColor(tab.index, tab.selected)
                    Behavior on color { ColorAnimation { duration: 280 } }
                }

                Rectangle {
                    objectName: "badge"
                    visible: tab.index === 3 && FrameRules.badgeVisible(tab.unread)
                    width: 17
                    height: 17
                    radius: 8.5
                    color: KalvorinTheme.gold
                    // On the circle's top trailing corner.
                    anchors.top: parent.top
                    anchors.topMargin: -4
                    anchors.right: parent.right
                    anchors.rightMargin: -5

                    Text {
                        objectName: "badgeText"
                        anchors.centerIn: parent
                        text: FrameRules.badgeText(tab.unread)
                        color: KalvorinTheme.deep
                        font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 9)
                    }
                }
            }

            Text {
                Layout.alignment: Qt.AlignHCenter
                text: FrameRules.tabLabel(tab.index)
                color: tab.selected ? KalvorinTheme.text : KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 11)
            }
        }

        TapHandler {
            onTapped: tab.tapped(tab.index)
        }
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        Tab { index: 0; selected: bar.selection === 0; onTapped: (index) => bar.tapped(index) }
        Tab { index: 1; selected: bar.selection === 1; onTapped: (index) => bar.tapped(index) }
        Tab { index: 2; selected: bar.selection === 2; onTapped: (index) => bar.tapped(index) }
        Tab { index: 3; selected: bar.selection === 3; unread: bar.unread; onTapped: (index) => bar.tapped(index) }
        Tab { index: 4; selected: bar.selection === 4; onTapped: (index) => bar.tapped(index) }
    }
}
