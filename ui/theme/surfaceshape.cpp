#include "surfaceshape.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

QList<QColor> toColors(const QVariantList& list) {
    QList<QColor> out;
    for (const QVariant& v : list) {
        QColor c = v.value<QColor>();
        if (!c.isValid() && v.canConvert<QString>())
            c = QColor::fromString(v.toString());
        if (c.isValid())
            out.append(c);
    }
    return out;
}

QBrush brushFor(const QList<QColor>& colors, const QRectF& r, SurfaceShape::Direction direction,
                bool mirrored) {
    if (colors.isEmpty())
        return Qt::NoBrush;
    if (colors.size() == 1)
        return colors.first();
    QPointF start, end;
    // Leading is the left edge unless the layout is mirrored.
    const qreal leading = mirrored ? r.right() : r.left();
    const qreal trailing = mirrored ? r.left() : r.right();
    switch (direction) {
    case SurfaceShape::TopTrailingToBottomLeading:
        start = {trailing, r.top()};
        end = {leading, r.bottom()};
        break;
    case SurfaceShape::TopLeadingToBottomTrailing:
        start = {leading, r.top()};
        end = {trailing, r.bottom()};
        break;
    case SurfaceShape::TopToBottom:
        start = {r.center().x(), r.top()};
        end = {r.center().x(), r.bottom()};
        break;
    }
    QLinearGradient g(start, end);
    for (qsizetype i = 0; i < colors.size(); ++i)
        g.setColorAt(qreal(i) / qreal(colors.size() - 1), colors.at(i));
    return g;
}

QPainterPath roundedPath(const QRectF& r, qreal radius) {
    QPainterPath p;
    const qreal rr = qMin(radius, qMin(r.width(), r.height()) / 2);
    p.addRoundedRect(r, rr, rr);
    return p;
}

} // namespace

SurfaceShape::SurfaceShape(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

template <typename T> void SurfaceShape::assign(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    update();
    emit shapeChanged();
}

void SurfaceShape::setRadius(qreal v) {
    assign(m_radius, v);
}
void SurfaceShape::setFillColors(const QVariantList& v) {
    assign(m_fill, v);
}
void SurfaceShape::setStrokeColors(const QVariantList& v) {
    assign(m_stroke, v);
}
void SurfaceShape::setStrokeWidth(qreal v) {
    assign(m_strokeWidth, v);
}
void SurfaceShape::setDirection(Direction v) {
    assign(m_direction, v);
}
void SurfaceShape::setMirrored(bool v) {
    assign(m_mirrored, v);
}
void SurfaceShape::setShadowColor(const QColor& v) {
    assign(m_shadowColor, v);
}
void SurfaceShape::setShadowRadius(qreal v) {
    assign(m_shadowRadius, v);
}
void SurfaceShape::setShadowOffsetY(qreal v) {
    assign(m_shadowOffsetY, v);
}

qreal SurfaceShape::extent() const {
    if (m_shadowRadius <= 0 || m_shadowColor.alpha() == 0)
        return 0;
    return std::ceil(m_shadowRadius + std::abs(m_shadowOffsetY));
}

void SurfaceShape::paint(QPainter* painter) {
    const qreal e = extent();
    const QRectF shape = QRectF(0, 0, width(), height()).adjusted(e, e, -e, -e);
    if (shape.width() <= 0 || shape.height() <= 0)
        return;
    painter->setRenderHint(QPainter::Antialiasing);
    const QPainterPath body = roundedPath(shape, m_radius);

    if (e > 0) {
        // A soft shadow: layers growing outwards, each faint, so the darkness falls off with the
        // distance from the card. Only the outside is painted: a translucent card does not show
        // its own shadow through itself.
        QPainterPath outside;
        outside.addRect(QRectF(0, 0, width(), height()));
        outside = outside.subtracted(body);
        painter->save();
        painter->setClipPath(outside);
        painter->setPen(Qt::NoPen);
        const int layers = qMax(4, int(m_shadowRadius / 1.5));
        QColor layer = m_shadowColor;
        layer.setAlphaF(m_shadowColor.alphaF() / float(layers) * 1.6f);
        painter->setBrush(layer);
        for (int i = layers; i >= 1; --i) {
            const qreal grow = m_shadowRadius * qreal(i) / qreal(layers);
            const QRectF r = shape.translated(0, m_shadowOffsetY).adjusted(-grow, -grow, grow, grow);
            painter->drawPath(roundedPath(r, m_radius + grow));
        }
        painter->restore();
    }

    const QList<QColor> fill = toColors(m_fill);
    if (!fill.isEmpty())
        painter->fillPath(body, brushFor(fill, shape, m_direction, m_mirrored));

    const QList<QColor> stroke = toColors(m_stroke);
    if (!stroke.isEmpty() && m_strokeWidth > 0) {
        const qreal half = m_strokeWidth / 2;
        const QRectF line = shape.adjusted(half, half, -half, -half);
        QPen pen(brushFor(stroke, line, m_direction, m_mirrored), m_strokeWidth);
        painter->strokePath(roundedPath(line, qMax<qreal>(0, m_radius - half)), pen);
    }
}

GlowSpot::GlowSpot(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void GlowSpot::setColor(const QColor& v) {
    if (v == m_color)
        return;
    m_color = v;
    update();
    emit glowChanged();
}
void GlowSpot::setInnerRadius(qreal v) {
    if (v == m_inner)
        return;
    m_inner = v;
    update();
    emit glowChanged();
}
void GlowSpot::setOuterRadius(qreal v) {
    if (v == m_outer)
        return;
    m_outer = v;
    update();
    emit glowChanged();
}
void GlowSpot::setBlur(qreal v) {
    if (v == m_blur)
        return;
    m_blur = v;
    update();
    emit glowChanged();
}

void GlowSpot::paint(QPainter* painter) {
    // A blurred radial gradient, drawn as a wider gradient whose stops follow a smooth curve: the
    // blur only softens the edge of the flat centre and stretches the fade by `blur`.
    const QPointF c(width() / 2, height() / 2);
    const qreal reach = m_outer + m_blur;
    if (reach <= 0)
        return;
    QRadialGradient g(c, reach);
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps; // 0 … 1 of `reach`
        const qreal r = t * reach;
        // Plain gradient: 1 inside innerRadius, linear to 0 at outerRadius.
        qreal v = r <= m_inner ? 1.0 : qMax<qreal>(0.0, 1.0 - (r - m_inner) / (m_outer - m_inner));
        // Blur: smoothstep over a band of width `blur` around each end.
        const qreal soft = qMin<qreal>(1.0, qMax<qreal>(0.0, (reach - r) / qMax<qreal>(1.0, 2 * m_blur)));
        v = v * 0.85 + 0.15 * soft * soft * (3 - 2 * soft) * (r < m_outer ? 1.0 : 0.0);
        v *= soft * soft * (3 - 2 * soft);
        QColor col = m_color;
        col.setAlphaF(float(m_color.alphaF() * qBound<qreal>(0.0, v, 1.0)));
        g.setColorAt(t, col);
    }
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(g);
    painter->drawEllipse(c, reach, reach);
}
