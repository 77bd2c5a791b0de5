import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme

// The ticket's stored attachments and, when the user may close the ticket, the upload of
// closure evidence. `uploadRequested` asks the screen to show its file picker.
ProPanel {
    id: card

    required property var view
    signal uploadRequested()

    tint: view.attachmentsTint
    radius: 16
    padding: 14
    Layout.fillWidth: true

    ColumnLayout {
        width: parent.width
        spacing: 12

        RowLayout {
            Layout.fillWidth: true
            SymbolLabel {
                objectName: "attachmentsTitle"
                symbol: "paperclip.circle.fill"
                text: card.view.attachmentsTitle
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                color: KalvorinTheme.text
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "attachmentsStatus"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: card.view.attachmentsStatus
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
            }
        }

        ColumnLayout {
            visible: card.view.attachmentRows.count > 0
            spacing: 8
            Layout.fillWidth: true
            Repeater {
                model: card.view.attachmentRows
                Rectangle {
                    id: row
                    required property string name
                    required property string detail
                    required property string symbol
                    required property color symbolColor
                    Layout.fillWidth: true
                    implicitHeight: rowContent.implicitHeight + 20
                    radius: 12
                    color: KalvorinTheme.ink
                    border.width: 1
                    border.color: KalvorinTheme.stroke
                    RowLayout {
                        id: rowContent
                        anchors.fill: parent
                        anchors.margins: 10
                        ColumnLayout {
                            spacing: 3
                            Layout.fillWidth: true
                            Text {
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                text: row.name
                                color: KalvorinTheme.text
                                font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                                elide: Text.ElideRight
                                maximumLineCount: 1
                                horizontalAlignment: KalvorinTheme.leading
                                Layout.fillWidth: true
                            }
                            Text {
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                text: row.detail
                                color: KalvorinTheme.muted
                                font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                                horizontalAlignment: KalvorinTheme.leading
                                Layout.fillWidth: true
                            }
                        }
                        Symbol {
                            name: row.symbol
                            color: row.symbolColor
                            size: 18
                        }
                    }
                }
            }
        }

        T.Button {
            id: upload
            objectName: "uploadEvidence"
            visible: card.view.canUploadClosureEvidence
            enabled: !card.view.uploadingAttachment
            Layout.fillWidth: true
            implicitHeight: Math.max(44, contentItem.implicitHeight + 20)
            Accessible.name: "رفع مرفق إثبات الإغلاق"
            onClicked: card.uploadRequested()
            contentItem: RowLayout {
                spacing: 8
                Item { Layout.fillWidth: true }
                Spinner {
                    objectName: "uploadProgress"
                    running: card.view.uploadingAttachment
                    color: "white"
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    visible: card.view.uploadingAttachment && card.view.uploadProgress >= 0
                    text: Math.round(card.view.uploadProgress * 100) + "%"
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                }
                SymbolLabel {
                    symbol: "square.and.arrow.up"
                    text: "رفع مرفق إثبات الإغلاق"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                    color: KalvorinTheme.text
                }
                Item { Layout.fillWidth: true }
            }
            background: Rectangle {
                radius: 14
                color: KalvorinTheme.alpha(KalvorinTheme.green, 0.22)
                border.width: 1
                border.color: KalvorinTheme.alpha(KalvorinTheme.green, 0.48)
                // Full colour while the upload runs: the spinner, not a fade, says it is busy.
                opacity: upload.enabled || card.view.uploadingAttachment ? 1.0 : 0.6
            }
        }
    }
}
