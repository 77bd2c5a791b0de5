pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// A choice filter: a button showing the current choice, opening a menu of the values.
//     FilterMenu { title: filter.state; values: filter.stateValues
//                  onChosen: (value) => filter.state = value }
// The values come without repeats (the filter's lists are).
Item {
    id: root

    property string title
    property var values: []
    readonly property alias opened: menu.opened

    signal chosen(string value)

    function open() { menu.open(); }
    // What a tap on an entry does: report its value and close the menu.
    function choose(value: string) {
        root.chosen(value);
        menu.close();
    }

    implicitWidth: 140
    // At least 42 by its own rule, and the touch target.
    implicitHeight: KalvorinTheme.touchTarget
    Layout.fillWidth: true
    Layout.minimumHeight: KalvorinTheme.touchTarget

    activeFocusOnTab: true
    Accessible.role: Accessible.ButtonMenu
    Accessible.name: root.title
    Accessible.onPressAction: root.open()
    Keys.onSpacePressed: root.open()
    Keys.onReturnPressed: root.open()

    Rectangle {
        anchors.fill: parent
        radius: 14
        color: KalvorinTheme.alpha(KalvorinTheme.ink, 0.78)
        border.width: root.activeFocus ? 2 : 1
        border.color: root.activeFocus ? KalvorinTheme.teal : KalvorinTheme.stroke
    }
    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 6
        // The row's first element, the chevron, stands at the leading edge.
        Symbol {
            name: "chevron.down"
            size: 16
            color: KalvorinTheme.muted
        }
        Text {
            objectName: "filterTitle"
            text: root.title
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            horizontalAlignment: KalvorinTheme.leading
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
    }
    TapHandler {
        onTapped: root.open()
    }

    Component {
        id: entryDelegate
        T.ItemDelegate {
            id: entry
            required property string modelData
            required property int index
            objectName: "filterEntry" + index
            Accessible.role: Accessible.MenuItem
            Accessible.name: entry.modelData
            width: ListView.view.width
            implicitHeight: KalvorinTheme.touchTarget
            leftPadding: 12
            rightPadding: 12
            contentItem: Text {
                text: entry.modelData
                color: entry.modelData === root.title ? KalvorinTheme.teal : KalvorinTheme.text
                font: KalvorinTheme.fontNamed(entry.modelData === root.title ? "Tajawal-Bold" : "Tajawal-Medium", 13)
                horizontalAlignment: KalvorinTheme.leading
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }
            background: Rectangle {
                radius: 10
                color: entry.down || entry.highlighted ? KalvorinTheme.alpha(KalvorinTheme.teal, 0.16) : "transparent"
            }
            onClicked: root.choose(entry.modelData)
        }
    }

    T.Popup {
        id: menu
        objectName: "filterMenuPopup"
        // Under the button, flush with its leading edge, and never past the window's edges.
        x: root.LayoutMirroring.enabled ? root.width - width : 0
        y: root.height + 4
        margins: 8
        width: Math.max(root.width, 180)
        implicitHeight: Math.min(contentItem.implicitHeight + topPadding + bottomPadding, 320)
        padding: 6
        focus: true

        contentItem: ListView {
            implicitHeight: contentHeight
            // The popup lives in the window's overlay, outside the mirrored tree: mirror it here.
            LayoutMirroring.enabled: root.LayoutMirroring.enabled
            LayoutMirroring.childrenInherit: true
            clip: true
            model: root.values
            boundsBehavior: Flickable.StopAtBounds
            delegate: entryDelegate
        }
        background: SurfaceShape {
            radius: 14
            fillColors: [KalvorinTheme.panel2, KalvorinTheme.ink]
            direction: SurfaceShape.TopToBottom
            strokeColors: [KalvorinTheme.stroke]
            strokeWidth: 1
        }
    }
}
