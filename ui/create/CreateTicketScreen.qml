import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Templates as T
import Kalvorin.Theme
import Kalvorin.Create
import Kalvorin.Frame

// The "بلاغ جديد" tab: one scrolling form over the shared background. The form object holds
// every field and rule; this view lays the blocks out in order and binds them to it. The shell
// keeps the screen, and so the draft, from the first visit to its tab until sign-out; "مسح
// النموذج" empties it after a confirmation.
Item {
    id: screen
    objectName: "createTicketScreen"

    readonly property alias form: form
    readonly property alias page: page

    CreateTicketForm {
        id: form
        appState: AppState
    }

    Component.onCompleted: form.applyCreateContextIfNeeded()

    component Notice: Text {
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        color: KalvorinTheme.gold
        wrapMode: Text.Wrap
        horizontalAlignment: KalvorinTheme.leading
        visible: text.length > 0
        Layout.fillWidth: true
    }

    Flickable {
        id: page
        objectName: "createTicketPage"
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
                title: "بلاغ جديد"
                leading: ""
                trailing: ""
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                IconTextField {
                    objectName: "nationalIdField"
                    icon: "number"
                    placeholder: "رقم الهوية الوطنية"
                    text: form.nationalId
                    input.inputMethodHints: Qt.ImhDigitsOnly
                    onTextEdited: form.nationalId = text
                }
                Notice {
                    objectName: "lookupMessage"
                    Accessible.role: Accessible.AlertMessage
                    text: form.lookupMessage
                    font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
                }
            }

            FormSectionCard {
                title: "بيانات التعريف الأساسية"
                caption: "تستخدم للتحقق من المستفيد وربط البلاغ بحسابه وبياناته داخل النظام."
                icon: "person.crop.rectangle"
                IconTextField {
                    objectName: "beneficiaryUserField"
                    icon: "person.crop.rectangle"
                    placeholder: "حساب المستخدم"
                    text: form.beneficiaryUser
                    input.inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                    onTextEdited: form.beneficiaryUser = text
                }
                IconTextField {
                    objectName: "beneficiaryField"
                    icon: "person.text.rectangle"
                    placeholder: "اسم المستخدم"
                    text: form.beneficiary
                    onTextEdited: form.beneficiary = text
                }
                IconTextField {
                    objectName: "emailField"
                    icon: "envelope"
                    placeholder: "البريد الإلكتروني"
                    text: form.email
                    input.inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
                    onTextEdited: form.email = text
                }
            }

            FormSectionCard {
                title: "بيانات اتصال المستفيد"
                caption: "هذه البيانات تخص صاحب البلاغ وتستخدم للتواصل والمتابعة، ولا تعد جهة معالجة."
                icon: "phone"
                IconTextField {
                    objectName: "contactMobileField"
                    icon: "iphone"
                    placeholder: "رقم التواصل - يبدأ بـ 05"
                    text: form.contactMobile
                    input.inputMethodHints: Qt.ImhDialableCharactersOnly
                    onTextEdited: form.contactMobile = text
                }
                IconTextField {
                    objectName: "fixedPhoneField"
                    icon: "phone.connection"
                    placeholder: "هاتف ثابت / تحويلة"
                    text: form.fixedPhone
                    input.inputMethodHints: Qt.ImhDigitsOnly
                    onTextEdited: form.fixedPhone = text
                }
                IconTextField {
                    objectName: "ipAddressField"
                    // An address reads left to right, icon first, in any language.
                    LayoutMirroring.enabled: false
                    LayoutMirroring.childrenInherit: true
                    icon: "network"
                    placeholder: "رقم الآي بي - اختياري"
                    text: form.ipAddress
                    input.inputMethodHints: Qt.ImhFormattedNumbersOnly
                    onTextEdited: form.ipAddress = text
                }
            }

            FormSectionCard {
                objectName: "reporterCard"
                title: "جهة المبلّغ"
                caption: "هذه الحقول تخص صاحب البلاغ وجهته الإدارية، ولا تستخدم كجهة معالجة."
                icon: "building.2"
                ReporterLevelField { level: form.departmentLevel }
                ReporterLevelField { level: form.regionLevel }
                ReporterLevelField { level: form.divisionLevel }
                ReporterLevelField { level: form.sectionLevel }
                RowLayout {
                    objectName: "lockNote"
                    visible: form.lockNoteVisible
                    spacing: 8
                    Layout.fillWidth: true
                    Symbol {
                        name: "lock.shield"
                        size: 16
                        color: KalvorinTheme.gold
                        Layout.alignment: Qt.AlignTop
                    }
                    Notice {
                        text: "تم تعبئة جهة المبلّغ من نطاق حسابك. عدّلها فقط إذا كانت صلاحيتك تسمح بذلك داخل النظام."
                        font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                        horizontalAlignment: KalvorinTheme.trailing
                    }
                }
            }

            ChoicePicker {
                objectName: "servicePicker"
                title: "نوع المشكلة / الخدمة"
                choices: form.serviceChoices
                currentIndex: form.serviceIndex
                onChosen: (index) => { form.serviceIndex = index; }
            }

            // A trailing-aligned column as wide as its longest line (the form's width at most),
            // standing at the trailing edge.
            Rectangle {
                objectName: "serviceSummary"
                visible: form.hasSelectedService
                color: KalvorinTheme.alpha(KalvorinTheme.ink, 0.48)
                radius: 14
                Layout.alignment: KalvorinTheme.trailing
                Layout.preferredWidth: Math.min(summary.implicitWidth + 24, parent.width)
                implicitHeight: summary.implicitHeight + 24
                ColumnLayout {
                    id: summary
                    x: 12
                    y: 12
                    width: parent.width - 24
                    spacing: 5
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        text: form.serviceScopeText
                        color: KalvorinTheme.text
                        font: KalvorinTheme.fontNamed("Tajawal-Bold", 12)
                        wrapMode: Text.Wrap
                        maximumLineCount: 2
                        elide: Text.ElideRight
                        horizontalAlignment: KalvorinTheme.trailing
                        Layout.fillWidth: true
                    }
                    Notice {
                        text: form.suggestedPriorityText
                        font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                        horizontalAlignment: KalvorinTheme.trailing
                    }
                }
            }

            IconTextField {
                objectName: "titleField"
                icon: "text.badge.plus"
                placeholder: "عنوان البلاغ"
                text: form.title
                onTextEdited: form.title = text
            }

            ChoicePicker {
                title: "نوع السجل"
                choices: ["بلاغ - مشكلة أو عطل"]
                locked: true
            }
            ChoicePicker {
                title: "طريقة استقبال البلاغ"
                choices: ["تطبيق الجوال"]
                locked: true
            }
            ChoicePicker {
                objectName: "priorityPicker"
                title: "الأولوية"
                choices: form.priorityChoices
                currentIndex: form.priorityIndex
                onChosen: (index) => { form.priorityIndex = index; }
            }

            FormSectionCard {
                objectName: "jointCard"
                title: "معالجة مشتركة"
                caption: "تستخدم عندما يحتاج البلاغ إفادة أو حلًا من أكثر من وحدة داخل نفس النطاق."
                icon: "person.2"

                T.Switch {
                    id: jointSwitch
                    objectName: "jointSwitch"
                    text: "يتطلب مشاركة أكثر من جهة في المعالجة"
                    checked: form.requiresParticipants
                    onToggled: form.requiresParticipants = checked
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                    Layout.fillWidth: true
                    implicitHeight: Math.max(KalvorinTheme.touchTarget, implicitContentHeight)
                    spacing: 10
                    Accessible.name: text
                    indicator: Rectangle {
                        x: jointSwitch.mirrored ? 0 : jointSwitch.width - width
                        anchors.verticalCenter: parent.verticalCenter
                        implicitWidth: 50
                        implicitHeight: 30
                        radius: 15
                        color: jointSwitch.checked ? KalvorinTheme.teal : KalvorinTheme.alpha(KalvorinTheme.text, 0.16)
                        Rectangle {
                            width: 26
                            height: 26
                            radius: 13
                            y: 2
                            x: jointSwitch.checked !== jointSwitch.mirrored ? parent.width - width - 2 : 2
                            color: "white"
                            Behavior on x { NumberAnimation { duration: 120 } }
                        }
                    }
                    contentItem: Text {
                        // The indicator sits at the trailing edge (the left, once mirrored).
                        leftPadding: jointSwitch.mirrored ? jointSwitch.indicator.width + jointSwitch.spacing : 0
                        rightPadding: jointSwitch.mirrored ? 0 : jointSwitch.indicator.width + jointSwitch.spacing
                        text: jointSwitch.text
                        font: jointSwitch.font
                        color: KalvorinTheme.text
                        wrapMode: Text.Wrap
                        verticalAlignment: Text.AlignVCenter
                        horizontalAlignment: KalvorinTheme.leading
                    }
                }
                ChoicePicker {
                    objectName: "participantPicker"
                    visible: form.requiresParticipants
                    title: "الجهة المشاركة داخل النطاق"
                    choices: form.participantChoices
                    currentIndex: form.participantIndex
                    onChosen: (index) => { form.participantIndex = index; }
                }
                IconTextField {
                    objectName: "participantReasonField"
                    visible: form.requiresParticipants
                    icon: "text.quote"
                    placeholder: "سبب المشاركة"
                    text: form.participantReason
                    onTextEdited: form.participantReason = text
                }
            }

            FormSectionCard {
                objectName: "attachmentsCard"
                title: "مرفقات البلاغ"
                caption: "أرفق صورًا أو PDF أو Word عند الحاجة. الحد الأقصى 5 مرفقات، وحجم كل مرفق 10 ميغابايت."
                icon: "paperclip"
                AttachmentsBlock { form: form }
            }

            DescriptionEditor {
                text: form.description
                onEdited: form.description = text
            }

            PrimaryButtonStyle {
                id: save
                objectName: "saveButton"
                text: "حفظ البلاغ"
                enabled: form.canSubmit
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 18)
                Layout.fillWidth: true
                Layout.minimumHeight: 52
                onClicked: form.startCreate()
                busy: form.running
            }

            TextButton {
                objectName: "clearDraftButton"
                text: "مسح النموذج"
                color: KalvorinTheme.red
                font: KalvorinTheme.fontNamed("Tajawal-Bold", 15)
                enabled: !form.running
                onClicked: clearConfirmation.open()
                Layout.alignment: Qt.AlignHCenter
            }

            Notice {
                objectName: "resultMessage"
                Accessible.role: Accessible.AlertMessage
                text: form.message
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 13)
            }

            MobileBottomReachablePadding {}
        }
    }

    Dialog {
        id: clearConfirmation
        objectName: "clearDraftConfirmation"
        parent: Overlay.overlay
        anchors.centerIn: parent
        width: Math.min(320, (parent ? parent.width : 390) - 48)
        modal: true
        focus: true
        padding: 20
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

        ReturnFocus {
            popup: clearConfirmation
        }

        background: Rectangle {
            radius: 18
            color: KalvorinTheme.panel2
            border.width: 1
            border.color: KalvorinTheme.stroke
        }
        contentItem: ColumnLayout {
            LayoutMirroring.enabled: true
            LayoutMirroring.childrenInherit: true
            spacing: 14
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: "مسح البلاغ الجديد؟"
                color: KalvorinTheme.text
                font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 18)
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
            }
            Text {
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                text: "سيُحذف كل ما أدخلته في النموذج والمرفقات المختارة، ولا يمكن استعادته."
                color: KalvorinTheme.muted
                font: KalvorinTheme.fontNamed("Tajawal-Medium", 14)
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
            }
            RowLayout {
                spacing: 12
                Layout.fillWidth: true
                PrimaryButtonStyle {
                    objectName: "confirmClearButton"
                    text: "مسح"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 16)
                    Layout.fillWidth: true
                    onClicked: {
                        form.clearDraft();
                        clearConfirmation.close();
                    }
                }
                TextButton {
                    objectName: "cancelClearButton"
                    text: "إلغاء"
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 16)
                    onClicked: clearConfirmation.close()
                }
            }
        }
    }
}
