import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame
import Kalvorin.Overview

// The notifications tab: one card per notification in the server's order, or the empty state.
// Pulling down reloads the notifications.
Item {
    id: screen
    objectName: "notificationsScreen"

    readonly property alias list: list

    ListView {
        id: list
        objectName: "notificationList"
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        topMargin: 16 + pull.reserve
        transform: Translate { y: pull.follow }
        spacing: 12
        model: AppState.notifications
        boundsBehavior: Flickable.DragAndOvershootBounds

        header: ColumnLayout {
            width: ListView.view.width
            spacing: 0
            HeaderBar {
                title: "الإشعارات"
                trailing: "arrow.clockwise"
                trailingAction: FrameRules.RefreshAll
                Layout.bottomMargin: 14
            }
        }

        delegate: NotificationCard {
            width: ListView.view.width
        }

        footer: ColumnLayout {
            width: ListView.view.width
            spacing: 0
            ProPanel {
                objectName: "emptyNotifications"
                visible: AppState.notifications.count === 0
                Layout.fillWidth: true
                implicitHeight: empty.implicitHeight + 2 * padding
                padding: 28
                EmptyState {
                    id: empty
                    width: parent.width
                    text: "لا توجد إشعارات حالياً"
                }
            }
            MobileBottomReachablePadding {}
        }
    }

    PullToRefresh {
        id: pull
        objectName: "notificationsPull"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        flickable: list
        operation: RefreshRun.Notifications
    }
}
