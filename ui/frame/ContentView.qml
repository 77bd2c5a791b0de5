import QtQuick
import Kalvorin.Theme
import Kalvorin.Frame

// The root view: the animated background, then the signed-in shell when a user is signed in or
// the server reports the session as signed in, the sign-in screen otherwise. It checks the
// server's status once when first shown. In a wide window the screens keep the phone layout's
// width, centred over the full-width background.
Item {
    id: root

    // The shell's polling interval; tests shorten it.
    property int pollIntervalMs: FrameRules.pollIntervalMs
    readonly property bool showsShell: AppState.showsShell

    // Each switch creates the screen afresh: the sign-in screen starts with empty fields and
    // `remember` ticked, the shell starts its own background work.
    function showScreen() {
        if (root.showsShell)
            screen.setSource(Qt.resolvedUrl("KalvorinShell.qml"),
                             { "objectName": "shell", "pollIntervalMs": root.pollIntervalMs });
        else
            screen.setSource(Qt.resolvedUrl("LoginScreen.qml"), { "objectName": "loginScreen" });
    }

    onShowsShellChanged: showScreen()

    KalvorinBackground {
        anchors.fill: parent
    }

    FocusInView {
        window: root.Window.window
    }

    Loader {
        id: screen
        objectName: "rootScreen"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        width: FrameRules.contentWidth(root.width)
        focus: true
    }

    Component.onCompleted: {
        showScreen();
        AppState.startCheckStatus();
    }
}
