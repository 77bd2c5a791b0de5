import QtQuick
import QtQuick.Layouts

// A tab whose screen has not been built yet: only its header, with the header's own symbols.
Item {
    id: screen

    property string title
    property string leading
    property string trailing

    ColumnLayout {
        x: 16
        y: 16
        width: screen.width - 32
        spacing: 16

        HeaderBar {
            title: screen.title
            leading: screen.leading
            trailing: screen.trailing
        }
    }
}
