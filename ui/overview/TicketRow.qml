import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// One ticket of a list: badge and number, title, attachments, state and processing unit. Its
// values are the ticket model's roles; a tap opens the ticket through the shell's navigation.
//     ListView { model: AppState.tickets; delegate: TicketRow { width: ListView.view.width } }
ProPanel {
    id: root

    required property string maintenanceNo
    required property int rowTone
    required property int badgeTone
    required property string badgeText
    required property string titleText
    required property string stateText
    required property string scopeText
    required property string attachments

    objectName: "ticketRow_" + maintenanceNo
    tint: KalvorinTheme.tone(root.rowTone)
    radius: 18
    padding: 14
    implicitHeight: content.implicitHeight + 2 * padding

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: root.maintenanceNo + " " + root.titleText
    Accessible.description: root.badgeText + "، " + root.stateText
                            + (root.scopeText.length > 0 ? "، " + root.scopeText : "")
    Accessible.onPressAction: ShellNavigation.openTicket(root.maintenanceNo)
    Keys.onSpacePressed: ShellNavigation.openTicket(root.maintenanceNo)
    Keys.onReturnPressed: ShellNavigation.openTicket(root.maintenanceNo)

    TapHandler {
        onTapped: ShellNavigation.openTicket(root.maintenanceNo)
    }

    ColumnLayout {
        id: content
        width: parent.width
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            PriorityBadge {
                text: root.badgeText
                tone: root.badgeTone
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "ticketNumber"
                text: root.maintenanceNo
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 16)
            }
        }
        Text {
            objectName: "ticketTitle"
            text: root.titleText
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
            horizontalAlignment: KalvorinTheme.trailing
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        // Packed at the trailing edge of the card, as wide as its content (the scope elides when
        // the card is narrower).
        RowLayout {
            Layout.alignment: KalvorinTheme.trailing
            Layout.maximumWidth: content.width
            spacing: 10
            SymbolLabel {
                objectName: "ticketAttachments"
                symbol: "paperclip"
                text: root.attachments
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            }
            Rectangle {
                implicitWidth: stateLabel.implicitWidth + 20
                implicitHeight: stateLabel.implicitHeight + 10
                radius: height / 2
                color: KalvorinTheme.alpha(KalvorinTheme.blue, 0.72)
                Text {
                    id: stateLabel
                    objectName: "ticketState"
                    anchors.centerIn: parent
                    text: root.stateText
                    color: "white"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                }
            }
            Text {
                objectName: "ticketScope"
                text: root.scopeText
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                elide: Text.ElideRight
                Layout.fillWidth: true
                Layout.maximumWidth: implicitWidth
            }
        }
    }
}
