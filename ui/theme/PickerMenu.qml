import QtQuick
import Kalvorin.Theme
import QtQuick.Templates as T

// The drop-down that a NativePickerCard holds: "Tajawal-Medium" 14, full width, menu-style list.
//     PickerMenu { model: ["", "عالية"]; displayText: currentIndex <= 0 ? "اختر" : currentText
//                  onActivated: form.priority = currentValue }
// It draws no frame of its own: the card around it does.
T.ComboBox {
    id: control

    implicitWidth: 240
    implicitHeight: 48
    leftPadding: 14
    rightPadding: 14
    font: KalvorinTheme.font(KalvorinTheme.Medium, 14)

    indicator: Symbol {
        x: control.mirrored ? control.leftPadding : control.width - width - control.rightPadding
        y: (control.height - height) / 2
        name: "chevron.down"
        size: 18
        color: KalvorinTheme.muted
    }

    contentItem: Text {
        leftPadding: control.mirrored ? control.indicator.width + 8 : 0
        rightPadding: control.mirrored ? 0 : control.indicator.width + 8
        text: control.displayText
        font: control.font
        color: KalvorinTheme.text
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignLeft
        elide: Text.ElideRight
    }

    background: Item {
        implicitHeight: 48
    }

    delegate: T.ItemDelegate {
        id: row
        required property var modelData
        required property int index
        width: ListView.view ? ListView.view.width : implicitWidth
        implicitHeight: 44
        leftPadding: 14
        rightPadding: 14
        highlighted: control.highlightedIndex === index
        contentItem: Text {
            text: control.textRole ? (Array.isArray(control.model) ? row.modelData[control.textRole]
                                                                    : row.modelData) : row.modelData
            font: control.currentIndex === row.index ? KalvorinTheme.font(KalvorinTheme.Bold, 14) : control.font
            color: control.currentIndex === row.index ? KalvorinTheme.teal : KalvorinTheme.text
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }
        background: Rectangle {
            color: row.highlighted || row.down ? KalvorinTheme.alpha(KalvorinTheme.teal, 0.16) : "transparent"
            radius: 10
        }
    }

    popup: T.Popup {
        y: control.height + 4
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + topPadding + bottomPadding, 320)
        padding: 6

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.delegateModel
            currentIndex: control.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
        }

        background: SurfaceShape {
            radius: 14
            fillColors: [KalvorinTheme.panel2, KalvorinTheme.ink]
            direction: SurfaceShape.TopToBottom
            strokeColors: [KalvorinTheme.stroke]
            strokeWidth: 1
        }
    }
}
