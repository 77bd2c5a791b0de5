import QtQuick
import QtQuick.Layouts
import Kalvorin.Frame

// The empty space a scrolling screen puts below its content so that the last items can be
// scrolled above the tab bar. Place it last in the screen's column.
Item {
    implicitWidth: 1
    implicitHeight: FrameRules.mobileBottomReachablePadding
    Layout.fillWidth: true
    Layout.preferredHeight: FrameRules.mobileBottomReachablePadding
}
