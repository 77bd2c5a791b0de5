import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme
import Kalvorin.Frame
import Kalvorin.Overview

// The dashboard tab: who is signed in, the server's reachability, four counters, the number of
// tickets past their service level, the tickets by priority and the latest tickets, each opening
// its ticket. Pulling down reloads everything.
Item {
    id: screen
    objectName: "dashboardScreen"

    readonly property alias list: list

    ListView {
        id: list
        objectName: "latestList"
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        topMargin: 16 + pull.reserve
        transform: Translate { y: pull.follow }
        spacing: 12
        model: AppState.overview.latest
        boundsBehavior: Flickable.DragAndOvershootBounds

        // The header is a component of the list: it reads the screen's objects by id, which the
        // linter cannot follow (binding the components instead breaks list headers in Qt 6.4).
        // qmllint disable unqualified
        header: ColumnLayout {
            width: ListView.view.width
            spacing: 16

            HeaderBar {
                title: "الرئيسية"
                leading: "bell"
                leadingAction: FrameRules.ShowNotifications
                trailing: "arrow.clockwise"
                trailingAction: FrameRules.RefreshAll
            }
            UserStrip {
                user: AppState.overview.user
            }
            RowLayout {
                spacing: 10
                ConnectionPill {
                    objectName: "connectedPill"
                    label: "متصل"
                    connected: AppState.overview.connected
                }
                ConnectionPill {
                    objectName: "apiPill"
                    label: "API"
                    connected: AppState.overview.connected
                }
                Item { Layout.fillWidth: true }
            }
            GridLayout {
                id: grid
                // Right to left by its own setting: a grid made inside the list's header does not
                // always follow the mirroring it inherits (Qt 6.4), and the cards' order must not
                // depend on when it was made. The cards themselves stay mirrored.
                LayoutMirroring.enabled: false
                layoutDirection: Qt.RightToLeft
                columns: 2
                rowSpacing: 12
                columnSpacing: 12
                Layout.fillWidth: true
                Repeater {
                    model: AppState.overview.metrics
                    delegate: MetricCard {
                        required property var model
                        objectName: "metric" + model.index
                        title: model.label
                        value: model.countText
                        caption: model.caption
                        icon: model.symbol
                        color: KalvorinTheme.tone(model.tone)
                        // Two equal columns.
                        Layout.preferredWidth: (grid.width - grid.columnSpacing) / 2
                    }
                }
            }
            // Under the counters: how many tickets of the list have breached their service level.
            ProPanel {
                objectName: "breachedLine"
                tint: KalvorinTheme.red
                radius: 18
                padding: 14
                Layout.fillWidth: true
                RowLayout {
                    width: parent.width
                    spacing: 10
                    Rectangle {
                        Layout.preferredWidth: 36
                        Layout.preferredHeight: 36
                        radius: 18
                        color: KalvorinTheme.alpha(KalvorinTheme.red, 0.14)
                        Symbol {
                            anchors.centerIn: parent
                            name: "exclamationmark.triangle"
                            size: 18
                            color: KalvorinTheme.red
                        }
                    }
                    Text {
                        objectName: "breachedLabel"
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        text: "البلاغات المتجاوزة لمستوى الخدمة"
                        color: KalvorinTheme.text
                        font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                        horizontalAlignment: KalvorinTheme.leading
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                    Text {
                        objectName: "breachedCount"
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        text: AppState.tickets.breachedCount
                        color: KalvorinTheme.text
                        font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 22)
                    }
                }
            }
            DashboardDistribution {
                rows: AppState.overview.distribution
                total: AppState.overview.totalText
            }
            SectionTitle {
                text: "أحدث البلاغات"
                Layout.bottomMargin: 0
            }
        }

        // qmllint enable unqualified

        delegate: TicketRow {
            width: ListView.view.width
        }

        footer: MobileBottomReachablePadding {
            width: ListView.view.width
        }
    }

    PullToRefresh {
        id: pull
        objectName: "dashboardPull"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        flickable: list
        operation: RefreshRun.All
    }
}
