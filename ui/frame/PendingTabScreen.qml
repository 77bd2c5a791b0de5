import QtQuick
import QtQuick.Layouts

// The new-ticket tab while its form is not part of the build: only its header.
Item {
    id: screen

    ColumnLayout {
        x: 16
        y: 16
        width: screen.width - 32
        spacing: 16

        HeaderBar {
            title: "بلاغ جديد"
        }
    }
}
