import QtQuick
import QtQuick.Controls
import Kalvorin.Theme
import Kalvorin.Frame

// The signed-in shell: the screen of the selected tab under a navigation stack (a ticket opened
// from a row is pushed over it), the tab bar at the bottom, and the background work (register
// the device, refresh, then poll status and notifications) for as long as the shell is shown.
// The new-ticket screen is made the first time its tab is chosen and then kept, hidden behind
// the other tabs, with everything typed and picked, until sign-out or a sign-in as another
// account. When the server ends the session, a prompt to sign in again covers the shell.
Item {
    id: shell

    // How often the background work polls; tests shorten it.
    property int pollIntervalMs: FrameRules.pollIntervalMs
    readonly property int shownTab: FrameRules.shownTab(AppState.selectedTab)
    readonly property int unread: AppState.notifications.unreadCount

    StackView {
        id: navigation
        objectName: "navigation"
        anchors.fill: parent
        initialItem: Item {
            Loader {
                id: screen
                objectName: "tabScreen"
                anchors.fill: parent
                source: shell.showsDraft ? "" : ShellNavigation.tabScreen(shell.shownTab)
            }
            Loader {
                id: draft
                objectName: "draftScreen"
                anchors.fill: parent
                active: shell.draftOpened
                visible: shell.showsDraft
                source: ShellNavigation.tabScreen(FrameRules.NewTicketTab)
            }
        }
    }

    readonly property bool showsDraft: shownTab === FrameRules.NewTicketTab
    property bool draftOpened: showsDraft
    onShowsDraftChanged: if (showsDraft) draftOpened = true
    // The screen of the shown tab.
    readonly property QtObject shownScreen: showsDraft ? draft.item : screen.item

    // Another tab starts from its own screen, not from a ticket opened elsewhere.
    onShownTabChanged: navigation.pop(null, StackView.Immediate)

    // What the screens hold belongs to the account that was signed in.
    Connections {
        target: AppState
        function onAccountChanged() {
            navigation.pop(null, StackView.Immediate);
            shell.draftOpened = shell.showsDraft;
            draft.active = false;
            draft.active = Qt.binding(() => shell.draftOpened);
        }
    }

    SessionEndedPrompt {
        id: sessionPrompt
        visible: AppState.sessionEnded
    }

    Connections {
        target: ShellNavigation
        function onTicketRequested(maintenanceNo) {
            const detail = ShellNavigation.ticketDetailScreen();
            // A desktop notification activated again while its ticket is in front adds nothing.
            const inFront = navigation.find((item, index) => index > 0 && index === navigation.depth - 1
                                                             && item.maintenanceNo === maintenanceNo);
            if (inFront)
                return;
            if (detail.length > 0)
                navigation.push(detail, { maintenanceNo: maintenanceNo });
        }
    }

    Rectangle {
        id: dock
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: tabBar.implicitHeight + 16
        // Transparent at the top edge, and deep by the time the tab circles start: content
        // scrolled under the bar (the distribution's ring, a row's state) stays behind it.
        gradient: Gradient {
            GradientStop { position: 0.0; color: "transparent" }
            GradientStop { position: 0.12; color: KalvorinTheme.alpha(KalvorinTheme.deep, 0.96) }
            GradientStop { position: 1.0; color: KalvorinTheme.alpha(KalvorinTheme.deep, 0.96) }
        }

        ProMobileTabBar {
            id: tabBar
            objectName: "tabBar"
            anchors.fill: parent
            anchors.leftMargin: 14
            anchors.rightMargin: 14
            anchors.topMargin: 8
            anchors.bottomMargin: 8
            selection: AppState.selectedTab
            unread: shell.unread
            onTapped: (index) => { AppState.selectedTab = index; }
        }
    }

    property bool sessionRunning: false

    function stopSession() {
        if (!sessionRunning)
            return;
        sessionRunning = false;
        AppState.stopShellSession();
    }

    Component.onCompleted: {
        sessionRunning = true;
        AppState.startShellSession(shell.pollIntervalMs);
    }
    // The root view takes the shell out of the window when it is removed (after sign-out) and
    // deletes it later: stop the background work at once, before anything else can be sent.
    onParentChanged: {
        if (parent === null)
            stopSession();
    }
    // A shell deleted without leaving the window first (the window closing).
    Component.onDestruction: stopSession()
}
