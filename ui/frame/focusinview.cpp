#include "focusinview.h"

#include <QQuickItem>
#include <algorithm>

namespace kalvorin {

namespace {
// The room kept between the revealed item and the edge it was brought to.
constexpr qreal kMargin = 12;
} // namespace

void FocusInView::setWindow(QQuickWindow* window) {
    if (window == m_window)
        return;
    disconnect(m_connection);
    m_window = window;
    if (window)
        m_connection = connect(window, &QQuickWindow::activeFocusItemChanged, this,
                               [this] { reveal(m_window ? m_window->activeFocusItem() : nullptr); });
    emit windowChanged();
}

void FocusInView::setBottomClearance(qreal value) {
    if (qFuzzyCompare(value, m_bottomClearance))
        return;
    m_bottomClearance = value;
    emit bottomClearanceChanged();
}

void FocusInView::reveal(QQuickItem* item) const {
    if (!item || !m_window || item == m_window->contentItem())
        return;
    for (QQuickItem* area = item->parentItem(); area; area = area->parentItem()) {
        if (!area->inherits("QQuickFlickable"))
            continue;
        const QRectF shown = item->mapRectToItem(area, QRectF(0, 0, item->width(), item->height()));
        const qreal visibleBottom = area->height() - m_bottomClearance;
        qreal move = 0;
        if (shown.top() < 0)
            move = shown.top() - kMargin;
        else if (shown.bottom() > visibleBottom)
            move = std::min(shown.bottom() - visibleBottom + kMargin, shown.top() - kMargin);
        if (move == 0)
            continue;
        const qreal originY = area->property("originY").toReal();
        const qreal top = originY - area->property("topMargin").toReal();
        const qreal end = originY + area->property("contentHeight").toReal() - area->height() +
                          area->property("bottomMargin").toReal();
        const qreal contentY = area->property("contentY").toReal();
        area->setProperty("contentY", std::clamp(contentY + move, top, std::max(top, end)));
    }
}

} // namespace kalvorin
