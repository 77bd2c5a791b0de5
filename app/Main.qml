import QtQuick
import QtQuick.Window

Window {
    id: window
    width: 390
    height: 844
    visible: true
    color: "#07131A"
    title: "KALVORIN"

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true
}
