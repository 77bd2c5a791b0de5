import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// Every shared component of Kalvorin.Theme on one 390-wide page, right to left, for the eye and
// for the offscreen test that renders it.
Item {
    id: page
    width: 390
    height: 1400

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    KalvorinBackground {
        objectName: "background"
        anchors.fill: parent
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 14

        RowLayout {
            Layout.fillWidth: true
            KalvorinMark { size: 42 }
            Item { Layout.fillWidth: true }
            KalvorinTitle { width: 150; height: 34 }
            Item { Layout.fillWidth: true }
            Symbol { name: "bell"; size: 18 }
        }

        KalvorinMark {
            size: 146
            Layout.alignment: Qt.AlignHCenter
        }

        ProPanel {
            objectName: "panel"
            tint: KalvorinTheme.teal
            radius: 20
            glow: true
            Layout.fillWidth: true
            ColumnLayout {
                width: parent.width
                spacing: 8
                SectionTitle { text: "بيانات المستفيد والجهة" }
                Text {
                    text: "مرحباً، مستخدم النظام — ١٢٣ بلاغاً"
                    color: KalvorinTheme.text
                    font: KalvorinTheme.font(KalvorinTheme.Medium, 14)
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignLeft
                }
                Text {
                    text: "الدور غير محدد"
                    color: KalvorinTheme.muted
                    font: KalvorinTheme.fontNamed("Tajawal-Bold", 14)
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignLeft
                }
            }
        }

        IconTextField {
            objectName: "username"
            icon: "person"
            placeholder: "اسم المستخدم"
        }
        IconTextField {
            icon: "lock"
            text: "كلمة سرية"
        }
        IconTextField {
            icon: "network"
            placeholder: "رقم الآي بي - اختياري"
            text: "192.168.1.20"
            LayoutMirroring.enabled: false
            LayoutMirroring.childrenInherit: true
        }

        NativePickerCard {
            title: "الإدارة"
            PickerMenu {
                model: ["اختر الإدارة", "إدارة الدعم الفني", "إدارة الشبكات"]
                heldIndex: 0
            }
        }

        FormSectionCard {
            title: "معالجة مشتركة"
            caption: "تستخدم عندما يحتاج البلاغ إفادة أو حلًا من أكثر من وحدة داخل نفس النطاق."
            icon: "person.2"
            IconTextField { icon: "text.quote"; placeholder: "سبب المشاركة" }
        }

        PrimaryButtonStyle {
            objectName: "primary"
            text: "دخول"
            Layout.fillWidth: true
        }
        SecondaryButtonStyle {
            text: "إضافة مرفق للبلاغ"
            symbol: "plus.circle"
            Layout.fillWidth: true
        }

        Flow {
            Layout.fillWidth: true
            spacing: 10
            Repeater {
                model: KalvorinSymbols.names
                Symbol {
                    required property string modelData
                    required property int index
                    name: modelData
                    size: 22
                    color: [KalvorinTheme.teal, KalvorinTheme.gold, KalvorinTheme.green, KalvorinTheme.orange,
                            KalvorinTheme.red, KalvorinTheme.blue, KalvorinTheme.text, KalvorinTheme.muted][index % 8]
                }
            }
        }

        Item { Layout.fillHeight: true }
    }
}
