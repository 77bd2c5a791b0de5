pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import QtQuick.Controls
import QtQuick.Dialogs
import Kalvorin.Theme
import Kalvorin.Frame
import Kalvorin.Detail

// One ticket in full, pushed with its `maintenanceNo`: header, beneficiary, processing,
// service level, workflow, attachments and processing chain, then the buttons of the allowed
// actions. The ticket is loaded each time the screen appears, after an action and after an
// upload. The header's back arrow pops the screen.
Item {
    id: screen

    property string maintenanceNo
    // The kind whose sheet is open, empty for none.
    property string actionKind
    property bool showAttachmentImporter: false
    readonly property alias view: view

    signal closeRequested()

    function dismiss() {
        if (screen.StackView.view)
            screen.StackView.view.pop();
        else
            screen.closeRequested();
    }

    TicketDetailView {
        id: view
        appState: AppState
        number: screen.maintenanceNo
    }

    StackView.onActivated: view.load()

    // Back from the keyboard, as the header's arrow: Escape, Alt+Left and the Back key. Not while
    // a sheet or the file chooser is open: Escape closes that first.
    Shortcut {
        sequences: ["Esc", "Alt+Left", "Back"]
        enabled: screen.StackView.status === StackView.Active && screen.actionKind.length === 0
                 && !screen.showAttachmentImporter
        onActivated: screen.dismiss()
    }
    // Shown outside a navigation stack (tests, the tour): loaded once it exists.
    Timer {
        running: true
        interval: 0
        onTriggered: if (!screen.StackView.view) view.load()
    }

    KalvorinBackground { anchors.fill: parent }

    Flickable {
        id: page
        objectName: "detailPage"
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
            spacing: 14

            HeaderBar {
                title: "تفاصيل البلاغ"
                leading: "arrow.right"
                leadingAction: FrameRules.Dismiss
                trailing: ""
                onDismissRequested: screen.dismiss()
            }

            ColumnLayout {
                objectName: "ticketCards"
                visible: view.hasTicket
                spacing: 14
                Layout.fillWidth: true

                TicketHeader { view: view }
                BeneficiaryInfoCard { view: view }
                TreatmentInfoCard { view: view }
                SLACard { view: view }
                WorkflowCard { view: view }
                AttachmentsCard {
                    objectName: "attachmentsCard"
                    view: view
                    onUploadRequested: screen.showAttachmentImporter = true
                }
                ProcessingChainCard {
                    objectName: "processingChain"
                    view: view
                }

                ColumnLayout {
                    objectName: "actionRows"
                    visible: view.actionRows.count > 0
                    spacing: 10
                    Layout.fillWidth: true
                    Repeater {
                        model: view.actionRows
                        RowLayout {
                            id: actionRow
                            required property string firstKind
                            required property string firstTitle
                            required property string firstIcon
                            required property color firstColor
                            required property string secondKind
                            required property string secondTitle
                            required property string secondIcon
                            required property color secondColor
                            spacing: 10
                            Layout.fillWidth: true
                            ActionButton {
                                objectName: "action-" + actionRow.firstKind
                                title: actionRow.firstTitle
                                icon: actionRow.firstIcon
                                color: actionRow.firstColor
                                onAction: screen.actionKind = actionRow.firstKind
                                Layout.preferredWidth: 1
                            }
                            ActionButton {
                                objectName: "action-" + actionRow.secondKind
                                visible: actionRow.secondKind.length > 0
                                title: actionRow.secondTitle
                                icon: actionRow.secondIcon
                                color: actionRow.secondColor
                                onAction: screen.actionKind = actionRow.secondKind
                                Layout.preferredWidth: 1
                            }
                            // A lone button keeps half the width.
                            Item {
                                visible: actionRow.secondKind.length === 0
                                Layout.fillWidth: true
                                Layout.preferredWidth: 1
                            }
                        }
                    }
                }
            }

            RowLayout {
                objectName: "loadingLine"
                visible: !view.hasTicket && view.loading
                spacing: 10
                Layout.alignment: Qt.AlignHCenter
                BusyIndicator {
                    running: parent.visible
                    palette.dark: KalvorinTheme.teal
                    Layout.preferredWidth: 24
                    Layout.preferredHeight: 24
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: view.loadingText
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                }
            }

            Text {
                objectName: "failureLine"
                Accessible.role: Accessible.AlertMessage
                Accessible.name: text
                visible: !view.hasTicket && !view.loading
                text: view.failureText
                color: KalvorinTheme.red
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 14)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }

            MobileBottomReachablePadding {}
        }
    }

    // What the last action or upload ended with, where the user is: over the bottom of the
    // screen, clear of the tab bar, until its close button or the next write takes it away.
    Rectangle {
        objectName: "outcomeLine"
        visible: view.outcome.length > 0
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        anchors.bottomMargin: 104
        implicitHeight: outcomeRow.implicitHeight + 8
        radius: 14
        color: KalvorinTheme.ink
        border.width: 1
        border.color: view.outcomeColor

        RowLayout {
            id: outcomeRow
            anchors.fill: parent
            anchors.margins: 4
            anchors.leftMargin: 12
            spacing: 8
            Text {
                objectName: "outcomeText"
                text: view.outcome
                color: view.outcomeColor
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                horizontalAlignment: KalvorinTheme.leading
                wrapMode: Text.Wrap
                Accessible.role: Accessible.AlertMessage
                Accessible.name: text
                Layout.fillWidth: true
            }
            TextButton {
                objectName: "outcomeDismiss"
                text: "إغلاق"
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                onClicked: view.dismissOutcome()
            }
        }
    }

    // The sheet of `actionKind`, created afresh each time it opens and gone when it closes.
    Loader {
        id: sheetLoader
        objectName: "actionSheet"
    }
    onActionKindChanged: {
        if (actionKind.length > 0)
            sheetLoader.setSource(Qt.resolvedUrl("TicketActionSheet.qml"),
                                  { "kind": actionKind, "ticketNumber": maintenanceNo, "detailView": view,
                                    "host": screen });
        else
            sheetLoader.source = "";
    }

    FileDialog {
        id: importer
        title: "رفع مرفق إثبات الإغلاق"
        fileMode: FileDialog.OpenFile
        nameFilters: ["PDF (*.pdf)", "صور (*.png *.jpg *.jpeg *.gif *.bmp *.webp *.heic)", "JPEG (*.jpg *.jpeg)",
                      "PNG (*.png)", "كل الملفات (*)"]
        onAccepted: {
            screen.showAttachmentImporter = false;
            view.uploadClosureEvidence(selectedFile);
        }
        onRejected: screen.showAttachmentImporter = false
    }
    onShowAttachmentImporterChanged: if (showAttachmentImporter) importer.open()
}
