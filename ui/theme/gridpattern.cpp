#include "gridpattern.h"

#include "kalvorintheme.h"

#include <QPainter>

namespace kalvorin::ui {

QList<QLineF> gridLines(const QRectF& rect, qreal step) {
    QList<QLineF> lines;
    if (!(step > 0))
        return lines;
    const QRectF r = rect.normalized();
    const qreal minX = r.left(), maxX = r.right(), minY = r.top(), maxY = r.bottom();
    // Each position is computed from the origin (no running sum), so the last line lands exactly
    // on the far edge when the size is a multiple of the step.
    for (int i = 0;; ++i) {
        const qreal x = minX + i * step;
        if (x > maxX)
            break;
        lines.append(QLineF(x, minY, x, maxY));
    }
    for (int i = 0;; ++i) {
        const qreal y = minY + i * step;
        if (y > maxY)
            break;
        lines.append(QLineF(minX, y, maxX, y));
    }
    return lines;
}

} // namespace kalvorin::ui

GridPattern::GridPattern(QQuickItem* parent)
    : QQuickPaintedItem(parent), m_color(KalvorinTheme::alpha(KalvorinTheme::teal(), 0.045)) {
    setAntialiasing(true);
}

void GridPattern::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
    emit colorChanged();
}

void GridPattern::setLineWidth(qreal width) {
    if (qFuzzyCompare(width, m_lineWidth))
        return;
    m_lineWidth = width;
    update();
    emit lineWidthChanged();
}

void GridPattern::paint(QPainter* painter) {
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(m_color, m_lineWidth));
    const auto lines = kalvorin::ui::gridLines(QRectF(0, 0, width(), height()));
    painter->drawLines(lines.constData(), int(lines.size()));
}
