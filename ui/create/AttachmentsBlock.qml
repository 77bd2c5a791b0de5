import QtQuick
import QtQuick.Layouts
import QtQuick.Dialogs
import Kalvorin.Theme
import Kalvorin.Create

// The attachments of a new ticket: the add button (it opens the file picker, several files at
// once), the empty line or one row per picked file with its size and a remove button.
ColumnLayout {
    id: root

    required property CreateTicketForm form

    spacing: 10
    Layout.fillWidth: true

    SecondaryButtonStyle {
        objectName: "addAttachmentButton"
        text: "إضافة مرفق للبلاغ"
        symbol: "plus.circle"
        font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
        enabled: root.form.canAddAttachment
        Layout.fillWidth: true
        Layout.minimumHeight: 46
        onClicked: root.form.showCreateAttachmentImporter = true
    }

    Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        visible: root.form.selectedAttachments.count === 0
        text: "لا توجد مرفقات مضافة لهذا البلاغ."
        color: KalvorinTheme.muted
        font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
        horizontalAlignment: Text.AlignHCenter
        Layout.fillWidth: true
    }

    Repeater {
        model: root.form.selectedAttachments

        delegate: RowLayout {
            id: row
            required property string attachmentId
            required property string name
            required property string sizeLabel
            signal removeClicked()

            // A delegate reaches its view's form by id; qmllint of Qt 6.4 cannot follow that.
            onRemoveClicked: root.form.removeAttachment(row.attachmentId) // qmllint disable unqualified
            spacing: 10
            Layout.fillWidth: true

            Symbol {
                name: "doc.fill"
                size: 20
                color: KalvorinTheme.gold
            }
            ColumnLayout {
                spacing: 2
                Layout.fillWidth: true
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: row.name
                    color: KalvorinTheme.text
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                    elide: Text.ElideMiddle
                    horizontalAlignment: KalvorinTheme.leading
                    Layout.fillWidth: true
                }
                Text {
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    text: row.sizeLabel
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                    horizontalAlignment: KalvorinTheme.leading
                    Layout.fillWidth: true
                }
            }
            Item {
                objectName: "removeAttachment"
                implicitWidth: KalvorinTheme.touchTarget
                implicitHeight: KalvorinTheme.touchTarget
                activeFocusOnTab: true
                Accessible.role: Accessible.Button
                Accessible.name: "حذف " + row.name
                Accessible.onPressAction: row.removeClicked()
                Keys.onSpacePressed: row.removeClicked()
                Symbol {
                    anchors.centerIn: parent
                    name: "xmark.circle.fill"
                    size: 22
                    color: KalvorinTheme.red
                }
                TapHandler {
                    onTapped: row.removeClicked()
                }
            }
        }
    }

    FileDialog {
        id: picker
        title: "إضافة مرفق للبلاغ"
        fileMode: FileDialog.OpenFiles
        nameFilters: ["PDF (*.pdf)", "صور (*.png *.jpg *.jpeg *.gif *.heic *.heif *.webp *.bmp *.tif *.tiff)",
                      "JPEG (*.jpg *.jpeg)", "PNG (*.png)", "كل الملفات (*)"]
        onAccepted: {
            root.form.showCreateAttachmentImporter = false;
            root.form.handleCreateAttachments(picker.selectedFiles);
        }
        onRejected: root.form.showCreateAttachmentImporter = false
    }

    Connections {
        target: root.form
        function onShowCreateAttachmentImporterChanged() {
            if (root.form.showCreateAttachmentImporter)
                picker.open();
        }
    }
}
