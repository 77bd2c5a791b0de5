import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame

// One server notification: the "جديد" capsule and the acknowledge button while it is unread,
// its title, body and time. The values are the notification model's roles. Acknowledging only
// starts the request: the card changes when the reloaded list says the notification is read.
// A notification that names a ticket of the list opens that ticket's detail when the card is
// tapped (anywhere but on the acknowledge button), and says so on its last line.
ProPanel {
    id: root

    required property var model
    readonly property bool unread: model.unread
    // The ticket the card opens; empty when the notification names none of the list.
    readonly property string ticketNumber: model.ticketNumber
    readonly property bool opensTicket: ticketNumber.length > 0

    objectName: "notification_" + model.id
    tint: root.unread ? KalvorinTheme.teal : KalvorinTheme.stroke
    radius: 18
    padding: 14
    implicitHeight: content.implicitHeight + 2 * padding

    function openTicket() {
        if (root.opensTicket)
            ShellNavigation.openTicket(root.ticketNumber);
    }

    activeFocusOnTab: root.opensTicket
    Accessible.role: root.opensTicket ? Accessible.Button : Accessible.Grouping
    Accessible.name: root.opensTicket ? root.model.titleText : ""
    Accessible.description: root.opensTicket ? linkLabel.text + " " + root.ticketNumber : ""
    Accessible.onPressAction: root.openTicket()
    Keys.onSpacePressed: root.openTicket()
    Keys.onReturnPressed: root.openTicket()

    TapHandler {
        enabled: root.opensTicket
        onTapped: root.openTicket()
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: -root.padding
        radius: root.radius
        color: "transparent"
        border.width: 2
        border.color: KalvorinTheme.teal
        visible: root.activeFocus
    }

    ColumnLayout {
        id: content
        width: parent.width
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            Rectangle {
                objectName: "newCapsule"
                visible: root.unread
                implicitWidth: newLabel.implicitWidth + 16
                implicitHeight: newLabel.implicitHeight + 8
                radius: height / 2
                color: KalvorinTheme.teal
                Text {
                    id: newLabel
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    anchors.centerIn: parent
                    text: "جديد"
                    color: "white"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 10)
                }
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "notificationTitle"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: root.model.titleText
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
                elide: Text.ElideRight
                Layout.maximumWidth: content.width - (root.unread ? 60 : 0)
            }
        }
        Text {
            objectName: "notificationBody"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: root.model.bodyText
            color: KalvorinTheme.text
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
            horizontalAlignment: KalvorinTheme.leading
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        Text {
            objectName: "notificationTime"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            text: root.model.createdAtText
            color: KalvorinTheme.muted
            font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
            horizontalAlignment: KalvorinTheme.leading
            Layout.fillWidth: true
        }
        RowLayout {
            objectName: "ticketLink"
            visible: root.opensTicket
            Layout.fillWidth: true
            spacing: 6
            Symbol {
                name: "ticket.fill"
                size: 15
                color: KalvorinTheme.teal
            }
            Text {
                id: linkLabel
                text: "عرض البلاغ"
                color: KalvorinTheme.teal
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            }
            Text {
                objectName: "ticketLinkNumber"
                text: root.ticketNumber
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                horizontalAlignment: KalvorinTheme.leading
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Symbol {
                name: "chevron.left"
                size: 18
                color: KalvorinTheme.teal
            }
        }
        Item {
            id: acknowledge
            objectName: "acknowledgeButton"
            visible: root.unread
            Layout.fillWidth: true
            Layout.preferredHeight: KalvorinTheme.touchTarget
            activeFocusOnTab: visible
            Accessible.role: Accessible.Button
            Accessible.name: "تأكيد القراءة"
            Accessible.onPressAction: AppState.startAcknowledgeNotification(root.model.id)
            Keys.onSpacePressed: AppState.startAcknowledgeNotification(root.model.id)
            Keys.onReturnPressed: AppState.startAcknowledgeNotification(root.model.id)

            Rectangle {
                anchors.fill: parent
                radius: 12
                color: KalvorinTheme.alpha(KalvorinTheme.ink, 0.72)
                border.width: acknowledge.activeFocus ? 2 : 1
                border.color: KalvorinTheme.teal
                scale: tap.pressed ? 0.98 : 1
            }
            SymbolLabel {
                anchors.centerIn: parent
                symbol: "checkmark.circle"
                text: "تأكيد القراءة"
                color: KalvorinTheme.gold
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
            }
            TapHandler {
                id: tap
                // Takes the press for itself: a tap here acknowledges and never also reaches the
                // card's own tap, which opens the ticket.
                gesturePolicy: TapHandler.ReleaseWithinBounds
                onTapped: AppState.startAcknowledgeNotification(root.model.id)
            }
        }
    }
}
