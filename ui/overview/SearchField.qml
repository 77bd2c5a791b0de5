import QtQuick
import Kalvorin.Theme

// The ticket search: a magnifying glass and a one-line input.
//     SearchField { text: filter.search; onTextEdited: filter.search = text }
IconTextField {
    objectName: "searchField"
    icon: "magnifyingglass"
    placeholder: "بحث برقم البلاغ أو العنوان"
    placeholderFont: KalvorinTheme.font(KalvorinTheme.Medium, 14)
}
