#pragma once
// The background grid: vertical lines every 42 px from the left edge to the right edge inclusive,
// then horizontal lines every 42 px from the top edge to the bottom edge inclusive. The grid always
// starts at the origin edge, so a rectangle narrower than one step still gets its first line, and
// a zero-size rectangle still yields one (degenerate) line each way.

#include <QLineF>
#include <QList>
#include <QQuickPaintedItem>
#include <QRectF>
#include <QtQml/qqmlregistration.h>

namespace kalvorin::ui {

constexpr qreal kGridStep = 42.0;

// Vertical lines first, then horizontal ones.
QList<QLineF> gridLines(const QRectF& rect, qreal step = kGridStep);

} // namespace kalvorin::ui

// Paints the grid once per size; moving or covering it costs nothing.
class GridPattern : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal lineWidth READ lineWidth WRITE setLineWidth NOTIFY lineWidthChanged)

public:
    explicit GridPattern(QQuickItem* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    qreal lineWidth() const { return m_lineWidth; }
    void setLineWidth(qreal width);

    void paint(QPainter* painter) override;

signals:
    void colorChanged();
    void lineWidthChanged();

private:
    QColor m_color;
    qreal m_lineWidth = 0.6;
};
