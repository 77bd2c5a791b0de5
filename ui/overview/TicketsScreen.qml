import QtQuick
import QtQuick.Layouts
import Kalvorin.Frame
import Kalvorin.Overview

// The tickets tab: search, two filters and the service-level quick filter over the tickets
// already loaded, one row per ticket that passes them, in the list's order or the order chosen.
// Pulling the list down reloads the tickets only.
Item {
    id: screen
    objectName: "ticketsScreen"

    readonly property alias filter: filter
    readonly property alias list: list

    TicketFilter {
        id: filter
        sourceModel: AppState.tickets
        references: AppState.references
    }

    ListView {
        id: list
        objectName: "ticketList"
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        topMargin: 16 + pull.reserve
        transform: Translate { y: pull.follow }
        spacing: 12
        model: filter
        boundsBehavior: Flickable.DragAndOvershootBounds
        // No current row: a view gives its current row the focus whenever the rows change, which
        // would take the keyboard from the search field and the filters in the header as the
        // list narrows. Rows are reached with Tab like any other control.
        currentIndex: -1
        keyNavigationEnabled: false
        highlightFollowsCurrentItem: false

        // The header is a component of the list: it reads the screen's objects by id, which the
        // linter cannot follow (binding the components instead breaks list headers in Qt 6.4).
        // qmllint disable unqualified
        header: ColumnLayout {
            width: ListView.view.width
            spacing: 14

            HeaderBar {
                title: "البلاغات والمتابعة"
                trailing: "arrow.clockwise"
                trailingAction: FrameRules.RefreshAll
            }
            SearchField {
                text: filter.search
                onTextEdited: filter.search = text
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10
                FilterMenu {
                    objectName: "priorityFilter"
                    title: filter.priority
                    values: filter.priorityValues
                    onChosen: (value) => filter.priority = value
                }
                FilterMenu {
                    objectName: "stateFilter"
                    title: filter.state
                    values: filter.stateValues
                    onChosen: (value) => filter.state = value
                }
            }
            // The service-level quick filter and the order: side by side where both fit, the one
            // above the other on a narrow phone. Right to left by its own setting, as the
            // dashboard's grid (a grid in a list's header may miss the mirroring it inherits).
            GridLayout {
                id: serviceLevel
                LayoutMirroring.enabled: false
                layoutDirection: Qt.RightToLeft
                columns: width >= atRisk.implicitWidth + sortMenu.implicitWidth + columnSpacing ? 2 : 1
                columnSpacing: 10
                rowSpacing: 10
                Layout.fillWidth: true
                Layout.bottomMargin: 2
                AtRiskFilter {
                    id: atRisk
                    objectName: "atRiskFilter"
                    LayoutMirroring.enabled: true
                    LayoutMirroring.childrenInherit: true
                    checked: filter.atRiskOnly
                    count: filter.atRiskCount
                    onToggled: filter.atRiskOnly = !filter.atRiskOnly
                }
                FilterMenu {
                    id: sortMenu
                    objectName: "sortMenu"
                    LayoutMirroring.enabled: true
                    LayoutMirroring.childrenInherit: true
                    title: filter.orderLabel
                    values: filter.sortLabels
                    onChosen: (value) => filter.orderLabel = value
                }
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
        objectName: "ticketsPull"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        flickable: list
        operation: RefreshRun.Tickets
    }
}
