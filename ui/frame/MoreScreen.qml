import QtQuick
import QtQuick.Layouts
import QtQuick.Controls
import Kalvorin.Frame

// The fifth tab: who is signed in, and three entries: connection settings, a full refresh and
// sign-out (without confirmation).
Item {
    id: screen

    property bool showSettings: false

    onShowSettingsChanged: showSettings ? settings.open() : settings.close()

    Flickable {
        id: page
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight + 32
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ColumnLayout {
            id: column
            x: 16
            y: 16
            width: page.width - 32
            spacing: 16

            HeaderBar {
                title: "المزيد"
                leading: ""
                trailing: "gearshape"
                trailingAction: FrameRules.ShowMore
            }
            UserStrip {
                user: AppState.user
                Layout.fillWidth: true
            }
            MoreButton {
                objectName: "settingsEntry"
                title: "إعدادات الاتصال"
                icon: "network"
                action: Action { onTriggered: screen.showSettings = true }
            }
            MoreButton {
                objectName: "refreshEntry"
                title: "تحديث البيانات"
                icon: "arrow.clockwise"
                action: Action { onTriggered: AppState.startRefreshAll() }
            }
            MoreButton {
                objectName: "signOutEntry"
                title: "الخروج من التطبيق"
                icon: "rectangle.portrait.and.arrow.right"
                destructive: true
                action: Action { onTriggered: AppState.startLogout() }
            }
            MobileBottomReachablePadding {}
        }
    }

    ConnectionSettingsView {
        id: settings
        objectName: "settingsSheet"
        onClosed: screen.showSettings = false
    }
}
