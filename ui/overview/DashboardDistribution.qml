pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Kalvorin.Theme

// The tickets by priority: the ring with the total at its centre, and the four rows with their
// counts and shares (all worked out by the state's overview).
//     DashboardDistribution { rows: AppState.overview.distribution; total: AppState.overview.total }
ProPanel {
    id: root

    property var rows
    // The total in decimal.
    property string total: "0"

    tint: KalvorinTheme.teal
    radius: 20
    padding: 16
    implicitHeight: content.implicitHeight + 2 * padding
    Layout.fillWidth: true

    ColumnLayout {
        id: content
        width: parent.width
        spacing: 14

        SectionTitle {
            text: "نظرة عامة"
        }
        // The ring and the rows side by side; on a phone too narrow for both, the rows go under
        // the ring so nothing leaves the card.
        GridLayout {
            columns: ring.Layout.preferredWidth + columnSpacing + legend.implicitWidth <= content.width ? 2 : 1
            columnSpacing: 18
            rowSpacing: 14
            Layout.alignment: KalvorinTheme.trailing

            DonutChart {
                id: ring
                objectName: "donutChart"
                model: root.rows
                Layout.preferredWidth: 132
                Layout.preferredHeight: 132
                Layout.alignment: Qt.AlignVCenter | Qt.AlignHCenter

                Column {
                    anchors.centerIn: parent
                    Text {
                        objectName: "distributionTotal"
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: root.total
                        color: KalvorinTheme.text
                        font: KalvorinTheme.fontNamed("Tajawal-ExtraBold", 22)
                    }
                    Text {
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "إجمالي"
                        color: KalvorinTheme.muted
                        font: KalvorinTheme.fontNamed("Tajawal-Medium", 11)
                    }
                }
            }
            ColumnLayout {
                id: legend
                spacing: 10
                Layout.alignment: Qt.AlignVCenter | Qt.AlignHCenter
                Repeater {
                    model: root.rows
                    delegate: RowLayout {
                        id: row
                        required property string label
                        required property string countText
                        required property int tone
                        spacing: 8
                        Layout.alignment: KalvorinTheme.trailing
                        Text {
                            objectName: "distributionCount"
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            text: row.countText
                            color: KalvorinTheme.muted
                            font: KalvorinTheme.fontNamed("Tajawal-Medium", 12)
                        }
                        Text {
                            Accessible.role: Accessible.StaticText
                            Accessible.name: text
                            text: row.label
                            color: KalvorinTheme.text
                            font: KalvorinTheme.fontNamed("Tajawal-Bold", 13)
                        }
                        Rectangle {
                            Layout.preferredWidth: 9
                            Layout.preferredHeight: 9
                            radius: 4.5
                            color: KalvorinTheme.tone(row.tone)
                        }
                    }
                }
            }
        }
    }
}
